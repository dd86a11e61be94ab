// The system event log: p_Jxc_GetEventLog, the events of the log-on, the 系统日志 window (export bytes,
// file names and existing targets, the clear and its automatic export) and its print to PDF.

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QTimer>
#include <QtTest>

#include "../forms/tst_print_support.h"

#include "AccountDatabase.h"
#include "EventLog.h"
#include "Kvggeneralgrid.h"
#include "Kvprintengine.h"
#include "Kvtable.h"
#include "TestAccountSet.h"
#include "Udlldbservice.h"
#include "uDllComm.h"
#include "uOrvaneCommon.h"
#include "uSysEventLog.h"

namespace {

void AcceptCondBox()
{
    OnNextModal([](QWidget *box) {
        QVERIFY(box && box->objectName() == QLatin1String("frmCondBox"));
        box->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
    });
}

void SaveAs(const QString &fileName)
{
    OnNextModal([fileName](QWidget *dialog) {
        auto *save = qobject_cast<TEventLogSaveDialog *>(dialog);
        QVERIFY(save);
        save->findChild<QLineEdit *>(QStringLiteral("fileNameEdit"))->setText(fileName); // typed in
        save->accept();
    });
}

QByteArray Gbk(const QString &text)
{
    return QStringEncoder("GBK").encode(text);
}

const QByteArray kTitleAndHeader =
    Gbk(QStringLiteral("系统日志导出\r\n\t\t日期\t\t\t计算机名\t操作员\t\t事件\r\r\n"));
const QByteArray kTwoRows =
    Gbk(QStringLiteral("\t1\t2024-05-02 08:00:00\tPC-1\t\t张三\t登录系统\r\r\n"
                       "\t2\t2024-05-03 17:30:05\tPC-2\t\t李四\t成本计算：全部存货\r\r\n"));

} // namespace

class TestUsers : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init();
    void cleanup();

    void readByRange_data();
    void readByRange();
    void logOnEvents_data();
    void logOnEvents();
    void exportFile_data();
    void exportFile();
    void existingTarget_data();
    void existingTarget();
    void clear_data();
    void clear();
    void cancelledConditionsClose();
    void printToPdf();

private:
    void Seed();
    QStringList Events();
    std::unique_ptr<TfrmSysEventLog> OpenWindow(const QString &begin = QStringLiteral("2024-05-01"),
                                                const QString &end = QStringLiteral("2024-05-31"));
    std::unique_ptr<TestAccountSet> FAcct;
};

void TestUsers::init()
{
    FAcct = std::make_unique<TestAccountSet>();
    uDllComm::DllParams.FparForm = nullptr;
    uDllComm::DllParams.IsQuery = false;
    QDir(uSysEventLog::AppDirectory()).removeRecursively();
}

void TestUsers::cleanup()
{
    FAcct.reset();
    QDir(uSysEventLog::AppDirectory()).removeRecursively();
}

// Two events of May 2024 and one of June.
void TestUsers::Seed()
{
    const QStringList names = {"@cMode", "@DATE", "@Custom1", "@Custom2", "@Custom3", "@szStrings"};
    for (const QVariantList &values :
         {QVariantList{"I", "2024/05/02 08:00:00", "PC-1", "z", "张三", "登录系统"},
          QVariantList{"I", "2024/05/03 17:30:05", "PC-2", "l", "李四", "成本计算：全部存货"},
          QVariantList{"I", "2024/06/01 09:00:00", "PC-1", "z", "张三", "进销存期末结账：期间1"}})
        Udlldbservice::ExecuteProcByName(QStringLiteral("p_Jxc_GetEventLog"), names, values);
}

QStringList TestUsers::Events()
{
    QStringList events;
    QSqlQuery q = FAcct->Db().exec(QStringLiteral("SELECT Event FROM T_Sys_EventLog ORDER BY EventNo"));
    while (q.next())
        events << q.value(0).toString();
    return events;
}

std::unique_ptr<TfrmSysEventLog> TestUsers::OpenWindow(const QString &begin, const QString &end)
{
    auto form = std::make_unique<TfrmSysEventLog>();
    form->Params[17] = begin;
    form->Params[18] = end;
    form->LoadData();
    return form;
}

void TestUsers::readByRange_data()
{
    QTest::addColumn<QString>("begin");
    QTest::addColumn<QString>("end");
    QTest::addColumn<int>("count");
    QTest::newRow("May") << "2024-05-01"
                         << "2024-05-31" << 2;
    QTest::newRow("one day") << "2024-05-03"
                             << "2024-05-03" << 1;
    QTest::newRow("open start") << ""
                                << "2024-05-02" << 1;
    QTest::newRow("open both") << ""
                               << "" << 3;
}

