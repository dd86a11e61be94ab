#include "HostAudit.h"

#include "AccountDatabase.h"
#include "AuditEngine.h"

namespace audit = accountdb::audit;

bool HostAudit::AllAuditingBill(const QString &action, int vchCode, int vchType, int billType)
{
    Q_UNUSED(billType);
    if (action != QStringLiteral("D")) {
        FMessages.ShowWarningMsg(QStringLiteral("不支持的审核动作：") + action);
        return false;
    }
    return Step(vchCode, vchType, true, QString());
}

bool HostAudit::RejectBill(int vchCode, int vchType, const QString &opinion)
{
    return Step(vchCode, vchType, false, opinion);
}

bool HostAudit::Step(int vchCode, int vchType, bool pass, const QString &opinion)
{
    accountdb::AccountDatabase *db = FDb ? FDb() : nullptr;
    if (!db)
        return false;
    const std::optional<audit::BillState> state = audit::billState(*db, vchCode);
    if (!state || state->state != audit::Waiting || state->vchtype != vchType) {
        FMessages.ShowWarningMsg(QStringLiteral("该单据不在审核流程中，不能审核。"));
        return false;
    }
    const audit::StepResult r = audit::runStep(*db, vchCode, FSystem.GetCurrentOperatorId(),
                                               pass ? audit::Pass : audit::Reject, opinion, state->version);
    if (r.code < 0)
        FMessages.ShowWarningMsg(r.message);
    return r.code >= 0;
}
