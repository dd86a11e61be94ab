// FormatFloat: number patterns of up to three sections ("positive;negative;zero"). Digits are written
// only where a section has placeholders; the decimal point and the thousands separators come with
// the digits, never from the pattern's own "." and ",".

#include "Format.h"
#include "FormatDigits.h"

#include <algorithm>
#include <cmath>

using FormatDigits::TDecimalDigits;

namespace {
bool IsQuote(QChar c)
{
    return c == u'\'' || c == u'"';
}

// Index of the closing quote of the quote at "open", or the end of the text.
qsizetype QuoteEnd(QStringView s, qsizetype open)
{
    const qsizetype close = s.indexOf(s[open], open + 1);
    return close < 0 ? s.size() : close;
}

// The sections of a pattern, split at the semicolons outside quotes.
QList<QStringView> SplitSections(QStringView fmt)
{
    QList<QStringView> sections;
    qsizetype start = 0;
    for (qsizetype i = 0; i < fmt.size(); ++i) {
        if (IsQuote(fmt[i])) {
            i = QuoteEnd(fmt, i);
        } else if (fmt[i] == u';') {
            sections.append(fmt.mid(start, i - start));
            start = i + 1;
        }
    }
    sections.append(fmt.mid(start));
    return sections;
}

// Index just past an exponent marker ("E+", "e-") at i, or 0 when there is none.
qsizetype ExponentMarkerEnd(QStringView s, qsizetype i)
{
    if ((s[i] == u'E' || s[i] == u'e') && i + 1 < s.size() && (s[i + 1] == u'+' || s[i + 1] == u'-'))
        return i + 2;
    return 0;
}

// What a section asks for, counted over its placeholders "0" and "#".
struct TSectionScan
{
    int DigitCount = 0;   // all placeholders
    int DecimalIndex = 0; // placeholders before the first "."
    int FirstDigit = 0;   // integer places from the first "0" up to the point: always written
    int LastDigit = 0;    // minus the decimal places up to the last "0": always written
    bool Thousands = false;
    bool Scientific = false;
};

TSectionScan ScanSection(QStringView s)
{
    TSectionScan scan;
    int decimalIndex = -1;
    int firstZero = -1;
    int lastZero = 0;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (IsQuote(c)) {
            i = QuoteEnd(s, i);
        } else if (c == u'0' || c == u'#') {
            if (c == u'0') {
                if (firstZero < 0)
                    firstZero = scan.DigitCount;
                lastZero = scan.DigitCount + 1;
            }
            ++scan.DigitCount;
        } else if (c == u'.') {
            if (decimalIndex < 0)
                decimalIndex = scan.DigitCount;
        } else if (c == u',') {
            scan.Thousands = true; // anywhere, after the point too
        } else if (const qsizetype end = ExponentMarkerEnd(s, i)) {
            scan.Scientific = true;
            i = end - 1;
            while (i + 1 < s.size() && s[i + 1] == u'0') // the exponent's digits are no placeholders
                ++i;
        }
    }
    scan.DecimalIndex = decimalIndex < 0 ? scan.DigitCount : decimalIndex;
    scan.FirstDigit = firstZero < 0 ? 0 : std::max(0, scan.DecimalIndex - firstZero);
    scan.LastDigit = std::min(0, scan.DecimalIndex - lastZero);
    return scan;
}

// The digits a section shows of |value|: as many significant digits as it has placeholders in
// scientific format, else rounded to its decimal places.
TDecimalDigits SectionDigits(const TSectionScan &scan, double value)
{
    if (!scan.Scientific)
        return FormatDigits::FixedDigits(value, scan.DigitCount - scan.DecimalIndex);
    TDecimalDigits d = FormatDigits::ShortestDigits(value);
    FormatDigits::RoundDigits(d, std::max(1, scan.DigitCount));
    return d;
}

