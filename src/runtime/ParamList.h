#pragma once
// Named procedure parameters ("@" names) with their values; outputs are read back by name.

#include <QList>
#include <QString>
#include <QVariant>

#include "quillcmrunstd_export.h"

struct TParam
{
    QString Name;
    QVariant Value;
    bool IsOutput = false;
};

class QUILLCMRUNSTD_EXPORT TParamList
{
public:
    TParamList() = default;
    // Builds a list from the parallel arrays of a procedure call.
    TParamList(const QStringList &names, const QVariantList &values);

    void Add(const QString &name, const QVariant &value, bool isOutput = false);
    // Writes an output: sets the named parameter (adding it when absent) and marks it as output.
    // Names compare case-insensitively.
    void SetValue(const QString &name, const QVariant &value);
    TParam *FindParam(const QString &name);
    const TParam *FindParam(const QString &name) const;
    QVariant ParamByName(const QString &name) const;
    bool Contains(const QString &name) const { return FindParam(name) != nullptr; }

    int Count() const { return FItems.size(); }
    bool IsEmpty() const { return FItems.isEmpty(); }
    void Clear() { FItems.clear(); }
    const TParam &At(int i) const { return FItems.at(i); }
    QList<TParam>::const_iterator begin() const { return FItems.begin(); }
    QList<TParam>::const_iterator end() const { return FItems.end(); }

private:
    QList<TParam> FItems;
};
