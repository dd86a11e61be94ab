// Writes of base data (goods, partners, warehouses, employees, departments). Each procedure is one
// transaction and records the change in the event log. Refusals return -1 with the reason in @ErrMsg
// and change nothing.
//
// P_BASE_Save(@Kind, @TypeId, @ParId, @IsClass, @Fields, @OperatorId) -> @NewTypeId
//   adds a record or class under @ParId (empty @TypeId) or edits one; @Fields is a JSON object of
//   column -> value (the kind's fields plus UserCode and FullName).
// P_BASE_Delete(@Kind, @TypeId, @OperatorId)  only records used nowhere and empty classes
// P_BASE_Hide(@Kind, @TypeId, @Hidden, @OperatorId)  hides (Deleted = 1) or shows a record again
// P_BASE_Move(@Kind, @TypeId, @ParId, @OperatorId) -> @NewTypeId  a record, or a class with its subtree,
//   used nowhere to another class
// P_BASE_Import(@Kind, @Rows, @OperatorId, [@CheckOnly])  a JSON array of rows (fields plus
//   "Line", "ParentCode", "IsClass", "Hidden"); checks every row first, writes nothing when one fails
//   (@ErrMsg lists them by line) and returns the number of rows written.

#include "ProcsBaseData.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringDecoder>
#include <QStringEncoder>

#include "AccountDatabase.h"
#include "BaseRights.h"
#include "EventLog.h"
#include "OperatorRights.h"
#include "Procedures.h"

