#include "uCostCalcProcess.h"

#include "ClientDataSet.h"
#include "Kvbasicfun.h"
#include "QuillExceptions.h"
#include "Udlldbservice.h"
#include "uCostEquation.h"

#include <QRegularExpression>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

using CostRounding::Round2;
using CostRounding::Round4;

namespace CostRounding {
namespace {
constexpr double kScale[] = {1.0, 10.0, 100.0, 1000.0, 10000.0};

// Away from a tie (x.5 at the rounding place) the shortest decimal text of the value and the value
// itself round to the same integer number of units N, and N / 10^places is then correctly rounded
// exactly as the parse of the rounded text is. Below 2^40 units the scaled value is off by less
// than 3e-4, so a margin of 1e-3 around the tie is safe; near a tie, or for other places, the host
// routine decides. Returns false when the host routine has to decide.
bool FastUnits(double value, int places, double &units)
{
    if (places < 0 || places > 4)
        return false;
    const double t = std::fabs(value) * kScale[places];
    if (!(t < 1099511627776.0)) // 2^40; also false for NaN and infinities
        return false;
    const double whole = std::floor(t);
    const double frac = t - whole;
    if (std::fabs(frac - 0.5) <= 1e-3)
        return false;
    units = frac > 0.5 ? whole + 1 : whole;
    return true;
}
} // namespace

double Round(double value, int places)
{
    double units = 0;
    if (!FastUnits(value, places, units))
        return Kvbasicfun::FloatToFloatBit(value, places);
    if (units == 0)
        return 0.0;
    const double r = units / kScale[places];
    return value < 0 ? -r : r;
}

int FormatText(double value, int places, char *buffer)
{
    double units = 0;
    if (!FastUnits(value, places, units)) {
        const QByteArray text = Kvbasicfun::FloatToStringBit(value, places).toLatin1();
        const int length = std::min(int(text.size()), kTextBuffer);
        std::memcpy(buffer, text.constData(), size_t(length));
        return length;
    }
    // The units with at least places + 1 digits, the point before the last "places" of them.
    char digits[32];
    const int width = places + 1;
    const auto res = std::to_chars(digits, digits + sizeof digits, static_cast<long long>(units));
    int count = int(res.ptr - digits);
    if (count < width) {
        std::memmove(digits + (width - count), digits, size_t(count));
        std::memset(digits, '0', size_t(width - count));
        count = width;
    }
    char *out = buffer;
    if (value < 0 && units != 0)
        *out++ = '-';
    const int intDigits = count - places;
    std::memcpy(out, digits, size_t(intDigits));
    out += intDigits;
    if (places > 0) {
        *out++ = '.';
        std::memcpy(out, digits + intDigits, size_t(places));
        out += places;
    }
    return int(out - buffer);
}

QString Text(double value, int places)
{
    char buffer[kTextBuffer];
    return QString::fromLatin1(buffer, FormatText(value, places, buffer));
}
} // namespace CostRounding

