#pragma once
// Forwarders to the host system service: log-on state and the main window.

#include "QuillInterfaces.h"
#include "quillcmrunstd_export.h"

namespace Udllsystemintf {
QUILLCMRUNSTD_EXPORT extern ISystemIntf *SystemIntf;

QUILLCMRUNSTD_EXPORT QString GetCurrentOperatorId();
QUILLCMRUNSTD_EXPORT QString GetCurrentOperatorName();
QUILLCMRUNSTD_EXPORT bool GetCurrIsManager();
QUILLCMRUNSTD_EXPORT QString GetLogOnDate();
QUILLCMRUNSTD_EXPORT QDateTime GetLogOnDateTime();
QUILLCMRUNSTD_EXPORT QString GetPubZtName();
QUILLCMRUNSTD_EXPORT bool CheckSysCon(int conId);
QUILLCMRUNSTD_EXPORT void SetOneSysCon(int conId, bool value);
QUILLCMRUNSTD_EXPORT bool IsNormalToken();
QUILLCMRUNSTD_EXPORT bool GetCurrUseAuditing();
QUILLCMRUNSTD_EXPORT QString GetPubDefaultDate();
QUILLCMRUNSTD_EXPORT QString GetPubDefaultBeginDate();
QUILLCMRUNSTD_EXPORT QString GetPubDefaultEndDate();
QUILLCMRUNSTD_EXPORT QString GetPubDefaultProDate();
QUILLCMRUNSTD_EXPORT void SetPubDefaultDate(const QString &date);
QUILLCMRUNSTD_EXPORT void SetPubDefaultBeginDate(const QString &date);
QUILLCMRUNSTD_EXPORT void SetPubDefaultEndDate(const QString &date);
QUILLCMRUNSTD_EXPORT void SetPubDefaultProDate(const QString &date);
QUILLCMRUNSTD_EXPORT int GetPubDefaultDecimal();
QUILLCMRUNSTD_EXPORT void SetPubOperateId(const QString &id);
QUILLCMRUNSTD_EXPORT void SetPubOperateName(const QString &name);
QUILLCMRUNSTD_EXPORT void SetPubOperateCode(const QString &code);
QUILLCMRUNSTD_EXPORT void SetOperateIdManage(bool isManager);
QUILLCMRUNSTD_EXPORT bool CheckToken(QString &code, QString &info, int &level);
QUILLCMRUNSTD_EXPORT void SetPubTKCode(const QString &code);
QUILLCMRUNSTD_EXPORT void SetPubTKHave(bool have);
QUILLCMRUNSTD_EXPORT void SetPubTKLeveal(int level);
QUILLCMRUNSTD_EXPORT void RefreshMainStatusBar(TRefreshSBSet parts);
QUILLCMRUNSTD_EXPORT void LoadMenu(bool reload);
QUILLCMRUNSTD_EXPORT void CloseAllPage();
QUILLCMRUNSTD_EXPORT void CloseAllBillPage();
QUILLCMRUNSTD_EXPORT bool HasOpenBill();
QUILLCMRUNSTD_EXPORT bool ShowLoginOn(bool first);
QUILLCMRUNSTD_EXPORT void DisConnect();
QUILLCMRUNSTD_EXPORT void RefreshWindows();
QUILLCMRUNSTD_EXPORT void ReLoadAtypeClass();
QUILLCMRUNSTD_EXPORT void ShowMyDesktop();
QUILLCMRUNSTD_EXPORT void MainFormActiveTab();
QUILLCMRUNSTD_EXPORT bool RepairSystem(int mode);
QUILLCMRUNSTD_EXPORT QString GetQueryCondition();
QUILLCMRUNSTD_EXPORT QStringList GetStrings(int kind);
QUILLCMRUNSTD_EXPORT int GetGlobalDataType();
QUILLCMRUNSTD_EXPORT int GetGlobalButtonType();
QUILLCMRUNSTD_EXPORT void Terminate();
} // namespace Udllsystemintf
