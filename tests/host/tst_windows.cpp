// What every window gets from the shared classes: Qt's own buttons in Chinese, the general grid's
// numbers, 合计 row, sorting, copy and export, and the form behaviour (remembered size and column
// widths per operator, first focus, Enter and Esc). Offscreen, on a fresh account set.

#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QVBoxLayout>
#include <QtTest>

#include "ClientDataSet.h"
#include "Kvggeneralgrid.h"
#include "TestAccountSet.h"
#include "uDialogParent.h"
#include "uDllComm.h"

namespace {
// A dialog of the framework with a grid and the given controls in its client area.
class GridDialog : public TfrmDialogParent
{
public:
    explicit GridDialog(const QStringList &controls = {})
    {
        setObjectName(QStringLiteral("frmGridDialog"));
        auto *layout = new QVBoxLayout(pnlEntry);
        for (const QString &c : controls) {
            if (c.startsWith(u"chk")) {
                auto *check = new QCheckBox(c, pnlEntry);
                check->setObjectName(c);
                layout->addWidget(check);
            } else if (c.startsWith(u"edt")) {
                auto *edit = new QLineEdit(pnlEntry);
                edit->setObjectName(c);
                layout->addWidget(edit);
            } else {
                AddBottomButton(c, c, c == u"btnCancel" ? mrCancel : mrNone);
            }
        }
        grid = new TKvGGeneralGrid(pnlEntry);
        grid->setObjectName(QStringLiteral("MainGrid"));
        layout->addWidget(grid);
    }
    TKvGGeneralGrid *grid;
};

// Goods lines with a quantity, a price, an amount and a hidden id.
void LoadGoods(TKvGGeneralGrid *grid, const QList<QVariantList> &rows)
{
    const auto column = [](const char *field, const char *caption, bool visible = true) {
        return TGridColumn{QString::fromUtf8(field), QString::fromUtf8(caption), QString(), 0, visible};
    };
    grid->SetColumns({column("ptypeid", "ID", false), column("FullName", "存货名称"), column("Qty", "数量"),
                      column("Price", "单价"), column("Total", "金额")});
    TClientDataSet ds({QStringLiteral("ptypeid"), QStringLiteral("FullName"), QStringLiteral("Qty"),
                       QStringLiteral("Price"), QStringLiteral("Total")});
    for (const QVariantList &r : rows)
        ds.AppendRow(r);
    grid->LoadFromDataSet(ds);
}

QString Unzip(const QString &archive, const QString &member)
{
    QProcess unzip;
    unzip.start(QStringLiteral("unzip"), {QStringLiteral("-p"), archive, member});
    unzip.waitForFinished();
    return QString::fromUtf8(unzip.readAllStandardOutput());
}
} // namespace

class TestWindows : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void chineseButtons_data();
    void chineseButtons();
    void gridNumbers_data();
    void gridNumbers();
    void gridSortFilterCopy();
    void gridExport();
    void rememberedGeometry();
    void firstFocusAndDefault_data();
    void firstFocusAndDefault();
    void enterAndEsc();

private:
    std::unique_ptr<TestAccountSet> FAcct;
};

void TestWindows::init()
{
    FAcct = std::make_unique<TestAccountSet>();
    uDllComm::DllParams.FparForm = nullptr;
}

void TestWindows::cleanup()
{
    FAcct.reset();
}

void TestWindows::chineseButtons_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("text");

    QTest::newRow("yes") << int(QDialogButtonBox::Yes) << "是";
    QTest::newRow("no") << int(QDialogButtonBox::No) << "否";
    QTest::newRow("ok") << int(QDialogButtonBox::Ok) << "确定";
    QTest::newRow("cancel") << int(QDialogButtonBox::Cancel) << "取消";
}

