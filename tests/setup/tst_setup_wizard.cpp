// The wizard, the code-length manager, the chart preview and 打开账套, driven by object name.

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include "../forms/tst_print_support.h"
#include "tst_setup.h"
#include "uAtypeLenManage.h"
#include "uIniConfig.h"
#include "uOpenAccount.h"
#include "uOrvaneCommon.h"
#include "uPreviewAtype.h"

using namespace uIniConfigCore;

namespace {

// Runs the wizard (Run(), modal) and drives it from inside its event loop; the form's result.
bool RunWizard(TfrmIniConfig &form, const std::function<void(TfrmIniConfig &)> &drive)
{
    OnNextModal(
        [&form, drive](QWidget *modal) {
            QCOMPARE(modal, &form);
            drive(form);
        },
        100, &form);
    return form.Run();
}

void Next(TfrmIniConfig &form, int times)
{
    for (int i = 0; i < times; ++i)
        form.btnNext->click();
}

// The main-window side of the host: records what the module asks of it.
class TRecordingShell final : public IHostShell
{
public:
    bool LogOnAccepted = true;
    QStringList Calls;
    void RefreshMainStatusBar(TRefreshSBSet) override { Calls << QStringLiteral("status"); }
    void LoadMenu(bool reload) override
    {
        Calls << (reload ? QStringLiteral("menu reload") : QStringLiteral("menu"));
    }
    void CloseAllPage() override {}
    void CloseAllBillPage() override {}
    bool HasOpenBill() override { return false; }
    bool ShowLoginOn(bool first) override
    {
        Calls << QStringLiteral("log-on %1").arg(first);
        return LogOnAccepted;
    }
    void RefreshWindows() override { Calls << QStringLiteral("refresh"); }
    void ShowMyDesktop() override { Calls << QStringLiteral("desktop"); }
    void MainFormActiveTab() override { Calls << QStringLiteral("tab"); }
    void Terminate() override {}
};

QStringList gWarnListCalls;
bool RecordWarnList(int mode)
{
    gWarnListCalls << QString::number(mode);
    return true;
}

} // namespace

void TstSetup::notNeeded_data()
{
    QTest::addColumn<QString>("initSetup");
    QTest::addColumn<QString>("iniover");
    QTest::addColumn<bool>("read");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("result");
    QTest::newRow("set up, not asked") << "T"
                                       << "0" << false << false << true;
    QTest::newRow("opened, not asked") << ""
                                       << "1" << false << false << true;
    QTest::newRow("set up, asked to show") << "T"
                                           << "0" << true << true << false;
    QTest::newRow("new account set") << ""
                                     << "0" << false << true << false;
}

void TstSetup::notNeeded()
{
    QFETCH(QString, initSetup);
    QFETCH(QString, iniover);
    QFETCH(bool, read);
    QFETCH(bool, shown);
    QFETCH(bool, result);
    uOrvaneCommon::SetSysValue(QStringLiteral("InitSetup"), initSetup);
    uOrvaneCommon::SetSysValue(QStringLiteral("iniover"), iniover);
    bool wasShown = false;
    TfrmIniConfig form;
    form.fbRead = read;
    OnNextModal(
        [&wasShown](QWidget *modal) {
            auto *wizard = qobject_cast<TfrmIniConfig *>(modal);
            wasShown = wizard != nullptr;
            if (wizard) {
                Next(*wizard, 3);
                wizard->btnNext->click(); // finishes with the values shown
            }
        },
        shown ? 100 : 0, &form);
    QCOMPARE(form.Run(), result);
    QCOMPARE(wasShown, shown);
    QTest::qWait(20); // the pending check has run
}

