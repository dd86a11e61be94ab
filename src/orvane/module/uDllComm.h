#pragma once
// The module's outer surface: the host's parameter record, the dispatch dictionary and the exports
// that hand over the host services and run menu entries by key.

#include <QHash>
#include <QString>
#include <functional>
#include <memory>

#include "TDllParams.h"

#define ORVANE_EXPORT extern "C" __attribute__((visibility("default")))

using TCallDllFunction = std::function<bool()>;

namespace uDllComm {
// The one copy of the host's record; every subsystem reads host data from it.
extern TDllParams DllParams;
// Dispatch key -> routine; keys compare exactly (case-sensitive, no trimming).
using TFunctionDictionary = QHash<QString, TCallDllFunction>;
extern std::unique_ptr<TFunctionDictionary> FunctionDictionary;
// The global short date format and separator in force while the module is loaded.
extern QString ShortDateFormat;
extern QChar DateSeparator;
// Adds a key; a key already present raises std::logic_error (the dictionary rejects duplicates).
void AddFunction(const QString &key, TCallDllFunction routine);
} // namespace uDllComm

ORVANE_EXPORT void InitLoadDll(TDllParams params);
ORVANE_EXPORT void InitDllFunc();
ORVANE_EXPORT bool CallFunction(const QString &functionName);
ORVANE_EXPORT bool DllAutoBackup();
ORVANE_EXPORT bool DllIniConfigShow(bool flag);
ORVANE_EXPORT bool DllExecuteSqlFile(const QString &fileName);
ORVANE_EXPORT bool DllAutoWarnList(int mode);
ORVANE_EXPORT void DllAuditNew(bool flag);
ORVANE_EXPORT bool DllLoadBillConfig(int param);
ORVANE_EXPORT bool DllOpenReport(int reportId, const QString &params, int mode);
ORVANE_EXPORT void GetDllCaption(QString &caption);
ORVANE_EXPORT void GetDllDeveloper(QString &developer);
ORVANE_EXPORT void GetMainVersion(QString &version);
ORVANE_EXPORT void GetSqlFilePath(QString &path, const QString &arg1, const QString &arg2);
ORVANE_EXPORT void GetDllFileVersion(QString &version);
