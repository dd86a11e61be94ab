#pragma once
// Backup, restore, automatic backup and SQL scripts: the host's account interface on a real account
// set, the windows driven by object name, and orvane-admin's backup, restore and exec-sql.

#include <QObject>
#include <QTemporaryDir>
#include <memory>

#include "HostSystemService.h"
#include "TestAccountSet.h"

// The main-window side of the host as far as these windows reach it: it records the calls. (Ending
// the application for real would stop every later modal loop of the test.)
class TRecordingShell final : public IHostShell
{
public:
    int Terminated = 0;
    int LogOns = 0;
    int StatusRefreshes = 0;
    void RefreshMainStatusBar(TRefreshSBSet) override { ++StatusRefreshes; }
    void LoadMenu(bool) override {}
    void CloseAllPage() override {}
    void CloseAllBillPage() override {}
    bool HasOpenBill() override { return false; }
    bool ShowLoginOn(bool) override { return ++LogOns > 0; }
    void RefreshWindows() override {}
    void ShowMyDesktop() override {}
    void MainFormActiveTab() override {}
    void Terminate() override { ++Terminated; }
};

class TestMaintenance : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // uSqlFileCommon
    void backupNameRules_data();
    void backupNameRules();
    void intervalRules_data();
    void intervalRules();
    void autoBackupName();
    void backupMessages_data();
    void backupMessages();
    void restoreMessages_data();
    void restoreMessages();

    // Host account interface
    void backupWritesFileAndCatalogue();
    void backupNeverOverwrites();
    void failedBackupLeavesNothing_data();
    void failedBackupLeavesNothing();
    void roundTripGivesBackTheData_data();
    void roundTripGivesBackTheData();
    void refusedRestoreChangesNothing_data();
    void refusedRestoreChangesNothing();
    void restoreRefusedWhileAnotherConnectionHoldsTheSet();
    void newFilesAreOwnerOnly();
    void killedJobLeftoversRemoved();
    void deleteBackup();
    void checkBackUpDue_data();
    void checkBackUpDue();

    // SQL scripts
    void splitScript_data();
    void splitScript();
    void execSqlFile_data();
    void execSqlFile();
    void execSqlFileMissing();
    void execSqlFileOnFullDisk();

    // Windows
    void backupWindowPreparation();
    void backupWindowSwitch();
    void backupWindowInterval_data();
    void backupWindowInterval();
    void backupWindowNames_data();
    void backupWindowNames();
    void restoreWindowRefusesNormalToken();
    void restoreWindowGridAndDelete();
    void restoreWindowMarksForeignBackups();
    void restoreWindowRestores();
    void restoreWindowMessages_data();
    void restoreWindowMessages();
    void autoBackupNothingDue();
    void autoBackupWhenDue();
    void autoBackupWindowTimer();

    // The module's entries
    void moduleEntries();

    // orvane-admin
    void adminBackupAndRestore();
    void adminRefusals_data();
    void adminRefusals();
    void adminExecSql();

private:
    // A table with text, numbers and blobs, and a system value.
    void AddData(int rows);
    // Every table of the account set as sorted text rows (schema included).
    QString Dump();
    QString BackupFolder() const;

    std::unique_ptr<QTemporaryDir> FSystemDir; // the program's system folder; backups go below it
    std::unique_ptr<TestAccountSet> FAcct;
    TRecordingShell FShell;
};
