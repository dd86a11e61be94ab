// The audit set-up windows offscreen: the condition text, the editor's bounds and checks, what saving
// stores, and the main window's refusals while bills are in a flow, its delete and copy.

#include <QComboBox>
#include <QPushButton>
#include <QtTest>

#include "AccountDatabase.h"
#include "Kvtable.h"
#include "TestAccountSet.h"
#include "Udllbaseselect.h"
#include "Udllbillconfig.h"
#include "uAuditCondition.h"
#include "uBillAuditConfig.h"
#include "uBillAuditConfigSet.h"
#include "uDllComm.h"
#include "uMultiLevelSelector.h"

using namespace uAuditCondition;

namespace {

enum { colFactor, colLower, colUpper, colFooting };

// The host's bill names, read from the account set's bill types.
class BillNames final : public IBillConfigIntf
{
public:
    explicit BillNames(accountdb::AccountDatabase &db) : FDb(db) {}
    QString GetBillName(int vchType) override
    {
        return FDb.value(QStringLiteral("SELECT Name FROM T_GBL_Vchtype WHERE Vchtype = ?"), {vchType})
            .toString();
    }
    int GetBillFunctionNo(int) override { return 0; }
    QString GetBillTableName(int) override { return QString(); }

private:
    accountdb::AccountDatabase &FDb;
};

} // namespace

class TstAuditConfig : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAccountSet> FSet;
    std::unique_ptr<BillNames> FBillNames;

    QVariant Value(const QString &sql, const QVariantList &params = {})
    {
        return FSet->Db().value(sql, params);
    }
    QString Last() { return FSet->Messages().LastText(); }

    std::unique_ptr<TfrmBillAuditConfigSet> Editor(const QString &mode, int vchType, int level = 0)
    {
        auto form = std::make_unique<TfrmBillAuditConfigSet>();
        form->FVchtype = vchType;
        form->FMode = mode;
        form->FLeveal = level;
        return form->Prepare() ? std::move(form) : nullptr;
    }
    static void Edit(TfrmBillAuditConfigSet &form, int row, int column, const QString &text)
    {
        form.MainGrid2->setCurrentCell(row, column);
        form.MainGrid2->item(row, column)->setText(text);
    }
    static void SetFactor(TfrmBillAuditConfigSet &form, int row, const QString &factor)
    {
        qobject_cast<QComboBox *>(form.MainGrid2->cellWidget(row, colFactor))->setCurrentText(factor);
    }
    void PutBillInFlow(int vchType)
    {
        FSet->Db().exec(
            QStringLiteral(
                "INSERT INTO T_Audit_Bill (Vchcode, Vchtype, State, Maker) VALUES (99, ?, 1, 'A1')"),
            {vchType});
    }
    void AddLevel(int vchType, int level, bool enable = true)
    {
        FSet->Db().execBatch(
            QStringLiteral("INSERT INTO AuditDetail (Vchtype, Leveal, FullName) VALUES (?, ?, '主管');"
                           "INSERT INTO \"AuditDetail-E\" (Vchtype, Leveal, EtypeID) VALUES (?, ?, 'A1');"
                           "INSERT INTO AuditNdx (Vchtype, IsAudit, SonLeveal) VALUES (?, ?, ?) "
                           "ON CONFLICT (Vchtype) DO UPDATE SET SonLeveal = excluded.SonLeveal"),
            {vchType, level, vchType, level, vchType, enable ? 1 : 0, level});
    }