namespace {
// Quotient used where a quantity may be 0 (never a NaN or an infinity in a price).
inline double Quotient(double a, double b)
{
    return b != 0 ? a / b : 0.0;
}

// Price of a receipt after its total is known: the price, or total plus fees per unit.
inline double InPriceWithFee(const TInRecord &I, double APrice)
{
    return I.FeeTotal == 0 ? APrice : Round4(Quotient(I.Total + I.FeeTotal, I.Qty));
}

void AppendEscaped(QString &out, const QString &value)
{
    static const auto special = [](QChar c) {
        return c == u'&' || c == u'<' || c == u'>' || c == u'"' || c == u'\'';
    };
    if (std::none_of(value.cbegin(), value.cend(), special)) {
        out += value;
        return;
    }
    for (const QChar c : value) {
        switch (c.unicode()) {
        case '&':
            out += QLatin1String("&amp;");
            break;
        case '<':
            out += QLatin1String("&lt;");
            break;
        case '>':
            out += QLatin1String("&gt;");
            break;
        case '"':
            out += QLatin1String("&quot;");
            break;
        case '\'':
            out += QLatin1String("&apos;");
            break;
        default:
            out += c;
        }
    }
}

void AppendAttr(QString &out, QLatin1String name, const QString &value)
{
    out += QLatin1Char(' ');
    out += name;
    out += QLatin1String("=\"");
    AppendEscaped(out, value);
    out += QLatin1Char('"');
}

void AppendAttr(QString &out, QLatin1String name, int value)
{
    char buffer[16];
    const auto res = std::to_chars(buffer, buffer + sizeof buffer, value);
    out += QLatin1Char(' ');
    out += name;
    out += QLatin1String("=\"");
    out += QLatin1String(buffer, res.ptr);
    out += QLatin1Char('"');
}

// Numbers as FloatToStringBit writes them (fixed decimals, "." and no thousands separator).
void AppendAttr(QString &out, QLatin1String name, double value, int places)
{
    char buffer[CostRounding::kTextBuffer];
    out += QLatin1Char(' ');
    out += name;
    out += QLatin1String("=\"");
    out += QLatin1String(buffer, CostRounding::FormatText(value, places, buffer));
    out += QLatin1Char('"');
}

template <class TRecord> void AppendPriceRecord(QString &out, const TRecord &r)
{
    out += QLatin1String("<Record");
    AppendAttr(out, QLatin1String("ID"), r.ID);
    AppendAttr(out, QLatin1String("Price"), r.Price, 4);
    AppendAttr(out, QLatin1String("Total"), r.Total, 2);
    AppendAttr(out, QLatin1String("Dest"), r.Stock);
    out += QLatin1String("/>");
}
} // namespace

// ---------------------------------------------------------------------------------------------
// TOutRecordRefList

void TOutRecordRefList::Add(TOutRecord *AOutRecord)
{
    if (AOutRecord->FListSlot >= 0)
        return;
    AOutRecord->FListSlot = static_cast<int>(FItems.size());
    FItems.push_back(AOutRecord);
    ++FCount;
}

void TOutRecordRefList::Remove(TOutRecord *AOutRecord)
{
    if (!Contains(AOutRecord))
        return;
    FItems[AOutRecord->FListSlot] = nullptr;
    AOutRecord->FListSlot = -1;
    --FCount;
}

bool TOutRecordRefList::Contains(const TOutRecord *AOutRecord) const
{
    const int slot = AOutRecord->FListSlot;
    return slot >= 0 && slot < static_cast<int>(FItems.size()) && FItems[slot] == AOutRecord;
}

void TOutRecordRefList::Pack()
{
    if (static_cast<int>(FItems.size()) == FCount)
        return;
    int next = 0;
    for (TOutRecord *o : FItems) {
        if (o) {
            o->FListSlot = next;
            FItems[next++] = o;
        }
    }
    FItems.resize(next);
}

// ---------------------------------------------------------------------------------------------
// TMatchRecordList

TMatchRecordList::const_iterator &TMatchRecordList::const_iterator::operator++()
{
    FMatch = FMatch->FNextOfOut;
    return *this;
}

void TMatchRecordList::push_back(TMatchRecord *AMatch)
{
    AMatch->FNextOfOut = nullptr;
    (FLast ? FLast->FNextOfOut : FFirst) = AMatch;
    FLast = AMatch;
    ++FCount;
}

// ---------------------------------------------------------------------------------------------
// TAllStockList: containers

size_t qHash(const TAllStockList::TOutKey &key, size_t seed) noexcept
{
    return qHashMulti(seed, key.Table, key.Dlyorder);
}

TAllStockList::TAllStockList() : FOnGetLinkedOutCost(GetLinkedOutCostFromDB) {}

TAllStockList::~TAllStockList() = default;

