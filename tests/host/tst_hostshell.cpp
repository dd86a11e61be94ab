// The main window as a user meets it: menus grouped with separators and keys, the other windows a
// module entry asks about (the desktop is none of them), every way out running 退出 once, the help
// pages, and the program on a machine without a display.

#include <QCryptographicHash>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QTextBrowser>
#include <QtTest>

#include "HostHelp.h"
#include "HostMainWindow.h"
#include "HostTestWindow.h"
#include "ModuleLoader.h"
#include "TestAccountSet.h"

namespace {
// Calls the action on every modal window that shows up while it lives (and closes the window
// the action leaves open), so that a missing or an unexpected window never hangs the test.
class ModalWatcher
{
public:
    explicit ModalWatcher(std::function<void(QWidget *)> action)
    {
        QObject::connect(&FTimer, &QTimer::timeout, [this, action] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal)
                return;
            Seen << modal->objectName();
            action(modal);
            if (auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
                dialog && dialog == modal)
                dialog->reject();
        });
        FTimer.start(20);
    }
    QStringList Seen;

private:
    QTimer FTimer;
};

QByteArray FileHash(const QString &path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
}
} // namespace

class TestHostShell : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void menuLayout();
    void otherWindowsBeforeRestore_data();
    void otherWindowsBeforeRestore();
    void leaving_data();
    void leaving();
    void helpPages();
    void programWithoutDisplay_data();
    void programWithoutDisplay();

private:
    QMdiSubWindow *AddPage(QWidget *widget) { return ::AddPage(*FWindow, widget); }

    ModuleLoader FLoader;
    std::unique_ptr<TestAccountSet> FSet;
    std::unique_ptr<HostMainWindow> FWindow;
};

void TestHostShell::initTestCase()
{
    const QString path =
        QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("libOrvane.so"));
    QVERIFY2(FLoader.Load(path) && FLoader.Check(), qPrintable(FLoader.Error()));
    FLoader.InitDllFunc();
}

void TestHostShell::init()
{
    FSet = std::make_unique<TestAccountSet>();
    FWindow = OpenMainWindow(*FSet, FLoader);
}

void TestHostShell::cleanup()
{
    FWindow.reset();
    FSet.reset();
}

void TestHostShell::menuLayout()
{
    auto *file = qobject_cast<QMenu *>(FWindow->EntryAction(QStringLiteral("备份"))->parent());
    QVERIFY(file);
    QCOMPARE(file->title(), QStringLiteral("文件(&F)"));
    const QList<QAction *> actions = file->actions();
    // 退出 last, after a separator, with its key; the groups of the menu are set apart.
    QCOMPARE(actions.last(), FWindow->EntryAction(QStringLiteral("退出")));
    QVERIFY(actions.at(actions.size() - 2)->isSeparator());
    QCOMPARE(actions.last()->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Q));
    const auto indexOf = [&](const char *entry) {
        return actions.indexOf(FWindow->EntryAction(QString::fromUtf8(entry)));
    };
    QCOMPARE(indexOf("恢复"), indexOf("备份") + 1);
    QVERIFY(actions.at(indexOf("备份") - 1)->isSeparator());
    // The help menu comes last.
    const QList<QAction *> bar = FWindow->menuBar()->actions();
    QCOMPARE(bar.last()->text(), QStringLiteral("帮助(&H)"));
    QCOMPARE(FWindow->findChild<QAction *>(QStringLiteral("actHelp"))->shortcut(), QKeySequence(Qt::Key_F1));
    QVERIFY(FWindow->findChild<QAction *>(QStringLiteral("actAbout")));
}

void TestHostShell::otherWindowsBeforeRestore_data()
{
    QTest::addColumn<int>("pages"); // 0 none, 1 a page, 2 a page that refuses to close
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("opened");

    QTest::newRow("only the desktop: no question") << 0 << false << true;
    QTest::newRow("a page kept open") << 1 << false << false;
    QTest::newRow("a page closed") << 1 << true << true;
    QTest::newRow("a page that refuses to close") << 2 << true << false;
}

void TestHostShell::otherWindowsBeforeRestore()
{
    QFETCH(int, pages);
    QFETCH(bool, answer);
    QFETCH(bool, opened);

    QPointer<QMdiSubWindow> page;
    if (pages > 0)
        page = AddPage(pages == 2 ? new StubbornPage : new QWidget);
    FSet->Messages().Answers.enqueue(answer);
    {
        ModalWatcher watcher([](QWidget *) {});
        FWindow->EntryAction(QStringLiteral("恢复"))->trigger();
        QCOMPARE(watcher.Seen.contains(QStringLiteral("frmRestore")), opened);
    }
    QCOMPARE(FSet->Messages().Texts(),
             pages == 0 ? QStringList() : QStringList{QStringLiteral("当前打开了其他窗口，是否全部关闭？")});
    if (pages > 0)
        QCOMPARE(page.isNull() || page->isHidden(), pages == 1 && answer);
    delete page.data();
}

