// Month-end weighted average costing (goods with cost mode 4), done entirely in the database.
//
// P_Cost_Account_Month(@szPtypeID, @nCurrentPeriod, @nAllStock, @bIsGM, @bMonth)
//   For each period from @nCurrentPeriod to the last one with lines of the goods item, and for each
//   pool (stock, per warehouse when @nAllStock <> 0; consigned out; production; outsourcing), the unit
//   cost of the month is (opening amount + receipts) / (opening quantity + receipts), where returned
//   purchases and other issues at a given cost count as negative receipts. Issues whose cost is not
//   given take that cost; receipts that take the cost of an issue (a transfer's receiving line, the
//   pool side of consignment, production and outsourcing) take the cost of their issue, which may sit
//   in another pool, so the costs of linked pools are solved together by fixed-point iteration.
//   A cost that is zero (|p| < 0.0001, negative too with switch 164) or above "MaxPrice" is replaced
//   by the substitute costs of T_JXC_CostCalcOrder; when none fits, a zero cost is kept with switch
//   103 or when @bMonth = 0 (the goods item stays marked in MonthCalcCost), else the procedure returns
//   -3 and writes nothing. Writes the line costs, the FIFO list rows' costs and the balances, and
//   clears CalcCost. Results: 0 done; -1 unknown goods item; -2 a period below 1; -3 no acceptable
//   cost.

#include <QHash>
#include <QSet>
#include <QSqlQuery>
#include <cmath>
#include <functional>

#include "AccountDatabase.h"
#include "CostingCommon.h"
#include "Kvbasicfun.h"
#include "Procedures.h"

namespace accountdb {

using costing::StockKind;
using Kvbasicfun::Round2;
using Kvbasicfun::Round4;

namespace {

struct Row
{
    StockKind kind;
    bool receipt;
    QString source;
    qint64 dlyorder;
    int period;
    int vchtype;
    QString pool;
    double qty;
    double costPrice;
    double costTotal;
    double feeTotal;
    int appoint;
    QString linkSource;
    qint64 linkDlyorder;
    // Result of the calculation (rows whose cost is found here).
    bool solved = false;
    double price = 0;
    double total = 0; // fees included for receipts
};

struct Pool
{
    double qty = 0;
    double total = 0;
};

QString lineKey(const QString &source, qint64 dlyorder)
{
    return source + u'|' + QString::number(dlyorder);
}

class MonthCosting
{
public:
    MonthCosting(ProcContext &ctx, const QString &ptype, int stockMode)
        : m_ctx(ctx), m_ptype(ptype), m_stockMode(stockMode)
    {}

    void load()
    {
        for (StockKind kind : costing::kAllKinds) {
            for (const bool receipt : {true, false}) {
                const QString table = receipt ? costing::inListTable(kind) : costing::outListTable(kind);
                const QString link =
                    receipt ? QStringLiteral("GetVchSource, GetCostDlyorder") : QStringLiteral("'', 0");
                const ResultSet rs = m_ctx.database().query(
                    QStringLiteral("SELECT VchSource, Dlyorder, Period, Vchtype, KtypeID, Qty, "
                                   "CostPrice, CostTotal, FeeTotal, Appoint, %2 FROM %1 "
                                   "WHERE PtypeID = ? AND Qty <> 0 "
                                   "ORDER BY Period, Date, Vchcode, Dlyorder")
                        .arg(table, link),
                    {m_ptype});
                for (const QVariantList &v : rs.rows) {
                    Row r{kind,
                          receipt,
                          v[0].toString(),
                          v[1].toLongLong(),
                          v[2].toInt(),
                          v[3].toInt(),
                          costing::kindName(kind) + u'|' +
                              (kind == StockKind::Stock && m_stockMode != 0 ? v[4].toString() : QString()),
                          v[5].toDouble(),
                          v[6].toDouble(),
                          v[7].toDouble(),
                          v[8].toDouble(),
                          v[9].toInt(),
                          v[10].toString().toLower(),
                          v[11].toLongLong()};
                    m_rows.append(r);
                }
            }
        }
        for (int i = 0; i < m_rows.size(); ++i) {
            if (!m_rows[i].receipt)
                m_outIndex.insert(lineKey(m_rows[i].source, m_rows[i].dlyorder), i);
            m_lastPeriod = std::max(m_lastPeriod, m_rows[i].period);
        }
    }

    int lastPeriod() const { return m_lastPeriod; }

