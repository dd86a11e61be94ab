#pragma once
// The dispatch routines behind the module's menu entries, and the exports that open windows.

#include <QList>

#include "uDllComm.h"

namespace uFuncMenuClickInterFace {
struct TDispatchEntry
{
    QString Name; // entry name; the key is the module file name followed by it
    TCallDllFunction Routine;
};
// The registered entries, in menu order.
QList<TDispatchEntry> DispatchTable();
// The routine run only when the operator holds the right of the entry (its function-list row by entry
// name); otherwise "你没有这个功能的权限，不能打开。" and False.
TCallDllFunction Guarded(const QString &name, TCallDllFunction routine);
} // namespace uFuncMenuClickInterFace

ORVANE_EXPORT void InitDllFunc();
ORVANE_EXPORT bool DllAutoBackup();
ORVANE_EXPORT bool DllIniConfigShow(bool flag);
ORVANE_EXPORT bool DllAutoWarnList(int mode);
ORVANE_EXPORT void DllAuditNew(bool flag);
ORVANE_EXPORT bool DllLoadBillConfig(int param);
