#include "BillLayout.h"

#include <QSqlQuery>

#include "AccountDatabase.h"
#include "Kvbasicfun.h"
#include "uFormulaCalculate.h"
#include "uFormulaCommon.h"

namespace {

// The header fields a bill keeps, by their DlyNdx column.
const QStringList kFields = {QStringLiteral("Date"),    QStringLiteral("Number"),  QStringLiteral("BtypeId"),
                             QStringLiteral("EtypeId"), QStringLiteral("KtypeId"), QStringLiteral("KTypeID2"),
                             QStringLiteral("DtypeId"), QStringLiteral("Summary"), QStringLiteral("Comment")};

struct TColumnKind
{
    bool ReadOnly;
    int Decimals; // -1: text
};

// The grid columns a bill line keeps or shows, with how they are entered.
const QHash<QString, TColumnKind> &ColumnKinds()
{
    static const QHash<QString, TColumnKind> kinds = {
        {QStringLiteral("PUserCode"), {false, -1}}, {QStringLiteral("PFullName"), {true, -1}},
        {QStringLiteral("Standard"), {true, -1}},   {QStringLiteral("Type"), {true, -1}},
        {QStringLiteral("Unit"), {true, -1}},       {QStringLiteral("BlockNo"), {false, -1}},
        {QStringLiteral("Qty"), {false, 4}},        {QStringLiteral("Price"), {false, 4}},
        {QStringLiteral("Total"), {false, 2}},      {QStringLiteral("CostPrice"), {true, 4}},
        {QStringLiteral("CostTotal"), {true, 2}},   {QStringLiteral("Comment"), {false, -1}},
    };
    return kinds;
}

QString NumberText(double value)
{
    const QString text = QString::number(value, 'f', 8);
    return value < 0 ? u'(' + text + u')' : text;
}

} // namespace

TBillLayout TBillLayout::Load(accountdb::AccountDatabase &db, int vchType)
{
    TBillLayout layout;
    QSqlQuery q =
        db.exec(QStringLiteral("SELECT DataField, TitleName, FieldNameO, Required FROM T_Jxc_VchTitle "
                               "WHERE VchType = ? AND Visible = 1 ORDER BY TitleOrder"),
                {vchType});
    while (q.next()) {
        const QString field = q.value(0).toString();
        if (!kFields.contains(field))
            continue;
        const QString own = q.value(2).toString();
        layout.Fields.append({field, own.isEmpty() ? q.value(1).toString() : own, q.value(3).toInt() == 1});
    }
    q = db.exec(QStringLiteral("SELECT ColumnName, FieldName, FieldNameO, ReadOnly FROM T_Jxc_VchColumn "
                               "WHERE VchType = ? AND DataArea = 1 AND Visible = 1 ORDER BY ColumnOrder"),
                {vchType});
    while (q.next()) {
        const auto kind = ColumnKinds().constFind(q.value(0).toString());
        if (kind == ColumnKinds().constEnd())
            continue;
        const QString own = q.value(2).toString();
        TBillColumn c;
        c.Column = kind.key();
        c.Caption = own.isEmpty() ? q.value(1).toString() : own;
        c.ReadOnly = kind->ReadOnly || q.value(3).toInt() == 1;
        c.Number = kind->Decimals >= 0;
        c.Decimals = qMax(kind->Decimals, 0);
        layout.Columns.append(c);
    }
    q = db.exec(
        QStringLiteral("SELECT ColumnName, Formula FROM BillFormula WHERE Vchtype = ? AND DataArea = 1 "
                       "AND Calc = 1 ORDER BY ID"),
        {vchType});
    while (q.next())
        layout.Formulas.append({q.value(0).toString().toLower(), q.value(1).toString()});
    return layout;
}

int TBillLayout::ColumnIndex(const QString &column) const
{
    for (int i = 0; i < Columns.size(); ++i)
        if (Columns[i].Column.compare(column, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

QStringList TBillLayout::Recalculate(QHash<QString, double> &values, const QString &changed) const
{
    const QString typed = changed.toLower();
    QStringList done;
    const auto decimals = [this](const QString &column) {
        const int i = ColumnIndex(column);
        return i < 0 ? 4 : Columns[i].Decimals;
    };
    bool totalHasFormula = false;
    for (const TBillFormula &f : Formulas) {
        totalHasFormula = totalHasFormula || f.Column == QLatin1String("total");
        if (f.Column == typed)
            continue; // what the user typed stands
        QString expression;
        for (const QString &token : uFormulaCommon::GetFormulaTokens(f.Formula))
            expression +=
                values.contains(token.toLower()) ? NumberText(values.value(token.toLower())) : token;
        TFormulaCalculate engine;
        QString result;
        engine.Eval(expression, result);
        if (engine.isAbort)
            continue;
        values[f.Column] = Kvbasicfun::FloatToFloatBit(result.toDouble(), decimals(f.Column));
        done << f.Column;
    }
    if (!totalHasFormula && (typed == QLatin1String("qty") || typed == QLatin1String("price"))) {
        values[QStringLiteral("total")] =
            Kvbasicfun::Round2(values.value(QStringLiteral("qty")) * values.value(QStringLiteral("price")));
        done << QStringLiteral("total");
    } else if (!totalHasFormula && typed == QLatin1String("total") &&
               values.value(QStringLiteral("qty")) != 0) {
        values[QStringLiteral("price")] =
            Kvbasicfun::Round4(values.value(QStringLiteral("total")) / values.value(QStringLiteral("qty")));
        done << QStringLiteral("price");
    }
    return done;
}
