#include "OperatorRights.h"

#include "AccountDatabase.h"

namespace accountdb {

bool operatorHasRight(AccountDatabase &db, const QString &operatorId, int functionNo)
{
    return db.value(QStringLiteral(
                        "SELECT CASE WHEN EXISTS(SELECT 1 FROM T_Gbl_UserPower t INNER JOIN UserToGroup u "
                        "ON t.GroupId = u.GroupId WHERE t.LimitNo = ? AND u.UserId = ?) "
                        "OR EXISTS(SELECT 1 FROM T_PlugIn_UserPower t INNER JOIN UserToGroup u "
                        "ON t.GroupId = u.GroupId WHERE t.Version = 'CS' AND t.LimitNo = ? AND u.UserId = ?) "
                        "THEN 1 ELSE 0 END"),
                    {functionNo, operatorId, functionNo, operatorId})
               .toInt() == 1;
}

bool administratorHasNoPassword(AccountDatabase &db)
{
    return db.value(QStringLiteral("SELECT count(*) FROM T_GBL_LoginUser WHERE ETypeId = '00000' AND "
                                   "coalesce(Password, '') = ''"))
               .toInt() > 0;
}

} // namespace accountdb
