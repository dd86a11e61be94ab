// FIFO costing core: matching, pricing, the cost equations and the update XML.
#include <QtTest>

#include "Kvbasicfun.h"
#include "QuillExceptions.h"
#include "uCostCalcProcess.h"
#include "uCostEquation.h"

#include <cmath>
#include <cstring>
#include <random>

using CostRounding::Round2;
using CostRounding::Round4;

namespace {
// One row of a FIFO in-list / out-list as the item loader reads it.
struct InRow
{
    QString ktype{};
    int id = 0;
    QString table = QStringLiteral("dlybuy");
    int vchtype = 34, vchcode = 100, dly = 1001;
    int appoint = 1;
    double qty = 0, costPrice = 0, costTotal = 0, fee = 0, matchedQty = 0, matchedTotal = 0;
    QString outTable{};
    int outDly = 0;
    QString stock = QStringLiteral("Stock");
};

struct OutRow
{
    QString ktype{};
    int id = 0;
    QString table = QStringLiteral("dlysale");
    int vchtype = 11, vchcode = 200, dly = 2001;
    int appoint = 0;
    double qty = 0, costPrice = 0, costTotal = 0, fee = 0;
    QString stock = QStringLiteral("Stock");
};

struct Scenario
{
    QList<InRow> ins;
    QList<OutRow> outs;
};
} // namespace

Q_DECLARE_METATYPE(Scenario)

