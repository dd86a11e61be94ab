// Stock warnings: the documents the limit windows send, the display of unset upper limits, the checks
// after an edit, the save with its question, the per-warehouse rows kept across warehouses, the
// single-item dialog, the warning book's items 1 and 2 and the date items on a seeded account set, and
// the first-display choice.

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>

#include "../forms/tst_print_support.h"

#include "AccountDatabase.h"
#include "Kvbasicinfocomponent.h"
#include "TestAccountSet.h"
#include "Udllbaseselect.h"
#include "Udllbillinterface.h"
#include "Udllsystemintf.h"
#include "demo/DemoGenerator.h"
#include "uDllComm.h"
#include "uGoodsWarnsSetup.h"
#include "uPartStocksWarnSetUp.h"
#include "uWarnList.h"
#include "uWarnSetUp.h"

using namespace uWarnLimits;

namespace {

const QString kOrder = QStringLiteral("报警上限必须大于报警下限，上限和下限都不能为负数。");
const QString kRange = QStringLiteral("报警上下限必须在0到100000000之间。");

// Goods A (stock 25 in two warehouses), B (stock 3), C (none); warehouses K1, K2.
void SeedGoods(accountdb::AccountDatabase &db)
{
    db.execBatch(QStringLiteral(
        "INSERT INTO ptype (typeId, UserCode, FullName) VALUES ('00001', 'A01', '螺丝&螺母'), ('00002', "
        "'B01', '垫片'), "
        "('00003', 'C01', '弹簧');"
        "INSERT INTO stock (typeId, UserCode, FullName) VALUES ('00001', 'K1', '一号库'), ('00002', 'K2', "
        "'二号库');"
        "INSERT INTO GoodsStocks (PtypeId, KtypeId, BlockNo, Qty) VALUES ('00001', '00001', '', 20), "
        "('00001', '00002', '', 5), ('00002', '00001', '', 3)"));
}

void SetLimit(accountdb::AccountDatabase &db, const QString &ptype, const QString &ktype, double down,
              double up)
{
    db.exec(QStringLiteral(
                "INSERT INTO T_Jxc_PtypeWarn (PtypeId, KtypeId, WarnDown, WarnUp) VALUES (?, ?, ?, ?)"),
            {ptype, ktype, down, up});
}

QList<QStringList> GridRows(const TKvGGeneralGrid *grid, const QStringList &fields)
{
    QList<QStringList> rows;
    for (int row = 0; row < grid->rowCount(); ++row) {
        QStringList cells;
        for (const QString &field : fields)
            cells << grid->CellText(row, field);
        rows << cells;
    }
    return rows;
}

QList<QStringList> StoredLimits(accountdb::AccountDatabase &db)
{
    QList<QStringList> rows;
    for (const QVariantList &r :
         db
             .query(QStringLiteral(
                 "SELECT PtypeId, KtypeId, WarnDown, WarnUp FROM T_Jxc_PtypeWarn ORDER BY KtypeId, PtypeId"))
             .rows)
        rows << QStringList{r[0].toString(), r[1].toString(), QString::number(r[2].toDouble()),
                            QString::number(r[3].toDouble(), 'f', 0)};
    return rows;
}

// The host's goods selector, answering with fixed picks.
class FakeSelect final : public IBaseSelect
{
public:
    TBaseRecordList Picks;
    bool SelectBaseData(const QString &, const QString &, bool, TBaseRecordList &selected) override
    {
        selected = Picks;
        return !Picks.isEmpty();
    }
    bool SelectAtype(const QString &, TBaseRecord &) override { return false; }
};

void Edit(TKvGGeneralGrid *grid, int row, int column, const QString &text)
{
    grid->item(row, column)->setText(text);
}

} // namespace

class TestWarnings : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void documentEscaping();
    void limitDisplay_data();
    void limitDisplay();
    void limitEdits_data();
    void limitEdits();
    void pickGoods();
    void saveAsksAboutUnsetRows_data();
    void saveAsksAboutUnsetRows();
    void saveFailureKeepsWindow();
    void importSafeStock();
    void singleItemDialog();
    void perWarehouseKeepsRows();
    void warningListStockItems_data();
    void warningListStockItems();
    void warningListDateItems();
    void demoItemOverItsLimits();
    void firstDisplayChoice();
    void billRowsOpenTheirBill();
    void autoWarnAtLogOn();
    void leadDays();

