#include "Udlldbservice.h"

#include "QuillExceptions.h"

namespace Udlldbservice {
IDataBaseService *DatabaseSvr = nullptr;

namespace {
IDataBaseService &Svr()
{
    if (!DatabaseSvr)
        throw EDatabaseError(QStringLiteral("Database service not installed"));
    return *DatabaseSvr;
}

void CopyOutputs(const TParamList &all, TParamList *outputs)
{
    if (!outputs)
        return;
    outputs->Clear();
    for (const TParam &p : all)
        if (p.IsOutput)
            outputs->Add(p.Name, p.Value, true);
}
} // namespace

void OpenSQL(const QString &sql, TClientDataSet &ds)
{
    Svr().OpenSQL(sql, {}, ds);
}
void OpenSQL(const QString &sql, const QVariantList &params, TClientDataSet &ds)
{
    Svr().OpenSQL(sql, params, ds);
}
QVariant GetValueFromSQL(const QString &sql, const QVariantList &params)
{
    return Svr().GetValueFromSQL(sql, params);
}
int ExecuteSQL(const QString &sql, const QVariantList &params)
{
    return Svr().ExecuteSQL(sql, params);
}

int ExecuteProcByName(const QString &name, const QStringList &names, const QVariantList &values,
                      TParamList *outputs)
{
    TParamList params(names, values);
    const int result = Svr().ExecuteProc(name, params);
    CopyOutputs(params, outputs);
    return result;
}

int ExecuteProcByName(const QString &name, TParamList &params)
{
    return Svr().ExecuteProc(name, params);
}

int OpenProcByName(const QString &name, const QStringList &names, const QVariantList &values,
                   TClientDataSet &ds, TParamList *outputs)
{
    TParamList params(names, values);
    const int result = Svr().OpenProc(name, params, ds);
    CopyOutputs(params, outputs);
    return result;
}

int OpenProcByName(const QString &name, TClientDataSet &ds, TParamList &params)
{
    return Svr().OpenProc(name, params, ds);
}

void BeginTrans()
{
    Svr().BeginTrans();
}
void CommitTrans()
{
    Svr().CommitTrans();
}
void RollBackTrans()
{
    Svr().RollBackTrans();
}
bool InTransaction()
{
    return DatabaseSvr && DatabaseSvr->InTransaction();
}

TTransaction::TTransaction()
{
    BeginTrans();
}

TTransaction::~TTransaction()
{
    if (FOpen) {
        try {
            RollBackTrans();
        } catch (...) {
            // A failed rollback leaves nothing more to undo here.
        }
    }
}

void TTransaction::Commit()
{
    FOpen = false;
    CommitTrans();
}

void TTransaction::Rollback()
{
    FOpen = false;
    RollBackTrans();
}
} // namespace Udlldbservice