private slots:
    void init()
    {
        FSet = std::make_unique<TestAccountSet>();
        FBillNames = std::make_unique<BillNames>(FSet->Db());
        Udllbillconfig::BillConfigIntf = FBillNames.get();
        FSet->Db().execBatch(
            QStringLiteral("INSERT INTO Employee (TypeId, UserCode, FullName) VALUES ('A1', 'A1', '张三');"
                           "INSERT INTO T_GBL_LoginUser (ETypeId) VALUES ('A1')"));
        uDllComm::DllParams.PubVersion2 = 6680;
        uDllComm::DllParams.IsNetCS = false;
        AuditorSelectorHook = [](TfrmMultiLevelSelector &s) {
            s.SelectedClick(0);
            s.btnSelected->click();
            return s.result() == mrOk;
        };
        AuditConfigSetHook = nullptr;
    }
    void cleanup()
    {
        AuditorSelectorHook = nullptr;
        AuditConfigSetHook = nullptr;
        Udllbillconfig::BillConfigIntf = nullptr;
        FBillNames.reset();
        FSet.reset();
    }

    void conditionText_data()
    {
        QTest::addColumn<QString>("rows"); // factor:lower:upper:footing|...
        QTest::addColumn<QString>("text");
        QTest::newRow("upper bound only") << "数量合计:0:500:并且"
                                          << "  (数量合计 <= 500)";
        QTest::newRow("both bounds, then or") << "数量合计:10:20.5:或者|:0:0:|金额合计:5:0:或者"
                                              << "  (数量合计 >= 10 or 数量合计 <= 20.5) or (金额合计 >= 5)";
        QTest::newRow("credit factor")
            << "折扣:0.5:0:并且|客户超额度应收账款:1000:0:并且"
            << "  (折扣 >= 0.5) and ( (客户超额度应收账款 >= 1000) or (客户额度 = 0))";
        QTest::newRow("a factor without bounds keeps its relation") << "数量合计:0:0:或者|金额合计:0:3:并且"
                                                                    << " or (金额合计 <= 3)";
    }
    void conditionText()
    {
        QFETCH(QString, rows);
        QFETCH(QString, text);
        QList<TConditionRow> list;
        for (const QString &r : rows.split(u'|')) {
            const QStringList f = r.split(u':');
            list.append({f[0], f[1].toDouble(), f[2].toDouble(), f[3]});
        }
        QCOMPARE(BuildConditionText(list), text);
    }

    void boundEdits_data()
    {
        QTest::addColumn<QString>("lower");
        QTest::addColumn<QString>("upper");
        QTest::addColumn<QString>("shownLower");
        QTest::addColumn<QString>("shownUpper");
        QTest::addColumn<QString>("message");
        QTest::newRow("upper 500") << "0"
                                   << "500"
                                   << "0"
                                   << "500" << QString();
        QTest::newRow("lower above upper returns the cell") << "10"
                                                            << "5"
                                                            << "10"
                                                            << "0"
                                                            << "下限必须小于等于上限，请重新输入。";
        QTest::newRow("twice the maximum") << "0"
                                           << "200000000"
                                           << "0"
                                           << "100000000" << QString();
    }
    void boundEdits()
    {
        QFETCH(QString, lower);
        QFETCH(QString, upper);
        QFETCH(QString, shownLower);
        QFETCH(QString, shownUpper);
        QFETCH(QString, message);
        auto form = Editor(QStringLiteral("A"), 11);
        QVERIFY(form->grp3->isVisibleTo(form.get()));
        SetFactor(*form, 0, QStringLiteral("数量合计"));
        Edit(*form, 0, colLower, lower);
        Edit(*form, 0, colUpper, upper);
        QCOMPARE(form->MainGrid2->item(0, colLower)->text(), shownLower);
        QCOMPARE(form->MainGrid2->item(0, colUpper)->text(), shownUpper);
        QCOMPARE(Last(), message);
        QCOMPARE(form->MainGrid2->rowCount(), 2); // editing the last row appends one
        QCOMPARE(form->MainGrid2->item(0, colFooting)->text(), kAnd);
        form->edtFooting->setCurrentText(kOr);
        QCOMPARE(form->MainGrid2->item(0, colFooting)->text(), kOr);
        form->DeleteConditionRow(0);
        QCOMPARE(form->mPrompt->toPlainText(), QString());
    }

    void typeWithoutFactors()
    {
        auto form = Editor(QStringLiteral("A"), 16);
        QVERIFY(!form->grp3->isVisibleTo(form.get()));
    }

    void saveRefusals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("auditor");
        QTest::addColumn<bool>("billInFlow");
        QTest::addColumn<QString>("message");
        QTest::newRow("bills in the flow")
            << "主管" << true << true << "  销售单还有单据在审核流程中，不能新增或修改该种单据的审核设置。";
        QTest::newRow("empty name") << "" << true << false << "审核流程名称不能为空。";
        QTest::newRow("single quote")
            << "主管'审核" << true << false << "审核流程名称不能包含以下特殊字符: \r(,%,),&,`,;,',\"。";
        QTest::newRow("no auditor") << "主管" << false << false << "请至少选择一个审核人。";
    }
    void saveRefusals()
    {
        QFETCH(QString, name);
        QFETCH(bool, auditor);
        QFETCH(bool, billInFlow);
        QFETCH(QString, message);
        if (billInFlow)
            PutBillInFlow(11);
        auto form = Editor(QStringLiteral("A"), 11);
        QCOMPARE(form->lblHint->isVisibleTo(form.get()), billInFlow);
        form->edtAuditName->setText(name);
        if (auditor)
            form->EditAuditors();
        form->btnGBitbtn1->click();
        QCOMPARE(Last(), message);
        QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM AuditDetail")).toInt(), 0);
        QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM AuditNdx")).toInt(), 0);
    }

    void saveStoresLevel()
    {
        auto form = Editor(QStringLiteral("A"), 11);
        form->edtAuditName->setText(QStringLiteral("主管审核"));
        form->rbWhole->setChecked(true);
        form->EditAuditors();
        SetFactor(*form, 0, QStringLiteral("数量合计"));
        Edit(*form, 0, colUpper, QStringLiteral("500.123456"));
        SetFactor(*form, 1, QStringLiteral("折扣"));
        form->btnGBitbtn1->click();
        QCOMPARE(Last(), QStringLiteral("第2行要素上下限不能同时为空，请重新录入。"));
        form->DeleteConditionRow(1);
        form->btnGBitbtn1->click();
        QCOMPARE(Last(), QStringLiteral("保存成功。"));
        const accountdb::ResultSet rs = FSet->Db().query(
            QStringLiteral("SELECT d.Leveal, d.AuditType, d.AuditCondition, c.upperLimit, c.RowNo, "
                           "e.EtypeID, n.IsAudit, n.SonLeveal "
                           "FROM AuditDetail d JOIN AuditConditionDetail c ON c.VchType = d.Vchtype JOIN "
                           "\"AuditDetail-E\" e "
                           "ON e.Vchtype = d.Vchtype JOIN AuditNdx n ON n.Vchtype = d.Vchtype"));
        QCOMPARE(rs.rows.size(), 1);
        QCOMPARE(rs.rows[0], (QVariantList{1, 1, QStringLiteral("  (数量合计 <= 500.123456)"), 500.1235, 0,
                                           QStringLiteral("A1"), 1, 1}));

        // The small editions have one level only.
        uDllComm::DllParams.PubVersion2 = 2680;
        auto second = Editor(QStringLiteral("A"), 11);
        second->edtAuditName->setText(QStringLiteral("经理审核"));
        second->EditAuditors();
        second->btnGBitbtn1->click();
        QCOMPARE(Last(), QStringLiteral("该级次已存在，不能新增。"));
        QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM AuditDetail")).toInt(), 1);
    }

    void modifyGoneLevel()
    {
        QVERIFY(!Editor(QStringLiteral("M"), 11, 3));
        QCOMPARE(Last(), QStringLiteral("该级次不存在或已被删除，请重新选择。"));
    }

    void treeAndSwitch()
    {
        AddLevel(34, 1, false);
        TfrmBillAuditConfig form;
        QStringList top;
        for (int i = 0; i < form.tvList->topLevelItemCount(); ++i)
            top << form.tvList->topLevelItem(i)->text(0);
        QCOMPARE(top, (QStringList{"采购类", "销售类", "库存类", "钱流类", "实物仓库", "生产类", "委外类",
                                   "简单委外类"}));
        QCOMPARE(form.Current()->VchType, 6); // the first bill type of 采购类
        form.tvList->setCurrentItem(form.FindNode(11));
        form.btnStart->click();
        QCOMPARE(Last(), QStringLiteral("必须先设置审核流程才能启用。"));
        form.tvList->setCurrentItem(form.FindNode(34));
        QCOMPARE(form.lblSelectVch->text(), QStringLiteral("选择单据：进货单"));
        QCOMPARE(form.btnStart->text(), QStringLiteral("启用"));
        form.btnStart->click();
        QCOMPARE(form.FindNode(34)->data(0, TfrmBillAuditConfig::kStateRole).toInt(), 1);
        QCOMPARE(form.btnStart->text(), QStringLiteral("停用"));
        PutBillInFlow(34);
        form.btnStart->click();
        QCOMPARE(Last(), QStringLiteral("进货单中有单据在审批流程中，不能停用该审批流程。"));
        for (QPushButton *b : {form.btnNew, form.btnDelete, form.btnBarcodeConfig})
            b->click();
        QCOMPARE(FSet->Messages().Texts().mid(FSet->Messages().Texts().size() - 3),
                 (QStringList{"  进货单还有单据在审核流程中，不能新增该种单据的审核设置。",
                              "  进货单还有单据在审核流程中，不能删除该种单据的审核设置。",
                              "  进货单还有单据在审核流程中，不能修改该种单据的特审人。"}));
    }

    void deleteLastLevel()
    {
        AddLevel(11, 1);
        TfrmBillAuditConfig form;
        form.tvList->setCurrentItem(form.FindNode(11));
        FSet->Messages().Answers.enqueue(true);
        form.btnDelete->click();
        QCOMPARE(Last(), QStringLiteral("删除后将会停用本单据的审核流程，是否继续？"));
        QCOMPARE(form.MainGrid->rowCount(), 0);
        QCOMPARE(form.FindNode(11)->data(0, TfrmBillAuditConfig::kStateRole).toInt(), 2);
        QCOMPARE(Value(QStringLiteral("SELECT IsAudit FROM AuditNdx WHERE Vchtype = 11")).toInt(), 0);
    }

    void specialAuditorsEnableFlow()
    {
        TfrmBillAuditConfig form;
        form.tvList->setCurrentItem(form.FindNode(9));
        form.btnBarcodeConfig->click();
        QCOMPARE(form.MainGrid->rowCount(), 1);
        QCOMPARE(form.MainGrid->item(0, 2)->text(), QStringLiteral("张三"));
        QCOMPARE(form.MainGrid->item(0, 4)->text(), QStringLiteral("-1"));
        QCOMPARE(form.FindNode(9)->data(0, TfrmBillAuditConfig::kStateRole).toInt(), 1);
    }

    void copyFlow_data()
    {
        QTest::addColumn<int>("target");
        QTest::addColumn<QString>("setup"); // "enabled" / "special" / ""
        QTest::addColumn<QStringList>("messages");
        QTest::addColumn<bool>("copied");
        QTest::newRow("to itself") << 11 << "" << QStringList{"不能将审核流程复制给自己。"} << false;
        QTest::newRow("onto an enabled flow")
            << 45 << "enabled" << QStringList{"【销售退货单】已启用了审核流程，不能覆盖。"} << false;
        QTest::newRow("onto special auditors asks")
            << 45 << "special" << QStringList{"【销售退货单】已设置审核流程，是否覆盖？"} << true;
        QTest::newRow("onto an empty type") << 45 << "" << QStringList{} << true;
    }
    void copyFlow()
    {
        QFETCH(int, target);
        QFETCH(QString, setup);
        QFETCH(QStringList, messages);
        QFETCH(bool, copied);
        AddLevel(11, 1);
        if (setup == QStringLiteral("enabled"))
            AddLevel(45, 1);
        if (setup == QStringLiteral("special"))
            FSet->Db().exec(
                QStringLiteral("INSERT INTO \"AuditNdx-E\" (Vchtype, EtypeID) VALUES (45, 'A1')"));
        TfrmBillAuditConfig form;
        form.tvList->setCurrentItem(form.FindNode(11));
        FSet->Messages().Clear();
        Kvtable::RunGuarded([&] { form.CopyFlowTo(target, QStringLiteral("销售退货单")); });
        QCOMPARE(FSet->Messages().Texts().mid(0, messages.size()), messages);
        QCOMPARE(form.Current()->VchType, copied ? 45 : 11);
        QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM \"AuditNdx-E\" WHERE Vchtype = 45")).toInt(),
                 setup == QStringLiteral("special") && !copied ? 1 : 0);
    }
};

QTEST_MAIN(TstAuditConfig)
#include "tst_auditconfig.moc"
