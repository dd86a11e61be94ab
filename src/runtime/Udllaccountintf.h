#pragma once
// Holds the host's IAccountIntf for the module and forwards its operations.

#include "QuillInterfaces.h"
#include "quillcmrunstd_export.h"

namespace Udllaccountintf {
QUILLCMRUNSTD_EXPORT extern IAccountIntf *AccountIntf;
QUILLCMRUNSTD_EXPORT int BackUpDataBase(const QString &backupName, const QString &folder);
QUILLCMRUNSTD_EXPORT int RestoreDataBase(const QString &fileName, QString &errorText);
QUILLCMRUNSTD_EXPORT bool CheckBackUp();
QUILLCMRUNSTD_EXPORT bool DeleteBackup(const QString &backupName);
QUILLCMRUNSTD_EXPORT bool ExecSqlFile(const QString &fileName);
} // namespace Udllaccountintf
