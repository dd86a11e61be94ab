#include "LogOnToken.h"

#include <QSqlQuery>

#include "AccountDatabase.h"

namespace LogOnToken {

TTokenBinding Binding(accountdb::AccountDatabase &db, const QString &operatorId)
{
    QSqlQuery q = db.exec(
        QStringLiteral("SELECT Pass_Code, Pass_Level, Pass_Have FROM T_GBL_LoginUser WHERE ETypeId = ?"),
        {operatorId});
    if (!q.next())
        return {};
    return {q.value(0).toString(), q.value(1).toInt(), q.value(2).toInt() == 1};
}

QString Refusal(accountdb::AccountDatabase &db, const TTokenBinding &binding, ITokenReader *reader)
{
    if (!binding.Have)
        return {};
    const std::optional<TPassToken> token = reader ? reader->Read(db) : std::nullopt;
    if (!token)
        return Missing;
    return token->Code == binding.Code ? QString() : Mismatch;
}

} // namespace LogOnToken
