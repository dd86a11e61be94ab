// The host's bill window, offscreen and driven by object names and keys: a purchase typed with the
// keyboard only and posted, a sale following its amount formula, a bill waiting for a two-level flow,
// a required field refusing the save, red-word reversal, and the bill list.

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "BillFixture.h"
#include "HostBillService.h"
#include "HostMainWindow.h"
#include "ModuleLoader.h"
#include "TestAccountSet.h"

using billfixture::G1;
using billfixture::W1;

class TstBillWindow : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAccountSet> FSet;
    std::unique_ptr<HostBillService> FService;
    ModuleLoader FLoader;
    QString FDate;

    accountdb::AccountDatabase &Db() { return FSet->Db(); }
    QVariant Value(const QString &sql, const QVariantList &params = {}) { return Db().value(sql, params); }
    double Stock()
    {
        return Value(QStringLiteral("SELECT coalesce(sum(Qty), 0) FROM GoodsStocks")).toDouble();
    }

    // A new bill window of the type, shown and active, the date set to the test's date.
    BillWindow *NewBill(int vchType)
    {
        if (!FService->AllNewBill(vchType))
            return nullptr;
        BillWindow *w = FService->LastWindow();
        w->show();
        QApplication::setActiveWindow(w);
        if (!QTest::qWaitForWindowActive(w))
            return nullptr;
        Edit(w, "edtDate")->setText(FDate);
        return w;
    }
    static QLineEdit *Edit(QWidget *w, const char *name)
    {
        return w->findChild<QLineEdit *>(QLatin1String(name));
    }
    static QTableWidget *Grid(QWidget *w) { return w->findChild<QTableWidget *>(QStringLiteral("grdBill")); }
    static void Click(QWidget *w, const char *name)
    {
        QTest::mouseClick(w->findChild<QPushButton *>(QLatin1String(name)), Qt::LeftButton);
    }
    // Keys to whatever has the focus, as a user types them; "\n" is Enter.
    static void Type(const QString &keys)
    {
        for (const QChar c : keys) {
            QWidget *focus = QApplication::focusWidget();
            QVERIFY(focus);
            if (c == u'\n')
                QTest::keyClick(focus, Qt::Key_Return);
            else
                QTest::keyClick(focus, c.toLatin1());
            QCoreApplication::processEvents(); // a cell editor commits on Enter through the event loop
        }
    }
    // Enters the header by keyboard from the date on: over the number to the partner, over the handler
    // to the warehouse, both by code, then Enter through department, summary and comment to the lines.
    void TypeHead(BillWindow *w)
    {
        Edit(w, "edtDate")->setFocus();
        Type(QStringLiteral("\n\nB1\n\nW1\n\n\n\n"));
        QCOMPARE(QApplication::focusWidget(), Grid(w));
        QCOMPARE(Edit(w, "edtBtypeId")->text(), QStringLiteral("甲公司"));
        QCOMPARE(Edit(w, "edtKtypeId")->text(), QStringLiteral("总仓"));
    }
    QString Cell(QWidget *w, int row, const QString &caption)
    {
        QTableWidget *g = Grid(w);
        for (int c = 0; c < g->columnCount(); ++c)
            if (g->horizontalHeaderItem(c)->text() == caption)
                return g->item(row, c)->text();
        return QStringLiteral("<no column %1>").arg(caption);
    }

