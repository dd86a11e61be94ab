// Bill number formats and serial-number rules: the samples of the styles, the checks before a save and
// their order, loading a stored pattern, the save and the number it gives, the counter reset, the rule
// list (default mark padded by GBK bytes, sequence part required, rules deleted meanwhile) and bill
// numbers taken by several processes at once.

#include <QComboBox>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSysInfo>
#include <QtTest>

#include "../forms/tst_print_support.h"

#include "AccountDatabase.h"
#include "TestAccountSet.h"
#include "Udllbaseselect.h"
#include "uDllComm.h"
#include "uNumberingCommon.h"
#include "uSNDef.h"
#include "uSerialNumRules.h"
#include "uSetSerialNumer.h"

namespace {

const QString kStyleTwoMonthly =
    QStringLiteral("单据编号格式使用了“样式二”，编号设置必须选择“全年编号递增”，请重新设置编号规则。");
const QString kTooLong = QStringLiteral("单据编号格式总长度超出系统范围，请重新设置编号规则。");
const QString kSpecial =
    QStringLiteral("单据编号不能包含以下特殊字符：\n    ~, `, !, @, #, $, %, ^, &, *, \", <");
const QString kQuotes = QStringLiteral("单据编号格式中的'必须成对出现，请重新设置编号规则。");

QString Pattern(const QStringList &parts)
{
    QStringList ten = parts;
    while (ten.size() < 10)
        ten << QString();
    return uNumberingCommon::JoinParts(ten);
}

void SetParts(TfrmSNDefDlg &form, const QStringList &parts)
{
    for (int i = 0; i < form.cb.size(); ++i)
        form.cb[i]->setEditText(parts.value(i));
}

QString StoredPattern(accountdb::AccountDatabase &db, int vchType)
{
    return db.value(QStringLiteral("SELECT SNFormat FROM T_GBL_Vchtype WHERE Vchtype = ?"), {vchType})
        .toString();
}

int AddRule(accountdb::AccountDatabase &db, const QString &code, const QString &name,
            const QString &pattern = {})
{
    accountdb::ProcParams p{{QStringLiteral("@cMode"), QStringLiteral("A")},
                            {QStringLiteral("@ID"), 0},
                            {QStringLiteral("@Code"), code},
                            {QStringLiteral("@FullName"), name},
                            {QStringLiteral("@Default"), 0},
                            {QStringLiteral("@SNFormat"), QString()},
                            {QStringLiteral("@SNLex"), 0}};
    const int id = db.callProc(QStringLiteral("P_KOVA_SerialNumberRules"), p);
    if (!pattern.isEmpty())
        db.exec(QStringLiteral("UPDATE SerialNumRules SET SNFormat = ? WHERE ID = ?"), {pattern, id});
    return id;
}

} // namespace

class TestNumbering : public QObject
{
    Q_OBJECT
private slots:
    void init() { FSet = std::make_unique<TestAccountSet>(); }
    void cleanup() { FSet.reset(); }

    void styleSamples_data();
    void styleSamples();
    void validationOrder_data();
    void validationOrder();
    void loadMatchesStyle_data();
    void loadMatchesStyle();
    void okSavesPatternRulesAndSwitches();
    void ruleOneDisablesRuleTwo();
    void otherBillTypeAndAll();
    void clearCounters();
    void ruleNodeText_data();
    void ruleNodeText();
    void serialRuleSave_data();
    void serialRuleSave();
    void serialRuleDeletedMeanwhile();
    void serialRuleAddAndDefault();
    void emptyRuleTableDisablesEditor();
    void concurrentBillNumbers();

private:
    std::unique_ptr<TestAccountSet> FSet;
};

