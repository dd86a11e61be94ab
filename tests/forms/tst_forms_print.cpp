// The print handler and the print button: the right check, the layout number check after the window's
// own handler, the grid print data, the saved print design, the distribution-grid print and the PDF of a
// grid with Chinese text (read back with pdftotext).

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "tst_print_support.h"

#include "Kvggeneralgrid.h"
#include "Kvprintdesign.h"
#include "QuillExceptions.h"
#include "TestAccountSet.h"
#include "uDialogParent.h"
#include "uDllComm.h"
#include "uMDIParent.h"
#include "uPrintdata.h"

namespace {

// A window with a grid of stock lines; its rights string can be set as the operator's would load.
class TPrintWindow : public TfrmMDIParent
{
public:
    TPrintWindow()
    {
        Grid = new TKvGGeneralGrid(pnlEntry);
        Grid->SetColumns(
            {{QStringLiteral("Name"), QStringLiteral("仓库"), QString(), 0, true},
             {QStringLiteral("Code"), QStringLiteral("编号"), QString(), 0, false},
             {QStringLiteral("Qty"), QStringLiteral("数量"), QStringLiteral("库存数量"), 0, true},
             {QStringLiteral("Amount"), QStringLiteral("金额"), QString(), 0, true}});
        const QList<QStringList> rows = {
            {QStringLiteral("华东仓库"), QStringLiteral("01"), QStringLiteral("2"), QStringLiteral("10.5")},
            {QString(), QStringLiteral("02"), QString(), QString()},
            {QStringLiteral("华南仓库"), QStringLiteral("03"), QStringLiteral("3"), QStringLiteral("4.25")}};
        Grid->setRowCount(rows.size());
        for (int r = 0; r < rows.size(); ++r)
            for (int c = 0; c < rows[r].size(); ++c)
                Grid->setItem(r, c, new QTableWidgetItem(rows[r][c]));
        SetTitle(QStringLiteral("库存状况表"));
    }
    void SetLimits(const QString &rights) { FLimitList = rights; }
    TKvGGeneralGrid *Grid;
};

} // namespace

class TestFormsPrint : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        FAcct = std::make_unique<TestAccountSet>();
        uDllComm::DllParams.FparForm = nullptr;
        FPdf = FAcct->Dir() + QStringLiteral("/out.pdf");
    }
    void cleanup() { FAcct.reset(); }

    void gridPrintData_data();
    void gridPrintData();
    void printRight_data();
    void printRight();
    void printIdCheckedAfterOwnHandler();
    void chineseGridToPdf();
    void designSavedAndUsed();
    void distributionGrid_data();
    void distributionGrid();
    void everyPrintButtonPrints();

private:
    std::unique_ptr<TestAccountSet> FAcct;
    QString FPdf;
};

void TestFormsPrint::gridPrintData_data()
{
    QTest::addColumn<QStringList>("sumFields");
    QTest::addColumn<bool>("filterSouth");
    QTest::addColumn<QList<QStringList>>("rows");
    QTest::addColumn<QStringList>("totals");
    const QStringList east = {"1", "华东仓库", "2", "10.5"};
    // The blank row and the hidden column never print; the print name titles the quantity.
    QTest::newRow("no totals") << QStringList() << false
                               << QList<QStringList>{east, {"2", "华南仓库", "3", "4.25"}} << QStringList();
    QTest::newRow("totals at the widest decimals")
        << QStringList{"Qty", "amount"} << false << QList<QStringList>{east, {"2", "华南仓库", "3", "4.25"}}
        << QStringList{"合 计", "", "5", "14.75"};
    QTest::newRow("filtered rows left out")
        << QStringList{"Amount"} << true << QList<QStringList>{east} << QStringList{"合 计", "", "", "10.5"};
}

