// FormatDateTime: the pattern is read into tokens first, so that an hour token can see whether an
// am/pm token follows it and an "m" whether the letter before it was an hour.

#include "Format.h"
#include "FormatDigits.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <iterator>
#include <utility>
#include <vector>

using FormatDigits::WithMinDigits;

namespace {
struct TDateNames
{
    const char16_t *ShortDay[7];
    const char16_t *LongDay[7];
    const char16_t *ShortMonth[12];
    const char16_t *LongMonth[12];
    const char16_t *AmText;
    const char16_t *PmText;
};

// The Chinese settings; day names start at Sunday.
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

enum class TTokenKind { Text, Year, Month, Minute, Day, Hour, Second, MSec, Time, DateTime, AmPm, Weekday };

// One token of a pattern: its kind, its length (the run of one letter; for am/pm the token's
// length, 5, 3 or 4) and its pattern text (for am/pm the letters whose case the result keeps).
struct TToken
{
    TTokenKind Kind;
    int Count;
    QStringView Text;
};

// The tokens made of a run of one letter.
constexpr std::pair<char16_t, TTokenKind> RunTokens[] = {
    {u'Y', TTokenKind::Year}, {u'M', TTokenKind::Month}, {u'N', TTokenKind::Minute},
    {u'D', TTokenKind::Day},  {u'H', TTokenKind::Hour},  {u'S', TTokenKind::Second},
    {u'Z', TTokenKind::MSec}, {u'T', TTokenKind::Time},  {u'C', TTokenKind::DateTime},
};

// The token starting with "a" at the start of "rest" (any case): "am/pm", "a/p", "ampm", then the
// weekday names "aaaa" and "aaa"; otherwise the letter alone.
TToken ATokenAt(QStringView rest)
{
    static const struct
    {
        QLatin1String Text;
        TTokenKind Kind;
    } tokens[] = {{QLatin1String("am/pm"), TTokenKind::AmPm},
                  {QLatin1String("a/p"), TTokenKind::AmPm},
                  {QLatin1String("ampm"), TTokenKind::AmPm},
                  {QLatin1String("aaaa"), TTokenKind::Weekday},
                  {QLatin1String("aaa"), TTokenKind::Weekday}};
    for (const auto &t : tokens)
        if (rest.startsWith(t.Text, Qt::CaseInsensitive))
            return {t.Kind, int(t.Text.size()), rest.left(t.Text.size())};
    return {TTokenKind::Text, 1, rest.left(1)};
}

// A run is one character repeated exactly ("Dd" is two day tokens); the letters are otherwise
// case-insensitive. An "m" is minutes when the letter before it, token or not, began an hour
// token; quoted text and other characters leave that letter as it is.
std::vector<TToken> Tokenize(QStringView fmt)
{
    std::vector<TToken> tokens;
    char16_t lastLetter = 0;
    const qsizetype n = fmt.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = fmt[i];
        if (c == u'\'' || c == u'"') {
            qsizetype close = fmt.indexOf(c, i + 1);
            if (close < 0)
                close = n;
            tokens.push_back({TTokenKind::Text, 0, fmt.mid(i + 1, close - i - 1)});
            i = close + 1;
            continue;
        }
        char16_t letter = c.unicode() < 128 ? QChar::toUpper(c.unicode()) : 0;
        if (letter < u'A' || letter > u'Z') {
            tokens.push_back({TTokenKind::Text, 0, c == u'/' ? QStringView(u"-") : fmt.mid(i, 1)});
            ++i;
            continue;
        }
        if (letter == u'M' && lastLetter == u'H')
            letter = u'N';
        lastLetter = letter;
        TToken token = letter == u'A' ? ATokenAt(fmt.mid(i)) : TToken{TTokenKind::Text, 1, fmt.mid(i, 1)};
        const auto *run = std::find_if(std::begin(RunTokens), std::end(RunTokens),
                                       [letter](const auto &r) { return r.first == letter; });
        if (run != std::end(RunTokens)) {
            qsizetype length = 1;
            while (i + length < n && fmt[i + length] == c)
                ++length;
            token = {run->second, int(length), fmt.mid(i, length)};
        }
        // Any other letter is copied, though it still counts as the letter before an "m".
        tokens.push_back(token);
        i += token.Text.size();
    }
    return tokens;
}