private:
    std::unique_ptr<TestAccountSet> FSet;
    FakeSelect FSelect;
    IBaseSelect *FHostSelect = nullptr;
};

void TestWarnings::init()
{
    FSet = std::make_unique<TestAccountSet>();
    SeedGoods(FSet->Db());
    FHostSelect = Udllbaseselect::BaseSelect;
    Udllbaseselect::BaseSelect = &FSelect;
    FSelect.Picks.clear();
}

void TestWarnings::cleanup()
{
    Udllbaseselect::BaseSelect = FHostSelect;
    FSet.reset();
}

void TestWarnings::documentEscaping()
{
    const QString xml = BuildXml({{{QStringLiteral("PTypeID"), QStringLiteral("00001")},
                                   {QStringLiteral("PFullName"), QStringLiteral("A&B<'C\"")},
                                   {QStringLiteral("WarnDown"), XmlNumber(10)}}});
    QCOMPARE(xml,
             QStringLiteral(
                 "<Root><Record PTypeID=\"00001\" PFullName=\"A&amp;B&lt;&apos;C\"\" WarnDown=\"10.0000\" "
                 "/></Root> "));
    // The procedure reads such a document back, the unescaped quote included.
    TfrmGoodsWarnSetup form;
    form.LoadData();
    form.SetGoodsRow(-1, QStringLiteral("00003"), QStringLiteral("C01"), QStringLiteral("弹\"簧&'"), 1.5, 7);
    QVERIFY(form.GoodsDocument(false).contains(
        QStringLiteral("PFullName=\"弹\"簧&amp;&apos;\" WarnDown=\"1.5000\" "
                       "WarnUp=\"7.0000\" RowNo=\"1\" /></Root> ")));
    QVERIFY(form.Save());
    QCOMPARE(StoredLimits(FSet->Db()), (QList<QStringList>{{QStringLiteral("00003"), QStringLiteral("00000"),
                                                            QStringLiteral("1.5"), QStringLiteral("7")}}));
}

void TestWarnings::limitDisplay_data()
{
    QTest::addColumn<bool>("perWarehouse");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::newRow("all warehouses")
        << false
        << QList<QStringList>{{QStringLiteral("A01"), QStringLiteral("10.0000"), QStringLiteral("+∞")},
                              {QStringLiteral("B01"), QStringLiteral("2.0000"), QStringLiteral("9.5000")},
                              {QString(), QString(), QString()}};
    QTest::newRow("per warehouse") << true
                                   << QList<QStringList>{{QStringLiteral("A01"), QStringLiteral("0.0000"),
                                                          QStringLiteral("＋∞")},
                                                         {QString(), QString(), QString()}};
}

void TestWarnings::limitDisplay()
{
    QFETCH(bool, perWarehouse);
    QFETCH(QList<QStringList>, rows);
    SetLimit(FSet->Db(), QStringLiteral("00001"), QStringLiteral("00000"), 10, NoUpper);
    SetLimit(FSet->Db(), QStringLiteral("00002"), QStringLiteral("00000"), 2, 9.5);
    SetLimit(FSet->Db(), QStringLiteral("00001"), QStringLiteral("00001"), 0, 0); // an upper of 0 is none
    std::unique_ptr<TfrmWarnLimitForm> form;
    if (perWarehouse) {
        auto *part = new TfrmPartStocksWarnSetUp;
        part->LoadData();
        form.reset(part);
    } else {
        auto *goods = new TfrmGoodsWarnSetup;
        goods->LoadData();
        form.reset(goods);
    }
    QCOMPARE(GridRows(form->MainGrid,
                      {QStringLiteral("PUSERCODE"), QStringLiteral("WarnDown"), QStringLiteral("WarnUp")}),
             rows);
}