void TestNumbering::styleSamples_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QString>("sample");
    for (int style = 1; style <= 4; ++style)
        QTest::addRow("style %d", style)
            << Pattern(TfrmSNDefDlg::StyleParts(style))
            << QStringList{QStringLiteral("XS-2004-01-01-00001"), QStringLiteral("XS-2004-00001"),
                           QStringLiteral("XS-01-01-00001"), QStringLiteral("XS-20040101-00001")}[style - 1];
    QTest::newRow("style 5") << Pattern(TfrmSNDefDlg::StyleParts(5))
                             << QSysInfo::machineHostName() + QStringLiteral("XS-2004-01-01-00001");
    QTest::newRow("sequence alone") << Pattern({QStringLiteral("[0000]")}) << QStringLiteral("0001");
    QTest::newRow("quoted literal") << Pattern({QStringLiteral("'NO'"), QStringLiteral("yy"),
                                                QStringLiteral("[00]")})
                                    << QStringLiteral("NO0401");
}

void TestNumbering::styleSamples()
{
    QFETCH(QString, pattern);
    QFETCH(QString, sample);
    QCOMPARE(uNumberingCommon::SampleNumber(pattern, 11, 0, QDateTime(QDate(2004, 1, 1), QTime(9, 30))),
             sample);
}

void TestNumbering::validationOrder_data()
{
    QTest::addColumn<int>("style");
    QTest::addColumn<int>("rule2");
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<QString>("message");
    const QString longPart(200, QLatin1Char('9'));
    QTest::newRow("style two monthly before everything")
        << 2 << 1 << QStringList{QStringLiteral("#"), longPart} << kStyleTwoMonthly;
    QTest::newRow("too long before special characters")
        << 1 << 0 << QStringList{QStringLiteral("#"), longPart} << kTooLong;
    QTest::newRow("hash") << 1 << 0
                          << QStringList{QStringLiteral("单据前缀"), QStringLiteral("#"),
                                         QStringLiteral("[00000]")}
                          << kSpecial;
    QTest::newRow("double quote") << 1 << 0 << QStringList{QStringLiteral("a\"b"), QStringLiteral("[00000]")}
                                  << kSpecial;
    QTest::newRow("special before quotes")
        << 1 << 0 << QStringList{QStringLiteral("'<"), QStringLiteral("[00000]")} << kSpecial;
    QTest::newRow("unpaired quote") << 1 << 0 << QStringList{QStringLiteral("'X"), QStringLiteral("[00000]")}
                                    << kQuotes;
}

void TestNumbering::validationOrder()
{
    QFETCH(int, style);
    QFETCH(int, rule2);
    QFETCH(QStringList, parts);
    QFETCH(QString, message);
    const QString before = StoredPattern(FSet->Db(), 11);
    TfrmSNDefDlg form;
    form.FVchType = 11;
    QVERIFY(form.Prepare());
    form.findChild<QRadioButton *>(QStringLiteral("RB%1").arg(style))->click();
    form.rg3->SetItemIndex(rule2);
    SetParts(form, parts);
    FSet->Messages().Clear();
    form.findChild<QPushButton *>(QStringLiteral("BitbOK"))->click();
    QCOMPARE(FSet->Messages().Texts(), QStringList{message});
    QCOMPARE(StoredPattern(FSet->Db(), 11), before);
    QVERIFY(form.result() != mrOk);
}

void TestNumbering::loadMatchesStyle_data()
{
    QTest::addColumn<QString>("stored");
    QTest::addColumn<int>("checked");
    QTest::newRow("style three") << Pattern(TfrmSNDefDlg::StyleParts(3)) << 3;
    QTest::newRow("style five") << Pattern(TfrmSNDefDlg::StyleParts(5)) << 5;
    QTest::newRow("no style") << Pattern({QStringLiteral("单据前缀"), QStringLiteral("."),
                                          QStringLiteral("[000]")})
                              << 1;
    QTest::newRow("quotes stripped from the first part")
        << Pattern({QStringLiteral("\"单据前缀\""), QStringLiteral("-"), QStringLiteral("yyyy"),
                    QStringLiteral("-"), QStringLiteral("[00000]")})
        << 2;
}

