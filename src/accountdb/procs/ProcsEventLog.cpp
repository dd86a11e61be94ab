// Procedures of the area "event log".
//
// p_Jxc_GetEventLog  @cMode, @DATE, @Custom1, @Custom2, @Custom3, @szStrings (all texts).
//   "R"  the events whose day lies between @Custom2 and @Custom3 ("yyyy-mm-dd"; an empty bound is
//        open), oldest first: Date, HostName, Employee, Event.
//   "I"  writes one event: @DATE the time ("yyyy/mm/dd hh:nn:ss" or with "-"; now when unreadable),
//        @Custom1 the computer, @Custom2 the operator id, @Custom3 his name, @szStrings the event.
//   "C"  removes every event; returns how many.
//   -2 for another mode.

#include "EventLog.h"
#include "procs/Procedures.h"

namespace accountdb {

namespace {

QString text(ProcContext &ctx, const char *name)
{
    return ctx.in(QString::fromLatin1(name)).toString();
}

int getEventLog(ProcContext &ctx)
{
    const QString mode = text(ctx, "@cMode").trimmed().toUpper();
    if (mode == u"R") {
        ctx.setResult(
            QStringLiteral("SELECT EventTime AS Date, HostName, Employee, Event FROM T_Sys_EventLog "
                           "WHERE (? = '' OR substr(EventTime, 1, 10) >= ?) "
                           "AND (? = '' OR substr(EventTime, 1, 10) <= ?) "
                           "ORDER BY EventTime, EventNo"),
            {text(ctx, "@Custom2").trimmed(), text(ctx, "@Custom2").trimmed(),
             text(ctx, "@Custom3").trimmed(), text(ctx, "@Custom3").trimmed()});
        return 0;
    }
    if (mode == u"I") {
        QDateTime time = parseEventTime(text(ctx, "@DATE"));
        if (!time.isValid())
            time = QDateTime::currentDateTime();
        const QString host = text(ctx, "@Custom1").trimmed();
        writeEventAt(ctx, time, host.isEmpty() ? computerName() : host, text(ctx, "@Custom2"),
                     text(ctx, "@Custom3"), text(ctx, "@szStrings"));
        return 0;
    }
    if (mode == u"C")
        return ctx.exec(QStringLiteral("DELETE FROM T_Sys_EventLog")).numRowsAffected();
    return -2;
}

} // namespace

void registerEventLogProcs(ProcRegistry &registry)
{
    registry.add(QStringLiteral("p_Jxc_GetEventLog"), &getEventLog);
}

} // namespace accountdb
