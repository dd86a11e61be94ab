#include "BaseDataStore.h"

#include <QJsonDocument>
#include <QJsonObject>

#include "AccountDatabase.h"
#include "HostBaseData.h"

using namespace accountdb;

BaseDataStore::BaseDataStore(AccountDatabase &db, const basedata::Kind &kind, QString operatorId)
    : FDb(db), FKind(kind), FOperatorId(std::move(operatorId))
{
    // What the operator's base-data rights hide is left out of every read (the views list nothing for
    // the supervisor and unrestricted operators).
    const QString rights = basedata::rightsFilter(FKind, QStringLiteral("r"));
    if (!rights.isEmpty() && !FOperatorId.isEmpty()) {
        FRightsCondition = QStringLiteral(" AND ") + rights;
        FRightsParams << FOperatorId;
    }
}

QString BaseDataStore::ChangeRefusal() const
{
    return basedata::changeRefusal(FDb, FKind, FOperatorId);
}

QList<TBaseDataRow> BaseDataStore::Select(const QString &condition, const QVariantList &params)
{
    QStringList columns{QStringLiteral("r.TypeId"),    QStringLiteral("r.ParId"),
                        QStringLiteral("r.IsClass"),   QStringLiteral("r.Deleted"),
                        QStringLiteral("r.UserCode"),  QStringLiteral("r.FullName"),
                        QStringLiteral("r.PinyinCode")};
    columns += basedata::fieldColumns(FKind);
    QStringList names{QStringLiteral("UserCode"), QStringLiteral("FullName"), QStringLiteral("PinyinCode")};
    for (const basedata::Field &f : FKind.fields)
        names << f.column;
    const ResultSet rs = FDb.query(
        QStringLiteral("SELECT %1 FROM %2 r%3 WHERE r.TypeId <> ? AND %4%5 ORDER BY r.UserCode, r.TypeId")
            .arg(columns.join(QStringLiteral(", ")), FKind.table, basedata::fieldJoin(FKind), condition,
                 FRightsCondition),
        QVariantList{basedata::kRootId} + params + FRightsParams);
    QList<TBaseDataRow> rows;
    for (const QVariantList &v : rs.rows) {
        TBaseDataRow r{v[0].toString(), v[1].toString(), v[2].toInt() == 1, v[3].toInt() == 1, {}};
        for (int i = 0; i < names.size(); ++i)
            r.Fields.insert(names[i], v[4 + i]);
        rows << r;
    }
    return rows;
}

QList<TBaseDataRow> BaseDataStore::Classes()
{
    QList<TBaseDataRow> rows = Select(QStringLiteral("r.IsClass = 1"), {});
    std::sort(rows.begin(), rows.end(),
              [](const TBaseDataRow &a, const TBaseDataRow &b) { return a.TypeId < b.TypeId; });
    return rows;
}

QList<TBaseDataRow> BaseDataStore::Records(const QString &parId, const QString &search, bool withHidden)
{
    QString condition = QStringLiteral("r.IsClass = 0");
    QVariantList params;
    if (!withHidden)
        condition += QStringLiteral(" AND r.Deleted = 0");
    const QString text = search.trimmed();
    if (text.isEmpty()) {
        condition += QStringLiteral(" AND r.ParId = ?");
        params << parId;
    } else {
        const QString like = HostBaseData::EscapeLike(text);
        condition += QStringLiteral(
            " AND (upper(r.UserCode) LIKE upper(?) ESCAPE '\\' OR r.FullName LIKE ? ESCAPE '\\' "
            "OR r.PinyinCode LIKE upper(?) ESCAPE '\\')");
        params << like + u'%' << u'%' + like + u'%' << like + u'%';
    }
    return Select(condition, params);
}

TBaseDataRow BaseDataStore::Row(const QString &typeId)
{
    const QList<TBaseDataRow> rows = Select(QStringLiteral("r.TypeId = ?"), {typeId});
    return rows.isEmpty() ? TBaseDataRow() : rows.first();
}

QString BaseDataStore::Call(const QString &proc, ProcParams params, QString *newId)
{
    params << ProcParam{QStringLiteral("@Kind"), FKind.name}
           << ProcParam{QStringLiteral("@OperatorId"), FOperatorId}
           << ProcParam{QStringLiteral("@ErrMsg"), QString(), true}
           << ProcParam{QStringLiteral("@NewTypeId"), QString(), true};
    if (FDb.callProc(proc, params) < 0)
        return params[params.size() - 2].value.toString();
    if (newId)
        *newId = params.last().value.toString();
    return QString();
}

QString BaseDataStore::Save(const QString &typeId, const QString &parId, bool isClass,
                            const QVariantMap &fields, QString *newId)
{
    const QString json =
        QString::fromUtf8(QJsonDocument(QJsonObject::fromVariantMap(fields)).toJson(QJsonDocument::Compact));
    return Call(QStringLiteral("P_BASE_Save"),
                {{QStringLiteral("@TypeId"), typeId},
                 {QStringLiteral("@ParId"), parId},
                 {QStringLiteral("@IsClass"), isClass ? 1 : 0},
                 {QStringLiteral("@Fields"), json}},
                newId);
}

QString BaseDataStore::Delete(const QString &typeId)
{
    return Call(QStringLiteral("P_BASE_Delete"), {{QStringLiteral("@TypeId"), typeId}});
}

QString BaseDataStore::SetHidden(const QString &typeId, bool hidden)
{
    return Call(QStringLiteral("P_BASE_Hide"),
                {{QStringLiteral("@TypeId"), typeId}, {QStringLiteral("@Hidden"), hidden ? 1 : 0}});
}

QString BaseDataStore::Move(const QString &typeId, const QString &parId)
{
    return Call(QStringLiteral("P_BASE_Move"),
                {{QStringLiteral("@TypeId"), typeId}, {QStringLiteral("@ParId"), parId}});
}
