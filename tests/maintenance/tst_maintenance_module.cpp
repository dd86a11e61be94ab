// The built libOrvane.so, loaded the way the host loads it: the entries 备份, 恢复 and 退出 and the
// export DllAutoBackup reach this subsystem.

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "AccountDatabase.h"
#include "HostAccountService.h"
#include "ModuleLoader.h"
#include "tst_maintenance.h"

namespace {
int BackupCount(const QString &folder)
{
    return int(QDir(folder).entryList({QStringLiteral("*.bak")}, QDir::Files).size());
}

void SetLastBackup(accountdb::AccountDatabase &db, const QString &value)
{
    accountdb::ProcParams p{{QStringLiteral("@szName"), HostAccountService::LastBackupKey},
                            {QStringLiteral("@szValue"), value}};
    db.callProc(QStringLiteral("P_GBL_SetSysValue"), p);
}
} // namespace

void TestMaintenance::moduleEntries()
{
    ModuleLoader loader;
    QVERIFY2(
        loader.Load(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("libOrvane.so"))),
        qPrintable(loader.Error()));
    loader.Initialise(FAcct->Session().Params());

    // Nothing due: True, no backup, nothing shown.
    SetLastBackup(FAcct->Db(), QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")));
    QVERIFY(loader.DllAutoBackup());
    QCOMPARE(BackupCount(BackupFolder()), 0);
    QVERIFY(FAcct->Messages().Messages.isEmpty());

    // 备份 opens the backup window modally.
    QString shown;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&shown] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->isModal()) {
                shown = w->objectName() + u'|' + w->windowTitle();
                w->close();
            }
        }
    });
    closer.start(20);
    QVERIFY(loader.Call(QStringLiteral("Orvane.dll备份")));
    closer.stop();
    QCOMPARE(shown, QStringLiteral("frmBackUp|数据备份"));

    // 恢复 with a pass token of the normal level shows the refusal and no window.
    FAcct->System().State().NormalToken = true;
    QVERIFY(loader.Call(QStringLiteral("Orvane.dll恢复")));
    QCOMPARE(FAcct->Messages().LastText(), QStringLiteral("您的安全钥匙是普通级别，不能进入该功能模块。"));
    FAcct->System().State().NormalToken = false;

    // 恢复 that restores: the window closes, the program is ended, the log-on window is shown again
    // and the status bar refreshed.
    QCOMPARE(FAcct->Session().Account().BackUpDataBase(QStringLiteral("entry"), QStringLiteral("a")), 0);
    FAcct->Messages().Answers.enqueue(true);
    QTimer restorer;
    QObject::connect(&restorer, &QTimer::timeout, [&restorer] {
        for (QWidget *w : QApplication::topLevelWidgets()) {
            if (w->isVisible() && w->objectName() == u"frmRestore") {
                restorer.stop();
                w->findChild<QLineEdit *>(QStringLiteral("Edit1"))->setText(QStringLiteral("entry"));
                w->findChild<QPushButton *>(QStringLiteral("btnRestore"))->click();
            }
        }
    });
    restorer.start(20);
    QVERIFY(loader.Call(QStringLiteral("Orvane.dll恢复")));
    restorer.stop();
    QCOMPARE(FAcct->Messages().LastText(), QStringLiteral("数据恢复成功，请确定退出后重新运行程序。"));
    QCOMPARE(FShell.Terminated, 1);
    QCOMPARE(FShell.LogOns, 1);
    QCOMPARE(FShell.StatusRefreshes, 1);
    QCOMPARE(BackupCount(BackupFolder()), 1);

    // 退出 with switch 39 on and a backup due backs up on the way out; its result stays False.
    SetLastBackup(FAcct->Db(), QString());
    FAcct->Db().exec(QStringLiteral("UPDATE T_Gbl_SysCon SET Stats = 1 WHERE ConId = 39"));
    FAcct->System().ReloadSysCon();
    QVERIFY(!loader.Call(QStringLiteral("Orvane.dll退出")));
    QCOMPARE(BackupCount(BackupFolder()), 2);
    QCOMPARE(FShell.Terminated, 2);
}
