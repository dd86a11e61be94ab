#pragma once
// What a print is made of: the header lines (ordered name/value pairs) and up to three detail tables.
// A table is plain text: its column titles, its rows and, when it has one, its totals row.

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include "quillcmrunstd_export.h"

using TPrintHeader = QList<QPair<QString, QString>>;

struct QUILLCMRUNSTD_EXPORT TPrintTable
{
    QString Title;           // printed above the table when the print has several
    QStringList Columns;     // column titles, also the names a print layout refers to
    QList<QStringList> Rows; // one text per column
    QStringList Totals;      // the totals row (same width as Columns); empty when the table has none

    bool IsEmpty() const { return Columns.isEmpty(); }
    bool HasTotals() const { return !Totals.isEmpty(); }
    // The same table with only the given columns, in that order, retitled; unknown names are skipped.
    TPrintTable Select(const QList<QPair<QString, QString>> &columnsAndTitles) const;
};

// The number of print details (detail 1 .. 3).
constexpr int PrintDetailCount = 3;
