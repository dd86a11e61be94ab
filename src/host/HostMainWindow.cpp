#include "HostMainWindow.h"

#include "OperatorRights.h"

#include "AccountDatabase.h"
#include "BaseDataWindow.h"
#include "Dialect.h"
#include "HostConfig.h"
#include "HostDesktop.h"
#include "HostHelp.h"
#include "HostSchema.h"
#include "HostSession.h"
#include "ModuleLoader.h"
#include "QuillExceptions.h"
#include "Udllbaseselect.h"
#include "Udllbillconfig.h"
#include "Udllbillinterface.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QMetaObject>
#include <QStatusBar>
#include <QTimer>

namespace {
constexpr TRefreshSBSet kAllParts = RefreshSet({TRefreshSB::rsbAccount, TRefreshSB::rsbAll});
const QString kCloseOtherWindows = QStringLiteral("当前打开了其他窗口，是否全部关闭？");

bool SameFile(const QString &a, const QString &b)
{
    if (accountdb::isServerLocation(a) || accountdb::isServerLocation(b))
        return a == b;
    const QString ca = QFileInfo(a).canonicalFilePath();
    return !ca.isEmpty() && ca == QFileInfo(b).canonicalFilePath();
}
} // namespace

HostMainWindow::HostMainWindow(QWidget *parent) : QMainWindow(parent), FHelp(new HostHelp(this))
{
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("Orvane 系统维护"));
    resize(1200, 760);

    FMdiArea = new QMdiArea(this);
    FMdiArea->setObjectName(QStringLiteral("mdiArea"));
    FMdiArea->setViewMode(QMdiArea::TabbedView);
    FMdiArea->setTabsClosable(true);
    FMdiArea->setTabsMovable(true);
    FMdiArea->setDocumentMode(true);
    setCentralWidget(FMdiArea);

    FDesktop = new HostDesktop;
    FDesktopWindow = FMdiArea->addSubWindow(FDesktop);
    FDesktopWindow->setObjectName(QStringLiteral("subDesktop"));
    FDesktopWindow->showMaximized();
    connect(FDesktop, &HostDesktop::EntryClicked, this, [this](const QString &key) { RunEntry(key); });

    const auto addPart = [this](const char *name, int stretch) {
        auto *label = new QLabel(this);
        label->setObjectName(QLatin1String(name));
        label->setContentsMargins(6, 0, 12, 0);
        statusBar()->addWidget(label, stretch);
        return label;
    };
    lblAccount = addPart("lblAccount", 0);
    lblOperator = addPart("lblOperator", 0);
    lblLogOnDate = addPart("lblLogOnDate", 0);
    lblPeriod = addPart("lblPeriod", 0);
    lblMessage = addPart("lblMessage", 1);

    FBaseSelect.SetParentWidget(this);
    const auto database = [this]() { return FSession ? &FSession->Db() : nullptr; };
    FBaseSelect.SetDatabaseSource(database);
    FBillConfig.SetDatabaseSource(database);
    BuildWindowMenu();
    BuildHelpMenu();
}

HostMainWindow::~HostMainWindow()
{
    // The module's pages go before the account set they work on.
    qDeleteAll(FMdiArea->subWindowList());
    FDesktop = nullptr;
    FDesktopWindow = nullptr;
    Detach();
    // The module's copy of the parameters must not keep pointing at this window.
    if (FLoader && FLoader->InitLoadDll && FSession)
        FLoader->InitLoadDll(FSession->Params());
    FRetired.clear();
}

QWidget *HostMainWindow::Desktop() const
{
    return FDesktop;
}

void HostMainWindow::AdoptSession(std::unique_ptr<HostSession> session)
{
    HostSession &s = *session;
    FOwnSession = std::move(session);
    Attach(s);
}

void HostMainWindow::AttachSession(HostSession &session)
{
    Attach(session);
}

