// The host's main window: menus from the function list, module entries, pages, the status bar, the
// log-on dialog and the base-data selection, on a fresh account set with recorded messages.

#include <QComboBox>
#include <QCoreApplication>
#include <QDateEdit>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTimer>
#include <QtTest>

#include "AccountDatabase.h"
#include "BaseSelectDialog.h"
#include "Dialect.h"
#include "HostBaseSelect.h"
#include "HostBillConfig.h"
#include "HostMainWindow.h"
#include "HostTestWindow.h"
#include "ModuleLoader.h"
#include "QuillExceptions.h"
#include "TestAccountSet.h"

namespace {

// A page that shows account-set data and reloads it when the host asks.
class RefreshingPage : public QWidget
{
    Q_OBJECT
public:
    int Refreshes = 0;
public slots:
    void RefreshWindow() { ++Refreshes; }
};

const QString &AdminPasswordHash()
{
    // Password hashing is slow on purpose; hash once per run.
    static const QString hash = accountdb::hashPassword(QStringLiteral("abc123"));
    return hash;
}

// Runs the action on the next modal dialog once it is shown; a dialog the action leaves open (a
// failed check inside it) is cancelled so that the test goes on.
void OnNextModal(std::function<void(QWidget *)> action)
{
    QTimer::singleShot(0, [action] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        action(dialog);
        if (dialog->isVisible())
            dialog->reject();
    });
}

// Makes the b-tree page of a new table unreadable: the file still opens (its schema is intact) but
// fails the quick check.
void DamageTable(HostSession &session)
{
    accountdb::AccountDatabase &db = session.Db();
    db.exec(QStringLiteral("CREATE TABLE T_Damaged (a TEXT)"));
    db.exec(QStringLiteral("INSERT INTO T_Damaged SELECT hex(randomblob(50)) FROM T_Gbl_SysCon"));
    const qint64 root =
        db.value(QStringLiteral("SELECT rootpage FROM sqlite_master WHERE name = 'T_Damaged'")).toLongLong();
    const qint64 pageSize = db.value(QStringLiteral("PRAGMA page_size")).toLongLong();
    const QString path = db.path();
    session.CloseDatabase(); // the journal is written back into the file
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadWrite) && file.seek((root - 1) * pageSize));
    file.write(QByteArray(8, '\xFF'));
    file.close();
    session.Reopen();
}

struct HostRun
{
    int Code = -1;
    QString Out;
    QString Err;
};

HostRun RunHost(const QStringList &args)
{
    QProcess host;
    host.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("orvane")), args);
    if (!host.waitForFinished(60000))
        return {};
    return {host.exitStatus() == QProcess::NormalExit ? host.exitCode() : -1,
            QString::fromUtf8(host.readAllStandardOutput()), QString::fromUtf8(host.readAllStandardError())};
}

} // namespace

class TestHost : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void menuEntries_data();
    void menuEntries();
    void menuRights_data();
    void menuRights();
    void entryErrors_data();
    void entryErrors();
    void moduleEntryByMenu();
    void reloadFromRunningEntry();
    void pages();
    void statusBar_data();
    void statusBar();
    void formatPeriod_data();
    void formatPeriod();
    void logOnDialog_data();
    void logOnDialog();
    void logOnByUserCode();
    void logOnOtherAccountSet();
    void baseSelectSearch_data();
    void baseSelectSearch();
    void baseSelectService();
    void billConfig_data();
    void billConfig();
    void damagedAccountSetOffersRepair_data();
    void damagedAccountSetOffersRepair();
    void hostProgramFileChecks();

private:
    QMdiSubWindow *AddPage(QWidget *widget) { return ::AddPage(*FWindow, widget); }
    void AddOperator(const QString &id, const QString &code, const QString &name);
    void AddGoods();
    QString Label(const char *name) const
    {
        return FWindow->findChild<QLabel *>(QLatin1String(name))->text();
    }

    ModuleLoader FLoader;
    bool FModuleLoaded = false;
    std::unique_ptr<TestAccountSet> FSet;
    std::unique_ptr<HostMainWindow> FWindow;
};

void TestHost::initTestCase()
{
    const QString path =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("libOrvane.so"));
    FModuleLoaded = FLoader.Load(path) && FLoader.Check();
    QVERIFY2(FModuleLoaded, qPrintable(FLoader.Error()));
    FLoader.InitDllFunc(); // once per load: the module refuses a second registration
}

