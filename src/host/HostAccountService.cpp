#include "HostAccountService.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStandardPaths>
#include <QStringDecoder>
#include <QTemporaryFile>
#include <QTextStream>
#include <QUrl>
#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "AccountDatabase.h"
#include "EventLog.h"
#include "JobLock.h"
#include "Kvbasicfun.h"
#include "PrivateFiles.h"
#include "ScriptGuard.h"
#include "SqlErrors.h"
#include "SqlScript.h"
#include "Transaction.h"

namespace {

std::atomic<int> g_connectionCounter{0};

const QString kDateTimeFormat = QStringLiteral("yyyy-MM-dd hh:mm:ss");
// A server account set is backed up and restored with the server's own tools.
const QString kDumpTool = QStringLiteral("pg_dump");
const QString kRestoreTool = QStringLiteral("pg_restore");

// A connection of its own on a file (checks and the exclusive hold around a swap); closed and removed
// with the object.
class TFileConnection
{
public:
    TFileConnection(const QString &path, const QString &options)
        : FName(QStringLiteral("hostaccount-%1").arg(++g_connectionCounter))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FName);
        db.setDatabaseName(path);
        db.setConnectOptions(options);
        FOpen = db.open();
        if (!FOpen)
            FError = ErrorText(db.lastError());
    }
    ~TFileConnection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(FName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(FName);
    }
    TFileConnection(const TFileConnection &) = delete;
    TFileConnection &operator=(const TFileConnection &) = delete;

    bool IsOpen() const { return FOpen; }
    QString Error() const { return FError; }
    // Every row's first column; false with Error() when the statement fails.
    bool Rows(const QString &sql, QStringList *rows = nullptr)
    {
        QSqlQuery q(QSqlDatabase::database(FName, false));
        if (!q.exec(sql)) {
            FError = ErrorText(q.lastError());
            return false;
        }
        while (q.next()) {
            if (rows)
                rows->append(q.value(0).toString());
        }
        return true;
    }
    QString Value(const QString &sql)
    {
        QStringList rows;
        return Rows(sql, &rows) && !rows.isEmpty() ? rows.first() : QString();
    }

private:
    static QString ErrorText(const QSqlError &error)
    {
        const QString reason = accountdb::sqliteFailureText(error);
        return reason.isEmpty() ? error.text() : reason;
    }

    QString FName;
    QString FError;
    bool FOpen = false;
};

// The server tool of the newest installed version (the one that matches a server of that version or
// older), or the one on the PATH.
QString ServerTool(const QString &name)
{
    QStringList versions =
        QDir(QStringLiteral("/usr/lib/postgresql")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    std::sort(versions.begin(), versions.end(),
              [](const QString &a, const QString &b) { return a.toDouble() > b.toDouble(); });
    for (const QString &v : std::as_const(versions)) {
        const QString tool = QStringLiteral("/usr/lib/postgresql/%1/bin/%2").arg(v, name);
        if (QFileInfo(tool).isExecutable())
            return tool;
    }
    return QStandardPaths::findExecutable(name);
}

struct TToolRun
{
    bool Ok = false;
    QByteArray Output;
    QString Error; // what the tool said on failure
};

// Runs a server tool. The password reaches it through the environment, never on its command line.
TToolRun RunServerTool(const QString &name, const QStringList &args)
{
    TToolRun run;
    const QString tool = ServerTool(name);
    if (tool.isEmpty()) {
        run.Error =
            QStringLiteral("没有找到数据库服务器的工具 %1，请安装 PostgreSQL 的客户端程序。").arg(name);
        return run;
    }
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!accountdb::serverPassword().isEmpty())
        env.insert(QStringLiteral("PGPASSWORD"), accountdb::serverPassword());
    env.insert(QStringLiteral("PGCONNECT_TIMEOUT"), QStringLiteral("10"));
    process.setProcessEnvironment(env);
    process.start(tool, args);
    if (!process.waitForStarted() || !process.waitForFinished(-1)) {
        run.Error = process.errorString();
        return run;
    }
    run.Output = process.readAllStandardOutput();
    run.Error = QString::fromUtf8(process.readAllStandardError()).trimmed();
    run.Ok = process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return run;
}

// The connection options of a server tool for a database of the account set's server.
QStringList ServerArgs(const accountdb::Location &server, const QString &database)
{
    QStringList args{QStringLiteral("-h"), server.host, QStringLiteral("-p"), QString::number(server.port)};
    if (!server.user.isEmpty())
        args << QStringLiteral("-U") << server.user;
    return args << QStringLiteral("-d") << database;
}