void TestFormsPrint::gridPrintData()
{
    QFETCH(QStringList, sumFields);
    QFETCH(bool, filterSouth);
    QFETCH(QList<QStringList>, rows);
    QFETCH(QStringList, totals);
    TPrintWindow window;
    if (!sumFields.isEmpty())
        window.SetGridSumFields(window.Grid, sumFields);
    if (filterSouth)
        window.Grid->ApplyFilter(QStringLiteral("华东"));
    const TPrintTable table = window.GetGridPrintData(window.Grid);
    QCOMPARE(table.Columns, (QStringList{"行号", "仓库", "库存数量", "金额"}));
    QCOMPARE(table.Rows, rows);
    QCOMPARE(table.Totals, totals);
}

void TestFormsPrint::printRight_data()
{
    QTest::addColumn<QString>("rights");
    QTest::addColumn<bool>("printed");
    QTest::newRow("window without a function") << QString() << true;
    QTest::newRow("detail 2 refused") << QStringLiteral("1011") << false;
    QTest::newRow("detail 2 held") << QStringLiteral("0100") << true;
}

void TestFormsPrint::printRight()
{
    QFETCH(QString, rights);
    QFETCH(bool, printed);
    TPrintWindow window;
    window.SetLimits(rights);
    window.PrintHandler()->SetPrintID(2001);
    bool loaded = false;
    window.PrintHandler()->FCMBeforePrint = [&loaded](QObject *) { loaded = true; };
    if (printed) {
        QVERIFY(window.btnExpertPrint->WritePdf(FPdf));
    } else {
        QVERIFY_THROWS_EXCEPTION(EAbort, window.btnExpertPrint->WritePdf(FPdf));
        QCOMPARE(FAcct->Messages().Texts(), QStringList{"你没有打印的权限，不能继续。"});
    }
    QCOMPARE(loaded, printed);
    QCOMPARE(QFileInfo::exists(FPdf), printed);
}

void TestFormsPrint::printIdCheckedAfterOwnHandler()
{
    TPrintWindow window; // no function number, no module number: no layout number to take
    QStringList order;
    window.PrintHandler()->FCMBeforePrint = [&order](QObject *) { order << "window"; };
    window.PrintHandler()->FBeforePrint = [&order](QObject *) { order << "button's own"; };
    QVERIFY_THROWS_EXCEPTION(EAbort, window.btnExpertPrint->WritePdf(FPdf));
    QCOMPARE(order, (QStringList{"window", "button's own"}));
    QCOMPARE(FAcct->Messages().Texts(), QStringList{"未指定PrintID属性。"});
    QVERIFY(!QFileInfo::exists(FPdf));
    // Named by the window's function number, the same print goes through.
    window.SetFunctionNo(1330);
    QVERIFY(window.btnExpertPrint->WritePdf(FPdf));
}

void TestFormsPrint::chineseGridToPdf()
{
    TPrintWindow window;
    window.SetGridSumFields(window.Grid, {QStringLiteral("Amount")});
    window.PrintHandler()->SetPrintID(2001);
    QVERIFY(window.btnExpertPrint->WritePdf(FPdf));
    QCOMPARE(QFile::permissions(FPdf) & 0x0777, QFileDevice::ReadUser | QFileDevice::WriteUser);
    const QString text = PdfText(FPdf);
    for (const char *expected :
         {"库存状况表", "操作员：", "库存数量", "华东仓库", "10.5", "合计", "14.75", "第1页共1页"})
        QVERIFY2(text.contains(QString::fromUtf8(expected)),
                 qPrintable(QString::fromUtf8(expected) + " in " + text));
    QVERIFY(!text.contains(QStringLiteral("编号")));
}