void HostMainWindow::Attach(HostSession &session)
{
    FSession = &session;
    TDllParams &p = session.Params();
    HostConfig::ApplyTo(p);
    p.PubDataBaseName = session.Db().path();
    p.FparForm = this;
    p.MainFaceForm = FDesktop;
    p.BaseSelect = &FBaseSelect;
    p.BillConfigIntf = &FBillConfig;
    FBills = std::make_unique<HostBillService>([this]() { return FSession ? &FSession->Db() : nullptr; },
                                               session.System(), session.Messages(), &FBaseSelect);
    FBills->SetPageOpener([this](QWidget *page) {
        QMdiSubWindow *sub = FMdiArea->addSubWindow(page);
        sub->setAttribute(Qt::WA_DeleteOnClose);
        sub->showMaximized();
    });
    p.BillInterface = FBills.get();
    session.System().SetShell(this);
    session.Install();
    FEntriesRead = false;
}

void HostMainWindow::Detach()
{
    if (!FSession)
        return;
    FSession->System().SetShell(nullptr);
    // The selection and bill services belong to the window: unhook them from the session and the
    // runtime so that nothing reaches them through an account set the window no longer shows.
    TDllParams &p = FSession->Params();
    p.FparForm = nullptr;
    p.MainFaceForm = nullptr;
    p.BaseSelect = nullptr;
    p.BillConfigIntf = nullptr;
    p.BillInterface = &FSession->Audit();
    if (Udllbillinterface::BillInterface == FBills.get())
        Udllbillinterface::BillInterface = p.BillInterface;
    if (Udllbaseselect::BaseSelect == &FBaseSelect)
        Udllbaseselect::BaseSelect = nullptr;
    if (Udllbillconfig::BillConfigIntf == &FBillConfig)
        Udllbillconfig::BillConfigIntf = nullptr;
}

void HostMainWindow::SwitchSession(std::unique_ptr<HostSession> session)
{
    Detach();
    FSession->Uninstall();
    if (FOwnSession) {
        // The old session may still be on the call stack (the module's open-account-set entry runs
        // the log-on through it), so it is freed once control is back in the event loop.
        FRetired.push_back(std::move(FOwnSession));
        QTimer::singleShot(0, this, [this] { FRetired.clear(); });
    }
    AdoptSession(std::move(session));
    if (FLoader && FLoader->InitLoadDll)
        FLoader->InitLoadDll(FSession->Params());
}

void HostMainWindow::SetModule(ModuleLoader *loader)
{
    FLoader = loader;
    FCall = loader && loader->CallFunction ? TCallFunction(loader->CallFunction) : TCallFunction();
}

QAction *HostMainWindow::EntryAction(const QString &entryName) const
{
    for (const THostMenuEntry &e : FEntries)
        if (e.EntryName == entryName)
            return findChild<QAction *>(QStringLiteral("mni%1").arg(e.FunctionNo));
    return nullptr;
}

QString HostMainWindow::StatusText(TRefreshSB part) const
{
    switch (part) {
    case TRefreshSB::rsbAccount:
        return lblAccount->text();
    case TRefreshSB::rsbOperator:
        return lblOperator->text();
    case TRefreshSB::rsbLogOnDate:
        return lblLogOnDate->text();
    case TRefreshSB::rsbPeriod:
        return lblPeriod->text();
    case TRefreshSB::rsbMessage:
    case TRefreshSB::rsbAll:
        return lblMessage->text();
    }
    return {};
}

bool HostMainWindow::RunEntry(const QString &key)
{
    if (!FCall)
        return false;
    const bool result = RunEntryGuarded([this, &key] { return FCall(key); });
    emit EntryFinished(key, result);
    return result;
}

bool HostMainWindow::RunEntryGuarded(const std::function<bool()> &work)
{
    bool result = false;
    // The module passes the errors of its entries on; the host is where they end.
    try {
        result = work();
    } catch (const EAbort &) {
    } catch (const EDatabaseError &e) {
        FSession->Messages().ShowErrorMsg(e.Message());
    } catch (const accountdb::DbError &e) {
        FSession->Messages().ShowErrorMsg(e.message());
    } catch (const std::exception &e) {
        FSession->Messages().ShowErrorMsg(QString::fromUtf8(e.what()));
    }
    return result;
}

