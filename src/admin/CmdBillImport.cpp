// orvane-admin import-bills --db FILE --in FILE [--check-only]
// Reads a bill exchange file (GBK or UTF-8), checks every row against the account set and, when all
// pass, writes every bill in one transaction with new codes and numbers. Any refused row or failed
// bill names its file line and leaves the account set unchanged. --check-only stops after the check.

#include "AdminCommand.h"
#include "BillFile.h"
#include "HostSession.h"
#include "uDllComm.h"
#include "uImportBillDataCore.h"

#include <QFile>

namespace admin {

std::unique_ptr<HostSession> openClosingSession(const QCommandLineParser &parser,
                                                AdminRight right); // CmdCheckout.cpp

int cmdImportBills(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("检查并导入业务单据文件：全部单据导入，或者一张也不导入。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    parser.addOption({QStringLiteral("in"), QStringLiteral("业务单据文件。"), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("check-only"), QStringLiteral("只检查数据，不导入。")});
    if (const int code = parseCommand(parser, QStringLiteral("import-bills"), args, 0, 0); code >= 0)
        return code;
    const QString in = parser.value(QStringLiteral("in")).trimmed();
    if (in.isEmpty()) {
        printError(QStringLiteral("请用 --in 指定业务单据文件。"));
        return ExitUsage;
    }
    if (in.size() >= 260) {
        printError(QStringLiteral("文件名过长。"));
        return ExitFailure;
    }
    QFile f(in);
    if (!f.exists()) {
        printError(QStringLiteral("文件不存在。"));
        return ExitFailure;
    }
    if (!f.open(QIODevice::ReadOnly)) {
        printError(QStringLiteral("不能读取文件：") + in);
        return ExitFailure;
    }
    const std::unique_ptr<HostSession> host = openClosingSession(parser, RightBillImport);
    const BillFile::TReadResult read =
        BillFile::Read(f.readAll(), {uDllComm::DllParams.IsCMSQ, uDllComm::DllParams.PubVersion2});
    if (!read.Error.isEmpty()) {
        printError(read.Error);
        return ExitFailure;
    }
    namespace core = uImportBillDataCore;
    const QString problem = core::FirstProblem(core::CheckRows(read.Rows), read.LineNumbers);
    if (!problem.isEmpty()) {
        printError(QStringLiteral("存在非法数据不能导入。"));
        printError(problem);
        return ExitFailure;
    }
    if (parser.isSet(QStringLiteral("check-only"))) {
        printLine(QStringLiteral("%1行数据全部通过检查。").arg(read.Rows.size()));
        return ExitOk;
    }
    const core::TImportResult result = core::ImportRows(read.Rows, read.LineNumbers);
    if (!result.Error.isEmpty()) {
        printError(result.Error);
        printError(QStringLiteral("导入失败，账套没有改变。"));
        return ExitFailure;
    }
    printLine(core::DoneText(result.Count));
    if (result.Waiting > 0)
        printLine(QStringLiteral("其中%1张单据等待审核。").arg(result.Waiting));
    return ExitOk;
}

} // namespace admin
