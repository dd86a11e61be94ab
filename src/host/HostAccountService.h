#pragma once
// The host's account-set services (IAccountIntf) over the open account set:
// - BackUpDataBase: a consistent copy taken while the set stays open (VACUUM INTO a fresh file beside
//   the others; on a server the dump of pg_dump in its custom format), checked (integrity; a server's
//   dump by its listing), then linked under its final name (never over an existing one) and listed in
//   the catalogue BackUp.INI (ZTNAME, DATABASENAME, DATE, BACKUPNAME);
// - RestoreDataBase: refuses what is not an account set this program can open, copies the backup
//   beside the open file, checks and opens the copy, then swaps it in with one rename while nobody
//   else holds the set; the open connection is closed and opened again around the swap. On a server:
//   pg_restore into a new database, opened as an account set, then swapped in by renaming databases
//   while no other connection is open;
// - CheckBackUp: an automatic backup is due once "AutoBackupDate" days have passed since the last
//   backup (system value "LastBackupDate", written by every successful backup);
// - DeleteBackup: removes the file and its catalogue sections;
// - ExecSqlFile: runs a script file statement by statement inside the caller's transaction (its own
//   when none is open), stopping at the first error, which is logged with its line number and the
//   literal values masked; the script cannot attach files or set the file's identity or durability.
//
// The backup files, the catalogue, the log and the restore copies are readable by the owner only; the
// temporary files of a killed backup or restore are removed by the next one.
//
// The backup folder is the host's system folder followed by "/BackUp"; the catalogue lies in it.

#include <QList>
#include <QString>
#include <functional>
#include <memory>

#include "QuillInterfaces.h"

namespace accountdb {
class AccountDatabase;
}

// How the service reaches the open account set and has it closed and opened again around a restore.
struct TAccountSetAccess
{
    std::function<accountdb::AccountDatabase &()> Database;
    std::function<void()> Close;         // releases the connection; the file stays
    std::function<void()> Reopen;        // opens the file at the same path again; throws accountdb::DbError
    std::function<QString()> OperatorId; // who works, for the job lock and the event log
};

// One statement of an SQL script and the line (from 1) it starts on.
struct TScriptStatement
{
    QString Text;
    int Line = 0;
};

class HostAccountService final : public IAccountIntf
{
public:
    // Results besides 0 (success) and -1 (backup: the name exists; restore: no such file). A failed
    // backup returns FailedBit | code; the module shows the low 16 bits.
    static constexpr int FailedBit = int(0x80000000u);
    static constexpr int ErrDiskFull = 112;       // the disk ran out of space
    static constexpr int ErrBadName = 123;        // a name that is no plain file name
    static constexpr int ErrAborted = 3013;       // the database refused the copy (open transaction, ...)
    static constexpr int ErrInUse = 3101;         // another connection holds the account set
    static constexpr int ErrNewerVersion = 3169;  // written by a newer version of the program
    static constexpr int ErrCorrupt = 3183;       // truncated, or fails the integrity check
    static constexpr int ErrCannotOpen = 3201;    // a file that cannot be read, written or renamed
    static constexpr int ErrNotAccountSet = 3241; // not an account-set file

    static inline const QString BackupExtension = QStringLiteral(".bak");
    static inline const QString LastBackupKey = QStringLiteral("LastBackupDate");

    explicit HostAccountService(TAccountSetAccess access);
    // Access to an account set held by a unique pointer (orvane-admin): Close resets it, Reopen opens
    // the same file again.
    static TAccountSetAccess HeldBy(std::unique_ptr<accountdb::AccountDatabase> &db,
                                    const QString &operatorId = QString());

    // The system folder followed by "/BackUp".
    static QString DefaultBackupFolder();
    QString BackupFolder() const { return FBackupFolder; }
    void SetBackupFolder(const QString &folder) { FBackupFolder = folder; }
    QString CatalogueFile() const;
    // The backup file of a name, or empty when the name is no plain file name.
    QString BackupFilePath(const QString &backupName) const;
    // The text of the last failure (empty after a success); also written to the log.
    QString LastError() const { return FLastError; }

    // backupName: the backup's name (file name without extension); ztName: the account-set name
    // recorded in the catalogue.
    int BackUpDataBase(const QString &backupName, const QString &ztName) override;
    // fileName: a backup name of the catalogue, a file in the backup folder or a path. errorText
    // receives the reason of a failure (empty after a success).
    int RestoreDataBase(const QString &fileName, QString &errorText) override;
    int RestoreDataBase(const QString &fileName); // the reason stays in LastError()
    bool CheckBackUp() override;
    bool DeleteBackup(const QString &backupName) override;
    bool ExecSqlFile(const QString &fileName) override;

    // Splits a script into statements: ";" outside quotes, brackets and comments, trigger bodies kept
    // whole, and lines holding only GO (any case) ending a batch.
    static QList<TScriptStatement> SplitScript(const QString &script);

private:
    int Fail(int code, const QString &text); // records and logs the text, returns the code
    bool Refuse(const QString &text);        // the same, for the Boolean operations
    void Log(const QString &text) const;
    // Removes the temporary files of backups and restores whose process was killed.
    void CleanLeftovers();
    QString ResolveRestoreFile(const QString &fileName) const;
    int CheckAccountSetFile(const QString &path);
    int VerifyCopy(const QString &path);
    int VerifyDump(const QString &path); // a dump of the server's tools that holds an account set
    int RestoreOnServer(const QString &source);
    int SwapIn(const QString &copy);
    int RestoreCopy(const QString &fileName); // RestoreDataBase under the job lock
    QString Operator() const;
    void WriteCatalogue(const QString &backupName, const QString &ztName);
    void RecordBackupTime();
    bool RunScript(const QString &fileName, const QList<TScriptStatement> &statements);

    TAccountSetAccess FAccess;
    QString FBackupFolder;
    QString FLastError;
};
