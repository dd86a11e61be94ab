#pragma once
// Function rights of an operator: the union of the rights of the groups he belongs to, direct
// (T_Gbl_UserPower) and of plug-ins (T_PlugIn_UserPower, version 'CS'). The manager's "holds every
// right" is the caller's to apply.

#include <QString>

namespace accountdb {

class AccountDatabase;

bool operatorHasRight(AccountDatabase &db, const QString &operatorId, int functionNo);

// The system administrator "00000" still logs on without a password (as every new account set
// starts); the log-on warns until one is set.
bool administratorHasNoPassword(AccountDatabase &db);
inline const QString kNoAdministratorPasswordWarning =
    QStringLiteral("系统管理员（00000）还没有设置密码，任何人都可以用它登录。请尽快在“修改口令”中设置密码。");

} // namespace accountdb
