#pragma once
// What a bill window of one bill type shows, read from the account set's bill layout: the header
// fields and grid columns the user configured (caption, visibility, required mark, order) and the
// column formulas that recalculate a line as it is typed.

#include <QHash>
#include <QList>
#include <QString>

namespace accountdb {
class AccountDatabase;
}

struct TBillField
{
    QString
        Field; // DlyNdx column: Date, Number, BtypeId, EtypeId, KtypeId, KTypeID2, DtypeId, Summary, Comment
    QString Caption; // the user's name, else the field's own
    bool Required = false;
};

struct TBillColumn
{
    QString Column; // PUserCode, PFullName, Standard, Type, Unit, BlockNo, Qty, Price, Total, Comment, ...
    QString Caption;
    bool ReadOnly = false;
    bool Number = false;
    int Decimals = 0; // of number columns: 4 for quantities and prices, 2 for amounts
};

struct TBillFormula
{
    QString Column;  // the column it computes
    QString Formula; // the stored form: lower-case column names, numbers and operators
};

class TBillLayout
{
public:
    // The layout of the bill type; the header fields and columns the window supports, in their order.
    static TBillLayout Load(accountdb::AccountDatabase &db, int vchType);

    QList<TBillField> Fields;
    QList<TBillColumn> Columns;
    QList<TBillFormula> Formulas;

    int ColumnIndex(const QString &column) const; // -1 when the layout does not show it
    // Recomputes the line after `changed` was typed: the formulas of the other columns, in their
    // order; without a formula for the amount, amount = quantity × price. `values` holds the line's
    // numbers by lower-case column name. Returns the columns it changed.
    QStringList Recalculate(QHash<QString, double> &values, const QString &changed) const;
};