private slots:
    void initTestCase()
    {
        const QString path =
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("libOrvane.so"));
        QVERIFY2(FLoader.Load(path) && FLoader.Check(), qPrintable(FLoader.Error()));
        FLoader.InitDllFunc();
    }

    void init()
    {
        FSet = std::make_unique<TestAccountSet>();
        FDate = billfixture::Seed(Db());
        FService = std::make_unique<HostBillService>([this] { return &Db(); }, FSet->System(),
                                                     FSet->Messages(), nullptr);
    }
    void cleanup()
    {
        qDeleteAll(QApplication::topLevelWidgets());
        FService.reset();
        FSet.reset();
    }

    void purchaseByKeyboard()
    {
        BillWindow *w = NewBill(34);
        QVERIFY(w);
        QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("btnPost"))->text(), QStringLiteral("保存过账"));
        TypeHead(w);
        // Goods, quantity, price; Enter over the amount and the comment leads to the next line.
        Type(QStringLiteral("G1\n10\n3\n\n\nG2\n5\n4.5\n"));
        QCOMPARE(Cell(w, 0, QStringLiteral("存货名称")), QStringLiteral("铝板"));
        QCOMPARE(Cell(w, 0, QStringLiteral("金额")), QStringLiteral("30.00"));
        QCOMPARE(Cell(w, 1, QStringLiteral("单位")), QStringLiteral("根"));
        QCOMPARE(Cell(w, 1, QStringLiteral("金额")), QStringLiteral("22.50"));
        QCOMPARE(w->findChild<QLabel *>(QStringLiteral("lblTotal"))->text(),
                 QStringLiteral("合计  数量：15.0000  金额：52.50"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QVERIFY2(FSet->Messages().Messages.isEmpty(), qPrintable(FSet->Messages().Texts().join(u'\n')));
        QCOMPARE(w->State(), TBillState::Posted);
        QCOMPARE(Value(QStringLiteral("SELECT Qty FROM GoodsStocks WHERE PtypeId = ?"), {G1}).toDouble(),
                 110.0);
        QCOMPARE(Value(QStringLiteral("SELECT Qty FROM GoodsStocks WHERE PtypeId = ?"), {billfixture::G2})
                     .toDouble(),
                 5.0);
        QCOMPARE(Value(QStringLiteral(
                           "SELECT count(*) FROM T_FIFO_InList_Stock WHERE Vchcode = ? AND Appoint = 1"),
                       {w->Vchcode()})
                     .toInt(),
                 2);
        QCOMPARE(
            Value(QStringLiteral("SELECT BtypeId FROM DlyNdx WHERE Vchcode = ?"), {w->Vchcode()}).toString(),
            QStringLiteral("00001"));
        // A posted bill is read-only; Del removes nothing.
        QVERIFY(!w->findChild<QPushButton *>(QStringLiteral("btnPost"))->isEnabled());
        Grid(w)->setFocus();
        Grid(w)->setCurrentCell(0, 0);
        QTest::keyClick(Grid(w), Qt::Key_Delete);
        QCOMPARE(Grid(w)->rowCount(), 2);
    }

    void keyboardEditing()
    {
        BillWindow *w = NewBill(34);
        QVERIFY(w);
        TypeHead(w);
        Type(QStringLiteral("G1\n2\n1\n\n\nG2\n"));
        QCOMPARE(Grid(w)->rowCount(), 2);
        // Del on a line removes it; an unknown code is refused by name and leaves the cell empty.
        Grid(w)->setCurrentCell(0, 0);
        QTest::keyClick(Grid(w), Qt::Key_Delete);
        QCOMPARE(Grid(w)->rowCount(), 1);
        QCOMPARE(Cell(w, 0, QStringLiteral("存货编号")), QStringLiteral("G2"));
        Grid(w)->setCurrentCell(0, 0);
        Type(QStringLiteral("NOPE\n"));
        QCOMPARE(FSet->Messages().LastText(), QStringLiteral("没有编号为“NOPE”的存货。"));
        QCOMPARE(Cell(w, 0, QStringLiteral("存货编号")), QString());
    }

    void saleFollowsFormula()
    {
        Db().exec(QStringLiteral(
            "INSERT INTO BillFormula (Vchtype, DataArea, ColumnName, FieldName, FormulaContent, "
            "Formula, Calc) VALUES (11, 1, 'Total', '金额', '数量*单价+5', 'qty*price+ 5 ', 1)"));
        BillWindow *w = NewBill(11);
        QVERIFY(w);
        TypeHead(w);
        Type(QStringLiteral("G1\n4\n9\n"));
        QCOMPARE(Cell(w, 0, QStringLiteral("金额")), QStringLiteral("41.00"));
        QVERIFY(w->Post());
        QCOMPARE(Value(QStringLiteral("SELECT Total FROM DlySale")).toDouble(), -41.0);
        QCOMPARE(Stock(), 96.0);
    }

    void waitsForTwoLevels()
    {
        Db().execBatch(
            QStringLiteral("INSERT INTO T_GBL_LoginUser (ETypeId) VALUES ('E1');"
                           "INSERT INTO AuditDetail (Vchtype, Leveal, FullName) VALUES (34, 1, '级1');"
                           "INSERT INTO AuditDetail (Vchtype, Leveal, FullName) VALUES (34, 2, '级2');"
                           "INSERT INTO \"AuditDetail-E\" (Vchtype, Leveal, EtypeID) VALUES (34, 1, 'E1');"
                           "INSERT INTO \"AuditDetail-E\" (Vchtype, Leveal, EtypeID) VALUES (34, 2, 'E1');"
                           "INSERT INTO AuditNdx (Vchtype, IsAudit, SonLeveal) VALUES (34, 1, 2)"));
        FSet->ActAs(QStringLiteral("E1"), false);
        BillWindow *w = NewBill(34);
        QVERIFY(w);
        QCOMPARE(w->findChild<QPushButton *>(QStringLiteral("btnPost"))->text(), QStringLiteral("提交审核"));
        TypeHead(w);
        Type(QStringLiteral("G1\n10\n3\n"));
        Click(w, "btnPost");
        QCOMPARE(w->State(), TBillState::Waiting);
        QCOMPARE(Stock(), 100.0);
        QVERIFY(!w->findChild<QPushButton *>(QStringLiteral("btnDraft"))->isEnabled());
        Click(w, "btnAudit");
        QCOMPARE(w->State(), TBillState::Waiting);
        QCOMPARE(Stock(), 100.0);
        Click(w, "btnAudit");
        QCOMPARE(w->State(), TBillState::Posted);
        QCOMPARE(Stock(), 110.0);
    }

    void requiredFieldRefuses()
    {
        Db().exec(QStringLiteral(
            "UPDATE T_Jxc_VchTitle SET Required = 1 WHERE VchType = 34 AND DataField = 'EtypeId'"));
        BillWindow *w = NewBill(34);
        QVERIFY(w);
        TypeHead(w);
        Type(QStringLiteral("G1\n10\n3\n"));
        QVERIFY(!w->Post());
        QCOMPARE(FSet->Messages().LastText(), QStringLiteral("经手人不能为空，请录入后再保存。"));
        QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM DlyNdx")).toInt(), 0);
        QCOMPARE(w->State(), TBillState::New);
        // Filled in, the same bill is saved as a draft and keeps its lines.
        Edit(w, "edtEtypeId")->setFocus();
        Type(QStringLiteral("E1\n"));
        QVERIFY(w->SaveDraft());
        QCOMPARE(w->State(), TBillState::Draft);
        QCOMPARE(Cell(w, 0, QStringLiteral("数量")), QStringLiteral("10.0000"));
        QCOMPARE(Stock(), 100.0);
    }

    void redWordRestoresStock()
    {
        BillWindow *w = NewBill(11);
        QVERIFY(w);
        TypeHead(w);
        Type(QStringLiteral("G1\n30\n9\n"));
        QVERIFY(w->Post());
        QCOMPARE(Stock(), 70.0);
        const qint64 sale = w->Vchcode();
        w->close();
        QVERIFY(FService->AllLoadBill(int(sale), 11, false, 0));
        BillWindow *loaded = FService->LastWindow();
        QCOMPARE(Cell(loaded, 0, QStringLiteral("数量")), QStringLiteral("30.0000"));
        Click(loaded, "btnRedWord");
        QCOMPARE(Stock(), 100.0);
        QVERIFY(
            loaded->findChild<QLabel *>(QStringLiteral("lblState"))->text().contains(QStringLiteral("红字")));
        QVERIFY(!loaded->findChild<QPushButton *>(QStringLiteral("btnRedWord"))->isEnabled());

        // The list finds the sale by partner and by number, and opens it.
        QVERIFY(FService->OpenBillList(11));
        BillListWindow *list = FService->LastList();
        auto *bills = list->findChild<QTableWidget *>(QStringLiteral("grdBills"));
        QCOMPARE(bills->rowCount(), 1);
        list->findChild<QLineEdit *>(QStringLiteral("edtPartner"))->setText(QStringLiteral("乙"));
        list->Search();
        QCOMPARE(bills->rowCount(), 0);
        list->findChild<QLineEdit *>(QStringLiteral("edtPartner"))->setText(QStringLiteral("b1"));
        list->Search();
        QCOMPARE(bills->rowCount(), 1);
        QCOMPARE(list->CodeAt(0), sale);
        QVERIFY(bills->item(0, 4)->text().contains(QStringLiteral("已红冲")));
    }

    // 业务录入 in the main window: the bill type from the selection, the right of its bill type, then
    // a bill page of the main window.
    void businessEntry()
    {
        Db().execBatch(
            QStringLiteral("INSERT INTO T_GBL_LoginUser (ETypeId) VALUES ('E1');"
                           "INSERT INTO \"group\" (ID, GroupName) VALUES (9, '录入组');"
                           "INSERT INTO T_Gbl_UserPower (GroupID, LimitNo, LimitPower) VALUES (9, 1304, '1');"
                           "INSERT INTO UserToGroup (UserID, GroupId) VALUES ('E1', 9)"));
        FSet->ActAs(QStringLiteral("E1"), false);
        HostMainWindow window;
        window.AttachSession(FSet->Session());
        window.SetModule(&FLoader);
        FLoader.InitLoadDll(FSet->Session().Params());
        window.LoadMenu(true);
        const auto pickPurchase = [] {
            QTimer::singleShot(0, [] {
                QWidget *dialog = QApplication::activeModalWidget();
                QVERIFY(dialog);
                dialog->findChild<QLineEdit *>(QStringLiteral("edtSearch"))->setText(QStringLiteral("34"));
                QMetaObject::invokeMethod(dialog, "Search");
                QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("btnOK")), Qt::LeftButton);
            });
        };
        pickPurchase();
        QVERIFY(window.RunEntry(QStringLiteral("Orvane.dll业务录入")));
        QCOMPARE(FSet->Messages().LastText(), QStringLiteral("你没有这个功能的权限，不能打开。"));
        QVERIFY(!window.HasOpenBill());

        Db().exec(QStringLiteral(
            "INSERT INTO T_Gbl_UserPower (GroupID, LimitNo, LimitPower) VALUES (9, 2034, '1')"));
        pickPurchase();
        QVERIFY(window.RunEntry(QStringLiteral("Orvane.dll业务录入")));
        QVERIFY(window.HasOpenBill());
        BillWindow *bill = nullptr;
        for (QMdiSubWindow *page : window.MdiArea()->subWindowList())
            bill = bill ? bill : qobject_cast<BillWindow *>(page->widget());
        QVERIFY(bill);
        QCOMPARE(bill->VchType(), 34);
        window.CloseAllBillPage();
        QVERIFY(!window.HasOpenBill());
        FLoader.InitLoadDll(FSet->Session().Params());
    }
};

QTEST_MAIN(TstBillWindow)
#include "tst_billwindow.moc"