TStockInOutList *TAllStockList::Find(const QString &AKtypeID) const
{
    return FListIndex.value(AKtypeID, nullptr);
}

TStockInOutList &TAllStockList::GetOrAdd(const QString &AKtypeID)
{
    if (TStockInOutList *list = Find(AKtypeID))
        return *list;
    FLists.push_back(std::make_unique<TStockInOutList>(AKtypeID));
    FListIndex.insert(AKtypeID, FLists.back().get());
    return *FLists.back();
}

TInRecord &TAllStockList::AddInRecord(const QString &AKtypeID, TInRecord ARecord)
{
    TStockInOutList &list = GetOrAdd(AKtypeID);
    TInRecord &I = list.InRecordList.emplace_back(std::move(ARecord));
    I.StockInOutList = &list;
    I.OutRecord = nullptr;
    list.InRecordQueue.push_back(&I);
    if (I.Appoint == 0)
        (I.OutDlyorder != 0 ? UnknownCostInRecordList : AllZeroCostInRecordList).push_back(&I);
    return I;
}

TOutRecord &TAllStockList::AddOutRecord(const QString &AKtypeID, TOutRecord ARecord)
{
    TStockInOutList &list = GetOrAdd(AKtypeID);
    TOutRecord &O = list.OutRecordList.emplace_back(std::move(ARecord));
    O.StockInOutList = &list;
    O.InRecords.clear();
    O.MatchRecordList = TMatchRecordList();
    // The first issue loaded under a key is the one found by key.
    if (TOutRecord *&slot = AllOutRecordList[TOutKey{O.Table, O.Dlyorder}]; !slot)
        slot = &O;
    if (O.Appoint != 1)
        list.UnknownCostOutRecordList.Add(&O);
    return O;
}

TOutRecord *TAllStockList::GetOutRecord(const QString &ATable, int ADlyorder) const
{
    return AllOutRecordList.value(TOutKey{ATable, ADlyorder}, nullptr);
}

int TAllStockList::AllUnknownOutCostRecordCount() const
{
    int count = 0;
    for (const auto &list : FLists)
        count += list->UnknownCostOutRecordList.Count();
    return count;
}

void TAllStockList::SetOnGetLinkedOutCost(TOnGetLinkedOutCost AOnGetLinkedOutCost)
{
    FOnGetLinkedOutCost = AOnGetLinkedOutCost ? std::move(AOnGetLinkedOutCost) : GetLinkedOutCostFromDB;
}

TLinkedOutCost GetLinkedOutCostFromDB(const QString &ATable, int ADlyorder)
{
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    if (!identifier.match(ATable).hasMatch())
        throw EDatabaseError(QStringLiteral("成本来源单据的明细表名无效：%1").arg(ATable));
    TClientDataSet ds;
    Udlldbservice::OpenSQL(
        QStringLiteral("Select CostPrice,CostTotal,Qty From %1 Where Dlyorder = ?").arg(ATable), {ADlyorder},
        ds);
    TLinkedOutCost cost;
    if (ds.IsEmpty())
        return cost;
    ds.First();
    cost.CostPrice = ds.FieldByName(QStringLiteral("CostPrice")).AsFloat();
    cost.CostTotal = ds.FieldByName(QStringLiteral("CostTotal")).AsFloat();
    cost.Qty = ds.FieldByName(QStringLiteral("Qty")).AsFloat();
    return cost;
}

// ---------------------------------------------------------------------------------------------
// TAllStockList: FIFO steps