void TestHostShell::leaving_data()
{
    QTest::addColumn<bool>("byMenu"); // else the window's ✕ / Alt+F4
    QTest::addColumn<int>("pages");   // 0 none, 1 a page, 2 a page that refuses to close
    QTest::addColumn<bool>("answer");
    QTest::addColumn<bool>("left");

    QTest::newRow("✕ runs 退出") << false << 0 << false << true;
    QTest::newRow("退出 from the menu") << true << 0 << false << true;
    QTest::newRow("✕ with a page, staying") << false << 1 << false << false;
    QTest::newRow("退出 with a page, leaving") << true << 1 << true << true;
    QTest::newRow("a page that refuses keeps the program") << false << 2 << true << false;
}

void TestHostShell::leaving()
{
    QFETCH(bool, byMenu);
    QFETCH(int, pages);
    QFETCH(bool, answer);
    QFETCH(bool, left);

    // The module's 退出 (end of the log-on, exit backup) is recorded, not performed.
    QStringList calls;
    FWindow->SetCallFunction([&](const QString &key) {
        calls << key;
        return false;
    });
    FWindow->LoadMenu(false);
    FWindow->show();
    QPointer<QMdiSubWindow> page;
    if (pages > 0)
        page = AddPage(pages == 2 ? new StubbornPage : new QWidget);
    FSet->Messages().Answers.enqueue(answer);

    if (byMenu)
        FWindow->EntryAction(QStringLiteral("退出"))->trigger();
    else
        FWindow->close();
    if (left)
        FWindow->close(); // a second request once gone runs nothing more

    QCOMPARE(calls, left ? QStringList{QStringLiteral("Orvane.dll退出")} : QStringList());
    QCOMPARE(FWindow->isVisible(), !left);
    QCOMPARE(FSet->Messages().Texts().size(), pages > 0 ? 1 : 0);
    delete page.data();
}

void TestHostShell::helpPages()
{
    // F1 with the desktop in front: the contents.
    FWindow->show();
    FWindow->findChild<QAction *>(QStringLiteral("actHelp"))->trigger();
    HostHelpWindow *help = FWindow->Help()->Window();
    QVERIFY(help && help->isVisible());
    QCOMPARE(help->CurrentPage(), HostHelp::ContentsPage());
    QVERIFY(help->windowTitle().startsWith(QStringLiteral("帮助 - ")));
    // Its links lead to the pages of the windows.
    QVERIFY(help->Browser()->toHtml().contains(QStringLiteral("数据备份与恢复")));

    // 帮助 of a module window: its own page, over the modal window.
    QString page;
    {
        ModalWatcher watcher([&](QWidget *modal) {
            if (modal->objectName() != u"frmRestore")
                return;
            modal->findChild<QPushButton *>(QStringLiteral("btnHelp"))->click();
            if (HostHelpWindow *w = FWindow->Help()->Window())
                page = w->CurrentPage();
        });
        FWindow->EntryAction(QStringLiteral("恢复"))->trigger();
    }
    QVERIFY2(page.endsWith(QStringLiteral("help/文件/数据备份与恢复.htm")), qPrintable(page));
    QVERIFY(QFileInfo(page).isFile());
}

void TestHostShell::programWithoutDisplay_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("output");

    QTest::newRow("--help") << QStringList{"--help"} << 0 << "--screenshot";
    QTest::newRow("the log-on window photographed, not waited for")
        << QStringList{"--screenshot", "@shot"} << 0 << "@shot";
    QTest::newRow("a window of an entry, on a copy of the account set")
        << QStringList{"--operator", "00000",          "--screenshot", "@shot",
                       "--open",     "进销存期末结账", "--click",      "btnView"}
        << 0 << "@shot";
    QTest::newRow("the main window needs a display") << QStringList{"--operator", "00000"} << 8 << "";
}

void TestHostShell::programWithoutDisplay()
{
    QFETCH(QStringList, args);
    QFETCH(int, exitCode);
    QFETCH(QString, output);
    const QString shot = FSet->Dir() + QStringLiteral("/shot.png");
    args.replaceInStrings(QStringLiteral("@shot"), shot);
    output.replace(QStringLiteral("@shot"), shot);
    FWindow.reset();
    const QByteArray before = FileHash(FSet->Path());

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    program.setProcessEnvironment(env);
    program.start(QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("orvane")),
                  QStringList{QStringLiteral("--db"), FSet->Path()} + args);
    QVERIFY(program.waitForFinished(60000));
    QCOMPARE(program.exitCode(), exitCode);
    QVERIFY(QString::fromUtf8(program.readAllStandardOutput()).contains(output));
    if (!output.isEmpty() && output == shot)
        QVERIFY(QImage(shot).width() > 100);
    QCOMPARE(FileHash(FSet->Path()), before);
}

QTEST_MAIN(TestHostShell)
#include "tst_hostshell.moc"