void TestHost::init()
{
    FSet = std::make_unique<TestAccountSet>();
    FWindow = OpenMainWindow(*FSet, FLoader);
    FWindow->RefreshMainStatusBar(RefreshSet({TRefreshSB::rsbAccount}));
}

void TestHost::cleanup()
{
    FWindow.reset();
    FSet.reset();
}

void TestHost::AddOperator(const QString &id, const QString &code, const QString &name)
{
    FSet->Db().exec(QStringLiteral("INSERT INTO Employee (TypeId, UserCode, FullName) VALUES (?, ?, ?)"),
                    {id, code, name});
    FSet->Db().exec(QStringLiteral("INSERT INTO T_GBL_LoginUser (ETypeId) VALUES (?)"), {id});
}

void TestHost::AddGoods()
{
    // The goods table of the stock area, reduced to what the selection reads, when the account set has
    // none yet.
    FSet->Db().exec(
        QStringLiteral("CREATE TABLE IF NOT EXISTS ptype (typeId TEXT PRIMARY KEY, ParId TEXT NOT NULL "
                       "DEFAULT '00000', Sonnum INTEGER NOT NULL DEFAULT 0, UserCode TEXT NOT NULL "
                       "DEFAULT '', FullName TEXT NOT NULL DEFAULT '', Deleted INTEGER NOT NULL DEFAULT 0)"));
    const QList<QVariantList> rows = {
        {QStringLiteral("00001"), 1, QStringLiteral("P0"), QStringLiteral("五金类"), 0},
        {QStringLiteral("0000100001"), 0, QStringLiteral("P001"), QStringLiteral("螺丝钉"), 0},
        {QStringLiteral("0000100002"), 0, QStringLiteral("P002"), QStringLiteral("螺母"), 0},
        {QStringLiteral("0000100003"), 0, QStringLiteral("P003"), QStringLiteral("旧螺丝"), 1},
        {QStringLiteral("0000100004"), 0, QStringLiteral("P010"), QStringLiteral("垫片"), 0},
        {QStringLiteral("0000100005"), 0, QStringLiteral("Q_1"), QStringLiteral("百分之百%棉"), 0},
    };
    for (const QVariantList &r : rows)
        FSet->Db().exec(QStringLiteral("INSERT INTO ptype (typeId, Sonnum, UserCode, FullName, Deleted) "
                                       "VALUES (?, ?, ?, ?, ?)"),
                        r);
}

void TestHost::menuEntries_data()
{
    QTest::addColumn<QString>("sql");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<QString>("menu");

    QTest::newRow("seeded entry") << QString() << "账套修复" << true << "系统维护";
    QTest::newRow("first entry") << QString() << "退出" << true << "文件";
    QTest::newRow("period entry") << QString() << "进销存期末结账" << true << "期末处理";
    QTest::newRow("removed from the function list") << "DELETE FROM T_Gbl_FunctionList WHERE OnClick = '备份'"
                                                    << "备份" << false << "";
    QTest::newRow("click name the module does not dispatch")
        << "INSERT INTO T_Gbl_FunctionList (FunctionNo, Caption, OnClick, ModuleName, MenuPath) "
           "VALUES (9001, '外部功能', '外部功能', 'Orvane.dll', '文件')"
        << "外部功能" << false << "";
    QTest::newRow("another module's row")
        << "UPDATE T_Gbl_FunctionList SET ModuleName = 'Other.dll' WHERE OnClick = '恢复'"
        << "恢复" << false << "";
    QTest::newRow("row without a menu")
        << "UPDATE T_Gbl_FunctionList SET MenuPath = '' WHERE OnClick = '报警簿'"
        << "报警簿" << true << "系统维护";
    QTest::newRow("own caption")
        << "UPDATE T_Gbl_FunctionList SET Caption = '数据备份' WHERE OnClick = '备份'"
        << "备份" << true << "文件";
}