void TestWindows::chineseButtons()
{
    QFETCH(int, button);
    QFETCH(QString, text);
    const auto which = QDialogButtonBox::StandardButton(button);
    QDialogButtonBox box{QDialogButtonBox::StandardButtons(which)};
    // The Alt key letter the translation adds is no part of what the user reads.
    static const QRegularExpression accelerator(QStringLiteral("\\(&.\\)|&"));
    QCOMPARE(box.button(which)->text().remove(accelerator), text);
}

void TestWindows::gridNumbers_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<int>("decimals"); // the account set's price decimals
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QString>("total");

    QTest::newRow("quantities to 4 places, summed")
        << "Qty" << 4 << QStringList{"1,234.5000", "-0.5000", "0.0000"} << "1,234.0000";
    QTest::newRow("prices with the account set's decimals, no total")
        << "Price" << 6 << QStringList{"12,345.678900", "0.000001", "-1.000000"} << "";
    QTest::newRow("amounts to 2 places, half away from zero")
        << "Total" << 4 << QStringList{"1,234,567.89", "-1,000.00", "0.01"} << "1,233,567.90";
    QTest::newRow("text stays as given") << "FullName" << 4 << QStringList{"0012", "甲 乙", "-0"} << "合计";
}

void TestWindows::gridNumbers()
{
    QFETCH(QString, field);
    QFETCH(int, decimals);
    QFETCH(QStringList, texts);
    QFETCH(QString, total);

    FAcct->System().SetPubDefaultDecimal(decimals);
    TKvGGeneralGrid grid;
    LoadGoods(&grid, {{"P1", "0012", 1234.5, 12345.6789, 1234567.891},
                      {"P2", "甲 乙", -0.5, 0.000001, -1000},
                      {"P3", "-0", 0.00001, -1, 0.005}});
    const int column = grid.ColumnOfField(field);
    const bool number = field != u"FullName";
    for (int r = 0; r < texts.size(); ++r) {
        QCOMPARE(grid.item(r, column)->text(), texts.at(r));
        QCOMPARE(grid.item(r, column)->textAlignment() & Qt::AlignRight, number ? int(Qt::AlignRight) : 0);
    }
    // The window's logic reads the value as the data gave it.
    QCOMPARE(grid.CellText(0, QStringLiteral("Total")), QStringLiteral("1234567.891"));
    QVERIFY(grid.TotalsShown());
    QCOMPARE(grid.TotalText(field), total);
    // Columns are sized to their content.
    QVERIFY(grid.columnWidth(column) >= grid.fontMetrics().horizontalAdvance(texts.first()));
}

void TestWindows::gridSortFilterCopy()
{
    TKvGGeneralGrid grid;
    LoadGoods(&grid, {{"P1", "乙", 10, 1, 100}, {"P2", "甲", 9, 2, 18}, {"P3", "丙", 100, 3, 300}});
    const int qty = grid.ColumnOfField(QStringLiteral("Qty"));
    const auto order = [&grid] {
        QStringList ids;
        for (int r = 0; r < grid.rowCount(); ++r)
            ids << grid.CellText(r, QStringLiteral("ptypeid"));
        return ids.join(u',');
    };
    // A click on a title sorts by the numbers, not by their text; a second click reverses.
    QTest::mouseClick(grid.horizontalHeader()->viewport(), Qt::LeftButton, {},
                      QPoint(grid.horizontalHeader()->sectionViewportPosition(qty) + 5, 5));
    QCOMPARE(order(), QStringLiteral("P2,P1,P3"));
    grid.SortByColumnClick(qty);
    QCOMPARE(order(), QStringLiteral("P3,P1,P2"));
    // Reloading keeps the order the user chose.
    LoadGoods(&grid, {{"P1", "乙", 10, 1, 100}, {"P2", "甲", 9, 2, 18}});
    QCOMPARE(order(), QStringLiteral("P1,P2"));

    // The 合计 row sits under the rows, not over them.
    grid.resize(500, 200);
    grid.show();
    const QWidget *totals = grid.findChild<QWidget *>(QStringLiteral("GridTotals"));
    QVERIFY(totals && totals->isVisible());
    QVERIFY(grid.viewport()->geometry().bottom() < totals->geometry().top());
    QVERIFY(totals->geometry().bottom() < grid.height());

    // The 合计 row follows the rows shown; sorting keeps the filter on the same rows.
    grid.ApplyFilter(QStringLiteral("甲"));
    QCOMPARE(grid.TotalText(QStringLiteral("Total")), QStringLiteral("18.00"));
    grid.SortByColumnClick(qty);
    QCOMPARE(grid.TotalText(QStringLiteral("Total")), QStringLiteral("18.00"));
    grid.ApplyFilter(QString());

    // Ctrl+C copies the selected cells as the user sees them, hidden columns left out.
    grid.setSelectionMode(QAbstractItemView::ExtendedSelection);
    grid.selectAll();
    QTest::keyClick(&grid, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(),
             QStringLiteral("甲\t9.0000\t2.0000\t18.00\n乙\t10.0000\t1.0000\t100.00"));
}