namespace {
// Loads rows the way the item-by-item process does: known receipts carry their cost (fees spread
// over the quantity), unknown ones start at 0; issues keep their given cost only with Appoint = 1.
void Load(TAllStockList &all, const Scenario &s)
{
    for (const InRow &r : s.ins) {
        TInRecord I;
        I.ID = r.id;
        I.Table = r.table;
        I.Vchtype = r.vchtype;
        I.Vchcode = r.vchcode;
        I.Dlyorder = r.dly;
        I.Appoint = r.appoint;
        I.Qty = r.qty;
        I.Price = r.costPrice;
        I.Total = r.costTotal;
        I.FeeTotal = r.fee;
        I.LeftQty = Round4(r.qty - r.matchedQty);
        I.LeftTotal = Round2(r.costTotal + r.fee - r.matchedTotal);
        I.OutTable = r.outTable;
        I.OutDlyorder = r.outDly;
        I.Stock = r.stock;
        if (r.appoint != 0) {
            I.CostCacled = true;
            if (r.fee != 0)
                I.Price = Round4((r.costTotal + r.fee) / r.qty);
        } else {
            I.Price = I.Total = I.LeftTotal = 0;
        }
        all.AddInRecord(r.ktype, I);
    }
    for (const OutRow &r : s.outs) {
        TOutRecord O;
        O.ID = r.id;
        O.Table = r.table;
        O.Vchtype = r.vchtype;
        O.Vchcode = r.vchcode;
        O.Dlyorder = r.dly;
        O.Appoint = r.appoint;
        O.Qty = r.qty;
        O.NoFeePrice = r.costPrice;
        O.Total = r.costTotal;
        O.FeeTotal = r.fee;
        O.LeftQty = r.qty;
        O.LeftTotal = r.costTotal + r.fee;
        O.Stock = r.stock;
        if (r.appoint == 1)
            O.Price = r.fee == 0 ? r.costPrice : Round4((r.costTotal + r.fee) / r.qty);
        else
            O.Price = O.Total = 0;
        all.AddOutRecord(r.ktype, O);
    }
}

std::vector<const TMatchRecord *> AllMatches(const TAllStockList &all)
{
    std::vector<const TMatchRecord *> matches;
    for (const auto &list : all.Lists())
        for (const TMatchRecord &m : list->MatchRecordList)
            matches.push_back(&m);
    return matches;
}

const TOutRecord *OutById(const TAllStockList &all, int id)
{
    for (const auto &list : all.Lists())
        for (const TOutRecord &o : list->OutRecordList)
            if (o.ID == id)
                return &o;
    return nullptr;
}

const TInRecord *InById(const TAllStockList &all, int id)
{
    for (const auto &list : all.Lists())
        for (const TInRecord &i : list->InRecordList)
            if (i.ID == id)
                return &i;
    return nullptr;
}

// A receipt whose last match took its remaining amount ("倒扎") is used up to the cent: its
// matches add up to its amount (cost plus fees, less what earlier periods matched).
void CheckConservation(const TAllStockList &all, const Scenario &s)
{
    for (const InRow &row : s.ins) {
        const TInRecord *I = InById(all, row.id);
        QVERIFY(I);
        double sum = 0;
        const TMatchRecord *last = nullptr;
        for (const TMatchRecord *m : AllMatches(all)) {
            if (m->InRecord == I) {
                sum += m->Total;
                last = m;
            }
        }
        if (!last || !last->QtyOver || last->OutRecord->Appoint != 0)
            continue;
        QVERIFY(last->CostCacled);
        QCOMPARE(Round2(sum), Round2(I->Total + I->FeeTotal - row.matchedTotal));
        QCOMPARE(I->LeftTotal, 0.0);
    }
}

QString XRec(int id, const char *price, const char *total, const QString &dest = QStringLiteral("Stock"))
{
    return QStringLiteral("<Record ID=\"%1\" Price=\"%2\" Total=\"%3\" Dest=\"%4\"/>")
        .arg(id)
        .arg(QLatin1String(price), QLatin1String(total), dest);
}

// Match record: receipt "table/vchtype/vchcode/dlyorder", issue likewise, then Qty Price Total.
QString XMatch(const char *in, const char *out, const char *qty, const char *price, const char *total,
               bool backflush = false, const QString &dest = QStringLiteral("Stock"))
{
    const QStringList i = QString::fromUtf8(in).split(QLatin1Char('/'));
    const QStringList o = QString::fromUtf8(out).split(QLatin1Char('/'));
    return QStringLiteral(
               "<Record InTable=\"%1\" InVchtype=\"%2\" InVchcode=\"%3\" InDlyorder=\"%4\" "
               "OutTable=\"%5\" OutVchtype=\"%6\" OutVchcode=\"%7\" OutDlyorder=\"%8\" Qty=\"%9\" ")
               .arg(i[0], i[1], i[2], i[3], o[0], o[1], o[2], o[3], QLatin1String(qty)) +
           QStringLiteral("Price=\"%1\" Total=\"%2\" Dest=\"%3\" Comment=\"%4\"/>")
               .arg(QLatin1String(price), QLatin1String(total), dest,
                    backflush ? QStringLiteral("倒扎") : QString());
}

QString XRoot(const QStringList &ins, const QStringList &outs, const QStringList &matches)
{
    return QStringLiteral("<Root><InList>") + ins.join(QString()) + QStringLiteral("</InList><OutList>") +
           outs.join(QString()) + QStringLiteral("</OutList><MatchList>") + matches.join(QString()) +
           QStringLiteral("</MatchList></Root>");
}

// The circle of two transfers: K1 buys 10 at 10 and receives 12 from K2; K2 buys 10 at 20 and
// receives 15 from K1 (with a fee); each issues more than it bought.
Scenario Circle(double feeOnR2)
{
    Scenario s;
    s.ins = {
        {.ktype = "K1", .id = 1, .qty = 10, .costPrice = 10, .costTotal = 100},
        {.ktype = "K1",
         .id = 2,
         .table = "dlydiff",
         .vchtype = 21,
         .vchcode = 500,
         .dly = 5002,
         .appoint = 0,
         .qty = 12,
         .outTable = "dlydiff",
         .outDly = 5003},
        {.ktype = "K2", .id = 3, .vchcode = 101, .dly = 1011, .qty = 10, .costPrice = 20, .costTotal = 200},
        {.ktype = "K2",
         .id = 4,
         .table = "dlydiff",
         .vchtype = 21,
         .vchcode = 400,
         .dly = 4002,
         .appoint = 0,
         .qty = 15,
         .fee = feeOnR2,
         .outTable = "dlydiff",
         .outDly = 4001}};
    s.outs = {
        {.ktype = "K1", .id = 11, .table = "dlydiff", .vchtype = 21, .vchcode = 400, .dly = 4001, .qty = 15},
        {.ktype = "K2", .id = 12, .table = "dlydiff", .vchtype = 21, .vchcode = 500, .dly = 5003, .qty = 12}};
    return s;
}

// Two transfers that only feed each other: no outside cost at all.
Scenario ClosedCircle()
{
    Scenario s;
    s.ins = {{.ktype = "K1",
              .id = 1,
              .table = "dlydiff",
              .vchtype = 21,
              .vchcode = 500,
              .dly = 5002,
              .appoint = 0,
              .qty = 5,
              .outTable = "dlydiff",
              .outDly = 5003},
             {.ktype = "K2",
              .id = 2,
              .table = "dlydiff",
              .vchtype = 21,
              .vchcode = 400,
              .dly = 4002,
              .appoint = 0,
              .qty = 5,
              .outTable = "dlydiff",
              .outDly = 4001}};
    s.outs = {
        {.ktype = "K1", .id = 11, .table = "dlydiff", .vchtype = 21, .vchcode = 400, .dly = 4001, .qty = 5},
        {.ktype = "K2", .id = 12, .table = "dlydiff", .vchtype = 21, .vchcode = 500, .dly = 5003, .qty = 5}};
    return s;
}

// K3 sells 10: 5 bought at 10, 5 received from the closed circle's first transfer.
void AddBranch(Scenario &s, bool listFirst)
{
    const QList<InRow> ins = {
        {.ktype = "K3", .id = 3, .vchcode = 102, .dly = 1021, .qty = 5, .costPrice = 10, .costTotal = 50},
        {.ktype = "K3",
         .id = 4,
         .table = "dlydiff",
         .vchtype = 21,
         .vchcode = 600,
         .dly = 6002,
         .appoint = 0,
         .qty = 5,
         .outTable = "dlydiff",
         .outDly = 4001}};
    s.ins = listFirst ? ins + s.ins : s.ins + ins;
    s.outs.append({.ktype = "K3", .id = 13, .vchtype = 11, .dly = 2001, .qty = 10});
}

struct ZeroCostProbe
{
    int calls = 0;
    int vchtype = 0;
    double qty = 0;
    double priceIn = -1;
    double answer = 0;
    bool found = true;
    TOnGetFIFOZeroCost Handler()
    {
        return [this](int AVchtype, double AQty, double &APrice) {
            ++calls;
            vchtype = AVchtype;
            qty = AQty;
            priceIn = APrice;
            APrice = answer;
            return found;
        };
    }
};
} // namespace

class TestFifo : public QObject
{
    Q_OBJECT

private slots:
    void matching_data();
    void matching();
    void pricing_data();
    void pricing();
    void circle_data();
    void circle();
    void singular_data();
    void singular();
    void unknownReceiptWithoutSource();
    void solveEquation_data();
    void solveEquation();
    void rounding_data();
    void rounding();
    void linkedLookupRefusesBadTableName_data();
    void linkedLookupRefusesBadTableName();
    void recordStore_data();
    void recordStore();
};