void TestHost::menuEntries()
{
    QFETCH(QString, sql);
    QFETCH(QString, entry);
    QFETCH(bool, shown);
    QFETCH(QString, menu);

    QCOMPARE(FWindow->MenuEntries().size(), 27);
    if (!sql.isEmpty())
        FSet->Db().exec(sql);
    FWindow->LoadMenu(true);

    QAction *action = FWindow->EntryAction(entry);
    QCOMPARE(action != nullptr, shown);
    if (!shown)
        return;
    QCOMPARE(action->data().toString(), QStringLiteral("Orvane.dll") + entry);
    const THostMenuEntry *e = nullptr;
    for (const THostMenuEntry &m : FWindow->MenuEntries())
        if (m.EntryName == entry)
            e = &m;
    QVERIFY(e);
    QCOMPARE(action->text(), e->Caption);
    QCOMPARE(e->MenuPath, menu);
    // The action sits in the top-level menu of its path.
    bool inMenu = false;
    for (QMenu *m : FWindow->findChildren<QMenu *>())
        if (m->title() == HostFunctionMenu::MenuTitle(menu) && m->actions().contains(action))
            inMenu = true;
    QVERIFY(inMenu);
}

void TestHost::menuRights_data()
{
    QTest::addColumn<bool>("manager");
    QTest::addColumn<QString>("entry");
    QTest::addColumn<bool>("granted");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("manager without grant") << true << "备份" << false << true;
    QTest::newRow("operator with grant") << false << "账套修复" << true << true;
    QTest::newRow("operator without grant") << false << "备份" << false << false;
    QTest::newRow("operator may always exit") << false << "退出" << false << true;
    QTest::newRow("operator may always change operator") << false << "更换操作员" << false << true;
    QTest::newRow("operator may always change his password") << false << "修改口令" << false << true;
}

void TestHost::menuRights()
{
    QFETCH(bool, manager);
    QFETCH(QString, entry);
    QFETCH(bool, granted);
    QFETCH(bool, enabled);

    AddOperator(QStringLiteral("E001"), QStringLiteral("zhang"), QStringLiteral("张三"));
    FSet->Db().exec(QStringLiteral("INSERT INTO \"group\" (ID, GroupName) VALUES (2, '仓管组')"));
    FSet->Db().exec(QStringLiteral("INSERT INTO UserToGroup (UserID, GroupId) VALUES ('E001', 2)"));
    if (granted)
        FSet->Db().exec(QStringLiteral("INSERT INTO T_Gbl_UserPower (GroupID, LimitNo) "
                                       "SELECT 2, FunctionNo FROM T_Gbl_FunctionList WHERE OnClick = ?"),
                        {entry});
    FSet->ActAs(QStringLiteral("E001"), manager);
    FWindow->LoadMenu(false);

    QAction *action = FWindow->EntryAction(entry);
    QVERIFY(action);
    QCOMPARE(action->isEnabled(), enabled);
    // The desktop's shortcut follows the menu.
    const QString button = action->objectName().replace(QStringLiteral("mni"), QStringLiteral("btn"));
    QCOMPARE(FWindow->Desktop()->findChild<QWidget *>(button)->isEnabled(), enabled);
}

void TestHost::entryErrors_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("message");

    QTest::newRow("entry succeeds") << 0 << QString();
    QTest::newRow("silent abort") << 1 << QString();
    QTest::newRow("database error") << 2 << "数据库连接已断开。";
    QTest::newRow("other error") << 3 << "意外错误";
}

void TestHost::entryErrors()
{
    QFETCH(int, kind);
    QFETCH(QString, message);

    QStringList keys;
    FWindow->SetCallFunction([&](const QString &key) -> bool {
        keys << key;
        switch (kind) {
        case 1:
            throw EAbort();
        case 2:
            throw EDatabaseError(QStringLiteral("数据库连接已断开。"));
        case 3:
            throw std::runtime_error("意外错误");
        default:
            return true;
        }
    });
    FWindow->LoadMenu(false);
    QSignalSpy finished(FWindow.get(), &HostMainWindow::EntryFinished);
    FWindow->EntryAction(QStringLiteral("系统日志"))->trigger();

    QCOMPARE(keys, QStringList{QStringLiteral("Orvane.dll系统日志")});
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0][1].toBool(), kind == 0);
    QCOMPARE(FSet->Messages().Texts(), message.isEmpty() ? QStringList() : QStringList{message});
}

