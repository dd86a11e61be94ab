#pragma once
// Base-data rights: per kind of base record (customers, suppliers, warehouses, goods, departments,
// accounts) rights groups list the records their members may use; an operator belongs to at most one
// group per kind. Group 1 of every kind is the super group (every record); the accounting supervisor
// and an operator without a group of the kind are not restricted either.
//
// What an operator may not use is one definition per kind: the views V_UserNotBrights (units: customers
// and suppliers), V_UserNotKrights, V_UserNotDrights, V_UserNotPrights, V_UserNotArights, each with the
// columns EtypeID and TypeId. Every query that must leave out forbidden records joins one of them on the
// operator as a bound value, e.g. notAllowedSql('K') -> "SELECT TypeId FROM V_UserNotKrights WHERE
// EtypeID = ?". Classes (records with children) are never forbidden: grants are made on leaves.

#include <QList>
#include <QString>

namespace accountdb::baserights {

struct Kind
{
    QChar code;      // C S K P D A
    QString caption; // as the kind list shows it
    QString groupTable, groupColumn, memberTable, grantTable;
    QString baseTable;  // the records of the kind
    QString baseFilter; // extra condition on the base table ("" = none), e.g. customers of btype
    int billBaseType;
};

// The six kinds in the order the rights window offers them.
const QList<Kind> &kinds();
// nullptr for an unknown code.
const Kind *kind(QChar code);

// One SELECT of the TypeId of every record the operator (one "?" parameter) may not use. Codes: the
// kinds above, and 'B' for units (customers and suppliers together).
QString notAllowedSql(QChar code);

// The view DDL (schema step).
QStringList viewDdl();

} // namespace accountdb::baserights