void TestFifo::matching_data()
{
    QTest::addColumn<Scenario>("scenario");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QList<double>>("matchQty");
    QTest::addColumn<QList<bool>>("qtyOver");
    QTest::addColumn<QList<double>>("leftQty"); // per receipt, in load order
    QTest::addColumn<QList<int>>("queue");      // receipt ids still queued, all lists

    QTest::newRow("partial consumption keeps the receipt at the head")
        << Scenario{{{.id = 1, .qty = 10, .costPrice = 2, .costTotal = 20}}, {{.id = 11, .qty = 4}}} << true
        << QList<double>{4} << QList<bool>{false} << QList<double>{6} << QList<int>{1};
    QTest::newRow("full consumption removes the receipt")
        << Scenario{{{.id = 1, .qty = 4, .costPrice = 2, .costTotal = 8}}, {{.id = 11, .qty = 4}}} << true
        << QList<double>{4} << QList<bool>{true} << QList<double>{0} << QList<int>{};
    QTest::newRow("issue across two receipts")
        << Scenario{{{.id = 1, .qty = 3, .costPrice = 2, .costTotal = 6},
                     {.id = 2, .dly = 1002, .qty = 5, .costPrice = 3, .costTotal = 15}},
                    {{.id = 11, .qty = 6}}}
        << true << QList<double>{3, 3} << QList<bool>{true, false} << QList<double>{0, 2} << QList<int>{2};
    QTest::newRow("left quantity rounded to 4 places")
        << Scenario{{{.id = 1, .qty = 10, .costPrice = 2, .costTotal = 20}},
                    {{.id = 11, .qty = 3.3333}, {.id = 12, .dly = 2002, .qty = 3.3333}}}
        << true << QList<double>{3.3333, 3.3333} << QList<bool>{false, false} << QList<double>{3.3334}
        << QList<int>{1};
    QTest::newRow("receipt of unknown cost is not taken over")
        << Scenario{{{.id = 1, .appoint = 0, .qty = 2}}, {{.id = 11, .qty = 2}}} << true << QList<double>{2}
        << QList<bool>{false} << QList<double>{0} << QList<int>{};
    QTest::newRow("receipts run out")
        << Scenario{{{.id = 1, .qty = 5, .costPrice = 2, .costTotal = 10}}, {{.id = 11, .qty = 6}}} << false
        << QList<double>{5} << QList<bool>{true} << QList<double>{0} << QList<int>{};
    QTest::newRow("issue of quantity <= 0 takes nothing")
        << Scenario{{{.id = 1, .qty = 5, .costPrice = 2, .costTotal = 10}},
                    {{.id = 11, .qty = -2}, {.id = 12, .dly = 2002, .qty = 0}}}
        << true << QList<double>{} << QList<bool>{} << QList<double>{5} << QList<int>{1};
    QTest::newRow("used-up receipt at the head gives a match of quantity 0")
        << Scenario{{{.id = 1,
                      .qty = 5,
                      .costPrice = 10,
                      .costTotal = 50,
                      .matchedQty = 5,
                      .matchedTotal = 50},
                     {.id = 2, .dly = 1002, .qty = 10, .costPrice = 3, .costTotal = 30}},
                    {{.id = 11, .qty = 4}}}
        << true << QList<double>{0, 4} << QList<bool>{true, false} << QList<double>{0, 6} << QList<int>{2};
    QTest::newRow("stock lists match separately")
        << Scenario{{{.ktype = "K1", .id = 1, .qty = 5, .costPrice = 2, .costTotal = 10},
                     {.ktype = "K2", .id = 2, .dly = 1002, .qty = 5, .costPrice = 2, .costTotal = 10}},
                    {{.ktype = "K1", .id = 11, .qty = 3},
                     {.ktype = "K2", .id = 12, .dly = 2002, .qty = 4},
                     {.ktype = "K1", .id = 13, .dly = 2003, .qty = 2}}}
        << true << QList<double>{3, 2, 4} << QList<bool>{false, true, false} << QList<double>{0, 1}
        << QList<int>{2};
}

void TestFifo::matching()
{
    QFETCH(Scenario, scenario);
    QFETCH(bool, ok);
    QFETCH(QList<double>, matchQty);
    QFETCH(QList<bool>, qtyOver);
    QFETCH(QList<double>, leftQty);
    QFETCH(QList<int>, queue);

    TAllStockList all;
    Load(all, scenario);
    QCOMPARE(all.CreateMatchRecord(), ok);

    QList<double> gotQty;
    QList<bool> gotOver;
    for (const TMatchRecord *m : AllMatches(all)) {
        gotQty << m->Qty;
        gotOver << m->QtyOver;
        // Each match is listed by its issue, in order, and carries the stock kind.
        QVERIFY(std::find(m->OutRecord->MatchRecordList.begin(), m->OutRecord->MatchRecordList.end(), m) !=
                m->OutRecord->MatchRecordList.end());
        QCOMPARE(m->Stock, m->OutRecord->Stock);
        QCOMPARE(m->InRecord->StockInOutList, m->OutRecord->StockInOutList);
    }
    QCOMPARE(gotQty, matchQty);
    QCOMPARE(gotOver, qtyOver);
    QList<double> gotLeft;
    for (const InRow &r : scenario.ins)
        gotLeft << InById(all, r.id)->LeftQty;
    QCOMPARE(gotLeft, leftQty);
    QList<int> gotQueue;
    for (const auto &list : all.Lists())
        for (const TInRecord *i : list->InRecordQueue)
            gotQueue << i->ID;
    QCOMPARE(gotQueue, queue);
}

