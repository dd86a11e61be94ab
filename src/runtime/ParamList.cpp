#include "ParamList.h"

TParamList::TParamList(const QStringList &names, const QVariantList &values)
{
    for (int i = 0; i < names.size(); ++i)
        Add(names.at(i), i < values.size() ? values.at(i) : QVariant());
}

void TParamList::Add(const QString &name, const QVariant &value, bool isOutput)
{
    FItems.append(TParam{name, value, isOutput});
}

void TParamList::SetValue(const QString &name, const QVariant &value)
{
    if (TParam *p = FindParam(name)) {
        p->Value = value;
        p->IsOutput = true;
    } else
        Add(name, value, true);
}

TParam *TParamList::FindParam(const QString &name)
{
    for (TParam &p : FItems)
        if (p.Name.compare(name, Qt::CaseInsensitive) == 0)
            return &p;
    return nullptr;
}

const TParam *TParamList::FindParam(const QString &name) const
{
    return const_cast<TParamList *>(this)->FindParam(name);
}

QVariant TParamList::ParamByName(const QString &name) const
{
    const TParam *p = FindParam(name);
    return p ? p->Value : QVariant();
}