void TstSetup::setUpToTheEnd()
{
    TfrmIniConfig form;
    const bool result = RunWizard(form, [](TfrmIniConfig &w) {
        QCOMPARE(w.windowTitle(), QStringLiteral("账套初始设置-公司信息"));
        QVERIFY(!w.btnBack->isEnabled());
        w.findChild<QLineEdit *>(QStringLiteral("lbeFullName"))->setText(QStringLiteral("测试公司有限公司"));
        w.findChild<QLineEdit *>(QStringLiteral("lbeAddress"))->setText(QStringLiteral("测试路 1 号"));
        Next(w, 1);
        w.lcbTradeMode->setCurrentIndex(w.lcbTradeMode->findText(QStringLiteral("企业会计准则")));
        w.FTypeButtons->button(2)->setChecked(true);
        Next(w, 1);
        w.AtypeLen_SpGrid->item(1, 6)->setText(QStringLiteral("3")); // level 3
        Next(w, 1);
        QCOMPARE(w.btnNext->text(), QStringLiteral("完成"));
        w.udAccYear->setValue(2026);
        w.lblStartPeriod->setCurrentIndex(6);
        // Start period 7: rows 1..6 grey, 7..12 white.
        QCOMPARE(w.GridPeriod->item(6, 0)->background().color(), QColor(0xF0, 0xF0, 0xF0));
        QCOMPARE(w.GridPeriod->item(7, 0)->background().color(), QColor(Qt::white));
        w.btnNext->click();
    });
    QVERIFY2(FSet->Messages().Messages.isEmpty(), qPrintable(FSet->Messages().Texts().join(u'\n')));
    QVERIFY(!result);
    QVERIFY(form.Saved());
    QCOMPARE(Sys(QStringLiteral("InitSetup")), QStringLiteral("T"));
    QCOMPARE(Sys(QStringLiteral("OpenPeriod")), QStringLiteral("202607"));
    QCOMPARE(Sys(QStringLiteral("JxcPeriod")), QStringLiteral("202607"));
    QCOMPARE(Sys(QStringLiteral("inidate")), QStringLiteral("2026-07-01"));
    QCOMPARE(Sys(QStringLiteral("companyfullname")), QStringLiteral("测试公司有限公司"));
    QCOMPARE(Sys(QStringLiteral("ADDRESS")), QStringLiteral("测试路 1 号"));
    QCOMPARE(Sys(QStringLiteral("TradeID")), QStringLiteral("2"));
    QCOMPARE(Sys(QStringLiteral("vtGroupNo")), QStringLiteral("3"));
    QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM T_Gbl_MonthProc WHERE Year = 2026")).toInt(), 12);
    QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM T_GZ_PeriodTaxRateGroup WHERE AccountYear = 2026 "
                                  "AND AccountPeriod = 202607"))
                 .toInt(),
             1);
    // The chart of the trade, re-coded to three places at level 3.
    QCOMPARE(Value(QStringLiteral("SELECT FullName FROM Atypecw WHERE UserCode = '222101004'")).toString(),
             QStringLiteral("销项税额"));
    QCOMPARE(Value(QStringLiteral("SELECT FullName FROM Atypecw WHERE UserCode = '6001'")).toString(),
             QStringLiteral("主营业务收入"));
}

void TstSetup::reviewMode()
{
    uOrvaneCommon::SetSysValue(QStringLiteral("InitSetup"), QStringLiteral("T"));
    uOrvaneCommon::SetSysValue(QStringLiteral("iniover"), QStringLiteral("1"));
    const QString openPeriod = Sys(QStringLiteral("OpenPeriod"));
    TfrmIniConfig form;
    form.fbRead = true;
    const bool result = RunWizard(form, [](TfrmIniConfig &w) {
        QVERIFY(w.sbtnSave->isVisible());
        QVERIFY(!w.lcbTradeMode->isEnabled());
        QVERIFY(!w.grgTypeList->isEnabled());
        QVERIFY(!(w.AtypeLen_SpGrid->item(1, 5)->flags() & Qt::ItemIsEditable));
        w.findChild<QLineEdit *>(QStringLiteral("lbeTelCode"))->setText(QStringLiteral("010-1234"));
        w.sbtnSave->click();
        Next(w, 3);
        QVERIFY(!w.btnNext->isEnabled());
        QVERIFY(w.btnClose->isVisible());
        w.btnClose->click();
    });
    QVERIFY(!result);
    QVERIFY(!form.isVisible());
    QCOMPARE(FSet->Messages().Texts(), QStringList{QStringLiteral("公司信息保存成功。")});
    QCOMPARE(Sys(QStringLiteral("TEL")), QStringLiteral("010-1234"));
    QCOMPARE(Sys(QStringLiteral("OpenPeriod")), openPeriod); // closed without the final save
}

void TstSetup::pageRefusals_data()
{
    QTest::addColumn<int>("page");
    QTest::addColumn<QStringList>("cells"); // code-length cells "column=text"; empty: try to close
    QTest::addColumn<int>("checked");       // the cell whose check runs
    QTest::addColumn<QString>("message");

    const QString firstUse = QStringLiteral("你第一次使用该系统，请先完成所有的配置再关闭界面。");
    QTest::newRow("close on page 1") << 1 << QStringList() << 0 << firstUse;
    QTest::newRow("close on page 3") << 3 << QStringList() << 0 << firstUse;
    QTest::newRow("level 1 of 5") << 3 << QStringList{"4=5"} << 4 << kLevel1Length;
    QTest::newRow("level 2 of 0") << 3 << QStringList{"5=0"} << 5 << kLevelLength;
    QTest::newRow("level 2 of 6") << 3 << QStringList{"5=6x"} << 5 << kLevelLength;
    QTest::newRow("28 in all") << 3 << QStringList{"4=4", "5=5",  "6=5",  "7=5", "8=5",
                                                   "9=1", "10=1", "11=1", "12=1"}
                               << 12 << kTotalLength;
}

