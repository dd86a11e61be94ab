#pragma once
// Tolerant number parsing and period/date texts used by every window.

#include <QDate>
#include <QString>

namespace uTransformFunc {
// Skips leading blanks and reads the digits that follow; 0 for blank text or when no digit follows.
int StrToIntLoose(const QString &text);
// The integer value, 0 when the text is not an integer.
int StrToIntOrZero(const QString &text);
// Reads the longest number prefix (optional "-", digits with at most one ".", an exponent) and rounds it
// with the display format ("0.0000" by default). Never raises: bad text gives 0.
double StrToFloatLoose(const QString &text, const QString &format = QStringLiteral("0.0000"));
double StrToFloatLoose2(const QString &text);     // rounds to 2 decimals
double StrToFloatLoosePrice(const QString &text); // rounds to the default price decimals
// The value formatted with the format and converted back.
double RoundFloatText(double value, const QString &format);
// Text of the value after rounding through "0.0000".
QString FloatToRoundedStr(double value);
// "200401" -> "2004年01月"; other texts unchanged; "0年00月" -> "".
QString FormatPeriodText(const QString &text);
// Prefix + "yyyy/mm/dd@hh/mm/ss" + "-" + the first two digits of the milliseconds.
QString MakeTimeStamp(const QString &prefix, const QDateTime &now = QDateTime::currentDateTime());
// "yyyy-mm-dd" (two-digit years by the 50-year window); the default when parsing fails.
QDate StrToDateOrDefault(const QString &text, const QDate &defaultDate);
} // namespace uTransformFunc
