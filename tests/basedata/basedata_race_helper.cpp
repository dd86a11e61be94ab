// One workstation of the duplicate-code race: stores a goods item of the given code through P_BASE_Save.
// "hold": inside an open transaction, prints "saved", waits for a line on its standard input, then
// commits. "save": prints "calling" and stores it at once (its own transaction). Prints "OK" or the
// refusal.

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTextStream>

#include "AccountDatabase.h"

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 4)
        return 2;
    auto db = accountdb::AccountDatabase::open(args[1]);
    const bool hold = args[3] == QLatin1String("hold");
    QTextStream out(stdout);
    const QJsonObject fields{{QStringLiteral("UserCode"), args[2]}, {QStringLiteral("FullName"), args[3]}};
    accountdb::ProcParams params{
        {QStringLiteral("@Kind"), QStringLiteral("goods")},
        {QStringLiteral("@TypeId"), QString()},
        {QStringLiteral("@ParId"), QString()},
        {QStringLiteral("@IsClass"), 0},
        {QStringLiteral("@Fields"), QString::fromUtf8(QJsonDocument(fields).toJson(QJsonDocument::Compact))},
        {QStringLiteral("@OperatorId"), QStringLiteral("00000")},
        {QStringLiteral("@ErrMsg"), QString(), true},
        {QStringLiteral("@NewTypeId"), QString(), true}};
    if (hold)
        db->begin();
    else
        out << "calling" << Qt::endl;
    const int result = db->callProc(QStringLiteral("P_BASE_Save"), params);
    if (hold) {
        out << "saved" << Qt::endl;
        QTextStream(stdin).readLine();
        db->commit();
    }
    out << (result < 0 ? params[6].value.toString() : QStringLiteral("OK")) << Qt::endl;
    return result < 0 ? 1 : 0;
}
