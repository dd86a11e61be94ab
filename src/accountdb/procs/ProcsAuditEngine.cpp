// The audit engine's procedures (AuditEngine.h).
//
// P_Audit_AuditBill(@nVchcode, @szOperatorID, @nAction 1 pass / 2 reject, @szOpinion, @nVersion the
//   version the operator saw, 0 = any) -> @ErrMsg, @nLeveal (the level acted on). Returns 0 passed (the
//   bill waits for more), 1 passed and posted, 2 rejected; -1 the bill is not waiting for audit, -2 the
//   operator does not audit its current level, -3 someone acted on the bill meanwhile, -4 posting
//   refused the bill, -5 the operator passed this level already. A refusal changes nothing.
// P_Audit_GetBillState(@nVchcode)  one row: Vchtype, State, Leveal, AuditCount, AuditedCount, Round,
//   Version, Maker, Opinion; none when the bill never entered a flow.
// p_jxc_AuditCenter_AuditDetail(@nVchcode, @nVchtype)  the bill's steps, oldest first: EFullName,
//   AuditDate, Leveal, Audit ("提交" / "通过" / "驳回", "特审通过" by a special auditor), AuditOpinion.

#include "AccountDatabase.h"
#include "AuditEngine.h"
#include "Procedures.h"

namespace accountdb {

namespace {

int auditBill(ProcContext &ctx)
{
    const int action = ctx.in(QStringLiteral("@nAction")).toInt();
    if (action != audit::Pass && action != audit::Reject) {
        ctx.setOut(QStringLiteral("@ErrMsg"), QStringLiteral("审核动作必须是通过或驳回。"));
        ctx.setOut(QStringLiteral("@nLeveal"), 0);
        return audit::NotInFlow;
    }
    const audit::StepResult r = audit::act(
        ctx.database(), ctx.in(QStringLiteral("@nVchcode")).toLongLong(),
        ctx.in(QStringLiteral("@szOperatorID")).toString().trimmed(), audit::Action(action),
        ctx.in(QStringLiteral("@szOpinion")).toString(), ctx.in(QStringLiteral("@nVersion")).toInt());
    ctx.setOut(QStringLiteral("@ErrMsg"), r.code < 0 ? r.message : QString());
    ctx.setOut(QStringLiteral("@nLeveal"), r.level);
    return r.code;
}

int billState(ProcContext &ctx)
{
    ctx.setResult(
        QStringLiteral("SELECT Vchtype, State, Leveal, AuditCount, AuditedCount, Round, Version, Maker, "
                       "Opinion FROM T_Audit_Bill WHERE Vchcode = ?"),
        {ctx.in(QStringLiteral("@nVchcode")).toLongLong()});
    return 0;
}

int auditHistory(ProcContext &ctx)
{
    ctx.setResult(
        QStringLiteral("SELECT coalesce(e.FullName, h.EtypeID) AS EFullName, h.AuditTime AS AuditDate, "
                       "h.Leveal, CASE WHEN h.Audit = 0 THEN '提交' WHEN h.Audit = 2 THEN '驳回' "
                       "WHEN h.Special = 1 THEN '特审通过' ELSE '通过' END AS Audit, h.AuditOpinion "
                       "FROM T_Audit_History h LEFT JOIN Employee e ON e.TypeId = h.EtypeID "
                       "WHERE h.Vchcode = ? AND h.Vchtype = ? ORDER BY h.ID"),
        {ctx.in(QStringLiteral("@nVchcode")).toLongLong(), ctx.in(QStringLiteral("@nVchtype")).toInt()});
    return 0;
}

} // namespace

void registerAuditEngineProcs(ProcRegistry &registry)
{
    registry.add(QStringLiteral("P_Audit_AuditBill"), &auditBill);
    registry.addReader(QStringLiteral("P_Audit_GetBillState"), &billState);
    registry.addReader(QStringLiteral("p_jxc_AuditCenter_AuditDetail"), &auditHistory);
}

} // namespace accountdb
