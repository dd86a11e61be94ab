#include "Kvbasicfun.h"

#include <QCoreApplication>
#include <QDir>
#include <QSettings>
#include <QStandardPaths>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <string>

namespace Kvbasicfun {
namespace {
// Rounds the shortest round-trip decimal text of "value" to "places" decimals, half away from
// zero, and returns it with exactly that many decimals (no sign when every digit is zero).
std::string RoundedText(double value, int places)
{
    places = std::max(0, places);
    if (!std::isfinite(value))
        value = 0.0;
    char buf[400];
    const auto res = std::to_chars(buf, buf + sizeof buf, std::fabs(value), std::chars_format::fixed);
    std::string digits(buf, res.ptr);
    std::string intPart = digits, frac;
    if (const auto dot = digits.find('.'); dot != std::string::npos) {
        intPart = digits.substr(0, dot);
        frac = digits.substr(dot + 1);
    }
    bool roundUp = false;
    if (static_cast<int>(frac.size()) > places) {
        roundUp = frac[places] >= '5';
        frac.resize(places);
    }
    frac.append(places - frac.size(), '0');
    std::string all = intPart + frac; // digits without the point
    if (roundUp) {
        int i = static_cast<int>(all.size()) - 1;
        for (; i >= 0; --i) {
            if (all[i] == '9') {
                all[i] = '0';
            } else {
                ++all[i];
                break;
            }
        }
        if (i < 0)
            all.insert(all.begin(), '1');
    }
    std::string out = all.substr(0, all.size() - places);
    if (out.empty())
        out.push_back('0');
    if (places > 0) {
        out.push_back('.');
        out.append(all, all.size() - places, places);
    }
    const bool zero = out.find_first_not_of("0.") == std::string::npos;
    if (value < 0 && !zero)
        out.insert(out.begin(), '-');
    return out;
}
} // namespace

double FloatToFloatBit(double value, int places)
{
    const std::string text = RoundedText(value, places);
    double result = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), result);
    return result == 0.0 ? 0.0 : result;
}

QString FloatToStringBit(double value, int places)
{
    return QString::fromStdString(RoundedText(value, places));
}

QString DoubleToString(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    if (value == 0.0)
        return QStringLiteral("0");
    char buf[400];
    const double mag = std::fabs(value);
    const auto format = (mag >= 1e-15 && mag < 1e21) ? std::chars_format::fixed : std::chars_format::general;
    const auto res = std::to_chars(buf, buf + sizeof buf, value, format);
    return QString::fromLatin1(buf, static_cast<int>(res.ptr - buf));
}

QString GetSystemPath()
{
    const QByteArray env = qgetenv("ORVANE_SYSTEM_PATH");
    if (!env.isEmpty())
        return QDir::cleanPath(QString::fromLocal8Bit(env));
    if (QCoreApplication::instance())
        return QDir::cleanPath(QCoreApplication::applicationDirPath());
    return QDir::cleanPath(QDir::currentPath());
}

QString GetBackupPath()
{
    const QString system = GetSystemPath();
    const QString configured =
        QSettings(QDir(system).filePath(QStringLiteral("CONFIG.INI")), QSettings::IniFormat)
            .value(QStringLiteral("SERVER/BackupFolder"))
            .toString()
            .trimmed();
    if (!configured.isEmpty())
        return QDir::cleanPath(QDir(system).absoluteFilePath(configured));
    if (!qEnvironmentVariableIsEmpty("ORVANE_SYSTEM_PATH"))
        return system + QStringLiteral("/BackUp");
    return QDir::cleanPath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
                           QStringLiteral("/orvane/BackUp"));
}
} // namespace Kvbasicfun