// An hour token uses the 12-hour clock when an am/pm token follows it before the next hour token.
bool TwelveHour(const std::vector<TToken> &tokens, std::size_t hourIndex)
{
    for (std::size_t k = hourIndex + 1; k < tokens.size(); ++k) {
        if (tokens[k].Kind == TTokenKind::AmPm)
            return true;
        if (tokens[k].Kind == TTokenKind::Hour)
            return false;
    }
    return false;
}

QString Number(int value, int minDigits)
{
    return WithMinDigits(QString::number(value), minDigits);
}

void AppendDateTime(QString &out, QStringView fmt, const QDate &date, const QTime &time)
{
    const std::vector<TToken> tokens = Tokenize(fmt);
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        const TToken &t = tokens[k];
        switch (t.Kind) {
        case TTokenKind::Text:
            out += t.Text;
            break;
        case TTokenKind::Year:
            out += t.Count <= 2 ? Number(date.year() % 100, 2) : Number(date.year(), 4);
            break;
        case TTokenKind::Month:
            if (t.Count <= 2)
                out += Number(date.month(), t.Count);
            else
                out += QString::fromUtf16(
                    (t.Count == 3 ? DateNames.ShortMonth : DateNames.LongMonth)[date.month() - 1]);
            break;
        case TTokenKind::Day:
            if (t.Count <= 2)
                out += Number(date.day(), t.Count);
            else if (t.Count <= 4)
                out += QString::fromUtf16(
                    (t.Count == 3 ? DateNames.ShortDay : DateNames.LongDay)[date.dayOfWeek() % 7]);
            else
                AppendDateTime(out, t.Count == 5 ? ShortDateFormat : LongDateFormat, date, time);
            break;
        case TTokenKind::Weekday:
            out += QString::fromUtf16(
                (t.Count == 3 ? DateNames.ShortDay : DateNames.LongDay)[date.dayOfWeek() % 7]);
            break;
        case TTokenKind::Hour: {
            int hour = time.hour();
            if (TwelveHour(tokens, k))
                hour = hour % 12 == 0 ? 12 : hour % 12;
            out += Number(hour, std::min(t.Count, 2));
            break;
        }
        case TTokenKind::Minute:
            out += Number(time.minute(), std::min(t.Count, 2));
            break;
        case TTokenKind::Second:
            out += Number(time.second(), std::min(t.Count, 2));
            break;
        case TTokenKind::MSec:
            out += Number(time.msec(), std::min(t.Count, 3));
            break;
        case TTokenKind::Time:
            AppendDateTime(out, t.Count == 1 ? ShortTimeFormat : LongTimeFormat, date, time);
            break;
        case TTokenKind::DateTime:
            // The time only when it is not midnight to the second.
            AppendDateTime(out, ShortDateFormat, date, time);
            if (time.hour() != 0 || time.minute() != 0 || time.second() != 0) {
                out += QLatin1Char(' ');
                AppendDateTime(out, LongTimeFormat, date, time);
            }
            break;
        case TTokenKind::AmPm: {
            const bool pm = time.hour() >= 12;
            if (t.Count == 5) // the pattern's letters: "AM/PM" gives "PM", "am/pm" gives "pm"
                out += pm ? t.Text.mid(3, 2) : t.Text.left(2);
            else if (t.Count == 3)
                out += pm ? t.Text.mid(2, 1) : t.Text.left(1);
            else
                out += QString::fromUtf16(pm ? DateNames.PmText : DateNames.AmText);
            break;
        }
        }
    }
}
} // namespace

QString FormatDateTime(const QString &fmt, const QDateTime &dt)
{
    // An invalid date or time reads as the zero date, 1899-12-30 00:00.
    const QDate date = dt.date().isValid() ? dt.date() : QDate(1899, 12, 30);
    const QTime time = dt.time().isValid() ? dt.time() : QTime(0, 0);
    QString out;
    AppendDateTime(out, fmt.isEmpty() ? QStringLiteral("c") : fmt, date, time);
    return out;
}