void TAllStockList::SetInOutRelationship()
{
    for (TInRecord *I : UnknownCostInRecordList) {
        TOutRecord *O = GetOutRecord(I->OutTable, I->OutDlyorder);
        I->OutRecord = O;
        double q = 0, p = 0, t = 0;
        if (O) {
            O->InRecords.push_back(I);
            if (O->Appoint == 0 && !O->CostCacled)
                continue; // priced when the cost is found
            q = O->Qty;
            p = O->Price;
            t = O->Total;
        } else {
            const TLinkedOutCost cost = FOnGetLinkedOutCost(I->OutTable, I->OutDlyorder);
            q = Round4(cost.Qty);
            p = Round4(cost.CostPrice);
            t = Round2(cost.CostTotal);
        }
        I->Total = I->Qty == q ? t : Round2(p * I->Qty);
        I->Price = InPriceWithFee(*I, p);
        I->LeftTotal = I->LeftTotal + I->Total + I->FeeTotal;
        I->CostCacled = true;
    }
}

bool TAllStockList::CreateMatchRecord()
{
    for (const auto &listPtr : FLists) {
        TStockInOutList &list = *listPtr;
        for (TOutRecord &O : list.OutRecordList) {
            double r = O.Qty;
            while (r > 0) {
                if (list.InRecordQueue.empty())
                    return false; // more issued than received
                TInRecord &I = *list.InRecordQueue.front();
                TMatchRecord &M = list.MatchRecordList.emplace_back();
                M.OutRecord = &O;
                M.InRecord = &I;
                M.Stock = O.Stock;
                O.MatchRecordList.push_back(&M);

                if (I.LeftQty <= r) {
                    // The receipt is used up (a receipt already at 0 gives a match of quantity 0).
                    M.Qty = I.LeftQty;
                    I.LeftQty = 0;
                    r = Round4(r - M.Qty);
                    M.QtyOver = I.CostCacled;
                    list.InRecordQueue.pop_front();
                } else {
                    M.Qty = r;
                    I.LeftQty = Round4(I.LeftQty - r);
                    r = 0;
                }

                if (O.Appoint == 1) {
                    // A given issue cost fixes the cost of what it takes; its last piece takes
                    // the remaining amount.
                    if (M.Qty != O.LeftQty) {
                        M.Price = O.NoFeePrice;
                        M.Total = Round2(M.Qty * M.Price);
                        O.LeftQty = Round4(O.LeftQty - M.Qty);
                        O.LeftTotal = Round2(O.LeftTotal - M.Total);
                    } else {
                        M.Total = O.LeftTotal;
                        M.Price = M.Qty != 0 ? Round4(M.Total / M.Qty) : O.NoFeePrice;
                        O.LeftTotal = 0;
                        O.LeftQty = 0;
                    }
                    I.LeftTotal = Round2(I.LeftTotal - M.Total);
                    M.CostCacled = true;
                }
            }
        }
    }
    return true;
}

void TAllStockList::CalcCost()
{
    for (;;) {
        const int c = AllUnknownOutCostRecordCount();
        if (c == 0)
            return;
        for (const auto &listPtr : FLists) {
            TStockInOutList &list = *listPtr;
            if (list.UnknownCostOutRecordList.IsEmpty())
                continue;
            TOutRecord *previous = nullptr;
            for (TMatchRecord &M : list.MatchRecordList) {
                if (M.OutRecord != previous) {
                    if (previous)
                        UpdateOutRecordCost(*previous);
                    previous = M.OutRecord;
                }
                if (M.CostCacled || !M.InRecord->CostCacled)
                    continue;
                TInRecord &I = *M.InRecord;
                if (M.QtyOver) {
                    // The last match of a known receipt takes its whole remaining amount, so the
                    // receipt is used up without rounding residue. A match of quantity 0 keeps
                    // the receipt's unit price.
                    M.Total = I.LeftTotal;
                    M.Price = M.Qty != 0 ? Round4(M.Total / M.Qty) : I.Price;
                    I.LeftTotal = 0;
                } else {
                    M.Price = I.Price;
                    M.Total = Round2(M.Qty * M.Price);
                    I.LeftTotal = Round2(I.LeftTotal - M.Total);
                }
                M.CostCacled = true;
            }
            if (previous)
                UpdateOutRecordCost(*previous);
            list.UnknownCostOutRecordList.Pack();
        }
        if (AllUnknownOutCostRecordCount() == c)
            return;
    }
}