void TestFifo::pricing_data()
{
    QTest::addColumn<Scenario>("scenario");
    QTest::addColumn<QString>("xml");

    QTest::newRow("last match takes the remainder (倒扎)")
        << Scenario{{{.id = 1, .qty = 3, .costPrice = 3.3333, .costTotal = 10}},
                    {{.id = 11, .qty = 1},
                     {.id = 12, .dly = 2002, .qty = 1},
                     {.id = 13, .dly = 2003, .qty = 1}}}
        << QStringLiteral(
               "<Root><InList><Record ID=\"1\" Price=\"3.3333\" Total=\"10.00\" Dest=\"Stock\"/></InList>"
               "<OutList><Record ID=\"11\" Price=\"3.3300\" Total=\"3.33\" Dest=\"Stock\"/>"
               "<Record ID=\"12\" Price=\"3.3300\" Total=\"3.33\" Dest=\"Stock\"/>"
               "<Record ID=\"13\" Price=\"3.3400\" Total=\"3.34\" Dest=\"Stock\"/></OutList><MatchList>"
               "<Record InTable=\"dlybuy\" InVchtype=\"34\" InVchcode=\"100\" InDlyorder=\"1001\" "
               "OutTable=\"dlysale\" OutVchtype=\"11\" OutVchcode=\"200\" OutDlyorder=\"2001\" "
               "Qty=\"1.0000\" "
               "Price=\"3.3333\" Total=\"3.33\" Dest=\"Stock\" Comment=\"\"/>"
               "<Record InTable=\"dlybuy\" InVchtype=\"34\" InVchcode=\"100\" InDlyorder=\"1001\" "
               "OutTable=\"dlysale\" OutVchtype=\"11\" OutVchcode=\"200\" OutDlyorder=\"2002\" "
               "Qty=\"1.0000\" "
               "Price=\"3.3333\" Total=\"3.33\" Dest=\"Stock\" Comment=\"\"/>"
               "<Record InTable=\"dlybuy\" InVchtype=\"34\" InVchcode=\"100\" InDlyorder=\"1001\" "
               "OutTable=\"dlysale\" OutVchtype=\"11\" OutVchcode=\"200\" OutDlyorder=\"2003\" "
               "Qty=\"1.0000\" "
               "Price=\"3.3400\" Total=\"3.34\" Dest=\"Stock\" Comment=\"倒扎\"/></MatchList></Root>");

    QTest::newRow("issue of given cost prices what it takes")
        << Scenario{{{.id = 1, .qty = 2, .costPrice = 10, .costTotal = 20},
                     {.id = 2, .dly = 1002, .qty = 5, .costPrice = 12, .costTotal = 60}},
                    {{.id = 11,
                      .table = "dlyother",
                      .vchtype = 141,
                      .vchcode = 300,
                      .dly = 3001,
                      .appoint = 1,
                      .qty = 4,
                      .costPrice = 11,
                      .costTotal = 44,
                      .fee = 0.5},
                     {.id = 12, .qty = 3}}}
        << XRoot({XRec(1, "10.0000", "20.00"), XRec(2, "12.0000", "60.00")},
                 {XRec(11, "11.1250", "44.00"), XRec(12, "12.5000", "37.50")},
                 {XMatch("dlybuy/34/100/1001", "dlyother/141/300/3001", "2.0000", "11.0000", "22.00"),
                  XMatch("dlybuy/34/100/1002", "dlyother/141/300/3001", "2.0000", "11.2500", "22.50"),
                  XMatch("dlybuy/34/100/1002", "dlysale/11/200/2001", "3.0000", "12.5000", "37.50", true)});

    QTest::newRow("issue of quantity <= 0 ends at zero")
        << Scenario{{{.id = 1, .qty = 5, .costPrice = 10, .costTotal = 50}}, {{.id = 11, .qty = -2}}}
        << XRoot({XRec(1, "10.0000", "50.00")}, {XRec(11, "0.0000", "0.00")}, {});

    QTest::newRow("match of quantity 0 takes the receipt's residue")
        << Scenario{{{.id = 1,
                      .qty = 5,
                      .costPrice = 10,
                      .costTotal = 50,
                      .matchedQty = 5,
                      .matchedTotal = 49.99},
                     {.id = 2, .dly = 1002, .qty = 10, .costPrice = 3, .costTotal = 30}},
                    {{.id = 11, .qty = 4}}}
        << XRoot({XRec(1, "10.0000", "50.00"), XRec(2, "3.0000", "30.00")}, {XRec(11, "3.0025", "12.01")},
                 {XMatch("dlybuy/34/100/1001", "dlysale/11/200/2001", "0.0000", "10.0000", "0.01", true),
                  XMatch("dlybuy/34/100/1002", "dlysale/11/200/2001", "4.0000", "3.0000", "12.00")});

    QTest::newRow("match of quantity 0 under an issue of given cost")
        << Scenario{{{.id = 1,
                      .qty = 5,
                      .costPrice = 10,
                      .costTotal = 50,
                      .matchedQty = 5,
                      .matchedTotal = 49.99},
                     {.id = 2, .dly = 1002, .qty = 10, .costPrice = 3, .costTotal = 30}},
                    {{.id = 11, .appoint = 1, .qty = 4, .costPrice = 3.5, .costTotal = 14}}}
        << XRoot({XRec(1, "10.0000", "50.00"), XRec(2, "3.0000", "30.00")}, {XRec(11, "3.5000", "14.00")},
                 {XMatch("dlybuy/34/100/1001", "dlysale/11/200/2001", "0.0000", "3.5000", "0.00"),
                  XMatch("dlybuy/34/100/1002", "dlysale/11/200/2001", "4.0000", "3.5000", "14.00")});

    QTest::newRow("transfer fee spread per unit")
        << Scenario{{{.ktype = "K1", .id = 1, .qty = 10, .costPrice = 10, .costTotal = 100},
                     {.ktype = "K2",
                      .id = 2,
                      .table = "dlydiff",
                      .vchtype = 21,
                      .vchcode = 400,
                      .dly = 4002,
                      .appoint = 0,
                      .qty = 4,
                      .fee = 2,
                      .outTable = "dlydiff",
                      .outDly = 4001}},
                    {{.ktype = "K1",
                      .id = 11,
                      .table = "dlydiff",
                      .vchtype = 21,
                      .vchcode = 400,
                      .dly = 4001,
                      .qty = 4},
                     {.ktype = "K2", .id = 12, .qty = 4}}}
        << XRoot({XRec(1, "10.0000", "100.00"), XRec(2, "10.5000", "40.00")},
                 {XRec(11, "10.0000", "40.00"), XRec(12, "10.5000", "42.00")},
                 {XMatch("dlybuy/34/100/1001", "dlydiff/21/400/4001", "4.0000", "10.0000", "40.00"),
                  XMatch("dlydiff/21/400/4002", "dlysale/11/200/2001", "4.0000", "10.5000", "42.00")});

    // x = (22.43 + 5 × 7.12 / 5) / 8 = 3.69375 exactly; 5 × (7.12 / 5) is one bit below 7.12.
    QTest::newRow("transfer fee of an unknown receipt taken left to right")
        << Scenario{{{.id = 1, .qty = 8, .costPrice = 2.8038, .costTotal = 22.43},
                     {.id = 2,
                      .table = "dlydiff",
                      .vchtype = 21,
                      .vchcode = 400,
                      .dly = 4002,
                      .appoint = 0,
                      .qty = 5,
                      .fee = 7.12,
                      .outTable = "dlydiff",
                      .outDly = 4001}},
                    {{.id = 11, .table = "dlydiff", .vchtype = 21, .vchcode = 400, .dly = 4001, .qty = 13}}}
        << XRoot({XRec(1, "2.8038", "22.43"), XRec(2, "5.1180", "18.47")}, {XRec(11, "3.6938", "48.02")},
                 {XMatch("dlybuy/34/100/1001", "dlydiff/21/400/4001", "8.0000", "2.8038", "22.43", true),
                  XMatch("dlydiff/21/400/4002", "dlydiff/21/400/4001", "5.0000", "5.1180", "25.59")});

    // Two issues under one key: the receipt linked to it takes the cost of the first loaded.
    QTest::newRow("duplicate issue key finds the first loaded")
        << Scenario{{{.ktype = "K1", .id = 1, .qty = 4, .costPrice = 5, .costTotal = 20},
                     {.ktype = "K2",
                      .id = 2,
                      .vchcode = 101,
                      .dly = 1011,
                      .qty = 4,
                      .costPrice = 7,
                      .costTotal = 28},
                     {.ktype = "K3",
                      .id = 3,
                      .table = "dlydiff",
                      .vchtype = 21,
                      .vchcode = 400,
                      .dly = 4002,
                      .appoint = 0,
                      .qty = 4,
                      .outTable = "dlydiff",
                      .outDly = 4001}},
                    {{.ktype = "K1",
                      .id = 11,
                      .table = "dlydiff",
                      .vchtype = 21,
                      .vchcode = 400,
                      .dly = 4001,
                      .qty = 4},
                     {.ktype = "K2",
                      .id = 12,
                      .table = "dlydiff",
                      .vchtype = 21,
                      .vchcode = 400,
                      .dly = 4001,
                      .qty = 4},
                     {.ktype = "K3", .id = 13, .qty = 4}}}
        << XRoot({XRec(1, "5.0000", "20.00"), XRec(2, "7.0000", "28.00"), XRec(3, "5.0000", "20.00")},
                 {XRec(11, "5.0000", "20.00"), XRec(12, "7.0000", "28.00"), XRec(13, "5.0000", "20.00")},
                 {XMatch("dlybuy/34/100/1001", "dlydiff/21/400/4001", "4.0000", "5.0000", "20.00", true),
                  XMatch("dlybuy/34/101/1011", "dlydiff/21/400/4001", "4.0000", "7.0000", "28.00", true),
                  XMatch("dlydiff/21/400/4002", "dlysale/11/200/2001", "4.0000", "5.0000", "20.00")});

    QTest::newRow("receipt takes the given cost of a loaded issue")
        << Scenario{{{.ktype = "K1", .id = 1, .qty = 10, .costPrice = 5, .costTotal = 50},
                     {.ktype = "K2",
                      .id = 2,
                      .table = "dlydiff",
                      .vchtype = 21,
                      .vchcode = 400,
                      .dly = 4002,
                      .appoint = 0,
                      .qty = 4,
                      .outTable = "dlydiff",
                      .outDly = 4001}},
                    {{.ktype = "K1",
                      .id = 11,
                      .table = "dlydiff",
                      .vchtype = 21,
                      .vchcode = 400,
                      .dly = 4001,
                      .appoint = 1,
                      .qty = 4,
                      .costPrice = 6,
                      .costTotal = 24},
                     {.ktype = "K2", .id = 12, .qty = 4}}}
        << XRoot({XRec(1, "5.0000", "50.00"), XRec(2, "6.0000", "24.00")},
                 {XRec(11, "6.0000", "24.00"), XRec(12, "6.0000", "24.00")},
                 {XMatch("dlybuy/34/100/1001", "dlydiff/21/400/4001", "4.0000", "6.0000", "24.00"),
                  XMatch("dlydiff/21/400/4002", "dlysale/11/200/2001", "4.0000", "6.0000", "24.00", true)});

    QTest::newRow("pricing repeats until no issue changes")
        << Scenario{{{.ktype = "K1",
                      .id = 1,
                      .table = "dlydiff",
                      .vchtype = 21,
                      .vchcode = 400,
                      .dly = 4002,
                      .appoint = 0,
                      .qty = 3,
                      .outTable = "dlydiff",
                      .outDly = 4001},
                     {.ktype = "K2", .id = 2, .qty = 5, .costPrice = 4, .costTotal = 20}},
                    {{.ktype = "K1", .id = 11, .qty = 3},
                     {.ktype = "K2",
                      .id = 12,
                      .table = "dlydiff",
                      .vchtype = 21,
                      .vchcode = 400,
                      .dly = 4001,
                      .qty = 3}}}
        << XRoot({XRec(1, "4.0000", "12.00"), XRec(2, "4.0000", "20.00")},
                 {XRec(11, "4.0000", "12.00"), XRec(12, "4.0000", "12.00")},
                 {XMatch("dlydiff/21/400/4002", "dlysale/11/200/2001", "3.0000", "4.0000", "12.00"),
                  XMatch("dlybuy/34/100/1001", "dlydiff/21/400/4001", "3.0000", "4.0000", "12.00")});

    // The lookup below answers 4.00004 / 2.00005 / 8.005 for dlysale line 77.
    QTest::newRow("linked issue read through the lookup, same quantity")
        << Scenario{{{.id = 1,
                      .table = "dlydiff",
                      .vchtype = 21,
                      .vchcode = 400,
                      .dly = 4002,
                      .appoint = 0,
                      .qty = 4,
                      .outTable = "dlysale",
                      .outDly = 77}},
                    {{.id = 11, .qty = 4}}}
        << XRoot({XRec(1, "2.0001", "8.01")}, {XRec(11, "2.0025", "8.01")},
                 {XMatch("dlydiff/21/400/4002", "dlysale/11/200/2001", "4.0000", "2.0025", "8.01", true)});
    QTest::newRow("linked issue read through the lookup, other quantity")
        << Scenario{{{.id = 1,
                      .table = "dlydiff",
                      .vchtype = 21,
                      .vchcode = 400,
                      .dly = 4002,
                      .appoint = 0,
                      .qty = 3,
                      .outTable = "dlysale",
                      .outDly = 77}},
                    {{.id = 11, .qty = 3}}}
        << XRoot({XRec(1, "2.0001", "6.00")}, {XRec(11, "2.0000", "6.00")},
                 {XMatch("dlydiff/21/400/4002", "dlysale/11/200/2001", "3.0000", "2.0000", "6.00", true)});

    QTest::newRow("XML special characters escaped")
        << Scenario{{{.id = 1,
                      .table = "dly&\"x'",
                      .qty = 1,
                      .costPrice = 5,
                      .costTotal = 5,
                      .stock = "S<1>"}},
                    {{.id = 11, .qty = 1, .stock = "S<1>"}}}
        << XRoot({XRec(1, "5.0000", "5.00", "S&lt;1&gt;")}, {XRec(11, "5.0000", "5.00", "S&lt;1&gt;")},
                 {XMatch("dly&amp;&quot;x&apos;/34/100/1001", "dlysale/11/200/2001", "1.0000", "5.0000",
                         "5.00", true, "S&lt;1&gt;")});
}