void TestNumbering::loadMatchesStyle()
{
    QFETCH(QString, stored);
    QFETCH(int, checked);
    FSet->Db().exec(QStringLiteral("UPDATE T_GBL_Vchtype SET SNFormat = ? WHERE Vchtype = 34"), {stored});
    TfrmSNDefDlg form;
    form.FVchType = 34;
    QVERIFY(form.Prepare());
    QVERIFY(form.RB[checked - 1]->isChecked());
    QStringList expected = uNumberingCommon::SplitParts(stored);
    expected[0].remove(QLatin1Char('"'));
    QCOMPARE(uNumberingCommon::SplitParts(form.Pattern()), expected);
    QVERIFY(form.windowTitle().endsWith(QStringLiteral("-[进货单]")));
}

// Done by the book: style one on the sales bill, counted per day; the next number of today follows it.
void TestNumbering::okSavesPatternRulesAndSwitches()
{
    FSet->Db().exec(QStringLiteral("UPDATE T_GBL_Vchtype SET SNFormat = '[0000]' WHERE Vchtype = 11"));
    TfrmSNDefDlg form;
    form.FVchType = 11;
    QVERIFY(form.Prepare());
    QCOMPARE(form.CheckB[0]->text(), QStringLiteral("允许手工修改单据编号"));
    form.RB[0]->click();
    form.rg3->SetItemIndex(2);
    form.CheckB[3]->setChecked(true);  // 132
    form.CheckB[0]->setChecked(false); // 13
    form.findChild<QPushButton *>(QStringLiteral("BitbOK"))->click();
    QCOMPARE(form.result(), int(mrOk));
    QCOMPARE(StoredPattern(FSet->Db(), 11), Pattern(TfrmSNDefDlg::StyleParts(1)));
    QCOMPARE(FSet->Db()
                 .value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'SNLex3'"))
                 .toString(),
             QStringLiteral("2"));
    QCOMPARE(FSet->Db().value(QStringLiteral("SELECT Stats FROM T_Gbl_SysCon WHERE ConId = 132")).toInt(), 1);
    QCOMPARE(FSet->Db().value(QStringLiteral("SELECT Stats FROM T_Gbl_SysCon WHERE ConId = 13")).toInt(), 0);

    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    accountdb::ProcParams p{{QStringLiteral("@nWork"), 1},
                            {QStringLiteral("@nVchType"), 11},
                            {QStringLiteral("@szDate"), today},
                            {QStringLiteral("@szNumberIn"), QString()},
                            {QStringLiteral("@szNumber"), QString(), true}};
    QCOMPARE(FSet->Db().callProc(QStringLiteral("p_jxc_GetVchNumber"), p), 0);
    QCOMPARE(p.last().value.toString(), QStringLiteral("XS-") + today + QStringLiteral("-00001"));
}

void TestNumbering::ruleOneDisablesRuleTwo()
{
    uDllComm::DllParams.PubVersion2 = 880;
    TfrmSNDefDlg form;
    form.FVchType = 11;
    QVERIFY(form.Prepare());
    uDllComm::DllParams.PubVersion2 = 6680;
    QVERIFY(form.CheckB[2]->isHidden()); // 72 in the basic edition
    QVERIFY(!form.CheckB[3]->isHidden());
    form.rg3->SetItemIndex(1);
    form.rg1->Item(1)->click();
    QCOMPARE(form.rg3->ItemIndex(), 0);
    QVERIFY(!form.rg3->isEnabled());
    form.rg1->Item(0)->click();
    QVERIFY(form.rg3->isEnabled());
}