void TestWarnings::limitEdits_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QStringList>("limits"); // lower, upper afterwards
    QTest::newRow("upper equal to lower") << int(colWarnUp) << QStringLiteral("5") << kOrder
                                          << QStringList{QStringLiteral("5.0000"), QStringLiteral("20.0000")};
    QTest::newRow("lower above upper") << int(colWarnDown) << QStringLiteral("30") << kOrder
                                       << QStringList{QStringLiteral("5.0000"), QStringLiteral("20.0000")};
    QTest::newRow("negative") << int(colWarnDown) << QStringLiteral("-1") << kRange
                              << QStringList{QStringLiteral("5.0000"), QStringLiteral("20.0000")};
    QTest::newRow("above the range") << int(colWarnUp) << QStringLiteral("100000001") << kRange
                                     << QStringList{QStringLiteral("5.0000"), QStringLiteral("20.0000")};
    QTest::newRow("top of the range") << int(colWarnUp) << QStringLiteral("100000000") << QString()
                                      << QStringList{QStringLiteral("5.0000"), QStringLiteral("100000000")};
    QTest::newRow("upper emptied") << int(colWarnUp) << QString() << QString()
                                   << QStringList{QStringLiteral("5.0000"), QStringLiteral("+∞")};
    QTest::newRow("upper 999999999") << int(colWarnUp) << QStringLiteral("999999999") << QString()
                                     << QStringList{QStringLiteral("5.0000"), QStringLiteral("+∞")};
    QTest::newRow("lower emptied") << int(colWarnDown) << QString() << QString()
                                   << QStringList{QStringLiteral("0"), QStringLiteral("20.0000")};
}

void TestWarnings::limitEdits()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QStringList, limits);
    SetLimit(FSet->Db(), QStringLiteral("00001"), QStringLiteral("00000"), 5, 20);
    TfrmGoodsWarnSetup form;
    form.LoadData();
    FSet->Messages().Clear();
    Edit(form.MainGrid, 0, column, text);
    QCOMPARE(FSet->Messages().Texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(GridRows(form.MainGrid, {QStringLiteral("WarnDown"), QStringLiteral("WarnUp")}).first(), limits);
    QCOMPARE(form.FIsChange, message.isEmpty());
}

void TestWarnings::pickGoods()
{
    SetLimit(FSet->Db(), QStringLiteral("00001"), QStringLiteral("00000"), 5, 20);
    TfrmGoodsWarnSetup form;
    form.LoadData();
    FSelect.Picks = {{QStringLiteral("00001"), QStringLiteral("A01"), QStringLiteral("螺丝&螺母"), {}},
                     {QStringLiteral("00003"), QStringLiteral("C01"), QStringLiteral("弹簧"), {}}};
    Edit(form.MainGrid, 1, colUserCode, QStringLiteral("C"));
    QCOMPARE(GridRows(form.MainGrid,
                      {QStringLiteral("PUSERCODE"), QStringLiteral("WarnDown"), QStringLiteral("WarnUp")}),
             (QList<QStringList>{{QStringLiteral("A01"), QStringLiteral("5.0000"), QStringLiteral("20.0000")},
                                 {QStringLiteral("C01"), QStringLiteral("0.0000"), QStringLiteral("+∞")},
                                 {QString(), QString(), QString()}}));
    QCOMPARE(form.MainGrid->currentColumn(), int(colWarnDown));
    // A limit typed on the empty row is emptied again.
    Edit(form.MainGrid, 2, colWarnDown, QStringLiteral("4"));
    QCOMPARE(form.MainGrid->item(2, colWarnDown)->text(), QString());
}