void TestFifo::pricing()
{
    QFETCH(Scenario, scenario);
    QFETCH(QString, xml);

    TAllStockList all;
    QList<QPair<QString, int>> lookups;
    all.SetOnGetLinkedOutCost([&lookups](const QString &table, int dlyorder) {
        lookups.append({table, dlyorder});
        return table == QLatin1String("dlysale") && dlyorder == 77 ? TLinkedOutCost{2.00005, 8.005, 4.00004}
                                                                   : TLinkedOutCost{};
    });
    Load(all, scenario);
    ZeroCostProbe probe;

    all.SetInOutRelationship();
    QVERIFY(all.CreateMatchRecord());
    all.CalcCost();
    QVERIFY(all.CalcUnknownCost(probe.Handler()));
    QCOMPARE(probe.calls, 0);
    QCOMPARE(all.GetUpdateXML(), xml);
    CheckConservation(all, scenario);

    // Only receipts whose issue was not loaded are looked up, each once.
    QList<QPair<QString, int>> expected;
    for (const InRow &r : scenario.ins)
        if (r.appoint == 0 && r.outDly != 0 && !all.GetOutRecord(r.outTable, r.outDly))
            expected.append({r.outTable, r.outDly});
    QCOMPARE(lookups, expected);
    for (const auto &list : all.Lists())
        for (const TOutRecord &o : list->OutRecordList)
            QVERIFY(o.CostCacled || o.Appoint == 1);
}

