#include "ClientDataSet.h"

#include "QuillExceptions.h"

#include <algorithm>

namespace {
int CompareVariants(const QVariant &a, const QVariant &b)
{
    const bool an = a.isNull(), bn = b.isNull();
    if (an || bn)
        return an == bn ? 0 : (an ? -1 : 1);
    const auto numeric = [](const QVariant &v) {
        switch (v.typeId()) {
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::LongLong:
        case QMetaType::ULongLong:
        case QMetaType::Double:
        case QMetaType::Float:
        case QMetaType::Bool:
            return true;
        default:
            return false;
        }
    };
    if (numeric(a) && numeric(b)) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : (x > y ? 1 : 0);
    }
    return QString::compare(a.toString(), b.toString());
}
} // namespace

QString TField::FieldName() const
{
    return FDataSet->FFieldNames.at(FIndex);
}
QVariant TField::Value() const
{
    return FDataSet->CellValue(FIndex);
}
QString TField::AsString() const
{
    return Value().toString();
}
int TField::AsInteger() const
{
    const QVariant v = Value();
    if (v.typeId() == QMetaType::QString)
        return v.toString().trimmed().toInt();
    return static_cast<int>(v.toLongLong());
}
qint64 TField::AsLargeInt() const
{
    const QVariant v = Value();
    if (v.typeId() == QMetaType::QString)
        return v.toString().trimmed().toLongLong();
    return v.toLongLong();
}
double TField::AsFloat() const
{
    const QVariant v = Value();
    if (v.typeId() == QMetaType::QString)
        return v.toString().trimmed().toDouble();
    return v.toDouble();
}
bool TField::AsBoolean() const
{
    const QVariant v = Value();
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString().trimmed();
        return s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0 || s.toInt() != 0;
    }
    return v.toBool();
}
bool TField::IsNull() const
{
    return Value().isNull();
}
void TField::SetValue(const QVariant &value)
{
    FDataSet->SetCellValue(FIndex, value);
}

void TClientDataSet::SetFieldNames(const QStringList &names)
{
    FFieldNames = names;
    FIndexOf.clear();
    for (int i = 0; i < names.size(); ++i)
        FIndexOf.insert(names.at(i).toLower(), i);
    FRows.clear();
    Rebuild();
}

int TClientDataSet::FieldIndex(const QString &name) const
{
    return FIndexOf.value(name.toLower(), -1);
}

void TClientDataSet::AddField(const QString &name, const QVariant &defaultValue)
{
    if (HasField(name))
        return;
    FIndexOf.insert(name.toLower(), FFieldNames.size());
    FFieldNames.append(name);
    for (Row &r : FRows)
        r.append(defaultValue);
}

void TClientDataSet::Clear()
{
    FFieldNames.clear();
    FIndexOf.clear();
    FRows.clear();
    FFilter = nullptr;
    FFiltered = false;
    FIndexFieldNames.clear();
    Rebuild();
}

void TClientDataSet::EmptyDataSet()
{
    FRows.clear();
    Rebuild();
}

void TClientDataSet::AppendRow(const Row &values)
{
    Row row = values;
    while (row.size() < FFieldNames.size())
        row.append(QVariant());
    row.resize(FFieldNames.size());
    FRows.append(row);
    const int stored = FRows.size() - 1;
    Rebuild();
    const int pos = FVisible.indexOf(stored);
    FCursor = pos >= 0 ? pos : FVisible.size();
}

void TClientDataSet::Append()
{
    AppendRow(Row());
}

void TClientDataSet::First()
{
    FCursor = 0;
}
void TClientDataSet::Last()
{
    FCursor = std::max(0, int(FVisible.size()) - 1);
}
void TClientDataSet::Next()
{
    if (FCursor < FVisible.size())
        ++FCursor;
}
void TClientDataSet::Prior()
{
    if (FCursor > 0)
        --FCursor;
}
void TClientDataSet::SetRecNo(int recNo)
{
    FCursor = std::clamp(recNo - 1, 0, int(FVisible.size()));
}

