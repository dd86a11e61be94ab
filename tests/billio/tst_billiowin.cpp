// The bill exchange windows driven by object name: the export with its conditions and target checks,
// the operator's base-data rights on the list, the import with its check grid and busy flag, and the
// tax-invoice export with continue-or-cancel after a refused bill.

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>

#include "BillIoSeed.h"
#include "HostBaseSelect.h"
#include "Kvbasicinfocomponent.h"
#include "Kvggeneralgrid.h"
#include "Udllbaseselect.h"
#include "uExportBillData.h"
#include "uExportBillDataQuery.h"
#include "uExportToJS.h"
#include "uImportBillData.h"

namespace {

// Types a file name into the file dialog the window is about to run, and accepts it. Gives up when no
// dialog comes, so that a failing test never hangs.
void ChooseFile(const QString &fileName, int attempts = 100)
{
    QTimer::singleShot(0, [fileName, attempts] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            if (attempts > 0)
                ChooseFile(fileName, attempts - 1);
            return;
        }
        dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(fileName); // typed in
        QMetaObject::invokeMethod(dialog, "accept");
    });
}

QByteArray ReadAll(const QString &fileName)
{
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString &fileName, const QByteArray &bytes)
{
    QFile f(fileName);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QString LastEvent(accountdb::AccountDatabase &db)
{
    return db.value(QStringLiteral("SELECT Event FROM T_Sys_EventLog ORDER BY EventNo DESC LIMIT 1"))
        .toString();
}

std::unique_ptr<TfrmExportBillData> ExportWindow()
{
    auto form = std::make_unique<TfrmExportBillData>();
    form->Params[17] = QStringLiteral("1900-01-01");
    form->Params[18] = QStringLiteral("9999-12-31");
    form->LoadList();
    return form;
}

} // namespace

class TstBillIoWin : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void exportWindow_data();
    void exportWindow();
    void queryConditions();
    void exportKeepsToOperatorsRights();
    void importWindow_data();
    void importWindow();
    void importRefusesClosingWhileBusy();
    void taxExport_data();
    void taxExport();

private:
    // The exported file of the seeded bills, made in an account set of its own; FSet is fresh after.
    QString ExportedElsewhere()
    {
        FSet.reset(); // one account set holds the host services at a time
        const QString text = SeededFile();
        init();
        return text;
    }

    std::unique_ptr<TestAccountSet> FSet;
};

void TstBillIoWin::init()
{
    FSet = std::make_unique<TestAccountSet>();
    SeedBaseData(FSet->Db());
}

void TstBillIoWin::cleanup()
{
    FSet.reset();
}

void TstBillIoWin::exportWindow_data()
{
    QTest::addColumn<bool>("tick");
    QTest::addColumn<QString>("existing");   // a file there before, empty: none
    QTest::addColumn<bool>("overwrite");     // the answer to the overwrite question
    QTest::addColumn<QStringList>("chosen"); // typed into the file dialog, once per showing
    QTest::addColumn<QString>("written");    // empty: nothing may be written
    QTest::addColumn<QStringList>("messages");
    const QString done = QStringLiteral("数据导出成功。导出单据数量：2。");
    const QString ask = QStringLiteral("文件已经存在，是否覆盖？");
    QTest::newRow("typed without extension")
        << true << QString() << true << QStringList{"bills"} << "bills.txt" << QStringList{done};
    QTest::newRow("existing file overwritten")
        << true << "OLD.TXT" << true << QStringList{"OLD.TXT"} << "OLD.TXT" << QStringList{ask, done};
    QTest::newRow("existing file kept, another chosen")
        << true << "old.txt" << false << QStringList{"old.txt", "new.txt"} << "new.txt"
        << QStringList{ask, done};
    QTest::newRow("hidden file refused") << true << ".old.txt" << true << QStringList{".old.txt"} << QString()
                                         << QStringList{"文件是隐藏文件，不能导出业务单据。"};
    QTest::newRow("nothing ticked") << false << QString() << true << QStringList() << QString()
                                    << QStringList{"请至少选择一条您要导出的单据。"};
}

void TstBillIoWin::exportWindow()
{
    QFETCH(bool, tick);
    QFETCH(QString, existing);
    QFETCH(bool, overwrite);
    QFETCH(QStringList, chosen);
    QFETCH(QString, written);
    QFETCH(QStringList, messages);
    SeedBills(FSet->Db());
    const QDir dir(FSet->Dir());
    if (!existing.isEmpty())
        WriteAll(dir.filePath(existing), "old");
    auto form = ExportWindow();
    QCOMPARE(form->MainGrid->rowCount(), 2);
    if (tick)
        form->chkSelect->click();
    for (const QString &name : chosen)
        ChooseFile(dir.filePath(name));
    FSet->Messages().Answers.enqueue(overwrite);
    form->btnExport->click();
    QCOMPARE(FSet->Messages().Texts(), messages);
    if (!existing.isEmpty() && written != existing)
        QCOMPARE(ReadAll(dir.filePath(existing)), QByteArray("old"));
    if (written.isEmpty())
        return;
    QCOMPARE(ReadAll(dir.filePath(written)), ExportAll());
    QCOMPARE(LastEvent(FSet->Db()), QStringLiteral("业务单据导出：%1（2张单据）").arg(dir.filePath(written)));
}

