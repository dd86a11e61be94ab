#include "Udllsystemintf.h"

#include <stdexcept>

namespace Udllsystemintf {
ISystemIntf *SystemIntf = nullptr;

namespace {
ISystemIntf &Svc()
{
    if (!SystemIntf)
        throw std::logic_error("System service not installed");
    return *SystemIntf;
}
} // namespace

QString GetCurrentOperatorId()
{
    return Svc().GetCurrentOperatorId();
}
QString GetCurrentOperatorName()
{
    return Svc().GetCurrentOperatorName();
}
bool GetCurrIsManager()
{
    return Svc().GetCurrIsManager();
}
QString GetLogOnDate()
{
    return Svc().GetLogOnDate();
}
QDateTime GetLogOnDateTime()
{
    return Svc().GetLogOnDateTime();
}
QString GetPubZtName()
{
    return Svc().GetPubZtName();
}
bool CheckSysCon(int conId)
{
    return Svc().CheckSysCon(conId);
}
void SetOneSysCon(int conId, bool value)
{
    Svc().SetOneSysCon(conId, value);
}
bool IsNormalToken()
{
    return Svc().IsNormalToken();
}
bool GetCurrUseAuditing()
{
    return Svc().GetCurrUseAuditing();
}
QString GetPubDefaultDate()
{
    return Svc().GetPubDefaultDate();
}
QString GetPubDefaultBeginDate()
{
    return Svc().GetPubDefaultBeginDate();
}
QString GetPubDefaultEndDate()
{
    return Svc().GetPubDefaultEndDate();
}
QString GetPubDefaultProDate()
{
    return Svc().GetPubDefaultProDate();
}
void SetPubDefaultDate(const QString &date)
{
    Svc().SetPubDefaultDate(date);
}
void SetPubDefaultBeginDate(const QString &date)
{
    Svc().SetPubDefaultBeginDate(date);
}
void SetPubDefaultEndDate(const QString &date)
{
    Svc().SetPubDefaultEndDate(date);
}
void SetPubDefaultProDate(const QString &date)
{
    Svc().SetPubDefaultProDate(date);
}
int GetPubDefaultDecimal()
{
    return Svc().GetPubDefaultDecimal();
}
void SetPubOperateId(const QString &id)
{
    Svc().SetPubOperateId(id);
}
void SetPubOperateName(const QString &name)
{
    Svc().SetPubOperateName(name);
}
void SetPubOperateCode(const QString &code)
{
    Svc().SetPubOperateCode(code);
}
void SetOperateIdManage(bool isManager)
{
    Svc().SetOperateIdManage(isManager);
}
bool CheckToken(QString &code, QString &info, int &level)
{
    return Svc().CheckToken(code, info, level);
}
void SetPubTKCode(const QString &code)
{
    Svc().SetPubTKCode(code);
}
void SetPubTKHave(bool have)
{
    Svc().SetPubTKHave(have);
}
void SetPubTKLeveal(int level)
{
    Svc().SetPubTKLeveal(level);
}
void RefreshMainStatusBar(TRefreshSBSet parts)
{
    Svc().RefreshMainStatusBar(parts);
}
void LoadMenu(bool reload)
{
    Svc().LoadMenu(reload);
}
void CloseAllPage()
{
    Svc().CloseAllPage();
}
void CloseAllBillPage()
{
    Svc().CloseAllBillPage();
}
bool HasOpenBill()
{
    return Svc().HasOpenBill();
}
bool ShowLoginOn(bool first)
{
    return Svc().ShowLoginOn(first);
}
void DisConnect()
{
    Svc().DisConnect();
}
void RefreshWindows()
{
    Svc().RefreshWindows();
}
void ReLoadAtypeClass()
{
    Svc().ReLoadAtypeClass();
}
void ShowMyDesktop()
{
    Svc().ShowMyDesktop();
}
void MainFormActiveTab()
{
    Svc().MainFormActiveTab();
}
bool RepairSystem(int mode)
{
    return Svc().RepairSystem(mode);
}
QString GetQueryCondition()
{
    return Svc().GetQueryCondition();
}
QStringList GetStrings(int kind)
{
    return Svc().GetStrings(kind);
}
int GetGlobalDataType()
{
    return Svc().GetGlobalDataType();
}
int GetGlobalButtonType()
{
    return Svc().GetGlobalButtonType();
}
void Terminate()
{
    Svc().Terminate();
}
} // namespace Udllsystemintf