void TestHost::moduleEntryByMenu()
{
    QSignalSpy finished(FWindow.get(), &HostMainWindow::EntryFinished);
    QAction *repair = FWindow->EntryAction(QStringLiteral("账套修复"));
    QVERIFY(repair && repair->isEnabled());
    repair->trigger();
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished[0][0].toString(), QStringLiteral("Orvane.dll账套修复"));
    QVERIFY(finished[0][1].toBool());              // the repair of a sound account set succeeds
    QCOMPARE(FSet->Messages().Messages.size(), 1); // and says what it checked

    // The module counts the pages of the main form it was handed.
    QCOMPARE(FSet->Session().Params().FparForm, FWindow.get());
    QCOMPARE(FWindow->findChild<QMdiArea *>()->subWindowList().size(), 1);

    // A key the module does not know is refused silently; the window survives it.
    QVERIFY(!FWindow->RunEntry(QStringLiteral("Orvane.dll退出 ")));
    QCOMPARE(FSet->Messages().Messages.size(), 1);

    // Without a module there is nothing to run: the entries are shown but disabled.
    FWindow->SetModule(nullptr);
    FWindow->LoadMenu(false);
    QVERIFY(!FWindow->EntryAction(QStringLiteral("账套修复"))->isEnabled());
}

void TestHost::reloadFromRunningEntry()
{
    // Entries such as the operator change rebuild the menus and the desktop from inside the click.
    int calls = 0;
    FWindow->SetCallFunction([&](const QString &) {
        ++calls;
        FWindow->LoadMenu(true);
        return true;
    });
    FWindow->LoadMenu(true);
    FWindow->EntryAction(QStringLiteral("更换操作员"))->trigger();
    const QString button = QStringLiteral("btn%1").arg(FWindow->MenuEntries().at(1).FunctionNo);
    auto *shortcut = FWindow->Desktop()->findChild<QAbstractButton *>(button);
    QVERIFY(shortcut);
    QTest::mouseClick(shortcut, Qt::LeftButton);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCOMPARE(calls, 2);
    // One set of menus and shortcuts remains.
    QCOMPARE(FWindow->findChildren<QAction *>(QStringLiteral("mni1302")).size(), 1);
    QCOMPARE(FWindow->Desktop()->findChildren<QAbstractButton *>(button).size(), 1);
}

void TestHost::pages()
{
    QMdiArea *area = FWindow->MdiArea();
    QCOMPARE(area->subWindowList().size(), 1); // the desktop
    AddPage(new QWidget);
    auto *bill = new QWidget;
    bill->setProperty("BillPage", true);
    QPointer<QMdiSubWindow> billPage = AddPage(bill);
    QPointer<QMdiSubWindow> stubborn = AddPage(new StubbornPage);
    QCOMPARE(area->subWindowList().size(), 4);
    QVERIFY(FWindow->HasOpenBill());

    FWindow->CloseAllBillPage();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(billPage.isNull());
    QVERIFY(!FWindow->HasOpenBill());
    QCOMPARE(area->subWindowList().size(), 3);

    FWindow->CloseAllPage();
    // The desktop stays and so does the page that refused.
    QCOMPARE(area->subWindowList().size(), 2);
    QVERIFY(!stubborn.isNull());
    QVERIFY(area->subWindowList().contains(stubborn.data()));

    // Pages that can reload their data are asked to; others are left alone.
    auto *refreshing = new RefreshingPage;
    AddPage(refreshing);
    FWindow->RefreshWindows();
    QCOMPARE(refreshing->Refreshes, 1);

    FWindow->show();
    area->setActiveSubWindow(area->subWindowList().last());
    FWindow->ShowMyDesktop();
    QCOMPARE(area->activeSubWindow()->widget(), FWindow->Desktop());
    delete stubborn.data();
}

void TestHost::statusBar_data()
{
    QTest::addColumn<QString>("jxcPeriod");
    QTest::addColumn<QString>("periodText");

    QTest::newRow("first month") << "202601"
                                 << "进销存期间：2026年01月";
    QTest::newRow("last month") << "202512"
                                << "进销存期间：2025年12月";
    QTest::newRow("no period") << "0"
                               << "进销存期间：";
}

