#include "uFormulaCalculate.h"

#include "Kvbasicfun.h"

#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <stdexcept>
#include <string>

namespace {
// Raised for any arithmetic fault inside an evaluation; Eval turns it into "0" with isAbort.
struct EFormulaCalc : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// The patterns are compiled once for the whole process and shared by every instance.
struct TFormulaPatterns
{
    static QRegularExpression
    Make(const QString &pattern,
         QRegularExpression::PatternOptions options = QRegularExpression::NoPatternOption)
    {
        QRegularExpression re(pattern, options);
        re.optimize();
        return re;
    }

    const QString sNum = QStringLiteral(R"((\+*\-*\d+\.?\d*))");
    const QRegularExpression unNum = Make(QStringLiteral(R"((\d+\.?\d*))"));
    const QRegularExpression addSub = Make(QStringLiteral(R"((\-?\d+\.?\d*)([+-]))") + sNum);
    const QRegularExpression mulDiv = Make(QStringLiteral(R"((\d+\.?\d*)([*/]))") + sNum);
    const QRegularExpression innerRegex = Make(QStringLiteral(R"(\([^\(\)]+\))"));
    const QRegularExpression eNumber = Make(QStringLiteral(R"((\-?\d+\.?\d*)([eE])([+-]?\d*))"));
    const QRegularExpression functionRegex =
        Make(QStringLiteral(R"((abs|sqrt|sin|cos|tan|sign|min|max|count|sum|avg)(\-?\d+\.?\d*))"),
             QRegularExpression::CaseInsensitiveOption);
    const QRegularExpression sinqRegex = Make(QStringLiteral(R"(([\+\ \-]{2,}))"));
    const QRegularExpression errorRegex = Make(QStringLiteral(R"((\d+\.?\d*)(\ +)(\d+\.?\d*))"));
    const QRegularExpression error3Regex = Make(QStringLiteral(R"(([\*\/]{2,}))"));
    const QRegularExpression error4Regex =
        Make(QStringLiteral(R"((\+*\-*\d+\.?\d*\s*\()|(\)\s*(\d+\.?\d*)))"));
};

const TFormulaPatterns &Patterns()
{
    static const TFormulaPatterns patterns;
    return patterns;
}

// Reads a whole text as a number: optional sign, at least one digit before an optional point
// (".5" is no number), optional exponent. A magnitude below the smallest double reads as 0, as any
// tiny value does after the value limit; anything else that is malformed or too large is a fault.
double ReadNumber(QStringView text)
{
    std::string s;
    s.reserve(text.size());
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if (u > 0x7f)
            throw EFormulaCalc("not a number");
        s.push_back(static_cast<char>(u));
    }
    auto isDigit = [&s](std::size_t at) {
        return at < s.size() && std::isdigit(static_cast<unsigned char>(s[at]));
    };
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-'))
        ++i;
    const std::size_t mantissaStart = i;
    // Decimal order of the first significant digit, to tell an underflow from an overflow.
    long long order = 0;
    bool significant = false;
    while (isDigit(i)) {
        if (significant)
            ++order;
        else
            significant = s[i] != '0';
        ++i;
    }
    if (i == mantissaStart)
        throw EFormulaCalc("not a number");
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (isDigit(i)) {
            if (!significant) {
                --order;
                significant = s[i] != '0';
            }
            ++i;
        }
    }
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        const bool negative = i < s.size() && s[i] == '-';
        if (i < s.size() && (s[i] == '+' || s[i] == '-'))
            ++i;
        if (!isDigit(i))
            throw EFormulaCalc("not a number");
        long long exponent = 0;
        for (; isDigit(i); ++i)
            exponent = std::min(exponent * 10 + (s[i] - '0'), 1000000LL);
        order += negative ? -exponent : exponent;
    }
    if (i != s.size())
        throw EFormulaCalc("not a number");
    // from_chars takes no leading plus; the minus stays with the mantissa.
    const char *first = s.data() + (s[0] == '+' ? mantissaStart : 0);
    double value = 0.0;
    const auto res = std::from_chars(first, s.data() + s.size(), value);
    if (res.ec == std::errc::result_out_of_range && order < 0)
        return 0.0;
    if (res.ec != std::errc() || res.ptr != s.data() + s.size() || !std::isfinite(value))
        throw EFormulaCalc("number out of range");
    return value;
}