namespace accountdb {
namespace basedata {

namespace {

Field text(const char *column, const char *caption)
{
    return {QString::fromLatin1(column), QString::fromUtf8(caption), FieldType::Text};
}
Field integer(const char *column, const char *caption)
{
    return {QString::fromLatin1(column), QString::fromUtf8(caption), FieldType::Integer};
}
Field real(const char *column, const char *caption)
{
    return {QString::fromLatin1(column), QString::fromUtf8(caption), FieldType::Real};
}

const QString kUnit2 = QStringLiteral("Unit2");
const QString kRate2 = QStringLiteral("URate2");

} // namespace

const QList<Kind> &kinds()
{
    static const QList<Kind> all = {
        {QStringLiteral("goods"),
         QStringLiteral("ptype"),
         QStringLiteral("存货"),
         {text("Standard", "规格"), text("Type", "型号"), text("Unit1", "基本单位"),
          text("Unit2", "辅助单位"), real("URate2", "换算率"), integer("Costmode", "成本算法"),
          integer("KeepBatch", "批次管理"), integer("ShelfLife", "保质期天数"), real("RecPrice", "参考进价"),
          real("SalePrice", "参考售价"), real("TaxRate", "税率"), text("BarCode", "条码"),
          text("Comment", "备注")},
         u'P',
         1361},
        {QStringLiteral("partners"),
         QStringLiteral("btype"),
         QStringLiteral("往来单位"),
         {integer("BtypeKind", "单位类型"), text("Area", "地区"), text("TAXNUMBER", "税号"),
          text("TELANDADDRESS", "地址电话"), text("BANKANDACOUNT", "开户行及账号"), text("Person", "联系人"),
          real("CreditLimit", "信用额度"), text("Comment", "备注")},
         u'B',
         1362},
        {QStringLiteral("warehouses"),
         QStringLiteral("stock"),
         QStringLiteral("仓库"),
         {text("Address", "地址"), text("Person", "负责人"), text("Tel", "电话"), text("Comment", "备注")},
         u'K',
         1363},
        {QStringLiteral("employees"),
         QStringLiteral("Employee"),
         QStringLiteral("职员"),
         {text("Department", "部门"), text("Tel", "电话"), text("Comment", "备注")},
         QChar(),
         1364},
        {QStringLiteral("departments"),
         QStringLiteral("Department"),
         QStringLiteral("部门"),
         {text("Comment", "备注")},
         u'D',
         1365},
    };
    return all;
}

const Kind *findKind(const QString &name)
{
    for (const Kind &k : kinds())
        if (k.name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return &k;
    return nullptr;
}

QStringList fieldColumns(const Kind &kind)
{
    QStringList columns;
    for (const Field &f : kind.fields) {
        if (f.column == kUnit2)
            columns << QStringLiteral("u.Unit1");
        else if (f.column == kRate2)
            columns << QStringLiteral("u.URate");
        else
            columns << QStringLiteral("r.") + f.column;
    }
    return columns;
}

QString fieldJoin(const Kind &kind)
{
    return kind.name == QLatin1String("goods")
               ? QStringLiteral(" LEFT JOIN PtypeUnit u ON u.PtypeID = r.TypeId AND u.OrdID = 2")
               : QString();
}

QString pinyinInitials(const QString &text)
{
    // Level-1 characters of GB 2312 are ordered by pinyin: the first code of each initial.
    static const struct
    {
        int first;
        char letter;
    } kStarts[] = {{0xB0A1, 'A'}, {0xB0C5, 'B'}, {0xB2C1, 'C'}, {0xB4EE, 'D'}, {0xB6EA, 'E'}, {0xB7A2, 'F'},
                   {0xB8C1, 'G'}, {0xB9FE, 'H'}, {0xBBF7, 'J'}, {0xBFA6, 'K'}, {0xC0AC, 'L'}, {0xC2E8, 'M'},
                   {0xC4C3, 'N'}, {0xC5B6, 'O'}, {0xC5BE, 'P'}, {0xC6DA, 'Q'}, {0xC8BB, 'R'}, {0xC8F6, 'S'},
                   {0xCBFA, 'T'}, {0xCDDA, 'W'}, {0xCEF4, 'X'}, {0xD1B9, 'Y'}, {0xD4D1, 'Z'}};
    constexpr int kLevel1End = 0xD7F9;
    QString initials;
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            if (c.isLetterOrNumber())
                initials += c.toUpper();
            continue;
        }
        const QByteArray gb = gbkEncode(QString(c));
        if (gb.size() != 2)
            continue;
        const int code = (uchar(gb[0]) << 8) | uchar(gb[1]);
        if (code < kStarts[0].first || code > kLevel1End)
            continue;
        char letter = 'A';
        for (const auto &s : kStarts)
            if (code >= s.first)
                letter = s.letter;
        initials += QLatin1Char(letter);
    }
    return initials;
}

namespace {

// One place a record may be used: a query whose every "?" is the record's id and whose first row, when
// there is one, names the use through its first column (%1 of "what").
struct Use
{
    QString sql;
    QString what;
};

QString billNumber(const QString &alias)
{
    return QStringLiteral("CASE WHEN %1.Number = '' THEN CAST(%1.Vchcode AS TEXT) ELSE %1.Number END")
        .arg(alias);
}

QList<Use> usesOf(const Kind &kind)
{
    const QString bill = QStringLiteral("单据“%1”");
    const QString opening = QStringLiteral("期初数据");
    const QString closing = QStringLiteral("结账数据");
    QList<Use> uses;
    const auto headers = [&](std::initializer_list<const char *> columns) {
        for (const char *c : columns)
            uses << Use{QStringLiteral("SELECT %1 FROM DlyNdx n WHERE n.%2 = ? ORDER BY n.Vchcode LIMIT 1")
                            .arg(billNumber(QStringLiteral("n")), QLatin1String(c)),
                        bill};
    };
    const auto lines = [&](const char *column, std::initializer_list<const char *> tables) {
        for (const char *t : tables)
            uses << Use{QStringLiteral("SELECT %1 FROM %2 d JOIN DlyNdx n ON n.Vchcode = d.Vchcode "
                                       "WHERE d.%3 = ? ORDER BY n.Vchcode LIMIT 1")
                            .arg(billNumber(QStringLiteral("n")), QLatin1String(t), QLatin1String(column)),
                        bill};
    };
    const auto counted = [&](const char *table, const char *column, const QString &what) {
        uses << Use{QStringLiteral("SELECT 1 FROM %1 WHERE %2 = ? LIMIT 1")
                        .arg(QLatin1String(table), QLatin1String(column)),
                    what};
    };
    // The audit flows name an employee (entry type 0) or a department (entry type 1) per level.
    const auto auditFlows = [&](int operatorType) {
        for (const char *t : {"\"AuditDetail-E\"", "\"AuditNdx-E\""})
            uses << Use{
                QStringLiteral("SELECT coalesce(v.Name, CAST(x.Vchtype AS TEXT)) FROM %1 x "
                               "LEFT JOIN T_GBL_Vchtype v ON v.Vchtype = x.Vchtype "
                               "WHERE x.EtypeID = ? AND x.OperatorType = %2 ORDER BY x.Vchtype LIMIT 1")
                    .arg(QLatin1String(t))
                    .arg(operatorType),
                QStringLiteral("“%1”的审核流程")};
    };
    if (kind.name == QLatin1String("goods")) {
        lines("PtypeId", {"DlyBuy", "DlySale", "DlyOther", "BakDly"});
        for (const char *t :
             {"DlyIni", "DlyIniCom", "DlyIniProduce", "DlyIniConsign", "GoodsStocks", "GoodsStocksOther"})
            counted(t, "PtypeId", opening);
        counted("T_Jxc_PtypeWarn", "PtypeId", QStringLiteral("库存报警"));
        counted("T_Jxc_PeriodBalance", "PtypeId", closing);
        counted("GoodsStocksCost", "PtypeId", closing);
        counted("BatchRoleDetail", "PtypeId", QStringLiteral("批次任务"));
        counted("BatchConsignTaskDetail", "PtypeId", QStringLiteral("批次任务"));
    } else if (kind.name == QLatin1String("partners")) {
        headers({"BtypeId", "BtypeId2"});
        lines("BtypeId", {"DlyBuy", "DlySale", "DlyOther"});
    } else if (kind.name == QLatin1String("warehouses")) {
        headers({"KtypeId", "KTypeID2"});
        lines("KtypeId", {"DlyBuy", "DlySale", "DlyOther", "BakDly"});
        counted("DlyNdxIni", "KtypeId", opening);
        counted("GoodsStocks", "KtypeId", opening);
        counted("T_Jxc_PtypeWarn", "KtypeId", QStringLiteral("库存报警"));
        counted("T_Jxc_PeriodBalance", "KtypeId", closing);
        counted("GoodsStocksCost", "KTypeID", closing);
    } else if (kind.name == QLatin1String("employees")) {
        counted("T_GBL_LoginUser", "ETypeId", QStringLiteral("操作员"));
        headers({"EtypeId"});
        lines("EtypeId", {"DlyBuy", "DlySale", "DlyOther"});
        counted("DlyNdxIni", "EtypeId", opening);
        auditFlows(0);
        uses << Use{
            QStringLiteral("SELECT FullName FROM Department WHERE etypeid = ? ORDER BY typeId LIMIT 1"),
            QStringLiteral("部门“%1”（负责人）")};
    } else if (kind.name == QLatin1String("departments")) {
        headers({"DtypeId"});
        auditFlows(1);
    }
    // Grants of base-data rights groups: the record is named in a group's list (an employee: he is a
    // group's member).
    for (const baserights::Kind &k : baserights::kinds()) {
        if (kind.name == QLatin1String("employees"))
            uses << Use{QStringLiteral("SELECT g.RightName FROM %1 m JOIN %2 g ON g.%3 = m.%3 "
                                       "WHERE m.EtypeID = ? ORDER BY g.%3 LIMIT 1")
                            .arg(k.memberTable, k.groupTable, k.groupColumn),
                        QStringLiteral("基本信息授权组“%1”")};
        if (k.baseTable.compare(kind.table, Qt::CaseInsensitive) == 0)
            uses << Use{QStringLiteral("SELECT g.RightName FROM %1 r JOIN %2 g ON g.%3 = r.%3 "
                                       "WHERE r.TypeID = ? AND r.Deleted = 0 ORDER BY g.%3 LIMIT 1")
                            .arg(k.grantTable, k.groupTable, k.groupColumn),
                        QStringLiteral("基本信息授权组“%1”")};
    }
    return uses;
}

} // namespace

QString whereUsed(AccountDatabase &db, const Kind &kind, const QString &typeId)
{
    for (const Use &use : usesOf(kind)) {
        const ResultSet rs = db.query(use.sql, QVariantList(use.sql.count(u'?'), typeId));
        if (!rs.rows.isEmpty())
            return use.what.contains(QLatin1String("%1")) ? use.what.arg(rs.rows[0][0].toString()) : use.what;
    }
    return QString();
}

QString rightsFilter(const Kind &kind, const QString &alias)
{
    if (kind.rights.isNull())
        return QString();
    return QStringLiteral("%1.TypeId NOT IN (%2)").arg(alias, baserights::notAllowedSql(kind.rights));
}

QString changeRefusal(AccountDatabase &db, const Kind &kind, const QString &operatorId, const QString &typeId)
{
    const ResultSet op =
        db.query(QStringLiteral("SELECT IsManager FROM T_GBL_LoginUser WHERE ETypeId = ?"), {operatorId});
    if (operatorId == QLatin1String("00000") || (!op.rows.isEmpty() && op.rows[0][0].toInt() == 1))
        return QString(); // the administrator and the supervisor
    if (!operatorHasRight(db, operatorId, kind.functionNo))
        return QStringLiteral("你没有维护%1的权限。").arg(kind.caption);
    if (typeId.isEmpty() || kind.rights.isNull())
        return QString();
    if (db.value(QStringLiteral("SELECT count(*) FROM (%1) AS x WHERE x.TypeId = ?")
                     .arg(baserights::notAllowedSql(kind.rights)),
                 {operatorId, typeId})
            .toInt() > 0)
        return QStringLiteral("你没有这个%1的基本信息权限，不能修改。").arg(kind.caption);
    return QString();
}

namespace {

QString errText(const Kind &kind, const QString &what)
{
    return kind.caption + what;
}

// Field values of a JSON object in the types of the kind's columns; false with a message when one is bad.
bool readFields(const Kind &kind, const QJsonObject &in, QVariantMap &out, QString *error)
{
    const auto textOf = [&](const QString &column) {
        for (auto it = in.begin(); it != in.end(); ++it)
            if (it.key().compare(column, Qt::CaseInsensitive) == 0)
                return it.value().isDouble() ? QString::number(it.value().toDouble(), 'g', 15)
                                             : it.value().toString().trimmed();
        return QString();
    };
    out.insert(QStringLiteral("UserCode"), textOf(QStringLiteral("UserCode")));
    out.insert(QStringLiteral("FullName"), textOf(QStringLiteral("FullName")));
    if (out.value(QStringLiteral("UserCode")).toString().isEmpty()) {
        *error = QStringLiteral("编号不能为空");
        return false;
    }
    if (out.value(QStringLiteral("FullName")).toString().isEmpty()) {
        *error = QStringLiteral("名称不能为空");
        return false;
    }
    for (const Field &f : kind.fields) {
        const QString value = textOf(f.column);
        bool ok = true;
        switch (f.type) {
        case FieldType::Text:
            out.insert(f.column, value);
            break;
        case FieldType::Integer:
            out.insert(f.column, value.isEmpty() ? 0 : value.toInt(&ok));
            break;
        case FieldType::Real:
            out.insert(f.column, value.isEmpty() ? 0.0 : value.toDouble(&ok));
            break;
        }
        if (!ok) {
            *error = QStringLiteral("“%1”不是数字：%2").arg(f.caption, value);
            return false;
        }
    }
    const auto number = [&](const char *c) { return out.value(QLatin1String(c)).toDouble(); };
    if (kind.name == QLatin1String("goods")) {
        if (!QList<int>{0, 1, 3, 4}.contains(out.value(QStringLiteral("Costmode")).toInt())) {
            *error = QStringLiteral(
                "成本算法只能是0（移动加权平均）、1（先进先出）、3（个别计价）或4（全月一次加权平均）");
            return false;
        }
        if (out.value(QStringLiteral("Unit2")).toString().isEmpty())
            out.insert(kRate2, 0.0);
        else if (number("URate2") <= 0) {
            *error = QStringLiteral("辅助单位的换算率必须大于0");
            return false;
        }
        if (number("TaxRate") < 0 || number("TaxRate") > 100 || number("ShelfLife") < 0) {
            *error = QStringLiteral("税率应在0到100之间，保质期天数不能为负");
            return false;
        }
    }
    if (kind.name == QLatin1String("partners") && !QList<int>{0, 1, 2}.contains(number("BtypeKind"))) {
        *error = QStringLiteral("单位类型只能是0（供应商）、1（客户）或2（客户和供应商）");
        return false;
    }
    return true;
}

struct Node
{
    QString typeId, parId;
    int level = 0;
    bool isClass = false;
    bool found = false;
};

Node node(AccountDatabase &db, const Kind &kind, const QString &typeId)
{
    Node n;
    n.typeId = typeId;
    if (typeId == kRootId) {
        n.isClass = n.found = true;
        return n;
    }
    const ResultSet rs = db.query(
        QStringLiteral("SELECT ParId, Leveal, IsClass FROM %1 WHERE TypeId = ?").arg(kind.table), {typeId});
    if (!rs.rows.isEmpty()) {
        n.found = true;
        n.parId = rs.rows[0][0].toString();
        n.level = rs.rows[0][1].toInt();
        n.isClass = rs.rows[0][2].toInt() == 1;
    }
    return n;
}

// The next free id under a parent: its id + 5 digits (five digits alone under the root).
QString nextChildId(AccountDatabase &db, const Kind &kind, const QString &parId)
{
    const QString prefix = parId == kRootId ? QString() : parId;
    int highest = 0;
    const ResultSet rs =
        db.query(QStringLiteral("SELECT TypeId FROM %1 WHERE ParId = ?").arg(kind.table), {parId});
    for (const QVariantList &row : rs.rows) {
        const QString id = row[0].toString();
        if (id.size() == prefix.size() + 5 && id.startsWith(prefix))
            highest = std::max(highest, id.right(5).toInt());
    }
    for (int n = highest + 1;; ++n) {
        const QString id = prefix + QStringLiteral("%1").arg(n, 5, 10, QLatin1Char('0'));
        if (db.value(QStringLiteral("SELECT count(*) FROM %1 WHERE TypeId = ?").arg(kind.table), {id})
                .toInt() == 0)
            return id;
    }
}

void recountChildren(AccountDatabase &db, const Kind &kind, const QString &parId)
{
    if (parId == kRootId || parId.isEmpty())
        return;
    db.exec(QStringLiteral("UPDATE %1 SET Sonnum = (SELECT count(*) FROM %1 c WHERE c.ParId = ?), "
                           "Soncount = (SELECT count(*) FROM %1 c WHERE c.ParId = ?) WHERE TypeId = ?")
                .arg(kind.table),
            {parId, parId, parId});
}

// Checks that a record of these fields may be stored under the parent (with this id when it exists).
bool checkRecord(AccountDatabase &db, const Kind &kind, const QString &typeId, const QString &parId,
                 const QVariantMap &fields, QString *error)
{
    const Node parent = node(db, kind, parId);
    if (!parent.found || !parent.isClass) {
        *error = QStringLiteral("上级类别不存在");
        return false;
    }
    const QString code = fields.value(QStringLiteral("UserCode")).toString();
    if (db.value(QStringLiteral("SELECT count(*) FROM %1 WHERE UserCode = ? AND TypeId <> ?").arg(kind.table),
                 {code, typeId})
            .toInt() > 0) {
        *error = QStringLiteral("编号“%1”已经存在").arg(code);
        return false;
    }
    if (kind.name == QLatin1String("goods") && !typeId.isEmpty()) {
        const int before =
            db.value(QStringLiteral("SELECT Costmode FROM ptype WHERE TypeId = ?"), {typeId}).toInt();
        if (before != fields.value(QStringLiteral("Costmode")).toInt()) {
            for (const char *t : {"DlyBuy", "DlySale", "DlyOther"}) {
                if (db.value(QStringLiteral("SELECT count(*) FROM %1 WHERE PtypeId = ? AND Period IN "
                                            "(SELECT Period FROM T_Jxc_CheckOutLog)")
                                 .arg(QLatin1String(t)),
                             {typeId})
                        .toInt() > 0) {
                    *error = QStringLiteral("已有结账期间的单据，不能修改成本算法");
                    return false;
                }
            }
        }
    }
    return true;
}

// Stores a checked record; returns its id.
QString storeRecord(AccountDatabase &db, const Kind &kind, QString typeId, const QString &parId, bool isClass,
                    const QVariantMap &fields)
{
    QStringList columns{QStringLiteral("UserCode"), QStringLiteral("FullName"), QStringLiteral("PinyinCode")};
    QVariantList values{fields.value(QStringLiteral("UserCode")), fields.value(QStringLiteral("FullName")),
                        pinyinInitials(fields.value(QStringLiteral("FullName")).toString())};
    if (kind.table != QLatin1String("Employee")) {
        columns << QStringLiteral("Name");
        values << fields.value(QStringLiteral("FullName"));
    }
    for (const Field &f : kind.fields) {
        if (f.column == kUnit2 || f.column == kRate2)
            continue;
        columns << f.column;
        values << fields.value(f.column);
    }
    if (typeId.isEmpty()) {
        typeId = nextChildId(db, kind, parId);
        const int level = node(db, kind, parId).level + 1;
        columns << QStringLiteral("TypeId") << QStringLiteral("ParId") << QStringLiteral("Leveal")
                << QStringLiteral("IsClass");
        values << typeId << parId << level << (isClass ? 1 : 0);
        db.exec(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                    .arg(kind.table, columns.join(QStringLiteral(", ")),
                         QStringList(columns.size(), QStringLiteral("?")).join(QStringLiteral(", "))),
                values);
        recountChildren(db, kind, parId);
    } else {
        QStringList sets;
        for (const QString &c : columns)
            sets << c + QStringLiteral(" = ?");
        values << typeId;
        db.exec(QStringLiteral("UPDATE %1 SET %2 WHERE TypeId = ?")
                    .arg(kind.table, sets.join(QStringLiteral(", "))),
                values);
    }
    if (kind.name == QLatin1String("goods") && !isClass) {
        // Base unit first, then the second unit with its conversion rate.
        db.exec(QStringLiteral("DELETE FROM PtypeUnit WHERE PtypeID = ?"), {typeId});
        const QString unit1 = fields.value(QStringLiteral("Unit1")).toString();
        const QString unit2 = fields.value(kUnit2).toString();
        if (!unit1.isEmpty())
            db.exec(
                QStringLiteral(
                    "INSERT INTO PtypeUnit (PtypeID, OrdID, Unit1, URate, Barcode) VALUES (?, 1, ?, 1, ?)"),
                {typeId, unit1, fields.value(QStringLiteral("BarCode"))});
        if (!unit2.isEmpty())
            db.exec(
                QStringLiteral("INSERT INTO PtypeUnit (PtypeID, OrdID, Unit1, URate) VALUES (?, 2, ?, ?)"),
                {typeId, unit2, fields.value(kRate2)});
    }
    return typeId;
}

// storeRecord() in a savepoint of its own. Two workstations storing one code at the same instant both
// pass checkRecord(); the unique index on the code refuses the later one, which then gets the same
// message as a code stored long before. A new record that met another workstation's new record on its
// id (both took the next free one) is stored again with the next id. Empty on a refused code.
QString storeUnique(AccountDatabase &db, const Kind &kind, const QString &typeId, const QString &parId,
                    bool isClass, const QVariantMap &fields, QString *error)
{
    const QString code = fields.value(QStringLiteral("UserCode")).toString();
    for (int attempt = 1;; ++attempt) {
        db.exec(QStringLiteral("SAVEPOINT base_store"));
        try {
            const QString id = storeRecord(db, kind, typeId, parId, isClass, fields);
            db.exec(QStringLiteral("RELEASE base_store"));
            return id;
        } catch (const DbError &) {
            db.exec(QStringLiteral("ROLLBACK TO base_store"));
            db.exec(QStringLiteral("RELEASE base_store"));
            if (db.value(QStringLiteral("SELECT count(*) FROM %1 WHERE UserCode = ? AND TypeId <> ?")
                             .arg(kind.table),
                         {code, typeId})
                    .toInt() > 0) {
                *error = QStringLiteral("编号“%1”已经存在").arg(code);
                return QString();
            }
            if (attempt == 2 || !typeId.isEmpty())
                throw;
        }
    }
}

const Kind *kindOf(ProcContext &ctx)
{
    const Kind *kind = findKind(ctx.in(QStringLiteral("@Kind")).toString());
    if (!kind)
        ctx.setOut(QStringLiteral("@ErrMsg"),
                   QStringLiteral("没有这种基本信息：") + ctx.in(QStringLiteral("@Kind")).toString());
    return kind;
}

int refuse(ProcContext &ctx, const QString &message)
{
    ctx.setOut(QStringLiteral("@ErrMsg"), message);
    return -1;
}

QString recordText(const QVariantMap &fields)
{
    return QStringLiteral("%1 %2").arg(fields.value(QStringLiteral("UserCode")).toString(),
                                       fields.value(QStringLiteral("FullName")).toString());
}

QString storedText(AccountDatabase &db, const Kind &kind, const QString &typeId)
{
    const ResultSet rs = db.query(
        QStringLiteral("SELECT UserCode, FullName FROM %1 WHERE TypeId = ?").arg(kind.table), {typeId});
    return rs.rows.isEmpty() ? typeId : rs.rows[0][0].toString() + u' ' + rs.rows[0][1].toString();
}

void logChange(ProcContext &ctx, const Kind &kind, const QString &what)
{
    writeEvent(ctx, ctx.in(QStringLiteral("@OperatorId")).toString(),
               event::BaseDataChange.arg(kind.caption + what));
}

int procSave(ProcContext &ctx)
{
    const Kind *kind = kindOf(ctx);
    if (!kind)
        return -1;
    AccountDatabase &db = ctx.database();
    const QString typeId = ctx.in(QStringLiteral("@TypeId")).toString().trimmed();
    QString parId = ctx.in(QStringLiteral("@ParId")).toString().trimmed();
    bool isClass = ctx.in(QStringLiteral("@IsClass")).toInt() == 1;
    if (const QString refusal =
            changeRefusal(db, *kind, ctx.in(QStringLiteral("@OperatorId")).toString(), typeId);
        !refusal.isEmpty())
        return refuse(ctx, refusal);
    if (!typeId.isEmpty()) {
        const Node existing = node(db, *kind, typeId);
        if (!existing.found || typeId == kRootId)
            return refuse(ctx, errText(*kind, QStringLiteral("不存在")));
        parId = existing.parId;
        isClass = existing.isClass;
    } else if (parId.isEmpty()) {
        parId = kRootId;
    }
    QVariantMap fields;
    QString error;
    const QJsonObject json =
        QJsonDocument::fromJson(ctx.in(QStringLiteral("@Fields")).toString().toUtf8()).object();
    if (!readFields(*kind, json, fields, &error) || !checkRecord(db, *kind, typeId, parId, fields, &error))
        return refuse(ctx, error + u'。');
    const QString id = storeUnique(db, *kind, typeId, parId, isClass, fields, &error);
    if (id.isEmpty())
        return refuse(ctx, error + u'。');
    ctx.setOut(QStringLiteral("@NewTypeId"), id);
    logChange(ctx, *kind,
              (typeId.isEmpty() ? QStringLiteral("新增") : QStringLiteral("修改")) + recordText(fields));
    return 0;
}

// The record of @Kind and @TypeId a procedure works on; false (with @ErrMsg set) when there is none.
struct Target
{
    const Kind *kind = nullptr;
    QString typeId;
    Node node;
};

bool readTarget(ProcContext &ctx, Target &t)
{
    t.kind = kindOf(ctx);
    if (!t.kind)
        return false;
    t.typeId = ctx.in(QStringLiteral("@TypeId")).toString().trimmed();
    t.node = node(ctx.database(), *t.kind, t.typeId);
    if (!t.node.found || t.typeId == kRootId) {
        refuse(ctx, errText(*t.kind, QStringLiteral("不存在。")));
        return false;
    }
    const QString refusal =
        changeRefusal(ctx.database(), *t.kind, ctx.in(QStringLiteral("@OperatorId")).toString(), t.typeId);
    if (!refusal.isEmpty()) {
        refuse(ctx, refusal);
        return false;
    }
    return true;
}

int procDelete(ProcContext &ctx)
{
    Target t;
    if (!readTarget(ctx, t))
        return -1;
    AccountDatabase &db = ctx.database();
    const Kind *kind = t.kind;
    const QString &typeId = t.typeId;
    const Node &n = t.node;
    const QString label = storedText(db, *kind, typeId);
    if (db.value(QStringLiteral("SELECT count(*) FROM %1 WHERE ParId = ?").arg(kind->table), {typeId})
            .toInt() > 0)
        return refuse(ctx, QStringLiteral("类别“%1”下还有记录，不能删除。").arg(label));
    const QString used = whereUsed(db, *kind, typeId);
    if (!used.isEmpty())
        return refuse(
            ctx, QStringLiteral("%1“%2”已被%3使用，不能删除，只能隐藏。").arg(kind->caption, label, used));
    if (kind->name == QLatin1String("goods"))
        db.exec(QStringLiteral("DELETE FROM PtypeUnit WHERE PtypeID = ?"), {typeId});
    db.exec(QStringLiteral("DELETE FROM %1 WHERE TypeId = ?").arg(kind->table), {typeId});
    recountChildren(db, *kind, n.parId);
    logChange(ctx, *kind, QStringLiteral("删除") + label);
    return 0;
}

int procHide(ProcContext &ctx)
{
    Target t;
    if (!readTarget(ctx, t))
        return -1;
    AccountDatabase &db = ctx.database();
    const Kind *kind = t.kind;
    const QString &typeId = t.typeId;
    const bool hidden = ctx.in(QStringLiteral("@Hidden")).toInt() == 1;
    db.exec(QStringLiteral("UPDATE %1 SET Deleted = ? WHERE TypeId = ?").arg(kind->table),
            {hidden ? 1 : 0, typeId});
    logChange(ctx, *kind,
              (hidden ? QStringLiteral("隐藏") : QStringLiteral("取消隐藏")) + storedText(db, *kind, typeId));
    return 0;
}

// A record, or a class with everything under it, to another class. Ids carry their class, so the moved
// rows get new ids (their order kept) and nothing in use may move.
int procMove(ProcContext &ctx)
{
    Target t;
    if (!readTarget(ctx, t))
        return -1;
    AccountDatabase &db = ctx.database();
    const Kind &kind = *t.kind;
    const QString &typeId = t.typeId;
    const QString parId = ctx.in(QStringLiteral("@ParId")).toString().trimmed();
    const Node target = node(db, kind, parId);
    if (!target.found || !target.isClass)
        return refuse(ctx, QStringLiteral("目标类别不存在。"));
    if (parId.startsWith(typeId))
        return refuse(ctx, QStringLiteral("类别不能移到它自己或它的下级类别中。"));
    const QString pattern = typeId + u'%'; // ids are digits: nothing to escape
    const ResultSet moved =
        db.query(QStringLiteral("SELECT TypeId, ParId, Leveal FROM %1 WHERE TypeId LIKE ? ORDER BY TypeId")
                     .arg(kind.table),
                 {pattern});
    for (const QVariantList &row : moved.rows) {
        const QString used = whereUsed(db, kind, row[0].toString());
        if (!used.isEmpty())
            return refuse(ctx, QStringLiteral("%1“%2”已被%3使用，不能移到其他类别。")
                                   .arg(kind.caption, storedText(db, kind, row[0].toString()), used));
    }
    const QString label = storedText(db, kind, typeId);
    const QString newId = nextChildId(db, kind, parId);
    const auto renamed = [&](const QString &id) { return newId + id.mid(typeId.size()); };
    // The goods' units refer to their ids: set aside and put back under the new ones.
    ResultSet units;
    const bool goods = kind.name == QLatin1String("goods");
    if (goods) {
        units = db.query(QStringLiteral("SELECT PtypeID, OrdID, Unit1, URate, Barcode FROM PtypeUnit "
                                        "WHERE PtypeID LIKE ?"),
                         {pattern});
        db.exec(QStringLiteral("DELETE FROM PtypeUnit WHERE PtypeID LIKE ?"), {pattern});
    }
    const int shift = target.level + 1 - t.node.level;
    for (const QVariantList &row : moved.rows) {
        const QString id = row[0].toString();
        db.exec(QStringLiteral("UPDATE %1 SET TypeId = ?, ParId = ?, Leveal = ? WHERE TypeId = ?")
                    .arg(kind.table),
                {renamed(id), id == typeId ? parId : renamed(row[1].toString()), row[2].toInt() + shift, id});
    }
    for (QVariantList unit : units.rows) {
        unit[0] = renamed(unit[0].toString());
        db.exec(QStringLiteral(
                    "INSERT INTO PtypeUnit (PtypeID, OrdID, Unit1, URate, Barcode) VALUES (?, ?, ?, ?, ?)"),
                unit);
    }
    recountChildren(db, kind, t.node.parId);
    recountChildren(db, kind, parId);
    ctx.setOut(QStringLiteral("@NewTypeId"), newId);
    logChange(ctx, kind, QStringLiteral("移动") + label);
    return 0;
}

int procImport(ProcContext &ctx)
{
    const Kind *kind = kindOf(ctx);
    if (!kind)
        return -1;
    AccountDatabase &db = ctx.database();
    if (const QString refusal = changeRefusal(db, *kind, ctx.in(QStringLiteral("@OperatorId")).toString());
        !refusal.isEmpty())
        return refuse(ctx, refusal);
    const QJsonArray rows =
        QJsonDocument::fromJson(ctx.in(QStringLiteral("@Rows")).toString().toUtf8()).array();
    struct Row
    {
        int line;
        QString parentCode;
        bool isClass;
        bool hidden;
        QVariantMap fields;
    };
    QList<Row> checked;
    QStringList errors;
    QHash<QString, bool> codesInFile; // code -> is a class
    for (const QJsonValue &v : rows) {
        const QJsonObject o = v.toObject();
        Row r{o.value(QStringLiteral("Line")).toInt(),
              o.value(QStringLiteral("ParentCode")).toString().trimmed(),
              o.value(QStringLiteral("IsClass")).toInt() == 1,
              o.value(QStringLiteral("Hidden")).toInt() == 1,
              {}};
        QString error;
        const bool readable = readFields(*kind, o, r.fields, &error);
        const QString code = r.fields.value(QStringLiteral("UserCode")).toString();
        if (readable) {
            const QString parentId =
                r.parentCode.isEmpty()
                    ? kRootId
                    : db.value(QStringLiteral("SELECT TypeId FROM %1 WHERE UserCode = ?").arg(kind->table),
                               {r.parentCode})
                          .toString();
            if (codesInFile.contains(code))
                error = QStringLiteral("编号“%1”在文件中重复").arg(code);
            else if (!r.parentCode.isEmpty() && parentId.isEmpty() && !codesInFile.value(r.parentCode))
                error = QStringLiteral("上级类别“%1”不存在").arg(r.parentCode);
            else if (!parentId.isEmpty())
                checkRecord(db, *kind, QString(), parentId, r.fields, &error);
            else if (db.value(QStringLiteral("SELECT count(*) FROM %1 WHERE UserCode = ?").arg(kind->table),
                              {code})
                         .toInt() > 0)
                error = QStringLiteral("编号“%1”已经存在").arg(code);
        }
        if (!code.isEmpty() && !codesInFile.contains(code))
            codesInFile.insert(code, r.isClass);
        if (!error.isEmpty())
            errors << QStringLiteral("第%1行：%2").arg(r.line).arg(error);
        checked << r;
    }
    if (!errors.isEmpty())
        return refuse(ctx, errors.join(u'\n'));
    if (ctx.in(QStringLiteral("@CheckOnly")).toInt() == 1)
        return 0;
    for (const Row &r : checked) {
        const QString parentId =
            r.parentCode.isEmpty()
                ? kRootId
                : db.value(QStringLiteral("SELECT TypeId FROM %1 WHERE UserCode = ?").arg(kind->table),
                           {r.parentCode})
                      .toString();
        const QString id = storeRecord(db, *kind, QString(), parentId, r.isClass, r.fields);
        if (r.hidden)
            db.exec(QStringLiteral("UPDATE %1 SET Deleted = 1 WHERE TypeId = ?").arg(kind->table), {id});
    }
    logChange(ctx, *kind, QStringLiteral("导入%1条").arg(checked.size()));
    return int(checked.size());
}

} // namespace
} // namespace basedata

void registerBaseDataProcs(ProcRegistry &registry)
{
    registry.add(QStringLiteral("P_BASE_Save"), &basedata::procSave);
    registry.add(QStringLiteral("P_BASE_Delete"), &basedata::procDelete);
    registry.add(QStringLiteral("P_BASE_Hide"), &basedata::procHide);
    registry.add(QStringLiteral("P_BASE_Move"), &basedata::procMove);
    registry.add(QStringLiteral("P_BASE_Import"), &basedata::procImport);
}

} // namespace accountdb