void TestWindows::gridExport()
{
    TKvGGeneralGrid grid;
    grid.SetPrintTitle(QStringLiteral("结转成本附件"));
    LoadGoods(&grid, {{"P1", "螺丝, \"大\"", 1234.5, 2, 2469}, {"P2", "垫片", 10, 0.5, 5}});
    grid.horizontalHeader()->moveSection(grid.ColumnOfField(QStringLiteral("Total")), 1); // 金额 first

    const QString xlsx = FAcct->Dir() + QStringLiteral("/表格.xlsx");
    QString error;
    QVERIFY2(grid.ExportToXlsx(xlsx, &error), qPrintable(error));
    QVERIFY(!(QFile::permissions(xlsx) & (QFileDevice::ReadGroup | QFileDevice::ReadOther)));
    const QString sheet = Unzip(xlsx, QStringLiteral("xl/worksheets/sheet1.xml"));
    const QString strings = Unzip(xlsx, QStringLiteral("xl/sharedStrings.xml"));
    const QString workbook = Unzip(xlsx, QStringLiteral("xl/workbook.xml"));
    QVERIFY(workbook.contains(QStringLiteral("name=\"结转成本附件\"")));
    // Titles in the order shown, the hidden id left out; numbers stay numbers; the 合计 row last.
    QRegularExpression strs(QStringLiteral("<t[^>]*>([^<]*)</t>"));
    QStringList shared;
    for (const QRegularExpressionMatch &m : strs.globalMatch(strings))
        shared << m.captured(1);
    QCOMPARE(shared.mid(0, 4), (QStringList{"金额", "存货名称", "数量", "单价"}));
    QVERIFY(shared.contains(QStringLiteral("合计")));
    QVERIFY(!shared.contains(QStringLiteral("P1")));
    QVERIFY(sheet.contains(QStringLiteral("<c r=\"A2\" s=\"")) &&
            sheet.contains(QStringLiteral("<v>2469</v>")));
    QVERIFY(sheet.contains(QStringLiteral("<c r=\"C4\"")) && sheet.contains(QStringLiteral("<v>1244.5</v>")));
    QVERIFY(!sheet.contains(QStringLiteral("r=\"E1\"")));

    const QString csv = FAcct->Dir() + QStringLiteral("/表格.csv");
    QVERIFY2(grid.ExportToCsv(csv, &error), qPrintable(error));
    QFile file(csv);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), "\xEF\xBB\xBF" + QStringLiteral("金额,存货名称,数量,单价\r\n"
                                                             "2469,\"螺丝, \"\"大\"\"\",1234.5,2\r\n"
                                                             "5,垫片,10,0.5\r\n2474,合计,1244.5,\r\n")
                                                  .toUtf8());

    // A file that cannot be written is reported, not half written.
    QVERIFY(!grid.ExportToCsv(FAcct->Dir() + QStringLiteral("/没有/表格.csv"), &error));
    QVERIFY(error.startsWith(QStringLiteral("无法创建文件：")));
}