// Cheap tests that let the common formula skip a loop whose pattern cannot match.
bool HasSignRun(const QString &text)
{
    auto isSign = [](QChar c) {
        return c == QLatin1Char('+') || c == QLatin1Char('-') || c == QLatin1Char(' ');
    };
    for (qsizetype i = 1; i < text.size(); ++i) {
        if (isSign(text.at(i)) && isSign(text.at(i - 1)))
            return true;
    }
    return false;
}

bool HasLetter(const QString &text)
{
    for (QChar c : text) {
        if ((c >= QLatin1Char('a') && c <= QLatin1Char('z')) ||
            (c >= QLatin1Char('A') && c <= QLatin1Char('Z')))
            return true;
    }
    return false;
}

void ReplaceMatch(QString &text, const QRegularExpressionMatch &m, const QString &with)
{
    text.replace(m.capturedStart(0), m.capturedLength(0), with);
}
} // namespace

TFormulaCalculate::TFormulaCalculate()
{
    Patterns(); // compiles the shared patterns on first use
}

double TFormulaCalculate::LimitValue(double value)
{
    if (std::isnan(value))
        throw EFormulaCalc("invalid operation");
    const double magnitude = std::fabs(value);
    if (magnitude > MaxValue) {
        isReturnMax = true;
        return MaxValue; // the limit itself, whatever the sign; callers test isReturnMax
    }
    if (magnitude < MinValue)
        return 0.0;
    return value;
}

QString TFormulaCalculate::SignCollapse(QString text)
{
    static const QString minusPlus = QStringLiteral("-+"), minusMinus = QStringLiteral("--"),
                         plusPlus = QStringLiteral("++"), plusMinus = QStringLiteral("+-");
    while (text.contains(minusPlus) || text.contains(minusMinus) || text.contains(plusPlus) ||
           text.contains(plusMinus)) {
        text.replace(minusPlus, QStringLiteral("-"));
        text.replace(minusMinus, QStringLiteral("+"));
        text.replace(plusPlus, QStringLiteral("+"));
        text.replace(plusMinus, QStringLiteral("-"));
    }
    return text;
}

bool TFormulaCalculate::IsValidExpression(const QString &text)
{
    const TFormulaPatterns &p = Patterns();
    if (text.count(QLatin1Char('(')) != text.count(QLatin1Char(')')))
        return false;
    if (p.errorRegex.match(text).hasMatch())
        return false;
    if (!p.unNum.match(text).hasMatch())
        return false;
    QString noBlanks = text;
    noBlanks.remove(QLatin1Char(' '));
    if (p.error3Regex.match(noBlanks).hasMatch())
        return false;
    return !p.error4Regex.match(text).hasMatch();
}

QString TFormulaCalculate::ExponentText(const QString &number)
{
    QString text = Kvbasicfun::FloatToStringBit(LimitValue(ReadNumber(number)), 8);
    if (text.contains(QLatin1String(".00000000")))
        text.truncate(text.indexOf(QLatin1Char('.')));
    return text;
}

QString TFormulaCalculate::ConvertExponents(QString text)
{
    const QRegularExpression &eNumber = Patterns().eNumber;
    // Without an "e" the pattern cannot match; the common case skips the regex.
    if (!text.contains(QLatin1Char('e'), Qt::CaseInsensitive))
        return text;
    while (!isAbort) {
        const QRegularExpressionMatch m = eNumber.match(text);
        if (!m.hasMatch())
            break;
        // An empty exponent ("2e") leaves the mantissa alone.
        ReplaceMatch(text, m, m.capturedLength(3) > 0 ? ExponentText(m.captured(0)) : m.captured(1));
    }
    return text;
}

QString TFormulaCalculate::WriteValue(double value)
{
    return ConvertExponents(Kvbasicfun::DoubleToString(LimitValue(value)));
}

