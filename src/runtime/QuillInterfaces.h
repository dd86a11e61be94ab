#pragma once
// Service contracts the host hands to the module through TDllParams. The host implements them;
// the module reaches them only through the wrapper units (Udlldbservice, Udllmessageintf, ...).

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <array>

#include "ClientDataSet.h"
#include "ParamList.h"
#include "Udatastructure.h"

class QWidget;

// Database service: SQL text and stored procedures on the host's one connection.
// Errors are raised as EDatabaseError. "params" are bound positionally to "?" placeholders.
class IDataBaseService
{
public:
    virtual ~IDataBaseService() = default;
    virtual void OpenSQL(const QString &sql, const QVariantList &params, TClientDataSet &ds) = 0;
    virtual QVariant GetValueFromSQL(const QString &sql, const QVariantList &params) = 0;
    virtual int ExecuteSQL(const QString &sql, const QVariantList &params) = 0; // rows affected
    // Runs a procedure; every parameter goes in; outputs the procedure sets are written back to
    // "params" by name. Returns the procedure's integer result.
    virtual int ExecuteProc(const QString &name, TParamList &params) = 0;
    virtual int OpenProc(const QString &name, TParamList &params, TClientDataSet &ds) = 0;
    virtual void BeginTrans() = 0; // a second BeginTrans while one is open raises EDatabaseError
    virtual void CommitTrans() = 0;
    virtual void RollBackTrans() = 0;
    virtual bool InTransaction() const = 0;
};

// Message boxes of the host.
class IDllMessageCon
{
public:
    virtual ~IDllMessageCon() = default;
    virtual TMessageBoxButton SuperMessageBox(const QString &text, const QString &caption,
                                              TMessageBoxType type, TMessageBoxButtons buttons,
                                              TMessageBoxButton defaultButton) = 0;
    virtual bool ConfirmYesNo(const QString &text, TMessageBoxType type, const QString &caption) = 0;
    virtual bool ConfirmOKCancel(const QString &text, TMessageBoxType type, const QString &caption) = 0;
    virtual void ShowErrorMsg(const QString &text) = 0;
    virtual void ShowWarningMsg(const QString &text) = 0;
    virtual void ShowInfoMessage(const QString &text) = 0;
    // Nine categories of per-bill results; 0 is acceptance.
    virtual int SuperBillBatchMessageBox(const std::array<TBillMessageList, 9> &lists, TMessageBoxType type,
                                         bool flag1, bool flag2, bool flag3) = 0;
    virtual void SuperBillBatchMessageBoxModaless(const std::array<TBillMessageList, 9> &lists,
                                                  TMessageBoxType type, bool flag) = 0;
};

// Log-on state and the host's main window.
class ISystemIntf
{
public:
    virtual ~ISystemIntf() = default;
    // Log-on state
    virtual QString GetCurrentOperatorId() = 0;
    virtual QString GetCurrentOperatorName() = 0;
    virtual bool GetCurrIsManager() = 0;
    virtual QString GetLogOnDate() = 0;
    virtual QDateTime GetLogOnDateTime() = 0;
    virtual QString GetPubZtName() = 0;
    virtual bool CheckSysCon(int conId) = 0;
    virtual void SetOneSysCon(int conId, bool value) = 0;
    virtual bool IsNormalToken() = 0;
    virtual bool GetCurrUseAuditing() = 0;
    virtual QString GetPubDefaultDate() = 0;
    virtual QString GetPubDefaultBeginDate() = 0;
    virtual QString GetPubDefaultEndDate() = 0;
    virtual QString GetPubDefaultProDate() = 0;
    virtual void SetPubDefaultDate(const QString &date) = 0;
    virtual void SetPubDefaultBeginDate(const QString &date) = 0;
    virtual void SetPubDefaultEndDate(const QString &date) = 0;
    virtual void SetPubDefaultProDate(const QString &date) = 0;
    virtual int GetPubDefaultDecimal() = 0;
    virtual void SetPubOperateId(const QString &id) = 0;
    virtual void SetPubOperateName(const QString &name) = 0;
    virtual void SetPubOperateCode(const QString &code) = 0;
    virtual void SetOperateIdManage(bool isManager) = 0;
    // Pass token (安全钥匙): reads the plugged-in key. False when there is none; otherwise code (its
    // value on entry is replaced) and level (0 = normal) describe the key and info where it was read.
    virtual bool CheckToken(QString &code, QString &info, int &level) = 0;
    // The token of the logged-on operator: number, bound flag and level (-1 without a token).
    virtual void SetPubTKCode(const QString &code) = 0;
    virtual void SetPubTKHave(bool have) = 0;
    virtual void SetPubTKLeveal(int level) = 0;
    // Main window
    virtual void RefreshMainStatusBar(TRefreshSBSet parts) = 0;
    virtual void LoadMenu(bool reload) = 0;
    virtual void CloseAllPage() = 0;
    virtual void CloseAllBillPage() = 0;
    virtual bool HasOpenBill() = 0;
    virtual bool ShowLoginOn(bool first) = 0;
    virtual void DisConnect() = 0;
    virtual void RefreshWindows() = 0;
    virtual void ReLoadAtypeClass() = 0;
    virtual void ShowMyDesktop() = 0;
    virtual void MainFormActiveTab() = 0;
    virtual bool RepairSystem(int mode) = 0;
    virtual QString GetQueryCondition() = 0;
    virtual QStringList GetStrings(int kind) = 0;
    virtual int GetGlobalDataType() = 0;
    virtual int GetGlobalButtonType() = 0;
    virtual void Terminate() = 0; // ends the host application
};

