// Bill import: each bill of an import file is first written as a draft (DlyNdx and its line table with
// Draft = 1) and then posted in its place.
//
// p_jxc_importDlyndx(@Vchtype, @szBTypeID, @Custom1, @BtypeUserCode2, @BtypeFullName2, @szEtypeID,
//                    @Custom2, @szKtypeID, @Custom3, @szBillNumber, @szBillDate, @szSummary, @szKtypeID2,
//                    @Custom4, @szDtypeID, @Custom5, @szParID, @Custom6, @OperatorID, @Custom7, @Custom8,
//                    @mUserCode, @mFullName) -> @ErrMsg
//   Writes the head of a draft bill: the bill type by name, the base data by code (names are only
//   shown in messages). Returns the draft's Vchcode (> 0); -1 unknown bill type, -2 bad date, -3
//   unknown base data (@ErrMsg names it). The number of the file is not kept: the bill gets a new one
//   when posted.
//
// p_jxc_importbakDly(@Vchcode, @sVchtype, @szUserCode, @szFullName, @szATypeID, @Custom1, @dQty, @dPrice,
//                    @dTotal, @Custom2 … @Custom7, @szComment, @szProDate, @szBlockno, @Custom8,
//                    @szCustom1Code … @szCustom4Name, @szKTypeCode, @szKTypeName, @QtyOther,
//                    @BtypeOtherCode, @DetailSign) -> @ErrMsg
//   Adds one line to the draft @Vchcode: goods and line warehouse by code, quantity, price and amount,
//   the batch, the comment and the line's UsedType (@DetailSign). @BtypeOtherCode "<Vchcode>/<row>"
//   names the line of a posted bill this line takes its cost from. Returns 0; -1 no such draft, -3
//   unknown goods or warehouse, -6 quantity not above zero or no such source line.
//
// p_jxc_importPostBill(@Vchcode, @OperatorID, @OperatorName) -> @nVchcode, @szNumber, @ErrMsg
//   Replaces the draft by the bill posted through P_Jxc_PostBill with a new number of the account set's
//   numbering (p_jxc_GetVchNumber), so audit flows apply: 0 posted, 1 waiting for audit, negative as
//   P_Jxc_PostBill (the draft is removed either way; the import's transaction undoes everything). A
//   posted bill is recorded in the event log with its new number.

#include <QDate>
#include <QXmlStreamWriter>

#include "AccountDatabase.h"
#include "CostingCommon.h"
#include "EventLog.h"
#include "Kvbasicfun.h"
#include "Procedures.h"
#include "ProcsBillIo.h"

