#include "DemoGenerator.h"

#include <QDate>
#include <QElapsedTimer>
#include <QHash>
#include <QSqlQuery>
#include <algorithm>
#include <cmath>
#include <random>

#include "AccountDatabase.h"
#include "DemoNames.h"
#include "Kvbasicfun.h"
#include "Transaction.h"
#include "procs/BillPoster.h"
#include "procs/CostingCommon.h"

namespace accountdb::demo {

QString generatedSetName(const QString &prefix, const DemoOptions &options, QChar sep)
{
    return QStringList{prefix, QString::number(options.goods), QString::number(options.lines),
                       QString::number(options.periods), QString::number(options.seed)}
        .join(sep);
}

bool optionsForSize(const QString &size, DemoOptions &options)
{
    const QString s = size.trimmed().toLower();
    if (s == u"small")
        options = {options.seed, 50, 2000, 2};
    else if (s == u"medium")
        options = {options.seed, 500, 100000, 6};
    else if (s == u"large")
        options = {options.seed, 2000, 1000000, 12};
    else
        return false;
    return true;
}

namespace {

using Kvbasicfun::Round2;
using Kvbasicfun::Round4;

const QString kFmt = QStringLiteral("yyyy-MM-dd");

struct Goods
{
    QString id;
    int costMode;
    double cost;
    bool batch;    // food is kept by batch
    bool material; // raw materials feed assembly, production and outsourcing
};

struct Acceptance
{
    int goods;           // product
    int material;        // its material
    qint64 productLine;  // 184 receiving line
    qint64 materialLine; // 184 outsourcing issue line
    double qty;
    QString warehouse;
};

class Generator
{
public:
    Generator(AccountDatabase &db, const DemoOptions &options) : m_db(db), m_opt(options), m_rng(options.seed)
    {}