TOperatorList HostMainWindow::Operators(const QString &dataBase)
{
    const auto read = [](accountdb::AccountDatabase &db) {
        TOperatorList list;
        if (HostSchema::TableName(db, QStringLiteral("T_GBL_LoginUser")).isEmpty() ||
            HostSchema::TableName(db, QStringLiteral("Employee")).isEmpty())
            return list;
        QSqlQuery q =
            db.exec(QStringLiteral("SELECT l.ETypeId, e.UserCode, e.FullName FROM T_GBL_LoginUser l "
                                   "INNER JOIN Employee e ON e.TypeId = l.ETypeId "
                                   "WHERE e.Deleted = 0 ORDER BY e.UserCode, l.ETypeId"));
        while (q.next())
            list.append({q.value(0).toString(), q.value(1).toString() + u' ' + q.value(2).toString()});
        return list;
    };
    if (FSession && SameFile(dataBase, FSession->Db().path()))
        return read(FSession->Db());
    if (!accountdb::isServerLocation(dataBase) && !QFileInfo(dataBase).isFile())
        return {};
    try {
        auto db = accountdb::AccountDatabase::open(dataBase);
        return read(*db);
    } catch (const accountdb::DbError &) {
        return {}; // the log-on itself reports why the file does not open
    }
}

bool HostMainWindow::LogOn(const TLogOnRequest &request, QString *error)
{
    HostSession *target = FSession;
    std::unique_ptr<HostSession> opened;
    if (!FSession || !SameFile(request.DataBase, FSession->Db().path())) {
        if (!accountdb::isServerLocation(request.DataBase) && !QFileInfo(request.DataBase).isFile()) {
            if (error)
                *error = LogOnDialog::MissingDataBaseText();
            return false;
        }
        try {
            opened = HostSession::Open(request.DataBase, FSession ? &FSession->Messages() : nullptr);
        } catch (const accountdb::DbError &e) {
            if (error)
                *error = e.message();
            return false;
        }
        target = opened.get();
    }
    // A user code names the same operator as his id; the log-on state keeps the id.
    QString operatorId = request.Operator;
    if (!HostSchema::TableName(target->Db(), QStringLiteral("T_GBL_LoginUser")).isEmpty()) {
        const QVariant id = target->Db().value(
            QStringLiteral(
                "SELECT l.ETypeId FROM T_GBL_LoginUser l INNER JOIN Employee e ON e.TypeId = l.ETypeId "
                "WHERE l.ETypeId = ? OR e.UserCode = ? "
                "ORDER BY CASE WHEN l.ETypeId = ? THEN 0 ELSE 1 END LIMIT 1"),
            {request.Operator, request.Operator, request.Operator});
        if (!id.isNull())
            operatorId = id.toString();
    }
    if (!target->LogOn(operatorId, request.Password, request.LogOnDate, error))
        return false;
    if (opened) {
        CloseAllPage();
        if (!PagesOtherThanDesktop().isEmpty()) {
            if (error)
                *error = QStringLiteral("有窗口未能关闭，不能打开其他账套。");
            return false;
        }
        SwitchSession(std::move(opened));
    }
    LoadMenu(true);
    RefreshMainStatusBar(kAllParts);
    // Stays in the status bar (no box to answer) until the administrator has a password.
    if (accountdb::administratorHasNoPassword(FSession->Db()))
        lblMessage->setText(accountdb::kNoAdministratorPasswordWarning);
    ShowWarnListAtLogOn();
    return true;
}

void HostMainWindow::ShowWarnListAtLogOn()
{
    // Switch 80 "登入系统时弹出报警窗口", for an operator who may open the warning book.
    if (FModuleLogOn || !FLoader || !FLoader->DllAutoWarnList || !FSession->System().CheckSysCon(80))
        return;
    for (const THostMenuEntry &e : std::as_const(FEntries))
        if (e.EntryName == QLatin1String("报警簿") && EntryAllowed(e)) {
            FLoader->DllAutoWarnList(-1);
            return;
        }
}

bool HostMainWindow::ShowLoginOn(bool first)
{
    if (!FSession)
        return false;
    LogOnDialog dialog(
        FSession->Messages(), [this](const TLogOnRequest &r, QString *error) { return LogOn(r, error); },
        [this](const QString &dataBase) { return Operators(dataBase); }, this);
    TLogOnRequest request;
    request.DataBase = FSession->Db().path();
    request.Operator = FSession->System().State().OperatorId;
    request.LogOnDate = first ? QDate::currentDate() : FSession->System().State().LogOnDate;
    dialog.SetRequest(request);
    FModuleLogOn = !first;
    const bool accepted = dialog.exec() == QDialog::Accepted;
    FModuleLogOn = false;
    if (accepted && first)
        RunInitialisationCheck();
    return accepted;
}

