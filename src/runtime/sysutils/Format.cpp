#include "Format.h"

#include "Kvbasicfun.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace {
// ---------------------------------------------------------------------------------------------
// Decimal digits of a double

// The shortest round-trip digits of a non-negative finite value: value = 0.<digits> * 10^exponent.
// Zero has no digits.
struct TDecimalDigits
{
    std::string digits;
    int exponent = 0;
};

TDecimalDigits ShortestDigits(double value)
{
    TDecimalDigits d;
    if (value == 0.0 || !std::isfinite(value))
        return d;
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::scientific);
    const std::string text(buf, res.ptr);
    const auto e = text.find('e');
    for (std::size_t i = 0; i < e; ++i)
        if (text[i] != '.')
            d.digits += text[i];
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    d.exponent = std::stoi(text.substr(e + 1)) + 1;
    return d;
}

// Keeps "keep" significant digits, rounding half away from zero; pads with zeros to that length.
void RoundSignificant(TDecimalDigits &d, int keep)
{
    keep = std::max(1, keep);
    if (d.digits.empty()) {
        d.digits.assign(keep, '0');
        return;
    }
    if (static_cast<int>(d.digits.size()) > keep) {
        const bool up = d.digits[keep] >= '5';
        d.digits.resize(keep);
        if (up) {
            int i = keep - 1;
            for (; i >= 0 && d.digits[i] == '9'; --i)
                d.digits[i] = '0';
            if (i >= 0) {
                ++d.digits[i];
            } else {
                d.digits.insert(d.digits.begin(), '1');
                d.digits.resize(keep);
                ++d.exponent;
            }
        }
    }
    d.digits.append(keep - d.digits.size(), '0');
}

QString GroupThousands(const QString &intDigits)
{
    QString out;
    const int n = intDigits.size();
    for (int i = 0; i < n; ++i) {
        out += intDigits.at(i);
        const int rest = n - 1 - i;
        if (rest > 0 && rest % 3 == 0)
            out += QLatin1Char(',');
    }
    return out;
}

QString ExponentText(int exponent, bool alwaysSign, int minDigits)
{
    QString digits = QString::number(std::abs(exponent));
    while (digits.size() < minDigits)
        digits.prepend(QLatin1Char('0'));
    if (exponent < 0)
        return QLatin1Char('-') + digits;
    return alwaysSign ? QLatin1Char('+') + digits : digits;
}

// "d.ddddE+ddd" with "significant" digits in all.
QString ScientificText(double value, int significant, int minExpDigits, bool alwaysSign)
{
    TDecimalDigits d = ShortestDigits(std::fabs(value));
    const bool zero = d.digits.empty();
    RoundSignificant(d, significant);
    QString out = value < 0 && !zero ? QStringLiteral("-") : QString();
    out += QLatin1Char(d.digits[0]);
    if (significant > 1)
        out += QLatin1Char('.') + QString::fromLatin1(d.digits.substr(1));
    return out + QLatin1Char('E') + ExponentText(zero ? 0 : d.exponent - 1, alwaysSign, minExpDigits);
}

// Shortest of fixed and scientific with "precision" significant digits, trailing zeros removed.
QString GeneralText(double value, int precision)
{
    if (value == 0.0)
        return QStringLiteral("0");
    TDecimalDigits d = ShortestDigits(std::fabs(value));
    RoundSignificant(d, precision);
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    const QString digits = QString::fromLatin1(d.digits);
    QString out = value < 0 ? QStringLiteral("-") : QString();
    if (d.exponent <= precision && std::fabs(value) >= 0.00001) {
        if (d.exponent <= 0)
            out += QStringLiteral("0.") + QString(-d.exponent, QLatin1Char('0')) + digits;
        else if (d.exponent >= digits.size())
            out += digits + QString(d.exponent - digits.size(), QLatin1Char('0'));
        else
            out += digits.left(d.exponent) + QLatin1Char('.') + digits.mid(d.exponent);
        return out;
    }
    out += digits.at(0);
    if (digits.size() > 1)
        out += QLatin1Char('.') + digits.mid(1);
    return out + QLatin1Char('E') + ExponentText(d.exponent - 1, false, 0);
}

