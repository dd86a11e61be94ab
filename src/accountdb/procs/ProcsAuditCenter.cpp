// The audit centre's lists over the audit engine's state (T_Audit_Bill, T_Audit_History).
//
// p_KOVA_AuditCenter(@nVchtype 0 = all, @szBtypeID, @szEtypeID, @szMtypeID ("" = all), @szBeginDate,
//   @szEndDate ("" = open), @OperatorID, @IsAudited 0 the bills waiting at a level the operator audits
//   (or may pass as a special auditor) and not passed by him yet, 1 the bills he passed or rejected,
//   @ShowAll, paging (ignored)).
// P_KOVA_AuditCenter_MyMakedBill(@nVchtype, @szBtypeID, @szMtypeID, @szBeginDate, @szEndDate,
//   @OperatorID, @IsAudited 0 waiting / 1 audited / 2 rejected, @ShowAll, paging): the operator's own bills.
// Both leave out bills whose unit, warehouse or goods the operator may not use (BaseRights.h) and give
// checked, Date, Number, VchTypeName, Summary, total, EFullName1, EFullName2, AuditCount, AuditedCount,
// UserDefined01..03, vchcode, vchtype, billtype, pubufts.

#include "AccountDatabase.h"
#include "BaseRights.h"
#include "Procedures.h"

namespace accountdb {

namespace {

struct Filter
{
    QString where;
    QVariantList params;
    void add(const QString &condition, const QVariantList &values)
    {
        where += QStringLiteral(" AND ") + condition;
        params += values;
    }
};

// The conditions shared by both lists: the query conditions and the operator's base-data rights.
Filter commonFilter(ProcContext &ctx, const QString &operatorId)
{
    Filter f;
    const int vchtype = ctx.in(QStringLiteral("@nVchtype")).toInt();
    if (vchtype > 0)
        f.add(QStringLiteral("a.Vchtype = ?"), {vchtype});
    const QString btype = ctx.in(QStringLiteral("@szBtypeID")).toString().trimmed();
    if (!btype.isEmpty())
        f.add(QStringLiteral("n.BtypeId = ?"), {btype});
    if (ctx.has(QStringLiteral("@szEtypeID"))) {
        const QString etype = ctx.in(QStringLiteral("@szEtypeID")).toString().trimmed();
        if (!etype.isEmpty())
            f.add(QStringLiteral("n.EtypeId = ?"), {etype});
    }
    const QString maker = ctx.in(QStringLiteral("@szMtypeID")).toString().trimmed();
    if (!maker.isEmpty())
        f.add(QStringLiteral("a.Maker = ?"), {maker});
    const QString begin = ctx.in(QStringLiteral("@szBeginDate")).toString().trimmed();
    if (!begin.isEmpty())
        f.add(QStringLiteral("n.Date >= ?"), {begin});
    const QString end = ctx.in(QStringLiteral("@szEndDate")).toString().trimmed();
    if (!end.isEmpty())
        f.add(QStringLiteral("n.Date <= ?"), {end});
    f.add(QStringLiteral(
              "n.BtypeId NOT IN (%1) AND n.KtypeId NOT IN (%2) AND n.KTypeID2 NOT IN (%2) "
              "AND NOT EXISTS (SELECT 1 FROM BakDly d WHERE d.Vchcode = n.Vchcode AND d.PtypeId IN (%3))")
              .arg(baserights::notAllowedSql(u'B'), baserights::notAllowedSql(u'K'),
                   baserights::notAllowedSql(u'P')),
          {operatorId, operatorId, operatorId, operatorId});
    return f;
}

void listBills(ProcContext &ctx, const QString &condition, QVariantList params, const Filter &f)
{
    params += f.params;
    ctx.setResult(
        QStringLiteral("SELECT 0 AS checked, n.Date, n.Number, coalesce(v.Name, '') AS VchTypeName, "
                       "n.Summary, n.Total AS total, coalesce(e1.FullName, '') AS EFullName1, "
                       "coalesce(e2.FullName, a.Maker) AS EFullName2, a.AuditCount, a.AuditedCount, "
                       "'' AS UserDefined01, '' AS UserDefined02, '' AS UserDefined03, "
                       "a.Vchcode AS vchcode, a.Vchtype AS vchtype, 0 AS billtype, a.Version AS pubufts "
                       "FROM T_Audit_Bill a INNER JOIN DlyNdx n ON n.Vchcode = a.Vchcode "
                       "LEFT JOIN T_GBL_Vchtype v ON v.Vchtype = a.Vchtype "
                       "LEFT JOIN Employee e1 ON e1.TypeId = n.EtypeId "
                       "LEFT JOIN Employee e2 ON e2.TypeId = a.Maker WHERE %1%2 "
                       "ORDER BY n.Date, n.Number, a.Vchcode")
            .arg(condition, f.where),
        params);
}

// The employees a level's entry stands for: an operator, or a department's responsible employee.
const char *const kIsAuditorOf =
    "EXISTS (SELECT 1 FROM %1 x LEFT JOIN Department d ON d.typeId = x.EtypeID "
    "WHERE x.Vchtype = a.Vchtype%2 AND ((x.OperatorType = 0 AND x.EtypeID = ?) OR "
    "(x.OperatorType = 1 AND d.etypeid = ?)))";

int auditCenter(ProcContext &ctx)
{
    const QString op = ctx.in(QStringLiteral("@OperatorID")).toString().trimmed();
    const Filter f = commonFilter(ctx, op);
    if (ctx.in(QStringLiteral("@IsAudited")).toInt() == 1) {
        listBills(ctx,
                  QStringLiteral("EXISTS (SELECT 1 FROM T_Audit_History h WHERE h.Vchcode = a.Vchcode "
                                 "AND h.EtypeID = ? AND h.Audit IN (1, 2))"),
                  {op}, f);
        return 0;
    }
    const QString levelAuditor =
        QString::fromLatin1(kIsAuditorOf)
            .arg(QStringLiteral("\"AuditDetail-E\""), QStringLiteral(" AND x.Leveal = a.Leveal"));
    const QString special =
        QString::fromLatin1(kIsAuditorOf).arg(QStringLiteral("\"AuditNdx-E\""), QString());
    listBills(ctx,
              QStringLiteral("a.State = 1 AND (%1 OR %2) AND NOT EXISTS (SELECT 1 FROM T_Audit_History h "
                             "WHERE h.Vchcode = a.Vchcode AND h.Round = a.Round AND h.Leveal = a.Leveal "
                             "AND h.EtypeID = ? AND h.Audit = 1)")
                  .arg(levelAuditor, special),
              {op, op, op, op, op}, f);
    return 0;
}

int myMadeBills(ProcContext &ctx)
{
    const QString op = ctx.in(QStringLiteral("@OperatorID")).toString().trimmed();
    const int which = ctx.in(QStringLiteral("@IsAudited")).toInt();
    const int state = which == 1 ? 2 : which == 2 ? 3 : 1;
    listBills(ctx, QStringLiteral("a.Maker = ? AND a.State = ?"), {op, state}, commonFilter(ctx, op));
    return 0;
}

} // namespace

void registerAuditCenterProcs(ProcRegistry &registry)
{
    registry.addReader(QStringLiteral("p_KOVA_AuditCenter"), &auditCenter);
    registry.addReader(QStringLiteral("P_KOVA_AuditCenter_MyMakedBill"), &myMadeBills);
}

} // namespace accountdb
