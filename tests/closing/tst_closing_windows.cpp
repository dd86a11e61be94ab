// The closing windows, driven by object name (offscreen): what they ask, what they show, and what is
// left in the account set.

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QtTest>

#include "AccountDatabase.h"
#include "Kvbasicinfocomponent.h"
#include "Kvggeneralgrid.h"
#include "tst_closing.h"
#include "uDllComm.h"
#include "uJXCCheckOut.h"
#include "uJXCUnCheckOut.h"
#include "uJxcCheckOutCore.h"
#include "uJxcJZSY_view.h"

using accountdb::DbError;
using accountdb::ProcContext;
using namespace uJxcCheckOutCore;

namespace {

const QString kUnauditedOrder = QStringLiteral(
    "INSERT INTO DlyndxOrder (Vchtype, Date, Number, Period, Draft) SELECT 7, StartDate, 'DD-1', Period, 4 "
    "FROM T_Gbl_MonthProc WHERE Period = (SELECT CAST(SubValue AS INTEGER) FROM T_Gbl_SysDataCw WHERE "
    "SubName = 'JxcPeriod')");

template <typename T> T *Child(QWidget &form, const char *name)
{
    T *w = form.findChild<T *>(QString::fromLatin1(name));
    if (!w)
        qFatal("no control %s", name);
    return w;
}

QStringList Kinds(const RecordingMessageService &m)
{
    QStringList kinds;
    for (const RecordedMessage &r : m.Messages)
        kinds << r.Kind;
    return kinds;
}

} // namespace

int TstClosing::ClickCheckOut(bool autoImprove, bool *stillOpen)
{
    TfrmJXCCheckOut form;
    form.show();
    if (Child<QCheckBox>(form, "chkAutoImprove")->isChecked() != autoImprove)
        Child<QCheckBox>(form, "chkAutoImprove")->click();
    Child<QPushButton>(form, "btnOK")->click();
    if (stillOpen)
        *stillOpen = form.isVisible();
    return form.result();
}

void TstClosing::checkOutPreCheck_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("answers"); // y / n per question
    QTest::addColumn<bool>("calcWindow");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<int>("calculations");

    const QString question = QStringLiteral("有存货未计算成本，是否进行成本计算？");
    QTest::newRow("closed period, before any question")
        << kUnauditedOrder +
               QStringLiteral(";INSERT INTO T_Jxc_CheckOutLog (Period, NextPeriod) SELECT CAST(SubValue AS "
                              "INTEGER), 0 FROM T_Gbl_SysDataCw WHERE SubName = 'JxcPeriod'")
        << "" << false << QStringList{"本期间已经做了期末结账。"} << 0;
    QTest::newRow("not opened") << "UPDATE T_Gbl_SysDataCw SET SubValue = '0' WHERE SubName = 'iniover'"
                                << "" << false << QStringList{"系统尚未进行期初结账，不能做月结存。"} << 0;
    QTest::newRow("not costed, no calculation") << "UPDATE ptype SET CalcCost = 1"
                                                << "n" << true << QStringList{question} << 0;
    QTest::newRow("not costed, calculation opened") << "UPDATE ptype SET CalcCost = 1"
                                                    << "y" << true << QStringList{question} << 1;
    QTest::newRow("not costed, no calculation window")
        << "UPDATE ptype SET CalcCost = 1"
        << "y" << false << QStringList{question, "有存货没有进行成本计算，请先计算所有存货成本。"} << 0;
}

void TstClosing::checkOutPreCheck()
{
    QFETCH(QString, setup);
    QFETCH(QString, answers);
    QFETCH(bool, calcWindow);
    QFETCH(QStringList, texts);
    QFETCH(int, calculations);
    Exec(setup);
    for (QChar a : answers)
        FSet->Messages().Answers.enqueue(a == u'y');
    QStringList calls;
    if (calcWindow)
        CalcCostHook = [&calls](const QString &ids) {
            calls << ids;
            return true;
        };
    const QString before = State();
    bool open = false;
    QCOMPARE(ClickCheckOut(false, &open), int(mrNone));
    QVERIFY(open);
    QCOMPARE(FSet->Messages().Texts(), texts);
    QCOMPARE(calls.size(), calculations);
    if (calculations > 0)
        QCOMPARE(calls.first(), QString()); // every goods item waiting for it
    QCOMPARE(State(), before);
}

