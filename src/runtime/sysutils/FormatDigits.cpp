#include "FormatDigits.h"

#include <charconv>
#include <cmath>
#include <cstdlib>

namespace FormatDigits {

TDecimalDigits ShortestDigits(double value)
{
    TDecimalDigits d;
    value = std::fabs(value);
    if (value == 0.0 || !std::isfinite(value))
        return d;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    const char *e = buf;
    while (*e != 'e')
        ++e;
    for (const char *p = buf; p < e; ++p)
        if (*p != '.')
            d.Digits += *p;
    while (d.Digits.back() == '0')
        d.Digits.pop_back();
    int exponent = 0;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), res.ptr, exponent);
    d.Exponent = exponent + 1;
    return d;
}

void RoundDigits(TDecimalDigits &d, int keep)
{
    if (d.Digits.empty() || keep >= static_cast<int>(d.Digits.size()))
        return;
    if (keep < 0) {
        d = {};
        return;
    }
    const bool up = d.Digits[keep] >= '5';
    d.Digits.resize(keep);
    if (up) {
        while (!d.Digits.empty() && d.Digits.back() == '9')
            d.Digits.pop_back();
        if (d.Digits.empty()) {
            d.Digits = "1";
            ++d.Exponent;
        } else {
            ++d.Digits.back();
        }
    }
    while (!d.Digits.empty() && d.Digits.back() == '0')
        d.Digits.pop_back();
    if (d.Digits.empty())
        d.Exponent = 0;
}

TDecimalDigits FixedDigits(double value, int decimals)
{
    TDecimalDigits d = ShortestDigits(value);
    RoundDigits(d, d.Exponent + decimals);
    return d;
}

QString ExponentText(int exponent, bool alwaysSign, int minDigits)
{
    const QString digits = WithMinDigits(QString::number(std::abs(exponent)), minDigits);
    if (exponent < 0)
        return QLatin1Char('-') + digits;
    return alwaysSign ? QLatin1Char('+') + digits : digits;
}

QString ScientificText(double value, int significant, int minExpDigits, bool alwaysSign)
{
    TDecimalDigits d = ShortestDigits(value);
    RoundDigits(d, significant);
    const bool zero = d.Digits.empty();
    const std::string digits =
        d.Digits + std::string(static_cast<std::size_t>(significant) - d.Digits.size(), '0');
    QString out = value < 0 && !zero ? QStringLiteral("-") : QString();
    out += QLatin1Char(digits[0]);
    if (significant > 1)
        out += QLatin1Char('.') + QString::fromLatin1(digits.substr(1));
    return out + QLatin1Char('E') + ExponentText(zero ? 0 : d.Exponent - 1, alwaysSign, minExpDigits);
}

QString GeneralText(double value, int precision)
{
    TDecimalDigits d = ShortestDigits(value);
    RoundDigits(d, precision);
    if (d.Digits.empty())
        return QStringLiteral("0");
    const QString digits = QString::fromLatin1(d.Digits);
    QString out = value < 0 ? QStringLiteral("-") : QString();
    if (d.Exponent <= precision && d.Exponent >= -3) {
        if (d.Exponent <= 0)
            out += QStringLiteral("0.") + QString(-d.Exponent, QLatin1Char('0')) + digits;
        else if (d.Exponent >= digits.size())
            out += digits + QString(d.Exponent - digits.size(), QLatin1Char('0'));
        else
            out += digits.left(d.Exponent) + QLatin1Char('.') + digits.mid(d.Exponent);
        return out;
    }
    out += digits.at(0);
    if (digits.size() > 1)
        out += QLatin1Char('.') + digits.mid(1);
    return out + QLatin1Char('E') + ExponentText(d.Exponent - 1, false, 0);
}

QString WithMinDigits(const QString &digits, int minDigits)
{
    return digits.size() >= minDigits ? digits
                                      : QString(minDigits - digits.size(), QLatin1Char('0')) + digits;
}

} // namespace FormatDigits
