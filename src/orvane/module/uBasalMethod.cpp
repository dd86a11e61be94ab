#include "uBasalMethod.h"

#include "Udllsystemintf.h"

#include <cmath>

namespace uBasalMethod {
QString PriceFormatFor(int decimals)
{
    if (decimals >= 5 && decimals <= 8)
        return QStringLiteral("0.") + QString(decimals, QLatin1Char('0'));
    return QStringLiteral("0.000000");
}

QString GetPriceFormat()
{
    return PriceFormatFor(Udllsystemintf::GetPubDefaultDecimal());
}

bool SameValue(double a, double b, double epsilon)
{
    return std::fabs(a - b) <= epsilon;
}
bool FloatLess(double a, double b)
{
    return a < b && !SameValue(a, b, 1e-9);
}
bool FloatGreaterOrEqual(double a, double b)
{
    return a > b || SameValue(a, b, 1e-9);
}

bool IsBlankStr(const QString &text)
{
    for (const QChar c : text)
        if (c != QLatin1Char(' '))
            return false;
    return true;
}
} // namespace uBasalMethod