void TestHost::statusBar()
{
    QFETCH(QString, jxcPeriod);
    QFETCH(QString, periodText);

    const QDate date(2026, 3, 15);
    QString error;
    QVERIFY2(FSet->Session().LogOn(QStringLiteral("00000"), QString(), date, &error), qPrintable(error));
    FSet->Db().exec(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = ? WHERE SubName = 'JxcPeriod'"),
                    {jxcPeriod});
    const QString before = Label("lblPeriod");

    // Only the named part changes.
    FWindow->RefreshMainStatusBar(RefreshSet({TRefreshSB::rsbOperator}));
    QCOMPARE(Label("lblPeriod"), before);
    QCOMPARE(Label("lblOperator"), QStringLiteral("操作员：系统管理员"));

    // The first part, what the module passes after a log-on change, refreshes the whole block.
    FWindow->RefreshMainStatusBar(RefreshSet({TRefreshSB::rsbAccount}));
    const QString name =
        TestAccountSet::OnServer() ? accountdb::parseLocation(FSet->Path()).database : QStringLiteral("test");
    QCOMPARE(Label("lblAccount"), QStringLiteral("账套：") + name);
    QCOMPARE(Label("lblOperator"), QStringLiteral("操作员：系统管理员"));
    QCOMPARE(Label("lblLogOnDate"), QStringLiteral("登录日期：2026-03-15"));
    QCOMPARE(Label("lblPeriod"), periodText);
    QCOMPARE(FWindow->StatusText(TRefreshSB::rsbPeriod), periodText);
}

void TestHost::formatPeriod_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");

    QTest::newRow("period") << "202601"
                            << "2026年01月";
    QTest::newRow("blanks around") << " 202611 "
                                   << "2026年11月";
    QTest::newRow("month 13") << "202613"
                              << "202613";
    QTest::newRow("month 0") << "202600"
                             << "202600";
    QTest::newRow("year before 1900") << "189912"
                                      << "189912";
    QTest::newRow("zero") << "0"
                          << "";
    QTest::newRow("empty") << ""
                           << "";
    QTest::newRow("not a number") << "本期"
                                  << "本期";
}

void TestHost::formatPeriod()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(HostMainWindow::FormatPeriod(text), expected);
}

void TestHost::logOnDialog_data()
{
    QTest::addColumn<QString>("dataBase"); // "" = the test's account set, "@" = a file of another kind
    QTest::addColumn<QString>("operatorText");
    QTest::addColumn<QString>("password");
    QTest::addColumn<QString>("message"); // "" = accepted, "@" = the database's text naming the file

    const auto row = [](const char *name, const char *dataBase, const char *op, const char *password,
                        const char *message) {
        QTest::newRow(name) << QString::fromUtf8(dataBase) << QString::fromUtf8(op)
                            << QString::fromUtf8(password) << QString::fromUtf8(message);
    };
    row("right password", "", "00000", "abc123", "");
    row("wrong password", "", "00000", "abc", "密码错误，登录失败。");
    row("no password", "", "00000", "", "密码错误，登录失败。");
    row("unknown operator", "", "99999", "abc123", "操作员不存在。");
    row("no operator", "", "", "abc123", "请输入操作员。");
    row("missing file", "/nonexistent/none.orv", "00000", "abc123", "账套文件不存在。");
    row("no file", "-", "00000", "abc123", "请选择账套文件。");
    row("not an account set", "@", "00000", "abc123", "@");
}

void TestHost::logOnDialog()
{
    QFETCH(QString, dataBase);
    QFETCH(QString, operatorText);
    QFETCH(QString, password);
    QFETCH(QString, message);

    FSet->Db().exec(QStringLiteral("UPDATE T_GBL_LoginUser SET Password = ? WHERE ETypeId = '00000'"),
                    {AdminPasswordHash()});
    FSet->System().State().OperatorName.clear();
    if (dataBase == QLatin1String("@")) {
        dataBase = QDir(FSet->Dir()).filePath(QStringLiteral("notes.orv"));
        QFile junk(dataBase);
        QVERIFY(junk.open(QIODevice::WriteOnly));
        junk.write(QByteArray(200, 'x'));
    }

    bool stayedOpen = false;
    QString passwordAfter = QStringLiteral("?");
    OnNextModal([&](QWidget *dialog) {
        QCOMPARE(dialog->objectName(), QStringLiteral("frmLogOn"));
        auto *edtDataBase = dialog->findChild<QLineEdit *>(QStringLiteral("edtDataBase"));
        QCOMPARE(edtDataBase->text(), FSet->Path()); // the open account set is offered
        if (!dataBase.isEmpty())
            edtDataBase->setText(dataBase == QLatin1String("-") ? QString() : dataBase);
        dialog->findChild<QComboBox *>(QStringLiteral("cbOperator"))->setEditText(operatorText);
        auto *edtPassword = dialog->findChild<QLineEdit *>(QStringLiteral("edtPassword"));
        edtPassword->clear();
        QTest::keyClicks(edtPassword, password);
        dialog->findChild<QDateEdit *>(QStringLiteral("dtpLogOnDate"))->setDate(QDate(2026, 5, 4));
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("btnOK")), Qt::LeftButton);
        stayedOpen = dialog->isVisible();
        passwordAfter = edtPassword->text();
        if (stayedOpen)
            QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("btnCancel")), Qt::LeftButton);
    });
    const bool accepted = FWindow->ShowLoginOn(false);

    QCOMPARE(accepted, message.isEmpty());
    QCOMPARE(stayedOpen, !message.isEmpty());
    const TLogOnState &s = FSet->System().State();
    if (message.isEmpty()) {
        QVERIFY(FSet->Messages().Messages.isEmpty());
        QCOMPARE(s.OperatorName, QStringLiteral("系统管理员"));
        QCOMPARE(s.LogOnDate, QDate(2026, 5, 4));
        QCOMPARE(Label("lblLogOnDate"), QStringLiteral("登录日期：2026-05-04"));
    } else {
        QCOMPARE(FSet->Messages().Messages.size(), 1);
        if (message == QLatin1String("@"))
            QVERIFY(FSet->Messages().LastText().contains(dataBase));
        else
            QCOMPARE(FSet->Messages().LastText(), message);
        QCOMPARE(FSet->Messages().Messages[0].Kind, QStringLiteral("error"));
        QVERIFY(passwordAfter.isEmpty());  // cleared for the next try
        QVERIFY(s.OperatorName.isEmpty()); // the log-on state is untouched
        QCOMPARE(FWindow->Session(), &FSet->Session());
    }
}