// A connection of its own to a database of the account set's server (the maintenance database for
// creating, renaming and dropping databases); closed and removed with the object.
class TServerConnection
{
public:
    TServerConnection(const accountdb::Location &server, const QString &database)
        : FName(QStringLiteral("hostaccount-%1").arg(++g_connectionCounter))
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), FName);
        db.setHostName(server.host);
        db.setPort(server.port);
        db.setUserName(server.user);
        db.setPassword(accountdb::serverPassword());
        db.setDatabaseName(database);
        db.setConnectOptions(QStringLiteral("connect_timeout=10"));
        if (!db.open())
            FError = db.lastError().text();
        else
            Exec(QStringLiteral("SET client_min_messages = warning")); // no notices on the terminal
    }
    ~TServerConnection()
    {
        {
            QSqlDatabase db = QSqlDatabase::database(FName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(FName);
    }
    TServerConnection(const TServerConnection &) = delete;
    TServerConnection &operator=(const TServerConnection &) = delete;

    bool IsOpen() const { return FError.isEmpty(); }
    QString Error() const { return FError; }
    // One statement; false with Error() when it fails. value receives the first column of the first row.
    bool Exec(const QString &sql, const QVariantList &params = {}, QVariant *value = nullptr)
    {
        QSqlQuery q(QSqlDatabase::database(FName, false));
        bool ok = params.isEmpty() ? q.exec(sql) : q.prepare(sql);
        for (int i = 0; ok && i < params.size(); ++i)
            q.bindValue(i, params[i]);
        if (ok && !params.isEmpty())
            ok = q.exec();
        if (!ok) {
            FError = q.lastError().text();
            return false;
        }
        if (value)
            *value = q.next() ? q.value(0) : QVariant();
        return true;
    }

private:
    QString FName;
    QString FError;
};

QString QuotedName(const QString &name)
{
    return u'"' + QString(name).replace(u'"', QLatin1String("\"\"")) + u'"';
}

bool SyncFile(const QString &path)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// Writes every byte or fails with errno set (a full disk shows as ENOSPC, not as a short write).
bool WriteAll(int fd, const QByteArray &bytes)
{
    const char *p = bytes.constData();
    qint64 left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, size_t(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

void RemoveJournalFiles(const QString &path)
{
    for (const QString &suffix : {QStringLiteral("-wal"), QStringLiteral("-shm"), QStringLiteral("-journal")})
        QFile::remove(path + suffix);
}

quint32 BigEndian(const QByteArray &bytes, int offset, int size)
{
    quint32 v = 0;
    for (int i = 0; i < size; ++i)
        v = v << 8 | quint8(bytes[offset + i]);
    return v;
}

QString SysValue(accountdb::AccountDatabase &db, const QString &name)
{
    accountdb::ProcParams p{{QStringLiteral("@szName"), name},
                            {QStringLiteral("@szReturn"), QString(), true}};
    db.callProc(QStringLiteral("P_GBL_GetSysValue"), p);
    return p.last().value.toString();
}

// Skips blanks and comments; the index of the first character of code.
int SkipBlanksAndComments(const QString &text, int i)
{
    const int n = int(text.size());
    while (i < n) {
        if (text[i].isSpace())
            ++i;
        else if (const int j = accountdb::sqlCommentEnd(text, i); j > i)
            i = j;
        else
            break;
    }
    return i;
}

// The first two words of a statement, upper case.
QStringList LeadingWords(const QString &text)
{
    QStringList words;
    int i = SkipBlanksAndComments(text, 0);
    const int n = int(text.size());
    while (words.size() < 2 && i < n) {
        int j = i;
        while (j < n && (text[j].isLetterOrNumber() || text[j] == u'_'))
            ++j;
        if (j == i)
            break;
        words << text.mid(i, j - i).toUpper();
        i = SkipBlanksAndComments(text, j);
    }
    return words;
}

bool IsGoLine(QStringView line)
{
    QStringView t = line.trimmed();
    if (t.endsWith(u';'))
        t.chop(1);
    return t.trimmed().compare(u"GO", Qt::CaseInsensitive) == 0;
}

} // namespace

HostAccountService::HostAccountService(TAccountSetAccess access)
    : FAccess(std::move(access)), FBackupFolder(DefaultBackupFolder())
{}

TAccountSetAccess HostAccountService::HeldBy(std::unique_ptr<accountdb::AccountDatabase> &db,
                                             const QString &operatorId)
{
    const QString path = db->path();
    return {[&db]() -> accountdb::AccountDatabase & { return *db; }, [&db] { db.reset(); },
            [&db, path] {
                db.reset();
                db = accountdb::AccountDatabase::open(path);
            },
            [operatorId] { return operatorId; }};
}

QString HostAccountService::DefaultBackupFolder()
{
    return Kvbasicfun::GetBackupPath();
}

QString HostAccountService::CatalogueFile() const
{
    return QDir(FBackupFolder).filePath(QStringLiteral("BackUp.INI"));
}

QString HostAccountService::BackupFilePath(const QString &backupName) const
{
    // A plain name only: nothing that leaves the folder or hides in it.
    if (backupName.trimmed().isEmpty() || backupName.startsWith(u'.') || backupName.contains(u'/') ||
        backupName.contains(u'\\') || backupName.contains(QChar(0)))
        return QString();
    return QDir(FBackupFolder).filePath(backupName + BackupExtension);
}

int HostAccountService::Fail(int code, const QString &text)
{
    FLastError = text;
    Log(text);
    return code;
}

bool HostAccountService::Refuse(const QString &text)
{
    Fail(0, text);
    return false;
}

// The caller shows the text; the log keeps it for the administrator, readable by the owner only.
void HostAccountService::Log(const QString &text) const
{
    if (!QDir().mkpath(FBackupFolder))
        return;
    const int fd = accountdb::openPrivateFile(
        QDir(FBackupFolder).filePath(QStringLiteral("orvane-account.log")), O_WRONLY | O_APPEND);
    QFile log;
    if (fd >= 0 && log.open(fd, QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text,
                            QFileDevice::AutoCloseHandle))
        QTextStream(&log) << QDateTime::currentDateTime().toString(kDateTimeFormat) << u' ' << text << u'\n';
    else if (fd >= 0)
        ::close(fd);
}

void HostAccountService::CleanLeftovers()
{
    accountdb::removeDeadLeftovers(FBackupFolder, {QStringLiteral(".backup-*.part")});
    const QFileInfo set(FAccess.Database().path());
    accountdb::removeDeadLeftovers(set.absolutePath(),
                                   {QStringLiteral(".") + set.fileName() + QStringLiteral(".restore-*"),
                                    set.fileName() + QStringLiteral(".replaced-*")});
}

// ---------------------------------------------------------------------------------------------------
// Backup

int HostAccountService::BackUpDataBase(const QString &backupName, const QString &ztName)
{
    FLastError.clear();
    const QString target = BackupFilePath(backupName);
    if (target.isEmpty())
        return FailedBit | Fail(ErrBadName, QStringLiteral("备份文件名不是有效的文件名：") + backupName);
    if (!QDir().mkpath(FBackupFolder))
        return FailedBit | Fail(ErrCannotOpen, QStringLiteral("无法创建备份文件夹：") + FBackupFolder);
    if (QFileInfo::exists(target) ||
        QSettings(CatalogueFile(), QSettings::IniFormat).childGroups().contains(backupName))
        return Fail(-1, QStringLiteral("备份文件名已经存在：") + backupName);

    accountdb::AccountDatabase &db = FAccess.Database();
    CleanLeftovers();
    // The copy is written under a hidden name and only linked to its own name once it is checked,
    // so a failure leaves nothing in the catalogue or the folder. (QTemporaryFile creates it 0600.)
    QTemporaryFile part(
        QDir(FBackupFolder).filePath(QStringLiteral(".backup-%1-XXXXXX.part").arg(accountdb::leftoverTag())));
    if (!part.open())
        return FailedBit |
               Fail(ErrCannotOpen, QStringLiteral("无法在备份文件夹中写文件：") + part.errorString());
    part.close(); // VACUUM INTO writes into an empty file
    if (db.isServer()) {
        // The server's own dump in its custom format, of one consistent snapshot.
        const accountdb::Location server = accountdb::parseLocation(db.path());
        const TToolRun run = RunServerTool(
            kDumpTool, QStringList{QStringLiteral("-Fc"), QStringLiteral("-f"), part.fileName()} +
                           ServerArgs(server, server.database));
        if (!run.Ok)
            return FailedBit | Fail(ErrAborted, QStringLiteral("备份失败：") + run.Error);
    } else {
        try {
            db.exec(QStringLiteral("VACUUM INTO ?"), {part.fileName()});
        } catch (const accountdb::DbError &e) {
            const QString reason = accountdb::readableFailure(e.message());
            const bool full = reason == accountdb::diskFullText();
            return FailedBit | Fail(full ? ErrDiskFull : ErrAborted, QStringLiteral("备份失败：") + reason);
        }
    }
    if (!SyncFile(part.fileName()))
        return FailedBit | Fail(ErrCannotOpen, QStringLiteral("备份文件写盘失败：") + part.fileName());
    if (const int code = db.isServer() ? VerifyDump(part.fileName()) : VerifyCopy(part.fileName()))
        return FailedBit | code;
    // link() never replaces: a name taken in the meantime stays as it is.
    if (::link(QFile::encodeName(part.fileName()).constData(), QFile::encodeName(target).constData()) != 0) {
        if (errno == EEXIST)
            return Fail(-1, QStringLiteral("备份文件名已经存在：") + backupName);
        return FailedBit | Fail(ErrCannotOpen, QStringLiteral("无法写入备份文件：") + target);
    }
    WriteCatalogue(backupName, ztName);
    if (QSettings(CatalogueFile(), QSettings::IniFormat).value(backupName + QStringLiteral("/BACKUPNAME")) !=
        backupName) {
        QFile::remove(target);
        return FailedBit | Fail(ErrCannotOpen, QStringLiteral("无法写入备份目录文件：") + CatalogueFile());
    }
    RecordBackupTime();
    accountdb::writeEvent(FAccess.Database(), Operator(), accountdb::event::Backup.arg(target));
    return 0;
}

void HostAccountService::WriteCatalogue(const QString &backupName, const QString &ztName)
{
    // QSettings rewrites the file keeping the mode of the one it replaces: it exists owner-only first.
    if (const int fd = accountdb::openPrivateFile(CatalogueFile(), O_WRONLY); fd >= 0)
        ::close(fd);
    QSettings ini(CatalogueFile(), QSettings::IniFormat);
    ini.beginGroup(backupName);
    ini.setValue(QStringLiteral("ZTNAME"), ztName);
    ini.setValue(QStringLiteral("DATABASENAME"), QFileInfo(FAccess.Database().path()).fileName());
    ini.setValue(QStringLiteral("DATE"), QDateTime::currentDateTime().toString(kDateTimeFormat));
    ini.setValue(QStringLiteral("BACKUPNAME"), backupName);
    // Which account set the backup is of, for the restore list (another account set may share the folder).
    const QString path = FAccess.Database().path();
    ini.setValue(QStringLiteral("DATABASEPATH"),
                 FAccess.Database().isServer() ? path : QFileInfo(path).absoluteFilePath());
    ini.endGroup();
    ini.sync();
}

void HostAccountService::RecordBackupTime()
{
    accountdb::ProcParams p{
        {QStringLiteral("@szName"), LastBackupKey},
        {QStringLiteral("@szValue"), QDateTime::currentDateTime().toString(kDateTimeFormat)}};
    try {
        FAccess.Database().callProc(QStringLiteral("P_GBL_SetSysValue"), p);
    } catch (const accountdb::DbError &e) {
        // The backup itself is complete; the automatic backup is merely offered again.
        Log(QStringLiteral("备份时间未能记入账套：") + e.message());
    }
}

// The copy must pass SQLite's integrity check and carry the account-set identity.
int HostAccountService::VerifyCopy(const QString &path)
{
    TFileConnection check(path, QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
    if (!check.IsOpen())
        return Fail(ErrCannotOpen, QStringLiteral("无法打开文件：") + path + u'\n' + check.Error());
    QStringList problems;
    if (!check.Rows(QStringLiteral("PRAGMA integrity_check(20)"), &problems))
        return Fail(ErrCorrupt, QStringLiteral("文件已损坏：") + path + u'\n' + check.Error());
    if (problems != QStringList{QStringLiteral("ok")})
        return Fail(ErrCorrupt, QStringLiteral("文件已损坏：") + path + u'\n' + problems.join(u'\n'));
    if (check.Value(QStringLiteral("PRAGMA application_id")).toInt() != accountdb::kApplicationId)
        return Fail(ErrNotAccountSet, QStringLiteral("文件不是账套备份：") + path);
    if (check.Value(QStringLiteral("PRAGMA user_version")).toInt() > accountdb::kSchemaVersion)
        return Fail(ErrNewerVersion, QStringLiteral("备份来自更新版本的程序，本程序不能恢复：") + path);
    return 0;
}

// A dump of the server's tools that holds an account set: its listing names the marker table.
int HostAccountService::VerifyDump(const QString &path)
{
    const TToolRun run = RunServerTool(kRestoreTool, {QStringLiteral("-l"), path});
    if (!run.Ok && !QFileInfo(path).isReadable())
        return Fail(ErrCannotOpen, QStringLiteral("无法读取备份文件：") + path);
    static const QRegularExpression marker(
        QStringLiteral("\\bTABLE\\s+\\S+\\s+%1\\b").arg(accountdb::Dialect::markerTable()),
        QRegularExpression::CaseInsensitiveOption);
    if (!run.Ok || !marker.match(QString::fromUtf8(run.Output)).hasMatch())
        return Fail(ErrNotAccountSet, QStringLiteral("文件不是账套备份：") + path);
    return 0;
}

// ---------------------------------------------------------------------------------------------------
// Restore

QString HostAccountService::ResolveRestoreFile(const QString &fileName) const
{
    if (fileName.isEmpty())
        return QString();
    QStringList candidates;
    if (fileName.contains(u'/')) {
        candidates << fileName;
    } else {
        const QDir folder(FBackupFolder);
        candidates << folder.filePath(fileName + BackupExtension) << folder.filePath(fileName);
    }
    for (const QString &c : candidates) {
        if (QFileInfo(c).isFile())
            return QFileInfo(c).absoluteFilePath();
    }
    return QString();
}

// Reads the file's header: an SQLite database with the account-set identity, of a version this
// program can open, and as long as its header says.
int HostAccountService::CheckAccountSetFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return Fail(ErrCannotOpen, QStringLiteral("无法读取备份文件：") + path);
    const QByteArray header = file.read(100);
    const qint64 size = file.size();
    if (header.size() < 100 || !header.startsWith(QByteArrayLiteral("SQLite format 3\0")) ||
        int(BigEndian(header, 68, 4)) != accountdb::kApplicationId)
        return Fail(ErrNotAccountSet, QStringLiteral("文件不是账套备份：") + path);
    const int version = int(BigEndian(header, 60, 4));
    if (version > accountdb::kSchemaVersion)
        return Fail(ErrNewerVersion,
                    QStringLiteral("备份的账套版本 %1 比本程序（版本 %2）新，请升级程序后再恢复。")
                        .arg(version)
                        .arg(accountdb::kSchemaVersion));
    qint64 pageSize = BigEndian(header, 16, 2);
    if (pageSize == 1)
        pageSize = 65536;
    const qint64 pageCount = BigEndian(header, 28, 4);
    // The page count is valid when the version-valid-for number equals the change counter.
    const bool countValid = BigEndian(header, 92, 4) == BigEndian(header, 24, 4);
    const bool badPageSize = pageSize < 512 || pageSize > 65536 || (pageSize & (pageSize - 1)) != 0;
    if (badPageSize || size % pageSize != 0 || (countValid && size < pageCount * pageSize))
        return Fail(ErrCorrupt, QStringLiteral("备份文件不完整或已损坏：") + path);
    return 0;
}

QString HostAccountService::Operator() const
{
    return FAccess.OperatorId ? FAccess.OperatorId() : QString();
}

int HostAccountService::RestoreDataBase(const QString &fileName, QString &errorText)
{
    const int code = RestoreDataBase(fileName);
    errorText = FLastError;
    return code;
}

int HostAccountService::RestoreDataBase(const QString &fileName)
{
    FLastError.clear();
    // A restore is a whole-account-set job: refused while another runs, and it keeps the others out.
    accountdb::AccountDatabase &db = FAccess.Database();
    const QString holder = db.connectionName();
    if (QString busy; !db.inTransaction() &&
                      !accountdb::takeJobLock(db, QStringLiteral("恢复"), Operator(), QString(), &busy))
        return Fail(ErrInUse, busy);
    const int code = RestoreCopy(fileName);
    // The connection that took the lock is gone: its row went with the replaced file, or stays in
    // the file that was kept.
    accountdb::JobLock::dropConnection(FAccess.Database(), holder);
    if (code == 0)
        accountdb::writeEvent(FAccess.Database(), Operator(), accountdb::event::Restore.arg(fileName));
    return code;
}

int HostAccountService::RestoreCopy(const QString &fileName)
{
    const QString source = ResolveRestoreFile(fileName.trimmed());
    if (source.isEmpty())
        return Fail(-1, QStringLiteral("备份文件不存在：") + fileName);
    accountdb::AccountDatabase &db = FAccess.Database();
    if (const int code = db.isServer() ? VerifyDump(source) : CheckAccountSetFile(source))
        return code;
    if (db.inTransaction())
        return Fail(ErrAborted, QStringLiteral("账套中有未完成的事务，不能恢复。"));
    if (db.isServer())
        return RestoreOnServer(source);
    const QFileInfo target(db.path());
    if (QFileInfo(source) == target)
        return Fail(ErrInUse, QStringLiteral("不能用正在使用的账套文件恢复它自己。"));
    CleanLeftovers();

    // The copy lies beside the account set, so the swap is one rename on the same file system. It
    // is created 0600 and takes the mode of the file it replaces before any data is written.
    QTemporaryFile copy(target.absolutePath() + QStringLiteral("/.") + target.fileName() +
                        QStringLiteral(".restore-%1-XXXXXX").arg(accountdb::leftoverTag()));
    QFile in(source);
    if (!copy.open() || !in.open(QIODevice::ReadOnly))
        return Fail(ErrCannotOpen, QStringLiteral("无法复制备份文件：") + source);
    struct stat original
    {
    };
    if (::stat(QFile::encodeName(target.absoluteFilePath()).constData(), &original) == 0)
        ::fchmod(copy.handle(), original.st_mode & 07777);
    const auto copyFailed = [this](int error) {
        return error == ENOSPC || error == EDQUOT
                   ? Fail(ErrDiskFull, QStringLiteral("复制备份文件失败：") + accountdb::diskFullText())
                   : Fail(ErrCannotOpen, QStringLiteral("复制备份文件失败：") +
                                             QString::fromLocal8Bit(std::strerror(error)));
    };
    QByteArray chunk;
    while (!(chunk = in.read(8 << 20)).isEmpty()) {
        if (!WriteAll(copy.handle(), chunk))
            return copyFailed(errno);
    }
    if (in.error() != QFileDevice::NoError)
        return Fail(ErrCannotOpen, QStringLiteral("读取备份文件失败：") + in.errorString());
    if (::fsync(copy.handle()) != 0)
        return copyFailed(errno);
    copy.close();
    if (const int code = VerifyCopy(copy.fileName()))
        return code;
    // Opening the copy as an account set proves this program can work with it and brings an older
    // version forward before anything is swapped.
    try {
        // A backup taken while a job ran carries that job's lock; it is not this account set's.
        accountdb::AccountDatabase::open(copy.fileName())->exec(QStringLiteral("DELETE FROM T_Sys_JobLock"));
    } catch (const accountdb::DbError &e) {
        RemoveJournalFiles(copy.fileName());
        return Fail(ErrCorrupt, QStringLiteral("备份不能作为账套打开：") + e.message());
    }
    RemoveJournalFiles(copy.fileName());
    return SwapIn(copy.fileName());
}

// Closes the session's connection, makes sure nobody else holds the account set, replaces the file
// with one rename and opens it again. On every failure the account set is what it was.
int HostAccountService::SwapIn(const QString &copy)
{
    const QString target = QFileInfo(FAccess.Database().path()).absoluteFilePath();
    FAccess.Close();
    int code = 0;
    QString replaced; // hard link to the replaced file until the new one has opened
    {
        // Leaving WAL mode needs an exclusive lock, which any other open connection prevents; the lock
        // is then held over the swap.
        TFileConnection hold(target, QStringLiteral("QSQLITE_BUSY_TIMEOUT=0"));
        QStringList mode;
        if (!hold.IsOpen()) {
            code = Fail(ErrCannotOpen, QStringLiteral("无法打开账套文件：") + target + u'\n' + hold.Error());
        } else if (!hold.Rows(QStringLiteral("PRAGMA locking_mode = EXCLUSIVE")) ||
                   !hold.Rows(QStringLiteral("PRAGMA journal_mode = DELETE"), &mode) ||
                   mode.value(0).compare(QLatin1String("delete"), Qt::CaseInsensitive) != 0 ||
                   !hold.Rows(QStringLiteral("BEGIN EXCLUSIVE"))) {
            code = Fail(ErrInUse, QStringLiteral("其他用户正在使用该账套，不能恢复：") + hold.Error());
        } else {
            replaced = target + QStringLiteral(".replaced-%1-%2")
                                    .arg(accountdb::leftoverTag())
                                    .arg(QDateTime::currentMSecsSinceEpoch());
            if (::link(QFile::encodeName(target).constData(), QFile::encodeName(replaced).constData()) != 0) {
                replaced.clear();
                code = Fail(ErrCannotOpen, QStringLiteral("无法替换账套文件：") + target);
            } else if (std::rename(QFile::encodeName(copy).constData(),
                                   QFile::encodeName(target).constData()) != 0) {
                QFile::remove(replaced);
                replaced.clear();
                code = Fail(ErrCannotOpen, QStringLiteral("无法替换账套文件：") + target);
            }
        }
    }
    if (!replaced.isEmpty())
        RemoveJournalFiles(target); // journals of the replaced file must never meet the new one
    try {
        FAccess.Reopen();
    } catch (const accountdb::DbError &e) {
        if (replaced.isEmpty())
            throw; // the file was not touched: the session cannot go on without it
        std::rename(QFile::encodeName(replaced).constData(), QFile::encodeName(target).constData());
        replaced.clear();
        RemoveJournalFiles(target);
        code = Fail(ErrCorrupt, QStringLiteral("恢复后的账套不能打开，已还原原账套：") + e.message());
        FAccess.Reopen();
    }
    if (!replaced.isEmpty())
        QFile::remove(replaced);
    return code;
}

// Restores the dump into a new database beside the account set's, opens that as an account set (which
// brings an older version forward), and then swaps the two by renaming them while nobody else is
// connected. On every failure the account set is what it was and the new database is dropped.
int HostAccountService::RestoreOnServer(const QString &source)
{
    accountdb::AccountDatabase &db = FAccess.Database();
    const QString inUse = QStringLiteral("其他用户正在使用该账套，不能恢复");
    const int others = db.value(QStringLiteral("SELECT count(*) FROM pg_stat_activity WHERE datname = "
                                               "current_database() AND pid <> pg_backend_pid()"))
                           .toInt();
    if (others > 0)
        return Fail(ErrInUse, inUse + QStringLiteral("（另有 %1 个连接）。").arg(others));
    const accountdb::Location server = accountdb::parseLocation(db.path());
    TServerConnection admin(server, QStringLiteral("postgres"));
    if (!admin.IsOpen())
        return Fail(ErrCannotOpen, QStringLiteral("无法连接数据库服务器：") + admin.Error());
    const auto sideName = [&server](const QString &what) {
        return server.database.left(40) + u'_' + what + u'_' +
               QString::number(QCoreApplication::applicationPid());
    };
    const QString fresh = sideName(QStringLiteral("restore"));
    const QString replaced = sideName(QStringLiteral("replaced"));
    const auto drop = [&admin](const QString &name) {
        admin.Exec(QStringLiteral("DROP DATABASE IF EXISTS ") + QuotedName(name));
    };
    const auto rename = [&admin](const QString &from, const QString &to) {
        return admin.Exec(
            QStringLiteral("ALTER DATABASE %1 RENAME TO %2").arg(QuotedName(from), QuotedName(to)));
    };
    drop(fresh); // left by a restore of this process id that was killed
    if (!admin.Exec(
            QStringLiteral("CREATE DATABASE %1 ENCODING 'UTF8' TEMPLATE template0").arg(QuotedName(fresh))))
        return Fail(ErrCannotOpen, QStringLiteral("无法在数据库服务器上建立数据库：") + admin.Error());
    const TToolRun run = RunServerTool(kRestoreTool, QStringList{QStringLiteral("--no-owner"),
                                                                 QStringLiteral("--no-privileges"),
                                                                 QStringLiteral("--exit-on-error")} +
                                                         ServerArgs(server, fresh) + QStringList{source});
    if (!run.Ok) {
        drop(fresh);
        return Fail(ErrCorrupt, QStringLiteral("备份不能恢复到数据库服务器：") + run.Error);
    }
    QUrl uri(db.path());
    uri.setPath(u'/' + fresh);
    int code = 0;
    {
        TServerConnection check(server, fresh);
        QVariant version;
        if (!check.Exec(QStringLiteral("SELECT SchemaVersion FROM ") + accountdb::Dialect::markerTable(), {},
                        &version))
            code = Fail(ErrNotAccountSet, QStringLiteral("文件不是账套备份：") + source);
        else if (version.toInt() > accountdb::kSchemaVersion)
            code = Fail(ErrNewerVersion,
                        QStringLiteral("备份的账套版本 %1 比本程序（版本 %2）新，请升级程序后再恢复。")
                            .arg(version.toInt())
                            .arg(accountdb::kSchemaVersion));
    }
    try {
        // A backup taken while a job ran carries that job's lock; it is not this account set's.
        if (code == 0)
            accountdb::AccountDatabase::open(uri.toString())
                ->exec(QStringLiteral("DELETE FROM T_Sys_JobLock"));
    } catch (const accountdb::DbError &e) {
        code = Fail(ErrCorrupt, QStringLiteral("备份不能作为账套打开：") + e.message());
    }
    if (code != 0) {
        drop(fresh);
        return code;
    }

    FAccess.Close();
    if (!rename(server.database, replaced)) {
        code = Fail(ErrInUse, inUse + QStringLiteral("：") + admin.Error());
    } else if (!rename(fresh, server.database)) {
        code = Fail(ErrCannotOpen, QStringLiteral("无法替换账套数据库：") + admin.Error());
        rename(replaced, server.database);
    }
    if (code != 0)
        drop(fresh);
    try {
        FAccess.Reopen();
    } catch (const accountdb::DbError &e) {
        if (code != 0)
            throw; // nothing was swapped: the session cannot go on without its account set
        rename(server.database, fresh);
        rename(replaced, server.database);
        drop(fresh);
        code = Fail(ErrCorrupt, QStringLiteral("恢复后的账套不能打开，已还原原账套：") + e.message());
        FAccess.Reopen();
        return code;
    }
    if (code == 0)
        drop(replaced);
    return code;
}

// ---------------------------------------------------------------------------------------------------
// Automatic backup and deleting

bool HostAccountService::CheckBackUp()
{
    accountdb::AccountDatabase &db = FAccess.Database();
    bool ok = false;
    int days = SysValue(db, QStringLiteral("AutoBackupDate")).trimmed().toInt(&ok);
    if (!ok || days < 1 || days > 100)
        days = 3;
    const QDateTime last = QDateTime::fromString(SysValue(db, LastBackupKey), kDateTimeFormat);
    if (!last.isValid())
        return true;
    return last.date().addDays(days) <= QDate::currentDate();
}

bool HostAccountService::DeleteBackup(const QString &backupName)
{
    FLastError.clear();
    const QString file = BackupFilePath(backupName);
    if (file.isEmpty())
        return Refuse(QStringLiteral("备份文件名不是有效的文件名：") + backupName);
    bool found = false;
    if (QFileInfo::exists(file)) {
        if (!QFile::remove(file))
            return Refuse(QStringLiteral("无法删除备份文件：") + file);
        found = true;
    }
    QSettings ini(CatalogueFile(), QSettings::IniFormat);
    for (const QString &group : ini.childGroups()) {
        if (ini.value(group + QStringLiteral("/BACKUPNAME")).toString() == backupName) {
            ini.remove(group);
            found = true;
        }
    }
    ini.sync();
    if (!found)
        return Refuse(QStringLiteral("备份不存在：") + backupName);
    return true;
}

// ---------------------------------------------------------------------------------------------------
// SQL scripts

QList<TScriptStatement> HostAccountService::SplitScript(const QString &script)
{
    // Batches: the text between lines that hold only GO, found outside quotes and comments.
    QList<QPair<int, int>> batches; // start, end
    const int n = int(script.size());
    int batchStart = 0;
    int i = 0;
    bool lineStart = true;
    while (i < n) {
        if (lineStart) {
            int eol = script.indexOf(u'\n', i);
            eol = eol < 0 ? n : eol;
            if (IsGoLine(QStringView(script).mid(i, eol - i))) {
                batches.append({batchStart, i});
                batchStart = i = qMin(eol + 1, n);
                continue;
            }
        }
        const QChar c = script[i];
        lineStart = false;
        if (c == u'\'' || c == u'"' || c == u'[') {
            i = accountdb::sqlQuoteEnd(script, i) + 1; // quoted text or identifier
        } else if (const int j = accountdb::sqlCommentEnd(script, i); j > i) {
            i = j;
        } else {
            lineStart = c == u'\n';
            ++i;
        }
    }
    batches.append({batchStart, n});

    QList<TScriptStatement> out;
    int line = 1;
    int counted = 0; // script[0, counted) holds line - 1 line ends
    const auto lineAt = [&](int pos) {
        line += int(QStringView(script).mid(counted, pos - counted).count(u'\n'));
        counted = pos;
        return line;
    };
    for (const auto &[start, end] : batches) {
        const QString batch = script.mid(start, end - start);
        int pos = 0;
        for (const accountdb::SqlStatement &s : accountdb::splitSqlStatements(batch)) {
            const int at = qMax(int(batch.indexOf(s.text, pos)), pos);
            pos = at + int(s.text.size());
            out.append({s.text, lineAt(start + SkipBlanksAndComments(batch, at))});
        }
    }
    return out;
}

bool HostAccountService::ExecSqlFile(const QString &fileName)
{
    FLastError.clear();
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return Refuse(QStringLiteral("无法读取脚本文件：") + fileName);
    QStringDecoder decode(QStringDecoder::Utf8);
    const QString script = decode(file.readAll());
    if (decode.hasError())
        return Refuse(QStringLiteral("脚本文件不是 UTF-8 文本：") + fileName);
    const QList<TScriptStatement> statements = SplitScript(script);

    accountdb::AccountDatabase &db = FAccess.Database();
    if (db.inTransaction())
        return RunScript(fileName, statements); // the caller commits or rolls back
    try {
        accountdb::Transaction t(db);
        if (!RunScript(fileName, statements))
            return false;
        accountdb::writeEvent(db, Operator(), accountdb::event::SqlScript.arg(fileName));
        t.commit();
    } catch (const accountdb::DbError &e) {
        return Refuse(
            QStringLiteral("脚本 %1 执行失败：%2")
                .arg(fileName, accountdb::maskSqlLiterals(accountdb::readableFailure(e.message()))));
    }
    return true;
}

// Runs the statements in order inside the open transaction; the first failure stops the run.
// Transaction control of the script itself is left to that one transaction: BEGIN and COMMIT are
// passed over, and a ROLLBACK of everything is refused.
//
// The statements run under a guard that refuses changes of the file itself (ATTACH, identity and
// durability pragmas). A failure is reported with its line and the error, literal values masked: a
// script may well hold password hashes.
bool HostAccountService::RunScript(const QString &fileName, const QList<TScriptStatement> &statements)
{
    accountdb::AccountDatabase &db = FAccess.Database();
    accountdb::ScriptGuard guard(db);
    for (const TScriptStatement &s : statements) {
        const QStringList words = LeadingWords(s.Text);
        const QString first = words.value(0);
        if (first == u"BEGIN" || first == u"COMMIT" || first == u"END")
            continue;
        const QString where = QStringLiteral("脚本 %1 第 %2 行执行失败：").arg(fileName).arg(s.Line);
        if ((first == u"ROLLBACK" && words.value(1) != u"TO") || first == u"VACUUM")
            return Refuse(where + QStringLiteral("脚本不能结束或整理整个账套的事务。"));
        if (const QString refusal = guard.vet(s.Text); !refusal.isEmpty())
            return Refuse(where + refusal);
        // A query of its own, prepared now: a statement prepared before the guard (and kept by the
        // connection) would never be shown to it.
        QSqlQuery q(db.sql());
        if (q.exec(s.Text)) {
            q.finish();
            continue;
        }
        const QString refusal = guard.takeRefusal();
        if (!refusal.isEmpty())
            return Refuse(where + refusal);
        // SQLite's error may quote a text of the statement (near "'…'"); it is masked like the statement.
        static const QRegularExpression quoted(QStringLiteral("'(?:[^']|'')*'"));
        QString reason = accountdb::sqliteFailureText(q.lastError());
        // A server's text goes on with the statement's line and a caret: only its first line is kept.
        if (reason.isEmpty())
            reason = q.lastError().databaseText().section(u'\n', 0, 0).replace(quoted, QStringLiteral("?"));
        return Refuse(where + reason + u'\n' + accountdb::maskSqlLiterals(s.Text));
    }
    return true;
}
