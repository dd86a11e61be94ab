#pragma once
// Loads libOrvane.so the way the host does: resolves every export by name, checks the version,
// hands over the host services and reads the menu registrations.

#include <QLibrary>
#include <QString>

#include "TDllParams.h"
#include "Udatastructure.h"

class ModuleLoader
{
public:
    using FnInitLoadDll = void (*)(TDllParams);
    using FnInitDllFunc = void (*)();
    using FnCallFunction = bool (*)(const QString &);
    using FnGetAllRegMenus = void (*)(TMenuRegArray &);
    using FnCheckValid = bool (*)(const QString &, QString &);
    using FnBool = bool (*)();
    using FnBoolFlag = bool (*)(bool);
    using FnBoolText = bool (*)(const QString &);
    using FnBoolInt = bool (*)(int);
    using FnVoidFlag = void (*)(bool);
    using FnOpenReport = bool (*)(int, const QString &, int);
    using FnText = void (*)(QString &);
    using FnSqlFilePath = void (*)(QString &, const QString &, const QString &);

    // The host's version text, compared by the module's CheckValid.
    static QString HostVersion() { return QStringLiteral("V17.0"); }
    // libOrvane.so beside the running program (ORVANE_MODULE overrides).
    static QString DefaultModulePath();

    ~ModuleLoader();

    // Loads the library and resolves every export; False with a clear text in Error() otherwise.
    bool Load(const QString &path);
    // CheckValid with the host's version; False with the module's message in Error().
    bool Check();
    // InitLoadDll, InitDllFunc and GetAllRegMenus.
    void Initialise(const TDllParams &params);

    QString Error() const { return FError; }
    const TMenuRegArray &Menus() const { return FMenus; }
    bool Call(const QString &key) const { return CallFunction(key); }

    FnInitLoadDll InitLoadDll = nullptr;
    FnInitDllFunc InitDllFunc = nullptr;
    FnCallFunction CallFunction = nullptr;
    FnGetAllRegMenus GetAllRegMenus = nullptr;
    FnCheckValid CheckValid = nullptr;
    FnBool DllAutoBackup = nullptr;
    FnBoolFlag DllIniConfigShow = nullptr;
    FnBoolText DllExecuteSqlFile = nullptr;
    FnBoolInt DllAutoWarnList = nullptr;
    FnVoidFlag DllAuditNew = nullptr;
    FnBoolInt DllLoadBillConfig = nullptr;
    FnOpenReport DllOpenReport = nullptr;
    FnText GetDllCaption = nullptr;
    FnText GetDllDeveloper = nullptr;
    FnText GetMainVersion = nullptr;
    FnSqlFilePath GetSqlFilePath = nullptr;
    FnText GetDllFileVersion = nullptr;

private:
    QLibrary FLibrary;
    QString FError;
    TMenuRegArray FMenus;
};
