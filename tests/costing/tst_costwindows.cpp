// The cost calculation windows on small account sets: entry conditions, the wizard's pages and goods
// grid, the log with its 50-column names and summary, cancelling between items, the manual cost
// window's checks, and the progress window.
#include <QtTest>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>

#include "Kvbasicinfocomponent.h"
#include "Kvggeneralgrid.h"
#include "TestAccountSet.h"
#include "Udlldbservice.h"
#include "uCostCalculate.h"
#include "uCostInput.h"
#include "uCostProgressBar.h"
#include "uDllComm.h"
#include "uOrvaneCommon.h"

#include <functional>
#include <memory>
#ifdef ORVANE_CLOSING_HOOK
#include "uJxcCheckOutCore.h"
#endif

namespace {
int Period(int month)
{
    return QDate::currentDate().year() * 100 + month;
}
QString Day(int month, int day)
{
    return QDate(QDate::currentDate().year(), month, day).toString(QStringLiteral("yyyy-MM-dd"));
}
void Exec(const QString &sql, const QVariantList &params = {})
{
    Udlldbservice::ExecuteSQL(sql, params);
}
QVariant Value(const QString &sql, const QVariantList &params = {})
{
    return Udlldbservice::GetValueFromSQL(sql, params);
}

void AddGoods(const QString &id, const QString &name, int costMode = 0)
{
    Exec(QStringLiteral(
             "INSERT INTO ptype (typeId, UserCode, FullName, Name, Costmode) VALUES (?, ?, ?, ?, ?)"),
         {id, id, name, name, costMode});
}

// Posts one bill of single-warehouse lines (goods, quantity, price); true when posted.
bool Post(int vchtype, const QString &date, const QList<std::tuple<QString, double, double>> &lines)
{
    QString xml = QStringLiteral("<Root>");
    for (const auto &[ptype, qty, price] : lines)
        xml += QStringLiteral("<Record PtypeID=\"%1\" KtypeID=\"K1\" BlockNo=\"\" Qty=\"%2\" Price=\"%3\" "
                              "UsedType=\"0\"/>")
                   .arg(ptype)
                   .arg(qty)
                   .arg(price);
    xml += QStringLiteral("</Root>");
    const QString k1 = QStringLiteral("K1");
    return Udlldbservice::ExecuteProcByName(
               QStringLiteral("P_Jxc_PostBill"),
               {QStringLiteral("@nVchType"), QStringLiteral("@szDate"), QStringLiteral("@szNumber"),
                QStringLiteral("@szBTypeID"), QStringLiteral("@szETypeID"), QStringLiteral("@szKTypeID"),
                QStringLiteral("@szKTypeID2"), QStringLiteral("@szDTypeID"), QStringLiteral("@szSummary"),
                QStringLiteral("@szOperatorID"), QStringLiteral("@szXML")},
               {vchtype, date, QString(), QString(), QString(), k1, QString(), QString(), QString(),
                QStringLiteral("00000"), xml}) >= 0;
}

int PendingItems()
{
    TCostCalcProcess process(false);
    return process.GetCalcPtype(QStringLiteral("00000"));
}

template <typename T> T *Child(QWidget *w, const char *name)
{
    T *child = w->findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("no child %s", name);
    return child;
}

// Runs the action on the first modal window of type T that appears (polling the event loop, so it
// works inside nested modal loops).
template <typename T> void WhenModal(QObject *owner, std::function<void(T *)> action)
{
    auto *timer = new QTimer(owner);
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, owner, [timer, action] {
        if (auto *w = qobject_cast<T *>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            action(w);
        }
    });
    timer->start();
}

const QString Summary = QStringLiteral("共计算存货 %1 个，其中 %2 个存货成本计算成功，%3 个存货成本计算异常。"
                                       "共计算明细%4条。共耗时:");
} // namespace

class TestCostWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Pure parts
    void fitName_data();
    void fitName();
    void elapsedText();

    // Entries
    void wizardEntry_data();
    void wizardEntry();
    void progressEntry_data();
    void progressEntry();
    void calcCostHook();

    // Wizard
    void firstPage_data();
    void firstPage();
    void introductionSwitch();
    void pagesBackAndNext();
    void selectRefusedWithoutGoods();
    void gridPopupMenu();
    void emptyItemList();
    void costsSmallAccountSet();
    void cancelBetweenItems();
    void logFollowsAndAligns();
    void wizardFirstFocus();

    // Manual cost window
    void costInputChecks_data();
    void costInputChecks();
    void costInputTyping();
    void costInputLabels();
    void showCostInputResult();

    // Progress window
    void progressWindowCloseCancels();