QString TFormulaCalculate::FlatReduce(QString text)
{
    const TFormulaPatterns &p = Patterns();

    // 1. Exponent numbers.
    text = ConvertExponents(std::move(text));

    // 2. Sign runs: blanks dropped, signs collapsed.
    while (!isAbort && HasSignRun(text)) {
        const QRegularExpressionMatch m = p.sinqRegex.match(text);
        if (!m.hasMatch())
            break;
        QString run = m.captured(1);
        run.remove(QLatin1Char(' '));
        ReplaceMatch(text, m, SignCollapse(run));
    }

    // 3. Functions of one number.
    while (!isAbort && HasLetter(text)) {
        const QRegularExpressionMatch m = p.functionRegex.match(text);
        if (!m.hasMatch())
            break;
        const QString name = m.captured(1).toLower();
        const QString argText = m.captured(2);
        QString value;
        if (name == QLatin1String("min") || name == QLatin1String("max") || name == QLatin1String("count") ||
            name == QLatin1String("sum") || name == QLatin1String("avg")) {
            value = argText;
        } else {
            const double arg = ReadNumber(argText);
            double r = 0.0;
            if (name == QLatin1String("abs"))
                r = std::fabs(arg);
            else if (name == QLatin1String("sqrt"))
                r = std::sqrt(arg); // NaN for a negative argument: rejected by LimitValue
            else if (name == QLatin1String("sin"))
                r = std::sin(arg);
            else if (name == QLatin1String("cos"))
                r = std::cos(arg);
            else if (name == QLatin1String("tan"))
                r = std::tan(arg);
            else // sign
                r = arg > 0 ? 1.0 : (arg < 0 ? -1.0 : 0.0);
            value = Kvbasicfun::DoubleToString(LimitValue(r));
        }
        ReplaceMatch(text, m, value);
    }

    // 4. Multiplication and division, on the text without blanks.
    text.remove(QLatin1Char(' '));
    while (!isAbort) {
        const QRegularExpressionMatch m = p.mulDiv.match(text);
        if (!m.hasMatch())
            break;
        const double left = ReadNumber(m.capturedView(1));
        const double right = ReadNumber(SignCollapse(m.captured(3)));
        QString value;
        if (m.capturedView(2) == QLatin1String("*"))
            value = WriteValue(left * right);
        else if (right == 0.0)
            value = QStringLiteral("0"); // division by zero gives 0, not an error
        else
            value = WriteValue(left / right);
        ReplaceMatch(text, m, value);
    }

    // 5. Addition and subtraction; the left operand may carry one minus.
    while (!isAbort) {
        const QRegularExpressionMatch m = p.addSub.match(text);
        if (!m.hasMatch())
            break;
        const double left = ReadNumber(m.capturedView(1));
        const double right = ReadNumber(SignCollapse(m.captured(3)));
        ReplaceMatch(text, m,
                     WriteValue(m.capturedView(2) == QLatin1String("+") ? left + right : left - right));
    }
    return text;
}

void TFormulaCalculate::Eval(const QString &expression, QString &result)
{
    const TFormulaPatterns &p = Patterns();
    QString text = expression.toLower();
    for (QChar &c : text) {
        switch (c.unicode()) {
        case u'\r':
        case u'\n':
            c = QLatin1Char(' ');
            break;
        case u'{':
        case u'[':
            c = QLatin1Char('(');
            break;
        case u'}':
        case u']':
            c = QLatin1Char(')');
            break;
        default:
            break;
        }
    }
    isAbort = false;
    result = QStringLiteral("0");

    if (!IsValidExpression(text)) {
        isAbort = true;
        return;
    }
    try {
        // Innermost groups, all of one pass at once, until none remain.
        while (!isAbort) {
            QRegularExpressionMatchIterator it = p.innerRegex.globalMatch(text);
            if (!it.hasNext())
                break;
            QString rebuilt;
            rebuilt.reserve(text.size());
            qsizetype last = 0;
            while (it.hasNext()) {
                const QRegularExpressionMatch m = it.next();
                rebuilt += QStringView(text).mid(last, m.capturedStart(0) - last);
                rebuilt += FlatReduce(text.mid(m.capturedStart(0) + 1, m.capturedLength(0) - 2));
                last = m.capturedEnd(0);
            }
            rebuilt += QStringView(text).mid(last);
            text = std::move(rebuilt);
        }
        if (isAbort || !IsValidExpression(text)) {
            isAbort = true;
            return;
        }
        text = FlatReduce(std::move(text));
        text.remove(QLatin1Char(' '));
        text = FlatReduce(SignCollapse(std::move(text)));
        if (isAbort)
            return;
        result = Kvbasicfun::DoubleToString(LimitValue(ReadNumber(text)));
    } catch (const std::exception &) {
        isAbort = true;
        result = QStringLiteral("0");
    }
}