void TestWarnings::saveAsksAboutUnsetRows_data()
{
    QTest::addColumn<bool>("goOn");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestWarnings::saveAsksAboutUnsetRows()
{
    QFETCH(bool, goOn);
    SetLimit(FSet->Db(), QStringLiteral("00002"), QStringLiteral("00000"), 1, 2);
    TfrmGoodsWarnSetup form;
    form.LoadData();
    form.SetGoodsRow(-1, QStringLiteral("00001"), QStringLiteral("A01"), QStringLiteral("螺丝&螺母"), 10, 20);
    form.SetGoodsRow(-1, QStringLiteral("00003"), QStringLiteral("C01"), QStringLiteral("弹簧"), 0, NoUpper);
    FSet->Messages().Clear();
    FSet->Messages().BoxAnswers.enqueue(goOn ? TMessageBoxButton::mbYes : TMessageBoxButton::mbNo);
    form.btnSave->click();
    QCOMPARE(FSet->Messages().Messages.first().Text,
             QStringLiteral("有存货上下限均未设置，保存时不会保存未设置的数据，是否继续？"));
    QCOMPARE(FSet->Messages().Messages.first().Caption, QStringLiteral("信息"));
    const QList<QStringList> before{
        {QStringLiteral("00002"), QStringLiteral("00000"), QStringLiteral("1"), QStringLiteral("2")}};
    const QList<QStringList> after{
        {QStringLiteral("00001"), QStringLiteral("00000"), QStringLiteral("10"), QStringLiteral("20")},
        {QStringLiteral("00002"), QStringLiteral("00000"), QStringLiteral("1"), QStringLiteral("2")}};
    QCOMPARE(StoredLimits(FSet->Db()), goOn ? after : before);
    QCOMPARE(FSet->Messages().LastText(),
             goOn ? QStringLiteral("总仓报警设置保存成功。") : FSet->Messages().Messages.first().Text);
    QCOMPARE(form.FIsSave, goOn);
}

void TestWarnings::saveFailureKeepsWindow()
{
    TfrmGoodsWarnSetup form;
    form.LoadData();
    form.SetGoodsRow(-1, QStringLiteral("00001"), QStringLiteral("A01"), QStringLiteral("螺丝&螺母"), 10, 20);
    FSet->Db().exec(QStringLiteral("UPDATE ptype SET Deleted = 1 WHERE typeId = '00001'")); // another user
    OnNextModal([](QWidget *batch) {
        QVERIFY(batch && batch->findChild<QPlainTextEdit *>(QStringLiteral("MsgMemo")));
    });
    QVERIFY(!form.Save());
    QVERIFY(!form.FIsSave);
    QCOMPARE(StoredLimits(FSet->Db()), QList<QStringList>());
    // Closing with the change asks; cancel keeps the window, no closes it without saving.
    form.FIsChange = true;
    form.show();
    FSet->Messages().Clear();
    FSet->Messages().BoxAnswers.enqueue(TMessageBoxButton::mbCancel);
    form.btnClose->click();
    QVERIFY(form.isVisible());
    QCOMPARE(FSet->Messages().LastText(),
             QStringLiteral("报警设置已经发生改变，是否存盘？按[取消]键将不做任何处理返回录入窗口。"));
    FSet->Messages().BoxAnswers.enqueue(TMessageBoxButton::mbNo);
    form.btnClose->click();
    QVERIFY(!form.isVisible());
}

// Safe stock: one month of the last 90 days' sales (sales less returns). An item whose safe stock
// reaches its upper limit keeps its values and is reported.
void TestWarnings::importSafeStock()
{
    accountdb::AccountDatabase &db = FSet->Db();
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    const QString old = QDate::currentDate().addDays(-120).toString(QStringLiteral("yyyy-MM-dd"));
    db.exec(QStringLiteral("INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Period) VALUES (1, 11, ?, 1)"),
            {today});
    db.exec(QStringLiteral(
                "INSERT INTO DlySale (Vchcode, Vchtype, Date, Period, PtypeId, Qty) VALUES "
                "(1, 11, ?, 1, '00001', -40), (1, 45, ?, 1, '00001', 4), (1, 11, ?, 1, '00001', -300), "
                "(1, 11, ?, 1, '00002', -60)"),
            {today, today, old, today});
    TfrmGoodsWarnSetup form;
    form.LoadData();
    form.SetGoodsRow(-1, QStringLiteral("00001"), QStringLiteral("A01"), QStringLiteral("螺丝&螺母"), 0,
                     NoUpper);
    form.SetGoodsRow(-1, QStringLiteral("00002"), QStringLiteral("B01"), QStringLiteral("垫片"), 1, 15);
    OnNextModal([](QWidget *batch) {
        auto *memo = batch ? batch->findChild<QPlainTextEdit *>(QStringLiteral("MsgMemo")) : nullptr;
        QVERIFY(memo);
        QCOMPARE(memo->toPlainText(), QStringLiteral("存货[垫片]的安全库存20.0000不小于报警上限，未导入。"));
    });
    form.actImportSafeQty->trigger();
    QCOMPARE(GridRows(form.MainGrid,
                      {QStringLiteral("PUSERCODE"), QStringLiteral("WarnDown"), QStringLiteral("WarnUp")}),
             (QList<QStringList>{{QStringLiteral("A01"), QStringLiteral("12.0000"), QStringLiteral("+∞")},
                                 {QStringLiteral("B01"), QStringLiteral("1.0000"), QStringLiteral("15.0000")},
                                 {QString(), QString(), QString()}}));
    QVERIFY(form.FIsChange);
}

void TestWarnings::singleItemDialog()
{
    TfrmGoodsWarnSetup form;
    form.LoadData();
    form.SetGoodsRow(-1, QStringLiteral("00001"), QStringLiteral("A01"), QStringLiteral("螺丝&螺母"), 10, 20);
    // Answers the condition box; then (when given) the next one.
    std::function<void(const QStringList &)> answer = [&answer](const QStringList &pairs) {
        OnNextModal([&answer, pairs](QWidget *box) {
            QVERIFY(box && box->objectName() == QLatin1String("frmCondBox"));
            box->findChild<TGLabelBtnEdit *>(QStringLiteral("edtCond20"))->SetText(pairs[0]);
            box->findChild<TGLabelBtnEdit *>(QStringLiteral("edtCond21"))->SetText(pairs[1]);
            if (pairs.size() > 2)
                answer(pairs.mid(2));
            box->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
        });
    };
    // Upper 0 with lower 5 is refused and asked again; both 0 clears the warning.
    answer({QStringLiteral("0"), QStringLiteral("5"), QStringLiteral("0"), QStringLiteral("0")});
    SetLimit(FSet->Db(), QStringLiteral("00001"), QStringLiteral("00000"), 10, 20);
    form.SetItemLimits(0);
    QCOMPARE(FSet->Messages().Texts(),
             QStringList{QStringLiteral("库存上限不能为零，上限必须大于库存下限，上限和下限都不能为负数。")});
    QCOMPARE(StoredLimits(FSet->Db()), QList<QStringList>());
    QCOMPARE(form.MainGrid->rowCount(), 1); // reloaded: only the empty row
    form.SetGoodsRow(-1, QStringLiteral("00001"), QStringLiteral("A01"), QStringLiteral("螺丝&螺母"), 0,
                     NoUpper);
    answer({QStringLiteral("30"), QStringLiteral("12")});
    form.SetItemLimits(0);
    QCOMPARE(GridRows(form.MainGrid,
                      {QStringLiteral("PUSERCODE"), QStringLiteral("WarnDown"), QStringLiteral("WarnUp")})
                 .first(),
             (QStringList{QStringLiteral("A01"), QStringLiteral("12.0000"), QStringLiteral("30.0000")}));
    // In the query edition the dialog is refused.
    uDllComm::DllParams.IsQuery = true;
    form.SetItemLimits(0);
    uDllComm::DllParams.IsQuery = false;
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("查询版不能使用此功能。"));
}