// Fixed decimals with thousands separators.
QString NumberText(double value, int decimals)
{
    const QString fixed = Kvbasicfun::FloatToStringBit(value, decimals);
    const bool negative = fixed.startsWith(QLatin1Char('-'));
    const QString body = negative ? fixed.mid(1) : fixed;
    const int dot = body.indexOf(QLatin1Char('.'));
    const QString intPart = dot < 0 ? body : body.left(dot);
    return (negative ? QStringLiteral("-") : QString()) + GroupThousands(intPart) +
           (dot < 0 ? QString() : body.mid(dot));
}

// ---------------------------------------------------------------------------------------------
// Format

[[noreturn]] void ThrowInvalid(const QString &fmt)
{
    throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(fmt));
}

bool IsIntegerType(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool IsFloatType(int typeId)
{
    return typeId == QMetaType::Double || typeId == QMetaType::Float;
}

bool IsTextType(int typeId)
{
    return typeId == QMetaType::QString || typeId == QMetaType::QByteArray || typeId == QMetaType::QChar;
}

// An integer text: optional sign, then decimal digits or hexadecimal after "$" or "0x".
struct TIntegerText
{
    quint64 Magnitude = 0;
    bool Negative = false;
    bool Hex = false;
};

bool ParseIntegerText(QStringView text, TIntegerText &r)
{
    text = text.trimmed();
    if (!text.isEmpty() && (text.front() == QLatin1Char('-') || text.front() == QLatin1Char('+'))) {
        r.Negative = text.front() == QLatin1Char('-');
        text = text.mid(1);
    }
    if (text.startsWith(QLatin1Char('$'))) {
        r.Hex = true;
        text = text.mid(1);
    } else if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        r.Hex = true;
        text = text.mid(2);
    }
    if (text.isEmpty())
        return false;
    const quint64 base = r.Hex ? 16 : 10;
    for (QChar c : text) {
        const char16_t u = QChar::toLower(c.unicode());
        quint64 digit = 16;
        if (u >= '0' && u <= '9')
            digit = u - '0';
        else if (r.Hex && u >= 'a' && u <= 'f')
            digit = u - 'a' + 10;
        if (digit >= base)
            return false;
        if (r.Magnitude > (std::numeric_limits<quint64>::max() - digit) / base)
            return false;
        r.Magnitude = r.Magnitude * base + digit;
    }
    return true;
}

// A 64-bit integer; hexadecimal text is a bit pattern ("$FFFFFFFFFFFFFFFF" is -1).
bool ParseInt64(QStringView text, qint64 &out)
{
    TIntegerText r;
    if (!ParseIntegerText(text, r))
        return false;
    if (r.Hex) {
        out = qint64(r.Magnitude);
    } else {
        const quint64 limit = r.Negative ? quint64(1) << 63 : quint64(std::numeric_limits<qint64>::max());
        if (r.Magnitude > limit)
            return false;
        out = qint64(r.Magnitude);
    }
    if (r.Negative)
        out = qint64(0 - quint64(out));
    return true;
}

// Decimal number text: [+-] digits [. digits] [e [+-] digits], at least one mantissa digit.
bool ParseDouble(QStringView text, double &out)
{
    text = text.trimmed();
    const QByteArray latin = text.toLatin1();
    const char *p = latin.constData();
    const char *end = p + latin.size();
    const char *start = p;
    if (p < end && (*p == '+' || *p == '-'))
        ++p;
    const char *numberStart = p;
    int mantissaDigits = 0;
    while (p < end && *p >= '0' && *p <= '9')
        ++p, ++mantissaDigits;
    if (p < end && *p == '.') {
        ++p;
        while (p < end && *p >= '0' && *p <= '9')
            ++p, ++mantissaDigits;
    }
    if (mantissaDigits == 0)
        return false;
    if (p < end && (*p == 'e' || *p == 'E')) {
        ++p;
        if (p < end && (*p == '+' || *p == '-'))
            ++p;
        int expDigits = 0;
        while (p < end && *p >= '0' && *p <= '9')
            ++p, ++expDigits;
        if (expDigits == 0)
            return false;
    }
    if (p != end)
        return false;
    double value = 0.0;
    const auto res = std::from_chars(numberStart, end, value);
    if (res.ptr != end)
        return false;
    if (res.ec == std::errc::result_out_of_range) {
        // Too small to hold is 0; too large is not a number.
        const char *e = std::find_if(numberStart, end, [](char ch) { return ch == 'e' || ch == 'E'; });
        if (e == end || e[1] != '-')
            return false;
        value = 0.0;
    } else if (res.ec != std::errc() || !std::isfinite(value)) {
        return false;
    }
    out = *start == '-' ? -value : value;
    return true;
}