void TAllStockList::UpdateOutRecordCost(TOutRecord &AOutRecord)
{
    TOutRecord &O = AOutRecord;
    if (O.Appoint == 1 || O.CostCacled)
        return;
    double total = 0;
    for (const TMatchRecord *m : O.MatchRecordList) {
        if (!m->CostCacled)
            return;
        total += m->Total;
    }
    O.Total = total;
    O.Price = Round4(Quotient(O.Total, O.Qty));
    O.CostCacled = true;
    O.StockInOutList->UnknownCostOutRecordList.Remove(&O);
    for (TInRecord *I : O.InRecords) {
        if (I->CostCacled)
            continue;
        I->Total = I->Qty == O.Qty ? O.Total : Round2(O.Price * I->Qty);
        I->Price = InPriceWithFee(*I, O.Price);
        I->LeftTotal = I->LeftTotal + I->Total + I->FeeTotal;
        I->CostCacled = true;
    }
}

void TAllStockList::UpdateOutRecordCostOnlyTotal(TOutRecord &AOutRecord)
{
    TOutRecord &O = AOutRecord;
    double total = 0;
    for (const TMatchRecord *m : O.MatchRecordList) {
        if (!m->CostCacled)
            return;
        total += m->Total;
    }
    O.Total = total;
    O.CostCacled = true;
    for (TInRecord *I : O.InRecords) {
        if (I->CostCacled)
            continue;
        I->Total = I->Qty == O.Qty ? O.Total : Round2(O.Price * I->Qty);
        I->LeftTotal = I->LeftTotal + I->Total + I->FeeTotal;
        I->CostCacled = true;
    }
}

bool TAllStockList::SolveEquation(int XCount, std::vector<double> &Matrix)
{
    return CostEquation::SolveEquation(XCount, Matrix);
}

bool TAllStockList::CalcUnknownCost(const TOnGetFIFOZeroCost &AOnGetZeroCost)
{
    const int n = AllUnknownOutCostRecordCount();
    if (n == 0)
        return true;
    const std::size_t N = static_cast<std::size_t>(n);
    const std::size_t W = N + 1;

    // Number the unknowns in enumeration order.
    std::vector<TOutRecord *> unknowns;
    unknowns.reserve(N);
    for (const auto &list : FLists) {
        for (TOutRecord *O : list->UnknownCostOutRecordList) {
            unknowns.push_back(O);
            O->Index = static_cast<int>(unknowns.size());
        }
    }

    // Row of issue O: Qty(O)·x(O) − Σ uncosted m: Qty(m)·x(issue feeding m's receipt)
    //               = Σ costed m: Total(m) + Σ uncosted m: Qty(m)·fee per unit of m's receipt.
    std::vector<double> matrix(N * W, 0.0);
    for (const TOutRecord *O : unknowns) {
        double *row = matrix.data() + static_cast<std::size_t>(O->Index - 1) * W;
        row[O->Index - 1] = O->Qty;
        for (const TMatchRecord *m : O->MatchRecordList) {
            if (m->CostCacled) {
                row[N] += m->Total;
                continue;
            }
            const TInRecord *I = m->InRecord;
            if (!I->OutRecord || I->OutRecord->Index == 0)
                return false; // the receipt's cost depends on nothing that can be solved
            row[I->OutRecord->Index - 1] -= m->Qty;
            if (I->FeeTotal != 0)
                row[N] += Quotient(m->Qty * I->FeeTotal, I->Qty); // left to right, not Qty·(fee/qty)
        }
    }

    std::vector<double> kept = matrix;
    if (!SolveEquation(n, matrix)) {
        // No unique solution: fix unknowns to a substitute cost, one row after another, until
        // the rest can be solved.
        double p = 0;
        if (!AOnGetZeroCost || !AOnGetZeroCost(unknowns.front()->Vchtype, unknowns.front()->Qty, p))
            return false;
        bool solved = false;
        for (std::size_t k = 0; k < N && !solved; ++k) {
            double *row = kept.data() + k * W;
            std::fill(row, row + W, 0.0);
            row[k] = 1;
            row[N] = p;
            matrix = kept;
            solved = SolveEquation(n, matrix);
        }
        if (!solved)
            return false; // only when the substitute cost itself is not a finite number
    }

    for (TOutRecord *O : unknowns) {
        O->Price = Round4(matrix[static_cast<std::size_t>(O->Index - 1) * W + N]);
        for (TInRecord *I : O->InRecords) {
            if (I->CostCacled)
                continue;
            I->Price = I->FeeTotal == 0 ? O->Price
                                        : Round4(Quotient(Round2(I->Qty * O->Price) + I->FeeTotal, I->Qty));
        }
    }
    for (TOutRecord *O : unknowns) {
        for (TMatchRecord *m : O->MatchRecordList) {
            if (m->CostCacled)
                continue;
            m->Price = m->InRecord->Price;
            m->Total = Round2(m->Qty * m->Price);
            m->InRecord->LeftTotal = Round2(m->InRecord->LeftTotal - m->Total);
            m->CostCacled = true;
        }
    }
    for (TOutRecord *O : unknowns)
        UpdateOutRecordCostOnlyTotal(*O);
    return true;
}

