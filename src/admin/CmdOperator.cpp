// orvane-admin operator list|add ID|remove ID: the operators of the account set.
//   list          every operator with his code, name, groups and the supervisor mark;
//   add ID        makes employee ID an operator (--name creates the employee when there is none);
//   remove ID     deletes operator ID, with the plug-ins' procedures before and after, in one
//                 transaction: a refusal of any of them leaves everything as it was.
// Every change writes its event in the same transaction.

#include "AdminCommand.h"
#include "EventLog.h"
#include "Transaction.h"

namespace admin {

namespace {

int dealLoginUser(accountdb::AccountDatabase &db, int mode, const QString &id)
{
    accountdb::ProcParams params{{QStringLiteral("@lMode"), mode},
                                 {QStringLiteral("@szETypeID"), id},
                                 {QStringLiteral("@Custom1"), QString()},
                                 {QStringLiteral("@Custom2"), QString()}};
    return db.callProc(QStringLiteral("P_GBL_DealLoginUser"), params);
}

QString employeeName(accountdb::AccountDatabase &db, const QString &id)
{
    return db.value(QStringLiteral("SELECT FullName FROM Employee WHERE TypeId = ?"), {id}).toString();
}

int list(Session &session)
{
    accountdb::ResultSet rows;
    QSqlQuery q = session.db->exec(QStringLiteral(
        "SELECT l.ETypeId, e.UserCode, e.FullName, l.IsManager FROM T_GBL_LoginUser l "
        "INNER JOIN Employee e ON e.TypeId = l.ETypeId WHERE e.Deleted = 0 ORDER BY e.UserCode, l.ETypeId"));
    printLine(QStringLiteral("职员编号\t编号\t姓名\t权限组\t会计主管"));
    while (q.next()) {
        const QString id = q.value(0).toString();
        QStringList groups;
        QSqlQuery g =
            session.db->exec(QStringLiteral("SELECT g.GroupName FROM UserToGroup u INNER JOIN \"group\" g "
                                            "ON g.ID = u.GroupId WHERE u.UserID = ? ORDER BY g.ID"),
                             {id});
        while (g.next())
            groups << g.value(0).toString();
        printLine(QStringList{id, q.value(1).toString(), q.value(2).toString(), groups.join(u','),
                              q.value(3).toInt() == 1 ? QStringLiteral("是") : QString()}
                      .join(u'\t'));
    }
    return ExitOk;
}

int add(Session &session, const QString &id, const QString &name)
{
    accountdb::Transaction transaction(*session.db);
    if (employeeName(*session.db, id).isEmpty() && !name.isEmpty() &&
        session.db->value(QStringLiteral("SELECT 1 FROM Employee WHERE TypeId = ?"), {id}).isNull())
        session.db->exec(QStringLiteral("INSERT INTO Employee (TypeId, UserCode, FullName) VALUES (?, ?, ?)"),
                         {id, id, name});
    const int result = dealLoginUser(*session.db, 1, id);
    if (result == -2) {
        printError(
            QStringLiteral("职员[%1]不存在或已被分类，无法增加。（新职员请用 --name 给出姓名）").arg(id));
        return ExitFailure;
    }
    if (result < 0) {
        printError(QStringLiteral("职员[%1]已被设置为操作员，无法再次增加。").arg(id));
        return ExitFailure;
    }
    const QString fullName = employeeName(*session.db, id);
    accountdb::writeEvent(*session.db, session.operatorId,
                          accountdb::event::RightsChange.arg(QStringLiteral("新增操作员%1").arg(fullName)),
                          session.operatorName);
    transaction.commit();
    printLine(QStringLiteral("已增加操作员[%1]。").arg(fullName));
    return ExitOk;
}

// A plug-in procedure refuses with a negative result and its @ErrMsg.
bool runPlugIns(accountdb::AccountDatabase &db, const QString &id, int isBefore)
{
    QSqlQuery q = db.exec(
        QStringLiteral("SELECT ProcName FROM T_Inf_PlugIn_DealLoginUserProc WHERE IsBefore = ? ORDER BY ID"),
        {isBefore});
    QStringList names;
    while (q.next())
        names << q.value(0).toString();
    for (const QString &proc : std::as_const(names)) {
        accountdb::ProcParams params{{QStringLiteral("@EtypeId"), id},
                                     {QStringLiteral("@ErrMsg"), QString()}};
        if (db.callProc(proc, params) < 0) {
            printError(params.last().value.toString());
            return false;
        }
    }
    return true;
}

int remove(Session &session, const QString &id)
{
    const QString name = employeeName(*session.db, id);
    if (id == QLatin1String("00000")) {
        printError(QStringLiteral("系统管理员不能被删除。"));
        return ExitFailure;
    }
    if (id == session.operatorId) {
        printError(QStringLiteral("只能删除其他操作员，不能删除自己。"));
        return ExitFailure;
    }
    accountdb::Transaction transaction(*session.db);
    if (!runPlugIns(*session.db, id, 1))
        return ExitFailure;
    const int result = dealLoginUser(*session.db, 4, id);
    if (result == -3) {
        printError(QStringLiteral("操作员[%1]已设置为会计主管，不能被删除。").arg(name));
        return ExitFailure;
    }
    if (result < 0) {
        printError(QStringLiteral("操作员不存在：") + id);
        return ExitFailure;
    }
    if (!runPlugIns(*session.db, id, 0))
        return ExitFailure;
    accountdb::writeEvent(*session.db, session.operatorId,
                          accountdb::event::RightsChange.arg(QStringLiteral("删除操作员%1").arg(name)),
                          session.operatorName);
    transaction.commit();
    printLine(QStringLiteral("删除操作员[%1]成功。").arg(name));
    return ExitOk;
}

} // namespace

int cmdOperator(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("操作员：list 列出操作员；add ID 把职员设为操作员；remove ID 删除操作员。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    parser.addOption({QStringLiteral("name"), QStringLiteral("add：职员不存在时用这个姓名新建。"),
                      QStringLiteral("NAME")});
    parser.addPositionalArgument(QStringLiteral("action"), QStringLiteral("list | add ID | remove ID"));
    if (const int code = parseCommand(parser, QStringLiteral("operator"), args, 1, 2); code >= 0)
        return code;
    const QStringList words = parser.positionalArguments();
    const QString action = words.first();
    const bool needsId = action == QLatin1String("add") || action == QLatin1String("remove");
    if ((!needsId && action != QLatin1String("list")) || words.size() != (needsId ? 2 : 1)) {
        printError(QStringLiteral("operator：用法 list | add ID | remove ID。"));
        return ExitUsage;
    }
    Session session = openSession(parser, RightOperatorRights);
    if (action == QLatin1String("list"))
        return list(session);
    const QString id = words[1].trimmed();
    return action == QLatin1String("add") ? add(session, id, parser.value(QStringLiteral("name")).trimmed())
                                          : remove(session, id);
}

} // namespace admin