bool ArgToInt64(const QVariant &v, qint64 &out)
{
    const int type = v.typeId();
    if (IsIntegerType(type) || type == QMetaType::Bool) { // a flag prints as 0 or 1
        out = type == QMetaType::ULongLong ? qint64(v.toULongLong()) : v.toLongLong();
        return true;
    }
    if (IsFloatType(type)) {
        const double d = v.toDouble();
        if (!std::isfinite(d) || d != std::trunc(d) || std::fabs(d) > 9.2e18)
            return false;
        out = qint64(d);
        return true;
    }
    if (IsTextType(type))
        return ParseInt64(v.toString(), out);
    return false;
}

bool ArgToDouble(const QVariant &v, double &out)
{
    const int type = v.typeId();
    if (IsIntegerType(type) || IsFloatType(type)) {
        out = v.toDouble();
        return true;
    }
    if (IsTextType(type))
        return ParseDouble(v.toString(), out);
    return false;
}

bool ArgToString(const QVariant &v, QString &out)
{
    const int type = v.typeId();
    if (!v.isValid() || IsTextType(type) || IsIntegerType(type)) {
        out = v.toString();
        return true;
    }
    if (IsFloatType(type)) {
        out = Kvbasicfun::DoubleToString(v.toDouble());
        return true;
    }
    return false;
}

// An integer as unsigned: negative 32-bit values wrap to 32 bits, others to 64 bits.
quint64 AsUnsigned(qint64 v)
{
    if (v < 0 && v >= std::numeric_limits<qint32>::min())
        return quint64(quint32(qint32(v)));
    return quint64(v);
}

QString WithMinDigits(const QString &digits, int minDigits)
{
    return digits.size() >= minDigits ? digits
                                      : QString(minDigits - digits.size(), QLatin1Char('0')) + digits;
}

// ---------------------------------------------------------------------------------------------
// FormatDateTime

struct TDateNames
{
    const char16_t *ShortDay[7];
    const char16_t *LongDay[7];
    const char16_t *ShortMonth[12];
    const char16_t *LongMonth[12];
    const char16_t *AmText;
    const char16_t *PmText;
};

// Day names start at Sunday.
constexpr TDateNames DateNames = {
    {u"周日", u"周一", u"周二", u"周三", u"周四", u"周五", u"周六"},
    {u"星期日", u"星期一", u"星期二", u"星期三", u"星期四", u"星期五", u"星期六"},
    {u"1月", u"2月", u"3月", u"4月", u"5月", u"6月", u"7月", u"8月", u"9月", u"10月", u"11月", u"12月"},
    {u"一月", u"二月", u"三月", u"四月", u"五月", u"六月", u"七月", u"八月", u"九月", u"十月", u"十一月",
     u"十二月"},
    u"上午",
    u"下午",
};

const QString ShortDateFormat = QStringLiteral("yyyy-mm-dd");
const QString LongDateFormat = QStringLiteral("yyyy'年'm'月'd'日'");
const QString ShortTimeFormat = QStringLiteral("hh:nn");
const QString LongTimeFormat = QStringLiteral("hh:nn:ss");

bool IsQuote(QChar c)
{
    return c == QLatin1Char('\'') || c == QLatin1Char('"');
}

// Length of the am/pm token at "pos" ("am/pm", "a/p", "ampm"), 0 when there is none.
int AmPmTokenLength(QStringView fmt, int pos)
{
    const QStringView rest = fmt.mid(pos);
    if (rest.startsWith(QLatin1String("am/pm"), Qt::CaseInsensitive))
        return 5;
    if (rest.startsWith(QLatin1String("a/p"), Qt::CaseInsensitive))
        return 3;
    if (rest.startsWith(QLatin1String("ampm"), Qt::CaseInsensitive))
        return 4;
    return 0;
}

bool HasAmPmToken(QStringView fmt)
{
    for (int i = 0; i < fmt.size(); ++i) {
        if (IsQuote(fmt[i])) {
            const int close = fmt.indexOf(fmt[i], i + 1);
            if (close < 0)
                return false;
            i = close;
        } else if (AmPmTokenLength(fmt, i) > 0) {
            return true;
        }
    }
    return false;
}

