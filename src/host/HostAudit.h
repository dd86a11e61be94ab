#pragma once
// The host's bill service over the audit engine: one audit step of the logged-on operator on a bill
// waiting in its audit flow (AllAuditingBill / AuditBill), rejection, and opening a bill. Refusals — not
// an auditor of the bill's current level, the bill not in a flow, the bill changed meanwhile — are shown
// through the message service and answer false. It is the bill service of a session without the main
// window; there opening a bill shows a read-only view of its head and lines. The main window's service
// (HostBillService) opens bills in the bill window and passes audit steps on to this one.

#include <QString>
#include <functional>

#include "QuillInterfaces.h"

namespace accountdb {
class AccountDatabase;
}

class HostAudit : public IBillInterface
{
public:
    using TDatabaseSource = std::function<accountdb::AccountDatabase *()>;
    HostAudit(TDatabaseSource db, ISystemIntf &system, IDllMessageCon &messages)
        : FDb(std::move(db)), FSystem(system), FMessages(messages)
    {}

    // Action "D" passes the bill's current level (posting the bill after its last level). billType is
    // the bill kind of the lists; bills of every kind are audited the same way.
    bool AllAuditingBill(const QString &action, int vchCode, int vchType, int billType);
    // Returns the bill to its maker with the opinion.
    bool RejectBill(int vchCode, int vchType, const QString &opinion);
    // The read-only view of the bill (object name "frmBillView", deleted on close).
    bool AllLoadBill(int vchCode, int vchType, bool edit, int billType);

    bool AllNewBill(int vchType) override;
    bool OpenBill(int vchCode, int vchType) override { return AllLoadBill(vchCode, vchType, false, 0); }
    bool AuditBill(int vchCode, int vchType) override
    {
        return AllAuditingBill(QStringLiteral("D"), vchCode, vchType, 0);
    }

private:
    bool Step(int vchCode, int vchType, bool pass, const QString &opinion);

    TDatabaseSource FDb;
    ISystemIntf &FSystem;
    IDllMessageCon &FMessages;
};
