#pragma once
// Small comparisons and formats shared by the windows.

#include <QString>

namespace uBasalMethod {
// The price display format from the host's default decimals: 5..8 -> "0.00000".."0.00000000",
// anything else -> "0.000000".
QString GetPriceFormat();
QString PriceFormatFor(int decimals);
bool FloatLess(double a, double b);           // a < b and not the same within 1e-9
bool FloatGreaterOrEqual(double a, double b); // a > b or the same within 1e-9
bool SameValue(double a, double b, double epsilon);
inline int MaxOf(int a, int b)
{
    return a > b ? a : b;
}
bool IsBlankStr(const QString &text); // empty or blanks only
inline int ToLimitDetailNo(int n)
{
    return n >= 1 && n <= 150 ? n : 0;
}
} // namespace uBasalMethod