void AppendDateTime(QString &out, QStringView fmt, const QDate &date, const QTime &time)
{
    const bool twelveHour = HasAmPmToken(fmt);
    const auto two = [](int v) { return QStringLiteral("%1").arg(v, 2, 10, QLatin1Char('0')); };
    const int n = fmt.size();
    bool afterHour = false; // an "m" run after an hour token is minutes
    int i = 0;
    while (i < n) {
        const QChar c = fmt[i];
        const char16_t upper = c.unicode() < 128 ? QChar::toUpper(c.unicode()) : 0;
        // Length of the run of this letter, any case.
        const auto runLength = [&] {
            int j = i;
            while (j < n && fmt[j].unicode() < 128 && QChar::toUpper(fmt[j].unicode()) == upper)
                ++j;
            return j - i;
        };
        if (IsQuote(c)) {
            int close = fmt.indexOf(c, i + 1);
            if (close < 0)
                close = n;
            out += fmt.mid(i + 1, close - i - 1);
            i = close + 1;
            continue;
        }
        int count = 1;
        bool token = true;
        switch (upper) {
        case 'Y':
            count = runLength();
            out += count <= 2 ? two(date.year() % 100) : WithMinDigits(QString::number(date.year()), 4);
            break;
        case 'M':
            count = runLength();
            if (afterHour) {
                out += count == 1 ? QString::number(time.minute()) : two(time.minute());
            } else if (count == 1) {
                out += QString::number(date.month());
            } else if (count == 2) {
                out += two(date.month());
            } else {
                const auto &names = count == 3 ? DateNames.ShortMonth : DateNames.LongMonth;
                out += QString::fromUtf16(names[date.month() - 1]);
            }
            break;
        case 'D':
            count = runLength();
            if (count <= 2)
                out += count == 1 ? QString::number(date.day()) : two(date.day());
            else if (count <= 4)
                out += QString::fromUtf16(
                    (count == 3 ? DateNames.ShortDay : DateNames.LongDay)[date.dayOfWeek() % 7]);
            else
                AppendDateTime(out, count == 5 ? ShortDateFormat : LongDateFormat, date, time);
            break;
        case 'H': {
            count = runLength();
            int hour = time.hour();
            if (twelveHour) {
                hour %= 12;
                if (hour == 0)
                    hour = 12;
            }
            out += count == 1 ? QString::number(hour) : two(hour);
            break;
        }
        case 'N':
            count = runLength();
            out += count == 1 ? QString::number(time.minute()) : two(time.minute());
            break;
        case 'S':
            count = runLength();
            out += count == 1 ? QString::number(time.second()) : two(time.second());
            break;
        case 'Z':
            count = runLength();
            out += count == 1 ? QString::number(time.msec()) : WithMinDigits(QString::number(time.msec()), 3);
            break;
        case 'T':
            count = runLength();
            AppendDateTime(out, count == 1 ? ShortTimeFormat : LongTimeFormat, date, time);
            break;
        case 'C':
            count = runLength();
            AppendDateTime(out, ShortDateFormat, date, time);
            if (time != QTime(0, 0)) {
                out += QLatin1Char(' ');
                AppendDateTime(out, LongTimeFormat, date, time);
            }
            break;
        case 'A': {
            count = AmPmTokenLength(fmt, i);
            const bool pm = time.hour() >= 12;
            if (count == 5) // the letters of the pattern, so "AM/PM" gives "PM" and "am/pm" gives "pm"
                out += pm ? fmt.mid(i + 3, 2) : fmt.mid(i, 2);
            else if (count == 3)
                out += pm ? fmt.mid(i + 2, 1) : fmt.mid(i, 1);
            else if (count == 4)
                out += QString::fromUtf16(pm ? DateNames.PmText : DateNames.AmText);
            else
                token = false;
            count = std::max(count, 1);
            break;
        }
        case '/':
            out += QLatin1Char('-');
            token = false;
            break;
        default:
            token = false;
            break;
        }
        if (!token && upper != '/')
            out += c;
        if (token)
            afterHour = upper == 'H';
        i += count;
    }
}

// ---------------------------------------------------------------------------------------------
// FormatFloat

QStringList SplitSections(const QString &fmt)
{
    QStringList sections;
    QString current;
    QChar quote;
    for (QChar c : fmt) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (IsQuote(c)) {
            quote = c;
        } else if (c == QLatin1Char(';')) {
            sections.append(current);
            current.clear();
            continue;
        }
        current += c;
    }
    sections.append(current);
    return sections;
}

