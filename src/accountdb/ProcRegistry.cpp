#include "ProcRegistry.h"

#include "AccountDatabase.h"

namespace accountdb {

namespace {
QString paramKey(const QString &name)
{
    QString key = name.trimmed();
    if (!key.startsWith(u'@'))
        key.prepend(u'@');
    return key;
}
} // namespace

int ResultSet::columnIndex(const QString &name) const
{
    for (int i = 0; i < columns.size(); ++i) {
        if (columns[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

ProcContext::ProcContext(AccountDatabase &db, ProcParams &params) : m_database(db), m_params(params) {}

QSqlDatabase &ProcContext::db()
{
    return m_database.sql();
}

int ProcContext::indexOf(const QString &name) const
{
    const QString key = paramKey(name);
    for (int i = 0; i < m_params.size(); ++i) {
        if (paramKey(m_params[i].name).compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QVariant ProcContext::in(const QString &name) const
{
    const int i = indexOf(name);
    return i < 0 ? QVariant() : m_params[i].value;
}

bool ProcContext::has(const QString &name) const
{
    return indexOf(name) >= 0;
}

void ProcContext::setOut(const QString &name, const QVariant &v)
{
    const int i = indexOf(name);
    if (i < 0) {
        m_params.append({paramKey(name), v, true});
        return;
    }
    m_params[i].value = v;
    m_params[i].isOutput = true;
}

void ProcContext::setResult(const QString &sql, const QVariantList &params)
{
    QSqlQuery q = exec(sql, params);
    m_result = readResult(q);
    m_hasResult = true;
}

QSqlQuery ProcContext::exec(const QString &sql, const QVariantList &params)
{
    return m_database.exec(sql, params);
}

QVariant ProcContext::value(const QString &sql, const QVariantList &params)
{
    return m_database.value(sql, params);
}

int ProcContext::call(const QString &name, ProcParams &params, ResultSet *rs)
{
    return m_database.callProc(name, params, rs);
}

QString ProcRegistry::normalizedName(const QString &name)
{
    QString key = name.trimmed().toLower();
    const int semi = key.indexOf(u';');
    if (semi >= 0)
        key.truncate(semi);
    if (key.startsWith(QLatin1String("dbo.")))
        key.remove(0, 4);
    return key.trimmed();
}

void ProcRegistry::add(const QString &name, ProcFn fn)
{
    m_procs.insert(normalizedName(name), std::move(fn));
}

void ProcRegistry::addReader(const QString &name, ProcFn fn)
{
    add(name, std::move(fn));
    m_readers.insert(normalizedName(name));
}

bool ProcRegistry::isReader(const QString &name) const
{
    return m_readers.contains(normalizedName(name));
}

const ProcFn *ProcRegistry::find(const QString &name) const
{
    const auto it = m_procs.constFind(normalizedName(name));
    return it == m_procs.constEnd() ? nullptr : &it.value();
}

QStringList ProcRegistry::names() const
{
    QStringList list = m_procs.keys();
    list.sort();
    return list;
}

} // namespace accountdb
