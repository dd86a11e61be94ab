#include "HostDatabaseService.h"

#include "AccountDatabase.h"
#include "QuillExceptions.h"

namespace {
// Database failures reach the module as the runtime's exception type.
template <typename F> auto Guard(F &&f) -> decltype(f())
{
    try {
        return f();
    } catch (const accountdb::DbError &e) {
        throw EDatabaseError(e.message());
    }
}

void FillDataSet(const accountdb::ResultSet &rs, TClientDataSet &ds)
{
    ds.Clear();
    ds.SetFieldNames(rs.columns);
    for (const QVariantList &row : rs.rows)
        ds.AppendRow(row);
    ds.First();
}
} // namespace

void HostDatabaseService::OpenSQL(const QString &sql, const QVariantList &params, TClientDataSet &ds)
{
    Guard([&] {
        FillDataSet(FDb->query(sql, params), ds);
        return 0;
    });
}

QVariant HostDatabaseService::GetValueFromSQL(const QString &sql, const QVariantList &params)
{
    return Guard([&] {
        const accountdb::ResultSet rs = FDb->query(sql, params);
        return rs.rows.isEmpty() || rs.rows.first().isEmpty() ? QVariant() : rs.rows.first().first();
    });
}

int HostDatabaseService::ExecuteSQL(const QString &sql, const QVariantList &params)
{
    return Guard([&] { return FDb->execBatch(sql, params); });
}

int HostDatabaseService::ExecuteProc(const QString &name, TParamList &params)
{
    return CallProc(name, params, nullptr);
}

int HostDatabaseService::OpenProc(const QString &name, TParamList &params, TClientDataSet &ds)
{
    return CallProc(name, params, &ds);
}

int HostDatabaseService::CallProc(const QString &name, TParamList &params, TClientDataSet *ds)
{
    return Guard([&] {
        accountdb::ProcParams pp;
        for (const TParam &p : params)
            pp.append(accountdb::ProcParam{p.Name, p.Value, false});
        accountdb::ResultSet rs;
        const int result = FDb->callProc(name, pp, ds ? &rs : nullptr);
        for (const accountdb::ProcParam &p : pp)
            if (p.isOutput)
                params.SetValue(p.name, p.value);
        if (ds)
            FillDataSet(rs, *ds);
        return result;
    });
}

void HostDatabaseService::BeginTrans()
{
    Guard([&] {
        FDb->begin();
        return 0;
    });
}

void HostDatabaseService::CommitTrans()
{
    Guard([&] {
        FDb->commit();
        return 0;
    });
}

void HostDatabaseService::RollBackTrans()
{
    Guard([&] {
        FDb->rollback();
        return 0;
    });
}

bool HostDatabaseService::InTransaction() const
{
    return FDb->inTransaction();
}