void TestHost::logOnByUserCode()
{
    AddOperator(QStringLiteral("E001"), QStringLiteral("zhang"), QStringLiteral("张三"));
    const TOperatorList operators = FWindow->Operators(FSet->Path());
    QCOMPARE(operators.size(), 2);
    QVERIFY(operators.contains({QStringLiteral("E001"), QStringLiteral("zhang 张三")}));

    TLogOnRequest request{FSet->Path(), QStringLiteral("zhang"), QString(), QDate(2026, 2, 1)};
    QString error;
    QVERIFY2(FWindow->LogOn(request, &error), qPrintable(error));
    QCOMPARE(FSet->System().State().OperatorId, QStringLiteral("E001"));
    QCOMPARE(FSet->System().State().OperatorName, QStringLiteral("张三"));
    QVERIFY(!FSet->System().State().IsManager);
    QCOMPARE(Label("lblOperator"), QStringLiteral("操作员：张三"));
    // Without rights the operator's menus are disabled, apart from those every operator has.
    QVERIFY(!FWindow->EntryAction(QStringLiteral("备份"))->isEnabled());
    QVERIFY(FWindow->EntryAction(QStringLiteral("退出"))->isEnabled());
}

void TestHost::logOnOtherAccountSet()
{
    const QString otherPath = QDir(FSet->Dir()).filePath(QStringLiteral("other.orv"));
    HostSession::Create(otherPath, &FSet->Messages()).reset();
    TLogOnRequest request{otherPath, QStringLiteral("00000"), QString(), QDate(2026, 4, 1)};
    QString error;

    // A page that will not close keeps the account set open.
    QPointer<QMdiSubWindow> stubborn = AddPage(new StubbornPage);
    QVERIFY(!FWindow->LogOn(request, &error));
    QCOMPARE(error, QStringLiteral("有窗口未能关闭，不能打开其他账套。"));
    QCOMPARE(FWindow->Session(), &FSet->Session());
    delete stubborn.data();

    QVERIFY2(FWindow->LogOn(request, &error), qPrintable(error));
    HostSession *other = FWindow->Session();
    QVERIFY(other != &FSet->Session());
    QCOMPARE(other->Db().path(), otherPath);
    QCOMPARE(other->Params().FparForm, FWindow.get());
    QCOMPARE(FSet->Session().Params().FparForm, nullptr);
    QCOMPARE(Label("lblAccount"), QStringLiteral("账套：other"));
    QCOMPARE(other->System().State().LogOnDate, QDate(2026, 4, 1));
    // The module now works on the other account set.
    QVERIFY(FWindow->RunEntry(QStringLiteral("Orvane.dll账套修复")));
}

