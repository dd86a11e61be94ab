// The backup, restore and automatic-backup windows, driven by object name.

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QSpinBox>
#include <QtTest>

#include "AccountDatabase.h"
#include "HostAccountService.h"
#include "Kvggeneralgrid.h"
#include "Udllsystemintf.h"
#include "tst_maintenance.h"
#include "uAutobackup.h"
#include "uBackUp.h"
#include "uRestore.h"

namespace {
template <typename T> T *Child(QWidget &form, const char *name)
{
    T *child = form.findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("no control %s", name);
    return child;
}

QString SysValue(accountdb::AccountDatabase &db, const QString &name)
{
    return db.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = ?"), {name})
        .toString();
}

void SetSysValue(accountdb::AccountDatabase &db, const QString &name, const QString &value)
{
    accountdb::ProcParams p{{QStringLiteral("@szName"), name}, {QStringLiteral("@szValue"), value}};
    db.callProc(QStringLiteral("P_GBL_SetSysValue"), p);
}

QStringList Backups(const QString &folder)
{
    return QDir(folder).entryList({QStringLiteral("*.bak")}, QDir::Files | QDir::Hidden, QDir::Name);
}
} // namespace

void TestMaintenance::backupWindowPreparation()
{
    accountdb::AccountDatabase &db = FAcct->Db();
    SetSysValue(db, QStringLiteral("AutoBackupDate"), QString());
    TfrmBackUp form;
    form.Prepare();
    QCOMPARE(SysValue(db, QStringLiteral("AutoBackupDate")), QStringLiteral("3"));
    QCOMPARE(Child<QLineEdit>(form, "edtDate")->text(), QStringLiteral("3"));
    QCOMPARE(Child<QSpinBox>(form, "UpDown")->value(), 3);
    QCOMPARE(Child<QSpinBox>(form, "UpDown")->minimum(), 1);
    QVERIFY(!Child<QCheckBox>(form, "chkAutoBackUp")->isChecked());
    QVERIFY(!Child<QLineEdit>(form, "edtDate")->isEnabled());
    QVERIFY(!Child<QSpinBox>(form, "UpDown")->isEnabled());
    QCOMPARE(Child<QPushButton>(form, "btnOK")->text(), QStringLiteral("备份(&B)"));
    QCOMPARE(Child<QPushButton>(form, "btnExit")->text(), QStringLiteral("退出"));
    QCOMPARE(Child<QPushButton>(form, "btnHelp")->text(), QStringLiteral("帮助"));
    QCOMPARE(Child<QCheckBox>(form, "chkAutoBackUp")->text(),
             QStringLiteral("在退出系统时进行自动备份，间隔时间 "));

    // A stored interval and the switch show as they are.
    SetSysValue(db, QStringLiteral("AutoBackupDate"), QStringLiteral("12"));
    db.exec(QStringLiteral("UPDATE T_Gbl_SysCon SET Stats = 1 WHERE ConId = 39"));
    TfrmBackUp again;
    again.Prepare();
    QCOMPARE(Child<QLineEdit>(again, "edtDate")->text(), QStringLiteral("12"));
    QVERIFY(Child<QCheckBox>(again, "chkAutoBackUp")->isChecked());
    QVERIFY(Child<QLineEdit>(again, "edtDate")->isEnabled());
}

void TestMaintenance::backupWindowSwitch()
{
    TfrmBackUp form;
    form.Prepare();
    auto *check = Child<QCheckBox>(form, "chkAutoBackUp");
    const auto stats = [this] {
        return FAcct->Db().value(QStringLiteral("SELECT Stats FROM T_Gbl_SysCon WHERE ConId = 39")).toInt();
    };
    check->click();
    QCOMPARE(stats(), 1);
    QVERIFY(FAcct->System().CheckSysCon(39));
    QVERIFY(Child<QLineEdit>(form, "edtDate")->isEnabled());
    QVERIFY(Child<QSpinBox>(form, "UpDown")->isEnabled());
    check->click();
    QCOMPARE(stats(), 0);
    QVERIFY(!FAcct->System().CheckSysCon(39));
    QVERIFY(!Child<QLineEdit>(form, "edtDate")->isEnabled());
}