private:
    std::unique_ptr<TfrmCostCalculate> Wizard(const QString &preset,
                                              const QString &costCalc = QStringLiteral("1"));
    QStringList MemoLines(TfrmCostCalculate &frm) const;
    std::unique_ptr<TestAccountSet> FSet;
    // Owner of the modal-window watchers of one test; a watcher never triggered dies with its test.
    std::unique_ptr<QObject> FWatchers;
};

void TestCostWindows::init()
{
    FSet = std::make_unique<TestAccountSet>();
    FWatchers = std::make_unique<QObject>();
    uDllComm::DllParams.IsGM = false;
    uDllComm::DllParams.IsQuery = false;
    uOrvaneCommon::SetSysValue(QStringLiteral("iniover"), QStringLiteral("1"));
    Exec(QStringLiteral(
        "INSERT INTO stock (typeId, UserCode, FullName, Name) VALUES ('K1', 'K1', 'K1', 'K1')"));
}

void TestCostWindows::cleanup()
{
    FWatchers.reset();
    FSet.reset();
}

std::unique_ptr<TfrmCostCalculate> TestCostWindows::Wizard(const QString &preset, const QString &costCalc)
{
    uOrvaneCommon::SetSysValue(QStringLiteral("CostCalc"), costCalc);
    auto frm = std::make_unique<TfrmCostCalculate>(preset);
    frm->show();
    return frm;
}

QStringList TestCostWindows::MemoLines(TfrmCostCalculate &frm) const
{
    return Child<QPlainTextEdit>(&frm, "mmoPtype")->toPlainText().split(QLatin1Char('\n'));
}

// ---------------------------------------------------------------------------------------------
// Pure parts

void TestCostWindows::fitName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("pad");
    QTest::addColumn<QString>("expected");
    const QString han = QStringLiteral("存");
    QTest::newRow("short ascii padded")
        << QStringLiteral("abc") << true << QStringLiteral("abc") + QString(47, u' ');
    QTest::newRow("short chinese padded by bytes")
        << QStringLiteral("存货") << true << QStringLiteral("存货") + QString(46, u' ');
    QTest::newRow("short kept unpadded") << QStringLiteral("存货") << false << QStringLiteral("存货");
    QTest::newRow("exactly 50 bytes unchanged") << han.repeated(25) << true << han.repeated(25);
    QTest::newRow("long ascii cut to 47 and dots")
        << QString(60, u'x') << true << QString(47, u'x') + QStringLiteral("...");
    QTest::newRow("51 ascii bytes cut")
        << QString(51, u'x') << false << QString(47, u'x') + QStringLiteral("...");
    QTest::newRow("double byte split at 47 is left out")
        << han.repeated(30) << true << han.repeated(23) + QStringLiteral("... ");
    QTest::newRow("rare character outside the code page takes two columns")
        << QStringLiteral("刘䶮") << true << QStringLiteral("刘䶮") + QString(46, u' ');
    QTest::newRow("full-width punctuation takes two columns")
        << QStringLiteral("螺丝（M6）") << true << QStringLiteral("螺丝（M6）") + QString(40, u' ');
    QTest::newRow("double byte ending at 47 kept")
        << QStringLiteral("a") + han.repeated(30) << true
        << QStringLiteral("a") + han.repeated(23) + QStringLiteral("...");
}

void TestCostWindows::fitName()
{
    QFETCH(QString, name);
    QFETCH(bool, pad);
    QFETCH(QString, expected);
    const QString fitted = uCostCalculate::FitName(name, pad);
    QCOMPARE(fitted, expected);
}

void TestCostWindows::elapsedText()
{
    QCOMPARE(uCostCalculate::ElapsedText(0), QStringLiteral("0小时0分0秒"));
    QCOMPARE(uCostCalculate::ElapsedText(3723999), QStringLiteral("1小时2分3秒"));
    QCOMPARE(uCostCalculate::GbkWidth(QStringLiteral("中文ab")), 6);
}

// ---------------------------------------------------------------------------------------------
// Entries

void TestCostWindows::wizardEntry_data()
{
    QTest::addColumn<bool>("isQuery");
    QTest::addColumn<QString>("iniover");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("opened");
    QTest::newRow("query edition") << true << QStringLiteral("1") << QStringLiteral("查询版不能使用此功能。")
                                   << false;
    QTest::newRow("query edition before opening")
        << true << QStringLiteral("0") << QStringLiteral("查询版不能使用此功能。") << false;
    QTest::newRow("opening balances not closed")
        << false << QStringLiteral("0") << QStringLiteral("成本计算之前请先期初结账。") << false;
    QTest::newRow("opened account set") << false << QStringLiteral("1") << QString() << true;
}