void TstSetup::pageRefusals()
{
    QFETCH(int, page);
    QFETCH(QStringList, cells);
    QFETCH(int, checked);
    QFETCH(QString, message);
    TfrmIniConfig form;
    RunWizard(form, [&](TfrmIniConfig &w) {
        Next(w, page - 1);
        if (cells.isEmpty()) {
            w.reject();
            QVERIFY(w.isVisible());
        } else {
            for (const QString &cell : std::as_const(cells))
                w.AtypeLen_SpGrid->item(1, cell.section(u'=', 0, 0).toInt())->setText(cell.section(u'=', 1));
            QVERIFY(!w.CheckCodeLengthCell(checked));
        }
        QCOMPARE(FSet->Messages().LastText(), message);
        QCOMPARE(w.CurrentPage(), page);
        // Finish the wizard, so that it closes.
        for (int c = 4; c <= 12; ++c)
            w.AtypeLen_SpGrid->item(1, c)->setText(c == 4 ? QStringLiteral("4") : QStringLiteral("2"));
        Next(w, 5 - page);
    });
    QVERIFY(form.Saved());
}

void TstSetup::periodQuestion_data()
{
    QTest::addColumn<int>("year");
    QTest::addColumn<QDate>("end");  // of period 1
    QTest::addColumn<int>("answer"); // of the batch question: 0 yes (re-edit), 1 no (save as it is)
    QTest::addColumn<bool>("saved");
    QTest::addColumn<QStringList>("messages");

    const QString question = QStringLiteral("你需要重新设置吗？");
    QTest::newRow("19 days, re-edit")
        << 2026 << QDate(2026, 1, 19) << 0 << false
        << QStringList{"你设置的第 1 会计期间不符合会计要求(在20天至40天之内)。", question};
    QTest::newRow("41 days, saved anyway")
        << 2026 << QDate(2026, 2, 10) << 1 << true
        << QStringList{"你设置的第 1 会计期间不符合会计要求(在20天至40天之内)。", question};
    QTest::newRow("natural months") << 2027 << QDate(2027, 1, 31) << 0 << true << QStringList();
}

void TstSetup::periodQuestion()
{
    QFETCH(int, year);
    QFETCH(QDate, end);
    QFETCH(int, answer);
    QFETCH(bool, saved);
    QFETCH(QStringList, messages);
    FSet->Messages().BatchAnswer = answer;
    TfrmIniConfig form;
    RunWizard(form, [&](TfrmIniConfig &w) {
        Next(w, 3);
        w.udAccYear->setValue(year);
        w.GridPeriodDblClick(1, 2);
        QVERIFY(w.DatePick1->isVisible());
        w.DatePick1->setDate(end);
        QTest::keyClick(w.DatePick1, Qt::Key_Return);
        QCOMPARE(w.PeriodRows().first().End, end);
        w.btnNext->click();
        if (w.isVisible()) { // re-edit: put the natural month back and finish
            QCOMPARE(w.CurrentPage(), 4);
            w.GridPeriodDblClick(1, 2);
            w.DatePick1->setDate(QDate(year, 1, 31));
            QTest::keyClick(w.DatePick1, Qt::Key_Return);
            w.btnNext->click();
        }
    });
    QStringList batch;
    for (const auto &lists : std::as_const(FSet->Messages().Batches))
        for (const TBillMessageList &list : lists)
            for (const TBillMessageInfo &info : list)
                batch << info.Message;
    QCOMPARE(batch.mid(0, 2), messages);
    QCOMPARE(form.Saved(), true);
    QCOMPARE(Value(QStringLiteral("SELECT EndDate FROM T_Gbl_MonthProc WHERE Period = ?"), {year * 100 + 1})
                 .toString(),
             (saved ? end : QDate(year, 1, 31)).toString(QStringLiteral("yyyy-MM-dd")));
}

void TstSetup::lengthManager_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("current"); // ATypeIDLength<level> before; "chart" = as the chart uses it
    QTest::addColumn<bool>("success");
    QTest::addColumn<QString>("message");

    QTest::newRow("same length: no change") << 2 << 2 << "chart" << true << "";
    QTest::newRow("level without length yet") << 5 << 3 << "0" << true << "";
    QTest::newRow("level 3 shortened, refused")
        << 3 << 1 << "chart" << false << "缩短第三级科目编码长度可能导致该级科目编码重复，不能缩短。";
    QTest::newRow("level 2 lengthened") << 2 << 3 << "chart" << true << "";
}