void TstBillIoWin::queryConditions()
{
    SeedBills(FSet->Db());
    auto form = ExportWindow();
    TfrmExportBillDataQuery query(form.get(), form->Params);
    query.lblVchtype->ComboBox()->setCurrentText(QStringLiteral("销售单"));
    query.lbeBtype->SetRecord(
        {QStringLiteral("00001"), QStringLiteral("U1"), QStringLiteral("华东公司"), {}});
    query.cbxDraft->setChecked(true);
    query.btnOK->click();
    QCOMPARE(query.result(), int(mrOk));
    const auto at = [&form](int position) { return form->Params[position].toString(); };
    QCOMPARE((QStringList{at(3), at(7), at(8), at(9), at(12), at(24), at(25), at(128)}),
             (QStringList{"00001", "00000", "00000", "00000", "销售单", "", "F", "00000"}));
    form->LoadList();
    QCOMPARE(form->MainGrid->rowCount(), 1);
    QCOMPARE(form->MainGrid->CellText(0, QStringLiteral("number")), QStringLiteral("XS-001"));
}

void TstBillIoWin::exportKeepsToOperatorsRights()
{
    SeedBills(FSet->Db());
    SeedRestrictedOperator(FSet->Db());
    FSet->ActAs(QStringLiteral("R1"), false);
    auto form = ExportWindow();
    QCOMPARE(form->MainGrid->rowCount(), 1);
    QCOMPARE(form->MainGrid->CellText(0, QStringLiteral("nbtypeid")), QStringLiteral("华东公司"));
}

void TstBillIoWin::importWindow_data()
{
    QTest::addColumn<QString>("from"); // replaced in the exported file
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("bills");
    QTest::addColumn<QString>("message"); // empty: none
    QTest::addColumn<QString>("state");
    QTest::newRow("whole file") << QString() << QString() << 2 << QString()
                                << "数据写入完成，有2条记录引入。";
    QTest::newRow("unknown goods in the middle") << "1\tP1\t\tB01\t垫片"
                                                 << "1\tP1\t\tZ99\t垫片" << 0
                                                 << "存在非法数据不能导入。\r请双击黄色的单元格修改非法数据（"
                                                    "或者检查数据文件）。\r第4行：存货不存在：Z99 垫片"
                                                 << "正在进行数据合法性检查.....";
    QTest::newRow("not a bill file") << "Lindero17.0"
                                     << "Maravel系列17.0" << 0 << "该文件不是有效的业务单据文件。"
                                     << QString();
}

void TstBillIoWin::importWindow()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, bills);
    QFETCH(QString, message);
    QFETCH(QString, state);
    QString text = ExportedElsewhere();
    const QString file = QDir(FSet->Dir()).filePath(QStringLiteral("bills.txt"));
    if (!from.isEmpty()) {
        QVERIFY(text.contains(from));
        text.replace(from, to);
    }
    WriteAll(file, Gbk(text));
    TfrmImportBillData form;
    ChooseFile(file);
    form.btnOpen->click();
    if (state.isEmpty()) { // refused at reading
        QCOMPARE(FSet->Messages().Texts(), QStringList{message});
        QCOMPARE(form.grdMain->rowCount(), 1);
        return;
    }
    QCOMPARE(form.grdMain->rowCount(), 1 + 5);
    QCOMPARE(form.grdMain->item(1, 2)->text(), QStringLiteral("销售单"));
    form.btnImport->click();
    QCOMPARE(FSet->Messages().Texts(), message.isEmpty() ? QStringList() : QStringList{message});
    QCOMPARE(form.lblState->text(), state);
    QCOMPARE(FSet->Db().value(QStringLiteral("SELECT count(*) FROM DlyNdx")).toInt(), bills);
    QCOMPARE(FSet->Db().value(QStringLiteral("SELECT count(*) FROM DlyNdx WHERE Draft = 1")).toInt(), 0);
    if (bills > 0)
        return;
    // The bad goods cell is yellow; a double click picks valid goods into the raw row, and the file
    // then imports.
    const QTableWidgetItem *goods = form.grdExam->item(3, 8);
    QCOMPARE(goods->text(), QStringLiteral("Z99"));
    QCOMPARE(goods->background().color(), QColor(Qt::yellow));
    QCOMPARE(goods->toolTip(), QStringLiteral("Z99:不存在"));
    QCOMPARE(form.grdExam->item(3, 15)->text(), QStringLiteral("存在非法数据"));
    QCOMPARE(form.grdExam->item(2, 15)->text(), QStringLiteral("通过检查"));
    HostBaseSelect select([this] { return &FSet->Db(); });
    Udllbaseselect::BaseSelect = &select;
    QTimer::singleShot(0, [] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        auto *grid = dialog->findChild<QTableWidget *>(QStringLiteral("grdBase"));
        const QList<QTableWidgetItem *> found = grid->findItems(QStringLiteral("B01"), Qt::MatchExactly);
        QCOMPARE(found.size(), 1);
        grid->setCurrentItem(found.first());
        dialog->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
    });
    emit form.grdExam->cellDoubleClicked(3, 8);
    Udllbaseselect::BaseSelect = nullptr;
    QCOMPARE(form.grdMain->item(3, 3)->text(), QStringLiteral("B01"));
    FSet->Messages().Clear();
    form.btnImport->click();
    QCOMPARE(FSet->Messages().Texts(), QStringList());
    QCOMPARE(form.lblState->text(), QStringLiteral("数据写入完成，有2条记录引入。"));
}

