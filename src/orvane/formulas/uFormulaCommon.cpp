#include "uFormulaCommon.h"

#include "ClientDataSet.h"
#include "Udllmessageintf.h"
#include "uFormulaCalculate.h"

namespace uFormulaCommon {
namespace {
bool IsOperatorChar(QChar c)
{
    switch (c.unicode()) {
    case u'+':
    case u'-':
    case u'*':
    case u'/':
    case u'(':
    case u')':
        return true;
    default:
        return false;
    }
}

void AddToken(QStringList &tokens, QStringView token)
{
    const QStringView trimmed = token.trimmed();
    if (!trimmed.isEmpty())
        tokens.append(trimmed.toString());
}

// Shows the failure's message when wanted; always false so that checks can return it.
bool Fail(bool showMessage, const QString &text)
{
    if (showMessage)
        Udllmessageintf::ShowWarningMsg(text);
    return false;
}
} // namespace

QStringList GetFormulaTokens(const QString &formula)
{
    QStringList tokens;
    qsizetype start = 0;
    for (qsizetype i = 0; i < formula.size(); ++i) {
        if (!IsOperatorChar(formula.at(i)))
            continue;
        AddToken(tokens, QStringView(formula).mid(start, i - start));
        tokens.append(QString(formula.at(i)));
        start = i + 1;
    }
    AddToken(tokens, QStringView(formula).mid(start));
    return tokens;
}

bool IsFormulaOperator(const QString &token)
{
    return token.size() == 1 && IsOperatorChar(token.at(0));
}

bool FindFormulaColumn(const TClientDataSet &columns, const QString &caption, QString *columnName)
{
    // Every stored row is searched, whatever filter the caller has set on the list.
    for (int i = 0; i < columns.RowCountAll(); ++i) {
        const TClientDataSet::Row &row = columns.RowAt(i);
        if (columns.ValueIn(row, QStringLiteral("fieldname")).toString() == caption) {
            if (columnName)
                *columnName = columns.ValueIn(row, QStringLiteral("ColumnName")).toString();
            return true;
        }
    }
    return false;
}

QString ConvertFormula(const QString &formula, const TClientDataSet &columns, bool sample)
{
    QString stored;
    QString columnName;
    for (const QString &token : GetFormulaTokens(formula)) {
        if (IsFormulaOperator(token))
            stored += token;
        else if (FindFormulaColumn(columns, token, &columnName))
            stored += sample ? SampleValue : columnName;
        else
            stored += QLatin1Char(' ') + token + QLatin1Char(' ');
    }
    return stored.toLower();
}

QString GetFormulaDetailXML(const QString &formula, const TClientDataSet &columns)
{
    QString xml = QStringLiteral("<Root>");
    QString columnName;
    for (const QString &token : GetFormulaTokens(formula)) {
        if (IsFormulaOperator(token) || !FindFormulaColumn(columns, token, &columnName))
            continue;
        xml += QStringLiteral("<Record ColumnName=\"") + columnName.toLower().toHtmlEscaped() +
               QStringLiteral("\" />");
    }
    return xml + QStringLiteral("</Root>");
}

bool CheckFormula(const QString &formula, const TClientDataSet &columns, bool isCalc, bool showMessage)
{
    const int maxLength = isCalc ? MaxCalcFormulaLength : MaxTextFormulaLength;
    if (formula.trimmed().size() > maxLength)
        return Fail(showMessage,
                    QStringLiteral("公式长度不要超过") + QString::number(maxLength) + QStringLiteral("位。"));
    if (!isCalc) {
        if (formula.contains(QLatin1Char('\'')))
            return Fail(showMessage, QStringLiteral("公式中不能包含'。"));
        return true;
    }
    // SQL comment markers would survive into the stored text.
    if (formula.contains(QLatin1String("--")) || formula.contains(QLatin1String("/*")) ||
        formula.contains(QLatin1String("*/")))
        return Fail(showMessage, QStringLiteral("公式中不能包含--、/*或*/。"));
    for (const QChar c : QStringLiteral("%&',^|~")) {
        if (formula.contains(c))
            return Fail(showMessage, QStringLiteral("公式中不能包含%、&、^、|、,、~、'。"));
    }
    TFormulaCalculate calc;
    QString result;
    calc.Eval(ConvertFormula(formula, columns, true), result);
    if (calc.isAbort)
        return Fail(showMessage, QStringLiteral("公式有错误，请检查公式。"));
    if (calc.isReturnMax)
        return Fail(showMessage, QStringLiteral("计算结果超过系统允许的范围。"));
    return true;
}
} // namespace uFormulaCommon
