#include "EventLog.h"

#include <QSysInfo>

#include "AccountDatabase.h"
#include "ProcRegistry.h"

namespace accountdb {

namespace {

const QString kInsert = QStringLiteral(
    "INSERT INTO T_Sys_EventLog (EventTime, HostName, OperatorId, Employee, Event) "
    "VALUES (?, ?, ?, coalesce(NULLIF(?, ''), (SELECT FullName FROM Employee WHERE TypeId = ?), ?), ?)");

QVariantList insertValues(const QDateTime &time, const QString &hostName, const QString &operatorId,
                          const QString &operatorName, const QString &event)
{
    return {eventTimeText(time), hostName, operatorId, operatorName, operatorId, operatorId, event};
}

QVariantList insertValues(const QString &operatorId, const QString &event, const QString &operatorName)
{
    return insertValues(QDateTime::currentDateTime(), computerName(), operatorId, operatorName, event);
}

} // namespace

QString computerName()
{
    const QString name = QSysInfo::machineHostName();
    return name.isEmpty() ? QStringLiteral("localhost") : name;
}

QString eventTimeText(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss"));
}

QDateTime parseEventTime(const QString &text)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char('/'), QLatin1Char('-'));
    QDateTime time = QDateTime::fromString(t, QStringLiteral("yyyy-MM-dd hh:mm:ss"));
    if (!time.isValid())
        time = QDateTime(QDate::fromString(t, QStringLiteral("yyyy-MM-dd")), QTime(0, 0));
    return time;
}

void writeEvent(AccountDatabase &db, const QString &operatorId, const QString &event,
                const QString &operatorName)
{
    db.exec(kInsert, insertValues(operatorId, event, operatorName));
}

void writeEvent(ProcContext &ctx, const QString &operatorId, const QString &event,
                const QString &operatorName)
{
    ctx.exec(kInsert, insertValues(operatorId, event, operatorName));
}

void writeEventAt(ProcContext &ctx, const QDateTime &time, const QString &hostName, const QString &operatorId,
                  const QString &operatorName, const QString &event)
{
    ctx.exec(kInsert, insertValues(time, hostName, operatorId, operatorName, event));
}

} // namespace accountdb
