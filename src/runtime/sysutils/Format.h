#pragma once
// Text formatting of the run-time library: Format ("%d", "%s", "%0:d", ...), FormatDateTime
// ("yyyy-mm-dd hh:nn:ss"), FormatFloat ("#,##0.00") and the lenient number readers. Decimal
// separator ".", thousands separator ",", date separator "-", time separator ":".

#include <QDateTime>
#include <QString>
#include <QVariant>
#include <exception>
#include <string>

#include "quillsysutils_export.h"

// A format string that does not fit its arguments (missing argument, wrong type, bad specifier).
class QUILLSYSUTILS_EXPORT EConvertError : public std::exception
{
public:
    explicit EConvertError(const QString &message) : FMessage(message), FUtf8(message.toStdString()) {}
    const char *what() const noexcept override { return FUtf8.c_str(); }
    const QString &Message() const { return FMessage; }

private:
    QString FMessage;
    std::string FUtf8;
};

// "%[index:][-][width][.prec]type" with type d u s f e g n m x (any case); "%%" is "%"; "*" takes a
// width, precision or index from the arguments. Throws EConvertError for a missing argument or an
// argument of the wrong kind.
QUILLSYSUTILS_EXPORT QString Format(const QString &fmt, const QVariantList &args);

// Date-time tokens c d dd ddd dddd ddddd dddddd aaa aaaa m mm mmm mmmm yy yyyy h hh n nn s ss z zz zzz
// t tt am/pm a/p ampm / : (letters in any case, a run being one character repeated exactly); "m"
// after an hour is minutes; an hour followed by am/pm before the next hour uses the 12-hour clock.
// Quoted text is copied without its quotes, other characters as they are. An empty pattern is "c".
QUILLSYSUTILS_EXPORT QString FormatDateTime(const QString &fmt, const QDateTime &dt);

// Number pattern with sections "positive;negative;zero", placeholders "0" and "#", "." and "," (a ","
// anywhere groups the thousands), "E+00" scientific and quoted literals; digits appear only at
// placeholders. A value that rounds to nothing takes the zero section (else the first). An empty
// pattern gives the general format: at most 15 significant digits, exponent for small and large.
QUILLSYSUTILS_EXPORT QString FormatFloat(const QString &fmt, double value);

// Trimmed decimal integer, or hexadecimal after "$" or "0x"; def when the text is not one or is out of
// the 32-bit range.
QUILLSYSUTILS_EXPORT int StrToIntDef(const QString &s, int def);

// Trimmed decimal number with "." and an optional exponent; def when the text is not one.
QUILLSYSUTILS_EXPORT double StrToFloatDef(const QString &s, double def);