// What a section asks for: placeholders before and after the decimal point, separators, exponent.
struct TSectionScan
{
    int IntPlaces = 0; // "0" and "#" before the point
    int MinInt = 0;    // placeholders from the first "0" up to the point
    int DecPlaces = 0; // placeholders after the point
    int MinDec = 0;    // placeholders after the point up to the last "0"
    bool Thousands = false;
    bool Scientific = false;
    bool ExpAlwaysSign = false;
    int ExpDigits = 0;
};

// Index just past the exponent marker ("E+" / "e-") at i, or -1.
int ExponentMarkerEnd(const QString &s, int i)
{
    if ((s[i] == QLatin1Char('E') || s[i] == QLatin1Char('e')) && i + 1 < s.size() &&
        (s[i + 1] == QLatin1Char('+') || s[i + 1] == QLatin1Char('-')))
        return i + 2;
    return -1;
}

TSectionScan ScanSection(const QString &s)
{
    TSectionScan scan;
    bool point = false;
    int firstZero = -1;
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (IsQuote(c)) {
            const int close = s.indexOf(c, i + 1);
            i = close < 0 ? s.size() : close;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (!point) {
                if (c == QLatin1Char('0') && firstZero < 0)
                    firstZero = scan.IntPlaces;
                ++scan.IntPlaces;
            } else {
                ++scan.DecPlaces;
                if (c == QLatin1Char('0'))
                    scan.MinDec = scan.DecPlaces;
            }
        } else if (c == QLatin1Char('.') && !point) {
            point = true;
        } else if (c == QLatin1Char(',') && !point) {
            scan.Thousands = true;
        } else if (const int end = ExponentMarkerEnd(s, i); end > 0) {
            scan.Scientific = true;
            scan.ExpAlwaysSign = s[i + 1] == QLatin1Char('+');
            int j = end;
            while (j < s.size() && s[j] == QLatin1Char('0') && scan.ExpDigits < 4)
                ++j, ++scan.ExpDigits;
            break; // what follows the exponent is copied
        }
    }
    scan.MinInt = firstZero < 0 ? 0 : scan.IntPlaces - firstZero;
    return scan;
}

// The digits a section prints for a non-negative value.
struct TSectionDigits
{
    QString IntDigits; // without grouping; may be empty ("#" of 0)
    QString DecDigits; // trailing optional zeros removed
    int Exponent = 0;
    bool Zero = true; // every printed digit is 0
};

QString StripOptionalZeros(QString dec, int minDec)
{
    while (dec.size() > minDec && dec.endsWith(QLatin1Char('0')))
        dec.chop(1);
    return dec;
}

TSectionDigits SectionDigits(const TSectionScan &scan, double magnitude)
{
    TSectionDigits r;
    if (scan.Scientific) {
        const int intCount = std::max(1, scan.IntPlaces);
        TDecimalDigits d = ShortestDigits(magnitude);
        const bool zero = d.digits.empty();
        RoundSignificant(d, intCount + scan.DecPlaces);
        const QString digits = QString::fromLatin1(d.digits);
        r.IntDigits = zero ? QString(scan.MinInt, QLatin1Char('0')) : digits.left(intCount);
        r.DecDigits = StripOptionalZeros(digits.mid(intCount), scan.MinDec);
        r.Exponent = zero ? 0 : d.exponent - intCount;
        r.Zero = zero;
        return r;
    }
    const QString fixed = Kvbasicfun::FloatToStringBit(magnitude, scan.DecPlaces);
    const int dot = fixed.indexOf(QLatin1Char('.'));
    QString intPart = dot < 0 ? fixed : fixed.left(dot);
    const QString decPart = dot < 0 ? QString() : fixed.mid(dot + 1);
    r.Zero = (intPart + decPart).count(QLatin1Char('0')) == (intPart + decPart).size();
    if (intPart == QLatin1String("0"))
        intPart.clear();
    r.IntDigits = WithMinDigits(intPart, scan.MinInt);
    r.DecDigits = StripOptionalZeros(decPart, scan.MinDec);
    return r;
}

