// orvane-admin export-bills --db FILE --out FILE [--from DATE] [--to DATE] [--type NAME] [--drafts]
// Writes the posted bills of the date range (every bill type, or the one named) to a bill exchange
// file, as the export window does with every listed bill ticked. An existing file is overwritten
// unless it is hidden or not a plain file; ".txt" is added to a name without it. Bills naming a unit,
// warehouse, department or goods the operator may not use are left out; the export goes into the
// event log.
//
// orvane-admin export-tax --db FILE --out FILE [--from DATE] [--to DATE]
// Writes the posted sales bills of the date range to a file for the tax-invoicing system. A bill that
// fails its checks is reported and stops the export (nobody is there to answer 继续); the bills before
// it are written.

#include "AdminCommand.h"
#include "BillFile.h"
#include "ClientDataSet.h"
#include "HostSession.h"
#include "uDllComm.h"
#include "uExportBillDataCore.h"
#include "uExportToJSCore.h"

namespace admin {

std::unique_ptr<HostSession> openClosingSession(const QCommandLineParser &parser,
                                                AdminRight right); // CmdCheckout.cpp

namespace {

// The options of both exports: account set, operator, output file and date range.
void addExportOptions(QCommandLineParser &parser, const QString &description)
{
    parser.setApplicationDescription(description);
    addDbOption(parser);
    addOperatorOptions(parser);
    parser.addOption({QStringLiteral("out"), QStringLiteral("导出文件。"), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("from"), QStringLiteral("开始日期 yyyy-mm-dd（默认不限）。"),
                      QStringLiteral("DATE"), QStringLiteral("1900-01-01")});
    parser.addOption({QStringLiteral("to"), QStringLiteral("结束日期 yyyy-mm-dd（默认不限）。"),
                      QStringLiteral("DATE"), QStringLiteral("9999-12-31")});
}

} // namespace

int cmdExportBills(const QStringList &args)
{
    QCommandLineParser parser;
    addExportOptions(parser, QStringLiteral("把日期范围内的单据导出为业务单据文件（GBK，CR LF）。"));
    parser.addOption({QStringLiteral("type"), QStringLiteral("只导出这种单据（单据类型名称，例如 销售单）。"),
                      QStringLiteral("NAME")});
    parser.addOption({QStringLiteral("drafts"), QStringLiteral("草稿也导出。")});
    if (const int code = parseCommand(parser, QStringLiteral("export-bills"), args, 0, 0); code >= 0)
        return code;
    const QString out = parser.value(QStringLiteral("out")).trimmed();
    if (out.isEmpty()) {
        printError(QStringLiteral("请用 --out 指定导出文件。"));
        return ExitUsage;
    }
    const std::unique_ptr<HostSession> host = openClosingSession(parser, RightBillExport);
    namespace core = uExportBillDataCore;
    core::TExportQuery query;
    query.BeginDate = parser.value(QStringLiteral("from")).trimmed();
    query.EndDate = parser.value(QStringLiteral("to")).trimmed();
    query.VchtypeName = parser.value(QStringLiteral("type")).trimmed();
    if (parser.isSet(QStringLiteral("drafts")))
        query.Draft.clear();
    TClientDataSet list;
    core::LoadList(query, list);
    QList<int> all;
    for (int i = 1; i <= list.RecordCount(); ++i)
        all << i;
    if (all.isEmpty()) {
        printError(QStringLiteral("请至少选择一条您要导出的单据。"));
        return ExitFailure;
    }
    const QString fileName = core::WithExtension(out);
    if (const QString refusal = core::PrepareTarget(fileName); !refusal.isEmpty()) {
        printError(refusal);
        return ExitFailure;
    }
    const core::TExportFile file = core::BuildFile(list, all, uDllComm::DllParams.IsCMSQ);
    QString error;
    if (!core::WriteFile(fileName, file.Bytes, error)) {
        printError(error);
        return ExitFailure;
    }
    core::RecordExport(fileName, file.Count);
    printLine(core::SuccessText(file.Count));
    return ExitOk;
}

int cmdExportTax(const QStringList &args)
{
    QCommandLineParser parser;
    addExportOptions(parser, QStringLiteral("把日期范围内已过账的销售单导出为开票系统的单据文件。"));
    if (const int code = parseCommand(parser, QStringLiteral("export-tax"), args, 0, 0); code >= 0)
        return code;
    const QString out = parser.value(QStringLiteral("out")).trimmed();
    if (out.isEmpty()) {
        printError(QStringLiteral("请用 --out 指定导出文件。"));
        return ExitUsage;
    }
    const std::unique_ptr<HostSession> host = openClosingSession(parser, RightTaxExport);
    uExportBillDataCore::TExportQuery query;
    query.BeginDate = parser.value(QStringLiteral("from")).trimmed();
    query.EndDate = parser.value(QStringLiteral("to")).trimmed();
    query.VchtypeName = QStringLiteral("销售单");
    TClientDataSet list;
    uExportBillDataCore::LoadList(query, list);
    QList<uExportToJSCore::TBillRef> bills;
    for (list.First(); !list.Eof(); list.Next())
        bills.append({list.Value(QStringLiteral("vchcode")).toLongLong(),
                      list.Value(QStringLiteral("vchtype")).toInt(),
                      list.Value(QStringLiteral("number")).toString()});
    if (bills.isEmpty()) {
        printError(QStringLiteral("请先选择您要导出的单据。"));
        return ExitFailure;
    }
    const uExportToJSCore::TExportResult result = uExportToJSCore::BuildFile(bills);
    QString error;
    if (!uExportBillDataCore::WriteFile(out, result.Bytes, error)) {
        printError(error);
        return ExitFailure;
    }
    if (result.Count > 0)
        uExportBillDataCore::RecordExport(out, result.Count);
    printLine(uExportToJSCore::DoneText(result.Count, out));
    return result.Count > 0 && !result.Cancelled ? ExitOk : ExitFailure;
}

} // namespace admin