void TstBillIoWin::importRefusesClosingWhileBusy()
{
    const QString text = ExportedElsewhere();
    const QString file = QDir(FSet->Dir()).filePath(QStringLiteral("bills.txt"));
    WriteAll(file, Gbk(text));
    TfrmImportBillData form;
    form.show();
    ChooseFile(file);
    form.btnOpen->click();
    QList<bool> closed;
    connect(form.ProgressBar1, &QProgressBar::valueChanged, &form, [&] { closed << form.close(); });
    form.btnImport->click();
    QVERIFY(!closed.isEmpty());
    QCOMPARE(closed.count(true), 0);
    QVERIFY(!form.Busy());
    QVERIFY(form.close());
}

void TstBillIoWin::taxExport_data()
{
    QTest::addColumn<double>("firstRate");
    QTest::addColumn<bool>("goOn");
    QTest::addColumn<int>("written");
    QTest::addColumn<QStringList>("messages"); // after the confirmation; {f} is the file
    const QString refused = QStringLiteral("存货的税率不合法，只能是0.17、0.13、0.06、0.04或0.03。");
    const QString ask = QStringLiteral("单据：B-1导出错误，错误原因如前所示。按确定将继续，取消将退出。");
    QTest::newRow("both written") << 17.0 << true << 2 << QStringList{"成功导出2张单据，文件名称：{f}"};
    QTest::newRow("refused rate, continue")
        << 16.0 << true << 1 << QStringList{refused, ask, "成功导出1张单据，文件名称：{f}"};
    QTest::newRow("refused rate, cancel")
        << 16.0 << false << 0 << QStringList{refused, ask, "未能成功导出一张单据，请检查数据。"};
}

void TstBillIoWin::taxExport()
{
    QFETCH(double, firstRate);
    QFETCH(bool, goOn);
    QFETCH(int, written);
    QFETCH(QStringList, messages);
    FSet->Db().execBatch(
        QStringLiteral("UPDATE btype SET TAXNUMBER = '91310000', TELANDADDRESS = '上海市 021-1234', "
                       "BANKANDACOUNT = '工行 6222'"));
    for (const char *number : {"B-1", "B-2"})
        Post(FSet->Db(), 11, 20, QString::fromLatin1(number), QString(),
             QStringLiteral("<Record PtypeID=\"%1\" Qty=\"2\" Price=\"3.5\"/>").arg(kGoodsA));
    FSet->Db().exec(QStringLiteral("UPDATE DlySale SET Tax = 17"));
    FSet->Db().exec(
        QStringLiteral("UPDATE DlySale SET Tax = ? WHERE Vchcode IN (SELECT Vchcode FROM DlyNdx WHERE "
                       "Number = 'B-1')"),
        {firstRate});
    TfrmExportToJS form;
    form.OutputFolder = FSet->Dir();
    form.Params[17] = QStringLiteral("1900-01-01");
    form.Params[18] = QStringLiteral("9999-12-31");
    form.LoadList();
    QCOMPARE(form.MainGrid->rowCount(), 2);
    // 打印 prints the listed bills.
    QCOMPARE(form.GetGridPrintData(form.MainGrid).Rows.size(), 2);
    form.chkSelect->click();
    FSet->Messages().Answers << true << goOn;
    form.btnExport->click();
    const QStringList texts = FSet->Messages().Texts();
    QCOMPARE(texts.value(0), QStringLiteral("确认要导出选中的单据吗？"));
    QCOMPARE(texts.mid(1), messages.replaceInStrings(QStringLiteral("{f}"), form.WrittenFile));
    const QString file = FromGbk(ReadAll(form.WrittenFile));
    QVERIFY(file.startsWith(QStringLiteral("SJJK0101~~销售单据传入\r\n")));
    QCOMPARE(int(file.count(QStringLiteral("//单据:"))), written);
}

QTEST_MAIN(TstBillIoWin)
#include "tst_billiowin.moc"