void TestMaintenance::backupWindowInterval_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");
    QTest::newRow("0 falls back to the stored value") << "0"
                                                      << "7"
                                                      << "7";
    QTest::newRow("101 falls back to the stored value") << "101"
                                                        << "7"
                                                        << "7";
    QTest::newRow("four characters become 100") << "0100"
                                                << "100"
                                                << "100";
    QTest::newRow("letters fall back") << "ab"
                                       << "7"
                                       << "7";
    QTest::newRow("empty is one day") << ""
                                      << "1"
                                      << "1";
    QTest::newRow("accepted") << "30"
                              << "30"
                              << "30";
}

void TestMaintenance::backupWindowInterval()
{
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    SetSysValue(FAcct->Db(), QStringLiteral("AutoBackupDate"), QStringLiteral("7"));
    TfrmBackUp form;
    form.Prepare();
    auto *edit = Child<QLineEdit>(form, "edtDate");
    edit->setText(typed);
    emit edit->editingFinished();
    QCOMPARE(edit->text(), shown);
    QCOMPARE(Child<QSpinBox>(form, "UpDown")->value(), shown.toInt());
    QCOMPARE(SysValue(FAcct->Db(), QStringLiteral("AutoBackupDate")), stored);

    // Closing the window checks the edit the same way.
    edit->setText(typed);
    SetSysValue(FAcct->Db(), QStringLiteral("AutoBackupDate"), QStringLiteral("7"));
    Child<QPushButton>(form, "btnExit")->click();
    QCOMPARE(form.result(), int(mrCancel));
    QCOMPARE(SysValue(FAcct->Db(), QStringLiteral("AutoBackupDate")), stored);
}

void TestMaintenance::backupWindowNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("backedUp");
    QTest::newRow("64 characters") << QString(64, u'b') << "备份成功，请确定退出。" << true;
    QTest::newRow("65 characters") << QString(65, u'b') << "备份文件名不能为空，且长度不能超过64个字符。"
                                   << false;
    QTest::newRow("spaces only") << "   "
                                 << "备份文件名不能为空，且长度不能超过64个字符。" << false;
    QTest::newRow("leading digit") << "9月"
                                   << "备份文件名错误，第一位不能使用数字。" << false;
    QTest::newRow("dot") << "月.末"
                         << "备份文件名错误，请避免使用特殊字符、小数点、空格。" << false;
    QTest::newRow("space") << "月 末"
                           << "备份文件名错误，请避免使用特殊字符、小数点、空格。" << false;
    QTest::newRow("name exists") << "exists"
                                 << "备份文件名已经存在。" << false;
}

void TestMaintenance::backupWindowNames()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    QFETCH(bool, backedUp);
    QCOMPARE(FAcct->Session().Account().BackUpDataBase(QStringLiteral("exists"), QStringLiteral("a")), 0);
    TfrmBackUp form;
    form.Prepare();
    Child<QLineEdit>(form, "Edit1")->setText(name);
    Child<QPushButton>(form, "btnOK")->click();
    QCOMPARE(FAcct->Messages().Texts(), QStringList{message});
    QCOMPARE(FAcct->Messages().Messages.last().Caption, QStringLiteral("提示"));
    QCOMPARE(Backups(BackupFolder()).size(), backedUp ? 2 : 1);
    if (backedUp)
        QVERIFY(QFileInfo::exists(BackupFolder() + u'/' + name + QStringLiteral(".bak")));
    QCOMPARE(form.result(), backedUp ? int(mrOk) : 0);
}

void TestMaintenance::restoreWindowRefusesNormalToken()
{
    FAcct->System().State().NormalToken = true;
    TfrmRestore form;
    QVERIFY(!form.Prepare());
    QCOMPARE(FAcct->Messages().LastText(), QStringLiteral("您的安全钥匙是普通级别，不能进入该功能模块。"));
    QCOMPARE(form.findChild<TKvGGeneralGrid *>(QStringLiteral("MainGrid"))->rowCount(), 0);
}