void TestCostWindows::wizardEntry()
{
    QFETCH(bool, isQuery);
    QFETCH(QString, iniover);
    QFETCH(QString, message);
    QFETCH(bool, opened);
    uDllComm::DllParams.IsQuery = isQuery;
    uOrvaneCommon::SetSysValue(QStringLiteral("iniover"), iniover);
    uOrvaneCommon::SetSysValue(QStringLiteral("CostCalc"), QStringLiteral("0"));
    int page = -1;
    WhenModal<TfrmCostCalculate>(FWatchers.get(), [&page](TfrmCostCalculate *frm) {
        page = frm->Page();
        frm->btnExit->click();
    });
    QCOMPARE(ShowCostCalculate(QString()), opened);
    QCOMPARE(FSet->Messages().Texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(page, opened ? 0 : -1);
}

void TestCostWindows::progressEntry_data()
{
    QTest::addColumn<bool>("isQuery");
    QTest::addColumn<bool>("flag140");
    QTest::addColumn<QString>("iniover");
    QTest::addColumn<QString>("goods");
    QTest::addColumn<bool>("ran");
    QTest::newRow("runs") << false << true << QStringLiteral("1") << QStringLiteral("G1,G2") << true;
    QTest::newRow("query edition") << true << true << QStringLiteral("1") << QStringLiteral("G1,G2") << false;
    QTest::newRow("costing switched off")
        << false << false << QStringLiteral("1") << QStringLiteral("G1,G2") << false;
    QTest::newRow("opening not closed")
        << false << true << QStringLiteral("0") << QStringLiteral("G1,G2") << false;
    QTest::newRow("no goods to calculate")
        << false << true << QStringLiteral("1") << QStringLiteral("NONE") << false;
}

void TestCostWindows::progressEntry()
{
    QFETCH(bool, isQuery);
    QFETCH(bool, flag140);
    QFETCH(QString, iniover);
    QFETCH(QString, goods);
    QFETCH(bool, ran);
    // G1 is bought and sold; G2 is sold without stock: a zero cost the progress window keeps without
    // asking.
    AddGoods(QStringLiteral("G1"), QStringLiteral("甲"));
    AddGoods(QStringLiteral("G2"), QStringLiteral("乙"));
    QVERIFY(Post(34, Day(1, 2), {{QStringLiteral("G1"), 4, 5}}));
    QVERIFY(Post(11, Day(1, 3), {{QStringLiteral("G1"), 1, 9}, {QStringLiteral("G2"), 1, 9}}));
    uDllComm::DllParams.IsQuery = isQuery;
    uOrvaneCommon::SetSysConStats(140, flag140);
    uOrvaneCommon::SetSysValue(QStringLiteral("iniover"), iniover);
    bool asked = false;
    WhenModal<TfrmCostInput>(FWatchers.get(), [&asked](TfrmCostInput *frm) {
        asked = true;
        frm->btnCancel->click();
    });
    QCOMPARE(CalcCostWithProgress(goods), ran);
    QVERIFY(!asked);
    QVERIFY(FSet->Messages().Texts().isEmpty());
    const QString costOfG1 =
        QStringLiteral("SELECT CostTotal FROM DlySale WHERE PtypeId = 'G1' AND Vchtype = 11");
    QCOMPARE(qAbs(Value(costOfG1).toDouble()), ran ? 5.0 : 0.0);
    QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM ptype WHERE CalcCost = 1")).toInt(), ran ? 0 : 2);
}

void TestCostWindows::calcCostHook()
{
#ifdef ORVANE_CLOSING_HOOK
    // The checkout's empty list opens the wizard, the carry-forward view's list runs the progress
    // window; the query edition tells them apart (only the wizard says why it refuses).
    uJxcCheckOutCore::CalcCostHook = nullptr;
    InstallCostCalcHook();
    QVERIFY(bool(uJxcCheckOutCore::CalcCostHook));
    uDllComm::DllParams.IsQuery = true;
    QVERIFY(!uJxcCheckOutCore::CalcCostHook(QStringLiteral("G1")));
    QVERIFY(FSet->Messages().Texts().isEmpty());
    QVERIFY(!uJxcCheckOutCore::CalcCostHook(QString()));
    QCOMPARE(FSet->Messages().Texts(), QStringList{QStringLiteral("查询版不能使用此功能。")});
    uJxcCheckOutCore::CalcCostHook = nullptr;
#else
    QSKIP("the checkout is not part of this build");
#endif
}

// ---------------------------------------------------------------------------------------------
// Wizard

void TestCostWindows::firstPage_data()
{
    QTest::addColumn<QString>("costCalc");
    QTest::addColumn<QString>("preset");
    QTest::addColumn<int>("page");
    QTest::addColumn<bool>("selectGoods");
    QTest::addColumn<QStringList>("rows");
    QTest::newRow("introduction") << QStringLiteral("0") << QString() << 0 << false << QStringList{QString()};
    QTest::newRow("introduction when unset")
        << QString() << QString() << 0 << false << QStringList{QString()};
    QTest::newRow("introduction switched off")
        << QStringLiteral("1") << QString() << 1 << false << QStringList{QString()};
    QTest::newRow("all goods preset")
        << QStringLiteral("0") << QStringLiteral("00000") << 1 << false << QStringList{QString()};
    QTest::newRow("goods list preset") << QStringLiteral("0") << QStringLiteral("G1,G2") << 1 << true
                                       << QStringList{QStringLiteral("G1"), QStringLiteral("G2")};
    QTest::newRow("one goods preset")
        << QStringLiteral("1") << QStringLiteral("G2") << 1 << true << QStringList{QStringLiteral("G2")};
}

void TestCostWindows::firstPage()
{
    QFETCH(QString, costCalc);
    QFETCH(QString, preset);
    QFETCH(int, page);
    QFETCH(bool, selectGoods);
    QFETCH(QStringList, rows);
    AddGoods(QStringLiteral("G1"), QStringLiteral("甲商品"));
    AddGoods(QStringLiteral("G2"), QStringLiteral("乙商品"));
    auto frm = Wizard(preset, costCalc);
    QCOMPARE(frm->Page(), page);
    QCOMPARE(Child<QWidget>(frm.get(), "pnlMain")->isVisibleTo(frm.get()), page == 0);
    QCOMPARE(Child<QWidget>(frm.get(), "pnlSelectPtype")->isVisibleTo(frm.get()), page == 1);
    QVERIFY(!Child<QWidget>(frm.get(), "pnlCalcCost")->isVisibleTo(frm.get()));
    QCOMPARE(Child<QRadioButton>(frm.get(), "rbSelectPtype")->isChecked(), selectGoods);
    QCOMPARE(Child<QRadioButton>(frm.get(), "rbAllPtype")->isChecked(), !selectGoods);
    auto *grid = Child<TKvGGeneralWGrid>(frm.get(), "grdPtype");
    QCOMPARE(grid->isEnabled(), selectGoods);
    QStringList ids;
    for (int row = 0; row < grid->rowCount(); ++row)
        ids << grid->CellText(row, QStringLiteral("ptypeid"));
    QCOMPARE(ids, rows);
    if (selectGoods)
        QCOMPARE(grid->CellText(0, QStringLiteral("FullName")),
                 rows.first() == QLatin1String("G1") ? QStringLiteral("甲商品") : QStringLiteral("乙商品"));
    // Back is never available on the first page shown.
    QVERIFY(!Child<QPushButton>(frm.get(), "btnBack")->isEnabled());
    QVERIFY(Child<QPushButton>(frm.get(), "btnNext")->isEnabled());
    QVERIFY(!Child<QPushButton>(frm.get(), "btnComplete")->isVisibleTo(frm.get()));
    QCOMPARE(Child<QPushButton>(frm.get(), "btnExit")->text(), QStringLiteral("退出"));
    QCOMPARE(frm->windowTitle(), QStringLiteral("成本计算"));
}

void TestCostWindows::introductionSwitch()
{
    auto frm = Wizard(QString(), QStringLiteral("0"));
    auto *chk = Child<QCheckBox>(frm.get(), "chkDisplay");
    QCOMPARE(chk->text(), QStringLiteral("下次进入不显示本页"));
    chk->click();
    QCOMPARE(uOrvaneCommon::GetSysValue(QStringLiteral("CostCalc")), QStringLiteral("1"));
    chk->click();
    QCOMPARE(uOrvaneCommon::GetSysValue(QStringLiteral("CostCalc")), QStringLiteral("0"));
}

void TestCostWindows::pagesBackAndNext()
{
    auto frm = Wizard(QString(), QStringLiteral("0"));
    auto *back = Child<QPushButton>(frm.get(), "btnBack");
    auto *next = Child<QPushButton>(frm.get(), "btnNext");
    next->click();
    QCOMPARE(frm->Page(), 1);
    QVERIFY(back->isEnabled());
    QVERIFY(!frm->pnlMain->isVisibleTo(frm.get()));
    QVERIFY(frm->pnlSelectPtype->isVisibleTo(frm.get()));
    back->click();
    QCOMPARE(frm->Page(), 0);
    QVERIFY(!back->isEnabled());
    QVERIFY(frm->pnlMain->isVisibleTo(frm.get()));
    // Choosing goods enables the grid.
    next->click();
    frm->rbSelectPtype->click();
    QVERIFY(frm->grdPtype->isEnabled());
    frm->rbAllPtype->click();
    QVERIFY(!frm->grdPtype->isEnabled());
}

void TestCostWindows::selectRefusedWithoutGoods()
{
    auto frm = Wizard(QString());
    frm->rbSelectPtype->click();
    frm->grdPtype->setCurrentCell(0, 2);
    frm->InsertPtypeRow(false); // two blank rows
    frm->btnNext->click();
    QCOMPARE(FSet->Messages().Texts(), QStringList{QStringLiteral("请至少选择一个存货。")});
    QCOMPARE(frm->Page(), 1);
    QVERIFY(frm->pnlSelectPtype->isVisibleTo(frm.get()));
    QVERIFY(!frm->pnlCalcCost->isVisibleTo(frm.get()));
    QVERIFY(frm->mmoPtype->toPlainText().isEmpty());
    QVERIFY(frm->btnNext->isEnabled());
}

void TestCostWindows::gridPopupMenu()
{
    AddGoods(QStringLiteral("G1"), QStringLiteral("甲"));
    AddGoods(QStringLiteral("G2"), QStringLiteral("乙"));
    auto frm = Wizard(QStringLiteral("G1,G2"));
    QStringList texts;
    for (QAction *a : frm->pmPtype->actions())
        texts << a->text();
    QCOMPARE(texts, (QStringList{QStringLiteral("前插一行"), QStringLiteral("后插一行"),
                                 QStringLiteral("删除一行")}));
    const auto trigger = [&](const char *name) {
        Child<QMenu>(frm.get(), "pmPtype")->findChild<QAction *>(QLatin1String(name))->trigger();
    };
    const auto ids = [&] {
        QStringList list;
        for (int row = 0; row < frm->grdPtype->rowCount(); ++row)
            list << frm->grdPtype->CellText(row, QStringLiteral("ptypeid"));
        return list;
    };
    frm->grdPtype->setCurrentCell(1, 2);
    trigger("actInsertBefore");
    QCOMPARE(ids(), (QStringList{QStringLiteral("G1"), QString(), QStringLiteral("G2")}));
    QCOMPARE(frm->grdPtype->currentRow(), 1);
    trigger("actInsertAfter");
    QCOMPARE(ids(), (QStringList{QStringLiteral("G1"), QString(), QString(), QStringLiteral("G2")}));
    QCOMPARE(frm->SelectedPtypes(), (QStringList{QStringLiteral("G1"), QStringLiteral("G2")}));
    for (int i = 0; i < 3; ++i) {
        frm->grdPtype->setCurrentCell(0, 2);
        trigger("actDeleteRow");
    }
    QCOMPARE(ids(), QStringList{QStringLiteral("G2")});
    trigger("actDeleteRow"); // the last row is emptied, not removed
    QCOMPARE(ids(), QStringList{QString()});
    QCOMPARE(frm->grdPtype->CellText(0, QStringLiteral("FullName")), QString());
}

void TestCostWindows::emptyItemList()
{
    auto frm = Wizard(QString());
    frm->btnNext->click();
    QCOMPARE(frm->Page(), 2);
    QVERIFY(frm->pnlCalcCost->isVisibleTo(frm.get()));
    QCOMPARE(frm->gProgressBar->maximum(), 1);
    QCOMPARE(frm->gProgressBar->value(), 1);
    const QStringList lines = MemoLines(*frm);
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.at(0), QStringLiteral("成本计算完成。"));
    QVERIFY2(lines.at(1).startsWith(Summary.arg(0).arg(0).arg(0).arg(0)), qPrintable(lines.at(1)));
    QVERIFY(!frm->btnNext->isEnabled());
    QVERIFY(!frm->btnBack->isEnabled());
    QCOMPARE(frm->btnExit->text(), QStringLiteral("完成"));
    QVERIFY(frm->btnExit->isEnabled());
    frm->btnExit->click();
    QCOMPARE(frm->result(), TfrmCostCalculate::mrExit);
}

