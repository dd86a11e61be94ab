#pragma once
// Base data the host's selection dialogs offer, by kind: where each kind lives in the account set
// and how a search by code or by name reads it. A kind whose table the account set does not have
// (yet) reads as an empty list.

#include <QList>
#include <QString>
#include <QStringList>

#include "Udatastructure.h"

namespace accountdb {
class AccountDatabase;
}

struct TBaseKind
{
    QString Kind;    // "Vchtype", "Ptype", "Stock", "Employee", "Unit", "Department", "Atype", "Btype"
    QString Caption; // what the dialog calls it ("存货")
    QString Table;   // the account set's table; empty when it has none
    QString IdColumn, CodeColumn, NameColumn;
    QStringList Conditions; // fixed conditions of the kind (no deleted rows, no classes)
    QString PinyinColumn;   // the initials of the name, when the table keeps them
};

enum class TBaseSearchField { Code, Name };

namespace HostBaseData {
// The known kinds, in the order a picker lists them.
QStringList Kinds();
// The kind resolved against the account set. Kind names compare without regard to case; an unknown
// kind has an empty caption and no table.
TBaseKind Resolve(accountdb::AccountDatabase &db, const QString &kind);
// Rows of the kind ordered by code. A code search matches codes that begin with the text, a name
// search names that contain it (or whose pinyin initials begin with it); an empty text matches every row. A
// non-empty idPrefix keeps only rows whose id begins with it (the sub-accounts of an account).
TBaseRecordList Find(accountdb::AccountDatabase &db, const TBaseKind &kind, TBaseSearchField field,
                     const QString &text, const QString &idPrefix = QString());
// The text as a LIKE pattern that matches it literally ("\" escapes "%", "_" and itself).
QString EscapeLike(const QString &text);
} // namespace HostBaseData