void TestMaintenance::restoreWindowGridAndDelete()
{
    HostAccountService &account = FAcct->Session().Account();
    QCOMPARE(account.BackUpDataBase(QStringLiteral("甲"), QStringLiteral("账套一")), 0);
    QCOMPARE(account.BackUpDataBase(QStringLiteral("乙"), QStringLiteral("账套一")), 0);
    TfrmRestore form;
    QVERIFY(form.Prepare());
    auto *grid = Child<TKvGGeneralGrid>(form, "MainGrid");
    QStringList titles;
    for (int c = 0; c < grid->columnCount(); ++c)
        titles << grid->horizontalHeaderItem(c)->text();
    QCOMPARE(titles, (QStringList{"行号", "账套名称", "数据库名称", "备份时间", "备份文件名"}));
    QCOMPARE(grid->rowCount(), 2);
    QStringList names{grid->CellText(0, QStringLiteral("BACKUPNAME")),
                      grid->CellText(1, QStringLiteral("BACKUPNAME"))};
    names.sort();
    QCOMPARE(names, (QStringList{"乙", "甲"}));
    QCOMPARE(grid->CellText(0, QStringLiteral("RowNo")), QStringLiteral("1"));
    QCOMPARE(grid->CellText(1, QStringLiteral("ZTNAME")), QStringLiteral("账套一"));
    for (int r = 0; r < 2; ++r) // backups of the open account set are shown as they are
        QVERIFY(grid->item(r, 1)->toolTip().isEmpty());

    grid->selectRow(1);
    QCOMPARE(Child<QLineEdit>(form, "Edit1")->text(), grid->CellText(1, QStringLiteral("BACKUPNAME")));

    // Cancelled: nothing is deleted.
    const QString doomed = grid->CellText(1, QStringLiteral("BACKUPNAME"));
    FAcct->Messages().Answers.enqueue(false);
    Child<QPushButton>(form, "btnDelete")->click();
    QCOMPARE(FAcct->Messages().LastText(), QStringLiteral("删除后不能恢复，请确定是否要删除这个备份？"));
    QCOMPARE(grid->rowCount(), 2);
    FAcct->Messages().Answers.enqueue(true);
    Child<QPushButton>(form, "btnDelete")->click();
    QCOMPARE(grid->rowCount(), 1);
    QVERIFY(!QFileInfo::exists(BackupFolder() + u'/' + doomed + QStringLiteral(".bak")));
}

void TestMaintenance::restoreWindowMarksForeignBackups()
{
    QCOMPARE(FAcct->Session().Account().BackUpDataBase(QStringLiteral("ours"), QStringLiteral("账套一")), 0);
    {
        // Another account set's backup in the same folder, as its own program wrote it.
        QSettings ini(BackupFolder() + QStringLiteral("/BackUp.INI"), QSettings::IniFormat);
        ini.beginGroup(QStringLiteral("theirs"));
        ini.setValue(QStringLiteral("ZTNAME"), QStringLiteral("账套二"));
        ini.setValue(QStringLiteral("DATABASENAME"), QStringLiteral("other.orv"));
        ini.setValue(QStringLiteral("DATABASEPATH"), QStringLiteral("/srv/other/other.orv"));
        ini.setValue(QStringLiteral("BACKUPNAME"), QStringLiteral("theirs"));
    }
    TfrmRestore form;
    QVERIFY(form.Prepare());
    auto *grid = Child<TKvGGeneralGrid>(form, "MainGrid");
    QCOMPARE(grid->rowCount(), 2);
    for (int r = 0; r < 2; ++r) {
        const bool foreign = grid->CellText(r, QStringLiteral("BACKUPNAME")) == QLatin1String("theirs");
        QCOMPARE(grid->item(r, 4)->toolTip(),
                 foreign ? QStringLiteral("其他账套的备份：/srv/other/other.orv") : QString());
        QCOMPARE(grid->item(r, 4)->foreground().color() == QColor(Qt::gray), foreign);
    }
}

void TestMaintenance::restoreWindowRestores()
{
    AddData(50);
    const QString before = Dump();
    QCOMPARE(FAcct->Session().Account().BackUpDataBase(QStringLiteral("good"), QStringLiteral("a")), 0);
    FAcct->Db().exec(QStringLiteral("DELETE FROM T_Test_Keep"));

    TfrmRestore form;
    QVERIFY(form.Prepare());
    Child<QLineEdit>(form, "Edit1")->setText(QStringLiteral("good"));
    // The confirmation refused: nothing happens.
    FAcct->Messages().Answers.enqueue(false);
    Child<QPushButton>(form, "btnRestore")->click();
    QCOMPARE(FAcct->Messages().LastText(),
             QStringLiteral("恢复操作将完全覆盖当前账套的数据，请慎重。是否继续？"));
    QVERIFY(!form.Restored());
    QVERIFY(Dump() != before);

    FAcct->Messages().Clear();
    FAcct->Messages().Answers.enqueue(true);
    Child<QPushButton>(form, "btnRestore")->click();
    QCOMPARE(FAcct->Messages().Texts(), (QStringList{"恢复操作将完全覆盖当前账套的数据，请慎重。是否继续？",
                                                     "数据恢复成功，请确定退出后重新运行程序。"}));
    QCOMPARE(FAcct->Messages().Messages.last().Caption, QStringLiteral("提示"));
    QVERIFY(form.Restored());
    QCOMPARE(form.result(), int(mrOk));
    QCOMPARE(FShell.Terminated, 1); // the user starts the program again on the restored data
    QCOMPARE(Dump(), before);
}

