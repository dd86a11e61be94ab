#include "Udllaccountintf.h"

#include <stdexcept>

namespace Udllaccountintf {
IAccountIntf *AccountIntf = nullptr;

namespace {
IAccountIntf &Svc()
{
    if (!AccountIntf)
        throw std::logic_error("IAccountIntf not installed");
    return *AccountIntf;
}
} // namespace

int BackUpDataBase(const QString &backupName, const QString &folder)
{
    return Svc().BackUpDataBase(backupName, folder);
}
int RestoreDataBase(const QString &fileName, QString &errorText)
{
    return Svc().RestoreDataBase(fileName, errorText);
}
bool CheckBackUp()
{
    return Svc().CheckBackUp();
}
bool DeleteBackup(const QString &backupName)
{
    return Svc().DeleteBackup(backupName);
}
bool ExecSqlFile(const QString &fileName)
{
    return Svc().ExecSqlFile(fileName);
}
} // namespace Udllaccountintf