void TestFifo::circle_data()
{
    QTest::addColumn<double>("fee");
    QTest::addColumn<double>("t1Price");
    QTest::addColumn<double>("t2Price");
    QTest::addColumn<double>("t1Total");
    QTest::addColumn<double>("t2Total");
    QTest::addColumn<double>("r2Price");

    // Rows: 15·x1 − 5·x2 = 100 and 12·x2 − 2·x1 = 200 + 2·fee/15.
    QTest::newRow("without fee") << 0.0 << 12.9412 << 18.8235 << 194.12 << 225.88 << 12.9412;
    QTest::newRow("fee on the receiving side") << 3.0 << 12.9529 << 18.8588 << 194.29 << 226.31 << 13.1527;
}

void TestFifo::circle()
{
    QFETCH(double, fee);
    QFETCH(double, t1Price);
    QFETCH(double, t2Price);
    QFETCH(double, t1Total);
    QFETCH(double, t2Total);
    QFETCH(double, r2Price);

    TAllStockList all;
    const Scenario s = Circle(fee);
    Load(all, s);
    ZeroCostProbe probe;
    all.SetInOutRelationship();
    QVERIFY(all.CreateMatchRecord());
    all.CalcCost();
    QCOMPARE(all.AllUnknownOutCostRecordCount(), 2);
    QVERIFY(all.CalcUnknownCost(probe.Handler()));
    QCOMPARE(probe.calls, 0);

    const TOutRecord *t1 = OutById(all, 11);
    const TOutRecord *t2 = OutById(all, 12);
    QCOMPARE(t1->Index, 1);
    QCOMPARE(t2->Index, 2);
    QCOMPARE(t1->Price, t1Price);
    QCOMPARE(t2->Price, t2Price);
    // Both equations hold up to the rounding of the prices to 4 places.
    QVERIFY(std::fabs(15 * t1->Price - 5 * t2->Price - 100) <= 20 * 0.00005 + 1e-9);
    QVERIFY(std::fabs(12 * t2->Price - 2 * t1->Price - (200 + 2 * fee / 15)) <= 14 * 0.00005 + 1e-9);
    QCOMPARE(t1->Total, t1Total);
    QCOMPARE(t2->Total, t2Total);
    QVERIFY(t1->CostCacled && t2->CostCacled);
    // The receipts take their issues' costs: the same quantity takes the whole total.
    const TInRecord *r1 = InById(all, 2);
    const TInRecord *r2 = InById(all, 4);
    QCOMPARE(r1->Price, t2Price);
    QCOMPARE(r1->Total, t2Total);
    QCOMPARE(r2->Price, r2Price);
    QCOMPARE(r2->Total, t1Total);
    QVERIFY(r1->CostCacled && r2->CostCacled);
    for (const TMatchRecord *m : AllMatches(all))
        QVERIFY(m->CostCacled);
    CheckConservation(all, s);
}

