#pragma once
// The host's main window: the MDI area the module's windows open in (the FparForm of TDllParams),
// the menus of the module's entries built from the account set's function list, the status bar of
// the log-on state, the log-on dialog and the base-data selection. It is the shell behind the
// system service's main-window operations.
//
// The desktop page is the MDI area's first child and stays open while the window lives; it is the
// module's MainFaceForm, so the module does not count it among the open windows. Windows whose widget carries
// the property "BillPage" = true are bill pages (HasOpenBill, CloseAllBillPage).

#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

#include "HostBaseSelect.h"
#include "HostBillConfig.h"
#include "HostBillService.h"
#include "HostFunctionMenu.h"
#include "HostSystemService.h"
#include "LogOnDialog.h"

class HostSession;
class ModuleLoader;
class HostHelp;
class QLabel;
class QMdiArea;
class QMdiSubWindow;
class HostDesktop;

class HostMainWindow : public QMainWindow, public IHostShell
{
    Q_OBJECT
public:
    using TCallFunction = std::function<bool(const QString &key)>;

    explicit HostMainWindow(QWidget *parent = nullptr);
    ~HostMainWindow() override;

    // The account set the window works on: taken over, or kept by the caller (who keeps it alive
    // longer than the window). Installs the services, the window as shell and fills the module's
    // parameters (main form, selection, bill configuration, edition). Sessions the window opens
    // later share the first session's message service, which must outlive the window.
    void AdoptSession(std::unique_ptr<HostSession> session);
    void AttachSession(HostSession &session);
    HostSession *Session() const { return FSession; }

    // The module whose entries the menus run; its InitLoadDll is repeated for another account set.
    void SetModule(ModuleLoader *loader);
    // The routine the entries call instead of a loaded module's CallFunction.
    void SetCallFunction(TCallFunction call) { FCall = std::move(call); }

    QMdiArea *MdiArea() const { return FMdiArea; }
    QWidget *Desktop() const;
    const QList<THostMenuEntry> &MenuEntries() const { return FEntries; }
    // The menu action of a module entry (by entry name); null when the menus do not show it.
    QAction *EntryAction(const QString &entryName) const;
    QString StatusText(TRefreshSB part) const;

    // Leaves the program, however the user asked (退出, the window's ✕, Alt+F4): asks first when
    // windows are open, then runs the module's 退出 entry once (end of the log-on, the exit backup
    // when switch 39 is on) and closes. False when the user stays.
    bool Leave();
    // F1 / 帮助主题: the help page of the active window, the contents when the desktop is in front.
    void ShowHelp();
    void ShowAbout();
    // 基本信息: the window of one kind of base data (goods, partners, ...), brought to the front when open.
    void OpenBaseData(const QString &kind);
    // The bill windows of the account set the window shows (null before a session is attached).
    HostBillService *Bills() const { return FBills.get(); }
    // 单据列表: the bills of a type the user picks.
    void OpenBillList();
    HostHelp *Help() const { return FHelp; }

    // Runs a module entry by key. Errors the entry raises are shown through the message service;
    // the silent abort shows nothing. Returns the entry's result.
    bool RunEntry(const QString &key);
    bool RunEntryGuarded(const std::function<bool()> &work);
    // Logs on without the dialog: opens the account set when it is another one, checks the password
    // and takes over the log-on. False with the refusal's text.
    bool LogOn(const TLogOnRequest &request, QString *error);
    // Operators of an account set for the log-on list ("code name" by id).
    TOperatorList Operators(const QString &dataBase);
    // 新建账套: a new account set file (not overwriting one), the administrator logged on to it and the
    // module's set-up wizard. False with the refusal shown when the file cannot be made.
    bool NewAccountSet(const QString &path);

    // Period as "2026年01月"; other texts unchanged, "0" empty.
    static QString FormatPeriod(const QString &period);

    // IHostShell
    void RefreshMainStatusBar(TRefreshSBSet parts) override;
    void LoadMenu(bool reload) override;
    void CloseAllPage() override;
    void CloseAllBillPage() override;
    bool HasOpenBill() override;
    bool ShowLoginOn(bool first) override;
    void RefreshWindows() override;
    void ShowMyDesktop() override;
    void MainFormActiveTab() override;
    void Terminate() override;

signals:
    // After every module entry the window ran, with its result.
    void EntryFinished(const QString &key, bool result);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void Attach(HostSession &session);
    void Detach();
    void SwitchSession(std::unique_ptr<HostSession> session);
    bool EntryAllowed(const THostMenuEntry &entry);
    void ShowWarnListAtLogOn(); // step 7 of opening an account set
    // The module's initialisation check after a log-on of the host's own (the set-up wizard for an
    // account set that is not set up yet).
    void RunInitialisationCheck();
    void AddNewAccountSetEntry(QMenu *fileMenu);
    void AskNewAccountSet();
    void BuildWindowMenu();
    void BuildBaseDataMenu();
    void BuildBillMenu();
    void BuildHelpMenu();
    QList<QMdiSubWindow *> PagesOtherThanDesktop() const;
    QString CurrentJxcPeriod();

    HostSession *FSession = nullptr;
    std::unique_ptr<HostSession> FOwnSession;
    std::vector<std::unique_ptr<HostSession>>
        FRetired; // replaced sessions, freed once back in the event loop
    ModuleLoader *FLoader = nullptr;
    TCallFunction FCall;
    HostBaseSelect FBaseSelect;
    HostBillConfig FBillConfig;
    std::unique_ptr<HostBillService> FBills;
    QList<THostMenuEntry> FEntries;
    bool FEntriesRead = false;
    bool FLeaving = false;
    bool FModuleLogOn = false; // the module's 打开账套 runs the log-on and its own steps after it
    HostHelp *FHelp;

    QMdiArea *FMdiArea;
    QMdiSubWindow *FDesktopWindow = nullptr;
    HostDesktop *FDesktop = nullptr;
    QLabel *lblAccount;
    QLabel *lblOperator;
    QLabel *lblLogOnDate;
    QLabel *lblPeriod;
    QLabel *lblMessage;
};