void TestWarnings::perWarehouseKeepsRows()
{
    SetLimit(FSet->Db(), QStringLiteral("00001"), QStringLiteral("00002"), 1, 4);
    SetLimit(FSet->Db(), QStringLiteral("00002"), QStringLiteral("00000"), 1, 2); // all warehouses: untouched
    TfrmPartStocksWarnSetUp form;
    form.LoadData();
    QTreeWidgetItem *root = form.tvTree->topLevelItem(0);
    QCOMPARE(root->text(0), QStringLiteral("所有仓库"));
    QCOMPARE(form.tvTree->currentItem(), root->child(0)); // 一号库
    form.SetGoodsRow(-1, QStringLiteral("00002"), QStringLiteral("B01"), QStringLiteral("垫片"), 5, NoUpper);
    form.tvTree->setCurrentItem(root->child(1));
    QCOMPARE(GridRows(form.MainGrid, {QStringLiteral("PUSERCODE"), QStringLiteral("WarnUp")}).first(),
             (QStringList{QStringLiteral("A01"), QStringLiteral("4.0000")}));
    Edit(form.MainGrid, 0, colWarnUp, QStringLiteral("6"));
    form.tvTree->setCurrentItem(root);
    QVERIFY(!form.actInsertBefore->isVisible());
    QCOMPARE(form.MainGrid->rowCount(), 0);
    form.tvTree->setCurrentItem(root->child(0));
    QCOMPARE(GridRows(form.MainGrid, {QStringLiteral("PUSERCODE"), QStringLiteral("WarnDown")}).first(),
             (QStringList{QStringLiteral("B01"), QStringLiteral("5.0000")}));
    QVERIFY(form.Save());
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("所有仓库报警设置保存成功。"));
    QCOMPARE(StoredLimits(FSet->Db()), (QList<QStringList>{{QStringLiteral("00002"), QStringLiteral("00000"),
                                                            QStringLiteral("1"), QStringLiteral("2")},
                                                           {QStringLiteral("00002"), QStringLiteral("00001"),
                                                            QStringLiteral("5"), QStringLiteral("999999999")},
                                                           {QStringLiteral("00001"), QStringLiteral("00002"),
                                                            QStringLiteral("1"), QStringLiteral("6")}}));
}