namespace accountdb {

namespace {

// Resolves one base-data code of the head; false (with @ErrMsg) when a given code is unknown here.
bool resolve(ProcContext &ctx, const QString &mode, const QString &codeParam, const QString &nameParam,
             const QString &what, QString &typeId)
{
    const QString code = ctx.in(codeParam).toString().trimmed();
    typeId = billio::typeIdOf(ctx, billio::baseTable(mode), code);
    if (code.isEmpty() || !typeId.isEmpty())
        return true;
    ctx.setOut(QStringLiteral("@ErrMsg"),
               QStringLiteral("%1不存在：%2 %3").arg(what, code, ctx.in(nameParam).toString().trimmed()));
    return false;
}

int importDlyndx(ProcContext &ctx)
{
    ctx.setOut(QStringLiteral("@ErrMsg"), QString());
    const QString typeName = ctx.in(QStringLiteral("@Vchtype")).toString().trimmed();
    const QVariant vchtype =
        ctx.value(QStringLiteral("SELECT Vchtype FROM T_GBL_Vchtype WHERE Name = ?"), {typeName});
    if (!vchtype.isValid()) {
        ctx.setOut(QStringLiteral("@ErrMsg"), QStringLiteral("单据类型不存在：") + typeName);
        return -1;
    }
    const QString date = ctx.in(QStringLiteral("@szBillDate")).toString().trimmed();
    if (!QDate::fromString(date, QStringLiteral("yyyy-MM-dd")).isValid()) {
        ctx.setOut(QStringLiteral("@ErrMsg"), QStringLiteral("单据日期无效：") + date);
        return -2;
    }
    QString btype, etype, ktype, ktype2, dtype;
    if (!resolve(ctx, QStringLiteral("B"), QStringLiteral("@szBTypeID"), QStringLiteral("@Custom1"),
                 QStringLiteral("单位"), btype) ||
        !resolve(ctx, QStringLiteral("E"), QStringLiteral("@szEtypeID"), QStringLiteral("@Custom2"),
                 QStringLiteral("经办人"), etype) ||
        !resolve(ctx, QStringLiteral("K"), QStringLiteral("@szKtypeID"), QStringLiteral("@Custom3"),
                 QStringLiteral("仓库"), ktype) ||
        !resolve(ctx, QStringLiteral("K"), QStringLiteral("@szKtypeID2"), QStringLiteral("@Custom4"),
                 QStringLiteral("仓库"), ktype2) ||
        !resolve(ctx, QStringLiteral("D"), QStringLiteral("@szDtypeID"), QStringLiteral("@Custom5"),
                 QStringLiteral("部门"), dtype))
        return -3;
    // A date outside the calendar is refused by the posting, with its message.
    const int period = ctx.value(QStringLiteral("SELECT Period FROM T_Gbl_MonthProc WHERE StartDate <= ? AND "
                                                "EndDate >= ?"),
                                 {date, date})
                           .toInt();
    const qint64 vchcode =
        ctx.value(QStringLiteral(
                      "SELECT max(v) + 1 FROM (SELECT coalesce(max(Vchcode), 0) AS v FROM DlyNdx UNION "
                      "ALL SELECT coalesce(max(Vchcode), 0) FROM DlyNdxIni) AS counters"))
            .toLongLong();
    ctx.exec(QStringLiteral(
                 "INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Period, BtypeId, EtypeId, KtypeId, "
                 "KTypeID2, DtypeId, Summary, Draft, InputNo) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1, ?)"),
             {vchcode, vchtype.toInt(), date, period, btype, etype, ktype, ktype2, dtype,
              ctx.in(QStringLiteral("@szSummary")).toString(),
              ctx.in(QStringLiteral("@OperatorID")).toString().trimmed()});
    return int(vchcode);
}

int importBakDly(ProcContext &ctx)
{
    ctx.setOut(QStringLiteral("@ErrMsg"), QString());
    const qint64 vchcode = ctx.in(QStringLiteral("@Vchcode")).toLongLong();
    QSqlQuery head =
        ctx.exec(QStringLiteral("SELECT Vchtype, Date, Period FROM DlyNdx WHERE Vchcode = ? AND Draft = 1"),
                 {vchcode});
    if (!head.next())
        return -1;
    const int vchtype = head.value(0).toInt();
    const QString date = head.value(1).toString();
    const int period = head.value(2).toInt();
    head.finish();
    const QString goodsCode = ctx.in(QStringLiteral("@szUserCode")).toString().trimmed();
    const QString ptype = billio::typeIdOf(ctx, QStringLiteral("ptype"), goodsCode);
    if (ptype.isEmpty()) {
        ctx.setOut(QStringLiteral("@ErrMsg"),
                   QStringLiteral("存货不存在：%1 %2")
                       .arg(goodsCode, ctx.in(QStringLiteral("@szFullName")).toString().trimmed()));
        return -3;
    }
    QString ktype;
    if (!resolve(ctx, QStringLiteral("K"), QStringLiteral("@szKTypeCode"), QStringLiteral("@szKTypeName"),
                 QStringLiteral("仓库"), ktype))
        return -3;
    const double qty = ctx.in(QStringLiteral("@dQty")).toDouble();
    if (!(qty > 0)) {
        ctx.setOut(QStringLiteral("@ErrMsg"), QStringLiteral("数量必须大于零：") + goodsCode);
        return -6;
    }
    qint64 sourceDlyorder = 0;
    const QStringList source = ctx.in(QStringLiteral("@BtypeOtherCode")).toString().trimmed().split(u'/');
    if (source.size() == 2) {
        sourceDlyorder =
            ctx.value(QStringLiteral("SELECT Dlyorder FROM %1 WHERE Vchcode = ? AND RowNo = ? AND Draft = 2")
                          .arg(billio::sourceTable(vchtype)),
                      {source[0].toLongLong(), source[1].toInt()})
                .toLongLong();
        if (sourceDlyorder <= 0) {
            ctx.setOut(QStringLiteral("@ErrMsg"), QStringLiteral("原单明细不存在：") + source.join(u'/'));
            return -6;
        }
    }
    const QString table = costing::lineTable(costing::baseType(vchtype));
    const qint64 dlyorder =
        ctx.value(QStringLiteral("SELECT coalesce(max(Dlyorder), 0) + 1 FROM %1").arg(table)).toLongLong();
    const int rowNo =
        ctx.value(QStringLiteral("SELECT count(*) + 1 FROM %1 WHERE Vchcode = ?").arg(table), {vchcode})
            .toInt();
    ctx.exec(
        QStringLiteral("INSERT INTO %1 (Dlyorder, Vchcode, Vchtype, Date, Period, RowNo, PtypeId, KtypeId, "
                       "UsedType, Qty, Price, Total, BlockNo, SourceDlyorder, Draft, Comment) "
                       "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 1, ?)")
            .arg(table),
        {dlyorder, vchcode, vchtype, date, period, rowNo, ptype, ktype,
         ctx.in(QStringLiteral("@DetailSign")).toInt(), qty, ctx.in(QStringLiteral("@dPrice")).toDouble(),
         ctx.in(QStringLiteral("@dTotal")).toDouble(),
         ctx.in(QStringLiteral("@szBlockno")).toString().trimmed(), sourceDlyorder,
         ctx.in(QStringLiteral("@szComment")).toString()});
    return 0;
}

// The draft's lines as the line document of P_Jxc_PostBill.
QString linesXml(ProcContext &ctx, const QString &table, qint64 vchcode)
{
    QString xml;
    QXmlStreamWriter w(&xml);
    w.writeStartElement(QStringLiteral("Root"));
    QSqlQuery q =
        ctx.exec(QStringLiteral(
                     "SELECT PtypeId, KtypeId, BlockNo, Qty, Price, Total, UsedType, Comment, SourceDlyorder "
                     "FROM %1 WHERE Vchcode = ? ORDER BY RowNo")
                     .arg(table),
                 {vchcode});
    while (q.next()) {
        w.writeStartElement(QStringLiteral("Record"));
        w.writeAttribute(QStringLiteral("PtypeID"), q.value(0).toString());
        w.writeAttribute(QStringLiteral("KtypeID"), q.value(1).toString());
        w.writeAttribute(QStringLiteral("BlockNo"), q.value(2).toString());
        w.writeAttribute(QStringLiteral("Qty"), Kvbasicfun::DoubleToString(q.value(3).toDouble()));
        w.writeAttribute(QStringLiteral("Price"), Kvbasicfun::DoubleToString(q.value(4).toDouble()));
        w.writeAttribute(QStringLiteral("Total"), Kvbasicfun::DoubleToString(q.value(5).toDouble()));
        w.writeAttribute(QStringLiteral("UsedType"), QString::number(q.value(6).toInt()));
        w.writeAttribute(QStringLiteral("Comment"), q.value(7).toString());
        if (const qint64 source = q.value(8).toLongLong(); source > 0)
            w.writeAttribute(QStringLiteral("SourceDlyorder"), QString::number(source));
        w.writeEndElement();
    }
    w.writeEndElement();
    return xml;
}

int importPostBill(ProcContext &ctx)
{
    ctx.setOut(QStringLiteral("@nVchcode"), 0);
    ctx.setOut(QStringLiteral("@szNumber"), QString());
    ctx.setOut(QStringLiteral("@ErrMsg"), QString());
    const qint64 draft = ctx.in(QStringLiteral("@Vchcode")).toLongLong();
    QSqlQuery head =
        ctx.exec(QStringLiteral("SELECT Vchtype, Date, BtypeId, EtypeId, KtypeId, KTypeID2, DtypeId, "
                                "Summary FROM DlyNdx WHERE Vchcode = ? AND Draft = 1"),
                 {draft});
    if (!head.next()) {
        ctx.setOut(QStringLiteral("@ErrMsg"), QStringLiteral("没有待导入的单据草稿。"));
        return -6;
    }
    QVariantList h;
    for (int i = 0; i < 8; ++i)
        h << head.value(i);
    head.finish();
    const QString table = costing::lineTable(costing::baseType(h[0].toInt()));
    const QString xml = linesXml(ctx, table, draft);
    ctx.exec(QStringLiteral("DELETE FROM %1 WHERE Vchcode = ?").arg(table), {draft});
    ctx.exec(QStringLiteral("DELETE FROM DlyNdx WHERE Vchcode = ?"), {draft});
    ProcParams number{{QStringLiteral("@nWork"), 1},
                      {QStringLiteral("@nVchType"), h[0].toInt()},
                      {QStringLiteral("@szDate"), h[1].toString()},
                      {QStringLiteral("@szNumberIn"), QString()},
                      {QStringLiteral("@szOperatorName"), ctx.in(QStringLiteral("@OperatorName")).toString()},
                      {QStringLiteral("@szNumber"), QString(), true}};
    if (const int r = ctx.call(QStringLiteral("p_jxc_GetVchNumber"), number); r < 0) {
        ctx.setOut(QStringLiteral("@ErrMsg"), QStringLiteral("不能生成单据编号。"));
        return -1;
    }
    ProcParams post{{QStringLiteral("@nVchType"), h[0].toInt()},
                    {QStringLiteral("@szDate"), h[1].toString()},
                    {QStringLiteral("@szNumber"), number.last().value.toString()},
                    {QStringLiteral("@szBTypeID"), h[2].toString()},
                    {QStringLiteral("@szETypeID"), h[3].toString()},
                    {QStringLiteral("@szKTypeID"), h[4].toString()},
                    {QStringLiteral("@szKTypeID2"), h[5].toString()},
                    {QStringLiteral("@szDTypeID"), h[6].toString()},
                    {QStringLiteral("@szSummary"), h[7].toString()},
                    {QStringLiteral("@szOperatorID"), ctx.in(QStringLiteral("@OperatorID")).toString()},
                    {QStringLiteral("@szXML"), xml}};
    const int result = ctx.call(QStringLiteral("P_Jxc_PostBill"), post);
    for (const ProcParam &p : std::as_const(post)) {
        if (p.isOutput)
            ctx.setOut(p.name, p.value);
    }
    ctx.setOut(QStringLiteral("@szNumber"), number.last().value.toString());
    if (result >= 0)
        writeEvent(ctx, ctx.in(QStringLiteral("@OperatorID")).toString(),
                   event::BillImport.arg(number.last().value.toString()),
                   ctx.in(QStringLiteral("@OperatorName")).toString());
    return result;
}

} // namespace

void registerBillIoImportProcs(ProcRegistry &registry)
{
    registry.add(QStringLiteral("p_jxc_importDlyndx"), &importDlyndx);
    registry.add(QStringLiteral("p_jxc_importbakDly"), &importBakDly);
    registry.add(QStringLiteral("p_jxc_importPostBill"), &importPostBill);
}

} // namespace accountdb