void TestFifo::singular_data()
{
    QTest::addColumn<Scenario>("scenario");
    QTest::addColumn<bool>("found"); // the substitute search finds a cost
    QTest::addColumn<bool>("ok");
    QTest::addColumn<int>("vchtype"); // passed for the first unknown issue
    QTest::addColumn<double>("qty");
    QTest::addColumn<QList<double>>("prices"); // issues by load order
    QTest::addColumn<QList<double>>("totals"); // the matches' totals: a replaced row keeps its price

    QTest::newRow("closed circle takes the substitute cost")
        << ClosedCircle() << true << true << 21 << 5.0 << QList<double>{7, 7} << QList<double>{35, 35};
    Scenario branch = ClosedCircle();
    AddBranch(branch, false);
    QTest::newRow("only the first row is replaced when that suffices")
        << branch << true << true << 21 << 5.0 << QList<double>{7, 7, 8.5} << QList<double>{35, 35, 85};
    Scenario branchFirst = ClosedCircle();
    AddBranch(branchFirst, true);
    QTest::newRow("rows are replaced one by one until solvable")
        << branchFirst << true << true << 11 << 10.0 << QList<double>{7, 7, 7} << QList<double>{35, 35, 85};
    QTest::newRow("no substitute cost found")
        << ClosedCircle() << false << false << 21 << 5.0 << QList<double>{0, 0} << QList<double>{0, 0};
}

void TestFifo::singular()
{
    QFETCH(Scenario, scenario);
    QFETCH(bool, found);
    QFETCH(bool, ok);
    QFETCH(int, vchtype);
    QFETCH(double, qty);
    QFETCH(QList<double>, prices);
    QFETCH(QList<double>, totals);

    TAllStockList all;
    Load(all, scenario);
    ZeroCostProbe probe;
    probe.answer = 7;
    probe.found = found;
    all.SetInOutRelationship();
    QVERIFY(all.CreateMatchRecord());
    all.CalcCost();
    QCOMPARE(all.CalcUnknownCost(probe.Handler()), ok);
    QCOMPARE(probe.calls, 1);
    QCOMPARE(probe.vchtype, vchtype);
    QCOMPARE(probe.qty, qty);
    QCOMPARE(probe.priceIn, 0.0);
    QList<double> gotPrices, gotTotals;
    for (const OutRow &r : scenario.outs) {
        const TOutRecord *o = OutById(all, r.id);
        gotPrices << o->Price;
        gotTotals << o->Total;
        QCOMPARE(o->CostCacled, ok);
    }
    QCOMPARE(gotPrices, prices);
    QCOMPARE(gotTotals, totals);
}

void TestFifo::unknownReceiptWithoutSource()
{
    // A receipt of unknown cost without a linked issue that nobody priced: its issue cannot be
    // solved, and no substitute is asked for.
    TAllStockList all;
    Load(all, Scenario{{{.id = 1, .appoint = 0, .qty = 5}}, {{.id = 11, .qty = 5}}});
    QCOMPARE(all.AllZeroCostInRecordList.size(), size_t(1));
    QVERIFY(all.UnknownCostInRecordList.empty());
    ZeroCostProbe probe;
    all.SetInOutRelationship();
    QVERIFY(all.CreateMatchRecord());
    all.CalcCost();
    QCOMPARE(all.AllUnknownOutCostRecordCount(), 1);
    QVERIFY(!all.CalcUnknownCost(probe.Handler()));
    QCOMPARE(probe.calls, 0);
    QVERIFY(!OutById(all, 11)->CostCacled);
}

void TestFifo::solveEquation_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<QList<double>>("matrix"); // row-major, n x (n + 1)
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QList<double>>("solution");

    QTest::newRow("identity") << 2 << QList<double>{1, 0, 3, 0, 1, 4} << true << QList<double>{3, 4};
    QTest::newRow("zero pivot swapped")
        << 2 << QList<double>{0, 2, 4, 3, 0, 9} << true << QList<double>{3, 2};
    // Equal absolute values in the pivot column: the upper row stays the pivot row. Taking the
    // lower one would give -1.0625 and -7.333333333333332 exactly.
    QTest::newRow("pivot tie keeps the upper row")
        << 2 << QList<double>{8, 3, -7, -8, -9, 4} << true << QList<double>{-1.0625000000000002, 0.5};
    QTest::newRow("pivot tie keeps the upper row, second case")
        << 2 << QList<double>{2, 1, -19, -2, 8, -20} << true
        << QList<double>{-7.333333333333334, -4.333333333333333};
    QTest::newRow("larger pivot below is taken")
        << 3 << QList<double>{1, 2, 1, 8, 4, 1, 2, 12, 2, 3, 4, 20} << true
        << QList<double>{1.0000000000000002, 2.0, 2.9999999999999996};
    QTest::newRow("negative single unknown") << 1 << QList<double>{-2, 0} << true << QList<double>{0};
    QTest::newRow("singular") << 2 << QList<double>{5, -5, 0, -5, 5, 0} << false << QList<double>{};
    QTest::newRow("inconsistent") << 2 << QList<double>{1, 1, 2, 2, 2, 5} << false << QList<double>{};
    QTest::newRow("zero row") << 1 << QList<double>{0, 3} << false << QList<double>{};
    QTest::newRow("wrong size") << 2 << QList<double>{1, 0, 3, 0, 1} << false << QList<double>{};
    QTest::newRow("no unknowns") << 0 << QList<double>{} << true << QList<double>{};
}

