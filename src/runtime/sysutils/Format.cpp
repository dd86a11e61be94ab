// Format and the lenient number readers StrToIntDef / StrToFloatDef.

#include "Format.h"

#include "FormatDigits.h"
#include "Kvbasicfun.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <string>

using FormatDigits::WithMinDigits;

namespace {
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

} // namespace

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
                text = FormatDigits::ScientificText(dv, std::clamp(prec < 0 ? 15 : prec, 1, 18), 3, true);
            } else if (type == 'g') {
                text = FormatDigits::GeneralText(dv, std::clamp(prec <= 0 ? 15 : prec, 1, 18));
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
