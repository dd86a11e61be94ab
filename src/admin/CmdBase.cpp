// orvane-admin base SUB --kind goods|partners|warehouses|employees|departments: base data for scripts.
//   list [--search TEXT] [--hidden]     records (code, name, class code, hidden mark) by class
//   add --set COLUMN=VALUE... [--class CODE] [--is-class]   a record (or a class) under a class
//   edit CODE --set COLUMN=VALUE...     changes the given fields of the record with that code
//   hide CODE [--show] | delete CODE    hides (shows again) or deletes the record
//   export FILE [--gbk] | import FILE [--gbk]   CSV (UTF-8 unless --gbk; "-" is standard output)
// Every change runs the account set's procedures: one transaction each, written to the event log. Changes
// need the operator's right to maintain the kind; list and export leave out what his base-data rights
// hide from him.

#include <QFile>
#include <QTextStream>

#include "AdminCommand.h"
#include "BaseDataStore.h"

namespace admin {

namespace {

using accountdb::basedata::Kind;

// The id of the record or class with that code; empty when there is none.
QString idOfCode(accountdb::AccountDatabase &db, const Kind &kind, const QString &code)
{
    return db.value(QStringLiteral("SELECT TypeId FROM %1 WHERE UserCode = ?").arg(kind.table), {code})
        .toString();
}

bool readSets(const QCommandLineParser &parser, QVariantMap &fields)
{
    for (const QString &set : parser.values(QStringLiteral("set"))) {
        const qsizetype eq = set.indexOf(u'=');
        if (eq <= 0) {
            printError(QStringLiteral("--set 应写成 列名=值：") + set);
            return false;
        }
        fields.insert(set.left(eq).trimmed(), set.mid(eq + 1));
    }
    return true;
}

int report(const QString &error, const QString &done)
{
    if (!error.isEmpty()) {
        printError(error);
        return ExitFailure;
    }
    printLine(done);
    return ExitOk;
}

int list(BaseDataStore &store, accountdb::AccountDatabase &db, const QCommandLineParser &parser)
{
    const bool hidden = parser.isSet(QStringLiteral("hidden"));
    QList<TBaseDataRow> rows;
    if (parser.isSet(QStringLiteral("search"))) {
        rows = store.Records(accountdb::basedata::kRootId, parser.value(QStringLiteral("search")), hidden);
    } else {
        rows = store.Records(accountdb::basedata::kRootId, QString(), hidden);
        for (const TBaseDataRow &c : store.Classes())
            rows += store.Records(c.TypeId, QString(), hidden);
    }
    printLine(QStringLiteral("编号\t名称\t类别\t隐藏"));
    for (const TBaseDataRow &r : rows) {
        const QString classCode =
            db.value(QStringLiteral("SELECT UserCode FROM %1 WHERE TypeId = ?").arg(store.Kind().table),
                     {r.ParId})
                .toString();
        printLine(QStringList{r.Fields.value(QStringLiteral("UserCode")).toString(),
                              r.Fields.value(QStringLiteral("FullName")).toString(), classCode,
                              r.Deleted ? QStringLiteral("是") : QString()}
                      .join(u'\t'));
    }
    return ExitOk;
}

} // namespace

int cmdBase(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("基本信息：列出、新增、修改、隐藏、删除、导出或导入。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    parser.addOptions({
        {QStringLiteral("kind"), QStringLiteral("goods、partners、warehouses、employees 或 departments。"),
         QStringLiteral("KIND")},
        {QStringLiteral("set"), QStringLiteral("字段值（可重复）。"), QStringLiteral("COLUMN=VALUE")},
        {QStringLiteral("class"), QStringLiteral("上级类别的编号（默认顶层）。"), QStringLiteral("CODE")},
        {QStringLiteral("is-class"), QStringLiteral("新增的是类别。")},
        {QStringLiteral("search"), QStringLiteral("按编号、名称或拼音首字母查找。"), QStringLiteral("TEXT")},
        {QStringLiteral("hidden"), QStringLiteral("也列出隐藏的记录。")},
        {QStringLiteral("show"), QStringLiteral("恢复显示隐藏的记录。")},
        {QStringLiteral("gbk"), QStringLiteral("CSV 文件使用 GBK 编码。")},
    });
    parser.addPositionalArgument(
        QStringLiteral("SUB"),
        QStringLiteral("list、add、edit CODE、hide CODE、delete CODE、export FILE、import FILE。"));
    parser.addPositionalArgument(QStringLiteral("ARG"), QStringLiteral("编号或文件。"),
                                 QStringLiteral("[ARG]"));
    if (const int code = parseCommand(parser, QStringLiteral("base"), args, 1, 2); code >= 0)
        return code;
    const QStringList positional = parser.positionalArguments();
    const QString sub = positional[0];
    const QString arg = positional.value(1);
    const Kind *kind = accountdb::basedata::findKind(parser.value(QStringLiteral("kind")));
    if (!kind) {
        printError(
            QStringLiteral("请用 --kind 指定 goods、partners、warehouses、employees 或 departments。"));
        return ExitUsage;
    }
    const bool needsArg = sub != QLatin1String("list") && sub != QLatin1String("add");
    if (needsArg == arg.isEmpty()) {
        printError(QStringLiteral("子命令和参数不符：") + positional.join(u' '));
        return ExitUsage;
    }
    Session session = openSession(parser, RightNone);
    accountdb::AccountDatabase &db = *session.db;
    BaseDataStore store(db, *kind, session.operatorId);
    const auto encoding = parser.isSet(QStringLiteral("gbk")) ? accountdb::basedata::CsvEncoding::Gbk
                                                              : accountdb::basedata::CsvEncoding::Utf8;
    if (sub == QLatin1String("list"))
        return list(store, db, parser);
    if (sub == QLatin1String("export")) {
        const QByteArray csv = accountdb::basedata::exportCsv(db, *kind, encoding, session.operatorId);
        QFile out(arg);
        const bool opened = arg == QLatin1String("-") ? out.open(stdout, QIODevice::WriteOnly)
                                                      : out.open(QIODevice::WriteOnly | QIODevice::Truncate);
        if (!opened || out.write(csv) != csv.size()) {
            printError(QStringLiteral("文件写入失败：") + arg);
            return ExitFailure;
        }
        return ExitOk;
    }
    if (const QString refusal = store.ChangeRefusal(); !refusal.isEmpty()) {
        printError(refusal);
        return ExitFailure;
    }
    if (sub == QLatin1String("import")) {
        QFile in(arg);
        if (!(arg == QLatin1String("-") ? in.open(stdin, QIODevice::ReadOnly)
                                        : in.open(QIODevice::ReadOnly))) {
            printError(QStringLiteral("文件打不开：") + arg);
            return ExitFailure;
        }
        const accountdb::basedata::ImportResult result =
            accountdb::basedata::importCsv(db, *kind, in.readAll(), encoding, session.operatorId);
        for (const QString &error : result.errors)
            printError(error);
        return result.errors.isEmpty()
                   ? report(QString(), QStringLiteral("已导入%1条。").arg(result.imported))
                   : ExitFailure;
    }
    QVariantMap fields;
    if (!readSets(parser, fields))
        return ExitUsage;
    if (sub == QLatin1String("add")) {
        QString parent = accountdb::basedata::kRootId;
        if (parser.isSet(QStringLiteral("class"))) {
            parent = idOfCode(db, *kind, parser.value(QStringLiteral("class")));
            if (parent.isEmpty())
                return report(QStringLiteral("类别不存在：") + parser.value(QStringLiteral("class")),
                              QString());
        }
        return report(store.Save(QString(), parent, parser.isSet(QStringLiteral("is-class")), fields),
                      QStringLiteral("已新增。"));
    }
    const QString id = idOfCode(db, *kind, arg);
    if (id.isEmpty())
        return report(kind->caption + QStringLiteral("不存在：") + arg, QString());
    if (sub == QLatin1String("edit")) {
        QVariantMap merged = store.Row(id).Fields;
        for (auto it = fields.begin(); it != fields.end(); ++it)
            merged.insert(it.key(), it.value());
        return report(store.Save(id, QString(), false, merged), QStringLiteral("已修改。"));
    }
    if (sub == QLatin1String("hide")) {
        const bool show = parser.isSet(QStringLiteral("show"));
        return report(store.SetHidden(id, !show),
                      show ? QStringLiteral("已恢复显示。") : QStringLiteral("已隐藏。"));
    }
    if (sub == QLatin1String("delete"))
        return report(store.Delete(id), QStringLiteral("已删除。"));
    printError(QStringLiteral("不认识的子命令：") + sub);
    return ExitUsage;
}

} // namespace admin
