// orvane: the host program. Opens an account set, loads libOrvane.so, checks its version, hands it
// the host services and shows the main window with the module's menus.

#include "AccountDatabase.h"
#include "HostConfig.h"
#include "HostMainWindow.h"
#include "HostMessageService.h"
#include "HostScreenshot.h"
#include "HostSession.h"
#include "Kvtranslations.h"
#include "ModuleLoader.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace {
QTextStream &Out()
{
    static QTextStream out(stdout);
    return out;
}

QTextStream &Err()
{
    static QTextStream err(stderr);
    return err;
}

QString DefaultDemoPath()
{
    const QByteArray env = qgetenv("ORVANE_DEMO_DB");
    return env.isEmpty() ? QStringLiteral("demo/demo.orv") : QString::fromLocal8Bit(env);
}

// The modes that show nothing on a screen also run on a machine without one; the others need one,
// for without a display nobody could answer them. False when the program cannot run here.
bool UseOffscreenWhenHeadless(int argc, char *argv[])
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM") || qEnvironmentVariableIsSet("DISPLAY") ||
        qEnvironmentVariableIsSet("WAYLAND_DISPLAY"))
        return true;
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "--check" || arg == "--screenshot" || arg.startsWith("--screenshot=") || arg == "--help" ||
            arg == "-h" || arg == "--help-all" || arg == "--version" || arg == "-v") {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            return true;
        }
    }
    return false;
}

QString ReadPasswordFile(const QString &path, bool *ok)
{
    QFile file(path);
    *ok = file.open(QIODevice::ReadOnly);
    if (!*ok)
        return {};
    QString line = QString::fromUtf8(file.readLine());
    while (line.endsWith(u'\n') || line.endsWith(u'\r'))
        line.chop(1);
    return line;
}
int RunMainWindow(const QCommandLineParser &parser, ModuleLoader &loader,
                  std::unique_ptr<HostSession> session)
{
    HostMainWindow window;
    window.SetModule(&loader);
    window.AdoptSession(std::move(session));
    loader.Initialise(window.Session()->Params());
    std::unique_ptr<HostScreenshot> shot;
    if (parser.isSet(QStringLiteral("screenshot")))
        shot = std::make_unique<HostScreenshot>(window, parser.value(QStringLiteral("screenshot")),
                                                parser.isSet(QStringLiteral("open"))
                                                    ? QStringLiteral("Orvane.dll") +
                                                          parser.value(QStringLiteral("open"))
                                                    : QString(),
                                                parser.values(QStringLiteral("click")));

    if (parser.isSet(QStringLiteral("operator"))) {
        TLogOnRequest request;
        request.DataBase = window.Session()->Db().path();
        request.Operator = parser.value(QStringLiteral("operator"));
        request.LogOnDate = QDate::currentDate();
        if (parser.isSet(QStringLiteral("password-file"))) {
            bool ok = false;
            request.Password = ReadPasswordFile(parser.value(QStringLiteral("password-file")), &ok);
            if (!ok) {
                Err() << "Cannot read the password file " << parser.value(QStringLiteral("password-file"))
                      << Qt::endl;
                return 6;
            }
        }
        QString error;
        if (!window.LogOn(request, &error)) {
            Err() << error << Qt::endl;
            return 6;
        }
    } else if (!window.ShowLoginOn(true)) {
        return shot ? shot->ExitCode() : 0; // the log-on was cancelled (or photographed)
    }

    window.show();
    if (shot)
        shot->MainWindowShown();
    return QApplication::exec();
}
} // namespace

