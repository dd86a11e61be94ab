#pragma once
// In-memory dataset: rows of named fields with a cursor (First/Next/Eof), filtering,
// editing, deleting and sorting. Field names compare case-insensitively.

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

#include "quillcmrunstd_export.h"

class TClientDataSet;

// A field of the current row; reads convert the stored value leniently (Null reads as 0 / "").
class QUILLCMRUNSTD_EXPORT TField
{
public:
    TField(TClientDataSet *ds, int index) : FDataSet(ds), FIndex(index) {}
    QString FieldName() const;
    QVariant Value() const;
    QString AsString() const;
    int AsInteger() const;
    qint64 AsLargeInt() const;
    double AsFloat() const;
    bool AsBoolean() const;
    bool IsNull() const;
    void SetValue(const QVariant &value);
    void SetAsString(const QString &v) { SetValue(v); }
    void SetAsInteger(int v) { SetValue(v); }
    void SetAsFloat(double v) { SetValue(v); }
    void SetAsBoolean(bool v) { SetValue(v); }

private:
    TClientDataSet *FDataSet;
    int FIndex;
};

class QUILLCMRUNSTD_EXPORT TClientDataSet
{
public:
    using Row = QVariantList;
    // A filter sees each stored row; ValueIn reads a field of it by name.
    using Filter = std::function<bool(const TClientDataSet &, const Row &)>;

    TClientDataSet() = default;
    explicit TClientDataSet(const QStringList &fieldNames) { SetFieldNames(fieldNames); }

    // Structure
    void SetFieldNames(const QStringList &names); // clears the rows
    const QStringList &FieldNames() const { return FFieldNames; }
    int FieldCount() const { return FFieldNames.size(); }
    int FieldIndex(const QString &name) const; // -1 when absent
    bool HasField(const QString &name) const { return FieldIndex(name) >= 0; }
    void AddField(const QString &name, const QVariant &defaultValue = {}); // keeps rows
    void Clear();                                                          // fields and rows
    void EmptyDataSet();                                                   // rows only

    // Rows and cursor; the cursor moves over the visible rows (those passing the filter).
    void AppendRow(const Row &values); // appends and makes it current
    void Append();                     // appends an empty row and makes it current
    int RecordCount() const { return FVisible.size(); }
    bool IsEmpty() const { return FVisible.isEmpty(); }
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const { return FCursor >= FVisible.size(); }
    bool Bof() const { return FCursor <= 0; }
    int RecNo() const { return FCursor + 1; } // 1-based
    void SetRecNo(int recNo);
    bool Locate(const QString &fieldName, const QVariant &value, bool caseInsensitive = false);
    void Delete(); // deletes the current row; the cursor stays on the row that follows

    // Field access on the current row.
    TField FieldByName(const QString &name); // throws EDatabaseError for an unknown field
    TField Fields(int index) { return TField(this, index); }
    QVariant Value(const QString &name) const;
    void SetValue(const QString &name, const QVariant &value);
    const Row &CurrentRow() const;
    QVariant ValueIn(const Row &row, const QString &name) const;

    // Filtering: a predicate evaluated on each row; Filtered toggles it.
    void SetFilter(Filter filter);
    void SetFiltered(bool on);
    bool Filtered() const { return FFiltered; }

    // Sorting: "A;B" sorts by A then B ascending (stable); an empty text restores insertion order.
    void SetIndexFieldNames(const QString &fieldNames);
    QString IndexFieldNames() const { return FIndexFieldNames; }

    // Raw access to every stored row, filtered or not.
    int RowCountAll() const { return FRows.size(); }
    const Row &RowAt(int storedIndex) const { return FRows.at(storedIndex); }

private:
    friend class TField;
    QVariant CellValue(int field) const;
    void SetCellValue(int field, const QVariant &value);
    void Rebuild(); // recomputes the visible order after a change of rows, filter or sort
    int CurrentStored() const;

    QStringList FFieldNames;
    QHash<QString, int> FIndexOf; // lower-case name -> index
    QList<Row> FRows;
    QList<int> FVisible; // stored indexes in view order
    int FCursor = 0;
    Filter FFilter;
    bool FFiltered = false;
    QString FIndexFieldNames;
};
