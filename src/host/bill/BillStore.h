#pragma once
// A bill as the bill window edits it, read from and saved to the account set: the header by DlyNdx
// column, the lines with their goods; saving runs P_Bill_Save, reversal P_Bill_RedWord.

#include <QHash>
#include <QList>
#include <QString>

namespace accountdb {
class AccountDatabase;
}

struct TBillLine
{
    QString PtypeId;
    QHash<QString, QString> Texts;  // PUserCode, PFullName, Standard, Type, Unit, BlockNo, Comment
    QHash<QString, double> Numbers; // by lower-case column: qty, price, total, costprice, costtotal
};

enum class TBillState { New, Draft, Waiting, Returned, Posted };

struct TBill
{
    qint64 Vchcode = 0;
    int Vchtype = 0;
    TBillState State = TBillState::New;
    bool Red = false;             // a reversal, or reversed already
    QHash<QString, QString> Head; // DlyNdx column -> value (ids for the base-data fields)
    QList<TBillLine> Lines;
};

enum class TSaveMode { Draft = 0, Post = 1 };

struct TSaveResult
{
    int Code = 0; // P_Bill_Save's result
    qint64 Vchcode = 0;
    QString Number;
    QString Message; // the refusal, or the stock warnings (code -12)
};

namespace BillStore {
// The goods fields a line shows, by goods id; empty when there is no such goods item.
QHash<QString, QString> GoodsTexts(accountdb::AccountDatabase &db, const QString &ptypeId);
// Null state when the bill does not exist.
std::optional<TBill> Load(accountdb::AccountDatabase &db, qint64 vchcode);
TSaveResult Save(accountdb::AccountDatabase &db, const TBill &bill, TSaveMode mode, bool ignoreWarnings,
                 const QString &operatorId, const QString &operatorName);
// Code 0 and the reversing bill's code, or the refusal.
TSaveResult RedWord(accountdb::AccountDatabase &db, qint64 vchcode, const QString &operatorId);
// The period calendar's range that still takes bills ("yyyy-MM-dd"): the first day of the current
// inventory period and the last day of the calendar.
std::pair<QString, QString> OpenDates(accountdb::AccountDatabase &db);
} // namespace BillStore
