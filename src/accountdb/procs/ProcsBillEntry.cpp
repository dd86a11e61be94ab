// Bill entry: saving a bill from the bill window or a script, and red-word reversal.
//
// P_Bill_Save(@nVchcode, @nVchType, @szDate, @szNumber, @szBTypeID, @szETypeID, @szKTypeID, @szKTypeID2,
//             @szDTypeID, @szSummary, @szComment, @szOperatorID, @szOperatorName, @szXML, @nMode,
//             @bIgnoreWarn) -> @nVchcode, @szNumber, @ErrMsg, @szWarn
//   The lines come as for P_Jxc_PostBill. @nMode 0 keeps the bill as a draft (DlyNdx.Draft 1, lines in
//   BakDly); 1 posts it, or hands it to its audit flow when the bill type has one. @nVchcode names a draft
//   to replace or a bill its auditor returned (resubmitted); 0 is a new bill. The header fields the bill
//   type marks as required must be filled. An empty @szNumber takes the next number of the type's
//   pattern (p_jxc_GetVchNumber) once the bill is saved. Before posting, the lines are checked against
//   the stock limits: a line that takes a goods item beyond its lower or upper limit refuses the save with
//   the warnings in @szWarn unless @bIgnoreWarn is 1.
//   Results: 0 posted; 1 waiting for audit; 2 draft saved; -1 to -9 as P_Jxc_PostBill; -10 a required
//   field is empty; -11 @nVchcode is not a draft or returned bill of this type; -12 stock warnings.
//   Nothing is written on a refusal.
//
// P_Bill_RedWord(@nVchcode, @szOperatorID) -> @nVchcode, @ErrMsg
//   Reverses a posted bill: posts the opposite bill (purchase <-> purchase return, sale -> sales return
//   taking the cost of the sale's lines, other receipt <-> other issue, gain <-> loss, transfer back) dated
//   as the original, marks the original RedOld and the reversing bill RedWord. Given costs keep the
//   original's line cost, so stock and its value return to what they were.
//   Results: 0 reversed; -1 not a posted bill; -2 already reversed or itself a reversal; -3 its period is
//   closed; -4 bills of its type are not reversed; other negative codes as P_Jxc_PostBill.
//
// P_Bill_DeleteDraft(@nVchcode) -> 0 deleted; -1 not a draft.

#include <QDate>
#include <QSet>

#include "AccountDatabase.h"
#include "AuditEngine.h"
#include "BillPoster.h"
#include "CostingCommon.h"
#include "Kvbasicfun.h"
#include "Procedures.h"

