#pragma once
// The host's audit of one bill (the bill service's AllAuditingBill): one step of the logged-on operator
// on a bill waiting in its audit flow, through the audit engine of the account set. Refusals — not an
// auditor of the bill's current level, the bill not in a flow, the bill changed meanwhile — are shown
// through the message service and answer false.

#include <QString>
#include <functional>

#include "QuillInterfaces.h"

namespace accountdb {
class AccountDatabase;
}

class HostAudit
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

private:
    bool Step(int vchCode, int vchType, bool pass, const QString &opinion);

    TDatabaseSource FDb;
    ISystemIntf &FSystem;
    IDllMessageCon &FMessages;
};