void TstClosing::overflowMessage_data()
{
    QTest::addColumn<QString>("setup");
    QTest::addColumn<QString>("raised"); // text of an exception raised by the checkout procedure
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");

    const QString overflow = QStringLiteral("结转成本的金额太大，系统将无法正确处理，请检查您的单据。");
    QTest::newRow("pre-check") << "UPDATE T_FIFO_OutList_Stock SET CostTotal = 2e14 WHERE Vchtype = 11"
                               << QString() << "box" << overflow;
    QTest::newRow("checkout procedure") << QString() << "将表达式转换为数据类型 money 时出现算术溢出错误。"
                                        << "box" << overflow;
    QTest::newRow("other error of the checkout") << QString() << "磁盘空间不足。"
                                                 << "warning"
                                                 << "磁盘空间不足。";
}

void TstClosing::overflowMessage()
{
    QFETCH(QString, setup);
    QFETCH(QString, raised);
    QFETCH(QString, kind);
    QFETCH(QString, text);
    if (!setup.isEmpty())
        Exec(setup);
    if (!raised.isEmpty())
        FSet->Db().procedures().add(QStringLiteral("P_Jxc_JxcCheckOut"), [raised](ProcContext &ctx) -> int {
            ctx.exec(
                QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = '199912' WHERE SubName = 'JxcPeriod'"));
            throw DbError(raised);
        });
    const QString before = State();
    bool open = false;
    ClickCheckOut(false, &open);
    QVERIFY(open);
    QCOMPARE(Kinds(FSet->Messages()), QStringList{kind});
    QCOMPARE(FSet->Messages().LastText(), text);
    QCOMPARE(State(), before);
}

void TstClosing::unauditedBills_data()
{
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("auditWindow");
    QTest::addColumn<bool>("manager");
    QTest::addColumn<int>("result");
    QTest::addColumn<int>("auditQueries");
    QTest::addColumn<QString>("lastText");
    QTest::addColumn<int>("month");

    const QString question = QStringLiteral(
        "本期有1张单据未审核。点击“是”将忽略这些单据进行期末结账，“否”则返回到单据审核查询处理未审核单据。");
    QTest::newRow("no: audit query opened") << false << true << true << int(mrCancel) << 1 << question << 1;
    QTest::newRow("no: without the audit query window")
        << false << false << true << int(mrCancel) << 0 << question << 1;
    QTest::newRow("no: without the right")
        << false << true << false << int(mrNone) << 0 << "你没有单据审核查询的权限，不能进入。" << 1;
    QTest::newRow("yes: closed anyway")
        << true << true << true << int(mrOk) << 0 << "本月期末结账成功。" << 2;
}

void TstClosing::unauditedBills()
{
    QFETCH(bool, answer);
    QFETCH(bool, auditWindow);
    QFETCH(bool, manager);
    QFETCH(int, result);
    QFETCH(int, auditQueries);
    QFETCH(QString, lastText);
    QFETCH(int, month);
    Exec(kUnauditedOrder);
    if (!manager)
        FSet->ActAs(QStringLiteral("00042"), false);
    int queries = 0;
    if (auditWindow)
        ShowAuditQueryHook = [&queries] { ++queries; };
    FSet->Messages().Answers.enqueue(answer);
    QCOMPARE(ClickCheckOut(false), result);
    QCOMPARE(queries, auditQueries);
    QCOMPARE(FSet->Messages().LastText(), lastText);
    QCOMPARE(Sys(QStringLiteral("JxcPeriod")).toInt(), FYear * 100 + month);
}

void TstClosing::allocationQuestions()
{
    // A completion acceptance without its expense allocation, and an expense bill not allocated.
    Exec(QStringLiteral("INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Number, Period, Draft) VALUES "
                        "(900, 174, ?, 'WG-9', ?, 2), (901, 37, ?, 'FY-1', ?, 2);"
                        "INSERT INTO dlya (Vchcode, Vchtype, Period, AtypeId, UsedType, Draft) VALUES "
                        "(901, 37, ?, '5501', '1', 2)"),
         {Date(1, 10), FP1, Date(1, 11), FP1, FP1});
    const QStringList questions = {
        QStringLiteral("有[WG-9]等完工验收单尚未分配费用,期末结账后不能再进行费用分配,是否继续？"),
        QStringLiteral("有[FY-1]等应付费用单尚未分配费用,是否进行期末结账？")};
    QCOMPARE(OpenAllocationQuestions(QString::number(FP1), 6680), questions);
    QCOMPARE(OpenAllocationQuestions(QString::number(FP1), 3680), questions.mid(1));
    // Allocated: the acceptance has its allocation bill, the expense line its allocation line.
    Exec(QStringLiteral(
        "INSERT INTO scgatheringdly (vchcode, draft) VALUES (900, 2);"
        "INSERT INTO dlya (Vchcode, Vchtype, Period, UsedType, SourceDlyorder, Draft) SELECT 902, 38, "
        "Period, '1', Dlyorder, 2 FROM dlya WHERE Vchcode = 901"));
    QVERIFY(OpenAllocationQuestions(QString::number(FP1), 6680).isEmpty());
    Exec(QStringLiteral("DELETE FROM scgatheringdly"));

    // No to the first question ends the checkout.
    FSet->Messages().Answers.enqueue(false);
    bool open = false;
    ClickCheckOut(false, &open);
    QVERIFY(open);
    QCOMPARE(FSet->Messages().Texts(), questions.mid(0, 1));
    QCOMPARE(Sys(QStringLiteral("JxcPeriod")).toInt(), FP1);
}

void TstClosing::autoImproveBox_data()
{
    QTest::addColumn<bool>("checked");
    QTest::addColumn<int>("adjustBills");
    QTest::addColumn<QString>("marks");
    QTest::newRow("unchecked: no adjustment") << false << 0 << "G1|0\nG2|0";
    QTest::newRow("checked: adjusted and marked") << true << 1 << "G1|0\nG2|1";
}

void TstClosing::autoImproveBox()
{
    QFETCH(bool, checked);
    QFETCH(int, adjustBills);
    QFETCH(QString, marks);
    Exec(QStringLiteral("UPDATE GoodsStocksCost SET Total = 3.5 WHERE PtypeId = '0000100002'"));
    // The box keeps its state in switch 166.
    Exec(QStringLiteral("UPDATE T_Gbl_SysCon SET Stats = ? WHERE ConId = 166"), {checked ? 0 : 1});
    FSet->System().ReloadSysCon();
    QCOMPARE(ClickCheckOut(checked), int(mrOk));
    QCOMPARE(Value(QStringLiteral("SELECT Stats FROM T_Gbl_SysCon WHERE ConId = 166")).toInt(),
             checked ? 1 : 0);
    QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM DlyNdx WHERE Vchtype = 57")).toInt(), adjustBills);
    QCOMPARE(Dump(QStringLiteral("SELECT UserCode, CalcCost FROM ptype WHERE Sonnum = 0 ORDER BY UserCode")),
             marks);
    QCOMPARE(FSet->Messages().Texts(), QStringList{"本月期末结账成功。"});
}

void TstClosing::checkOutPlugIns_data()
{
    QTest::addColumn<int>("beforeResult");
    QTest::addColumn<int>("afterResult");
    QTest::addColumn<QString>("error");
    QTest::newRow("before fails") << -1 << 0 << "插件拒绝：P_Before";
    QTest::newRow("after fails") << 0 << -2 << "插件拒绝：P_After";
}

void TstClosing::checkOutPlugIns()
{
    QFETCH(int, beforeResult);
    QFETCH(int, afterResult);
    QFETCH(QString, error);
    AddPlugIn(QStringLiteral("T_Inf_PlugIn_JxcCheckOut"), QStringLiteral("P_Before"), true, beforeResult);
    AddPlugIn(QStringLiteral("T_Inf_PlugIn_JxcCheckOut"), QStringLiteral("P_After"), false, afterResult);
    const QString before = State();
    bool open = false;
    ClickCheckOut(false, &open);
    QVERIFY(open);
    QCOMPARE(Kinds(FSet->Messages()), QStringList{"error"});
    QCOMPARE(FSet->Messages().LastText(), error);
    QCOMPARE(State(), before);
}

void TstClosing::editionLabels_data()
{
    QTest::addColumn<int>("edition");
    QTest::addColumn<bool>("cmsq");
    QTest::addColumn<bool>("periodSync"); // switch 97
    QTest::addColumn<int>("hidden");
    QTest::addColumn<QString>("label2");
    QTest::addColumn<QString>("label3");
    QTest::addColumn<QString>("label7");

    const QString l2 = QStringLiteral("销售单、销售退货单、组装与拆分单、其他出库单、报损单、");
    const QString l3 = QStringLiteral("委托发货单、委托退货单、委托结算单、领料单、退料单、");
    const QString l7 = QStringLiteral("差异调拨单、生产报损单、完工验收单、委外发料单、");
    QTest::newRow("880 with CMSQ") << 880 << true << false << 4
                                   << "销售单、销售退货单、组装与拆分单、其他出库单、报损单。" << l3 << l7;
    QTest::newRow("2680 with CMSQ") << 2680 << true << false << 3 << l2 << "差异调拨单。" << l7;
    QTest::newRow("3680 with CMSQ") << 3680 << true << true << 3 << l2
                                    << "委托发货单、委托退货单、委托结算单、差异调拨单。" << l7;
    QTest::newRow("4680") << 4680 << false << false << 2 << l2 << l3
                          << "差异调拨单、生产报损单、完工验收单。";
    QTest::newRow("6680") << 6680 << false << true << 0 << l2 << l3 << l7;
}

void TstClosing::editionLabels()
{
    QFETCH(int, edition);
    QFETCH(bool, cmsq);
    QFETCH(bool, periodSync);
    QFETCH(int, hidden);
    QFETCH(QString, label2);
    QFETCH(QString, label3);
    QFETCH(QString, label7);
    uDllComm::DllParams.PubVersion2 = edition;
    uDllComm::DllParams.IsCMSQ = cmsq;
    Exec(QStringLiteral("UPDATE T_Gbl_SysCon SET Stats = ? WHERE ConId = 97"), {periodSync ? 1 : 0});
    FSet->System().ReloadSysCon();
    TfrmJXCCheckOut form;
    QCOMPARE(form.HiddenLabelCount(), hidden);
    QCOMPARE(form.height(), 370 - 23 * hidden);
    QCOMPARE(Child<QLabel>(form, "Label2")->text(), label2);
    QCOMPARE(Child<QLabel>(form, "Label3")->text(), label3);
    QCOMPARE(Child<QLabel>(form, "Label7")->text(), label7);
    int hiddenLabels = 0;
    for (const char *name : {"Label2", "Label3", "Label7", "Label8", "Label9"})
        hiddenLabels += Child<QLabel>(form, name)->isHidden() ? 1 : 0;
    QCOMPARE(hiddenLabels, hidden);
    QCOMPARE(Child<QLabel>(form, "lblPeriod")->text(), QStringLiteral("当前进销存期间:%1").arg(FP1));
    QCOMPARE(Child<QPushButton>(form, "btnOK")->text(), QStringLiteral("期末结账"));
    QCOMPARE(Child<QCheckBox>(form, "chkCostCarryOver")->isHidden(), periodSync);
}

void TstClosing::unCheckOutWindow_data()
{
    QTest::addColumn<bool>("checkOutFirst");
    QTest::addColumn<int>("afterResult"); // of a reversal plug-in run after the database step
    QTest::addColumn<int>("result");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("month");

    QTest::newRow("refused: nothing closed") << false << 0 << int(mrNone) << "box"
                                             << "系统还没有已结账的期间,不能反结账。" << 1;
    QTest::newRow("done") << true << 0 << int(mrOk) << "info"
                          << "本次期末反结账成功，进销存将返回上一期间。" << 1;
    QTest::newRow("after plug-in fails") << true << -1 << int(mrNone) << "error"
                                         << "插件拒绝：P_After" << 2;
}

void TstClosing::unCheckOutWindow()
{
    QFETCH(bool, checkOutFirst);
    QFETCH(int, afterResult);
    QFETCH(int, result);
    QFETCH(QString, kind);
    QFETCH(QString, text);
    QFETCH(int, month);
    if (checkOutFirst)
        QCOMPARE(int(RunCheckOut(false).Status), int(TRunStatus::Done));
    AddPlugIn(QStringLiteral("T_Inf_PlugIn_JxcUnCheckOut"), QStringLiteral("P_After"), false, afterResult);
    TfrmUnJxcCheckOut form;
    form.show();
    const QString period = QStringLiteral("当前进销存期间:%1").arg(Sys(QStringLiteral("JxcPeriod")));
    QCOMPARE(Child<QLabel>(form, "lblPeriod")->text(), period);
    QCOMPARE(form.windowTitle(), QStringLiteral("进销存期末反结账"));
    Child<QPushButton>(form, "btnOK")->click();
    QCOMPARE(form.result(), result);
    QCOMPARE(form.isVisible(), result == int(mrNone));
    QCOMPARE(Kinds(FSet->Messages()), QStringList{kind});
    QCOMPARE(FSet->Messages().LastText(), text);
    QCOMPARE(Sys(QStringLiteral("JxcPeriod")).toInt(), FYear * 100 + month);
    QCOMPARE(Child<QLabel>(form, "lblPeriod")->text(),
             QStringLiteral("当前进销存期间:%1").arg(FYear * 100 + month));
}

void TstClosing::viewWindow_data()
{
    QTest::addColumn<int>("edition");
    QTest::addColumn<bool>("cmsq");
    QTest::addColumn<int>("types");
    QTest::addColumn<QString>("lastType");

    QTest::newRow("880 with CMSQ") << 880 << true << 5 << "报损单";
    QTest::newRow("2680 with CMSQ") << 2680 << true << 6 << "差异调拨单";
    QTest::newRow("4680") << 4680 << false << 13 << "完工验收单";
    QTest::newRow("6680") << 6680 << false << 17 << "委外退回单";
}

void TstClosing::viewWindow()
{
    QFETCH(int, edition);
    QFETCH(bool, cmsq);
    QFETCH(int, types);
    QFETCH(QString, lastType);
    uDllComm::DllParams.PubVersion2 = edition;
    uDllComm::DllParams.IsCMSQ = cmsq;
    TfrmJxcJZSYView form;
    form.show();
    QComboBox *vchtypes = Child<TGLabelComBox>(form, "lcbVchtype")->ComboBox();
    QCOMPARE(vchtypes->count(), types);
    QCOMPARE(vchtypes->itemText(types - 1), lastType);
    QCOMPARE(form.windowTitle(), QStringLiteral("结转成本附件"));
    QCOMPARE(form.Vchtype(), 11);
    QCOMPARE(form.PeriodText(), QString::number(FP1));

    auto *grid = Child<TKvGGeneralGrid>(form, "MainGrid");
    QCOMPARE(grid->rowCount(), 1);
    QCOMPARE(grid->CellText(0, QStringLiteral("TOTAL")).toDouble(), 76.0);

    Child<QCheckBox>(form, "ckbPtype")->click();
    QCOMPARE(form.windowTitle(), QStringLiteral("结转成本附件(按存货)"));
    QCOMPARE(form.Mode(), QStringLiteral("P"));
    QCOMPARE(grid->rowCount(), 2);
    QCOMPARE(grid->CellText(1, QStringLiteral("TOTAL")).toDouble(), 40.0);

    // The chosen goods item is the one costed again.
    QStringList calls;
    CalcCostHook = [&calls](const QString &ids) {
        calls << ids;
        return true;
    };
    // Nothing chosen: every goods item waiting, recalculated with progress (the empty list opens
    // the checkout's wizard). The chosen goods item is the one costed again.
    Child<QPushButton>(form, "btnCalcCost")->click();
    grid->setCurrentCell(1, 0);
    Child<QPushButton>(form, "btnCalcCost")->click();
    QCOMPARE(calls, (QStringList{QStringLiteral("00000"), QStringLiteral("0000100002")}));

    // Another bill type and period reload the grid.
    vchtypes->setCurrentIndex(vchtypes->findData(9));
    QCOMPARE(form.Vchtype(), 9);
    QCOMPARE(grid->rowCount(), 0);
}