namespace accountdb {

namespace {

using costing::StockKind;

constexpr int kDraft = 1;
constexpr int kPosted = 2;
constexpr double kNoUpper = 999999999;

enum SaveResult {
    Posted = 0,
    Waiting = 1,
    DraftSaved = 2,
    RequiredMissing = -10,
    NotEditable = -11,
    StockWarning = -12,
};

QString stringIn(ProcContext &ctx, const char *name)
{
    return ctx.in(QString::fromLatin1(name)).toString().trimmed();
}

// The first required header field of the bill type that the bill leaves empty, by its caption.
QString missingRequired(ProcContext &ctx, const PostBill &bill, const QString &comment)
{
    const QHash<QString, QString> values = {
        {QStringLiteral("date"), bill.date},         {QStringLiteral("btypeid"), bill.btypeId},
        {QStringLiteral("etypeid"), bill.etypeId},   {QStringLiteral("ktypeid"), bill.ktypeId},
        {QStringLiteral("ktypeid2"), bill.ktypeId2}, {QStringLiteral("dtypeid"), bill.dtypeId},
        {QStringLiteral("summary"), bill.summary},   {QStringLiteral("comment"), comment}};
    QSqlQuery q = ctx.exec(QStringLiteral("SELECT DataField, TitleName, FieldNameO FROM T_Jxc_VchTitle "
                                          "WHERE VchType = ? AND Required = 1 AND Visible = 1 "
                                          "ORDER BY TitleOrder"),
                           {bill.vchtype});
    while (q.next()) {
        const QString field = q.value(0).toString().toLower();
        if (values.contains(field) && values.value(field).trimmed().isEmpty())
            return q.value(2).toString().isEmpty() ? q.value(1).toString() : q.value(2).toString();
    }
    return QString();
}

// The warehouse a line moves stock in (empty for the other stock kinds).
QString lineWarehouse(const PostBill &bill, const PostLine &l, const costing::LineRule &rule)
{
    if (rule.kind != StockKind::Stock)
        return QString();
    if (!l.ktypeId.isEmpty())
        return l.ktypeId;
    return (costing::baseType(bill.vchtype) == 21 && l.usedType == 1) ? bill.ktypeId2 : bill.ktypeId;
}

// Stock-limit warnings of the quantities the bill would leave: per warehouse with that warehouse's
// limits, and over all warehouses with the company's ("00000"). Only a bill that moves stock towards a
// limit and past it warns.
QStringList stockWarnings(ProcContext &ctx, const PostBill &bill)
{
    QHash<QString, QHash<QString, double>> delta; // goods -> warehouse ("00000": all) -> change
    QStringList goodsOrder;
    for (const PostLine &l : bill.lines) {
        const std::optional<costing::LineRule> rule =
            costing::lineRule(costing::baseType(bill.vchtype), l.usedType);
        if (!rule || rule->kind != StockKind::Stock)
            continue;
        const double change = rule->receipt ? l.qty : -l.qty;
        if (!delta.contains(l.ptypeId))
            goodsOrder << l.ptypeId;
        delta[l.ptypeId][lineWarehouse(bill, l, *rule)] += change;
        delta[l.ptypeId][QStringLiteral("00000")] += change;
    }
    QStringList warnings;
    for (const QString &ptype : std::as_const(goodsOrder)) {
        QSqlQuery limits = ctx.exec(QStringLiteral("SELECT w.KtypeId, w.WarnDown, w.WarnUp, "
                                                   "coalesce(p.FullName, ''), coalesce(s.FullName, '') "
                                                   "FROM T_Jxc_PtypeWarn w LEFT JOIN ptype p ON p.typeId = "
                                                   "w.PtypeId LEFT JOIN stock s ON s.typeId = w.KtypeId "
                                                   "WHERE w.PtypeId = ? ORDER BY w.KtypeId"),
                                    {ptype});
        while (limits.next()) {
            const QString ktype = limits.value(0).toString();
            const auto change = delta.value(ptype).constFind(ktype);
            if (change == delta.value(ptype).constEnd() || change.value() == 0)
                continue;
            const bool all = ktype == QStringLiteral("00000");
            const double now =
                all ? ctx.value(QStringLiteral(
                                    "SELECT coalesce(sum(Qty), 0) FROM GoodsStocks WHERE PtypeId = ?"),
                                {ptype})
                          .toDouble()
                    : ctx.value(
                             QStringLiteral("SELECT coalesce(sum(Qty), 0) FROM GoodsStocks WHERE PtypeId = ? "
                                            "AND KtypeId = ?"),
                             {ptype, ktype})
                          .toDouble();
            const double after = Kvbasicfun::Round4(now + change.value());
            const double down = limits.value(1).toDouble();
            const double up = limits.value(2).toDouble();
            const QString where = all ? QStringLiteral("全部仓库") : limits.value(4).toString();
            const QString name = limits.value(3).toString();
            if (change.value() < 0 && after < down)
                warnings << QStringLiteral("存货[%1]在%2的库存将为%3，低于下限%4。")
                                .arg(name, where, Kvbasicfun::FloatToStringBit(after, 4),
                                     Kvbasicfun::FloatToStringBit(down, 4));
            else if (change.value() > 0 && up < kNoUpper && after > up)
                warnings << QStringLiteral("存货[%1]在%2的库存将为%3，高于上限%4。")
                                .arg(name, where, Kvbasicfun::FloatToStringBit(after, 4),
                                     Kvbasicfun::FloatToStringBit(up, 4));
        }
    }
    return warnings;
}

// The next number of the bill type's pattern for the date: previewed (take false) or taken.
QString billNumber(ProcContext &ctx, const PostBill &bill, const QString &operatorName, bool take)
{
    ProcParams p{{QStringLiteral("@nWork"), take ? 1 : 0},
                 {QStringLiteral("@nVchType"), bill.vchtype},
                 {QStringLiteral("@szDate"), bill.date},
                 {QStringLiteral("@szNumberIn"), QString()},
                 {QStringLiteral("@szOperatorName"), operatorName},
                 {QStringLiteral("@szNumber"), QString(), true}};
    if (ctx.call(QStringLiteral("p_jxc_GetVchNumber"), p) < 0)
        return QString();
    return p.last().value.toString();
}

void removeDraft(ProcContext &ctx, qint64 vchcode)
{
    ctx.exec(QStringLiteral("DELETE FROM BakDly WHERE Vchcode = ?"), {vchcode});
    ctx.exec(QStringLiteral("DELETE FROM DlyNdx WHERE Vchcode = ? AND Draft = 1"), {vchcode});
}

// Stores the bill as a draft: under its own code when it replaces one, else under a new code.
int saveDraft(ProcContext &ctx, PostBill &bill, const QString &comment)
{
    BillPoster poster(ctx.database());
    if (!QDate::fromString(bill.date, QStringLiteral("yyyy-MM-dd")).isValid() ||
        poster.periodOf(bill.date) == 0) {
        ctx.setOut(QStringLiteral("@ErrMsg"), QStringLiteral("单据日期不在会计期间内：%1").arg(bill.date));
        return BillPoster::BadDate;
    }
    double total = 0;
    for (const PostLine &l : bill.lines)
        total += l.total != 0 ? Kvbasicfun::Round2(l.total) : Kvbasicfun::Round2(l.qty * l.price);
    if (bill.vchcode > 0)
        removeDraft(ctx, bill.vchcode);
    else
        bill.vchcode = poster.takeVchcode();
    ctx.exec(QStringLiteral("INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Number, Period, BtypeId, EtypeId, "
                            "KtypeId, KTypeID2, DtypeId, Summary, Comment, Total, Draft, InputNo) "
                            "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1, ?)"),
             {bill.vchcode, bill.vchtype, bill.date, bill.number, poster.periodOf(bill.date), bill.btypeId,
              bill.etypeId, bill.ktypeId, bill.ktypeId2, bill.dtypeId, bill.summary, comment,
              Kvbasicfun::Round2(total), bill.inputNo});
    for (int i = 0; i < bill.lines.size(); ++i) {
        const PostLine &l = bill.lines[i];
        ctx.exec(
            QStringLiteral("INSERT INTO BakDly (Vchcode, Vchtype, RowNo, PtypeId, KtypeId, BlockNo, Qty, "
                           "Price, Total, FeeTotal, UsedType, Appoint, SourceLine, SourceDlyorder, "
                           "Comment) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {bill.vchcode, bill.vchtype, i + 1, l.ptypeId, l.ktypeId, l.blockNo, l.qty, l.price, l.total,
             l.feeTotal, l.usedType, l.appoint, l.sourceLine, l.sourceDlyorder, l.comment});
    }
    return DraftSaved;
}

// A transfer is entered one line per goods item; each line gets its receiving line into the second
// warehouse here, unless the lines already come in pairs.
void addTransferReceipts(PostBill &bill)
{
    if (costing::baseType(bill.vchtype) != 21)
        return;
    for (const PostLine &l : std::as_const(bill.lines))
        if (l.usedType != 0)
            return;
    const qsizetype entered = bill.lines.size();
    for (qsizetype i = 0; i < entered; ++i) {
        PostLine receipt = bill.lines[i];
        receipt.usedType = 1;
        receipt.ktypeId.clear();
        receipt.sourceLine = int(i) + 1;
        bill.lines.append(receipt);
    }
}

int saveBill(ProcContext &ctx)
{
    const qint64 previous = ctx.in(QStringLiteral("@nVchcode")).toLongLong();
    ctx.setOut(QStringLiteral("@nVchcode"), 0);
    ctx.setOut(QStringLiteral("@szNumber"), QString());
    ctx.setOut(QStringLiteral("@ErrMsg"), QString());
    ctx.setOut(QStringLiteral("@szWarn"), QString());
    const auto refuse = [&](int code, const QString &message) {
        ctx.setOut(QStringLiteral("@ErrMsg"), message);
        return code;
    };
    PostBill bill;
    QString error;
    if (!readPostBill(ctx, bill, error))
        return refuse(-8, error);
    addTransferReceipts(bill);
    const QString comment = stringIn(ctx, "@szComment");
    const QString operatorName = stringIn(ctx, "@szOperatorName");
    const bool post = ctx.in(QStringLiteral("@nMode")).toInt() == 1;

    const QString missing = missingRequired(ctx, bill, comment);
    if (!missing.isEmpty())
        return refuse(RequiredMissing, QStringLiteral("%1不能为空，请录入后再保存。").arg(missing));
    bool draft = false;
    qint64 resubmit = 0;
    if (previous > 0) {
        QSqlQuery q =
            ctx.exec(QStringLiteral("SELECT Draft, Vchtype FROM DlyNdx WHERE Vchcode = ?"), {previous});
        const bool found = q.next();
        draft = found && q.value(0).toInt() == kDraft && q.value(1).toInt() == bill.vchtype;
        const std::optional<audit::BillState> state = audit::billState(ctx.database(), previous);
        if (!draft && state && state->state == audit::Returned && state->vchtype == bill.vchtype)
            resubmit = previous;
        else if (!draft)
            return refuse(NotEditable, QStringLiteral("该单据已经过账或在审核中，不能修改。"));
    }

    if (!post) {
        if (bill.number.isEmpty())
            bill.number = billNumber(ctx, bill, operatorName, true);
        bill.vchcode = previous;
        const int result = saveDraft(ctx, bill, comment);
        if (result < 0)
            return result;
        ctx.setOut(QStringLiteral("@nVchcode"), bill.vchcode);
        ctx.setOut(QStringLiteral("@szNumber"), bill.number);
        return result;
    }

    if (!ctx.in(QStringLiteral("@bIgnoreWarn")).toBool()) {
        const QStringList warnings = stockWarnings(ctx, bill);
        if (!warnings.isEmpty()) {
            ctx.setOut(QStringLiteral("@szWarn"), warnings.join(u'\n'));
            return refuse(StockWarning, warnings.join(u'\n'));
        }
    }
    const bool numbered = bill.number.isEmpty();
    if (numbered)
        bill.number = billNumber(ctx, bill, operatorName, false);
    qint64 code = 0;
    int result = Posted;
    if (resubmit > 0 || audit::flowEnabled(ctx.database(), bill.vchtype)) {
        code = audit::submit(ctx.database(), bill, resubmit, &error);
        if (code >= 0 && audit::billState(ctx.database(), code)->state == audit::Waiting)
            result = Waiting;
    } else {
        BillPoster poster(ctx.database());
        code = poster.post(bill);
        error = poster.lastError();
        if (code >= 0)
            poster.flush();
    }
    if (code < 0)
        return refuse(int(code), error); // refused before anything was written; a draft stays
    if (draft)
        removeDraft(ctx, previous); // the posted bill takes its place under a code of its own
    if (numbered) {
        // Another workstation may have taken the previewed number meanwhile: the bill gets the one taken.
        const QString taken = billNumber(ctx, bill, operatorName, true);
        if (taken != bill.number)
            ctx.exec(QStringLiteral("UPDATE DlyNdx SET Number = ? WHERE Vchcode = ?"), {taken, code});
        bill.number = taken;
    }
    if (!comment.isEmpty())
        ctx.exec(QStringLiteral("UPDATE DlyNdx SET Comment = ? WHERE Vchcode = ?"), {comment, code});
    ctx.setOut(QStringLiteral("@nVchcode"), code);
    ctx.setOut(QStringLiteral("@szNumber"), bill.number);
    return result;
}

// The bill type that undoes a bill of type b, or 0 when bills of that type are not reversed.
int reversingType(int b)
{
    static const QHash<int, int> kOpposite = {{34, 6},    {6, 34}, {11, 45}, {45, 11}, {140, 141},
                                              {141, 140}, {14, 9}, {9, 14},  {21, 21}};
    return kOpposite.value(b, 0);
}

int redWord(ProcContext &ctx)
{
    ctx.setOut(QStringLiteral("@ErrMsg"), QString());
    const auto refuse = [&](int code, const QString &message) {
        ctx.setOut(QStringLiteral("@ErrMsg"), message);
        return code;
    };
    const qint64 vchcode = ctx.in(QStringLiteral("@nVchcode")).toLongLong();
    ctx.setOut(QStringLiteral("@nVchcode"), 0);
    QSqlQuery head =
        ctx.exec(QStringLiteral("SELECT Vchtype, Date, Number, BtypeId, EtypeId, KtypeId, KTypeID2, "
                                "DtypeId, Summary, Draft, RedWord, RedOld, Period FROM DlyNdx "
                                "WHERE Vchcode = ?"),
                 {vchcode});
    if (!head.next() || head.value(9).toInt() != kPosted)
        return refuse(-1, QStringLiteral("只有已过账的单据才能红字反冲。"));
    if (head.value(10).toString() == QStringLiteral("T") || head.value(11).toString() == QStringLiteral("T"))
        return refuse(-2, QStringLiteral("该单据已经红字反冲或本身是红字单据，不能再反冲。"));
    const int b = costing::baseType(head.value(0).toInt());
    const int opposite = reversingType(b);
    if (opposite == 0)
        return refuse(-4, QStringLiteral("这种单据不能红字反冲。"));
    if (head.value(12).toInt() < costing::sysInt(ctx.database(), QStringLiteral("JxcPeriod"), 0))
        return refuse(-3, QStringLiteral("单据所在期间已经结账，不能红字反冲。"));

    PostBill red;
    red.vchtype = opposite;
    red.date = head.value(1).toString();
    red.number = head.value(2).toString() + QStringLiteral("-红冲");
    red.btypeId = head.value(3).toString();
    red.etypeId = head.value(4).toString();
    // A transfer goes back from the warehouse that received it.
    red.ktypeId = head.value(b == 21 ? 6 : 5).toString();
    red.ktypeId2 = head.value(b == 21 ? 5 : 6).toString();
    red.dtypeId = head.value(7).toString();
    red.summary = QStringLiteral("红字反冲：") + head.value(8).toString();
    red.inputNo = stringIn(ctx, "@szOperatorID");
    QSqlQuery lines =
        ctx.exec(QStringLiteral("SELECT PtypeId, KtypeId, BlockNo, abs(Qty), Price, abs(Total), "
                                "CostPrice, FeeTotal, UsedType, Dlyorder, Comment FROM %1 "
                                "WHERE Vchcode = ? ORDER BY RowNo")
                     .arg(costing::lineTable(b)),
                 {vchcode});
    while (lines.next()) {
        PostLine l;
        l.ptypeId = lines.value(0).toString();
        l.ktypeId = b == 21 ? QString() : lines.value(1).toString();
        l.blockNo = lines.value(2).toString();
        l.qty = lines.value(3).toDouble();
        l.usedType = lines.value(8).toInt();
        l.comment = lines.value(10).toString();
        const std::optional<costing::LineRule> rule = costing::lineRule(b, l.usedType);
        if (b == 11) {
            l.sourceDlyorder = lines.value(9).toLongLong(); // back into stock at the sale's cost
            l.price = lines.value(4).toDouble();
            l.total = lines.value(5).toDouble();
        } else if (rule && rule->receipt && rule->appoint != 0) {
            l.price = lines.value(4).toDouble(); // leaves at the price it came in with
            l.total = lines.value(5).toDouble();
            l.feeTotal = lines.value(7).toDouble();
            l.appoint = 1;
        } else if (b != 21) {
            l.price = lines.value(6).toDouble(); // comes back at the cost it left with
            l.total = Kvbasicfun::Round2(l.qty * l.price);
            l.appoint = 1;
        }
        red.lines.append(l);
    }
    BillPoster poster(ctx.database());
    const qint64 code = poster.post(red);
    if (code < 0)
        return refuse(int(code), poster.lastError());
    poster.flush();
    ctx.exec(QStringLiteral("UPDATE DlyNdx SET RedWord = 'T' WHERE Vchcode = ?"), {code});
    ctx.exec(QStringLiteral("UPDATE DlyNdx SET RedOld = 'T' WHERE Vchcode = ?"), {vchcode});
    ctx.setOut(QStringLiteral("@nVchcode"), code);
    return 0;
}

int deleteDraft(ProcContext &ctx)
{
    const qint64 vchcode = ctx.in(QStringLiteral("@nVchcode")).toLongLong();
    if (ctx.value(QStringLiteral("SELECT Draft FROM DlyNdx WHERE Vchcode = ?"), {vchcode}).toInt() != kDraft)
        return -1;
    removeDraft(ctx, vchcode);
    return 0;
}

} // namespace

void registerBillEntryProcs(ProcRegistry &registry)
{
    registry.add(QStringLiteral("P_Bill_Save"), &saveBill);
    registry.add(QStringLiteral("P_Bill_RedWord"), &redWord);
    registry.add(QStringLiteral("P_Bill_DeleteDraft"), &deleteDraft);
}

} // namespace accountdb
