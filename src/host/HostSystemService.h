#pragma once
// The host's system service: the log-on state of the session and the main-window operations.
// Without a main window (orvane-admin, tests) the window operations act on nothing: there are
// no pages to close, no menus to load and no log-on dialog to show.

#include <QDate>
#include <QHash>
#include <memory>

#include "QuillInterfaces.h"
#include "session/TokenReader.h"

namespace accountdb {
class AccountDatabase;
}

// Main-window side of the system service, implemented by the host's main window.
class IHostShell
{
public:
    virtual ~IHostShell() = default;
    virtual void RefreshMainStatusBar(TRefreshSBSet parts) = 0;
    virtual void LoadMenu(bool reload) = 0;
    virtual void CloseAllPage() = 0;
    virtual void CloseAllBillPage() = 0;
    virtual bool HasOpenBill() = 0;
    virtual bool ShowLoginOn(bool first) = 0;
    virtual void RefreshWindows() = 0;
    virtual void ShowMyDesktop() = 0;
    virtual void MainFormActiveTab() = 0;
    virtual void Terminate() = 0;
};

struct TLogOnState
{
    QString OperatorId = QStringLiteral("00000");
    QString OperatorCode = QStringLiteral("00000");
    QString OperatorName;
    bool IsManager = true;
    QDate LogOnDate = QDate::currentDate();
    QString ZtName;
    // The operator's pass token; NormalToken follows bound flag and level (a normal key is level 0).
    QString TokenCode;
    bool TokenHave = false;
    int TokenLevel = -1;
    bool NormalToken = false;
    bool UseAuditing = false;
};

class HostSystemService final : public ISystemIntf
{
public:
    explicit HostSystemService(accountdb::AccountDatabase &db);

    void SetDatabase(accountdb::AccountDatabase &db);
    void SetShell(IHostShell *shell) { FShell = shell; }
    // Where the host's own reports go (the account-set repair).
    void SetMessages(IDllMessageCon *messages) { FMessages = messages; }
    TLogOnState &State() { return FState; }
    // Reloads the cached switches of T_Gbl_SysCon.
    void ReloadSysCon();

    QString GetCurrentOperatorId() override { return FState.OperatorId; }
    QString GetCurrentOperatorName() override { return FState.OperatorName; }
    bool GetCurrIsManager() override { return FState.IsManager; }
    QString GetLogOnDate() override { return FState.LogOnDate.toString(QStringLiteral("yyyy-MM-dd")); }
    QDateTime GetLogOnDateTime() override;
    QString GetPubZtName() override { return FState.ZtName; }
    bool CheckSysCon(int conId) override { return FSysCon.value(conId, false); }
    void SetOneSysCon(int conId, bool value) override { FSysCon.insert(conId, value); }
    bool IsNormalToken() override { return FState.NormalToken; }
    bool GetCurrUseAuditing() override { return FState.UseAuditing; }
    QString GetPubDefaultDate() override { return FDefaultDate; }
    QString GetPubDefaultBeginDate() override { return FDefaultBeginDate; }
    QString GetPubDefaultEndDate() override { return FDefaultEndDate; }
    QString GetPubDefaultProDate() override { return FDefaultProDate; }
    void SetPubDefaultDate(const QString &date) override { FDefaultDate = date; }
    void SetPubDefaultBeginDate(const QString &date) override { FDefaultBeginDate = date; }
    void SetPubDefaultEndDate(const QString &date) override { FDefaultEndDate = date; }
    void SetPubDefaultProDate(const QString &date) override { FDefaultProDate = date; }
    int GetPubDefaultDecimal() override { return FDefaultDecimal; }
    void SetPubDefaultDecimal(int places) { FDefaultDecimal = places; }
    void SetPubOperateId(const QString &id) override { FState.OperatorId = id; }
    void SetPubOperateName(const QString &name) override { FState.OperatorName = name; }
    void SetPubOperateCode(const QString &code) override { FState.OperatorCode = code; }
    void SetOperateIdManage(bool isManager) override { FState.IsManager = isManager; }
    // Where CheckToken reads the key; without a reader no key is ever plugged in.
    void SetTokenReader(std::unique_ptr<ITokenReader> reader) { FTokenReader = std::move(reader); }
    ITokenReader *TokenReader() const { return FTokenReader.get(); }
    bool CheckToken(QString &code, QString &info, int &level) override;
    void SetPubTKCode(const QString &code) override { FState.TokenCode = code; }
    void SetPubTKHave(bool have) override;
    void SetPubTKLeveal(int level) override;

    void RefreshMainStatusBar(TRefreshSBSet parts) override;
    void LoadMenu(bool reload) override;
    void CloseAllPage() override;
    void CloseAllBillPage() override;
    bool HasOpenBill() override;
    bool ShowLoginOn(bool first) override;
    void DisConnect() override;
    void RefreshWindows() override;
    void ReLoadAtypeClass() override;
    void ShowMyDesktop() override;
    void MainFormActiveTab() override;
    bool RepairSystem(int mode) override;
    QString GetQueryCondition() override { return FQueryCondition; }
    QStringList GetStrings(int kind) override;
    int GetGlobalDataType() override { return 0; }
    int GetGlobalButtonType() override { return 0; }
    void Terminate() override;

private:
    accountdb::AccountDatabase *FDb;
    IHostShell *FShell = nullptr;
    IDllMessageCon *FMessages = nullptr;
    TLogOnState FState;
    std::unique_ptr<ITokenReader> FTokenReader;
    QHash<int, bool> FSysCon;
    QString FDefaultDate, FDefaultBeginDate, FDefaultEndDate, FDefaultProDate;
    int FDefaultDecimal = 4;
    QString FQueryCondition;
};