bool TClientDataSet::Locate(const QString &fieldName, const QVariant &value, bool caseInsensitive)
{
    const int f = FieldIndex(fieldName);
    if (f < 0)
        return false;
    for (int i = 0; i < FVisible.size(); ++i) {
        const QVariant &v = FRows.at(FVisible.at(i)).at(f);
        const bool same = caseInsensitive ? v.toString().compare(value.toString(), Qt::CaseInsensitive) == 0
                                          : CompareVariants(v, value) == 0;
        if (same) {
            FCursor = i;
            return true;
        }
    }
    return false;
}

void TClientDataSet::Delete()
{
    const int stored = CurrentStored();
    if (stored < 0)
        return;
    const int keep = FCursor;
    FRows.removeAt(stored);
    Rebuild();
    FCursor = std::min(keep, int(FVisible.size()));
}

TField TClientDataSet::FieldByName(const QString &name)
{
    const int f = FieldIndex(name);
    if (f < 0)
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    return TField(this, f);
}

QVariant TClientDataSet::Value(const QString &name) const
{
    const int f = FieldIndex(name);
    if (f < 0)
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    return CellValue(f);
}

void TClientDataSet::SetValue(const QString &name, const QVariant &value)
{
    const int f = FieldIndex(name);
    if (f < 0)
        throw EDatabaseError(QStringLiteral("Field '%1' not found").arg(name));
    SetCellValue(f, value);
}

const TClientDataSet::Row &TClientDataSet::CurrentRow() const
{
    const int stored = CurrentStored();
    if (stored < 0)
        throw EDatabaseError(QStringLiteral("Dataset has no current row"));
    return FRows.at(stored);
}

QVariant TClientDataSet::ValueIn(const Row &row, const QString &name) const
{
    const int f = FieldIndex(name);
    return f >= 0 && f < row.size() ? row.at(f) : QVariant();
}

void TClientDataSet::SetFilter(Filter filter)
{
    FFilter = std::move(filter);
    Rebuild();
    FCursor = 0;
}

void TClientDataSet::SetFiltered(bool on)
{
    FFiltered = on;
    Rebuild();
    FCursor = 0;
}

void TClientDataSet::SetIndexFieldNames(const QString &fieldNames)
{
    FIndexFieldNames = fieldNames;
    Rebuild();
    FCursor = 0;
}

QVariant TClientDataSet::CellValue(int field) const
{
    const int stored = CurrentStored();
    if (stored < 0)
        throw EDatabaseError(QStringLiteral("Dataset has no current row"));
    return FRows.at(stored).at(field);
}

void TClientDataSet::SetCellValue(int field, const QVariant &value)
{
    const int stored = CurrentStored();
    if (stored < 0)
        throw EDatabaseError(QStringLiteral("Dataset has no current row"));
    FRows[stored][field] = value;
}

int TClientDataSet::CurrentStored() const
{
    return FCursor >= 0 && FCursor < FVisible.size() ? FVisible.at(FCursor) : -1;
}

void TClientDataSet::Rebuild()
{
    FVisible.clear();
    FVisible.reserve(FRows.size());
    for (int i = 0; i < FRows.size(); ++i)
        if (!FFiltered || !FFilter || FFilter(*this, FRows.at(i)))
            FVisible.append(i);
    if (!FIndexFieldNames.isEmpty()) {
        QList<int> keys;
        for (const QString &n : FIndexFieldNames.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            if (const int f = FieldIndex(n.trimmed()); f >= 0)
                keys.append(f);
        std::stable_sort(FVisible.begin(), FVisible.end(), [&](int a, int b) {
            for (int f : keys) {
                const int c = CompareVariants(FRows.at(a).at(f), FRows.at(b).at(f));
                if (c != 0)
                    return c < 0;
            }
            return false;
        });
    }
    FCursor = std::min(FCursor, int(FVisible.size()));
}
