#pragma once
// A print layout: per layout number and template, the paper (size, orientation, margins in mm) and, per
// detail table, which columns print, in which order and under which titles. Layouts are kept in the
// account set (T_Sys_PrintLayout, as JSON) and read by the next print of the same number and template.

#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <array>

#include "Kvprintdata.h"

struct QUILLCMRUNSTD_EXPORT TPrintColumn
{
    QString Name;    // the column title of the data
    QString Caption; // what prints (empty: the name)
    bool Visible = true;
    bool operator==(const TPrintColumn &) const = default;
};

class QUILLCMRUNSTD_EXPORT TPrintLayout
{
public:
    QPageSize::PageSizeId Paper = QPageSize::A4;
    QPageLayout::Orientation Orientation = QPageLayout::Portrait;
    QMarginsF Margins{15, 15, 15, 15}; // left, top, right, bottom in mm
    // Per detail: the columns the designer arranged; empty = every column as the data has it.
    std::array<QList<TPrintColumn>, PrintDetailCount> Columns;

    QPageLayout PageLayout() const;
    // The detail as this layout prints it: arranged columns in their order, then columns the layout does
    // not know yet (new in the window) at the end.
    TPrintTable Apply(int detail, const TPrintTable &table) const;
    // The designer's starting list for a detail: the arranged columns, then the table's unknown ones.
    QList<TPrintColumn> ColumnsFor(int detail, const TPrintTable &table) const;

    QByteArray ToJson() const;
    // An unreadable text gives the default layout.
    static TPrintLayout FromJson(const QByteArray &json);

    // Through the host database service. Load gives the default layout when none is saved.
    static TPrintLayout Load(int printId, const QString &templateName);
    void Save(int printId, const QString &templateName) const;

    bool operator==(const TPrintLayout &) const = default;
};