void HostMainWindow::RunInitialisationCheck()
{
    if (FLoader && FLoader->DllIniConfigShow)
        RunEntryGuarded([this] { return FLoader->DllIniConfigShow(false); });
}

void HostMainWindow::AddNewAccountSetEntry(QMenu *fileMenu)
{
    QAction *action = new QAction(QStringLiteral("新建账套"), fileMenu);
    action->setObjectName(QStringLiteral("actNewAccountSet"));
    fileMenu->insertAction(fileMenu->actions().value(0), action);
    fileMenu->insertSeparator(fileMenu->actions().value(1));
    connect(action, &QAction::triggered, this, &HostMainWindow::AskNewAccountSet);
}

void HostMainWindow::AskNewAccountSet()
{
    const QString folder = FSession ? QFileInfo(FSession->Db().path()).absolutePath() : QDir::homePath();
    const QString path = QFileDialog::getSaveFileName(this, QStringLiteral("新建账套"), folder,
                                                      QStringLiteral("账套文件 (*.orv)"));
    if (!path.isEmpty())
        NewAccountSet(path.endsWith(QLatin1String(".orv")) ? path : path + QStringLiteral(".orv"));
}

bool HostMainWindow::NewAccountSet(const QString &path)
{
    if (!FSession)
        return false;
    QString error;
    try {
        if (QFileInfo::exists(path))
            throw accountdb::DbError(QStringLiteral("文件已存在，不能覆盖：") + path);
        accountdb::AccountDatabase::create(path);
    } catch (const accountdb::DbError &e) {
        FSession->Messages().ShowErrorMsg(e.message());
        return false;
    }
    // A new account set has only the administrator, without a password yet.
    const TLogOnRequest request{path, QStringLiteral("00000"), QString(), QDate::currentDate()};
    if (!LogOn(request, &error)) {
        FSession->Messages().ShowErrorMsg(error);
        return false;
    }
    RunInitialisationCheck();
    RefreshMainStatusBar(kAllParts);
    return true;
}

QString HostMainWindow::FormatPeriod(const QString &period)
{
    const QString text = period.trimmed();
    bool ok = false;
    const int value = text.toInt(&ok);
    if (ok && value > 0) {
        const int year = value / 100, month = value % 100;
        if (year >= 1900 && year <= 9999 && month >= 1 && month <= 12)
            return QStringLiteral("%1年%2月").arg(year).arg(month, 2, 10, QLatin1Char('0'));
    }
    // An account set without an inventory period keeps "0".
    return ok && value == 0 ? QString() : text;
}

QString HostMainWindow::CurrentJxcPeriod()
{
    accountdb::ProcParams params{{QStringLiteral("@szName"), QStringLiteral("JxcPeriod")},
                                 {QStringLiteral("@szReturn"), QString(), true}};
    try {
        if (FSession->Db().callProc(QStringLiteral("P_GBL_GetSysValue"), params) < 0)
            return {};
    } catch (const accountdb::DbError &) {
        return {};
    }
    for (const accountdb::ProcParam &p : params)
        if (p.name.compare(QLatin1String("@szReturn"), Qt::CaseInsensitive) == 0)
            return p.value.toString();
    return {};
}

