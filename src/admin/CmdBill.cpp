// orvane-admin bill new --type N --from-json FILE [--draft] [--ignore-warnings]
// Scripted bill entry over the bill window's save (P_Bill_Save): the file holds one bill object or an
// array of them. Base data is named by its codes:
//   {"date": "2026-01-05", "partner": "B01", "warehouse": "K01", "warehouse2": "K02", "handler": "E01",
//    "department": "D01", "summary": "...", "comment": "...", "number": "",
//    "lines": [{"goods": "P01", "qty": 10, "price": 5.5, "total": 55, "batch": "", "warehouse": "",
//               "comment": ""}]}
// Every bill passes the checks of the window (rights of the bill type, required fields, period, goods,
// stock limits unless --ignore-warnings); all bills are saved in one transaction or none is. Each saved
// bill prints "code<TAB>number<TAB>state".

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QXmlStreamWriter>

#include "AdminCommand.h"
#include "OperatorRights.h"
#include "Transaction.h"

namespace admin {

namespace {

struct BaseKind
{
    const char *table;
    const char *caption;
};
const BaseKind kGoods{"ptype", "存货"};
const BaseKind kPartners{"btype", "往来单位"};
const BaseKind kWarehouses{"stock", "仓库"};
const BaseKind kEmployees{"Employee", "职员"};
const BaseKind kDepartments{"Department", "部门"};

// The typeId of a record (not a class) of the kind with that code; empty code: empty id. False when
// there is none.
bool idOf(accountdb::AccountDatabase &db, const BaseKind &kind, const QString &code, QString &id,
          QString &error)
{
    id.clear();
    if (code.trimmed().isEmpty())
        return true;
    id = db.value(QStringLiteral("SELECT TypeId FROM %1 WHERE UserCode = ? AND Sonnum = 0 AND Deleted = 0")
                      .arg(QLatin1String(kind.table)),
                  {code.trimmed()})
             .toString();
    if (id.isEmpty())
        error = QStringLiteral("%1编号 %2 不存在。").arg(QString::fromUtf8(kind.caption), code.trimmed());
    return !id.isEmpty();
}

QString number(const QJsonValue &v)
{
    return v.isDouble() ? QString::number(v.toDouble(), 'g', 15) : v.toString();
}

// The procedure's inputs of one bill object; false with the reason.
bool billParams(accountdb::AccountDatabase &db, const QJsonObject &o, accountdb::ProcParams &p,
                QString &error)
{
    const auto text = [&](const char *key) { return o.value(QLatin1String(key)).toString(); };
    QString partner, warehouse, warehouse2, handler, department;
    if (!idOf(db, kPartners, text("partner"), partner, error) ||
        !idOf(db, kWarehouses, text("warehouse"), warehouse, error) ||
        !idOf(db, kWarehouses, text("warehouse2"), warehouse2, error) ||
        !idOf(db, kEmployees, text("handler"), handler, error) ||
        !idOf(db, kDepartments, text("department"), department, error))
        return false;
    QString xml;
    QXmlStreamWriter w(&xml);
    w.writeStartElement(QStringLiteral("Root"));
    const QJsonArray lines = o.value(QLatin1String("lines")).toArray();
    for (int i = 0; i < lines.size(); ++i) {
        const QJsonObject l = lines[i].toObject();
        QString goods, lineWarehouse;
        if (!idOf(db, kGoods, l.value(QLatin1String("goods")).toString(), goods, error) ||
            !idOf(db, kWarehouses, l.value(QLatin1String("warehouse")).toString(), lineWarehouse, error)) {
            error = QStringLiteral("第%1行：").arg(i + 1) + error;
            return false;
        }
        if (goods.isEmpty()) {
            error = QStringLiteral("第%1行：没有存货编号。").arg(i + 1);
            return false;
        }
        w.writeStartElement(QStringLiteral("Record"));
        w.writeAttribute(QStringLiteral("PtypeID"), goods);
        w.writeAttribute(QStringLiteral("KtypeID"), lineWarehouse);
        w.writeAttribute(QStringLiteral("BlockNo"), l.value(QLatin1String("batch")).toString());
        w.writeAttribute(QStringLiteral("Qty"), number(l.value(QLatin1String("qty"))));
        for (const char *key : {"price", "total"}) {
            if (l.contains(QLatin1String(key))) {
                QString name = QString::fromLatin1(key);
                name[0] = name[0].toUpper();
                w.writeAttribute(name, number(l.value(QLatin1String(key))));
            }
        }
        w.writeAttribute(QStringLiteral("Comment"), l.value(QLatin1String("comment")).toString());
        w.writeEndElement();
    }
    w.writeEndElement();
    p << accountdb::ProcParam{QStringLiteral("@szDate"), text("date")}
      << accountdb::ProcParam{QStringLiteral("@szNumber"), text("number")}
      << accountdb::ProcParam{QStringLiteral("@szBTypeID"), partner}
      << accountdb::ProcParam{QStringLiteral("@szETypeID"), handler}
      << accountdb::ProcParam{QStringLiteral("@szKTypeID"), warehouse}
      << accountdb::ProcParam{QStringLiteral("@szKTypeID2"), warehouse2}
      << accountdb::ProcParam{QStringLiteral("@szDTypeID"), department}
      << accountdb::ProcParam{QStringLiteral("@szSummary"), text("summary")}
      << accountdb::ProcParam{QStringLiteral("@szComment"), text("comment")}
      << accountdb::ProcParam{QStringLiteral("@szXML"), xml};
    return true;
}

QString outValue(const accountdb::ProcParams &p, const QString &name)
{
    for (const accountdb::ProcParam &param : p)
        if (param.name.compare(name, Qt::CaseInsensitive) == 0)
            return param.value.toString();
    return QString();
}

int newBills(const QCommandLineParser &parser)
{
    bool ok = false;
    const int vchType = parser.value(QStringLiteral("type")).toInt(&ok);
    if (!ok || vchType <= 0 || !parser.isSet(QStringLiteral("from-json"))) {
        printError(QStringLiteral("必须用 --type 给出单据类型编号，用 --from-json 给出单据文件。"));
        return ExitUsage;
    }
    QFile file(parser.value(QStringLiteral("from-json")));
    if (!file.open(QIODevice::ReadOnly)) {
        printError(QStringLiteral("不能读取单据文件：") + file.fileName());
        return ExitFailure;
    }
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parseError);
    if (doc.isNull()) {
        printError(QStringLiteral("单据文件不是有效的 JSON：") + parseError.errorString());
        return ExitFailure;
    }
    const QJsonArray bills = doc.isArray() ? doc.array() : QJsonArray{doc.object()};