void TestUsers::readByRange()
{
    QFETCH(QString, begin);
    QFETCH(QString, end);
    QFETCH(int, count);
    Seed();
    auto form = OpenWindow(begin, end);
    QCOMPARE(form->MainGrid->rowCount(), count);
    QCOMPARE(form->MainGrid->horizontalHeaderItem(3)->text(), QStringLiteral("事件"));
    if (count == 2)
        QCOMPARE(form->MainGrid->CellText(1, QStringLiteral("Employee")), QStringLiteral("李四"));
}

void TestUsers::logOnEvents_data()
{
    QTest::addColumn<QString>("operatorId");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("event");
    QTest::newRow("log-on") << "00000"
                            << ""
                            << "登录系统";
    QTest::newRow("wrong password") << "00000"
                                    << "x"
                                    << "登录被拒绝：密码错误，登录失败。";
    QTest::newRow("unknown operator") << "99999"
                                      << ""
                                      << "登录被拒绝：操作员不存在。";
}

void TestUsers::logOnEvents()
{
    QFETCH(QString, operatorId);
    QFETCH(QString, password);
    QFETCH(QString, event);
    FAcct->Session().LogOn(operatorId, password, QDate(2024, 5, 2), nullptr);
    const auto row =
        FAcct->Db().query(QStringLiteral("SELECT HostName, OperatorId, Employee, Event FROM T_Sys_EventLog"));
    QCOMPARE(row.rows.size(), 1);
    QCOMPARE(row.rows[0][0].toString(), accountdb::computerName());
    QCOMPARE(row.rows[0][1].toString(), operatorId);
    QCOMPARE(row.rows[0][3].toString(), event);
}

void TestUsers::exportFile_data()
{
    QTest::addColumn<bool>("seeded");
    QTest::addColumn<QString>("chosen");
    QTest::addColumn<QString>("written");
    QTest::newRow("two events, .txt added") << true << "log"
                                            << "log.txt";
    QTest::newRow("no rows") << false << "empty.txt"
                             << "empty.txt";
    QTest::newRow("upper-case .TXT kept") << true << "LOG.TXT"
                                          << "LOG.TXT";
    QTest::newRow(".txt inside kept") << true << "a.txt.bak"
                                      << "a.txt.bak";
}

void TestUsers::exportFile()
{
    QFETCH(bool, seeded);
    QFETCH(QString, chosen);
    QFETCH(QString, written);
    if (seeded)
        Seed();
    auto form = OpenWindow();
    const QDir dir(FAcct->Dir());
    SaveAs(dir.filePath(chosen));
    form->btnExport->click();
    QFile file(dir.filePath(written));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), seeded ? kTitleAndHeader + kTwoRows : kTitleAndHeader);
    QCOMPARE(file.permissions() & 0x0777, QFileDevice::ReadUser | QFileDevice::WriteUser);
    QCOMPARE(FAcct->Messages().Texts(), QStringList{"导出日志成功。"});
    QCOMPARE(Events().last(), QStringLiteral("日志导出操作"));
}

void TestUsers::existingTarget_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("readOnly");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<bool>("replaced");
    QTest::newRow("hidden refused") << ".old.txt" << false
                                    << QStringList{".old.txt文件已存在，要替换它吗？",
                                                   "文件是隐藏文件，不能导出系统日志。"}
                                    << false;
    QTest::newRow("read-only overwritten")
        << "old.txt" << true << QStringList{"old.txt文件已存在，要替换它吗？", "导出日志成功。"} << true;
}

void TestUsers::existingTarget()
{
    QFETCH(QString, name);
    QFETCH(bool, readOnly);
    QFETCH(QStringList, messages);
    QFETCH(bool, replaced);
    const QString path = QDir(FAcct->Dir()).filePath(name);
    QFile old(path);
    QVERIFY(old.open(QIODevice::WriteOnly));
    old.write("old");
    old.close();
    if (readOnly)
        QVERIFY(old.setPermissions(QFileDevice::ReadOwner));
    auto form = OpenWindow();
    FAcct->Messages().BoxAnswers.enqueue(TMessageBoxButton::mbYes);
    SaveAs(path);
    form->btnExport->click();
    QCOMPARE(FAcct->Messages().Texts(), messages);
    QCOMPARE(FAcct->Messages().Messages.first().Caption, QStringLiteral("确认另存为"));
    QVERIFY(old.open(QIODevice::ReadOnly));
    QCOMPARE(old.readAll() == kTitleAndHeader, replaced);
}