// Another bill type: the current pattern is saved first (a failing check keeps the current type), then
// the chosen type is loaded; 应用到所有单据 stores the pattern for every type.
void TestNumbering::otherBillTypeAndAll()
{
    struct PickVchtype final : IBaseSelect
    {
        bool SelectBaseData(const QString &kind, const QString &, bool, TBaseRecordList &selected) override
        {
            selected = {{QStringLiteral("34"), QStringLiteral("34"), QStringLiteral("进货单"), {}}};
            return kind == QLatin1String("Vchtype");
        }
        bool SelectAtype(const QString &, TBaseRecord &) override { return false; }
    } pick;
    IBaseSelect *host = Udllbaseselect::BaseSelect;
    Udllbaseselect::BaseSelect = &pick;
    TfrmSNDefDlg form;
    form.FVchType = 11;
    QVERIFY(form.Prepare());
    SetParts(form, {QStringLiteral("#"), QStringLiteral("[000]")});
    form.SBtnOther->click();
    QCOMPARE(form.FVchType, 11);
    QCOMPARE(FSet->Messages().LastText(), kSpecial);
    SetParts(form, {QStringLiteral("S"), QStringLiteral("[000]")});
    form.SBtnOther->click();
    Udllbaseselect::BaseSelect = host;
    QCOMPARE(StoredPattern(FSet->Db(), 11), Pattern({QStringLiteral("S"), QStringLiteral("[000]")}));
    QCOMPARE(form.FVchType, 34);
    QCOMPARE(form.windowTitle(), QStringLiteral("单据编号规则及样式-[进货单]"));
    QCOMPARE(form.lblTitle->text().trimmed(), QStringLiteral("单据编号格式设置-[进货单]"));
    QCOMPARE(form.Pattern(), StoredPattern(FSet->Db(), 34));

    form.SBtnAll->click();
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("已成功将当前编号规则应用到所有单据。"));
    QCOMPARE(FSet->Db().value(QStringLiteral("SELECT count(DISTINCT SNFormat) FROM T_GBL_Vchtype")).toInt(),
             1);
}

void TestNumbering::clearCounters()
{
    accountdb::AccountDatabase &db = FSet->Db();
    db.exec(QStringLiteral("UPDATE T_GBL_Vchtype SET SNMax = 7"));
    db.exec(QStringLiteral("INSERT INTO BillYearNumber (Vchtype, Year, MaxNo) VALUES (11, 2024, 9)"));
    db.exec(
        QStringLiteral("INSERT INTO billdaynumber (Vchtype, BillDate, MaxNo) VALUES (11, '2024-01-02', 3)"));
    TfrmSNDefDlg form;
    form.FVchType = 11;
    QVERIFY(form.Prepare());
    FSet->Messages().Answers.enqueue(false);
    form.SBtnClear->click();
    QCOMPARE(db.value(QStringLiteral("SELECT max(MaxNo) FROM BillYearNumber")).toInt(), 9);
    form.SBtnClear->click();
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("将全部单据的编号计数器设置为'0',确定要继续吗？"));
    QCOMPARE(db.value(QStringLiteral("SELECT max(SNMax) FROM T_GBL_Vchtype")).toInt(), 0);
    QCOMPARE(db.value(QStringLiteral("SELECT max(MaxNo) FROM BillYearNumber")).toInt(), 0);
    QCOMPARE(db.value(QStringLiteral("SELECT max(MaxNo) FROM billdaynumber")).toInt(), 0);
}

void TestNumbering::ruleNodeText_data()
{
    QTest::addColumn<QString>("fullName");
    QTest::addColumn<bool>("isDefault");
    QTest::addColumn<QString>("text");
    // "01 常规" is 2 + 1 + 4 GBK bytes: 15 blanks make 22.
    QTest::newRow("padded by bytes") << QStringLiteral("01 常规") << true
                                     << QStringLiteral("01 常规") + QString(15, u' ') +
                                            QStringLiteral("默认");
    QTest::newRow("exactly 22 bytes")
        << QStringLiteral("001 一二三四五六七八九") << true << QStringLiteral("001 一二三四五六七八九默认");
    QTest::newRow("longer: 19 characters")
        << QStringLiteral("0001 一二三四五六七八九十") << true
        << QStringLiteral("0001 一二三四五六七八九十").left(19) + QStringLiteral("...默认");
    QTest::newRow("not default") << QStringLiteral("01 常规") << false << QStringLiteral("01 常规");
}

