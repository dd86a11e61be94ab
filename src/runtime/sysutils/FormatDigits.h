#pragma once
// Decimal digits of a double for the formatting routines (Format, FormatFloat): the shortest
// round-trip digits, rounding half away from zero on them (the system-wide rule), and the general
// and scientific texts built from them. Internal to QuillSysUtils.

#include <QString>
#include <string>

namespace FormatDigits {

// value = 0.<Digits> × 10^Exponent, without trailing zeros; zero has no digits (and exponent 0).
struct TDecimalDigits
{
    std::string Digits;
    int Exponent = 0;
};

// The shortest digits that read back as the same double; the sign of the value is ignored.
TDecimalDigits ShortestDigits(double value);

// Keeps the first "keep" significant digits, rounding half away from zero; a "keep" of 0 or less
// leaves a carried 1 or nothing (zero).
void RoundDigits(TDecimalDigits &d, int keep);

// The digits of |value| rounded to "decimals" places.
TDecimalDigits FixedDigits(double value, int decimals);

// An exponent with at least "minDigits" digits; "+" only with alwaysSign.
QString ExponentText(int exponent, bool alwaysSign, int minDigits);

// "d.dddE+ddd" with "significant" digits in all (the "%e" of Format).
QString ScientificText(double value, int significant, int minExpDigits, bool alwaysSign);

// At most "precision" significant digits, trailing zeros dropped; fixed notation while the decimal
// exponent lies in [-3, precision] (0.0001 stays fixed, 0.00001 is "1E-5"), otherwise "dE[-]x".
QString GeneralText(double value, int precision);

// "digits" left-padded with zeros to at least minDigits characters.
QString WithMinDigits(const QString &digits, int minDigits);

} // namespace FormatDigits