// Walks the section again and puts the digits where its placeholders stand.
QString ApplySection(const QString &s, const TSectionScan &scan, const TSectionDigits &digits)
{
    QString out;
    const int intLen = digits.IntDigits.size();
    const int extra = intLen - scan.IntPlaces; // leading digits beyond the placeholders
    bool point = false;
    bool intWritten = false;
    int intSeen = 0, decSeen = 0;
    const auto writeIntDigit = [&](int index) {
        out += digits.IntDigits.at(index);
        const int rest = intLen - 1 - index;
        if (scan.Thousands && rest > 0 && rest % 3 == 0)
            out += QLatin1Char(',');
    };
    // Integer digits still owed when the integer part has no placeholders at all.
    const auto flushInt = [&] {
        if (!intWritten && scan.IntPlaces == 0)
            for (int k = 0; k < intLen; ++k)
                writeIntDigit(k);
        intWritten = true;
    };
    for (int i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (IsQuote(c)) {
            int close = s.indexOf(c, i + 1);
            if (close < 0)
                close = s.size();
            out += s.mid(i + 1, close - i - 1);
            i = close;
        } else if ((c == QLatin1Char('0') || c == QLatin1Char('#')) && !point) {
            if (intSeen == 0)
                for (int k = 0; k < extra; ++k)
                    writeIntDigit(k);
            const int index = intSeen + extra;
            if (index >= 0)
                writeIntDigit(index);
            ++intSeen;
            intWritten = true;
        } else if (c == QLatin1Char('0') || c == QLatin1Char('#')) {
            if (decSeen < digits.DecDigits.size())
                out += digits.DecDigits.at(decSeen);
            ++decSeen;
        } else if (c == QLatin1Char('.') && !point) {
            flushInt();
            point = true;
            if (!digits.DecDigits.isEmpty())
                out += QLatin1Char('.');
        } else if (c == QLatin1Char(',')) {
            // grouping is done with the digits
        } else if (const int end = ExponentMarkerEnd(s, i); end > 0 && scan.Scientific) {
            flushInt();
            out += c;
            out += ExponentText(digits.Exponent, scan.ExpAlwaysSign, scan.ExpDigits);
            i = end - 1 + scan.ExpDigits;
            out += s.mid(i + 1); // the rest is copied as it stands
            return out;
        } else {
            out += c;
        }
    }
    flushInt();
    return out;
}

QString FormatSection(const QString &section, double magnitude, bool &zero)
{
    const TSectionScan scan = ScanSection(section);
    const TSectionDigits digits = SectionDigits(scan, magnitude);
    zero = digits.Zero;
    return ApplySection(section, scan, digits);
}
} // namespace

// -------------------------------------------------------------------------------------------------

