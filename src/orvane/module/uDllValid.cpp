#include "uDllValid.h"

#include "uStringConst.h"

bool CheckValid(const QString &version, QString &message)
{
    message.clear();
    if (uStringConst::ModuleVersion.trimmed() == version.trimmed())
        return true;
    message = uStringConst::VersionMismatch;
    return false;
}