void TestCostWindows::costsSmallAccountSet()
{
    // A1 (long name) is bought and sold; A2 is sold without stock and gets a typed cost of 6; A3 has a
    // line of a bill type without costing rule and fails.
    const QString longName = QStringLiteral("存").repeated(30);
    AddGoods(QStringLiteral("A1"), longName);
    AddGoods(QStringLiteral("A2"), QStringLiteral("短名"));
    AddGoods(QStringLiteral("A3"), QStringLiteral("坏"));
    uOrvaneCommon::SetSysValue(QStringLiteral("ZeroCostSelect"), QStringLiteral("1"));
    QVERIFY(Post(34, Day(1, 2), {{QStringLiteral("A1"), 2, 5}, {QStringLiteral("A3"), 1, 5}}));
    QVERIFY(Post(11, Day(1, 3), {{QStringLiteral("A1"), 1, 9}, {QStringLiteral("A2"), 2, 9}}));
    Exec(QStringLiteral("INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Period) VALUES (9001, 215, ?, ?)"),
         {Day(1, 4), Period(1)});
    Exec(QStringLiteral(
             "INSERT INTO DlyOther (Dlyorder, Vchcode, Vchtype, Date, Period, PtypeId, KtypeId, Qty, "
             "Appoint) VALUES (99001, 9001, 215, ?, ?, 'A3', 'K1', 1, 1)"),
         {Day(1, 4), Period(1)});

    QString shownGoods;
    WhenModal<TfrmCostInput>(FWatchers.get(), [&shownGoods](TfrmCostInput *input) {
        shownGoods = input->lblPtypeName->text();
        input->edtPrice->SetText(QStringLiteral("6"));
        input->btnConfirm->click();
    });
    auto frm = Wizard(QString());
    frm->btnNext->click();
    QCOMPARE(shownGoods, QStringLiteral("短名"));
    const QString cut = QStringLiteral("存").repeated(23) + QStringLiteral("... ");
    const QString pad = QStringLiteral("短名") + QString(46, u' ');
    const QString pad3 = QStringLiteral("坏") + QString(48, u' ');
    QStringList lines = MemoLines(*frm);
    const QString summary = lines.takeLast();
    QCOMPARE(lines,
             (QStringList{
                 QStringLiteral("正在计算：") + cut, cut + QStringLiteral("√ "), QString(),
                 QStringLiteral("正在计算：短名"),
                 QStringLiteral("成本为零或成本过大，已通过【手工录入】方式获取成本，成本单价为【6.000000】"),
                 pad + QStringLiteral("√ "), QString(), QStringLiteral("正在计算：坏"),
                 pad3 + QStringLiteral("× "), QString(), QStringLiteral("成本计算完成。")}));
    QCOMPARE(frm->ProcessedCount(), 3);
    QCOMPARE(frm->FailedCount(), 1);
    QCOMPARE(frm->DetailCount(), 5); // A1 bought and sold, A2 sold, A3 bought and its 215 line
    QVERIFY2(summary.startsWith(Summary.arg(3).arg(2).arg(1).arg(5)), qPrintable(summary));
    QVERIFY(QRegularExpression(QStringLiteral("共耗时:\\d+小时\\d+分\\d+秒。$")).match(summary).hasMatch());
    QCOMPARE(frm->gProgressBar->value(), 3);
    QCOMPARE(qAbs(Value(QStringLiteral("SELECT CostTotal FROM DlySale WHERE PtypeId = 'A2'")).toDouble()),
             12.0);
    QCOMPARE(qAbs(Value(QStringLiteral("SELECT CostTotal FROM DlySale WHERE PtypeId = 'A1'")).toDouble()),
             5.0);
    QCOMPARE(PendingItems(), 1); // A3 stays marked
}