    Session session = openSession(parser, RightBillEntry);
    accountdb::AccountDatabase &db = *session.db;
    const QVariant functionNo =
        db.value(QStringLiteral("SELECT FunctionNo FROM T_GBL_Vchtype WHERE Vchtype = ?"), {vchType});
    if (!functionNo.isValid()) {
        printError(QStringLiteral("单据类型 %1 不存在。").arg(vchType));
        return ExitFailure;
    }
    if (!session.manager && !accountdb::operatorHasRight(db, session.operatorId, functionNo.toInt())) {
        printError(QStringLiteral("你没有这个功能的权限，不能打开。"));
        return ExitFailure;
    }
    static const QStringList kStates = {QStringLiteral("已过账"), QStringLiteral("等待审核"),
                                        QStringLiteral("草稿")};
    QStringList saved;
    accountdb::Transaction transaction(db);
    for (int i = 0; i < bills.size(); ++i) {
        accountdb::ProcParams p{
            {QStringLiteral("@nVchcode"), 0},
            {QStringLiteral("@nVchType"), vchType},
            {QStringLiteral("@szOperatorID"), session.operatorId},
            {QStringLiteral("@szOperatorName"), session.operatorName},
            {QStringLiteral("@nMode"), parser.isSet(QStringLiteral("draft")) ? 0 : 1},
            {QStringLiteral("@bIgnoreWarn"), parser.isSet(QStringLiteral("ignore-warnings"))}};
        QString error;
        const int result = billParams(db, bills[i].toObject(), p, error)
                               ? db.callProc(QStringLiteral("P_Bill_Save"), p)
                               : -100;
        if (result < 0) {
            printError(QStringLiteral("第%1张单据没有保存：").arg(i + 1) +
                       (result == -100 ? error : outValue(p, QStringLiteral("@ErrMsg"))));
            return ExitFailure;
        }
        saved << outValue(p, QStringLiteral("@nVchcode")) + u'\t' + outValue(p, QStringLiteral("@szNumber")) +
                     u'\t' + kStates.value(result);
    }
    transaction.commit();
    for (const QString &line : std::as_const(saved))
        printLine(line);
    return ExitOk;
}

} // namespace

int cmdBill(const QStringList &args)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "录入单据：bill new --type N --from-json FILE 保存文件中的每一张单据（过账或提交审核）。"));
    addDbOption(parser);
    addOperatorOptions(parser);
    parser.addPositionalArgument(QStringLiteral("new"), QStringLiteral("录入新单据。"));
    parser.addOption(
        {QStringLiteral("type"), QStringLiteral("单据类型编号，例如 34（进货单）。"), QStringLiteral("N")});
    parser.addOption(
        {QStringLiteral("from-json"), QStringLiteral("单据文件（JSON）。"), QStringLiteral("FILE")});
    parser.addOption({QStringLiteral("draft"), QStringLiteral("只保存为草稿，不过账。")});
    parser.addOption({QStringLiteral("ignore-warnings"), QStringLiteral("库存超出上下限时仍然保存。")});
    if (const int code = parseCommand(parser, QStringLiteral("bill"), args, 1, 1); code >= 0)
        return code;
    if (parser.positionalArguments().constFirst() != QStringLiteral("new")) {
        printError(QStringLiteral("未知的子命令：") + parser.positionalArguments().constFirst());
        return ExitUsage;
    }
    return newBills(parser);
}

} // namespace admin