void TestWarnings::warningListStockItems_data()
{
    QTest::addColumn<int>("item");
    QTest::addColumn<QStringList>("fields");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QString>("info");
    // Item 1: A has 25 over 10/20; B has 3, under its lower 4; C has none, under 1; a row within its
    // limits (none here) or without an upper limit above its stock is not listed.
    QTest::newRow("all warehouses")
        << 1
        << QStringList{QStringLiteral("PUserCode"), QStringLiteral("Qty"), QStringLiteral("warndown"),
                       QStringLiteral("warnup"), QStringLiteral("WarnState")}
        << QList<QStringList>{{QStringLiteral("A01"), QStringLiteral("25"), QStringLiteral("10"),
                               QStringLiteral("20"), QStringLiteral("超过上限")},
                              {QStringLiteral("B01"), QStringLiteral("3"), QStringLiteral("4"),
                               QStringLiteral("＋∞"), QStringLiteral("低于下限")},
                              {QStringLiteral("C01"), QStringLiteral("0"), QStringLiteral("1"),
                               QStringLiteral("＋∞"), QStringLiteral("低于下限")}}
        << QStringLiteral("当前是[库存上下限报警(所有仓库)]列表,共有[3]条满足条件的记录");
    QTest::newRow("per warehouse") << 2
                                   << QStringList{QStringLiteral("KFullName"), QStringLiteral("PUserCode"),
                                                  QStringLiteral("Qty"), QStringLiteral("warnup")}
                                   << QList<QStringList>{{QStringLiteral("一号库"), QStringLiteral("A01"),
                                                          QStringLiteral("20"), QStringLiteral("15")},
                                                         {QStringLiteral("二号库"), QStringLiteral("A01"),
                                                          QStringLiteral("5"), QStringLiteral("＋∞")}}
                                   << QStringLiteral(
                                          "当前是[库存上下限报警(分仓库)]列表,共有[2]条满足条件的记录");
}

void TestWarnings::warningListStockItems()
{
    QFETCH(int, item);
    QFETCH(QStringList, fields);
    QFETCH(QList<QStringList>, rows);
    QFETCH(QString, info);
    accountdb::AccountDatabase &db = FSet->Db();
    SetLimit(db, QStringLiteral("00001"), QStringLiteral("00000"), 10, 20);
    SetLimit(db, QStringLiteral("00002"), QStringLiteral("00000"), 4, NoUpper);
    SetLimit(db, QStringLiteral("00003"), QStringLiteral("00000"), 1, NoUpper);
    SetLimit(db, QStringLiteral("00001"), QStringLiteral("00001"), 2, 15);      // 20 in 一号库: over
    SetLimit(db, QStringLiteral("00001"), QStringLiteral("00002"), 6, NoUpper); // 5 in 二号库: under
    SetLimit(db, QStringLiteral("00002"), QStringLiteral("00001"), 1, 5);       // 3: within
    TfrmWarnList form;
    form.BuildTree(item);
    QCOMPARE(GridRows(form.MainGrid, fields), rows);
    QCOMPARE(form.lblInfo->text(), info + QString(16, u' '));
    QVERIFY(form.MainGrid->isColumnHidden(form.MainGrid->ColumnOfField(QStringLiteral("ptypeid"))));
}

