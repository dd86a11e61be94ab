#include "uSqlFileCommon.h"

#include <QFileInfo>

#include <QDir>
#include <QSettings>

#include "Format.h"
#include "Kvbasicfun.h"

namespace uSqlFileCommon {

namespace {
// Characters a backup name must not hold: they are special to the file system or the shell, and a
// dot or a blank would make the name look like something else.
const QString kSpecialChars = QStringLiteral(" \"*+./:<>?[\\]|");

bool IsAsciiDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}
} // namespace

QString BackupFolder()
{
    const QString folder = Kvbasicfun::GetBackupPath();
    QDir().mkpath(folder);
    return folder;
}

QString CatalogueFile()
{
    return BackupFolder() + QStringLiteral("/BackUp.INI");
}

bool TBackupEntry::IsForeign(const QString &ADatabasePath) const
{
    const QFileInfo open(ADatabasePath);
    // Without the full path (older catalogues) the file name is all there is to compare.
    return DatabasePath.isEmpty() ? DatabaseName != open.fileName()
                                  : QFileInfo(DatabasePath).absoluteFilePath() != open.absoluteFilePath();
}

QList<TBackupEntry> ReadCatalogue()
{
    QList<TBackupEntry> entries;
    QSettings ini(CatalogueFile(), QSettings::IniFormat);
    for (const QString &section : ini.childGroups()) {
        ini.beginGroup(section);
        entries.append({ini.value(QStringLiteral("ZTNAME")).toString(),
                        ini.value(QStringLiteral("DATABASENAME")).toString(),
                        ini.value(QStringLiteral("DATE")).toString(),
                        ini.value(QStringLiteral("BACKUPNAME")).toString(),
                        ini.value(QStringLiteral("DATABASEPATH")).toString()});
        ini.endGroup();
    }
    return entries;
}

TNameCheck CheckBackupName(const QString &name)
{
    if (name.trimmed().isEmpty() || name.size() > MaxNameLength)
        return TNameCheck::EmptyOrTooLong;
    if (IsAsciiDigit(name.front()))
        return TNameCheck::LeadingDigit;
    for (const QChar c : name) {
        if (kSpecialChars.contains(c))
            return TNameCheck::SpecialChar;
    }
    return TNameCheck::NameOk;
}

QString NameCheckMessage(TNameCheck check)
{
    switch (check) {
    case TNameCheck::EmptyOrTooLong:
        return NameEmptyOrLong;
    case TNameCheck::LeadingDigit:
        return NameLeadingDigit;
    case TNameCheck::SpecialChar:
        return NameSpecialChar;
    case TNameCheck::NameOk:
        break;
    }
    return QString();
}

TIntervalCheck CheckIntervalText(const QString &text, const QString &stored)
{
    QString value = text;
    if (value.isEmpty())
        value = QStringLiteral("1");
    if (value.size() > 3)
        value = QStringLiteral("100");
    for (const QChar c : value) {
        if (!IsAsciiDigit(c))
            return {stored, false};
    }
    const int days = value.toInt();
    if (days < 1 || days > 100)
        return {stored, false};
    return {value, true};
}

QString AutoBackupName(const QString &ztName, const QDateTime &now)
{
    return Format(QStringLiteral("%s%s-%s"),
                  {ztName, FormatDateTime(QStringLiteral("yyyy/mm/dd@hh/mm/ss"), now),
                   FormatDateTime(QStringLiteral("zzz"), now).left(2)});
}

bool BackupFailed(int code)
{
    return code < 0;
}

QString WithReason(const QString &message, const QString &reason)
{
    if (reason.isEmpty() || message.contains(reason))
        return message;
    return message + u'\n' + reason;
}

QString BackupResultMessage(int code)
{
    if (code == -1)
        return BackupNameExists;
    if (code == -2)
        return WindowsAuthentication;
    if (code < 0) // the failed bit is set
        return Format(QStringLiteral(
                          "备份账套时发生未知错误，错误号：%d, 请检查磁盘空间是否足够，或与开发商联系解决。"),
                      {code & 0xFFFF});
    return BackupSucceeded;
}

int RestoreMessageCode(int code)
{
    if (code == -2 || code == -1 || code == 0)
        return code;
    return code & 0xFFFF;
}

QString RestoreResultMessage(int code, const QString &name, const QString &errorText)
{
    const QString inUse = Format(QStringLiteral("其他用户正在使用该数据库，造成数据恢复失败，请确认全部用户%"
                                                "s都已退出，并且关闭\"企业管理器\"或\"查询分析器\"后重试。"),
                                 {QString(QChar(13))});
    switch (RestoreMessageCode(code)) {
    case 0:
        return RestoreSucceeded;
    case -2:
        return WindowsAuthentication;
    case -1:
        return Format(QStringLiteral("备份文件名(%s)不存在。"), {name});
    case 3101:
        return inUse;
    case 3604:
        if (errorText.contains(ExclusiveAccessText))
            return inUse;
        if (!errorText.isEmpty())
            return errorText;
        [[fallthrough]]; // without a text of its own it is an unknown error
    default:
        // The host's reason follows, so the user learns what went wrong (a damaged file, a full disk).
        return WithReason(Format(QStringLiteral("恢复数据时发生未知错误，错误号：%d, 请与开发商联系解决。"),
                                 {RestoreMessageCode(code)}),
                          errorText);
    }
}

} // namespace uSqlFileCommon
