#include "HostBaseData.h"

#include "AccountDatabase.h"
#include "HostSchema.h"

#include <QSqlRecord>

namespace HostBaseData {
namespace {

struct TKindDef
{
    const char *Kind;
    const char *Caption;
    QStringList Tables; // first one the account set has wins
};

const QList<TKindDef> &KindDefs()
{
    static const QList<TKindDef> defs = {
        {"Vchtype", "单据类型", {QStringLiteral("T_GBL_Vchtype")}},
        {"Ptype", "存货", {QStringLiteral("Ptype")}},
        {"Stock", "仓库", {QStringLiteral("Stock")}},
        {"Employee", "职员", {QStringLiteral("Employee")}},
        {"Unit", "计量单位", {QStringLiteral("Unit"), QStringLiteral("T_Gbl_Unit")}},
        {"Department", "部门", {QStringLiteral("Department")}},
        {"Atype", "会计科目", {QStringLiteral("Atype")}},
        {"Btype", "往来单位", {QStringLiteral("Btype")}},
    };
    return defs;
}

QString Quoted(const QString &identifier)
{
    return u'"' + identifier + u'"';
}

} // namespace

QStringList Kinds()
{
    QStringList kinds;
    for (const TKindDef &d : KindDefs())
        kinds << QString::fromLatin1(d.Kind);
    return kinds;
}

TBaseKind Resolve(accountdb::AccountDatabase &db, const QString &kind)
{
    TBaseKind k;
    k.Kind = kind;
    for (const TKindDef &d : KindDefs()) {
        if (kind.compare(QLatin1String(d.Kind), Qt::CaseInsensitive) != 0)
            continue;
        k.Kind = QString::fromLatin1(d.Kind);
        k.Caption = QString::fromUtf8(d.Caption);
        for (const QString &t : d.Tables) {
            k.Table = HostSchema::TableName(db, t);
            if (!k.Table.isEmpty())
                break;
        }
        break;
    }
    if (k.Table.isEmpty())
        return k;
    const QStringList columns = HostSchema::Columns(db, k.Table);
    if (k.Kind == QLatin1String("Vchtype")) {
        // Bill types are numbered; the number is both their id and their code.
        k.IdColumn = k.CodeColumn = HostSchema::FindColumn(columns, {QStringLiteral("Vchtype")});
        k.NameColumn = HostSchema::FindColumn(columns, {QStringLiteral("Name"), QStringLiteral("FullName")});
        const QString visible = HostSchema::FindColumn(columns, {QStringLiteral("Visible")});
        if (!visible.isEmpty())
            k.Conditions << Quoted(visible) + QStringLiteral(" = 1");
    } else {
        k.IdColumn = HostSchema::FindColumn(columns, {QStringLiteral("TypeId"), QStringLiteral("Id")});
        k.CodeColumn = HostSchema::FindColumn(columns, {QStringLiteral("UserCode"), QStringLiteral("Code")});
        k.NameColumn = HostSchema::FindColumn(columns, {QStringLiteral("FullName"), QStringLiteral("Name")});
        const QString deleted = HostSchema::FindColumn(columns, {QStringLiteral("Deleted")});
        if (!deleted.isEmpty())
            k.Conditions << Quoted(deleted) + QStringLiteral(" = 0");
        // Classes (rows with children) group the data; only leaves are picked.
        const QString sonnum = HostSchema::FindColumn(columns, {QStringLiteral("Sonnum")});
        if (!sonnum.isEmpty())
            k.Conditions << Quoted(sonnum) + QStringLiteral(" = 0");
        const QString isClass = HostSchema::FindColumn(columns, {QStringLiteral("IsClass")});
        if (!isClass.isEmpty())
            k.Conditions << Quoted(isClass) + QStringLiteral(" = 0");
        k.PinyinColumn = HostSchema::FindColumn(columns, {QStringLiteral("PinyinCode")});
        // The system administrator is an operator, not an employee of the company.
        if (k.Kind == QLatin1String("Employee") && !k.IdColumn.isEmpty())
            k.Conditions << Quoted(k.IdColumn) + QStringLiteral(" <> '00000'");
    }
    if (k.IdColumn.isEmpty() || k.CodeColumn.isEmpty() || k.NameColumn.isEmpty())
        k.Table.clear(); // a table of another shape is not base data the dialog can show
    return k;
}

QString EscapeLike(const QString &text)
{
    QString escaped;
    for (const QChar c : text) {
        if (c == u'\\' || c == u'%' || c == u'_')
            escaped += u'\\';
        escaped += c;
    }
    return escaped;
}

TBaseRecordList Find(accountdb::AccountDatabase &db, const TBaseKind &kind, TBaseSearchField field,
                     const QString &text, const QString &idPrefix)
{
    TBaseRecordList records;
    if (kind.Table.isEmpty())
        return records;
    QStringList conditions = kind.Conditions;
    QVariantList params;
    const QString search = text.trimmed();
    if (!search.isEmpty()) {
        if (field == TBaseSearchField::Code) {
            conditions << QStringLiteral("CAST(%1 AS TEXT) LIKE ? ESCAPE '\\'").arg(Quoted(kind.CodeColumn));
            params << EscapeLike(search) + u'%';
        } else {
            QString condition = QStringLiteral("%1 LIKE ? ESCAPE '\\'").arg(Quoted(kind.NameColumn));
            params << u'%' + EscapeLike(search) + u'%';
            if (!kind.PinyinColumn.isEmpty()) { // the initials of the name ("ZGS" finds 中国石油)
                condition = QStringLiteral("(%1 OR %2 LIKE upper(?) ESCAPE '\\')")
                                .arg(condition, Quoted(kind.PinyinColumn));
                params << EscapeLike(search) + u'%';
            }
            conditions << condition;
        }
    }
    if (!idPrefix.isEmpty()) {
        conditions << QStringLiteral("CAST(%1 AS TEXT) LIKE ? ESCAPE '\\'").arg(Quoted(kind.IdColumn));
        params << EscapeLike(idPrefix) + u'%';
    }
    QString sql = QStringLiteral("SELECT * FROM %1").arg(Quoted(kind.Table));
    if (!conditions.isEmpty())
        sql += QStringLiteral(" WHERE ") + conditions.join(QStringLiteral(" AND "));
    sql += QStringLiteral(" ORDER BY %1, %2").arg(Quoted(kind.CodeColumn), Quoted(kind.IdColumn));
    QSqlQuery q = db.exec(sql, params);
    while (q.next()) {
        const QSqlRecord row = q.record();
        TBaseRecord r;
        for (int i = 0; i < row.count(); ++i)
            r.Values.insert(row.fieldName(i), row.value(i));
        r.TypeId = row.value(kind.IdColumn).toString();
        r.UserCode = row.value(kind.CodeColumn).toString();
        r.FullName = row.value(kind.NameColumn).toString();
        records.append(r);
    }
    return records;
}

} // namespace HostBaseData