    // Balances before `period` from the stored costs.
    void openAt(int period)
    {
        for (const Row &r : std::as_const(m_rows)) {
            if (r.period >= period)
                continue;
            Pool &p = m_pools[r.pool];
            const double sign = r.receipt ? 1 : -1;
            p.qty += sign * r.qty;
            p.total += sign * (r.costTotal + (r.receipt ? r.feeTotal : 0));
        }
    }

    // Solves one period; false when a cost is needed and none is acceptable while zero is refused.
    bool
    solvePeriod(int period,
                const std::function<bool(const QString &pool, const Pool &open, double &price)> &substitute)
    {
        QList<int> rows;
        for (int i = 0; i < m_rows.size(); ++i) {
            if (m_rows[i].period == period)
                rows << i;
        }
        QHash<QString, double> price; // unit cost per pool of this period
        QHash<QString, bool> needsCost;
        for (int i : rows) {
            const Row &r = m_rows[i];
            price.insert(r.pool, openingPrice(r.pool));
            if (!r.receipt && r.appoint != 1)
                needsCost[r.pool] = true;
        }
        QSet<QString> fixed;
        for (int round = 0; round < 2; ++round) {
            iterate(rows, price, fixed);
            bool changed = false;
            for (auto it = needsCost.cbegin(); it != needsCost.cend(); ++it) {
                const double p = price.value(it.key());
                if (fixed.contains(it.key()) || acceptable(p))
                    continue;
                double s = p;
                if (!substitute(it.key(), m_pools.value(it.key()), s))
                    return false;
                price[it.key()] = s;
                fixed.insert(it.key());
                changed = true;
            }
            if (!changed)
                break;
        }
        // Results and the balances carried into the next period.
        for (int i : rows) {
            Row &r = m_rows[i];
            Pool &pool = m_pools[r.pool];
            if (r.receipt) {
                if (r.appoint != 1) {
                    const double p = r.linkDlyorder != 0 ? linkedPrice(r, price) : price.value(r.pool);
                    r.total = Round2(Round2(r.qty * p) + r.feeTotal);
                    r.price = Round4(r.total / r.qty);
                    r.solved = true;
                    pool.total += r.total;
                } else {
                    pool.total += r.costTotal + r.feeTotal;
                }
                pool.qty += r.qty;
            } else {
                if (r.appoint != 1) {
                    r.price = Round4(price.value(r.pool));
                    r.total = Round2(r.qty * price.value(r.pool));
                    r.solved = true;
                    pool.total -= r.total;
                } else {
                    pool.total -= r.costTotal;
                }
                pool.qty -= r.qty;
            }
        }
        return true;
    }

    const QList<Row> &rows() const { return m_rows; }
    void setLimits(double maxPrice, bool minusIsZero)
    {
        m_maxPrice = maxPrice;
        m_minusIsZero = minusIsZero;
    }
    bool acceptable(double p) const
    {
        const bool zero = std::fabs(p) < 0.0001 || (m_minusIsZero && p < 0);
        return !zero && std::fabs(p) <= std::fabs(m_maxPrice);
    }
    bool tooLarge(double p) const { return std::fabs(p) > std::fabs(m_maxPrice); }

private:
    double openingPrice(const QString &pool) const
    {
        const Pool p = m_pools.value(pool);
        return p.qty > 0 ? p.total / p.qty : 0;
    }

    double linkedPrice(const Row &r, const QHash<QString, double> &price) const
    {
        const auto it = m_outIndex.constFind(lineKey(r.linkSource, r.linkDlyorder));
        if (it == m_outIndex.constEnd())
            return 0;
        const Row &out = m_rows[it.value()];
        if (out.appoint == 1)
            return out.qty != 0 ? out.costTotal / out.qty : out.costPrice;
        if (out.period != r.period)
            return out.solved ? out.total / out.qty : out.costPrice;
        return price.value(out.pool);
    }

