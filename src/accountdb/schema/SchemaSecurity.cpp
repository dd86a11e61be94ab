// Area "security": what the log-on, the passwords and the pass tokens keep besides T_GBL_LoginUser.
//
// T_Gbl_Security      named values of the account set that no procedure hands out as they are:
//                     "TokenSecret" (32 random bytes, the key of the pass-token signatures, so a key
//                     file made for one account set is worthless in another) and "PrintPassword" (the
//                     Argon2id hash of the print password; empty = none set).
// T_Gbl_LogOnFailure  wrong passwords in a row per operator and when the last one was typed (UTC,
//                     ISO text); the log-on waits longer after each one and forgets them on success.
// UX_LoginUser_PassCode  a token number is bound to one operator at most.

#include "AccountDatabase.h"
#include "Schema.h"

namespace accountdb::schema {

void migrateSecurityTo5(AccountDatabase &db)
{
    db.execBatch(QStringLiteral(R"SQL(
CREATE TABLE T_Gbl_Security (
  Name TEXT PRIMARY KEY,
  Value BLOB NOT NULL
);
CREATE TABLE T_Gbl_LogOnFailure (
  ETypeId TEXT PRIMARY KEY,
  Failures INTEGER NOT NULL DEFAULT 0,
  LastFailure TEXT NOT NULL DEFAULT ''
);
CREATE UNIQUE INDEX UX_LoginUser_PassCode ON T_GBL_LoginUser (Pass_Code) WHERE Pass_Have = 1
)SQL"));
    db.exec(QStringLiteral("INSERT INTO T_Gbl_Security (Name, Value) VALUES ('TokenSecret', ?)"),
            {newTokenSecret()});
    db.exec(QStringLiteral("INSERT INTO T_Gbl_Security (Name, Value) VALUES ('PrintPassword', '')"));
}

} // namespace accountdb::schema