void TestMaintenance::restoreWindowMessages_data()
{
    QTest::addColumn<QString>("entered");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("reason"); // the host's reason on the line below, if any
    QTest::newRow("nothing entered") << ""
                                     << "请选择或录入备份数据。"
                                     << "";
    QTest::newRow("missing backup") << "nosuch"
                                    << "备份文件名(nosuch)不存在。"
                                    << "";
    QTest::newRow("not an account set") << "junk"
                                        << "恢复数据时发生未知错误，错误号：3241, 请与开发商联系解决。"
                                        << "文件不是账套备份：";
}

void TestMaintenance::restoreWindowMessages()
{
    QFETCH(QString, entered);
    QFETCH(QString, message);
    QFETCH(QString, reason);
    QDir().mkpath(BackupFolder());
    QFile junk(BackupFolder() + QStringLiteral("/junk.bak"));
    QVERIFY(junk.open(QIODevice::WriteOnly));
    junk.write(QByteArray(8192, 'j'));
    junk.close();
    AddData(5);
    const QString before = Dump();
    TfrmRestore form;
    QVERIFY(form.Prepare());
    Child<QLineEdit>(form, "Edit1")->setText(entered);
    FAcct->Messages().Answers.enqueue(true);
    Child<QPushButton>(form, "btnRestore")->click();
    const QStringList lines = FAcct->Messages().LastText().split(u'\n');
    QCOMPARE(lines.first(), message);
    QCOMPARE(lines.size(), reason.isEmpty() ? 1 : 2);
    QVERIFY2(lines.last().startsWith(reason), qPrintable(lines.last()));
    QCOMPARE(FAcct->Messages().Messages.last().Caption, QStringLiteral("提示"));
    QVERIFY(!form.Restored());
    QCOMPARE(FShell.Terminated, 0);
    QCOMPARE(Dump(), before);
}

void TestMaintenance::autoBackupNothingDue()
{
    SetSysValue(FAcct->Db(), HostAccountService::LastBackupKey,
                QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    QVERIFY(uAutobackup::AutoBackup());
    QVERIFY(Backups(BackupFolder()).isEmpty());
    QVERIFY(FAcct->Messages().Messages.isEmpty());
    for (QWidget *w : QApplication::topLevelWidgets())
        QVERIFY(!qobject_cast<TFrmAutobackup *>(w));
}

void TestMaintenance::autoBackupWhenDue()
{
    QVERIFY(FAcct->Session().Account().CheckBackUp());
    QVERIFY(uAutobackup::AutoBackup());
    const QStringList files = Backups(BackupFolder());
    QCOMPARE(files.size(), 1);
    // The account-set name, the time with "-" and "@", and two digits of the milliseconds.
    const QRegularExpression name(u'^' + QRegularExpression::escape(Udllsystemintf::GetPubZtName()) +
                                  QStringLiteral("\\d{4}-\\d\\d-\\d\\d@\\d\\d-\\d\\d-\\d\\d-\\d\\d\\.bak$"));
    QVERIFY2(name.match(files.first()).hasMatch(), qPrintable(files.first()));
    QVERIFY(!FAcct->Session().Account().CheckBackUp());
    // Due again, but the backup fails (a file stands where the folder should be): the result says so.
    SetSysValue(FAcct->Db(), HostAccountService::LastBackupKey, QString());
    const QString folder = BackupFolder();
    QVERIFY(QDir(folder).removeRecursively());
    QFile blocker(folder);
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    QVERIFY(!uAutobackup::AutoBackup());
    QVERIFY(blocker.remove());
}

void TestMaintenance::autoBackupWindowTimer()
{
    TFrmAutobackup form(QStringLiteral("timer"));
    QVERIFY(!form.Timer1->isActive());
    QCOMPARE(form.Timer1->interval(), 10);
    QVERIFY(!(form.windowFlags() & Qt::WindowCloseButtonHint));
    form.show();
    QTRY_VERIFY(!form.isVisible());
    QVERIFY(form.Succeeded());
    QVERIFY(form.Bar1->value() >= 1);
    QCOMPARE(Backups(BackupFolder()).size(), 1);
}