void TestWarnings::warningListDateItems()
{
    accountdb::AccountDatabase &db = FSet->Db();
    const QDate today = QDate::fromString(Udllsystemintf::GetLogOnDate(), QStringLiteral("yyyy-MM-dd"));
    const auto day = [&today](int offset) {
        return today.addDays(offset).toString(QStringLiteral("yyyy-MM-dd"));
    };
    db.exec(
        QStringLiteral("INSERT INTO btype (typeId, UserCode, FullName) VALUES ('00001', 'C1', '华东商贸')"));
    // Sales due in 3 days (within the 7 days), in 30 days (not yet) and overdue; a draft; a purchase.
    const QList<QVariantList> bills = {{1, 11, QStringLiteral("XS-1"), day(3), 2},
                                       {2, 11, QStringLiteral("XS-2"), day(30), 2},
                                       {3, 11, QStringLiteral("XS-3"), day(-2), 2},
                                       {4, 11, QStringLiteral("XS-4"), day(1), 1},
                                       {5, 34, QStringLiteral("JH-1"), day(5), 2}};
    for (const QVariantList &b : bills)
        db.exec(
            QStringLiteral(
                "INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Number, Period, BtypeId, Total, Draft, DueDate) "
                "VALUES (?, ?, ?, ?, 1, '00001', 100, ?, ?)"),
            {b[0], b[1], day(-20), b[2], b[4], b[3]});
    TfrmWarnList form;
    form.BuildTree(3);
    QCOMPARE(GridRows(form.MainGrid,
                      {QStringLiteral("Number"), QStringLiteral("BFullName"), QStringLiteral("DaysLeft")}),
             (QList<QStringList>{{QStringLiteral("XS-3"), QStringLiteral("华东商贸"), QStringLiteral("-2")},
                                 {QStringLiteral("XS-1"), QStringLiteral("华东商贸"), QStringLiteral("3")}}));
    form.BuildTree(4);
    QCOMPARE(GridRows(form.MainGrid, {QStringLiteral("Number")}),
             (QList<QStringList>{{QStringLiteral("JH-1")}}));
    // Shelf life: batch P1 made 350 days ago with 365 days of shelf life ends in 15 days (within 30).
    db.exec(QStringLiteral("UPDATE ptype SET ShelfDays = 365 WHERE typeId = '00002'"));
    db.exec(QStringLiteral(
        "INSERT INTO GoodsStocks (PtypeId, KtypeId, BlockNo, Qty) VALUES ('00002', '00002', 'P1', 8), "
        "('00002', '00002', 'P2', 4)"));
    db.exec(QStringLiteral("INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Period) VALUES (9, 34, ?, 1)"),
            {day(-340)});
    db.exec(
        QStringLiteral(
            "INSERT INTO DlyBuy (Vchcode, Vchtype, Date, Period, PtypeId, KtypeId, Qty, BlockNo, ProDate) "
            "VALUES (9, 34, ?, 1, '00002', '00002', 8, 'P1', ?), (9, 34, ?, 1, '00002', '00002', 4, 'P2', "
            "?)"),
        {day(-340), day(-350), day(-340), day(-100)});
    form.BuildTree(5);
    QCOMPARE(GridRows(form.MainGrid,
                      {QStringLiteral("BlockNo"), QStringLiteral("ExpireDate"), QStringLiteral("DaysLeft")}),
             (QList<QStringList>{{QStringLiteral("P1"), day(15), QStringLiteral("15")}}));
}

// On the demo account set: limits 10/20 on a goods item with more than 20 in stock put it in item 1.
void TestWarnings::demoItemOverItsLimits()
{
    FSet = std::make_unique<TestAccountSet>();
    accountdb::demo::generateDemo(FSet->Db(), accountdb::demo::DemoOptions{});
    const QVariantList goods =
        FSet->Db()
            .query(QStringLiteral(
                "SELECT g.PtypeId, p.UserCode, sum(g.Qty) FROM GoodsStocks g JOIN ptype p ON "
                "p.typeId = g.PtypeId GROUP BY g.PtypeId, p.UserCode HAVING sum(g.Qty) > 20 LIMIT 1"))
            .rows.value(0);
    QVERIFY(!goods.isEmpty());
    accountdb::ProcParams p{{QStringLiteral("@szPTypeID"), goods[0]},
                            {QStringLiteral("@szKTypeID"), QStringLiteral("00000")},
                            {QStringLiteral("@Custom1"), 20},
                            {QStringLiteral("@Custom2"), 10}};
    QCOMPARE(FSet->Db().callProc(QStringLiteral("p_jxc_InsertWarn"), p), 0);
    TfrmWarnList form;
    form.BuildTree(1);
    QCOMPARE(GridRows(form.MainGrid,
                      {QStringLiteral("PUserCode"), QStringLiteral("Qty"), QStringLiteral("WarnState")}),
             (QList<QStringList>{{goods[1].toString(), goods[2].toString(), QStringLiteral("超过上限")}}));
}