void TestUsers::clear_data()
{
    QTest::addColumn<bool>("exportFails");
    QTest::newRow("cleared after its export") << false;
    QTest::newRow("export failed, log untouched") << true;
}

void TestUsers::clear()
{
    QFETCH(bool, exportFails);
    Seed();
    QDir().mkpath(uSysEventLog::AppDirectory());
    if (exportFails) { // a file where the export folder belongs
        QFile blocker(QDir(uSysEventLog::AppDirectory()).filePath(QStringLiteral("Data")));
        QVERIFY(blocker.open(QIODevice::WriteOnly));
    }
    auto form = OpenWindow();
    form->btnClear->click();
    const QStringList texts = FAcct->Messages().Texts();
    QCOMPARE(texts.first(), QStringLiteral("是否要清空系统日志？"));
    QVERIFY(!texts.contains(QStringLiteral("导出日志成功。")));
    if (exportFails) {
        QCOMPARE(Events().size(), 3);
        QVERIFY(texts.last().startsWith(QStringLiteral("不能写入文件")));
        return;
    }
    const QString file = form->ExportedFileName();
    QCOMPARE(texts.last(), QStringLiteral("日志已清空，导出文件为") + file);
    QVERIFY(QFileInfo(file).fileName().endsWith(QStringLiteral(".Txt")));
    QFile exported(file);
    QVERIFY(exported.open(QIODevice::ReadOnly));
    QCOMPARE(exported.readAll(), kTitleAndHeader + kTwoRows);
    QCOMPARE(Events(), QStringList{"清空系统日志"});
    QCOMPARE(form->MainGrid->rowCount(), 0); // the clear happened on another day than May 2024
}

void TestUsers::cancelledConditionsClose()
{
    QPointer<TfrmSysEventLog> form = new TfrmSysEventLog;
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->show();
    OnNextModal([](QWidget *box) { QVERIFY(box && box->objectName() == QLatin1String("frmCondBox")); });
    QVERIFY(!form->Open());
    QTRY_VERIFY(form.isNull());

    // The dispatch entry opens it; on OK the events are there and can be exported.
    Seed();
    FAcct->Db().exec(QStringLiteral("UPDATE T_Sys_EventLog SET EventTime = ? || ' 08:00:00'"),
                     {uOrvaneCommon::GetJxcBeginDate()}); // within the period the window starts on
    AcceptCondBox();
    QVERIFY(uSysEventLog::ShowSysEventLog());
    TfrmSysEventLog *opened = nullptr;
    for (QWidget *w : QApplication::topLevelWidgets())
        if (auto *log = qobject_cast<TfrmSysEventLog *>(w))
            opened = log;
    QVERIFY(opened);
    QCOMPARE(opened->windowTitle(), QStringLiteral("系统日志"));
    QCOMPARE(opened->FunctionNo(), 1330);
    QCOMPARE(opened->MainGrid->rowCount(), 3);
    SaveAs(QDir(FAcct->Dir()).filePath(QStringLiteral("entry")));
    opened->btnExport->click();
    QVERIFY(QFileInfo::exists(QDir(FAcct->Dir()).filePath(QStringLiteral("entry.txt"))));
    opened->close();
}

void TestUsers::printToPdf()
{
    // Events the cost calculation and the checkout write inside their procedures' transactions.
    accountdb::writeEvent(FAcct->Db(), QStringLiteral("00000"), accountdb::event::CostCalc.arg("全部存货"));
    accountdb::writeEvent(FAcct->Db(), QStringLiteral("00000"), accountdb::event::CheckOut.arg(1));
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    auto form = OpenWindow(today, today);
    const QString pdf = QDir(FAcct->Dir()).filePath(QStringLiteral("log.pdf"));
    QVERIFY(form->btnExpertPrint->WritePdf(pdf));
    const QString windowText = PdfText(pdf);

    TKvPrintEngine engine; // what orvane-admin event-log --pdf prints
    engine.SetTitle(uSysEventLog::PrintTemplate());
    engine.SetDetail(0, uSysEventLog::EventLogTable(form->cdsGetRecordSet));
    QVERIFY(engine.WritePdf(pdf));
    for (const QString &text : {windowText, PdfText(pdf)})
        for (const char *expected :
             {"系统日志", "行号", "计算机名", "成本计算：全部存货", "进销存期末结账：期间1"})
            QVERIFY2(text.contains(QString::fromUtf8(expected)), qPrintable(text));
}

QTEST_MAIN(TestUsers)
#include "tst_users.moc"