void HostMainWindow::RefreshMainStatusBar(TRefreshSBSet parts)
{
    if (!FSession)
        return;
    // The module passes the first part after every change of the log-on (operator change, restore,
    // reverse checkout), so it stands for the whole log-on block, as does the last ("all").
    const auto has = [parts](TRefreshSB p) { return (parts & RefreshSet({p})) != 0; };
    const bool all = has(TRefreshSB::rsbAccount) || has(TRefreshSB::rsbAll);
    const TLogOnState &s = FSession->System().State();
    if (all) {
        lblAccount->setText(QStringLiteral("账套：") + s.ZtName);
        setWindowTitle(QStringLiteral("Orvane 系统维护 - [%1]").arg(s.ZtName));
        FDesktop->SetAccountText(QStringLiteral("当前账套：%1    %2").arg(s.ZtName, FSession->Db().path()));
    }
    if (all || has(TRefreshSB::rsbOperator))
        lblOperator->setText(QStringLiteral("操作员：") +
                             (s.OperatorName.isEmpty() ? s.OperatorId : s.OperatorName));
    if (all || has(TRefreshSB::rsbLogOnDate))
        lblLogOnDate->setText(QStringLiteral("登录日期：") +
                              s.LogOnDate.toString(QStringLiteral("yyyy-MM-dd")));
    if (all || has(TRefreshSB::rsbPeriod))
        lblPeriod->setText(QStringLiteral("进销存期间：") + FormatPeriod(CurrentJxcPeriod()));
    if (has(TRefreshSB::rsbMessage))
        lblMessage->clear();
}

bool HostMainWindow::EntryAllowed(const THostMenuEntry &entry)
{
    if (!FCall)
        return false;
    const TLogOnState &s = FSession->System().State();
    if (s.IsManager || HostFunctionMenu::IsAlwaysAllowed(entry.EntryName))
        return true;
    return HostFunctionMenu::OperatorHasRight(FSession->Db(), s.OperatorId, entry.FunctionNo);
}

void HostMainWindow::LoadMenu(bool reload)
{
    if (!FSession)
        return;
    if (reload || !FEntriesRead) {
        FEntries = HostFunctionMenu::ReadEntries(FSession->Db());
        FEntriesRead = true;
    }
    // The entry that asked for the reload may still be running from one of the old menus.
    menuBar()->clear();
    const QList<QMenu *> oldMenus = menuBar()->findChildren<QMenu *>(Qt::FindDirectChildrenOnly);
    for (QMenu *menu : oldMenus) {
        menu->setParent(nullptr);
        menu->deleteLater();
    }
    QList<bool> allowed;
    const QStringList paths = HostFunctionMenu::MenuPaths(FEntries);
    QHash<QString, QMenu *> menus;
    for (int i = 0; i < paths.size(); ++i) {
        QMenu *menu = menuBar()->addMenu(HostFunctionMenu::MenuTitle(paths[i]));
        menu->setObjectName(QStringLiteral("mnu%1").arg(i + 1));
        menus.insert(paths[i], menu);
    }
    QHash<QMenu *, int> lastGroup;
    const QList<THostMenuEntry> ordered = HostFunctionMenu::InMenuOrder(FEntries);
    for (const THostMenuEntry &e : ordered) {
        QMenu *menu = menus.value(e.MenuPath);
        const int group = HostFunctionMenu::EntryGroup(e.EntryName);
        if (lastGroup.contains(menu) && lastGroup.value(menu) != group)
            menu->addSeparator();
        lastGroup.insert(menu, group);
        QAction *action = menu->addAction(e.Caption);
        action->setObjectName(QStringLiteral("mni%1").arg(e.FunctionNo));
        action->setData(e.Key);
        action->setShortcut(HostFunctionMenu::EntryShortcut(e.EntryName));
        allowed << EntryAllowed(e);
        action->setEnabled(allowed.last());
        const QString key = e.Key;
        if (e.EntryName == HostFunctionMenu::ExitEntryName)
            connect(action, &QAction::triggered, this, &HostMainWindow::Leave);
        else
            connect(action, &QAction::triggered, this, [this, key] { RunEntry(key); });
    }
    AddNewAccountSetEntry(menus.contains(QStringLiteral("文件"))
                              ? menus.value(QStringLiteral("文件"))
                              : menuBar()->addMenu(QStringLiteral("文件(&F)")));
    BuildBaseDataMenu();
    BuildBillMenu();
    BuildWindowMenu();
    BuildHelpMenu();
    FDesktop->SetEntries(ordered, allowed);
}

void HostMainWindow::BuildBillMenu()
{
    QMenu *menu = menuBar()->addMenu(QStringLiteral("单据(&V)"));
    menu->setObjectName(QStringLiteral("mnuBill"));
    QAction *list = menu->addAction(QStringLiteral("单据列表"), this, &HostMainWindow::OpenBillList);
    list->setObjectName(QStringLiteral("actBillList"));
}