void TestFifo::solveEquation()
{
    QFETCH(int, n);
    QFETCH(QList<double>, matrix);
    QFETCH(bool, ok);
    QFETCH(QList<double>, solution);

    std::vector<double> m(matrix.begin(), matrix.end());
    QCOMPARE(TAllStockList::SolveEquation(n, m), ok);
    if (!ok)
        return;
    for (int r = 0; r < n; ++r) {
        QCOMPARE(m[r * (n + 1) + n], solution[r]);
        for (int c = 0; c < n; ++c)
            QCOMPARE(m[r * (n + 1) + c], r == c ? 1.0 : 0.0);
    }
}

void TestFifo::rounding_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("uniform values up to 1e6") << 0;
    QTest::newRow("4-decimal values and their differences") << 1;
    QTest::newRow("ties at the rounding place") << 2;
    QTest::newRow("products of quantity and price") << 3;
    QTest::newRow("large and tiny magnitudes") << 4;
}

void TestFifo::rounding()
{
    // The fast rounding must agree with the host routine bit for bit.
    QFETCH(int, kind);
    std::mt19937_64 gen(12345 + kind);
    std::uniform_real_distribution<double> uni(-1e6, 1e6);
    std::uniform_int_distribution<long long> ticks(-100000000LL, 100000000LL);
    std::uniform_int_distribution<int> exps(-12, 15);
    for (int k = 0; k < 30000; ++k) {
        double v = 0;
        switch (kind) {
        case 0:
            v = uni(gen);
            break;
        case 1:
            v = ticks(gen) / 10000.0 - ticks(gen) / 10000.0;
            break;
        case 2:
            v = (ticks(gen) * 10 + 5) / (k % 2 ? 100000.0 : 1000.0);
            break;
        case 3:
            v = (ticks(gen) % 100000) / 100.0 * (ticks(gen) / 10000.0);
            break;
        default:
            v = uni(gen) * std::pow(10.0, exps(gen));
        }
        for (int places : {0, 2, 4}) {
            const double fast = CostRounding::Round(v, places);
            const double host = Kvbasicfun::FloatToFloatBit(v, places);
            if (std::memcmp(&fast, &host, sizeof fast) != 0)
                QFAIL(qPrintable(QStringLiteral("%1 at %2 places: %3 vs %4")
                                     .arg(v, 0, 'g', 17)
                                     .arg(places)
                                     .arg(fast, 0, 'g', 17)
                                     .arg(host, 0, 'g', 17)));
            const QString fastText = CostRounding::Text(v, places);
            const QString hostText = Kvbasicfun::FloatToStringBit(v, places);
            if (fastText != hostText)
                QFAIL(qPrintable(QStringLiteral("%1 at %2 places: text %3 vs %4")
                                     .arg(v, 0, 'g', 17)
                                     .arg(places)
                                     .arg(fastText, hostText)));
        }
    }
    QCOMPARE(CostRounding::Round(-0.00001, 4), 0.0);
    QVERIFY(!std::signbit(CostRounding::Round(-0.00001, 4)));
    QCOMPARE(CostRounding::Round(std::nan(""), 2), 0.0);
    QCOMPARE(CostRounding::Text(-0.00001, 4), QStringLiteral("0.0000"));
    QCOMPARE(CostRounding::Text(-0.0005, 4), QStringLiteral("-0.0005"));
    QCOMPARE(CostRounding::Text(12.5, 0), QStringLiteral("13"));
}

void TestFifo::linkedLookupRefusesBadTableName_data()
{
    QTest::addColumn<QString>("table");
    QTest::newRow("statement appended") << QStringLiteral("dlysale; delete from dlysale");
    QTest::newRow("quote") << QStringLiteral("dly'sale");
    QTest::newRow("empty") << QString();
}

void TestFifo::linkedLookupRefusesBadTableName()
{
    QFETCH(QString, table);
    TAllStockList all;
    Load(all, Scenario{{{.id = 1, .appoint = 0, .qty = 4, .outTable = table, .outDly = 7}}, {}});
    try {
        all.SetInOutRelationship();
        QFAIL("no error raised");
    } catch (const EDatabaseError &e) {
        QVERIFY2(e.Message().contains(QStringLiteral("表名")), qPrintable(e.Message()));
    }
    QVERIFY(!InById(all, 1)->CostCacled);
}

void TestFifo::recordStore_data()
{
    QTest::addColumn<int>("count");
    QTest::newRow("empty") << 0;
    QTest::newRow("inside the first chunk") << 16;
    QTest::newRow("across the growing chunks") << 8177;
    QTest::newRow("across the full-size chunks") << 20000;
}

void TestFifo::recordStore()
{
    // Records keep their address while the store grows, and every way of reaching them agrees.
    QFETCH(int, count);
    TRecordStore<int> store;
    std::vector<const int *> addresses;
    for (int i = 0; i < count; ++i)
        addresses.push_back(&store.emplace_back(i));
    QCOMPARE(store.size(), size_t(count));
    QCOMPARE(store.empty(), count == 0);
    int next = 0;
    for (const int &v : std::as_const(store)) {
        QCOMPARE(v, next);
        QCOMPARE(&v, addresses[next]);
        ++next;
    }
    QCOMPARE(next, count);
    for (int i = 0; i < count; ++i)
        QCOMPARE(&store[i], addresses[i]);
    auto it = store.end();
    for (int i = count - 1; i >= 0; --i)
        QCOMPARE(*--it, i);
    QVERIFY(it == store.begin());
}

QTEST_GUILESS_MAIN(TestFifo)
#include "tst_fifo.moc"