void TestWindows::rememberedGeometry()
{
    const auto open = [](const QSize &resizeTo, int columnWidth) {
        GridDialog form;
        LoadGoods(form.grid, {{"P1", "螺丝", 1, 2, 2}});
        form.show();
        const QSize size = form.size();
        const int width = form.grid->columnWidth(form.grid->ColumnOfField(QStringLiteral("FullName")));
        if (resizeTo.isValid()) {
            form.resize(resizeTo);
            form.grid->setColumnWidth(form.grid->ColumnOfField(QStringLiteral("FullName")), columnWidth);
            // A later load keeps the width the user chose.
            LoadGoods(form.grid, {{"P1", "螺丝", 1, 2, 2}});
        }
        form.reject();
        return std::make_pair(size, width);
    };
    FAcct->ActAs(QStringLiteral("E001"), false);
    const auto first = open(QSize(640, 480), 211);
    // The first time the window is large enough for its grid.
    QVERIFY(first.first.width() >= GridDialog().grid->sizeHint().width() - 1 || first.first.width() > 300);
    const auto second = open(QSize(), 0);
    QCOMPARE(second.first, QSize(640, 480));
    QCOMPARE(second.second, 211);
    // Another operator keeps his own.
    FAcct->ActAs(QStringLiteral("E002"), false);
    const auto other = open(QSize(), 0);
    QCOMPARE(other.first, first.first);
    QVERIFY(other.second != 211);
}

void TestWindows::firstFocusAndDefault_data()
{
    QTest::addColumn<QStringList>("controls");
    QTest::addColumn<QString>("focus");
    QTest::addColumn<QString>("defaultButton");

    QTest::newRow("a field after a setting's check box")
        << QStringList{"chkDisplay", "edtName", "btnOK", "btnCancel"} << "edtName"
        << "btnOK";
    QTest::newRow("no field: the confirming button, not the check box")
        << QStringList{"chkDisplay", "btnExit", "btnNext"} << "btnNext"
        << "btnNext";
    QTest::newRow("a destructive button is never chosen")
        << QStringList{"chkDisplay", "btnRestore", "btnClose"} << "btnClose"
        << "btnClose";
}

void TestWindows::firstFocusAndDefault()
{
    QFETCH(QStringList, controls);
    QFETCH(QString, focus);
    QFETCH(QString, defaultButton);

    GridDialog form(controls);
    form.grid->setFocusPolicy(Qt::NoFocus);
    form.show();
    QVERIFY(form.focusWidget());
    QCOMPARE(form.focusWidget()->objectName(), focus);
    QString chosen;
    for (QPushButton *b : form.findChildren<QPushButton *>())
        if (b->isDefault())
            chosen = b->objectName();
    QCOMPARE(chosen, defaultButton);
    form.reject();
}

void TestWindows::enterAndEsc()
{
    {
        GridDialog form({"edtName", "btnOK", "btnCancel"});
        int confirmed = 0;
        connect(form.findChild<QPushButton *>(QStringLiteral("btnOK")), &QPushButton::clicked,
                [&] { ++confirmed; });
        form.show();
        QTest::keyClick(form.findChild<QLineEdit *>(QStringLiteral("edtName")), Qt::Key_Return);
        QCOMPARE(confirmed, 1);
        QTest::keyClick(&form, Qt::Key_Escape);
        QVERIFY(!form.isVisible());
        QCOMPARE(form.result(), int(mrCancel));
    }
    {
        // Enter does not press a destructive button, even as the only one.
        GridDialog form({"edtName", "btnRestore"});
        int restored = 0;
        connect(form.findChild<QPushButton *>(QStringLiteral("btnRestore")), &QPushButton::clicked,
                [&] { ++restored; });
        form.show();
        QTest::keyClick(form.findChild<QLineEdit *>(QStringLiteral("edtName")), Qt::Key_Return);
        QCOMPARE(restored, 0);
        form.reject();
    }
}

QTEST_MAIN(TestWindows)
#include "tst_windows.moc"