void TestCostWindows::logFollowsAndAligns()
{
    // Names of every width (a rare character outside the code page is one byte there but two columns
    // on screen), and enough goods for the log to scroll.
    const QStringList names = {QStringLiteral("刘䶮牌茶叶"), QStringLiteral("约翰·史密斯"),
                               QStringLiteral("M6 bolt"), QStringLiteral("螺丝钉（不锈钢）")};
    QList<std::tuple<QString, double, double>> lines;
    for (int i = 0; i < 30; ++i) {
        const QString id = QStringLiteral("L%1").arg(i, 2, 10, QLatin1Char('0'));
        AddGoods(id, names.at(i % names.size()) + QString::number(i));
        lines.append({id, 1, 5});
    }
    QVERIFY(Post(34, Day(1, 2), lines));
    auto frm = Wizard(QString(), QStringLiteral("1"));
    frm->btnNext->click();

    // The whole summary is in view at the end of the run, no part of it behind a scroll bar.
    QPlainTextEdit *log = frm->mmoPtype;
    const QScrollBar *bar = log->verticalScrollBar();
    QVERIFY(bar->maximum() > 0);
    QCOMPARE(bar->value(), bar->maximum());
    QVERIFY(!log->horizontalScrollBar()->isVisible());
    QTextCursor end(log->document());
    end.movePosition(QTextCursor::End);
    QVERIFY(log->viewport()->rect().contains(log->cursorRect(end)));
    // The √/× column starts at the same place on screen in every result line.
    const QFontMetrics metrics(frm->mmoPtype->font());
    QSet<int> starts;
    for (const QString &line : MemoLines(*frm))
        if (line.endsWith(QStringLiteral("√ ")) || line.endsWith(QStringLiteral("× ")))
            starts << metrics.horizontalAdvance(line.left(line.size() - 2));
    QCOMPARE(starts.size(), 1);
}