void HostMainWindow::OpenBillList()
{
    TBaseRecordList picked;
    if (!FBills || !FBaseSelect.SelectBaseData(QStringLiteral("Vchtype"), QString(), false, picked))
        return;
    const int vchType = picked.first().TypeId.toInt();
    if (!FSession->System().GetCurrIsManager() &&
        !accountdb::operatorHasRight(FSession->Db(), FSession->System().GetCurrentOperatorId(),
                                     FBillConfig.GetBillFunctionNo(vchType))) {
        FSession->Messages().ShowWarningMsg(QStringLiteral("你没有这个功能的权限，不能打开。"));
        return;
    }
    FBills->OpenBillList(vchType);
}

void HostMainWindow::BuildBaseDataMenu()
{
    QMenu *menu = menuBar()->addMenu(QStringLiteral("基本信息(&B)"));
    menu->setObjectName(QStringLiteral("mnuBaseData"));
    for (const accountdb::basedata::Kind &kind : accountdb::basedata::kinds()) {
        QAction *action =
            menu->addAction(kind.caption, this, [this, name = kind.name] { OpenBaseData(name); });
        action->setObjectName(QStringLiteral("actBase_") + kind.name);
    }
}

void HostMainWindow::OpenBaseData(const QString &kind)
{
    const accountdb::basedata::Kind *k = accountdb::basedata::findKind(kind);
    if (!FSession || !k)
        return;
    const QString name = QStringLiteral("frmBaseData_") + k->name;
    for (QMdiSubWindow *sub : FMdiArea->subWindowList()) {
        if (sub->widget() && sub->widget()->objectName() == name) {
            FMdiArea->setActiveSubWindow(sub);
            return;
        }
    }
    auto *window = new BaseDataWindow(FSession->Db(), FSession->Messages(),
                                      FSession->System().GetCurrentOperatorId(), *k);
    QMdiSubWindow *sub = FMdiArea->addSubWindow(window);
    sub->setAttribute(Qt::WA_DeleteOnClose);
    sub->showMaximized();
}

void HostMainWindow::BuildWindowMenu()
{
    QMenu *menu = menuBar()->addMenu(QStringLiteral("窗口"));
    menu->setObjectName(QStringLiteral("mnuWindow"));
    menu->setTitle(QStringLiteral("窗口(&W)"));
    QAction *desktop = menu->addAction(QStringLiteral("我的桌面"), this, &HostMainWindow::ShowMyDesktop);
    desktop->setObjectName(QStringLiteral("actDesktop"));
    desktop->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_D));
    QAction *next = menu->addAction(QStringLiteral("下一个窗口"), FMdiArea, &QMdiArea::activateNextSubWindow);
    next->setObjectName(QStringLiteral("actNextWindow"));
    next->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab));
    menu->addSeparator();
    QAction *closeAll = menu->addAction(QStringLiteral("关闭全部窗口"), this, &HostMainWindow::CloseAllPage);
    closeAll->setObjectName(QStringLiteral("actCloseAll"));
}

void HostMainWindow::BuildHelpMenu()
{
    QMenu *menu = menuBar()->addMenu(QStringLiteral("帮助(&H)"));
    menu->setObjectName(QStringLiteral("mnuHelp"));
    QAction *topics = menu->addAction(QStringLiteral("帮助主题"), this, &HostMainWindow::ShowHelp);
    topics->setObjectName(QStringLiteral("actHelp"));
    topics->setShortcut(QKeySequence(Qt::Key_F1));
    menu->addSeparator();
    QAction *about =
        menu->addAction(QStringLiteral("关于 Orvane 系统维护"), this, &HostMainWindow::ShowAbout);
    about->setObjectName(QStringLiteral("actAbout"));
}

