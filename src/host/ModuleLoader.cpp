#include "ModuleLoader.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

QString ModuleLoader::DefaultModulePath()
{
    const QByteArray env = qgetenv("ORVANE_MODULE");
    if (!env.isEmpty())
        return QString::fromLocal8Bit(env);
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("libOrvane.so"));
}

ModuleLoader::~ModuleLoader()
{
    // The module's windows and the host's records may still refer to code of the library until
    // the process ends, so it stays loaded.
}

bool ModuleLoader::Load(const QString &path)
{
    if (!QFileInfo::exists(path)) {
        FError = QStringLiteral("找不到模块文件：%1").arg(path);
        return false;
    }
    FLibrary.setFileName(path);
    if (!FLibrary.load()) {
        FError = QStringLiteral("无法加载模块 %1：%2").arg(path, FLibrary.errorString());
        return false;
    }
    QStringList missing;
    const auto resolve = [&](auto &fn, const char *name) {
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(FLibrary.resolve(name));
        if (!fn)
            missing << QString::fromLatin1(name);
    };
    resolve(InitLoadDll, "InitLoadDll");
    resolve(InitDllFunc, "InitDllFunc");
    resolve(CallFunction, "CallFunction");
    resolve(GetAllRegMenus, "GetAllRegMenus");
    resolve(CheckValid, "CheckValid");
    resolve(DllAutoBackup, "DllAutoBackup");
    resolve(DllIniConfigShow, "DllIniConfigShow");
    resolve(DllExecuteSqlFile, "DllExecuteSqlFile");
    resolve(DllAutoWarnList, "DllAutoWarnList");
    resolve(DllAuditNew, "DllAuditNew");
    resolve(DllLoadBillConfig, "DllLoadBillConfig");
    resolve(DllOpenReport, "DllOpenReport");
    resolve(GetDllCaption, "GetDllCaption");
    resolve(GetDllDeveloper, "GetDllDeveloper");
    resolve(GetMainVersion, "GetMainVersion");
    resolve(GetSqlFilePath, "GetSqlFilePath");
    resolve(GetDllFileVersion, "GetDllFileVersion");
    if (!missing.isEmpty()) {
        FError = QStringLiteral("模块 %1 缺少导出函数：%2").arg(path, missing.join(QStringLiteral(", ")));
        return false;
    }
    return true;
}

bool ModuleLoader::Check()
{
    QString message;
    if (CheckValid(HostVersion(), message))
        return true;
    FError = message.isEmpty() ? QStringLiteral("模块版本检查失败。") : message;
    return false;
}

void ModuleLoader::Initialise(const TDllParams &params)
{
    InitLoadDll(params);
    InitDllFunc();
    GetAllRegMenus(FMenus);
}
