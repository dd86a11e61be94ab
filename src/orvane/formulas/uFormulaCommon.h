#pragma once
// Formula services over a bill's column list (a dataset with the fields "fieldname", the caption
// the user sees, and "ColumnName", the column's database name): the check run before a formula is
// saved, tokenising, the stored form written with column names, and the column list XML.

#include <QString>
#include <QStringList>

class TClientDataSet;

namespace uFormulaCommon {
// Longest trimmed formula text: calculation formulas and the others (free text).
inline constexpr int MaxCalcFormulaLength = 250;
inline constexpr int MaxTextFormulaLength = 60;
// Every caption of the stored form is replaced by this when a formula is test-evaluated.
inline const QString SampleValue = QStringLiteral(" 1.50 ");

// Splits a formula into operands and the operators + - * / ( ), each operator a token of its own;
// tokens are trimmed and empty ones dropped.
QStringList GetFormulaTokens(const QString &formula);
// True for the one-character operator tokens.
bool IsFormulaOperator(const QString &token);
// The ColumnName of the column whose caption is "caption"; false when no column has it.
bool FindFormulaColumn(const TClientDataSet &columns, const QString &caption, QString *columnName = nullptr);

// Stored form: captions replaced by their column names (or by SampleValue when "sample"), other
// operands surrounded by one blank, operators unchanged; the whole text lower-cased.
QString ConvertFormula(const QString &formula, const TClientDataSet &columns, bool sample = false);
// "<Root>" + one <Record ColumnName="..." /> per caption occurrence, in order + "</Root>".
QString GetFormulaDetailXML(const QString &formula, const TClientDataSet &columns);

// The check before saving: length, forbidden characters and, for a calculation formula, a test
// evaluation with sample values. Shows the failure's message when "showMessage".
bool CheckFormula(const QString &formula, const TClientDataSet &columns, bool isCalc, bool showMessage);
} // namespace uFormulaCommon
