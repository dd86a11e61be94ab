// A module that lacks CallFunction: the host must refuse it.
#include "TDllParams.h"
#include "Udatastructure.h"

#define EXPORT extern "C" __attribute__((visibility("default")))
EXPORT void InitLoadDll(TDllParams) {}
EXPORT void InitDllFunc() {}
EXPORT void GetAllRegMenus(TMenuRegArray &menus)
{
    menus.resize(10);
}
EXPORT bool CheckValid(const QString &, QString &message)
{
    message.clear();
    return true;
}
EXPORT bool DllAutoBackup()
{
    return false;
}
EXPORT bool DllIniConfigShow(bool)
{
    return false;
}
EXPORT bool DllExecuteSqlFile(const QString &)
{
    return false;
}
EXPORT bool DllAutoWarnList(int)
{
    return false;
}
EXPORT void DllAuditNew(bool) {}
EXPORT bool DllLoadBillConfig(int)
{
    return false;
}
EXPORT bool DllOpenReport(int, const QString &, int)
{
    return false;
}
EXPORT void GetDllCaption(QString &s)
{
    s.clear();
}
EXPORT void GetDllDeveloper(QString &s)
{
    s.clear();
}
EXPORT void GetMainVersion(QString &s)
{
    s.clear();
}
EXPORT void GetSqlFilePath(QString &s, const QString &, const QString &)
{
    s.clear();
}
EXPORT void GetDllFileVersion(QString &s)
{
    s.clear();
}
#ifdef WITH_CALLFUNCTION
EXPORT bool CallFunction(const QString &)
{
    return false;
}
#endif
