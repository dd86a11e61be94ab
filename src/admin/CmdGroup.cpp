// orvane-admin group add|remove|grant|revoke|members: rights groups and their rights.
//   add NAME [--memo M]        a new group (not "会计组", not the name of another group);
//   remove NAME                deletes a group no operator belongs to;
//   grant NAME RIGHT...        grants rights with every detail; revoke NAME RIGHT... takes them away
//                              (the audit centre 1974 brings 1984 along, revoking 1984 takes 1974);
//   members NAME [--add ID]... [--remove ID]...  lists or changes the group's operators.
// The default group "会计组" cannot be changed. Each change writes its event in the same transaction
// and holds from the operators' next command or menu on.

#include "AdminCommand.h"
#include "EventLog.h"
#include "Transaction.h"
#include "uRightRules.h"

namespace admin {

namespace {

int groupId(accountdb::AccountDatabase &db, const QString &name)
{
    return db.value(QStringLiteral("SELECT ID FROM \"group\" WHERE GroupName = ?"), {name}).toInt();
}

void event(Session &session, const QString &what)
{
    accountdb::writeEvent(*session.db, session.operatorId, accountdb::event::RightsChange.arg(what),
                          session.operatorName);
}

int insertGroup(Session &session, const QString &kind, int id, const QString &name, const QString &memo)
{
    accountdb::ProcParams params{{QStringLiteral("@ckind"), kind},
                                 {QStringLiteral("@nId"), id},
                                 {QStringLiteral("@Name"), name},
                                 {QStringLiteral("@memo"), memo}};
    return session.db->callProc(QStringLiteral("P_jxc_InsertGroup"), params);
}

int add(Session &session, const QString &name, const QString &memo)
{
    accountdb::Transaction transaction(*session.db);
    const int result = insertGroup(session, QStringLiteral("N"), 0, name, memo);
    if (result < 0) {
        printError(result == -2 ? QStringLiteral("“会计组”是系统默认的权限组，不能新增为“%1”。").arg(name)
                   : result == -3
                       ? QStringLiteral("系统中已经有与“%1”同名的权限组，不能新增为“%1”。").arg(name)
                       : QStringLiteral("组名不能为空。"));
        return ExitFailure;
    }
    event(session, QStringLiteral("新增权限组“%1”").arg(name));
    transaction.commit();
    printLine(QStringLiteral("已新增权限组“%1”。").arg(name));
    return ExitOk;
}

int remove(Session &session, int id, const QString &name)
{
    accountdb::Transaction transaction(*session.db);
    const int result = insertGroup(session, QStringLiteral("D"), id, name, QString());
    if (result < 0) {
        printError(result == -2
                       ? QStringLiteral("\"%1\"不能被删除。").arg(name)
                       : QStringLiteral("权限组“%1”已经分配给了操作员，不能删除该权限组。").arg(name));
        return ExitFailure;
    }
    event(session, QStringLiteral("删除权限组“%1”").arg(name));
    transaction.commit();
    printLine(QStringLiteral("删除权限组\"%1\"成功。").arg(name));
    return ExitOk;
}

int saveLimit(Session &session, int group, int right, bool grant)
{
    accountdb::ProcParams params{
        {QStringLiteral("@cMode"), grant ? QStringLiteral("A") : QStringLiteral("D")},
        {QStringLiteral("@nGroupID"), group},
        {QStringLiteral("@nFunctionNo"), right},
        {QStringLiteral("@szPowerLimit"), QString(uRightRules::DetailCount, grant ? u'1' : u'0')}};
    return session.db->callProc(QStringLiteral("p_KOVA_SaveLimit"), params);
}

int setRights(Session &session, int group, const QString &name, const QStringList &words, bool grant)
{
    QList<int> rights;
    for (const QString &word : words) {
        bool ok = false;
        const int right = word.toInt(&ok);
        if (!ok ||
            session.db
                ->value(QStringLiteral("SELECT 1 FROM T_Gbl_FunctionList WHERE FunctionNo = ?"), {right})
                .isNull()) {
            printError(QStringLiteral("没有这个权限：") + word);
            return ExitUsage;
        }
        rights << right;
        if (const int coupled = uRightRules::CoupledRight(right, grant);
            coupled && !rights.contains(coupled)) {
            printLine(grant ? uRightRules::GrantsOtherBills : uRightRules::RevokesAuditCentre);
            rights << coupled;
        }
    }
    accountdb::Transaction transaction(*session.db);
    for (int right : std::as_const(rights))
        if (saveLimit(session, group, right, grant) == -2) {
            printError(QStringLiteral("“会计组”是系统默认的权限组，它的权限不能修改。"));
            return ExitFailure;
        }
    QStringList numbers;
    for (int right : std::as_const(rights))
        numbers << QString::number(right);
    event(session,
          QStringLiteral("权限组“%1”%2权限%3")
              .arg(name, grant ? QStringLiteral("授予") : QStringLiteral("取消"), numbers.join(u',')));
    transaction.commit();
    printLine(QStringLiteral("权限组“%1”已%2权限 %3。")
                  .arg(name, grant ? QStringLiteral("授予") : QStringLiteral("取消"), numbers.join(u',')));
    return ExitOk;
}

int members(Session &session, int group, const QString &name, const QStringList &adds,
            const QStringList &removes)
{
    if (!adds.isEmpty() || !removes.isEmpty()) {
        accountdb::Transaction transaction(*session.db);
        for (const QString &id : adds) {
            if (session.db->value(QStringLiteral("SELECT 1 FROM T_GBL_LoginUser WHERE ETypeId = ?"), {id})
                    .isNull()) {
                printError(QStringLiteral("操作员不存在：") + id);
                return ExitFailure;
            }
            session.db->exec(QStringLiteral("INSERT INTO UserToGroup (UserID, GroupId) VALUES (?, ?) "
                                            "ON CONFLICT (UserID, GroupId) DO NOTHING"),
                             {id, group});
        }
        for (const QString &id : removes)
            session.db->exec(QStringLiteral("DELETE FROM UserToGroup WHERE UserID = ? AND GroupId = ?"),
                             {id, group});
        event(session, QStringLiteral("权限组“%1”的操作员：加入%2，移出%3")
                           .arg(name, adds.join(u','), removes.join(u',')));
        transaction.commit();
    }
    QSqlQuery q = session.db->exec(
        QStringLiteral("SELECT e.TypeId, e.FullName FROM UserToGroup u INNER JOIN Employee e "
                       "ON e.TypeId = u.UserID WHERE u.GroupId = ? ORDER BY e.TypeId"),
        {group});
    while (q.next())
        printLine(q.value(0).toString() + u'\t' + q.value(1).toString());
    return ExitOk;
}

} // namespace

int cmdGroup(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("权限组：add NAME 新增；remove NAME 删除；grant NAME RIGHT... 授予权限；revoke NAME "
                       "RIGHT... 取消权限；"
                       "members NAME 列出或（--add/--remove）改变组里的操作员。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    parser.addOption({QStringLiteral("memo"), QStringLiteral("add：备注。"), QStringLiteral("TEXT")});
    parser.addOption(
        {QStringLiteral("add"), QStringLiteral("members：加入组的操作员（可重复）。"), QStringLiteral("ID")});
    parser.addOption({QStringLiteral("remove"), QStringLiteral("members：移出组的操作员（可重复）。"),
                      QStringLiteral("ID")});
    parser.addPositionalArgument(
        QStringLiteral("action"),
        QStringLiteral("add NAME | remove NAME | grant NAME RIGHT... | revoke NAME RIGHT... | "
                       "members NAME"));
    if (const int code = parseCommand(parser, QStringLiteral("group"), args, 2, 1000); code >= 0)
        return code;
    const QStringList words = parser.positionalArguments();
    const QString action = words.first();
    const QString name = words[1].trimmed();
    const bool setsRights = action == QLatin1String("grant") || action == QLatin1String("revoke");
    const bool known = setsRights || action == QLatin1String("add") || action == QLatin1String("remove") ||
                       action == QLatin1String("members");
    if (!known || (setsRights ? words.size() < 3 : words.size() != 2)) {
        printError(QStringLiteral(
            "group：用法 add NAME | remove NAME | grant NAME RIGHT... | revoke NAME RIGHT... | "
            "members NAME。"));
        return ExitUsage;
    }
    Session session = openSession(parser, RightOperatorRights);
    if (action == QLatin1String("add"))
        return add(session, name, parser.value(QStringLiteral("memo")).trimmed());
    const int group = groupId(*session.db, name);
    if (group == 0) {
        printError(QStringLiteral("权限组") + name + QStringLiteral("已经不存在。"));
        return ExitFailure;
    }
    if (action == QLatin1String("remove"))
        return remove(session, group, name);
    if (action == QLatin1String("members"))
        return members(session, group, name, parser.values(QStringLiteral("add")),
                       parser.values(QStringLiteral("remove")));
    if (name == uRightRules::DefaultGroup) {
        printError(QStringLiteral("“会计组”是系统默认的权限组，它的权限不能修改。"));
        return ExitFailure;
    }
    return setRights(session, group, name, words.mid(2), action == QLatin1String("grant"));
}

} // namespace admin
