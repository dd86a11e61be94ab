// orvane-admin COMMAND [options]: the jobs an administrator automates, without windows.

#include <QGuiApplication>

#include "AdminCommand.h"
#include "SqlErrors.h"

namespace {

void printUsage()
{
    admin::printLine(QStringLiteral("用法：orvane-admin 命令 [选项]\n\n命令："));
    for (const admin::AdminCommand &c : admin::commands()) {
        QString line =
            QStringLiteral("  %1  %2").arg(QLatin1String(c.name), -12).arg(QString::fromUtf8(c.summary));
        if (c.right != admin::RightNone)
            line += QStringLiteral("（%1）").arg(admin::rightText(c.right));
        admin::printLine(line);
    }
    admin::printLine(QStringLiteral("\n每个命令都有 --help。账套文件用 --db FILE 指定，默认 %1。")
                         .arg(admin::defaultDbPath()));
}

} // namespace

int main(int argc, char *argv[])
{
    // Printing to PDF lays text out with fonts, which takes a GUI application; no display is needed.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("orvane-admin"));
    QCoreApplication::setApplicationVersion(QStringLiteral("17.0"));
    const QStringList args = QCoreApplication::arguments();

    if (args.size() < 2) {
        printUsage();
        return admin::ExitUsage;
    }
    const QString name = args[1];
    if (name == u"--help" || name == u"-h" || name == u"help") {
        printUsage();
        return admin::ExitOk;
    }
    if (name == u"--version") {
        admin::printLine(QStringLiteral("orvane-admin 17.0"));
        return admin::ExitOk;
    }
    const admin::AdminCommand *command = admin::findCommand(name);
    if (!command) {
        admin::printError(QStringLiteral("未知命令：%1。用 orvane-admin --help 查看命令列表。").arg(name));
        return admin::ExitUsage;
    }
    try {
        return command->run(args.mid(2));
    } catch (const accountdb::DbError &e) {
        // SQLite's own words (a full disk, a read-only file) become the clear text for them.
        admin::printError(accountdb::readableFailure(e.message()));
        return admin::ExitFailure;
    }
}