    // Fixed-point iteration of the pool costs of one period.
    void iterate(const QList<int> &rows, QHash<QString, double> &price, const QSet<QString> &fixed)
    {
        for (int step = 0; step < 500; ++step) {
            QHash<QString, Pool> sums;
            for (auto it = price.cbegin(); it != price.cend(); ++it)
                sums[it.key()] = m_pools.value(it.key());
            for (int i : rows) {
                const Row &r = m_rows[i];
                Pool &s = sums[r.pool];
                if (r.receipt) {
                    s.qty += r.qty;
                    if (r.appoint == 1)
                        s.total += r.costTotal + r.feeTotal;
                    else if (r.linkDlyorder != 0)
                        s.total += r.qty * linkedPrice(r, price) + r.feeTotal;
                    else
                        s.total += r.qty * price.value(r.pool);
                } else if (r.appoint == 1) {
                    s.qty -= r.qty;
                    s.total -= r.costTotal;
                }
            }
            double change = 0;
            for (auto it = sums.cbegin(); it != sums.cend(); ++it) {
                if (fixed.contains(it.key()))
                    continue;
                const double p =
                    it.value().qty > 0 ? it.value().total / it.value().qty : openingPrice(it.key());
                change = std::max(change, std::fabs(p - price.value(it.key())));
                price[it.key()] = p;
            }
            if (change < 1e-10)
                return;
        }
    }

    ProcContext &m_ctx;
    QString m_ptype;
    int m_stockMode;
    QList<Row> m_rows;
    QHash<QString, int> m_outIndex;
    QHash<QString, Pool> m_pools;
    int m_lastPeriod = 0;
    double m_maxPrice = 1e10;
    bool m_minusIsZero = false;
};

int accountMonth(ProcContext &ctx)
{
    const QString ptype = ctx.in(QStringLiteral("@szPtypeID")).toString().trimmed();
    const int current = ctx.in(QStringLiteral("@nCurrentPeriod")).toInt();
    const int stockMode = ctx.in(QStringLiteral("@nAllStock")).toInt();
    const bool isGM = ctx.in(QStringLiteral("@bIsGM")).toBool();
    const bool refuseZero = ctx.in(QStringLiteral("@bMonth")).toBool();
    AccountDatabase &db = ctx.database();
    // Period 0 holds the opening balances, which no calculation may replace.
    if (current < 1)
        return -2;

    const ResultSet goods =
        db.query(QStringLiteral("SELECT RecPrice, RefPrice FROM ptype WHERE typeId = ?"), {ptype});
    if (goods.rows.isEmpty())
        return -1;
    const double recPrice = goods.rows[0][0].toDouble();
    const double refPrice = goods.rows[0][1].toDouble();

    double maxPrice =
        ctx.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'MaxPrice'"))
            .toDouble();
    if (maxPrice == 0)
        maxPrice = 1e10;
    const bool canZero = costing::sysCon(db, 103);
    QStringList order;
    const ResultSet names = db.query(
        QStringLiteral("SELECT CostName FROM T_JXC_CostCalcOrder WHERE CostMode = ? ORDER BY CostOrder"),
        {costing::sysInt(db, QStringLiteral("ZeroCostSelect"), 0)});
    for (const QVariantList &r : names.rows)
        order << r[0].toString();

    MonthCosting calc(ctx, ptype, stockMode);
    calc.setLimits(maxPrice, costing::sysCon(db, 164));
    calc.load();
    calc.openAt(current);
    bool zeroKept = false;
    const auto substitute = [&](const QString &, const Pool &open, double &price) {
        for (const QString &name : std::as_const(order)) {
            double p = 0;
            if (name == u"最近采购价")
                p = recPrice;
            else if (name == u"参考成本")
                p = refPrice;
            else if (name == u"上期结存成本")
                p = open.qty != 0 && open.total != 0 ? open.total / open.qty : 0;
            else
                continue;
            if (calc.acceptable(p)) {
                price = p;
                return true;
            }
        }
        if ((canZero && !calc.tooLarge(price)) || !refuseZero) {
            zeroKept = zeroKept || !refuseZero;
            return true;
        }
        return false;
    };
    for (int period : costing::periodsFrom(db, current)) {
        if (period > calc.lastPeriod())
            break;
        if (!calc.solvePeriod(period, substitute))
            return -3;
    }

    costing::LineCostWriter writer(db);
    for (const Row &r : calc.rows()) {
        if (!r.solved)
            continue;
        const QString table = costing::knownLineTable(r.source);
        if (!table.isEmpty())
            writer.write(table, r.dlyorder, ptype, r.price, r.total, -1);
    }
    costing::writeBalancesFromLists(db, ptype, current, stockMode, isGM);
    ctx.exec(QStringLiteral("UPDATE ptype SET CalcCost = 0, MonthCalcCost = ? WHERE typeId = ?"),
             {zeroKept ? 1 : 0, ptype});
    return 0;
}

} // namespace

void registerCostMonthProcs(ProcRegistry &registry)
{
    registry.add(QStringLiteral("P_Cost_Account_Month"), &accountMonth);
}

} // namespace accountdb