void TestWarnings::firstDisplayChoice()
{
    {
        TfrmWarnList form;
        form.BuildTree(-1);
        QCOMPARE(form.trvList->currentItem(), nullptr); // no choice saved yet
        QCOMPARE(form.trvList->topLevelItemCount(), 6);
        form.trvList->setCurrentItem(form.trvList->topLevelItem(1));
        form.meSetFirstDisplay->trigger();
    }
    {
        TfrmWarnList form;
        form.BuildTree(-1);
        QVERIFY(form.trvList->currentItem());
        QCOMPARE(form.fnMode, 2);
    }
    // An item whose detail right the operator lacks is missing, and no node is pre-selected for it.
    FSet->Db().exec(QStringLiteral("UPDATE T_Inf_WarnList_TreeView SET DetailNo = 5 WHERE TreeType = 2"));
    FSet->Db().exec(
        QStringLiteral("INSERT INTO T_Inf_WarnList_FirstDisplay (EtypeID, TreeType) VALUES ('00001', 2)"));
    FSet->ActAs(QStringLiteral("00001"), false);
    TfrmWarnList form;
    form.BuildTree(-1);
    QCOMPARE(form.trvList->topLevelItemCount(), 5);
    QCOMPARE(form.trvList->currentItem(), nullptr);
    QCOMPARE(form.GridOptions & 0x100u, 0u);
    // Without detail right 63 the all-warehouse settings do not open.
    form.fnMode = 1;
    form.btnSetup->click();
    QVERIFY(!QApplication::activeModalWidget());
}

void TestWarnings::billRowsOpenTheirBill()
{
    struct Bills final : IBillInterface
    {
        QList<QPair<int, int>> Opened;
        bool AllNewBill(int) override { return false; }
        bool OpenBill(int code, int type) override
        {
            Opened.append({code, type});
            return true;
        }
        bool AuditBill(int, int) override { return false; }
    } bills;
    IBillInterface *host = Udllbillinterface::BillInterface;
    Udllbillinterface::BillInterface = &bills;
    FSet->Db().exec(QStringLiteral("INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Number, Period, DueDate) "
                                   "VALUES (7, 34, '2024-01-01', 'JH-7', 1, '2024-01-02')"));
    TfrmWarnList form;
    form.BuildTree(4);
    emit form.MainGrid->cellDoubleClicked(0, 0);
    form.BuildTree(1); // stock rows carry no bill
    SetLimit(FSet->Db(), QStringLiteral("00003"), QStringLiteral("00000"), 1, NoUpper);
    form.ShowItem(1);
    emit form.MainGrid->cellDoubleClicked(0, 0);
    Udllbillinterface::BillInterface = host;
    QCOMPARE(bills.Opened, (QList<QPair<int, int>>{{7, 34}}));
}

// At log-on the book opens only with switch 80 on; its check box writes the switch.
void TestWarnings::autoWarnAtLogOn()
{
    QVERIFY(!uWarnList::AutoWarnAtLogOn());
    {
        TfrmWarnList form;
        QVERIFY(!form.chkSys->isChecked());
        form.chkSys->click();
    }
    FSet->System().ReloadSysCon();
    QVERIFY(uWarnList::AutoWarnAtLogOn());
    QWidget *book = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("frmWarnList") && w->isVisible())
            book = w;
    QVERIFY(book);
    QVERIFY(static_cast<TfrmWarnList *>(book)->chkSys->isChecked());
    book->close();
}

void TestWarnings::leadDays()
{
    TfrmWarnSetUp form;
    form.FTreeType = 4;
    form.LoadData();
    QCOMPARE(form.MainGrid->rowCount(), 4);
    QCOMPARE(form.MainGrid->currentRow(), 1);
    FSet->Messages().Clear();
    Edit(form.MainGrid, 1, 1, QStringLiteral("1000"));
    QCOMPARE(FSet->Messages().Texts(), QStringList{QStringLiteral("提前天数必须是0到999之间的整数。")});
    QCOMPARE(form.MainGrid->item(1, 1)->text(), QStringLiteral("7"));
    Edit(form.MainGrid, 1, 1, QStringLiteral("15"));
    form.btnSave1->click();
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("保存成功。"));
    QCOMPARE(FSet->Db()
                 .value(QStringLiteral("SELECT EarlyDays FROM T_Inf_WarnList_TreeView WHERE TreeType = 4"))
                 .toInt(),
             15);
    QVERIFY(form.FIsSave);
}

QTEST_MAIN(TestWarnings)
#include "tst_warnings.moc"
