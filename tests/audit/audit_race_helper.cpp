// One auditor of the race test: reads the bill's version, prints "ready", waits for a line on its
// standard input and then takes the step with the version it read. Prints the step's result code.

#include <QCoreApplication>
#include <QTextStream>
#include <cstdio>

#include "AccountDatabase.h"
#include "AuditEngine.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    auto db = accountdb::AccountDatabase::open(args[1]);
    const qint64 vchcode = args[2].toLongLong();
    const std::optional<accountdb::audit::BillState> s = accountdb::audit::billState(*db, vchcode);
    QTextStream out(stdout);
    out << "ready" << Qt::endl;
    QTextStream in(stdin);
    in.readLine();
    const accountdb::audit::StepResult r = accountdb::audit::runStep(
        *db, vchcode, args[3], accountdb::audit::Pass, QString(), s ? s->version : 0);
    out << r.code << Qt::endl;
    return r.code < 0 ? 1 : 0;
}
