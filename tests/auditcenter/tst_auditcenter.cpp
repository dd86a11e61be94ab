// The audit centre on a real account set with a flow of two levels: the lists per node for the maker
// and both auditors, auditing from the centre (summary, the OK/Cancel choice on a failing bill, the
// detail right, no ticked row), the history rows, base-data rights in the lists, the unit and employee
// conditions, the checkout's "No" leading to the centre, and orvane-admin audit --list.

#include <QApplication>
#include <QComboBox>
#include <QDate>
#include <QLineEdit>
#include <QPointer>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

#include "AccountDatabase.h"
#include "AuditEngine.h"
#include "HostAudit.h"
#include "HostBaseSelect.h"
#include "HostBillConfig.h"
#include "Kvbasicinfocomponent.h"
#include "Kvggeneralgrid.h"
#include "TestAccountSet.h"
#include "Udllbaseselect.h"
#include "Udllbillconfig.h"
#include "Udllbillinterface.h"
#include "uAuditNew.h"
#include "uJxcCheckOutCore.h"

using accountdb::ProcParams;
namespace audit = accountdb::audit;

namespace {
const QString G1 = QStringLiteral("00001");
const QString W1 = QStringLiteral("00001");
} // namespace

class TstAuditCenter : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAccountSet> FSet;
    std::unique_ptr<HostAudit> FHostAudit;
    std::unique_ptr<HostBillConfig> FBillConfig;
    QString FDate;

    accountdb::AccountDatabase &Db() { return FSet->Db(); }

    // Levels as "auditors": "A1,A2" one of them passes.
    void Flow(const QStringList &levels)
    {
        for (int i = 0; i < levels.size(); ++i) {
            Db().exec(QStringLiteral("INSERT INTO AuditDetail (Vchtype, Leveal, FullName) VALUES (11, ?, ?)"),
                      {i + 1, QStringLiteral("级%1").arg(i + 1)});
            for (const QString &a : levels[i].split(u','))
                Db().exec(QStringLiteral(
                              "INSERT INTO \"AuditDetail-E\" (Vchtype, Leveal, EtypeID) VALUES (11, ?, ?)"),
                          {i + 1, a});
        }
        Db().exec(QStringLiteral("INSERT INTO AuditNdx (Vchtype, IsAudit, SonLeveal) VALUES (11, 1, ?)"),
                  {int(levels.size())});
    }

    qint64 Sell(const QString &ktype = W1)
    {
        ProcParams p{{QStringLiteral("@nVchType"), 11},
                     {QStringLiteral("@szDate"), FDate},
                     {QStringLiteral("@szKTypeID"), ktype},
                     {QStringLiteral("@szOperatorID"), QStringLiteral("M1")},
                     {QStringLiteral("@szXML"),
                      QStringLiteral("<Root><Record PtypeID=\"%1\" Qty=\"1\" Price=\"3\"/></Root>").arg(G1)},
                     {QStringLiteral("@nAuditVchcode"), 0},
                     {QStringLiteral("@nVchcode"), 0, true},
                     {QStringLiteral("@ErrMsg"), QString(), true}};
        [&] { QCOMPARE(Db().callProc(QStringLiteral("P_Jxc_PostBill"), p), 1); }();
        return p[6].value.toLongLong();
    }

    QList<qint64> Listed(TfrmAuditNew &form, int group, int state)
    {
        form.SelectNode(group, state);
        QList<qint64> codes;
        for (int row = 0; row < form.MainGrid->rowCount(); ++row)
            codes << form.MainGrid->CellText(row, QStringLiteral("vchcode")).toLongLong();
        return codes;
    }

    void TickAll(TfrmAuditNew &form)
    {
        for (int row = 0; row < form.MainGrid->rowCount(); ++row)
            form.SetRowChecked(row, true);
    }

