#pragma once
// What the backup, restore and automatic-backup windows share: the backup folder and its catalogue,
// the checks of a backup name and of the interval in days, the automatic backup name and the
// messages for the results of the host's backup and restore.

#include <QDateTime>
#include <QList>
#include <QString>

namespace uSqlFileCommon {

inline const QString HelpName = QStringLiteral("文件/数据备份与恢复");
inline const QString CaptionHint = QStringLiteral("提示");
inline const QString AutoBackupDateKey = QStringLiteral("AutoBackupDate");
constexpr int AutoBackupConId = 39; // back up when the user leaves the system
constexpr int MaxNameLength = 64;

inline const QString NameEmptyOrLong = QStringLiteral("备份文件名不能为空，且长度不能超过64个字符。");
inline const QString NameLeadingDigit = QStringLiteral("备份文件名错误，第一位不能使用数字。");
inline const QString NameSpecialChar = QStringLiteral("备份文件名错误，请避免使用特殊字符、小数点、空格。");
inline const QString BackupNameExists = QStringLiteral("备份文件名已经存在。");
inline const QString WindowsAuthentication = QStringLiteral(
    "请设置数据库连接参数为<SQL SERVER身份验证>，目前系统不支持<Windows身份验证>下的账套维护。");
inline const QString BackupSucceeded = QStringLiteral("备份成功，请确定退出。");
inline const QString RestoreNothingChosen = QStringLiteral("请选择或录入备份数据。");
inline const QString RestoreConfirm = QStringLiteral("恢复操作将完全覆盖当前账套的数据，请慎重。是否继续？");
inline const QString RestoreSucceeded = QStringLiteral("数据恢复成功，请确定退出后重新运行程序。");
inline const QString DeleteConfirm = QStringLiteral("删除后不能恢复，请确定是否要删除这个备份？");
inline const QString ExclusiveAccessText = QStringLiteral("未能获得对数据库的排它访问权");

// The folder of the program followed by "/BackUp" (created when missing) and its catalogue.
QString BackupFolder();
QString CatalogueFile();

// One section of the catalogue.
struct TBackupEntry
{
    QString ZtName;
    QString DatabaseName;
    QString Date;
    QString BackupName;
    QString DatabasePath; // the account set's file, absolute; empty in catalogues of older versions
    // Whether the backup was taken of another account set than the open one (file ADatabasePath).
    bool IsForeign(const QString &ADatabasePath) const;
};
QList<TBackupEntry> ReadCatalogue();

// The checks of a backup name typed by the user, in their order; NameOk when it is accepted.
enum class TNameCheck { NameOk, EmptyOrTooLong, LeadingDigit, SpecialChar };
TNameCheck CheckBackupName(const QString &name);
QString NameCheckMessage(TNameCheck check); // empty for NameOk

// The days edit when it is left: the text it shows afterwards and whether that text is stored as
// "AutoBackupDate". stored: the value stored now.
struct TIntervalCheck
{
    QString Text;
    bool Store = false;
};
TIntervalCheck CheckIntervalText(const QString &text, const QString &stored);

// The account-set name, the time as "yyyy/mm/dd@hh/mm/ss" with the date separator, "-" and the
// first two digits of the milliseconds.
QString AutoBackupName(const QString &ztName, const QDateTime &now);

// The message for a result of BackUpDataBase (success included).
QString BackupResultMessage(int code);
bool BackupFailed(int code); // -1, -2 and the failed codes (high bit set)
// The code the restore messages go by: -2, -1 and 0 as they are, any other its low 16 bits.
int RestoreMessageCode(int code);
// The message followed by the host's reason on a line of its own; the message alone when there is no
// reason or it already holds it.
QString WithReason(const QString &message, const QString &reason);
// The message for a result of RestoreDataBase; name: the backup as entered; errorText: the host's
// error text (3604 shows it, unless it speaks of exclusive access; without one the general message;
// the general message of an unknown code is followed by it).
QString RestoreResultMessage(int code, const QString &name, const QString &errorText);

} // namespace uSqlFileCommon