void TestCostWindows::wizardFirstFocus()
{
    // The introduction has nothing to fill: Enter goes on, the check box that hides the page for good
    // is not where the user starts.
    auto frm = Wizard(QString(), QStringLiteral("0"));
    QVERIFY(frm->focusWidget());
    QCOMPARE(frm->focusWidget()->objectName(), QStringLiteral("btnNext"));
    QVERIFY(frm->btnNext->isDefault());
}

void TestCostWindows::cancelBetweenItems()
{
    for (const QString &id : {QStringLiteral("B1"), QStringLiteral("B2"), QStringLiteral("B3")})
        AddGoods(id, id);
    QVERIFY(Post(34, Day(1, 2),
                 {{QStringLiteral("B1"), 1, 5}, {QStringLiteral("B2"), 1, 5}, {QStringLiteral("B3"), 1, 5}}));
    auto frm = Wizard(QString());
    bool runningWhenCancelled = false;
    // The click arrives through the event pump of the first item.
    QTimer::singleShot(0, frm.get(), [&] {
        runningWhenCancelled = frm->Running();
        frm->btnExit->click();
        QVERIFY(!frm->btnExit->isEnabled());
    });
    frm->btnNext->click();
    QVERIFY(runningWhenCancelled);
    QVERIFY(frm->isVisible()); // the cancel did not close the window
    QCOMPARE(frm->ProcessedCount(), 1);
    const QStringList lines = MemoLines(*frm);
    QCOMPARE(lines.filter(QStringLiteral("正在计算：")).size(), 1);
    QCOMPARE(lines.at(lines.size() - 2), QStringLiteral("用户取消计算。"));
    QVERIFY(lines.last().startsWith(Summary.arg(1).arg(1).arg(0).arg(1)));
    QCOMPARE(frm->gProgressBar->value(), frm->gProgressBar->maximum());
    QCOMPARE(frm->btnExit->text(), QStringLiteral("完成"));
    QVERIFY(frm->btnExit->isEnabled());
    QCOMPARE(PendingItems(), 2);
}