void TestHost::baseSelectSearch_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("byName");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("codes");

    QTest::newRow("goods, all leaves")
        << "Ptype" << false << "" << QStringList{"P001", "P002", "P010", "Q_1"};
    QTest::newRow("goods by code prefix") << "Ptype" << false << "P00" << QStringList{"P001", "P002"};
    QTest::newRow("code matches from the start") << "Ptype" << false << "01" << QStringList{};
    QTest::newRow("goods by name part") << "ptype" << true << "螺" << QStringList{"P001", "P002"};
    QTest::newRow("underscore is literal") << "Ptype" << false << "Q_" << QStringList{"Q_1"};
    QTest::newRow("underscore matches no other char") << "Ptype" << false << "P_" << QStringList{};
    QTest::newRow("percent is literal") << "Ptype" << true << "%" << QStringList{"Q_1"};
    QTest::newRow("bill types by number") << "Vchtype" << false << "14" << QStringList{"14", "140", "141"};
    QTest::newRow("bill types by name") << "Vchtype" << true << "退料" << QStringList{"173", "183", "213"};
    QTest::newRow("employees without the administrator") << "Employee" << false << "" << QStringList{"zhang"};
    QTest::newRow("kind without a table") << "Unit" << false << "" << QStringList{};
    QTest::newRow("unknown kind") << "Nothing" << true << "" << QStringList{};
}

void TestHost::baseSelectSearch()
{
    QFETCH(QString, kind);
    QFETCH(bool, byName);
    QFETCH(QString, text);
    QFETCH(QStringList, codes);

    AddGoods();
    AddOperator(QStringLiteral("E001"), QStringLiteral("zhang"), QStringLiteral("张三"));
    BaseSelectDialog dialog(FSet->Db(), kind, QString(), false);
    if (byName)
        QTest::mouseClick(dialog.findChild<QRadioButton *>(QStringLiteral("rbByName")), Qt::LeftButton);
    dialog.findChild<QLineEdit *>(QStringLiteral("edtSearch"))->setText(text);

    auto *grid = dialog.findChild<QTableWidget *>(QStringLiteral("grdBase"));
    QStringList shown;
    for (int r = 0; r < grid->rowCount(); ++r)
        shown << grid->item(r, 0)->text();
    QCOMPARE(shown, codes);
    QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("btnOK"))->isEnabled(), !codes.isEmpty());
}

void TestHost::baseSelectService()
{
    AddGoods();
    HostBaseSelect select([this] { return &FSet->Db(); });
    TBaseRecordList picked{TBaseRecord{QStringLiteral("keep"), {}, {}, {}}};

    // Cancel leaves the caller's list alone.
    OnNextModal([](QWidget *dialog) {
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("btnCancel")), Qt::LeftButton);
    });
    QVERIFY(!select.SelectBaseData(QStringLiteral("Ptype"), QString(), false, picked));
    QCOMPARE(picked.size(), 1);

    // The search text arrives in the dialog; a double click picks the row.
    OnNextModal([](QWidget *dialog) {
        QCOMPARE(dialog->findChild<QLineEdit *>(QStringLiteral("edtSearch"))->text(), QStringLiteral("P01"));
        auto *grid = dialog->findChild<QTableWidget *>(QStringLiteral("grdBase"));
        QCOMPARE(grid->rowCount(), 1);
        const QRect cell = grid->visualItemRect(grid->item(0, 1));
        // A double click is a press and release followed by a second press that comes as a double click.
        QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(grid->viewport(), Qt::LeftButton, {}, cell.center());
    });
    QVERIFY(select.SelectBaseData(QStringLiteral("Ptype"), QStringLiteral("P01"), false, picked));
    QCOMPARE(picked.size(), 1);
    QCOMPARE(picked[0].TypeId, QStringLiteral("0000100004"));
    QCOMPARE(picked[0].UserCode, QStringLiteral("P010"));
    QCOMPARE(picked[0].FullName, QStringLiteral("垫片"));
    QCOMPARE(picked[0].Values.value(QStringLiteral("Sonnum")).toInt(), 0);

    // Several rows in list order.
    OnNextModal([](QWidget *dialog) {
        auto *grid = dialog->findChild<QTableWidget *>(QStringLiteral("grdBase"));
        grid->selectAll();
        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("btnOK")), Qt::LeftButton);
    });
    QVERIFY(select.SelectBaseData(QStringLiteral("Ptype"), QStringLiteral("P00"), true, picked));
    QCOMPARE(picked.size(), 2);
    QCOMPARE(picked[1].UserCode, QStringLiteral("P002"));

    // The service the module reaches is the window's.
    QCOMPARE(FSet->Session().Params().BaseSelect != nullptr, true);
}