void TestNumbering::ruleNodeText()
{
    QFETCH(QString, fullName);
    QFETCH(bool, isDefault);
    QFETCH(QString, text);
    QCOMPARE(TfrmSeriaNumRules::NodeText(fullName, isDefault), text);
}

void TestNumbering::serialRuleSave_data()
{
    QTest::addColumn<QStringList>("values"); // stored values of the parts
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("stored"); // empty: nothing stored
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyyMMdd"));
    QTest::newRow("date, hyphen, four digits")
        << QStringList{QStringLiteral("yyyymmdd"), QStringLiteral("-"), QStringLiteral("[0000]")}
        << QStringLiteral("保存成功。")
        << Pattern({QStringLiteral("yyyymmdd"), QStringLiteral("-"), QStringLiteral("[0000]")});
    QTest::newRow("no sequence") << QStringList{QStringLiteral("yyyy"), QStringLiteral("-"),
                                                QStringLiteral("mm")}
                                 << QStringLiteral("规则配置至少需要包含一种流水号。") << QString();
    QTest::newRow("ampersand") << QStringList{QStringLiteral("A&B"), QString(), QStringLiteral("[00]")}
                               << QStringLiteral("规则配置不能包含以下特殊字符：&,',\"") << QString();
}

void TestNumbering::serialRuleSave()
{
    QFETCH(QStringList, values);
    QFETCH(QString, message);
    QFETCH(QString, stored);
    const int id = AddRule(FSet->Db(), QStringLiteral("01"), QStringLiteral("常规"));
    TfrmSeriaNumRules form;
    form.LoadTree();
    form.tvTree->setCurrentItem(form.tvTree->topLevelItem(0));
    for (int i = 0; i < values.size(); ++i) {
        const int item = i % 2 == 0 ? form.cb[i]->findData(values[i]) : -1;
        if (item >= 0)
            form.cb[i]->setCurrentIndex(item);
        else
            form.cb[i]->setEditText(values[i]);
    }
    form.rg->SetItemIndex(1);
    if (!stored.isEmpty())
        QCOMPARE(form.Lbsample->text(),
                 QDate::currentDate().toString(QStringLiteral("yyyyMMdd")) + QStringLiteral("-0001"));
    FSet->Messages().Clear();
    form.tbtnSave->click();
    QCOMPARE(FSet->Messages().Texts(), QStringList{message});
    QCOMPARE(
        FSet->Db().value(QStringLiteral("SELECT SNFormat FROM SerialNumRules WHERE ID = ?"), {id}).toString(),
        stored);
    QCOMPARE(FSet->Db().value(QStringLiteral("SELECT SNLex FROM SerialNumRules WHERE ID = ?"), {id}).toInt(),
             stored.isEmpty() ? 0 : 1);
}

void TestNumbering::serialRuleDeletedMeanwhile()
{
    AddRule(FSet->Db(), QStringLiteral("01"), QStringLiteral("常规"), Pattern({QStringLiteral("[0]")}));
    TfrmSeriaNumRules form;
    form.LoadTree();
    form.tvTree->setCurrentItem(form.tvTree->topLevelItem(0));
    FSet->Db().exec(QStringLiteral("DELETE FROM SerialNumRules")); // another user
    for (QPushButton *button : {form.tbtnSave, form.btnEdit, form.CMGKvBitbtn3}) {
        FSet->Messages().Clear();
        button->click();
        QCOMPARE(FSet->Messages().Texts(),
                 QStringList{QStringLiteral("该规则已被删除，请刷新数据后重新操作。")});
    }
}