    DemoReport run(const std::function<void(qint64, qint64)> &progress)
    {
        if (m_db.value(QStringLiteral("SELECT (SELECT count(*) FROM ptype) + (SELECT count(*) FROM DlyNdx) + "
                                      "(SELECT count(*) FROM DlyNdxIni)"))
                .toInt() != 0)
            throw DbError(QStringLiteral("演示账套只能在空账套中生成。"));
        if (m_opt.goods < 5 || m_opt.lines < 1 || m_opt.periods < 1 || m_opt.periods > 36)
            throw DbError(QStringLiteral("演示账套参数无效：存货至少 5 个，期间 1 到 36 个。"));
        // A large page cache keeps the growing line and list indexes in memory while posting.
        for (const QString &statement : costing::bulkWriteSettings(m_db, true))
            m_db.exec(statement);
        Transaction t(m_db);
        company();
        calendar();
        baseData();
        BillPoster poster(m_db);
        m_poster = &poster;
        opening();
        poster.flush();
        m_db.exec(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = '1' WHERE SubName = 'iniover'"));
        QElapsedTimer timer;
        timer.start();
        const QStringList indexes = dropLineIndexes();
        bills(progress);
        poster.flush();
        for (const QString &sql : indexes)
            m_db.exec(sql);
        m_report.seconds = double(timer.nsecsElapsed()) / 1e9;
        t.commit();
        for (const QString &statement : costing::bulkWriteSettings(m_db, false))
            m_db.exec(statement);
        m_poster = nullptr;
        return m_report;
    }

private:
    // The secondary indexes of the line tables and FIFO lists: built once after the bulk of rows is in
    // rather than kept up row by row. Returns their definitions.
    QStringList dropLineIndexes()
    {
        QStringList names, definitions;
        // Indexes that back a key constraint stay (SQLite's have no text, the server's are constraints).
        QSqlQuery q = m_db.exec(
            m_db.isServer()
                ? QStringLiteral(
                      "SELECT indexname, indexdef FROM pg_indexes WHERE schemaname = current_schema() "
                      "AND indexname NOT IN (SELECT conname FROM pg_constraint) AND "
                      "(tablename IN ('dlybuy', 'dlysale', 'dlyother') OR tablename LIKE 't_fifo_%list_%')")
                : QStringLiteral(
                      "SELECT name, sql FROM sqlite_master WHERE type = 'index' AND sql IS NOT NULL AND "
                      "(tbl_name IN ('DlyBuy', 'DlySale', 'DlyOther') OR tbl_name LIKE 'T_FIFO_%List_%')"));
        while (q.next()) {
            names << q.value(0).toString();
            definitions << q.value(1).toString();
        }
        q.finish();
        for (const QString &name : std::as_const(names))
            m_db.exec(QStringLiteral("DROP INDEX \"%1\"").arg(name));
        return definitions;
    }

    // --- random helpers -------------------------------------------------------------------------
    int uniform(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(m_rng); }
    double real(double lo, double hi) { return std::uniform_real_distribution<double>(lo, hi)(m_rng); }
    bool chance(double p) { return real(0, 1) < p; }
    template <typename T> const T &pick(const QList<T> &list)
    {
        return list[uniform(0, int(list.size()) - 1)];
    }

    // --- base data --------------------------------------------------------------------------------
    void company()
    {
        for (const auto &v : companyValues())
            m_db.exec(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = ? WHERE SubName = ?"),
                      {v.second, v.first});
        m_firstPeriod =
            m_db.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'JxcPeriod'"))
                .toString()
                .toInt();
    }

    // The periods with bills; months are added to the calendar when it ends earlier.
    void calendar()
    {
        QDate start(m_firstPeriod / 100, m_firstPeriod % 100, 1);
        if (!start.isValid())
            throw DbError(QStringLiteral("账套的进销存期间无效。"));
        for (int i = 0; i < m_opt.periods; ++i) {
            const QDate s = start.addMonths(i);
            const int period = s.year() * 100 + s.month();
            m_db.exec(QStringLiteral("INSERT INTO T_Gbl_MonthProc (Period, Year, StartDate, EndDate) "
                                     "VALUES (?, ?, ?, ?) ON CONFLICT DO NOTHING"),
                      {period, s.year(), s.toString(kFmt), s.addMonths(1).addDays(-1).toString(kFmt)});
            m_periods.append({period, s});
        }
    }

    void baseData()
    {
        const QStringList &warehouses = warehouseNames();
        for (int i = 0; i < warehouses.size(); ++i) {
            const QString id = QStringLiteral("%1").arg(i + 1, 5, 10, QChar(u'0'));
            m_db.exec(
                QStringLiteral("INSERT INTO stock (typeId, UserCode, FullName, Name) VALUES (?, ?, ?, ?)"),
                {id, QStringLiteral("CK%1").arg(i + 1, 2, 10, QChar(u'0')), warehouses[i], warehouses[i]});
            m_warehouses << id;
        }
        const QStringList &departments = departmentNames();
        for (int i = 0; i < departments.size(); ++i)
            m_db.exec(QStringLiteral(
                          "INSERT INTO Department (typeId, UserCode, FullName, Name) VALUES (?, ?, ?, ?)"),
                      {QStringLiteral("%1").arg(i + 1, 5, 10, QChar(u'0')), QStringLiteral("BM%1").arg(i + 1),
                       departments[i], departments[i]});
        const QStringList &people = employeeNames();
        for (int i = 0; i < people.size(); ++i) {
            const QString id = QStringLiteral("%1").arg(i + 1, 5, 10, QChar(u'0'));
            m_db.exec(
                QStringLiteral("INSERT INTO Employee (TypeId, UserCode, FullName, Department) "
                               "VALUES (?, ?, ?, ?) ON CONFLICT DO NOTHING"),
                {id, QStringLiteral("ZY%1").arg(i + 1), people[i], departments[i % departments.size()]});
            m_employees << id;
        }
        const QStringList &cities = cityNames();
        const int suppliers = std::max(5, m_opt.goods / 10);
        const int customers = std::max(8, m_opt.goods / 6);
        for (int i = 0; i < suppliers + customers; ++i) {
            const bool supplier = i < suppliers;
            const QString id = QStringLiteral("%1").arg(i + 1, 5, 10, QChar(u'0'));
            const QString name =
                cities[i % cities.size()] + (supplier ? QStringLiteral("供应商%1号").arg(i + 1)
                                                      : QStringLiteral("客户%1号").arg(i - suppliers + 1));
            m_db.exec(QStringLiteral("INSERT INTO btype (typeId, UserCode, FullName, Name, BtypeKind, Area) "
                                     "VALUES (?, ?, ?, ?, ?, ?)"),
                      {id, (supplier ? QStringLiteral("GYS%1") : QStringLiteral("KH%1")).arg(i + 1), name,
                       name, supplier ? 0 : 1, cities[i % cities.size()]});
            (supplier ? m_suppliers : m_customers) << id;
        }
        m_report.suppliers = suppliers;
        m_report.customers = customers;
        m_report.warehouses = int(m_warehouses.size());

        const QList<GoodsClass> &classes = goodsClasses();
        QList<int> counts(classes.size(), 0);
        for (int i = 0; i < m_opt.goods; ++i)
            ++counts[i % classes.size()];
        static const int kModes[] = {0, 0, 0, 1, 1, 1, 3, 4, 4, 0};
        int serial = 0;
        for (int c = 0; c < classes.size(); ++c) {
            const QString classId = QStringLiteral("%1").arg(c + 1, 5, 10, QChar(u'0'));
            const QString className = QString::fromUtf8(classes[c].name);
            m_db.exec(
                QStringLiteral(
                    "INSERT INTO ptype (typeId, ParId, Leveal, Sonnum, Soncount, UserCode, FullName, "
                    "Name) VALUES (?, '00000', 1, ?, ?, ?, ?, ?)"),
                {classId, counts[c], counts[c], QStringLiteral("L%1").arg(c + 1), className, className});
            for (int k = 0; k < counts[c]; ++k) {
                const QString id = classId + QStringLiteral("%1").arg(k + 1, 5, 10, QChar(u'0'));
                const QString noun = classes[c].nouns[k % classes[c].nouns.size()];
                const QString model =
                    QStringLiteral("%1-%2").arg(QChar(u'A' + uniform(0, 25))).arg(uniform(10, 999));
                const bool material = c == 4;
                const bool food = c == 3;
                const int mode = kModes[serial++ % 10];
                const double cost = Round2(real(classes[c].minCost, classes[c].maxCost));
                m_db.exec(
                    QStringLiteral(
                        "INSERT INTO ptype (typeId, ParId, Leveal, UserCode, FullName, Name, Standard, "
                        "Unit1, Costmode, RecPrice, RefPrice) VALUES (?, ?, 2, ?, ?, ?, ?, ?, ?, ?, ?)"),
                    {id, classId, QStringLiteral("SP%1").arg(serial, 5, 10, QChar(u'0')), noun + u' ' + model,
                     noun, model, material ? QStringLiteral("千克") : QStringLiteral("个"),
                     // batch costing only where batches are kept
                     food && mode == 0 ? 3 : (mode == 3 && !food ? 0 : mode), Round2(cost * real(0.95, 1.1)),
                     cost});
                m_db.exec(QStringLiteral(
                              "INSERT INTO PtypeUnit (PtypeID, OrdID, Unit1, URate) VALUES (?, 1, ?, 1), "
                              "(?, 2, ?, ?)"),
                          {id, material ? QStringLiteral("千克") : QStringLiteral("个"), id,
                           material ? QStringLiteral("吨") : QStringLiteral("箱"), material ? 1000 : 12});
                m_goods.append({id, mode, cost, food, material});
                (material ? m_materials : m_products) << int(m_goods.size() - 1);
            }
        }
        m_report.goods = int(m_goods.size());
        for (int g = 0; g < m_goods.size(); ++g) {
            m_all << g;
            if (!m_goods[g].batch && !m_goods[g].material)
                m_plain << g;
        }
    }

    // --- stock kept in memory, so that no issue takes more than there is -----------------------
    QString key(int g, const QString &w, const QString &block = {}) const
    {
        return m_goods[g].id + u'|' + w + u'|' + block;
    }
    void addStock(int g, const QString &w, const QString &block, double qty)
    {
        const QString k = key(g, w, block);
        if (!m_stock.contains(k) && m_goods[g].batch)
            m_blocks[key(g, w)] << block;
        m_stock[k] += qty;
    }
    // The batch (or '') of g in w holding most, and its quantity.
    QPair<QString, double> available(int g, const QString &w) const
    {
        if (!m_goods[g].batch)
            return {QString(), m_stock.value(key(g, w))};
        QPair<QString, double> best{QString(), 0};
        for (const QString &b : m_blocks.value(key(g, w))) {
            const double q = m_stock.value(key(g, w, b));
            if (q > best.second)
                best = {b, q};
        }
        return best;
    }
    // A goods item (from `from`) with stock in w; -1 after a few misses.
    int withStock(const QList<int> &from, const QString &w, double atLeast = 1)
    {
        for (int tries = 0; tries < 12; ++tries) {
            const int g = pick(from);
            if (available(g, w).second >= atLeast)
                return g;
        }
        return -1;
    }
    // Appends an issuing and a receiving line of goods g; the receiving one names the issuing one.
    void pair(PostBill &b, PostLine issuing, PostLine receiving, bool issuingFirst)
    {
        const int first = int(b.lines.size()) + 1;
        if (issuingFirst) {
            receiving.sourceLine = first;
            b.lines << issuing << receiving;
        } else {
            receiving.sourceLine = first + 1;
            b.lines << receiving << issuing;
        }
    }

    // --- posting ----------------------------------------------------------------------------------
    PostBill bill(int vchtype, const QString &w, const QString &partner = {})
    {
        PostBill b;
        b.vchtype = vchtype;
        b.date = m_date;
        b.ktypeId = w;
        b.btypeId = partner;
        b.etypeId = pick(m_employees);
        b.inputNo = QStringLiteral("00000");
        return b;
    }
    static PostLine line(int g, const QList<Goods> &goods, double qty, double price, int usedType = 0,
                         const QString &ktype = {}, const QString &block = {})
    {
        PostLine l;
        l.ptypeId = goods[g].id;
        l.qty = qty;
        l.price = Round4(price);
        l.total = Round2(qty * l.price);
        l.usedType = usedType;
        l.ktypeId = ktype;
        l.blockNo = block;
        return l;
    }
    PostLine line(int g, double qty, double price, int usedType = 0, const QString &ktype = {},
                  const QString &block = {})
    {
        return line(g, m_goods, qty, price, usedType, ktype, block);
    }
    QList<qint64> post(const PostBill &b, bool opening = false)
    {
        if (b.lines.isEmpty())
            return {};
        if (m_poster->post(b) < 0)
            throw DbError(QStringLiteral("演示单据过账失败：") + m_poster->lastError());
        ++m_report.bills;
        if (!opening)
            m_report.lines += b.lines.size();
        return m_poster->lastDlyorders();
    }

    void opening()
    {
        m_date = m_periods.first().start.toString(kFmt);
        for (const QString &w : m_warehouses) {
            PostBill b = bill(201, w);
            for (int g = 0; g < m_goods.size(); ++g) {
                if (!chance(0.6))
                    continue;
                const double qty = uniform(20, 200);
                const QString block = m_goods[g].batch ? QStringLiteral("QC-01") : QString();
                b.lines << line(g, qty, m_goods[g].cost * real(0.95, 1.05), 0, {}, block);
                addStock(g, w, block, qty);
            }
            post(b, true);
        }
        const QList<int> &products = m_plain;
        PostBill com = bill(203, m_warehouses.first());
        PostBill produce = bill(206, m_warehouses.first());
        PostBill consign = bill(207, m_warehouses.first());
        for (int g : products) {
            if (chance(0.1)) {
                const double qty = uniform(5, 20);
                com.lines << line(g, qty, m_goods[g].cost);
                m_commission[g] += qty;
            }
        }
        for (int g : std::as_const(m_materials)) {
            if (chance(0.2)) {
                const double qty = uniform(10, 50);
                produce.lines << line(g, qty, m_goods[g].cost);
                m_produce[g] += qty;
            }
            if (chance(0.2)) {
                const double qty = uniform(10, 50);
                consign.lines << line(g, qty, m_goods[g].cost);
                m_consign[g] += qty;
            }
        }
        post(com, true);
        post(produce, true);
        post(consign, true);
    }

    // --- the bills --------------------------------------------------------------------------------
    void purchase()
    {
        const QString w = pick(m_warehouses);
        PostBill b = bill(34, w, pick(m_suppliers));
        const int n = uniform(1, 6);
        for (int i = 0; i < n; ++i) {
            const int g = uniform(0, int(m_goods.size()) - 1);
            const double qty = uniform(10, 120);
            const QString block =
                m_goods[g].batch ? QStringLiteral("P%1-%2").arg(m_period).arg(uniform(1, 3)) : QString();
            b.lines << line(g, qty, m_goods[g].cost * real(0.9, 1.1), 0, {}, block);
            addStock(g, w, block, qty);
        }
        post(b);
    }

    // Sale (11), loss (9) or other issue (141) of goods in stock.
    void issue(int vchtype)
    {
        const QString w = pick(m_warehouses);
        PostBill b = bill(vchtype, w, vchtype == 11 ? pick(m_customers) : QString());
        const int n = vchtype == 11 ? uniform(1, 6) : uniform(1, 3);
        QList<int> goods;
        for (int i = 0; i < n; ++i) {
            const int g = withStock(m_products, w);
            if (g < 0 || goods.contains(g))
                continue;
            const auto [block, have] = available(g, w);
            const double qty = std::min(have, double(vchtype == 11 ? uniform(1, 30) : uniform(1, 3)));
            const double price = vchtype == 11 ? m_goods[g].cost * real(1.25, 1.6) : 0;
            b.lines << line(g, qty, price, 0, {}, block);
            addStock(g, w, block, -qty);
            goods << g;
        }
        const QList<qint64> lines = post(b);
        if (vchtype == 11) {
            for (int i = 0; i < lines.size(); ++i) {
                if (!m_goods[goods[i]].batch)
                    m_sales.append({goods[i], lines[i]});
            }
        }
    }

    void salesReturn()
    {
        if (m_sales.isEmpty())
            return;
        const auto [g, saleLine] = pick(m_sales);
        const QString w = pick(m_warehouses);
        PostBill b = bill(45, w, pick(m_customers));
        PostLine l = line(g, uniform(1, 3), m_goods[g].cost * 1.3);
        l.sourceDlyorder = saleLine;
        b.lines << l;
        addStock(g, w, {}, l.qty);
        post(b);
    }

    void purchaseReturn()
    {
        const QString w = pick(m_warehouses);
        const int g = withStock(m_plain, w, 2);
        if (g < 0)
            return;
        PostBill b = bill(6, w, pick(m_suppliers));
        const double qty = std::min(available(g, w).second, double(uniform(1, 5)));
        b.lines << line(g, qty, m_goods[g].cost);
        addStock(g, w, {}, -qty);
        post(b);
    }

    // Transfer between two warehouses; now and then the goods go straight back (a circle).
    void transfer()
    {
        const QString from = pick(m_warehouses);
        QString to = pick(m_warehouses);
        while (to == from)
            to = pick(m_warehouses);
        PostBill b = bill(21, from);
        b.ktypeId2 = to;
        QList<QPair<int, double>> moved;
        for (int i = uniform(1, 4); i > 0; --i) {
            const int g = withStock(m_all, from, 2);
            if (g < 0 ||
                std::any_of(moved.cbegin(), moved.cend(), [g](const auto &m) { return m.first == g; }))
                continue;
            const auto [block, have] = available(g, from);
            const double qty = std::max(1.0, std::floor(have * real(0.1, 0.5)));
            pair(b, line(g, qty, 0, 0, from, block), line(g, qty, 0, 1, to, block), true);
            addStock(g, from, block, -qty);
            addStock(g, to, block, qty);
            moved.append({g, qty});
        }
        post(b);
        if (!moved.isEmpty() && chance(0.35)) {
            PostBill back = bill(21, to);
            back.ktypeId2 = from;
            for (const auto &[g, qty] : moved) {
                const auto [block, have] = available(g, to);
                const double q = std::min(have, std::max(1.0, std::floor(qty / 2)));
                if (q <= 0)
                    continue;
                pair(back, line(g, q, 0, 0, to, block), line(g, q, 0, 1, from, block), true);
                addStock(g, to, block, -q);
                addStock(g, from, block, q);
            }
            post(back);
        }
    }

    // Assembly (components -> one product) or disassembly (one product -> parts).
    void assembly(bool disassemble)
    {
        const QString w = pick(m_warehouses);
        const QList<int> &products = m_plain;
        PostBill b = bill(16, w);
        if (!disassemble) {
            double value = 0;
            for (int i = uniform(2, 3); i > 0; --i) {
                const int m = withStock(m_materials, w, 4);
                if (m < 0)
                    continue;
                const double qty = std::min(available(m, w).second, double(uniform(2, 10)));
                b.lines << line(m, qty, 0, 1);
                addStock(m, w, {}, -qty);
                value += qty * m_goods[m].cost;
            }
            if (b.lines.isEmpty())
                return;
            const int p = pick(products);
            const double qty = uniform(1, 4);
            b.lines << line(p, qty, value / qty, 2);
            addStock(p, w, {}, qty);
        } else {
            const int p = withStock(products, w, 2);
            if (p < 0)
                return;
            const double qty = std::min(available(p, w).second, double(uniform(1, 3)));
            b.lines << line(p, qty, 0, 1);
            addStock(p, w, {}, -qty);
            const int parts = uniform(2, 3);
            for (int i = 0; i < parts; ++i) {
                const int m = pick(m_materials);
                const double q = uniform(2, 8);
                b.lines << line(m, q, qty * m_goods[p].cost / parts / q, 2);
                addStock(m, w, {}, q);
            }
        }
        post(b);
    }

    // Overflow (14) or other receipt (140) at a given cost.
    void receipt(int vchtype)
    {
        const QString w = pick(m_warehouses);
        PostBill b = bill(vchtype, w);
        for (int i = uniform(1, 3); i > 0; --i) {
            const int g = pick(m_products);
            const QString block = m_goods[g].batch ? QStringLiteral("R%1").arg(m_period) : QString();
            const double qty = uniform(1, vchtype == 14 ? 4 : 20);
            b.lines << line(g, qty, m_goods[g].cost, 0, {}, block);
            addStock(g, w, block, qty);
        }
        post(b);
    }

    // Consignment: delivery (25), settlement (26) or return (30).
    void consignment(int vchtype)
    {
        const QString w = pick(m_warehouses);
        const QList<int> &products = m_plain;
        PostBill b = bill(vchtype, w, pick(m_customers));
        for (int i = uniform(1, 3); i > 0; --i) {
            if (vchtype == 25) {
                const int g = withStock(products, w, 2);
                if (g < 0)
                    continue;
                const double qty = std::min(available(g, w).second, double(uniform(1, 10)));
                pair(b, line(g, qty, 0, 1), line(g, qty, 0, 0), true);
                addStock(g, w, {}, -qty);
                m_commission[g] += qty;
                continue;
            }
            const int g = pick(products);
            const double have = m_commission.value(g);
            if (have < 1)
                continue;
            const double qty = std::min(have, double(uniform(1, 5)));
            if (vchtype == 26)
                b.lines << line(g, qty, m_goods[g].cost * 1.4);
            else
                pair(b, line(g, qty, 0, 0), line(g, qty, 0, 1), false);
            if (vchtype == 30)
                addStock(g, w, {}, qty);
            m_commission[g] -= qty;
        }
        post(b);
    }

    // Production: material issue (172), return (173), completion (174), production loss (176).
    void production()
    {
        const QString w = pick(m_warehouses);
        const int kind = uniform(0, 9);
        if (kind < 5) {
            PostBill b = bill(172, w);
            for (int i = uniform(1, 3); i > 0; --i) {
                const int m = withStock(m_materials, w, 2);
                if (m < 0 || std::any_of(b.lines.cbegin(), b.lines.cend(),
                                         [&](const PostLine &l) { return l.ptypeId == m_goods[m].id; }))
                    continue;
                const double qty = std::min(available(m, w).second, double(uniform(2, 20)));
                pair(b, line(m, qty, 0, 1), line(m, qty, 0, 2), true);
                addStock(m, w, {}, -qty);
                m_produce[m] += qty;
            }
            post(b);
            return;
        }
        const int m = pick(m_materials);
        const double have = m_produce.value(m);
        if (have < 1)
            return;
        if (kind < 8) {
            // Completion: the product at its cost, the material used up in production.
            const int p = pick(m_plain);
            const double used = std::min(have, double(uniform(1, 10)));
            const double qty = uniform(1, 5);
            PostBill b = bill(174, w);
            b.lines << line(p, qty, (used * m_goods[m].cost + qty * m_goods[p].cost * 0.2) / qty, 1)
                    << line(m, used, 0, 2);
            addStock(p, w, {}, qty);
            m_produce[m] -= used;
            post(b);
        } else if (kind == 8) {
            const double qty = std::min(have, double(uniform(1, 5)));
            PostBill b = bill(173, w);
            pair(b, line(m, qty, 0, 2), line(m, qty, 0, 1), false);
            addStock(m, w, {}, qty);
            m_produce[m] -= qty;
            post(b);
        } else {
            PostBill b = bill(176, w);
            const double qty = std::min(have, 1.0);
            b.lines << line(m, qty, 0, 2);
            m_produce[m] -= qty;
            post(b);
        }
    }

    // Outsourcing: material issue (182/212), return (183/213), completion (184, 214), return of
    // accepted goods (189).
    void outsourcing()
    {
        const QString w = pick(m_warehouses);
        const int kind = uniform(0, 11);
        const bool simple = chance(0.4);
        if (kind < 5) {
            PostBill b = bill(simple ? 212 : 182, w, pick(m_suppliers));
            const int m = withStock(m_materials, w, 2);
            if (m < 0)
                return;
            const double qty = std::min(available(m, w).second, double(uniform(2, 20)));
            pair(b, line(m, qty, 0, 1), line(m, qty, 0, 2), true);
            addStock(m, w, {}, -qty);
            m_consign[m] += qty;
            post(b);
            return;
        }
        if (kind == 11) {
            if (m_acceptances.isEmpty())
                return;
            const Acceptance a = pick(m_acceptances);
            const double have = available(a.goods, a.warehouse).second;
            if (have < 1)
                return;
            PostBill b = bill(189, a.warehouse, pick(m_suppliers));
            PostLine product = line(a.goods, std::min(have, 1.0), 0, 1);
            product.sourceDlyorder = a.productLine;
            PostLine material = line(a.material, std::min(a.qty, 1.0), 0, 2);
            material.sourceDlyorder = a.materialLine;
            b.lines << product << material;
            addStock(a.goods, a.warehouse, {}, -product.qty);
            m_consign[a.material] += material.qty;
            post(b);
            return;
        }
        const int m = pick(m_materials);
        const double have = m_consign.value(m);
        if (have < 1)
            return;
        if (kind < 9) {
            const double used = std::min(have, double(uniform(1, 10)));
            if (simple) {
                // The material comes back processed under its own code, with the processing amount.
                PostBill b = bill(214, w, pick(m_suppliers));
                PostLine processed = line(m, used, 0, 1);
                processed.total = Round2(used * m_goods[m].cost * 0.3);
                pair(b, line(m, used, 0, 2), processed, true);
                addStock(m, w, {}, used);
                m_consign[m] -= used;
                post(b);
                return;
            }
            const int p = pick(m_plain);
            const double qty = uniform(1, 5);
            PostBill b = bill(184, w, pick(m_suppliers));
            b.lines << line(p, qty, (used * m_goods[m].cost + qty * m_goods[p].cost * 0.25) / qty, 1)
                    << line(m, used, 0, 2);
            addStock(p, w, {}, qty);
            m_consign[m] -= used;
            const QList<qint64> lines = post(b);
            m_acceptances.append({p, m, lines[0], lines[1], used, w});
        } else {
            const double qty = std::min(have, double(uniform(1, 4)));
            PostBill b = bill(simple ? 213 : 183, w, pick(m_suppliers));
            pair(b, line(m, qty, 0, 2), line(m, qty, 0, 1), false);
            addStock(m, w, {}, qty);
            m_consign[m] -= qty;
            post(b);
        }
    }

    void bills(const std::function<void(qint64, qint64)> &progress)
    {
        // Weights of the bill kinds, in percent.
        const QList<QPair<int, std::function<void()>>> kinds = {
            {22, [this] { purchase(); }},     {26, [this] { issue(11); }},
            {3, [this] { salesReturn(); }},   {2, [this] { purchaseReturn(); }},
            {11, [this] { transfer(); }},     {3, [this] { assembly(false); }},
            {2, [this] { assembly(true); }},  {2, [this] { issue(9); }},
            {2, [this] { receipt(14); }},     {3, [this] { receipt(140); }},
            {3, [this] { issue(141); }},      {4, [this] { consignment(25); }},
            {3, [this] { consignment(26); }}, {1, [this] { consignment(30); }},
            {7, [this] { production(); }},    {6, [this] { outsourcing(); }},
        };
        int weightSum = 0;
        for (const auto &k : kinds)
            weightSum += k.first;
        const qint64 target = m_opt.lines;
        qint64 nextReport = 0;
        for (int p = 0; p < m_periods.size(); ++p) {
            m_period = m_periods[p].period;
            const qint64 quota = target * (p + 1) / m_periods.size();
            const QDate start = m_periods[p].start;
            const qint64 periodStart = m_report.lines;
            while (m_report.lines < quota) {
                // Dates advance through the month with the lines.
                const qint64 share = std::max<qint64>(1, quota - periodStart);
                const int day = int((m_report.lines - periodStart) * start.daysInMonth() / share);
                m_date = start.addDays(std::min(day, start.daysInMonth() - 1)).toString(kFmt);
                int r = uniform(1, weightSum);
                for (const auto &k : kinds) {
                    r -= k.first;
                    if (r <= 0) {
                        k.second();
                        break;
                    }
                }
                if (progress && m_report.lines >= nextReport) {
                    progress(m_report.lines, target);
                    nextReport = m_report.lines + std::max<qint64>(1, target / 100);
                }
            }
        }
        if (progress)
            progress(m_report.lines, target);
    }

    struct PeriodInfo
    {
        int period;
        QDate start;
    };

    AccountDatabase &m_db;
    DemoOptions m_opt;
    std::mt19937 m_rng;
    BillPoster *m_poster = nullptr;
    DemoReport m_report;
    int m_firstPeriod = 0;
    int m_period = 0;
    QString m_date;
    QList<PeriodInfo> m_periods;
    QStringList m_warehouses, m_suppliers, m_customers, m_employees;
    QList<Goods> m_goods;
    QList<int> m_products, m_materials, m_all, m_plain; // m_plain: products kept without batches
    QHash<QString, double> m_stock;
    QHash<QString, QStringList> m_blocks;
    QHash<int, double> m_commission, m_produce, m_consign;
    QList<QPair<int, qint64>> m_sales;
    QList<Acceptance> m_acceptances;
};

} // namespace

DemoReport generateDemo(AccountDatabase &db, const DemoOptions &options,
                        const std::function<void(qint64 done, qint64 target)> &progress)
{
    Generator generator(db, options);
    return generator.run(progress);
}

} // namespace accountdb::demo
