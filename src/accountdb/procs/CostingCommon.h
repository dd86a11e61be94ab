#pragma once
// Rules and helpers shared by the posting and the costing procedures: which stock list a bill line
// belongs to, the line tables, writing a line's cost, the period balances from the FIFO lists and the
// "<Root><Record .../></Root>" XML texts.

#include <QHash>
#include <QList>
#include <QSqlQuery>
#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QXmlStreamAttributes>
#include <optional>

namespace accountdb {

class AccountDatabase;

namespace costing {

enum class StockKind { Stock, Commission, Produce, Consign };
constexpr StockKind kAllKinds[] = {StockKind::Stock, StockKind::Commission, StockKind::Produce,
                                   StockKind::Consign};

QString kindName(StockKind kind); // "Stock", "Commission", "Produce", "Consign"
std::optional<StockKind> kindFromName(const QString &name);
QString inListTable(StockKind kind);  // T_FIFO_InList_<kind>
QString outListTable(StockKind kind); // T_FIFO_OutList_<kind>
// Balance table of the kind and its goods column (GoodsStocksCost.PtypeId, CommissionCost.PTypeID, ...).
QString balanceTable(StockKind kind);

// A line's Vchtype above 10000 is a variant of base type Vchtype / 10000.
inline int baseType(int vchtype)
{
    return vchtype > 10000 ? vchtype / 10000 : vchtype;
}

// Where a bill line's cost comes from when it is not given.
enum class CostLink {
    None,       // given (Appoint 1) or an issue priced by the calculation
    PairLine,   // the other line of the same bill and goods (transfer, consignment, production pairs)
    SourceLine, // the line named by SourceDlyorder (a sales return: its sale; an outsourcing return)
};

struct LineRule
{
    StockKind kind = StockKind::Stock;
    bool receipt = true;
    int appoint = 0; // 1: cost given by the line; -1: the line says (Appoint attribute)
    CostLink link = CostLink::None;
    bool linkRequired = false; // a receipt that cannot be costed without its link
    int pairUsedType = -1;     // UsedType of the paired line (PairLine)
};

// The stock list of a line of base type b with UsedType u; nullopt when the system has no rule for it.
std::optional<LineRule> lineRule(int b, int usedType);
bool isOpeningType(int b); // 201, 203, 206, 207
StockKind openingKind(int b);
QString openingTable(int b); // DlyIni, DlyIniCom, DlyIniProduce, DlyIniConsign

// Line table of a base type: DlyBuy (6, 34, 161), DlySale (11, 26, 45), DlyOther (the rest).
QString lineTable(int b);
// The line table named by a lower-case VchSource, or an empty text for anything else.
QString knownLineTable(const QString &vchSource);

// Lines whose amount is their cost (losses, transfers, other issues, production and outsourcing lines):
// saving their cost also sets Price and Total.
bool costIsAmount(int b, int usedType, int appoint);

// Writes costs of lines: the line (CostPrice, CostTotal with the line's direction, and Price/Total when
// the amount is the cost) and its FIFO list row. What it needs of the lines and the ids of their list
// rows it reads once per table for the goods item, not once per line; one UPDATE per line and one per
// list row, each by its row id.
class LineCostWriter
{
public:
    explicit LineCostWriter(AccountDatabase &db);
    // price: unit cost; total: cost amount of the quantity (fees included; the line's direction is
    // applied here). amountIsCost: 1 / 0, or -1 to decide by costIsAmount(). Returns false, writing
    // nothing, when the line does not exist or belongs to other goods. listTable, when given, receives
    // the FIFO list table whose row of the line was written (empty when none).
    bool write(const QString &table, qint64 dlyorder, const QString &ptypeId, double price, double total,
               int amountIsCost, QString *listTable = nullptr);

private:
    struct LineInfo
    {
        int vchtype = 0;
        int usedType = 0;
        int appoint = 0;
        double qty = 0;
        double feeTotal = 0;
    };
    const QHash<qint64, LineInfo> &linesOf(const QString &table, const QString &ptypeId);
    // List row id by Dlyorder, of the rows of the goods item in `list` that come from `source`.
    const QHash<qint64, qint64> &listIdsOf(const QString &list, const QString &source);
    void startItem(const QString &ptypeId);

    AccountDatabase &m_db;
    QString m_ptype;                                 // the goods item of m_lines and m_listIds
    QHash<QString, QHash<qint64, LineInfo>> m_lines; // line table -> Dlyorder -> line
    QHash<QString, QHash<qint64, qint64>> m_listIds; // "list|source" -> Dlyorder -> list row id
};

// Inserts rows of `columns` values each (`values` holds them row after row) with multi-row INSERTs of
// a bounded size; `head` is "INSERT INTO T (a, b, c) VALUES ".
void insertRows(AccountDatabase &db, const QString &head, int columns, const QVariantList &values);

// Rewrites the balances of the goods item for every period from `fromPeriod` to the last period that
// has lines, from the rows of its FIFO lists (which carry the costs). Stock is keyed by warehouse when
// stockMode != 0. Production and outsourcing kinds only with isGM. Every key that has lines up to a
// period gets a row for it (zero rows included), so the latest period always holds the whole balance.
void writeBalancesFromLists(AccountDatabase &db, const QString &ptypeId, int fromPeriod, int stockMode,
                            bool isGM);

// MatchedQty / MatchedTotal of the goods item's FIFO receipts := what the stored matches of issues in
// periods before `period` took from them.
void refreshMatched(AccountDatabase &db, const QString &ptypeId, int period);

// The attributes of one Record element, as the reader hands them over (no copy of the texts).
class XmlRecord
{
public:
    XmlRecord() = default;
    explicit XmlRecord(QXmlStreamAttributes attributes) : m_attributes(std::move(attributes)) {}
    bool contains(const QString &name) const { return m_attributes.hasAttribute(name); }
    QString value(const QString &name) const { return m_attributes.value(name).toString(); }
    QStringView view(const QString &name) const { return m_attributes.value(name); }

private:
    QXmlStreamAttributes m_attributes;
};

// "<Root><Record a="..."/>...</Root>": the attributes of each Record of the root, or of the sections
// below it (section name -> records). Returns false with a message on malformed text or other elements.
bool parseRecords(const QString &xml, QList<XmlRecord> &records, QString *error);
bool parseSections(const QString &xml, QHash<QString, QList<XmlRecord>> &sections, QString *error);
// Attribute as number; false when absent or not a number.
bool numberAttr(const XmlRecord &r, const QString &name, double &value);
bool intAttr(const XmlRecord &r, const QString &name, qint64 &value);

// Calendar periods from `from` on (T_Gbl_MonthProc), in order.
QList<int> periodsFrom(AccountDatabase &db, int from);
int sysInt(AccountDatabase &db, const QString &name, int fallback);
bool sysCon(AccountDatabase &db, int conId);

// Connection settings for a long run of bulk writes (on) and back to the usual ones (off). On a file
// the write-ahead log may grow to 1 GB before it is copied back (once more at the end), 256 MB of
// pages stay in the cache and savepoint journals are kept in memory; a server tunes itself (none).
QStringList bulkWriteSettings(const AccountDatabase &db, bool on);

} // namespace costing
} // namespace accountdb