int main(int argc, char *argv[])
{
    if (!UseOffscreenWhenHeadless(argc, argv)) {
        fputs("没有显示器：orvane 需要图形桌面。--screenshot FILE 可以在没有显示器时截图，"
              "命令行工作请使用 orvane-admin。\n",
              stderr);
        return 8;
    }
    QApplication app(argc, argv);
    Kvtranslations::InstallChineseTranslations();
    QApplication::setApplicationName(QStringLiteral("orvane"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Orvane host program"));
    parser.addHelpOption();
    const QCommandLineOption dbOption(QStringLiteral("db"), QStringLiteral("Account-set file."),
                                      QStringLiteral("FILE"), DefaultDemoPath());
    const QCommandLineOption checkOption(QStringLiteral("check"),
                                         QStringLiteral("Load the module, print its version check and menu "
                                                        "registrations, and exit."));
    const QCommandLineOption moduleOption(QStringLiteral("module"), QStringLiteral("Module library to load."),
                                          QStringLiteral("FILE"), ModuleLoader::DefaultModulePath());
    const QCommandLineOption operatorOption(
        QStringLiteral("operator"), QStringLiteral("Log on as this operator without the log-on dialog."),
        QStringLiteral("ID"));
    const QCommandLineOption passwordFileOption(
        QStringLiteral("password-file"), QStringLiteral("The operator's password, first line of FILE."),
        QStringLiteral("FILE"));
    const QCommandLineOption screenshotOption(QStringLiteral("screenshot"),
                                              QStringLiteral("Write a PNG of the main window after start-up "
                                                             "and exit."),
                                              QStringLiteral("FILE"));
    const QCommandLineOption openOption(QStringLiteral("open"),
                                        QStringLiteral("With --screenshot: run this menu entry first."),
                                        QStringLiteral("ENTRY"));
    const QCommandLineOption clickOption(
        QStringLiteral("click"),
        QStringLiteral("With --screenshot: press this button (object name), repeatable."),
        QStringLiteral("NAME"));
    parser.addOptions({dbOption, checkOption, moduleOption, operatorOption, passwordFileOption,
                       screenshotOption, openOption, clickOption});
    parser.process(app);

    ModuleLoader loader;
    if (!loader.Load(parser.value(moduleOption))) {
        Err() << loader.Error() << Qt::endl;
        return 2;
    }
    const bool valid = loader.Check();
    if (parser.isSet(checkOption))
        Out() << "CheckValid: " << (valid ? "True" : "False") << (valid ? QString() : " " + loader.Error())
              << Qt::endl;
    if (!valid) {
        if (!parser.isSet(checkOption))
            Err() << loader.Error() << Qt::endl;
        return 3;
    }

    // The check runs on a scratch account set when the given one does not exist yet.
    QTemporaryDir scratch;
    QString dbPath = parser.value(dbOption);
    if (parser.isSet(checkOption) && !QFileInfo::exists(dbPath))
        dbPath = scratch.filePath(QStringLiteral("check.orv"));
    // A screenshot may run entries (a cost calculation): on a copy, the account set stays as it was.
    if (parser.isSet(screenshotOption) && QFileInfo::exists(dbPath)) {
        const QString copy = scratch.filePath(QFileInfo(dbPath).fileName());
        for (const QString &suffix : {QString(), QStringLiteral("-wal")})
            QFile::copy(dbPath + suffix, copy + suffix);
        dbPath = copy;
    }

    // Outlives the sessions: every account set the main window opens shows its messages here.
    HostMessageService messages;
    std::unique_ptr<HostSession> session;
    try {
        // A new account set goes into an existing folder only: a mistyped path is refused, not created.
        session = accountdb::isServerLocation(dbPath) || QFileInfo::exists(dbPath)
                      ? HostSession::Open(dbPath, &messages)
                      : HostSession::Create(dbPath, &messages);
    } catch (const accountdb::DbError &e) {
        Err() << e.message() << Qt::endl;
        return 4;
    }
    if (!parser.isSet(checkOption)) {
        // A damaged file still opens, so that the repair or a restore can be reached from the menus.
        session->WarnWhenDamaged();
        return RunMainWindow(parser, loader, std::move(session));
    }
    const QString problems = session->CheckFile();
    TDllParams &params = session->Params();
    HostConfig::ApplyTo(params);
    params.PubDataBaseName = dbPath;
    session->Install();
    loader.Initialise(params);

    Out() << "Menus: " << loader.Menus().size() << Qt::endl;
    for (int i = 0; i < loader.Menus().size(); ++i) {
        const TMenuRegType &m = loader.Menus().at(i);
        Out() << i << ": " << m.ModuleName << " | " << m.Value1 << " | " << m.Value2 << " | " << m.Value3
              << " | " << m.Text << " | " << m.Pair << Qt::endl;
    }
    if (!problems.isEmpty()) {
        Out() << "QuickCheck: failed (" << dbPath << ")" << Qt::endl
              << problems << Qt::endl
              << QStringLiteral("账套文件检查没有通过，请用“账套修复”修复或用备份恢复。") << Qt::endl;
        return 5;
    }
    Out() << "QuickCheck: ok" << Qt::endl;
    return 0;
}