QString Format(const QString &fmt, const QVariantList &args)
{
    QString out;
    int argIndex = 0;
    const int n = fmt.size();
    int i = 0;
    const auto nextArg = [&]() -> const QVariant & {
        if (argIndex < 0 || argIndex >= args.size())
            throw EConvertError(QStringLiteral("No argument for format '%1'").arg(fmt));
        return args.at(argIndex++);
    };
    // A number of the specifier, or "*" taking it from the arguments.
    const auto readNumber = [&](int &value) {
        if (i < n && fmt[i] == QLatin1Char('*')) {
            ++i;
            qint64 v = 0;
            if (!ArgToInt64(nextArg(), v))
                ThrowInvalid(fmt);
            value = int(std::clamp<qint64>(v, -100000, 100000));
            return true;
        }
        if (i >= n || !fmt[i].isDigit() || fmt[i].unicode() > '9')
            return false;
        value = 0;
        while (i < n && fmt[i] >= QLatin1Char('0') && fmt[i] <= QLatin1Char('9')) {
            value = std::min(value * 10 + (fmt[i].unicode() - '0'), 100000);
            ++i;
        }
        return true;
    };
    while (i < n) {
        if (fmt[i] != QLatin1Char('%')) {
            out += fmt[i++];
            continue;
        }
        ++i;
        if (i < n && fmt[i] == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        int number = 0;
        bool hasNumber = readNumber(number);
        if (hasNumber && i < n && fmt[i] == QLatin1Char(':')) {
            argIndex = number;
            ++i;
            hasNumber = false;
        }
        bool left = false;
        if (i < n && fmt[i] == QLatin1Char('-')) {
            left = true;
            ++i;
        }
        if (!hasNumber)
            hasNumber = readNumber(number);
        int width = hasNumber ? number : 0;
        if (width < 0) {
            left = true;
            width = -width;
        }
        int prec = -1;
        if (i < n && fmt[i] == QLatin1Char('.')) {
            ++i;
            if (!readNumber(prec))
                prec = 0;
            prec = std::max(prec, 0);
        }
        if (i >= n)
            ThrowInvalid(fmt);
        const char16_t type = fmt[i].unicode() < 128 ? QChar::toLower(fmt[i].unicode()) : 0;
        ++i;
        QString text;
        qint64 iv = 0;
        double dv = 0.0;
        switch (type) {
        case 'd':
        case 'u':
        case 'x': {
            if (!ArgToInt64(nextArg(), iv))
                ThrowInvalid(fmt);
            const int minDigits = std::max(prec, 0);
            if (type == 'd') {
                const quint64 mag = iv < 0 ? 0 - quint64(iv) : quint64(iv);
                text = (iv < 0 ? QStringLiteral("-") : QString()) +
                       WithMinDigits(QString::number(mag), minDigits);
            } else {
                text = WithMinDigits(QString::number(AsUnsigned(iv), type == 'x' ? 16 : 10).toUpper(),
                                     minDigits);
            }
            break;
        }
        case 's': {
            if (!ArgToString(nextArg(), text))
                ThrowInvalid(fmt);
            if (prec >= 0 && text.size() > prec)
                text.truncate(prec);
            break;
        }
        case 'f':
        case 'e':
        case 'g':
        case 'n':
        case 'm':
            if (!ArgToDouble(nextArg(), dv))
                ThrowInvalid(fmt);
            if (!std::isfinite(dv)) {
                text = std::isnan(dv) ? QStringLiteral("NAN")
                       : dv > 0       ? QStringLiteral("INF")
                                      : QStringLiteral("-INF");
            } else if (type == 'f') {
                text = Kvbasicfun::FloatToStringBit(dv, std::min(prec < 0 ? 2 : prec, 18));
            } else if (type == 'e') {
                text = ScientificText(dv, std::clamp(prec < 0 ? 15 : prec, 1, 18), 3, true);
            } else if (type == 'g') {
                text = GeneralText(dv, std::clamp(prec <= 0 ? 15 : prec, 1, 18));
            } else {
                text = NumberText(dv, std::min(prec < 0 ? 2 : prec, 18));
            }
            break;
        default:
            ThrowInvalid(fmt);
        }
        if (text.size() < width)
            text = left ? text.leftJustified(width) : text.rightJustified(width);
        out += text;
    }
    return out;
}

QString FormatDateTime(const QString &fmt, const QDateTime &dt)
{
    // An invalid date or time reads as the zero date, 1899-12-30 00:00.
    const QDate date = dt.date().isValid() ? dt.date() : QDate(1899, 12, 30);
    const QTime time = dt.time().isValid() ? dt.time() : QTime(0, 0);
    QString out;
    AppendDateTime(out, fmt, date, time);
    return out;
}

QString FormatFloat(const QString &fmt, double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    const QStringList sections = SplitSections(fmt);
    const auto sectionAt = [&](int k) { return k < sections.size() ? sections.at(k) : QString(); };
    int used = 0;
    if (value < 0 && !sectionAt(1).isEmpty())
        used = 1;
    else if (value == 0 && !sectionAt(2).isEmpty())
        used = 2;
    if (sectionAt(used).isEmpty())
        return Kvbasicfun::DoubleToString(value);
    bool zero = false;
    QString text = FormatSection(sectionAt(used), std::fabs(value), zero);
    if (zero && used == 0 && value != 0 && !sectionAt(2).isEmpty())
        return FormatSection(sectionAt(2), 0.0, zero); // rounds to nothing: the zero section speaks
    if (used == 0 && value < 0 && !zero)
        text.prepend(QLatin1Char('-'));
    return text;
}

int StrToIntDef(const QString &s, int def)
{
    TIntegerText r;
    if (!ParseIntegerText(s, r))
        return def;
    qint64 v = 0;
    if (r.Hex) {
        // Hexadecimal text is a 32-bit pattern: $FFFFFFFF is -1.
        if (r.Magnitude > 0xFFFFFFFFull)
            return def;
        v = qint32(quint32(r.Magnitude));
    } else {
        if (r.Magnitude > quint64(std::numeric_limits<int>::max()) + 1)
            return def;
        v = qint64(r.Magnitude);
    }
    if (r.Negative)
        v = -v;
    if (v < std::numeric_limits<int>::min() || v > std::numeric_limits<int>::max())
        return def;
    return int(v);
}

double StrToFloatDef(const QString &s, double def)
{
    double v = 0.0;
    return ParseDouble(s, v) ? v : def;
}
