#pragma once
// Reading and writing base data of one kind for the windows and orvane-admin. Writes go through the
// account set's procedures (one transaction each, recorded in the event log); each returns an empty
// text on success, otherwise the reason to show.

#include <QList>
#include <QString>
#include <QVariantMap>

#include "ProcRegistry.h"
#include "procs/ProcsBaseData.h"

namespace accountdb {
class AccountDatabase;
}

struct TBaseDataRow
{
    QString TypeId, ParId;
    bool IsClass = false;
    bool Deleted = false;
    QVariantMap Fields; // UserCode, FullName, PinyinCode and the kind's fields
};

class BaseDataStore
{
public:
    BaseDataStore(accountdb::AccountDatabase &db, const accountdb::basedata::Kind &kind, QString operatorId);

    const accountdb::basedata::Kind &Kind() const { return FKind; }

    // Reads leave out the records the operator's base-data rights hide from him; writes are refused for
    // them and for an operator without the right to maintain the kind.
    // Why the operator may not change records of the kind at all; empty when he may.
    QString ChangeRefusal() const;

    // Every class of the kind, parents before children.
    QList<TBaseDataRow> Classes();
    // The records directly under a class; with a search text, the records of every class whose code
    // begins with it, whose name contains it or whose pinyin initials begin with it (case ignored).
    QList<TBaseDataRow> Records(const QString &parId, const QString &search, bool withHidden);
    // One row by id; an empty TypeId when there is none.
    TBaseDataRow Row(const QString &typeId);

    // Adds under parId (empty typeId) or edits; newId receives the record's id.
    QString Save(const QString &typeId, const QString &parId, bool isClass, const QVariantMap &fields,
                 QString *newId = nullptr);
    QString Delete(const QString &typeId);
    QString SetHidden(const QString &typeId, bool hidden);
    QString Move(const QString &typeId, const QString &parId);

private:
    QList<TBaseDataRow> Select(const QString &condition, const QVariantList &params);
    QString Call(const QString &proc, accountdb::ProcParams params, QString *newId = nullptr);

    accountdb::AccountDatabase &FDb;
    const accountdb::basedata::Kind &FKind;
    QString FOperatorId;
    QString FRightsCondition; // " AND ..." on the table as "r", or empty
    QVariantList FRightsParams;
};