// ---------------------------------------------------------------------------------------------
// Manual cost window

void TestCostWindows::costInputChecks_data()
{
    QTest::addColumn<double>("start");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("qty");
    QTest::addColumn<QString>("message");
    QTest::addColumn<double>("price");
    QTest::newRow("empty") << 1.0 << QString() << QStringLiteral("2")
                           << QStringLiteral("单位成本不能为空，请重新输入。") << 0.0;
    QTest::newRow("blank") << 1.0 << QStringLiteral(" ") << QStringLiteral("2")
                           << QStringLiteral("单位成本不能为空，请重新输入。") << 0.0;
    QTest::newRow("zero accepted") << 1.0 << QStringLiteral("0") << QStringLiteral("2") << QString() << 0.0;
    QTest::newRow("typed cost") << 1.0 << QStringLiteral("12.5") << QStringLiteral("-3") << QString() << 12.5;
    QTest::newRow("amount equal to the limit")
        << 1.0 << QStringLiteral("1000") << QStringLiteral("100000") << QString() << 1000.0;
    QTest::newRow("amount above the limit")
        << 1.0 << QStringLiteral("1000.01") << QStringLiteral("100000")
        << QStringLiteral("单位成本乘以数量超极大值，请重新输入。") << 0.0;
    QTest::newRow("negative quantity above the limit")
        << 1.0 << QStringLiteral("1000.01") << QStringLiteral("-100000")
        << QStringLiteral("单位成本乘以数量超极大值，请重新输入。") << 0.0;
    QTest::newRow("negative starting cost") << -5.0 << QStringLiteral("keep") << QStringLiteral("2")
                                            << QStringLiteral("单位成本不能小于0，请重新输入。") << 0.0;
    QTest::newRow("starting cost kept")
        << 7.25 << QStringLiteral("keep") << QStringLiteral("2") << QString() << 7.25;
}

void TestCostWindows::costInputChecks()
{
    QFETCH(double, start);
    QFETCH(QString, text);
    QFETCH(QString, qty);
    QFETCH(QString, message);
    QFETCH(double, price);
    TBillInfo info;
    info.Vchtype = 11;
    info.Qty = qty;
    TfrmCostInput frm(info, start);
    frm.show();
    if (text != QLatin1String("keep"))
        frm.edtPrice->SetText(text);
    frm.btnConfirm->click();
    if (message.isEmpty()) {
        QVERIFY(FSet->Messages().Texts().isEmpty());
        QCOMPARE(frm.result(), int(mrOk));
        QCOMPARE(frm.Price(), price);
    } else {
        QCOMPARE(FSet->Messages().Texts(), QStringList{message});
        QVERIFY(frm.isVisible());
        QCOMPARE(frm.Price(), start);
    }
}