// Existence checks of base data ("已经不存在").
class IExistsData
{
public:
    virtual ~IExistsData() = default;
    virtual bool ExistsData(const QString &tableName, const QString &keyField, const QVariant &key) = 0;
};

// Selection dialogs for base data. Kinds: "Vchtype", "Ptype", "Stock", "Employee", "Unit",
// "Department", "Atype", "Btype".
class IBaseSelect
{
public:
    virtual ~IBaseSelect() = default;
    virtual bool SelectBaseData(const QString &kind, const QString &searchText, bool multiSelect,
                                TBaseRecordList &selected) = 0;
    virtual bool SelectAtype(const QString &startCode, TBaseRecord &selected) = 0;
};

// Bill windows of the host.
class IBillInterface
{
public:
    virtual ~IBillInterface() = default;
    virtual bool AllNewBill(int vchType) = 0;
    virtual bool OpenBill(int vchCode, int vchType) = 0;
    virtual bool AuditBill(int vchCode, int vchType) = 0;
};

// Account-set services: backup, restore, SQL scripts.
class IAccountIntf
{
public:
    virtual ~IAccountIntf() = default;
    virtual int BackUpDataBase(const QString &backupName, const QString &folder) = 0;
    // errorText receives the host's reason for a failure (empty after a success).
    virtual int RestoreDataBase(const QString &fileName, QString &errorText) = 0;
    virtual bool CheckBackUp() = 0;
    virtual bool DeleteBackup(const QString &backupName) = 0;
    virtual bool ExecSqlFile(const QString &fileName) = 0;
};

class IBaseViewIntf
{
public:
    virtual ~IBaseViewIntf() = default;
    virtual bool ShowBaseView(const QString &kind, const QString &typeId) = 0;
};

// Bill configuration: names, tables and function numbers of bill types.
class IBillConfigIntf
{
public:
    virtual ~IBillConfigIntf() = default;
    virtual QString GetBillName(int vchType) = 0;
    virtual int GetBillFunctionNo(int vchType) = 0;
    virtual QString GetBillTableName(int vchType) = 0;
};

// Other modules of the suite; this module only forwards to them.
class IFAIntf
{
public:
    virtual ~IFAIntf() = default;
};
class ICAIntf
{
public:
    virtual ~ICAIntf() = default;
};
class IBuyManageIntf
{
public:
    virtual ~IBuyManageIntf() = default;
};
class ISaleManageIntf
{
public:
    virtual ~ISaleManageIntf() = default;
};
class IProduceIntf
{
public:
    virtual ~IProduceIntf() = default;
};
class IOrvaneIntf
{
public:
    virtual ~IOrvaneIntf() = default;
};
class IReportManageIntf
{
public:
    virtual ~IReportManageIntf() = default;
    virtual bool OpenReport(int reportId, const QString &params, int mode) = 0;
};

// The host's server object (vmrSvr), reached by late binding through Udllserverobject::Invoke with its
// dispatch ids: 320 begins a transaction on the host's connection, 322 commits it, 321 rolls it back,
// 337 reloads what the host caches of the account set after a rebuild, 369 records a script that ran.
// A failure (a second begin, no open transaction) raises EDatabaseError.
class ICoQuillServerDisp
{
public:
    virtual ~ICoQuillServerDisp() = default;
    virtual bool BeginWork() = 0;
    virtual bool CommitWork() = 0;
    virtual bool RollBackWork() = 0;
    virtual bool AfterRebuild() = 0;
    virtual bool AfterScript(const QString &fileName) = 0;
};