void TstSetup::lengthManager()
{
    QFETCH(int, level);
    QFETCH(int, length);
    QFETCH(QString, current);
    QFETCH(bool, success);
    QFETCH(QString, message);
    QCOMPARE(Proc(QStringLiteral("P_GBL_ChangeTrade"), {QStringLiteral("@prm_TradeID")}, {1}), 0);
    // An account whose level-3 part does not fit one place.
    Exec(QStringLiteral(
        "INSERT INTO Atypecw (typeId, parid, leveal, UserCode, FullName) "
        "SELECT typeId || '99999', typeId, 3, '22210199', '其他' FROM Atypecw WHERE UserCode = '222101'"));
    if (current != QLatin1String("chart")) {
        Exec(QStringLiteral("DELETE FROM Atypecw WHERE leveal >= ?"), {level});
        uOrvaneCommon::SetSysValue(QStringLiteral("ATypeIDLength%1").arg(level), current);
    }
    const QString before = Chart();
    TAtypeLenManage manager;
    manager.SetLength(level, length);
    QCOMPARE(manager.is_TempSign, success);
    QCOMPARE(FSet->Messages().LastText(), message);
    // The level's length is written in every case.
    QCOMPARE(Sys(QStringLiteral("ATypeIDLength%1").arg(level)), QString::number(length));
    QCOMPARE(Chart() == before, !success || length == 2 || current != QLatin1String("chart"));
}

void TstSetup::previewTree_data()
{
    QTest::addColumn<int>("trade");
    QTest::addColumn<int>("topLevel");
    QTest::addColumn<QString>("path"); // texts from the top down
    QTest::newRow("small enterprises") << 1 << 66 << "2221 应交税费/222101 应交增值税/22210104 销项税额";
    QTest::newRow("enterprises") << 2 << 88 << "4104 利润分配/410404 未分配利润";
    QTest::newRow("no template") << 99 << 0 << "";
}

void TstSetup::previewTree()
{
    QFETCH(int, trade);
    QFETCH(int, topLevel);
    QFETCH(QString, path);
    TfrmPreviewAtype form(trade);
    form.FillTree();
    QCOMPARE(form.windowTitle(), QStringLiteral("科目预览"));
    QCOMPARE(form.tvAtype->topLevelItemCount(), topLevel);
    QTreeWidgetItem *node = nullptr;
    for (const QString &text : path.split(u'/', Qt::SkipEmptyParts)) {
        const int count = node ? node->childCount() : form.tvAtype->topLevelItemCount();
        QTreeWidgetItem *found = nullptr;
        for (int i = 0; i < count && !found; ++i) {
            QTreeWidgetItem *child = node ? node->child(i) : form.tvAtype->topLevelItem(i);
            if (child->text(0) == text)
                found = child;
        }
        QVERIFY2(found, qPrintable(text));
        node = found;
    }
    if (!node)
        return;
    QTreeWidgetItem *parent = node->parent();
    QVERIFY(parent->isExpanded());
    QCOMPARE(TfrmPreviewAtype::ImageIndex(parent), 1);
    parent->setExpanded(false);
    QCOMPARE(TfrmPreviewAtype::ImageIndex(parent), 0);
    QCOMPARE(TfrmPreviewAtype::ImageIndex(node), -1);
}

void TstSetup::openAccountSet_data()
{
    QTest::addColumn<bool>("logOn");
    QTest::addColumn<bool>("warnSwitch");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QStringList>("warnList");

    QTest::newRow("log-on cancelled") << false << true << false << QStringList{"log-on 0"} << QStringList();
    QTest::newRow("opened") << true << false << true
                            << QStringList{"log-on 0", "status", "menu reload", "tab"} << QStringList();
    QTest::newRow("opened with the warning book")
        << true << true << true << QStringList{"log-on 0", "status", "menu reload", "tab"}
        << QStringList{"-1"};
}

void TstSetup::openAccountSet()
{
    QFETCH(bool, logOn);
    QFETCH(bool, warnSwitch);
    QFETCH(bool, result);
    QFETCH(QStringList, calls);
    QFETCH(QStringList, warnList);
    uOrvaneCommon::SetSysValue(QStringLiteral("InitSetup"), QStringLiteral("T")); // no wizard
    uOrvaneCommon::SetSysConStats(80, warnSwitch);
    FSet->System().ReloadSysCon();
    TRecordingShell shell;
    shell.LogOnAccepted = logOn;
    FSet->System().SetShell(&shell);
    gWarnListCalls.clear();
    QCOMPARE(uOpenAccount::OpenAccountSet(&RecordWarnList, nullptr), result);
    FSet->System().SetShell(nullptr);
    QCOMPARE(shell.Calls, calls);
    QCOMPARE(gWarnListCalls, warnList);
}
