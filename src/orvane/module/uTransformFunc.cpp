#include "uTransformFunc.h"

#include "Format.h"
#include "uBasalMethod.h"

#include <QRegularExpression>

namespace uTransformFunc {

int StrToIntLoose(const QString &text)
{
    int i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    qint64 value = 0;
    bool any = false;
    while (i < text.size() && text.at(i).isDigit() && text.at(i).unicode() < 128) {
        value = value * 10 + (text.at(i).unicode() - '0');
        if (value > std::numeric_limits<int>::max())
            return 0;
        any = true;
        ++i;
    }
    return any ? static_cast<int>(value) : 0;
}

int StrToIntOrZero(const QString &text)
{
    return StrToIntDef(text, 0);
}

double StrToFloatLoose(const QString &text, const QString &format)
{
    if (uBasalMethod::IsBlankStr(text))
        return 0.0;
    int i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    const int start = i;
    if (i < text.size() && text.at(i) == QLatin1Char('-'))
        ++i;
    bool dot = false, digits = false;
    for (; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits = true;
        else if (c == QLatin1Char('.') && !dot)
            dot = true;
        else
            break;
    }
    // An exponent counts only when digits follow the letter (and its optional sign).
    if (i < text.size() && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        int j = i + 1;
        if (j < text.size() && (text.at(j) == QLatin1Char('+') || text.at(j) == QLatin1Char('-')))
            ++j;
        int k = j;
        while (k < text.size() && text.at(k) >= QLatin1Char('0') && text.at(k) <= QLatin1Char('9'))
            ++k;
        if (k > j && digits)
            i = k;
    }
    if (!digits)
        return 0.0;
    bool ok = false;
    const double value = text.mid(start, i - start).toDouble(&ok);
    return ok ? RoundFloatText(value, format) : 0.0;
}

double StrToFloatLoose2(const QString &text)
{
    return StrToFloatLoose(text, QStringLiteral("0.00"));
}

double StrToFloatLoosePrice(const QString &text)
{
    return StrToFloatLoose(text, uBasalMethod::GetPriceFormat());
}

double RoundFloatText(double value, const QString &format)
{
    return StrToFloatDef(FormatFloat(format, value), 0.0);
}

QString FloatToRoundedStr(double value)
{
    return FormatFloat(QString(), RoundFloatText(value, QStringLiteral("0.0000")));
}

QString FormatPeriodText(const QString &text)
{
    if (text == QStringLiteral("0年00月"))
        return QString();
    static const QRegularExpression yyyymm(QStringLiteral("^\\d{6}$"));
    if (!yyyymm.match(text).hasMatch())
        return text;
    const int year = text.left(4).toInt();
    const int month = text.mid(4, 2).toInt();
    if (year < 1900 || year > 9999 || month < 1 || month > 12)
        return text;
    return QString::number(year) + QStringLiteral("年") + Format(QStringLiteral("%0.2d"), {month}) +
           QStringLiteral("月");
}

QString MakeTimeStamp(const QString &prefix, const QDateTime &now)
{
    return Format(QStringLiteral("%s%s-%s"),
                  {prefix, FormatDateTime(QStringLiteral("yyyy/mm/dd@hh/mm/ss"), now),
                   FormatDateTime(QStringLiteral("zzz"), now).left(2)});
}

QDate StrToDateOrDefault(const QString &text, const QDate &defaultDate)
{
    static const QRegularExpression shortDate(QStringLiteral("^(\\d{1,4})-(\\d{1,2})-(\\d{1,2})$"));
    const auto m = shortDate.match(text.trimmed());
    if (!m.hasMatch())
        return defaultDate;
    int year = m.captured(1).toInt();
    if (m.captured(1).size() <= 2) {
        // Two-digit years fall in the century window that ends 50 years after this year.
        const int now = QDate::currentDate().year();
        const int windowStart = now - 50;
        year += (windowStart / 100) * 100;
        if (year < windowStart)
            year += 100;
    }
    const QDate date(year, m.captured(2).toInt(), m.captured(3).toInt());
    return date.isValid() ? date : defaultDate;
}
} // namespace uTransformFunc