void TestHost::billConfig_data()
{
    QTest::addColumn<int>("vchType");
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("functionNo");
    QTest::addColumn<QString>("table");

    QTest::newRow("sale") << 11 << "销售单" << 2011 << "dlysale";
    QTest::newRow("sale variant") << 110002 << "销售单" << 2011 << "dlysale";
    QTest::newRow("purchase") << 34 << "进货单" << 2034 << "dlybuy";
    QTest::newRow("purchase return") << 6 << "进货退货单" << 2006 << "dlybuy";
    QTest::newRow("stock move") << 141 << "其他出库单" << 2141 << "dlyother";
    QTest::newRow("unknown") << 999 << "" << 0 << "dlyother";
}

void TestHost::billConfig()
{
    QFETCH(int, vchType);
    QFETCH(QString, name);
    QFETCH(int, functionNo);
    QFETCH(QString, table);

    IBillConfigIntf *config = FSet->Session().Params().BillConfigIntf;
    QVERIFY(config);
    QCOMPARE(config->GetBillName(vchType), name);
    QCOMPARE(config->GetBillFunctionNo(vchType), functionNo);
    QCOMPARE(config->GetBillTableName(vchType), table);
}

void TestHost::damagedAccountSetOffersRepair_data()
{
    QTest::addColumn<bool>("damaged");
    QTest::addColumn<bool>("repair"); // the answer to the offer
    QTest::addColumn<QStringList>("kinds");
    QTest::newRow("sound file") << false << false << QStringList{};
    QTest::newRow("repair declined") << true << false << QStringList{"yesno"};
    // The repair cannot mend a broken page; its report tells the user to restore a backup.
    QTest::newRow("repair tried") << true << true << QStringList{"yesno", "error"};
}

void TestHost::damagedAccountSetOffersRepair()
{
    SKIP_ON_SERVER("damages pages of the account-set file");
    QFETCH(bool, damaged);
    QFETCH(bool, repair);
    QFETCH(QStringList, kinds);
    HostSession &session = FSet->Session();
    if (damaged)
        DamageTable(session);
    FSet->Messages().Clear();
    FSet->Messages().Answers.enqueue(repair);
    QCOMPARE(session.WarnWhenDamaged(), !damaged);
    QStringList got;
    for (const RecordedMessage &m : FSet->Messages().Messages)
        got << m.Kind;
    QCOMPARE(got, kinds);
    if (damaged) {
        QVERIFY2(session.CheckFile().contains(QStringLiteral("btreeInitPage")),
                 qPrintable(session.CheckFile()));
        QVERIFY(FSet->Messages().Messages.first().Text.contains(QStringLiteral("是否现在进行“账套修复”？")));
    }
}

void TestHost::hostProgramFileChecks()
{
    SKIP_ON_SERVER("checks of account-set files");
    // A mistyped folder is refused, not created.
    const QString typo = QDir(FSet->Dir()).filePath(QStringLiteral("typo/dir/x.orv"));
    const HostRun missing =
        RunHost({QStringLiteral("--db"), typo, QStringLiteral("--operator"), QStringLiteral("00000"),
                 QStringLiteral("--screenshot"), QDir(FSet->Dir()).filePath(QStringLiteral("shot.png"))});
    QCOMPARE(missing.Code, 4);
    QVERIFY2(missing.Err.contains(QStringLiteral("文件夹不存在：")), qPrintable(missing.Err));
    QVERIFY(!QFileInfo::exists(QDir(FSet->Dir()).filePath(QStringLiteral("typo"))));

    // --check reports a file that fails the quick check.
    const QString path = FSet->Path();
    const HostRun sound = RunHost({QStringLiteral("--check"), QStringLiteral("--db"), path});
    QCOMPARE(sound.Code, 0);
    QVERIFY2(sound.Out.contains(QStringLiteral("QuickCheck: ok")), qPrintable(sound.Out));
    DamageTable(FSet->Session());
    FSet->Session().CloseDatabase();
    const HostRun damaged = RunHost({QStringLiteral("--check"), QStringLiteral("--db"), path});
    FSet->Session().Reopen();
    QCOMPARE(damaged.Code, 5);
    QVERIFY2(damaged.Out.contains(QStringLiteral("QuickCheck: failed")) &&
                 damaged.Out.contains(QStringLiteral("账套修复")),
             qPrintable(damaged.Out));
}

QTEST_MAIN(TestHost)
#include "tst_host.moc"
