#pragma once
// The audit engine: bills of a type whose flow is enabled wait for their audit (DlyNdx.Draft 4, lines in
// BakDly) and are posted when the last level that applies to them has passed.
//
// Levels are passed in order; a level whose condition does not hold for the bill's totals is skipped.
// AuditType 0 passes on one of its auditors, 1 when all have passed; a department entry stands for its
// responsible employee; a special auditor of the bill type passes the current level at any time.
// Rejection returns the bill to its maker, who may change it and submit it again: the flow starts over.
// Every step is written in the caller's write transaction together with its history row.

#include <QList>
#include <QString>
#include <optional>

namespace accountdb {

class AccountDatabase;
struct PostBill;

namespace audit {

// The totals of a bill that conditions test.
struct BillTotals
{
    double qty = 0;
    double total = 0;
};

struct ConditionRow
{
    QString factor;
    double lower = 0; // 0: no lower bound
    double upper = 0; // 0: no upper bound
    QString footing;  // relation to the next row: "并且" or "或者"
};

// The value of a condition factor for a bill. Our bills carry no discount, tax, rounding-off or credit
// data: the amount factors are the bill's amount, discount is 1, the others 0.
double factorValue(const QString &factor, const BillTotals &totals);
// Rows combine as their condition text reads: "and" binds closer than "or". The credit factor holds
// also when the customer has no credit limit, which no customer of ours has. No rows: holds.
bool conditionHolds(const QList<ConditionRow> &rows, const BillTotals &totals);

enum Action { Pass = 1, Reject = 2 };

// Results of act(); the refusals carry a message for the user.
enum Result {
    Passed = 0,   // the level (or this auditor's part of it) passed, the bill waits for the next
    Posted = 1,   // the last level passed and the bill is posted
    Rejected = 2, // returned to its maker
    NotInFlow = -1,
    NotAuditor = -2,
    Changed = -3,
    PostFailed = -4,
    AlreadyPassed = -5,
};

enum State { Waiting = 1, Audited = 2, Returned = 3 };

struct BillState
{
    qint64 vchcode = 0;
    int vchtype = 0;
    int state = 0;
    int level = 0; // the level the bill waits at
    int auditCount = 0;
    int auditedCount = 0;
    int round = 0;
    int version = 0;
    QString maker;
    QString opinion; // of the last rejection
};

struct StepResult
{
    int code = 0;
    QString message;
    int level = 0; // the level acted on
};

bool flowEnabled(AccountDatabase &db, int vchtype);
std::optional<BillState> billState(AccountDatabase &db, qint64 vchcode);
// Number of bills of the type in its flow (waiting or returned to the maker).
int billsInFlow(AccountDatabase &db, int vchtype);

// Stores the bill as waiting for audit (or, resubmitVchcode > 0, replaces that rejected bill of the
// same maker and starts its flow again). The bill is checked as posting checks it first; a bill to which
// no level applies is posted at once. Returns the bill's code or a negative code with *error set.
qint64 submit(AccountDatabase &db, const PostBill &bill, qint64 resubmitVchcode, QString *error);

// One step of an operator on a waiting bill. expectedVersion > 0 is the version the operator saw.
StepResult act(AccountDatabase &db, qint64 vchcode, const QString &operatorId, Action action,
               const QString &opinion, int expectedVersion);

// What the host's audit call and orvane-admin run: P_Audit_AuditBill with the version the operator
// sees now (expectedVersion 0) or saw earlier.
StepResult runStep(AccountDatabase &db, qint64 vchcode, const QString &operatorId, Action action,
                   const QString &opinion, int expectedVersion = 0);

} // namespace audit
} // namespace accountdb
