#include "BillStore.h"

#include <QSqlQuery>
#include <QXmlStreamWriter>

#include "AccountDatabase.h"
#include "AuditEngine.h"
#include "HostBillConfig.h"

namespace {

const QStringList kHeadColumns = {
    QStringLiteral("Date"),    QStringLiteral("Number"),  QStringLiteral("BtypeId"),
    QStringLiteral("EtypeId"), QStringLiteral("KtypeId"), QStringLiteral("KTypeID2"),
    QStringLiteral("DtypeId"), QStringLiteral("Summary"), QStringLiteral("Comment")};

QString NumberAttr(double value)
{
    return QString::number(value, 'g', 15);
}

QString OutValue(const accountdb::ProcParams &params, const QString &name)
{
    for (const accountdb::ProcParam &p : params)
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return p.value.toString();
    return QString();
}

} // namespace

namespace BillStore {

QHash<QString, QString> GoodsTexts(accountdb::AccountDatabase &db, const QString &ptypeId)
{
    QSqlQuery q =
        db.exec(QStringLiteral("SELECT UserCode, FullName, Standard, Type, Unit1, KeepBatch, RecPrice, "
                               "SalePrice FROM ptype WHERE typeId = ?"),
                {ptypeId});
    if (!q.next())
        return {};
    return {{QStringLiteral("PUserCode"), q.value(0).toString()},
            {QStringLiteral("PFullName"), q.value(1).toString()},
            {QStringLiteral("Standard"), q.value(2).toString()},
            {QStringLiteral("Type"), q.value(3).toString()},
            {QStringLiteral("Unit"), q.value(4).toString()},
            {QStringLiteral("KeepBatch"), q.value(5).toString()},
            {QStringLiteral("RecPrice"), q.value(6).toString()},
            {QStringLiteral("SalePrice"), q.value(7).toString()}};
}

std::optional<TBill> Load(accountdb::AccountDatabase &db, qint64 vchcode)
{
    QSqlQuery q =
        db.exec(QStringLiteral("SELECT Vchtype, Draft, RedWord, RedOld, %1 FROM DlyNdx WHERE Vchcode = ?")
                    .arg(kHeadColumns.join(QStringLiteral(", "))),
                {vchcode});
    if (!q.next())
        return std::nullopt;
    TBill bill;
    bill.Vchcode = vchcode;
    bill.Vchtype = q.value(0).toInt();
    const int draft = q.value(1).toInt();
    bill.Red = q.value(2).toString() == QLatin1String("T") || q.value(3).toString() == QLatin1String("T");
    for (int i = 0; i < kHeadColumns.size(); ++i)
        bill.Head.insert(kHeadColumns[i], q.value(4 + i).toString());
    const std::optional<accountdb::audit::BillState> audit = accountdb::audit::billState(db, vchcode);
    if (draft == 2)
        bill.State = TBillState::Posted;
    else if (draft == 1)
        bill.State = TBillState::Draft;
    else
        bill.State =
            audit && audit->state == accountdb::audit::Returned ? TBillState::Returned : TBillState::Waiting;

    // Posted lines carry their direction in the sign; a transfer shows its issuing lines only.
    const QString table = HostBillConfig().GetBillTableName(bill.Vchtype);
    const QString sql =
        bill.State == TBillState::Posted
            ? QStringLiteral("SELECT PtypeId, BlockNo, Comment, abs(Qty), Price, abs(Total), CostPrice, "
                             "abs(CostTotal) FROM %1 WHERE Vchcode = ? AND (Vchtype <> 21 OR UsedType = 0) "
                             "ORDER BY RowNo")
                  .arg(table)
            : QStringLiteral("SELECT PtypeId, BlockNo, Comment, Qty, Price, Total, 0, 0 FROM BakDly "
                             "WHERE Vchcode = ? AND (Vchtype <> 21 OR UsedType = 0) ORDER BY RowNo");
    q = db.exec(sql, {vchcode});
    while (q.next()) {
        TBillLine line;
        line.PtypeId = q.value(0).toString();
        line.Texts = GoodsTexts(db, line.PtypeId);
        line.Texts.insert(QStringLiteral("BlockNo"), q.value(1).toString());
        line.Texts.insert(QStringLiteral("Comment"), q.value(2).toString());
        const char *numbers[] = {"qty", "price", "total", "costprice", "costtotal"};
        for (int i = 0; i < 5; ++i)
            line.Numbers.insert(QString::fromLatin1(numbers[i]), q.value(3 + i).toDouble());
        bill.Lines.append(line);
    }
    return bill;
}

TSaveResult Save(accountdb::AccountDatabase &db, const TBill &bill, TSaveMode mode, bool ignoreWarnings,
                 const QString &operatorId, const QString &operatorName)
{
    QString xml;
    QXmlStreamWriter w(&xml);
    w.writeStartElement(QStringLiteral("Root"));
    for (const TBillLine &l : bill.Lines) {
        w.writeStartElement(QStringLiteral("Record"));
        w.writeAttribute(QStringLiteral("PtypeID"), l.PtypeId);
        w.writeAttribute(QStringLiteral("BlockNo"), l.Texts.value(QStringLiteral("BlockNo")));
        w.writeAttribute(QStringLiteral("Qty"), NumberAttr(l.Numbers.value(QStringLiteral("qty"))));
        w.writeAttribute(QStringLiteral("Price"), NumberAttr(l.Numbers.value(QStringLiteral("price"))));
        w.writeAttribute(QStringLiteral("Total"), NumberAttr(l.Numbers.value(QStringLiteral("total"))));
        w.writeAttribute(QStringLiteral("Comment"), l.Texts.value(QStringLiteral("Comment")));
        w.writeEndElement();
    }
    w.writeEndElement();
    const auto head = [&](const char *column) {
        return bill.Head.value(QString::fromLatin1(column)).trimmed();
    };
    const bool editing = bill.State == TBillState::Draft || bill.State == TBillState::Returned;
    accountdb::ProcParams p{{QStringLiteral("@nVchcode"), editing ? bill.Vchcode : 0},
                            {QStringLiteral("@nVchType"), bill.Vchtype},
                            {QStringLiteral("@szDate"), head("Date")},
                            {QStringLiteral("@szNumber"), head("Number")},
                            {QStringLiteral("@szBTypeID"), head("BtypeId")},
                            {QStringLiteral("@szETypeID"), head("EtypeId")},
                            {QStringLiteral("@szKTypeID"), head("KtypeId")},
                            {QStringLiteral("@szKTypeID2"), head("KTypeID2")},
                            {QStringLiteral("@szDTypeID"), head("DtypeId")},
                            {QStringLiteral("@szSummary"), bill.Head.value(QStringLiteral("Summary"))},
                            {QStringLiteral("@szComment"), bill.Head.value(QStringLiteral("Comment"))},
                            {QStringLiteral("@szOperatorID"), operatorId},
                            {QStringLiteral("@szOperatorName"), operatorName},
                            {QStringLiteral("@szXML"), xml},
                            {QStringLiteral("@nMode"), int(mode)},
                            {QStringLiteral("@bIgnoreWarn"), ignoreWarnings ? 1 : 0}};
    TSaveResult r;
    r.Code = db.callProc(QStringLiteral("P_Bill_Save"), p);
    r.Vchcode = OutValue(p, QStringLiteral("@nVchcode")).toLongLong();
    r.Number = OutValue(p, QStringLiteral("@szNumber"));
    r.Message = OutValue(p, QStringLiteral("@ErrMsg"));
    return r;
}

TSaveResult RedWord(accountdb::AccountDatabase &db, qint64 vchcode, const QString &operatorId)
{
    accountdb::ProcParams p{{QStringLiteral("@nVchcode"), vchcode},
                            {QStringLiteral("@szOperatorID"), operatorId}};
    TSaveResult r;
    r.Code = db.callProc(QStringLiteral("P_Bill_RedWord"), p);
    r.Vchcode = OutValue(p, QStringLiteral("@nVchcode")).toLongLong();
    r.Message = OutValue(p, QStringLiteral("@ErrMsg"));
    return r;
}

std::pair<QString, QString> OpenDates(accountdb::AccountDatabase &db)
{
    const QString period =
        db.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'JxcPeriod'"))
            .toString();
    QSqlQuery q =
        db.exec(QStringLiteral("SELECT min(StartDate), max(EndDate) FROM T_Gbl_MonthProc WHERE Period >= ?"),
                {period.toInt()});
    if (!q.next())
        return {};
    return {q.value(0).toString(), q.value(1).toString()};
}

} // namespace BillStore
