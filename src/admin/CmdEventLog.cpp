// orvane-admin event-log --db FILE [--from DATE] [--to DATE] [--export FILE] [--pdf FILE]: the system
// event log of a date range (open bounds when left out). Without an output it lists the events; --export
// writes the export file of the 系统日志 window (GBK, the export recorded in the log); --pdf prints the
// list to a PDF file through the print engine, with the window's print layout.

#include <QDate>
#include <QFile>
#include <QGuiApplication>

#include "AdminCommand.h"
#include "EventLog.h"
#include "Kvprintengine.h"
#include "uSysEventLog.h"

namespace admin {

namespace {

bool validDate(const QString &text)
{
    return text.isEmpty() || QDate::fromString(text, QStringLiteral("yyyy-MM-dd")).isValid();
}

TClientDataSet readEvents(accountdb::AccountDatabase &db, const QString &from, const QString &to)
{
    accountdb::ProcParams params{{QStringLiteral("@cMode"), QStringLiteral("R")},
                                 {QStringLiteral("@DATE"), QString()},
                                 {QStringLiteral("@Custom1"), QString()},
                                 {QStringLiteral("@Custom2"), from},
                                 {QStringLiteral("@Custom3"), to},
                                 {QStringLiteral("@szStrings"), QString()}};
    accountdb::ResultSet rs;
    db.callProc(QStringLiteral("p_Jxc_GetEventLog"), params, &rs);
    TClientDataSet events(rs.columns);
    for (const QVariantList &row : std::as_const(rs.rows))
        events.AppendRow(row);
    return events;
}

int exportEvents(Session &session, TClientDataSet &events, const QString &fileName)
{
    QFile file(uSysEventLog::WithTxtExtension(fileName));
    const QByteArray text = uSysEventLog::ExportText(events);
    if (!OpenPrivateFile(file) || file.write(text) != text.size() || !file.flush()) {
        printError(QStringLiteral("不能写入文件“%1”：%2").arg(file.fileName(), file.errorString()));
        return ExitFailure;
    }
    file.close();
    accountdb::writeEvent(*session.db, session.operatorId, accountdb::event::LogExport, session.operatorName);
    printLine(QStringLiteral("导出日志成功：") + file.fileName());
    return ExitOk;
}

int printEvents(Session &session, TClientDataSet &events, const QString &from, const QString &to,
                const QString &fileName)
{
    if (!qobject_cast<QGuiApplication *>(QCoreApplication::instance())) {
        printError(QStringLiteral("打印需要图形程序库，本程序没有以图形方式启动。"));
        return ExitFailure;
    }
    TKvPrintEngine engine;
    engine.SetTitle(uSysEventLog::PrintTemplate());
    const QDateTime now = QDateTime::currentDateTime();
    engine.SetHeader({{QStringLiteral("表名"), uSysEventLog::PrintTemplate()},
                      {QStringLiteral("开始日期"), from},
                      {QStringLiteral("结束日期"), to},
                      {QStringLiteral("系统日期"), now.toString(QStringLiteral("yyyy-MM-dd"))},
                      {QStringLiteral("系统时间"), now.toString(QStringLiteral("hh:mm:ss"))},
                      {QStringLiteral("操作员"), session.operatorName}});
    engine.SetDetail(0, uSysEventLog::EventLogTable(events));
    engine.SetLayout(TPrintLayout::FromJson(
        session.db
            ->value(QStringLiteral("SELECT Layout FROM T_Sys_PrintLayout WHERE PrintID = ? AND Template = ?"),
                    {uSysEventLog::PrintID, uSysEventLog::PrintTemplate()})
            .toString()
            .toUtf8()));
    QString error;
    if (!engine.WritePdf(fileName, &error)) {
        printError(QStringLiteral("不能写入文件“%1”：%2").arg(fileName, error));
        return ExitFailure;
    }
    printLine(QStringLiteral("已打印到 ") + fileName);
    return ExitOk;
}

} // namespace

int cmdEventLog(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "列出系统日志；--export 导出为文本文件（与系统日志窗口相同），--pdf 打印到 PDF 文件。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    parser.addOption({QStringLiteral("from"), QStringLiteral("开始日期（yyyy-mm-dd），默认不限。"),
                      QStringLiteral("DATE")});
    parser.addOption(
        {QStringLiteral("to"), QStringLiteral("结束日期（yyyy-mm-dd），默认不限。"), QStringLiteral("DATE")});
    parser.addOption(
        {QStringLiteral("export"), QStringLiteral("导出到文本文件（GBK 编码）。"), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("pdf"), QStringLiteral("打印到 PDF 文件。"), QStringLiteral("FILE")});
    if (const int code = parseCommand(parser, QStringLiteral("event-log"), args, 0, 0); code >= 0)
        return code;
    const QString from = parser.value(QStringLiteral("from")).trimmed();
    const QString to = parser.value(QStringLiteral("to")).trimmed();
    for (const QString &date : {from, to})
        if (!validDate(date)) {
            printError(QStringLiteral("日期格式应为 yyyy-mm-dd：") + date);
            return ExitUsage;
        }

    Session session = openSession(parser, RightEventLog);
    TClientDataSet events = readEvents(*session.db, from, to);
    if (parser.isSet(QStringLiteral("export")))
        return exportEvents(session, events, parser.value(QStringLiteral("export")));
    if (parser.isSet(QStringLiteral("pdf")))
        return printEvents(session, events, from, to, parser.value(QStringLiteral("pdf")));
    for (events.First(); !events.Eof(); events.Next())
        printLine(QStringList{events.FieldByName(QStringLiteral("DATE")).AsString(),
                              events.FieldByName(QStringLiteral("HOSTNAME")).AsString(),
                              events.FieldByName(QStringLiteral("EMPLOYEE")).AsString(),
                              events.FieldByName(QStringLiteral("EVENT")).AsString()}
                      .join(QLatin1Char('\t')));
    printLine(QStringLiteral("共 %1 条").arg(events.RecordCount()));
    return ExitOk;
}

} // namespace admin
