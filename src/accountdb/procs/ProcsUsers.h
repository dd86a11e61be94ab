#pragma once
// The log-on guard of the area "users", shared by the password procedures and the host's log-on.

#include <QDateTime>
#include <QString>

namespace accountdb {

class ProcContext;

// Seconds an operator must wait after this many wrong passwords in a row: none for the first two, then
// 5 s doubling with each further one, at most 5 minutes.
int logOnDelaySeconds(int failures);

// Seconds left before the operator may try again (0: now).
int logOnWaitLeft(ProcContext &ctx, const QString &operatorId, const QDateTime &nowUtc);
// Counts a wrong password; returns the failures in a row.
int recordLogOnFailure(ProcContext &ctx, const QString &operatorId, const QDateTime &nowUtc);
void clearLogOnFailures(ProcContext &ctx, const QString &operatorId);

} // namespace accountdb
