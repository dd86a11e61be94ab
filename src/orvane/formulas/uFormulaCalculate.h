#pragma once
// Arithmetic engine of the bill column formulas. An expression is evaluated by rewriting its text
// with regular expressions until one number remains: innermost groups first, then exponent numbers,
// sign runs, functions, multiplication/division and addition/subtraction, each operation on the
// leftmost match, every intermediate value written back as text.

#include <QString>

class TFormulaCalculate
{
public:
    // Largest magnitude a value may take; larger ones are cut to it and flag isReturnMax.
    static constexpr double MaxValue = 100000000.0;
    // Magnitudes below this read as 0.
    static constexpr double MinValue = 0.00000001;

    TFormulaCalculate();

    // Evaluates "expression"; "result" receives the value as shortest decimal text, or "0" with
    // isAbort set when the expression is rejected or its evaluation fails. Never throws.
    // isAbort is cleared on entry; isReturnMax stays set once a value has been cut.
    void Eval(const QString &expression, QString &result);

    // The value limit applied to every computed value (sets isReturnMax when it cuts).
    double LimitValue(double value);
    // The validity test on the normalised (lower-cased, brackets unified) expression.
    static bool IsValidExpression(const QString &text);
    // Reduces a text without parentheses: exponent numbers, sign runs, functions, * and /, + and -.
    QString FlatReduce(QString text);
    // Collapses adjacent signs until none remain: "-+" -> "-", "--" -> "+", "++" -> "+", "+-" -> "-".
    static QString SignCollapse(QString text);

    bool isAbort = false;
    bool isReturnMax = false;

private:
    QString WriteValue(double value);            // limited, shortest form, exponent converted
    QString ConvertExponents(QString text);      // the exponent-number loop
    QString ExponentText(const QString &number); // one exponent number as fixed text
};
