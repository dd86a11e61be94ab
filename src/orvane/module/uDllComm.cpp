#include "uDllComm.h"

#include "Udllaccountintf.h"
#include "Udllbaseselect.h"
#include "Udllbaseview.h"
#include "Udllbillconfig.h"
#include "Udllbillinterface.h"
#include "Udllbuymanageintf.h"
#include "Udllcaintf.h"
#include "Udlldbservice.h"
#include "Udllexistintf.h"
#include "Udllfaintf.h"
#include "Udllmessageintf.h"
#include "Udllorvaneintf.h"
#include "Udllproduceintf.h"
#include "Udllreportmanageintf.h"
#include "Udllsalemanageintf.h"
#include "Udllserverobject.h"
#include "Udllsystemintf.h"
#include "uOrvaneCommon.h"
#include "uStringConst.h"

#include <QApplication>
#include <QFileInfo>
#include <dlfcn.h>
#include <stdexcept>

namespace uDllComm {
TDllParams DllParams;
std::unique_ptr<TFunctionDictionary> FunctionDictionary;
QString ShortDateFormat;
QChar DateSeparator;

void AddFunction(const QString &key, TCallDllFunction routine)
{
    if (FunctionDictionary->contains(key))
        throw std::logic_error("Duplicates not allowed: " + key.toStdString());
    FunctionDictionary->insert(key, std::move(routine));
}

namespace {
// Unit initialisation and finalisation, once per load of the library.
struct TUnitLifetime
{
    TUnitLifetime()
    {
        FunctionDictionary = std::make_unique<TFunctionDictionary>();
        DateSeparator = QLatin1Char('-');
        ShortDateFormat = QStringLiteral("YYYY-MM-DD");
        uOrvaneCommon::InitDisplayFormats();
    }
    ~TUnitLifetime()
    {
        FunctionDictionary.reset();
        uOrvaneCommon::ClearDisplayFormats();
        const quintptr handle = DllParams.DllHandle;
        DllParams = TDllParams();
        if (handle != 0)
            dlclose(reinterpret_cast<void *>(handle));
    }
};
TUnitLifetime UnitLifetime;
} // namespace
} // namespace uDllComm

using namespace uDllComm;

void InitLoadDll(TDllParams params)
{
    DllParams = params;
    Udllmessageintf::DllMessage = DllParams.DllMessage;
    Udlldbservice::DatabaseSvr = DllParams.DataBaseService;
    Udllexistintf::ExistsData = DllParams.ExistsData;
    Udllbaseselect::BaseSelect = DllParams.BaseSelect;
    Udllbillinterface::BillInterface = DllParams.BillInterface;
    Udllaccountintf::AccountIntf = DllParams.AccountIntf;
    Udllbaseview::BaseViewIntf = DllParams.BaseViewIntf;
    Udllfaintf::FAIntf = DllParams.FAIntf;
    Udllcaintf::CAIntf = DllParams.CAIntf;
    Udllsystemintf::SystemIntf = DllParams.SystemIntf;
    Udllbillconfig::BillConfigIntf = DllParams.BillConfigIntf;
    Udllproduceintf::ProduceIntf = DllParams.ProduceIntf;
    Udllbuymanageintf::BuyManageIntf = DllParams.BuyManageIntf;
    Udllsalemanageintf::SaleManageIntf = DllParams.SaleManageIntf;
    Udllorvaneintf::Orvane = DllParams.OrvaneIntf;
    Udllreportmanageintf::ReportManageIntf = DllParams.ReportManageIntf;
    Udllserverobject::vmrSvr = DllParams.vmrSvr;
}

bool CallFunction(const QString &functionName)
{
    if (!FunctionDictionary)
        return false;
    const auto it = FunctionDictionary->constFind(functionName);
    if (it == FunctionDictionary->constEnd() || !*it)
        return false;
    return (*it)();
}

bool DllExecuteSqlFile(const QString &fileName)
{
    const QString name = fileName.trimmed();
    QCoreApplication::processEvents();
    if (!QFileInfo(name).isFile()) {
        Udllmessageintf::ShowWarningMsg(uStringConst::FileNotExists);
        return false;
    }
    if (QGuiApplication *gui = qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
        gui->setOverrideCursor(Qt::BusyCursor);
    struct CursorReset
    {
        ~CursorReset()
        {
            if (qobject_cast<QGuiApplication *>(QCoreApplication::instance()))
                QGuiApplication::restoreOverrideCursor();
        }
    } cursorReset;
    Udlldbservice::BeginTrans();
    bool ok = false;
    try {
        ok = Udllaccountintf::ExecSqlFile(name);
    } catch (...) {
        // A runner that raises instead of returning False leaves nothing half-applied either.
        Udlldbservice::RollBackTrans();
        throw;
    }
    if (ok) {
        Udlldbservice::CommitTrans();
        return true;
    }
    Udlldbservice::RollBackTrans();
    Udllmessageintf::ShowErrorMsg(QStringLiteral("文件名:") + name + QChar(13) +
                                  QStringLiteral("执行失败。"));
    return false;
}

bool DllOpenReport(int, const QString &, int)
{
    return false;
}
void GetDllCaption(QString &caption)
{
    caption.clear();
}
void GetDllDeveloper(QString &developer)
{
    developer.clear();
}
void GetMainVersion(QString &version)
{
    version.clear();
}
void GetSqlFilePath(QString &path, const QString &, const QString &)
{
    path.clear();
}
void GetDllFileVersion(QString &version)
{
    version.clear();
}
