#include "HostConfig.h"

#include "Kvbasicfun.h"

#include <QDir>
#include <QSettings>

namespace HostConfig {
namespace {
QString ConfigFile()
{
    return QDir(Kvbasicfun::GetSystemPath()).filePath(QStringLiteral("CONFIG.INI"));
}
} // namespace

void ApplyTo(TDllParams &params)
{
    QSettings ini(ConfigFile(), QSettings::IniFormat);
    ini.beginGroup(QStringLiteral("HOST"));
    params.PubVersion2 = ini.value(QStringLiteral("Edition"), 6680).toInt();
    params.IsCMSQ = ini.value(QStringLiteral("IsCMSQ"), false).toBool();
    params.IsQuery = ini.value(QStringLiteral("IsQuery"), false).toBool();
    params.IsNetCS = ini.value(QStringLiteral("IsNetCS"), false).toBool();
    params.IsGM = ini.value(QStringLiteral("IsGM"), false).toBool();
    params.IsGL = ini.value(QStringLiteral("IsGL"), false).toBool();
    params.LogLongTimeQuery = ini.value(QStringLiteral("LogLongTimeQuery"), false).toBool();
    params.PubVersion3 = ini.value(QStringLiteral("ProductLine")).toString();
    params.PUBLIC_APPNAME = ini.value(QStringLiteral("AppName"), QStringLiteral("Orvane")).toString();
    ini.endGroup();
    params.PubVersion = QStringLiteral("V17.0");
    params.PubVersionNo = params.PubMainVersionNo = params.PublicVersionNo = QStringLiteral("17.0");
}

QString TokenKeyFile()
{
    QSettings ini(ConfigFile(), QSettings::IniFormat);
    return ini.value(QStringLiteral("HOST/TokenKeyFile")).toString().trimmed();
}
} // namespace HostConfig