void HostMainWindow::ShowHelp()
{
    // A window of the module in front opens its own page (its F1).
    QMdiSubWindow *page = FMdiArea->activeSubWindow();
    if (page && page != FDesktopWindow && page->widget()) {
        QKeyEvent f1(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
        QCoreApplication::sendEvent(page->widget(), &f1);
        if (f1.isAccepted())
            return;
    }
    FHelp->ShowPage(HostHelp::ContentsPage());
}

void HostMainWindow::ShowAbout()
{
    QMessageBox box(QMessageBox::Information, QStringLiteral("关于 Orvane 系统维护"),
                    QStringLiteral("<h3>Orvane 系统维护</h3><p>版本 V17.0</p>"
                                   "<p>成本计算、期末结账、备份与恢复等系统维护功能。</p>"
                                   "<p>当前账套：%1</p><p>Qt %2</p>")
                        .arg((FSession ? FSession->Db().path() : QString()).toHtmlEscaped(),
                             QString::fromLatin1(qVersion())),
                    QMessageBox::Ok, this);
    box.setObjectName(QStringLiteral("frmAbout"));
    box.exec();
}

QList<QMdiSubWindow *> HostMainWindow::PagesOtherThanDesktop() const
{
    // A closed page may wait for its deletion; it no longer counts.
    QList<QMdiSubWindow *> pages;
    for (QMdiSubWindow *page : FMdiArea->subWindowList())
        if (page != FDesktopWindow && !page->isHidden())
            pages.append(page);
    return pages;
}

void HostMainWindow::CloseAllPage()
{
    // A page that refuses to close (unsaved work) stays open; the caller counts what is left.
    for (QMdiSubWindow *page : PagesOtherThanDesktop())
        page->close();
}

void HostMainWindow::CloseAllBillPage()
{
    for (QMdiSubWindow *page : PagesOtherThanDesktop())
        if (page->widget() && page->widget()->property("BillPage").toBool())
            page->close();
}

bool HostMainWindow::HasOpenBill()
{
    for (QMdiSubWindow *page : PagesOtherThanDesktop())
        if (page->widget() && page->widget()->property("BillPage").toBool())
            return true;
    return false;
}

void HostMainWindow::RefreshWindows()
{
    // Pages that show account-set data offer a slot RefreshWindow(); others have nothing to reload.
    for (QMdiSubWindow *page : FMdiArea->subWindowList()) {
        QWidget *w = page->widget();
        if (w && w->metaObject()->indexOfMethod("RefreshWindow()") >= 0)
            QMetaObject::invokeMethod(w, "RefreshWindow", Qt::DirectConnection);
    }
    RefreshMainStatusBar(kAllParts);
}

void HostMainWindow::ShowMyDesktop()
{
    FMdiArea->setActiveSubWindow(FDesktopWindow);
    MainFormActiveTab();
}

void HostMainWindow::MainFormActiveTab()
{
    if (!FMdiArea->activeSubWindow()) {
        const QList<QMdiSubWindow *> pages = FMdiArea->subWindowList(QMdiArea::ActivationHistoryOrder);
        if (!pages.isEmpty())
            FMdiArea->setActiveSubWindow(pages.last());
    }
    raise();
    activateWindow();
}

void HostMainWindow::Terminate()
{
    // The module ends the program itself (after its 退出 entry or a restore): no second exit entry.
    FLeaving = true;
    close();
    QCoreApplication::quit();
}

bool HostMainWindow::Leave()
{
    if (FLeaving)
        return true;
    if (FSession && !PagesOtherThanDesktop().isEmpty()) {
        if (!FSession->Messages().ConfirmYesNo(kCloseOtherWindows, TMessageBoxType::mtInformation, QString()))
            return false;
        CloseAllPage();
        if (!PagesOtherThanDesktop().isEmpty())
            return false; // a window with unsaved work stays, and so does the program
    }
    FLeaving = true;
    for (const THostMenuEntry &e : std::as_const(FEntries))
        if (e.EntryName == HostFunctionMenu::ExitEntryName) {
            RunEntry(e.Key); // ends by Terminate, which closes this window
            break;
        }
    if (isVisible())
        close();
    return true;
}

void HostMainWindow::closeEvent(QCloseEvent *event)
{
    if (!FLeaving) {
        // The window's ✕ or Alt+F4: the same way out as 退出, once.
        event->ignore();
        Leave();
        return;
    }
    CloseAllPage();
    FDesktop->AllowClose();
    event->accept();
}
