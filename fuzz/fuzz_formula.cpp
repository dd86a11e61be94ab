// libFuzzer harness for the formula engine and the formula services.
//
// Every input is evaluated and the result checked against the engine's promises: "0" whenever the
// expression is rejected, otherwise a plain decimal within the value limit. Inputs made only of
// digits, points, blanks, + * / and brackets (no minus, so no negative intermediate value) are also
// evaluated by an independent recursive-descent evaluator with the same value limit; both must agree.

#include <QString>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "ClientDataSet.h"
#include "Kvbasicfun.h"
#include "uFormulaCalculate.h"
#include "uFormulaCommon.h"

namespace {
[[noreturn]] void Fail(const char *what, const QString &input, const QString &detail)
{
    std::fprintf(stderr, "fuzz_formula: %s\n  input: [%s]\n  %s\n", what, qPrintable(input),
                 qPrintable(detail));
    std::abort();
}

// Reference evaluator: expr := term {+ term}; term := factor {(*|/) factor}; factor := number | (expr).
class TReference
{
public:
    explicit TReference(const std::string &text) : FText(text) {}

    std::optional<double> Evaluate()
    {
        auto value = Expr();
        SkipBlanks();
        if (!value || FPos != FText.size())
            return std::nullopt;
        return Limit(*value);
    }
    bool ReturnMax = false;

private:
    double Limit(double v)
    {
        if (std::fabs(v) > TFormulaCalculate::MaxValue) {
            ReturnMax = true;
            return TFormulaCalculate::MaxValue;
        }
        return std::fabs(v) < TFormulaCalculate::MinValue ? 0.0 : v;
    }
    void SkipBlanks()
    {
        while (FPos < FText.size() && (FText[FPos] == ' ' || FText[FPos] == '\r' || FText[FPos] == '\n'))
            ++FPos;
    }
    bool Take(char c)
    {
        SkipBlanks();
        if (FPos < FText.size() && FText[FPos] == c) {
            ++FPos;
            return true;
        }
        return false;
    }
    std::optional<double> Expr()
    {
        auto value = Term();
        while (value && Take('+')) {
            auto right = Term();
            if (!right)
                return std::nullopt;
            value = Limit(*value + *right);
        }
        return value;
    }
    std::optional<double> Term()
    {
        auto value = Factor();
        while (value) {
            const bool mul = Take('*');
            if (!mul && !Take('/'))
                break;
            auto right = Factor();
            if (!right)
                return std::nullopt;
            value = mul ? Limit(*value * *right) : (*right == 0.0 ? 0.0 : Limit(*value / *right));
        }
        return value;
    }
    std::optional<double> Factor()
    {
        if (Take('(')) {
            auto value = Expr();
            if (!value || !Take(')'))
                return std::nullopt;
            return value;
        }
        SkipBlanks();
        const std::size_t start = FPos;
        while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos])))
            ++FPos;
        if (FPos == start)
            return std::nullopt;
        if (FPos < FText.size() && FText[FPos] == '.') {
            ++FPos;
            while (FPos < FText.size() && std::isdigit(static_cast<unsigned char>(FText[FPos])))
                ++FPos;
        }
        double value = 0.0;
        const auto res = std::from_chars(FText.data() + start, FText.data() + FPos, value);
        if (res.ec != std::errc() || !std::isfinite(value))
            return std::nullopt;
        return value;
    }

    std::string FText;
    std::size_t FPos = 0;
};

// Only + * / and non-negative numbers: the rewriting must then agree with ordinary arithmetic.
std::optional<std::string> ReferenceSubset(const QString &text)
{
    std::string s;
    for (QChar c : text) {
        const char16_t u = c.unicode();
        if ((u >= '0' && u <= '9') || u == '.' || u == '+' || u == '*' || u == '/' || u == ' ' || u == '\r' ||
            u == '\n' || u == '(' || u == ')')
            s.push_back(static_cast<char>(u));
        else if (u == '[' || u == '{')
            s.push_back('(');
        else if (u == ']' || u == '}')
            s.push_back(')');
        else
            return std::nullopt;
    }
    return s;
}

const TClientDataSet &Columns()
{
    static const TClientDataSet columns = [] {
        TClientDataSet ds({QStringLiteral("fieldname"), QStringLiteral("ColumnName")});
        ds.AppendRow({QStringLiteral("数量"), QStringLiteral("Qty")});
        ds.AppendRow({QStringLiteral("单价"), QStringLiteral("price")});
        ds.AppendRow({QStringLiteral("a"), QStringLiteral("ColA")});
        return ds;
    }();
    return columns;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size > 512) // formulas are at most 250 characters
        return 0;
    const QString input =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    TFormulaCalculate calc;
    QString result;
    calc.Eval(input, result);

    if (calc.isAbort && result != QLatin1String("0"))
        Fail("rejected expression with a result other than 0", input, result);
    bool ok = false;
    const double value = result.toDouble(&ok);
    if (!ok || result.contains(QLatin1Char('e')) || result.contains(QLatin1Char('E')))
        Fail("result is not a plain decimal", input, result);
    if (std::fabs(value) > TFormulaCalculate::MaxValue ||
        (value != 0.0 && std::fabs(value) < TFormulaCalculate::MinValue))
        Fail("result outside the value limit", input, result);
    if (result != Kvbasicfun::DoubleToString(value))
        Fail("result not in shortest form", input, result);

    TFormulaCalculate again;
    QString second;
    again.Eval(input, second);
    if (second != result || again.isAbort != calc.isAbort || again.isReturnMax != calc.isReturnMax)
        Fail("evaluation not repeatable", input, second);

    if (const auto subset = ReferenceSubset(input)) {
        TReference reference(*subset);
        if (const auto expected = reference.Evaluate()) {
            const QString expectedText = Kvbasicfun::DoubleToString(*expected);
            if (calc.isAbort || result != expectedText || calc.isReturnMax != reference.ReturnMax)
                Fail("differs from ordinary arithmetic", input,
                     QStringLiteral("engine %1%2, reference %3%4")
                         .arg(result, calc.isAbort ? QStringLiteral(" (rejected)") : QString(), expectedText,
                              reference.ReturnMax ? QStringLiteral(" (cut)") : QString()));
        }
    }

    // The services must hold on any text; a checked formula evaluates cleanly in its sample form.
    const TClientDataSet &columns = Columns();
    const bool calcOk = uFormulaCommon::CheckFormula(input, columns, true, false);
    uFormulaCommon::CheckFormula(input, columns, false, false);
    const QString stored = uFormulaCommon::ConvertFormula(input, columns, false);
    const QString xml = uFormulaCommon::GetFormulaDetailXML(input, columns);
    if (!xml.startsWith(QLatin1String("<Root>")) || !xml.endsWith(QLatin1String("</Root>")))
        Fail("column list XML without its root", input, xml);
    if (calcOk) {
        TFormulaCalculate sample;
        QString sampleResult;
        sample.Eval(uFormulaCommon::ConvertFormula(input, columns, true), sampleResult);
        if (sample.isAbort || sample.isReturnMax ||
            input.trimmed().size() > uFormulaCommon::MaxCalcFormulaLength)
            Fail("accepted formula fails its sample evaluation", input, stored);
    }
    return 0;
}