// Writes the section with the digits at its placeholders. "DigitPlace" counts the integer places
// still to come (0: the next digit is the first decimal); the integer digits beyond the section's
// integer placeholders all go to its first placeholder.
class TSectionWriter
{
public:
    TSectionWriter(const TSectionScan &scan, const TDecimalDigits &digits) : FScan(scan), FDigits(digits)
    {
        if (scan.Scientific) {
            FDigitPlace = scan.DecimalIndex;
        } else {
            FDigitDelta = digits.Exponent - scan.DecimalIndex;
            FDigitPlace = FDigitDelta > 0 ? digits.Exponent : scan.DecimalIndex;
        }
    }

    QString Write(QStringView s, bool minus)
    {
        FOut = minus ? QStringLiteral("-") : QString();
        for (qsizetype i = 0; i < s.size(); ++i) {
            const QChar c = s[i];
            if (c == u'0' || c == u'#') {
                PutPlaceholder();
            } else if (c == u'.' || c == u',') {
                // written with the digits
            } else if (IsQuote(c)) {
                const qsizetype close = QuoteEnd(s, i);
                FOut += s.mid(i + 1, close - i - 1);
                i = close;
            } else if (const qsizetype end = FScan.Scientific ? ExponentMarkerEnd(s, i) : 0) {
                qsizetype last = end - 1;
                int zeros = 0;
                while (last + 1 < s.size() && s[last + 1] == u'0') {
                    ++last;
                    zeros = std::min(zeros + 1, 4);
                }
                const int exponent = FDigits.Digits.empty() ? 0 : FDigits.Exponent - FScan.DecimalIndex;
                FOut += c + FormatDigits::ExponentText(exponent, s[i + 1] == u'+', zeros);
                i = last;
            } else {
                FOut += c;
            }
        }
        return FOut;
    }

private:
    void WriteDigit(QChar digit)
    {
        if (FDigitPlace == 0)
            FOut += QLatin1Char('.');
        FOut += digit;
        if (FScan.Thousands && FDigitPlace > 1 && FDigitPlace % 3 == 1)
            FOut += QLatin1Char(',');
        --FDigitPlace;
    }

    // The next significant digit, or past them a 0 unless it is an optional decimal.
    void AddDigit()
    {
        if (FNext < FDigits.Digits.size())
            WriteDigit(QLatin1Char(FDigits.Digits[FNext++]));
        else if (FDigitPlace <= FScan.LastDigit)
            --FDigitPlace;
        else
            WriteDigit(QLatin1Char('0'));
    }

    void PutPlaceholder()
    {
        if (FDigitDelta < 0) { // a place before the value's first digit: 0 only where required
            ++FDigitDelta;
            if (FDigitPlace <= FScan.FirstDigit)
                WriteDigit(QLatin1Char('0'));
            else
                --FDigitPlace;
            return;
        }
        for (; FDigitDelta > 0; --FDigitDelta)
            AddDigit();
        AddDigit();
    }

    const TSectionScan &FScan;
    const TDecimalDigits &FDigits;
    int FDigitPlace = 0;
    int FDigitDelta = 0;
    std::size_t FNext = 0;
    QString FOut;
};

// The section for value index 0 (positive), 1 (negative) or 2 (zero); a missing or empty one is
// the first.
qsizetype SectionFor(const QList<QStringView> &sections, qsizetype index)
{
    return index < sections.size() && !sections[index].isEmpty() ? index : 0;
}
} // namespace

QString FormatFloat(const QString &fmt, double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value > 0 ? QStringLiteral("INF") : QStringLiteral("-INF");
    const QList<QStringView> sections = SplitSections(fmt);
    const int index = value > 0 ? 0 : value < 0 ? 1 : 2;
    qsizetype used = SectionFor(sections, index);
    if (sections[used].isEmpty())
        return FormatDigits::GeneralText(value, 15);
    TSectionScan scan = ScanSection(sections[used]);
    TDecimalDigits digits = SectionDigits(scan, value);
    if (digits.Digits.empty() && index != 2) {
        // Rounds to nothing: the zero section speaks, whichever section the value started in.
        used = SectionFor(sections, 2);
        if (sections[used].isEmpty())
            return QStringLiteral("0");
        scan = ScanSection(sections[used]);
    }
    const bool minus = value < 0 && used == 0 && !digits.Digits.empty();
    return TSectionWriter(scan, digits).Write(sections[used], minus);
}
