#pragma once
// Posting of stock bills: writes the bill (DlyNdx and its lines), one FIFO list row per line, the
// stock quantities, and marks the goods for cost calculation. Used by P_Jxc_PostBill for one bill and
// by the demo generator for many bills in one transaction (statements prepared once and reused;
// quantities and marks gathered in memory and written by flush()).
//
// Line quantities are given positive; the line's direction comes from its bill type and UsedType.
// A receiving line that takes its cost from another line of the same bill (transfer, consignment,
// production and outsourcing pairs) names it with sourceLine (1-based position in the bill); without
// it the nearest line of the same goods with the paired UsedType is taken, the earlier one first.

#include <QHash>
#include <QList>
#include <QSet>
#include <QSqlQuery>
#include <QString>

namespace accountdb {

class AccountDatabase;
class ProcContext;

struct PostLine
{
    QString ptypeId;
    QString ktypeId; // empty: the bill's warehouse (the receiving one for transfer receipts)
    QString blockNo;
    double qty = 0;   // > 0
    double price = 0; // unit price of the line
    double total = 0; // amount; when 0 with a price, Round2(qty * price)
    double feeTotal = 0;
    int usedType = 0;
    int appoint = -1;          // only where the bill type lets the line say (other issues)
    int sourceLine = 0;        // paired line of this bill, 1-based; 0 = found by the rule above
    qint64 sourceDlyorder = 0; // line of an earlier bill (sales return: its sale; outsourcing return)
    QString comment;
};

struct PostBill
{
    qint64 vchcode = 0; // 0: a new code; otherwise the code the bill keeps (a bill leaving its audit)
    int vchtype = 0;
    QString date; // yyyy-MM-dd
    QString number;
    QString btypeId;
    QString etypeId;
    QString ktypeId;
    QString ktypeId2; // receiving warehouse of a transfer
    QString dtypeId;
    QString summary;
    QString inputNo;
    QList<PostLine> lines;
};

// The bill of a posting procedure's inputs (@nVchType, @szDate, @szNumber, @szBTypeID, @szETypeID,
// @szKTypeID, @szKTypeID2, @szDTypeID, @szSummary, @szOperatorID, @szXML); false with a message when
// the line document is malformed.
bool readPostBill(ProcContext &ctx, PostBill &bill, QString &error);

class BillPoster
{
public:
    // Error codes of post().
    enum Error {
        UnknownBillType = -1,
        BadDate = -2,
        ClosedPeriod = -3,
        UnknownGoods = -4,
        UnknownWarehouse = -5,
        BadLine = -6,
        OpeningAfterStart = -7,
    };

    explicit BillPoster(AccountDatabase &db);
    ~BillPoster();
    BillPoster(const BillPoster &) = delete;
    BillPoster &operator=(const BillPoster &) = delete;

    // Checks the whole bill first and writes nothing when it is refused. Returns the new Vchcode, or
    // an Error with lastError() saying why.
    qint64 post(const PostBill &bill);
    // Writes the gathered stock quantities and goods marks; call it before committing.
    void flush();
    QString lastError() const { return m_error; }
    // Dlyorder of each line of the last posted bill, in line order.
    QList<qint64> lastDlyorders() const { return m_lastDlyorders; }
    // The period of a date (0: outside the calendar) and a new bill code, for bills stored unposted.
    int periodOf(const QString &date) const;
    qint64 takeVchcode() { return m_nextVchcode++; }

private:
    struct Period
    {
        int period;
        QString start;
        QString end;
    };

    qint64 fail(int code, const QString &message);
    bool goodsExists(const QString &ptypeId);
    bool warehouseExists(const QString &ktypeId);
    qint64 postOpening(const PostBill &bill);
    // Statements are prepared on first use and kept for the poster's life.
    QSqlQuery &run(const QString &sql, const QVariantList &params);
    qint64 nextDlyorder(const QString &table);

    AccountDatabase &m_db;
    QHash<QString, QSqlQuery> m_queries;
    QHash<QString, qint64> m_nextDlyorder;
    QHash<int, QString> m_numberHeads;
    QList<Period> m_calendar;
    QSet<int> m_billTypes;
    QHash<QString, bool> m_goods;
    QHash<QString, bool> m_warehouses;
    int m_jxcPeriod = 0;
    int m_stockMode = 0;
    bool m_opened = false;
    QString m_iniDate;
    QString m_postTime;
    qint64 m_nextVchcode = 0;
    QString m_error;
    QList<qint64> m_lastDlyorders;
    // Gathered until flush(): stock deltas (kind|goods|warehouse|batch) and goods to recalculate.
    QHash<QString, double> m_stockDelta;
    QSet<QString> m_marked;
};

} // namespace accountdb