QString TAllStockList::GetUpdateXML() const
{
    QString xml;
    // About 60 characters per receipt or issue and 250 per match.
    qsizetype size = 64;
    for (const auto &list : FLists)
        size += 64 * qsizetype(list->InRecordList.size() + list->OutRecordList.size()) +
                256 * qsizetype(list->MatchRecordList.size());
    xml.reserve(size);

    xml += QLatin1String("<Root><InList>");
    for (const auto &list : FLists)
        for (const TInRecord &I : list->InRecordList)
            AppendPriceRecord(xml, I);
    xml += QLatin1String("</InList><OutList>");
    for (const auto &list : FLists)
        for (const TOutRecord &O : list->OutRecordList)
            AppendPriceRecord(xml, O);
    xml += QLatin1String("</OutList><MatchList>");
    static const QString kBackflush = QStringLiteral("倒扎");
    for (const auto &list : FLists) {
        for (const TMatchRecord &M : list->MatchRecordList) {
            const TInRecord &I = *M.InRecord;
            const TOutRecord &O = *M.OutRecord;
            xml += QLatin1String("<Record");
            AppendAttr(xml, QLatin1String("InTable"), I.Table);
            AppendAttr(xml, QLatin1String("InVchtype"), I.Vchtype);
            AppendAttr(xml, QLatin1String("InVchcode"), I.Vchcode);
            AppendAttr(xml, QLatin1String("InDlyorder"), I.Dlyorder);
            AppendAttr(xml, QLatin1String("OutTable"), O.Table);
            AppendAttr(xml, QLatin1String("OutVchtype"), O.Vchtype);
            AppendAttr(xml, QLatin1String("OutVchcode"), O.Vchcode);
            AppendAttr(xml, QLatin1String("OutDlyorder"), O.Dlyorder);
            AppendAttr(xml, QLatin1String("Qty"), M.Qty, 4);
            AppendAttr(xml, QLatin1String("Price"), M.Price, 4);
            AppendAttr(xml, QLatin1String("Total"), M.Total, 2);
            AppendAttr(xml, QLatin1String("Dest"), M.Stock);
            AppendAttr(xml, QLatin1String("Comment"), M.QtyOver && O.Appoint == 0 ? kBackflush : QString());
            xml += QLatin1String("/>");
        }
    }
    xml += QLatin1String("</MatchList></Root>");
    return xml;
}