void TestFormsPrint::designSavedAndUsed()
{
    TPrintWindow window;
    window.PrintHandler()->SetPrintID(2001);
    OnNextModal([](QWidget *modal) {
        auto *design = qobject_cast<TfrmPrintDesign *>(modal);
        QVERIFY(design);
        QListWidget *columns = design->lstColumns;
        QCOMPARE(columns->count(), 4);
        columns->item(3)->setText(QStringLiteral("库存金额")); // 金额 renamed
        columns->item(0)->setCheckState(Qt::Unchecked);        // 行号 hidden
        columns->setCurrentRow(3);
        design->btnUp->click(); // 库存金额 before 库存数量
        design->cbxOrientation->setCurrentIndex(1);
        design->btnOK->click();
    });
    window.btnExpertPrint->Design();
    const TPrintLayout saved = TPrintLayout::Load(2001, QStringLiteral("库存状况表"));
    QCOMPARE(saved.Orientation, QPageLayout::Landscape);
    const TPrintTable printed = saved.Apply(0, window.GetGridPrintData(window.Grid));
    QCOMPARE(printed.Columns, (QStringList{"仓库", "库存金额", "库存数量"}));
    QCOMPARE(printed.Rows.first(), (QStringList{"华东仓库", "10.5", "2"}));

    QVERIFY(window.btnExpertPrint->WritePdf(FPdf));
    const QString text = PdfText(FPdf);
    QVERIFY(text.contains(QStringLiteral("库存金额")));
    QVERIFY(!text.contains(QStringLiteral("行号")));
}

void TestFormsPrint::distributionGrid_data()
{
    QTest::addColumn<QString>("choice"); // radio button, empty: cancelled
    QTest::addColumn<bool>("ran");
    QTest::newRow("cancelled") << QString() << false;
    QTest::newRow("preview") << QStringLiteral("rbChoice2") << true;
}

void TestFormsPrint::distributionGrid()
{
    QFETCH(QString, choice);
    QFETCH(bool, ran);
    TPrintWindow window;
    QStringList choices;
    QString previewTitle;
    OnNextModal([&](QWidget *modal) {
        QVERIFY(modal && modal->objectName() == QLatin1String("frmRadioCheck"));
        QCOMPARE(modal->windowTitle(), QStringLiteral("请选择"));
        for (int i = 1; i <= 3; ++i)
            choices << modal->findChild<QAbstractButton *>(QStringLiteral("rbChoice%1").arg(i))->text();
        if (choice.isEmpty())
            return;
        modal->findChild<QAbstractButton *>(choice)->setChecked(true);
        OnNextModal([&](QWidget *preview) { previewTitle = preview ? preview->objectName() : QString(); });
        modal->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
    });
    QCOMPARE(window.PrintDistributionGrid(window.Grid), ran);
    QCOMPARE(choices, (QStringList{"打印", "打印预览", "打印设计"}));
    QCOMPARE(previewTitle, ran ? QStringLiteral("dlgPrintPreview") : QString());
}

void TestFormsPrint::everyPrintButtonPrints()
{
    // The MDI parent's tool-bar button and the dialog parent's button band button open the same menu.
    TPrintWindow mdi;
    mdi.SetFunctionNo(1330);
    TfrmDialogParent dialog;
    dialog.SetTitle(QStringLiteral("对话框"));
    QPushButton *btnPrint = dialog.AddPrintButton();
    QCOMPARE(btnPrint->objectName(), QStringLiteral("btnPrint"));
    auto *dialogButton = dialog.findChild<TCMKvPrintBtn *>(QStringLiteral("btnExpertPrint"));
    QVERIFY(dialog.PrintHandler() && dialogButton);
    dialog.PrintHandler()->SetPrintID(7);
    for (TCMKvPrintBtn *button : {mdi.btnExpertPrint, dialogButton}) {
        QMenu *menu = button->PopupMenu;
        QStringList actions;
        for (QAction *a : menu->actions())
            if (!a->isSeparator())
                actions << a->text();
        QCOMPARE(actions, (QStringList{"打印", "打印预览", "导出PDF", "打印设计"}));
        QSignalSpy printed(button, &TCMKvPrintBtn::Printed);
        OnNextModal(
            [](QWidget *preview) { QCOMPARE(preview->objectName(), QStringLiteral("dlgPrintPreview")); });
        button->actPreview->trigger();
        QCOMPARE(printed.count(), 1);
        QVERIFY(button->WritePdf(FPdf));
        QVERIFY(PdfText(FPdf).contains(button == dialogButton ? QStringLiteral("对话框")
                                                              : QStringLiteral("华南仓库")));
    }
    QCOMPARE(btnPrint->menu(), dialogButton->PopupMenu);
}

QTEST_MAIN(TestFormsPrint)
#include "tst_forms_print.moc"
