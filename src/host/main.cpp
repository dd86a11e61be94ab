// orvane: the host program. Opens an account set, loads libOrvane.so, checks its version, hands it
// the host services and shows the main window with the module's menus.

#include "AccountDatabase.h"
#include "HostConfig.h"
#include "HostSession.h"
#include "ModuleLoader.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
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
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
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
    parser.addOptions({dbOption, checkOption, moduleOption});
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

    std::unique_ptr<HostSession> session;
    try {
        session = QFileInfo::exists(dbPath) ? HostSession::Open(dbPath) : HostSession::Create(dbPath);
    } catch (const accountdb::DbError &e) {
        Err() << e.message() << Qt::endl;
        return 4;
    }
    TDllParams &params = session->Params();
    HostConfig::ApplyTo(params);
    params.PubDataBaseName = dbPath;
    session->Install();
    loader.Initialise(params);

    if (parser.isSet(checkOption)) {
        Out() << "Menus: " << loader.Menus().size() << Qt::endl;
        for (int i = 0; i < loader.Menus().size(); ++i) {
            const TMenuRegType &m = loader.Menus().at(i);
            Out() << i << ": " << m.ModuleName << " | " << m.Value1 << " | " << m.Value2 << " | " << m.Value3
                  << " | " << m.Text << " | " << m.Pair << Qt::endl;
        }
        return 0;
    }
    Err() << "The main window needs a display; use --check on a headless machine." << Qt::endl;
    return 5;
}