void TestCostWindows::costInputTyping()
{
    TBillInfo info;
    info.Qty = QStringLiteral("1");
    TfrmCostInput frm(info, 0);
    frm.show();
    QLineEdit *edit = frm.edtPrice->Edit();
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("-12"));
    QCOMPARE(edit->text(), QStringLiteral("12"));
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("200000000"));
    QCOMPARE(edit->text(), QStringLiteral("20000000")); // at most 1e8
    edit->clear();
    QTest::keyClicks(edit, QStringLiteral("100000000"));
    QCOMPARE(edit->text(), QStringLiteral("100000000"));
    QGuiApplication::clipboard()->setText(QStringLiteral("1234"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(edit->text(), QStringLiteral("0"));
}

void TestCostWindows::costInputLabels()
{
    AddGoods(QStringLiteral("P7"), QStringLiteral("螺丝钉"));
    Exec(QStringLiteral("UPDATE ptype SET UserCode = 'LSD-7' WHERE typeId = 'P7'"));
    TBillInfo info;
    info.Vchtype = 11;
    info.Ptypeid = QStringLiteral("P7");
    info.Qty = QStringLiteral("-3");
    for (const QString &block : {QString(), QStringLiteral("B2024")}) {
        info.BlockNo = block;
        TfrmCostInput frm(info, 2.5);
        frm.show();
        QCOMPARE(frm.windowTitle(), QStringLiteral("成本录入"));
        QCOMPARE(frm.lblVchtype->text(), QStringLiteral("单据类型"));
        QCOMPARE(frm.lblVchtypeName->text(), QStringLiteral("销售单"));
        QCOMPARE(frm.lblPtypeName->text(), QStringLiteral("螺丝钉"));
        QCOMPARE(frm.lblPtypeNoValue->text(), QStringLiteral("LSD-7"));
        QCOMPARE(frm.lblQtyValue->text(), QStringLiteral("-3"));
        QCOMPARE(frm.lblBlockNo->isVisible(), !block.isEmpty());
        QCOMPARE(frm.lblBlockNoValue->text(), block);
        QCOMPARE(frm.edtPrice->Caption(), QStringLiteral("单位成本 :"));
        QCOMPARE(frm.edtPrice->Text(), QStringLiteral("2.5"));
    }
}

void TestCostWindows::showCostInputResult()
{
    TBillInfo info;
    info.Qty = QStringLiteral("1");
    for (const bool confirm : {true, false}) {
        WhenModal<TfrmCostInput>(FWatchers.get(), [confirm](TfrmCostInput *frm) {
            frm->edtPrice->SetText(QStringLiteral("3.5"));
            (confirm ? frm->btnConfirm : frm->btnCancel)->click();
        });
        double price = 1;
        QCOMPARE(ShowCostInput(price, info), confirm);
        QCOMPARE(price, confirm ? 3.5 : 1.0);
    }
}

// ---------------------------------------------------------------------------------------------
// Progress window

void TestCostWindows::progressWindowCloseCancels()
{
    for (const QString &id : {QStringLiteral("C1"), QStringLiteral("C2"), QStringLiteral("C3")})
        AddGoods(id, id);
    QVERIFY(Post(34, Day(1, 2),
                 {{QStringLiteral("C1"), 1, 5}, {QStringLiteral("C2"), 1, 5}, {QStringLiteral("C3"), 1, 5}}));
    TfrmCostProgressBar frm(QStringLiteral("C1,C2,C3"));
    QCOMPARE(frm.OpenPtypeList(), 3);
    QCOMPARE(frm.gProgressBar->maximum(), 3);
    QStringList titles;
    // Closed from the system menu while the first item is costed.
    connect(&frm, &QWidget::windowTitleChanged, &frm, [&](const QString &title) {
        titles << title;
        if (titles.size() == 1)
            frm.close();
    });
    frm.PostCalcMessage();
    QCOMPARE(frm.exec(), int(mrCancel));
    QCOMPARE(frm.ProcessedCount(), 1);
    QCOMPARE(titles, QStringList{QStringLiteral("正在计算.")});
    QCOMPARE(frm.gProgressBar->value(), 3);
    QCOMPARE(PendingItems(), 2);

    // Uninterrupted: every item, titles with one more dot each, and the window closes itself.
    TfrmCostProgressBar again(QStringLiteral("C2,C3"));
    QCOMPARE(again.OpenPtypeList(), 2);
    QStringList titles2, progress;
    connect(&again, &QWidget::windowTitleChanged, &again, [&](const QString &title) { titles2 << title; });
    // The window names the item under calculation and how far the run is.
    connect(again.gProgressBar, &QProgressBar::valueChanged, &again, [&] {
        progress << again.findChild<QLabel *>(QStringLiteral("lblItem"))->text() + u'|' +
                        again.gProgressBar->text();
    });
    again.PostCalcMessage();
    QCOMPARE(again.exec(), int(mrOk));
    QCOMPARE(again.ProcessedCount(), 2);
    QCOMPARE(titles2, (QStringList{QStringLiteral("正在计算."), QStringLiteral("正在计算..")}));
    QCOMPARE(progress.mid(0, 2), (QStringList{QStringLiteral("正在计算：C2（1 / 2）|1 / 2"),
                                              QStringLiteral("正在计算：C3（2 / 2）|2 / 2")}));
    QCOMPARE(PendingItems(), 0);
}

QTEST_MAIN(TestCostWindows)
#include "tst_costwindows.moc"