void TestNumbering::serialRuleAddAndDefault()
{
    const int first =
        AddRule(FSet->Db(), QStringLiteral("01"), QStringLiteral("常规"), Pattern({QStringLiteral("[0]")}));
    FSet->Db().exec(QStringLiteral("UPDATE SerialNumRules SET \"Default\" = 1 WHERE ID = ?"), {first});
    TfrmSeriaNumRules form;
    form.LoadTree();
    form.tvTree->setCurrentItem(form.tvTree->topLevelItem(0));
    // A new rule through the code-and-name dialog; a duplicate name is refused first.
    OnNextModal([this](QWidget *dialog) {
        auto *set = qobject_cast<TfrmSetSerialNumber *>(dialog);
        QVERIFY(set);
        QCOMPARE(set->windowTitle(), QStringLiteral("新增序列号自动生成规则"));
        set->edtCode->setText(QStringLiteral(" 02 "));
        set->edtName->setText(QStringLiteral("常规"));
        set->Butt_Save->click();
        QCOMPARE(FSet->Messages().LastText(), QStringLiteral("编码和名称与已有记录重复，不能保存。"));
        set->edtName->setText(QStringLiteral("批次"));
        set->Butt_Save->click();
    });
    form.btnNew->click();
    QCOMPARE(form.Selected().Code, QStringLiteral("02"));
    const int second = form.Selected().Id;
    FSet->Messages().Clear();
    form.CMGKvBitbtn3->click();
    QCOMPARE(FSet->Messages().Texts(), QStringList{QStringLiteral("确定将规则【02 批次】设为默认吗？")});
    QCOMPARE(FSet->Db().query(QStringLiteral("SELECT ID FROM SerialNumRules WHERE \"Default\" = 1")).rows,
             QList<QVariantList>{{second}});
    QCOMPARE(form.Selected().DisplayText, TfrmSeriaNumRules::NodeText(QStringLiteral("02 批次"), true));
    form.CMGKvBitbtn3->click();
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("规则【02 批次】已为默认。"));
}

void TestNumbering::emptyRuleTableDisablesEditor()
{
    AddRule(FSet->Db(), QStringLiteral("01"), QStringLiteral("常规"), Pattern({QStringLiteral("[0]")}));
    TfrmSeriaNumRules form;
    form.LoadTree();
    form.tvTree->setCurrentItem(form.tvTree->topLevelItem(0));
    form.SetEditorEnabled(true);
    FSet->Messages().Answers.enqueue(true);
    form.tbtnDelete->click();
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("确定删除规则【01 常规】吗？"));
    QCOMPARE(form.tvTree->topLevelItemCount(), 0);
    QVERIFY(!form.cb[0]->isEnabled());
    QVERIFY(!form.rg->isEnabled());
    QVERIFY(form.Lbsample->isHidden());
}

// Four processes take 500 numbers each of one bill type: all 2000 distinct and without a gap.
void TestNumbering::concurrentBillNumbers()
{
    FSet.reset(); // the processes open the file themselves
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("many.orv"));
    QCOMPARE(QProcess::execute(QStringLiteral(ORVANE_ADMIN_PATH),
                               {QStringLiteral("create"), QStringLiteral("--db"), db}),
             0);
    QList<QProcess *> processes;
    for (int i = 0; i < 4; ++i) {
        auto *p = new QProcess(this);
        p->start(QStringLiteral(ORVANE_ADMIN_PATH),
                 {QStringLiteral("bill-number"), QStringLiteral("--db"), db, QStringLiteral("--count"),
                  QStringLiteral("500"), QStringLiteral("--date"), QStringLiteral("2024-03-05"),
                  QStringLiteral("11")});
        processes << p;
    }
    QStringList numbers;
    for (QProcess *p : processes) {
        QVERIFY(p->waitForFinished(300000));
        QCOMPARE(p->exitCode(), 0);
        numbers += QString::fromUtf8(p->readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
        delete p;
    }
    QCOMPARE(numbers.size(), 2000);
    std::sort(numbers.begin(), numbers.end());
    for (int i = 0; i < numbers.size(); ++i)
        QCOMPARE(numbers[i], QStringLiteral("XS-2024-03-05-%1").arg(i + 1, 5, 10, QLatin1Char('0')));
}

QTEST_MAIN(TestNumbering)
#include "tst_numbering.moc"
