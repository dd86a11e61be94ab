#include "HostSchema.h"

#include "AccountDatabase.h"

#include <QSqlRecord>

namespace HostSchema {

QString TableName(accountdb::AccountDatabase &db, const QString &name)
{
    const QStringList tables = db.sql().tables(QSql::Tables);
    for (const QString &t : tables)
        if (t.compare(name, Qt::CaseInsensitive) == 0)
            return t;
    return {};
}

QStringList Columns(accountdb::AccountDatabase &db, const QString &table)
{
    QStringList columns;
    const QSqlRecord record = db.sql().record(table);
    for (int i = 0; i < record.count(); ++i)
        columns << record.fieldName(i);
    return columns;
}

QString FindColumn(const QStringList &columns, const QStringList &candidates)
{
    for (const QString &c : candidates)
        for (const QString &column : columns)
            if (column.compare(c, Qt::CaseInsensitive) == 0)
                return column;
    return {};
}

} // namespace HostSchema
