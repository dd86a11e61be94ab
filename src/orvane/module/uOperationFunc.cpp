#include "uOperationFunc.h"

#include "Kvbasicfun.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QUrl>

namespace uOperationFunc {
namespace {
// The configuration file keeps its historical name; on a case-sensitive file system the
// spelling that exists is taken.
QString ConfigFile(const QString &preferred)
{
    const QDir dir(Kvbasicfun::GetSystemPath());
    for (const QString &name : {preferred, QStringLiteral("CONFIG.INI"), QStringLiteral("Config.Ini")})
        if (QFileInfo::exists(dir.filePath(name)))
            return dir.filePath(name);
    return dir.filePath(preferred);
}
} // namespace

QString ReadServerConfig(const QString &ident, const QString &defaultValue)
{
    QSettings ini(ConfigFile(QStringLiteral("CONFIG.INI")), QSettings::IniFormat);
    return ini.value(QStringLiteral("SERVER/") + ident, defaultValue).toString();
}

void WriteConfigIni(const QString &section, const QString &ident, const QString &value)
{
    QSettings ini(ConfigFile(QStringLiteral("Config.Ini")), QSettings::IniFormat);
    ini.setValue(section + QLatin1Char('/') + ident, value);
}

QString HelpTopicPath(const QString &topic)
{
    const QString name = topic.isEmpty() ? QStringLiteral("welcome") : topic;
    return QDir(Kvbasicfun::GetSystemPath())
        .filePath(QStringLiteral("help/") + name + QStringLiteral(".htm"));
}

void OpenHelpTopic(const QString &topic)
{
    ShowHelpUrl(HelpTopicPath(topic));
}

bool ShowHelpUrl(const QString &path)
{
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}
} // namespace uOperationFunc