private slots:
    void init()
    {
        FSet = std::make_unique<TestAccountSet>();
        const int year =
            Db().value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'CurrentYear'"))
                .toInt();
        FDate = QDate(year, 1, 20).toString(QStringLiteral("yyyy-MM-dd"));
        FSet->System().SetPubDefaultBeginDate(QDate(year, 1, 1).toString(QStringLiteral("yyyy-MM-dd")));
        FSet->System().SetPubDefaultEndDate(QDate(year, 12, 31).toString(QStringLiteral("yyyy-MM-dd")));
        const int functionNo =
            Db().value(QStringLiteral("SELECT FunctionNo FROM T_GBL_Vchtype WHERE Vchtype = 11")).toInt();
        Db().execBatch(
            QStringLiteral(
                "INSERT INTO ptype (typeId, UserCode, FullName) VALUES (?, 'G1', '铝板');"
                "INSERT INTO stock (typeId, FullName) VALUES (?, '总仓'), ('00002', '分仓');"
                "INSERT INTO \"group\" (ID, GroupName) VALUES (9, '审核组');"
                "INSERT INTO T_Gbl_UserPower (GroupID, LimitNo, LimitPower) VALUES (9, 1974, '1'), "
                "(9, ?, ?)"),
            {G1, W1, functionNo, QString(150, u'1')});
        for (const QString &e :
             {QStringLiteral("M1"), QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("A3")}) {
            Db().exec(QStringLiteral("INSERT INTO Employee (TypeId, UserCode, FullName) VALUES (?, ?, ?)"),
                      {e, e, QStringLiteral("员工") + e});
            Db().exec(QStringLiteral("INSERT INTO T_GBL_LoginUser (ETypeId) VALUES (?)"), {e});
            Db().exec(QStringLiteral("INSERT INTO UserToGroup (UserID, GroupId) VALUES (?, 9)"), {e});
        }
        for (const QString &ktype : {W1, QStringLiteral("00002")}) {
            ProcParams p{
                {QStringLiteral("@nVchType"), 201},
                {QStringLiteral("@szDate"), QDate(year, 1, 1).toString(QStringLiteral("yyyy-MM-dd"))},
                {QStringLiteral("@szKTypeID"), ktype},
                {QStringLiteral("@szXML"),
                 QStringLiteral("<Root><Record PtypeID=\"%1\" Qty=\"100\" Price=\"2\"/></Root>").arg(G1)}};
            QCOMPARE(Db().callProc(QStringLiteral("P_Jxc_PostBill"), p), 0);
        }
        Db().exec(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = '1' WHERE SubName = 'iniover'"));
        FHostAudit = std::make_unique<HostAudit>([this] { return &Db(); }, FSet->System(), FSet->Messages());
        FBillConfig = std::make_unique<HostBillConfig>([this] { return &Db(); });
        Udllbillinterface::BillInterface = FHostAudit.get();
        Udllbillconfig::BillConfigIntf = FBillConfig.get();
    }
    void cleanup()
    {
        QList<QPointer<QWidget>> windows;
        for (QWidget *w : QApplication::topLevelWidgets())
            windows << w;
        for (const QPointer<QWidget> &w : windows)
            delete w.data();
        Udllbillinterface::BillInterface = nullptr;
        Udllbillconfig::BillConfigIntf = nullptr;
        FHostAudit.reset();
        FBillConfig.reset();
        FSet.reset();
    }

    // Two levels: level 1 audits from the centre, the bill moves to level 2, is posted after it, and
    // every node shows it where it belongs.
    void twoLevels()
    {
        Flow({QStringLiteral("A1"), QStringLiteral("A2")});
        const qint64 bill = Sell();
        FSet->ActAs(QStringLiteral("A2"), false);
        {
            TfrmAuditNew form;
            QVERIFY(Listed(form, 1, 1).isEmpty());
        }
        FSet->ActAs(QStringLiteral("A1"), false);
        {
            TfrmAuditNew form;
            QCOMPARE(Listed(form, 1, 1), QList<qint64>{bill});
            QCOMPARE(form.OtherGrid->rowCount(), 1); // the submission
            TickAll(form);
            FSet->Messages().Answers.enqueue(true);
            form.btnAuditClick();
            QCOMPARE(FSet->Messages().LastText(), QStringLiteral("共选中1张单据，成功审核1张。"));
            QVERIFY(Listed(form, 1, 1).isEmpty());
            QCOMPARE(Listed(form, 1, 2), QList<qint64>{bill});
            QCOMPARE(form.OtherGrid->rowCount(), 2);
            QCOMPARE(form.OtherGrid->CellText(1, QStringLiteral("Audit")), QStringLiteral("通过"));
        }
        FSet->ActAs(QStringLiteral("A2"), false);
        {
            TfrmAuditNew form;
            QCOMPARE(Listed(form, 1, 1), QList<qint64>{bill});
            TickAll(form);
            FSet->Messages().Answers.enqueue(true);
            form.btnAuditClick();
            QCOMPARE(FSet->Messages().LastText(), QStringLiteral("共选中1张单据，成功审核1张。"));
        }
        QCOMPARE(Db().value(QStringLiteral("SELECT Draft FROM DlyNdx WHERE Vchcode = ?"), {bill}).toInt(), 2);
        FSet->ActAs(QStringLiteral("M1"), false);
        TfrmAuditNew form;
        QVERIFY(Listed(form, 2, 1).isEmpty());
        QCOMPARE(Listed(form, 2, 2), QList<qint64>{bill});
        QCOMPARE(form.OtherGrid->rowCount(), 3);
    }

    // Several bills, one taken by another auditor meanwhile: OK goes on, Cancel opens that bill.
    void batchWithFailure_data()
    {
        QTest::addColumn<bool>("goOn");
        QTest::addColumn<QString>("last");
        QTest::newRow("OK goes on") << true << QStringLiteral("共选中3张单据，成功审核2张。");
        QTest::newRow("Cancel opens the bill") << false << QString();
    }
    void batchWithFailure()
    {
        QFETCH(bool, goOn);
        QFETCH(QString, last);
        Flow({QStringLiteral("A1,A2"), QStringLiteral("A3")});
        Sell();
        const qint64 taken = Sell();
        Sell();
        FSet->ActAs(QStringLiteral("A1"), false);
        TfrmAuditNew form;
        QCOMPARE(Listed(form, 1, 1).size(), 3);
        QCOMPARE(audit::runStep(Db(), taken, QStringLiteral("A2"), audit::Pass, QString()).code,
                 int(audit::Passed));
        TickAll(form);
        FSet->Messages().Answers << true << goOn;
        form.btnAuditClick();
        const QString number =
            Db().value(QStringLiteral("SELECT Number FROM DlyNdx WHERE Vchcode = ?"), {taken}).toString();
        QVERIFY(FSet->Messages().Texts().contains(
            QStringLiteral("销售单：%1没有审核成功，按确定将继续，按取消退出。").arg(number)));
        if (goOn)
            QCOMPARE(FSet->Messages().LastText(), last);
        else {
            const QWidgetList windows = QApplication::topLevelWidgets();
            QVERIFY(std::any_of(windows.begin(), windows.end(),
                                [](QWidget *w) { return w->objectName() == u"frmBillView"; }));
        }
    }

    // Refusals before anything is audited.
    void refusals_data()
    {
        QTest::addColumn<bool>("tick");
        QTest::addColumn<QString>("power");
        QTest::addColumn<QString>("message");
        QTest::newRow("no ticked row")
            << false << QString(150, u'1') << QStringLiteral("请选择要审核的单据。");
        QTest::newRow("no detail right 96") << true << QString(95, u'1') + u'0' + QString(54, u'1')
                                            << QStringLiteral("您没有第[1]行单据的权限，不能审核该单据。");
    }
    void refusals()
    {
        QFETCH(bool, tick);
        QFETCH(QString, power);
        QFETCH(QString, message);
        Flow({QStringLiteral("A1")});
        const qint64 bill = Sell();
        Db().exec(QStringLiteral("UPDATE T_Gbl_UserPower SET LimitPower = ? WHERE LimitNo <> 1974"), {power});
        FSet->ActAs(QStringLiteral("A1"), false);
        TfrmAuditNew form;
        if (tick)
            TickAll(form);
        form.btnAuditClick();
        QCOMPARE(FSet->Messages().LastText(), message);
        QCOMPARE(audit::billState(Db(), bill)->state, int(audit::Waiting));
    }

    // A bill on a warehouse the auditor may not use is left out of his list.
    void listsHideForbiddenBills()
    {
        Flow({QStringLiteral("A1")});
        const qint64 visible = Sell();
        Sell(QStringLiteral("00002"));
        Db().execBatch(
            QStringLiteral("INSERT INTO KrightGroup (KRightGroup, RightName) VALUES (5, '总仓组');"
                           "INSERT INTO T_Kright (KRightGroup, TypeID) VALUES (5, '00001');"
                           "INSERT INTO T_EtypeID_KrightGroup (EtypeID, KRightGroup) VALUES ('A1', 5)"));
        FSet->ActAs(QStringLiteral("A1"), false);
        TfrmAuditNew form;
        QCOMPARE(Listed(form, 1, 1), QList<qint64>{visible});
    }

    // The checkout's "No" to its unaudited-bills question opens the audit centre.
    void checkoutNoOpensCentre()
    {
        TfrmAuditNew::InstallAuditQueryHook();
        // The query conditions come first: a sale's type only.
        Flow({QStringLiteral("A1")});
        QTimer::singleShot(0, [] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog && dialog->objectName() == u"frmAuditCondition");
            auto *types = dialog->findChild<QComboBox *>(QStringLiteral("cboVchType"));
            types->setCurrentIndex(types->findData(11));
            dialog->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        });
        uJxcCheckOutCore::ShowAuditQueryHook();
        uJxcCheckOutCore::ShowAuditQueryHook = nullptr;
        const QWidgetList windows = QApplication::topLevelWidgets();
        const auto centre = std::find_if(windows.begin(), windows.end(),
                                         [](QWidget *w) { return qobject_cast<TfrmAuditNew *>(w); });
        QVERIFY(centre != windows.end());
        QCOMPARE(qobject_cast<TfrmAuditNew *>(*centre)->Conditions.VchType, 11);
    }

    // orvane-admin audit --list: the centre's waiting list of the operator, one line per bill, with the
    // same base-data rights; --mine his own bills still in their flow.
    void adminList_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<bool>("mine");
        QTest::addColumn<bool>("foreignWarehouse"); // the bill's warehouse is not one the operator may use
        QTest::addColumn<bool>("listed");
        QTest::newRow("auditor of the level") << "A1" << false << false << true;
        QTest::newRow("not an auditor") << "A2" << false << false << false;
        QTest::newRow("auditor without the warehouse") << "A1" << false << true << false;
        QTest::newRow("maker's own") << "M1" << true << false << true;
        QTest::newRow("auditor's own") << "A1" << true << false << false;
    }
    void adminList()
    {
        QFETCH(QString, op);
        QFETCH(bool, mine);
        QFETCH(bool, foreignWarehouse);
        QFETCH(bool, listed);
        Flow({QStringLiteral("A1")});
        const qint64 bill = Sell();
        if (foreignWarehouse)
            Db().execBatch(
                QStringLiteral("INSERT INTO KrightGroup (KRightGroup, RightName) VALUES (5, '分仓组');"
                               "INSERT INTO T_Kright (KRightGroup, TypeID) VALUES (5, '00002');"
                               "INSERT INTO T_EtypeID_KrightGroup (EtypeID, KRightGroup) VALUES (?, 5)"),
                {op});
        QProcess p;
        p.setStandardInputFile(QProcess::nullDevice());
        p.start(QStringLiteral(ORVANE_ADMIN_PATH),
                QStringList{QStringLiteral("audit"), QStringLiteral("--list"), QStringLiteral("--db"),
                            FSet->Path(), QStringLiteral("--operator"), op} +
                    (mine ? QStringList{QStringLiteral("--mine")} : QStringList()));
        QVERIFY(p.waitForFinished(60000));
        const QString out = QString::fromUtf8(p.readAllStandardOutput());
        QCOMPARE(p.exitCode(), 0);
        const QStringList lines = out.split(u'\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), listed ? 2 : 1); // the header, then one line per bill
        if (listed) {
            const QString number =
                Db().value(QStringLiteral("SELECT Number FROM DlyNdx WHERE Vchcode = ?"), {bill}).toString();
            QVERIFY2(
                lines[1].startsWith(QString::number(bill) + QStringLiteral("\t") + FDate + u'\t' + number),
                qPrintable(lines[1]));
            QVERIFY2(lines[1].endsWith(QStringLiteral("\t0/1")), qPrintable(lines[1]));
        }
    }

    // The query conditions' unit and handling employee, picked through the host's selection dialog, limit
    // the list to the bills of both.
    void unitAndEmployeeConditions()
    {
        Flow({QStringLiteral("A1")});
        const qint64 chosen = Sell();
        Sell();
        Db().exec(QStringLiteral("INSERT INTO btype (typeId, UserCode, FullName, BtypeKind) VALUES "
                                 "('00001', 'C1', '甲客户', 1)"));
        Db().exec(QStringLiteral("UPDATE DlyNdx SET BtypeId = '00001', EtypeId = 'A3' WHERE Vchcode = ?"),
                  {chosen});
        HostBaseSelect select([this] { return &Db(); });
        Udllbaseselect::BaseSelect = &select;
        FSet->ActAs(QStringLiteral("A1"), false);
        TfrmAuditNew form;
        QCOMPARE(Listed(form, 1, 1).size(), 2);
        const auto pick = [](const QString &code) {
            QTimer::singleShot(0, [code] {
                QWidget *dialog = QApplication::activeModalWidget();
                QVERIFY(dialog && dialog->objectName() == u"frmBaseSelect");
                dialog->findChild<QLineEdit *>(QStringLiteral("edtSearch"))->setText(code);
                dialog->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
            });
        };
        QTimer::singleShot(0, [&pick] {
            QWidget *dialog = QApplication::activeModalWidget();
            QVERIFY(dialog && dialog->objectName() == u"frmAuditCondition");
            pick(QStringLiteral("C1"));
            dialog->findChild<TGLabelBtnEdit *>(QStringLiteral("edtBtype"))->Button()->click();
            pick(QStringLiteral("A3"));
            dialog->findChild<TGLabelBtnEdit *>(QStringLiteral("edtEtype"))->Button()->click();
            dialog->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        });
        const bool accepted = form.AskConditions();
        Udllbaseselect::BaseSelect = nullptr;
        QVERIFY(accepted);
        QCOMPARE(form.Conditions.BtypeId, QStringLiteral("00001"));
        QCOMPARE(form.Conditions.EtypeId, QStringLiteral("A3"));
        form.LoadList();
        QCOMPARE(Listed(form, 1, 1), QList<qint64>{chosen});
    }
};

QTEST_MAIN(TstAuditCenter)
#include "tst_auditcenter.moc"
