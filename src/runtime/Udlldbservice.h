#pragma once
// Forwarders to the host database service. Values that come from data or from a person are
// passed in "params" and bound to "?" placeholders, never spliced into the SQL text.

#include "QuillInterfaces.h"
#include "quillcmrunstd_export.h"

namespace Udlldbservice {
QUILLCMRUNSTD_EXPORT extern IDataBaseService *DatabaseSvr;

QUILLCMRUNSTD_EXPORT void OpenSQL(const QString &sql, TClientDataSet &ds);
QUILLCMRUNSTD_EXPORT void OpenSQL(const QString &sql, const QVariantList &params, TClientDataSet &ds);
QUILLCMRUNSTD_EXPORT QVariant GetValueFromSQL(const QString &sql, const QVariantList &params = {});
QUILLCMRUNSTD_EXPORT int ExecuteSQL(const QString &sql, const QVariantList &params = {});

// Procedure with parallel name/value arrays; when "outputs" is given it receives the output
// parameters the procedure set (empty when it set none).
QUILLCMRUNSTD_EXPORT int ExecuteProcByName(const QString &name, const QStringList &names,
                                           const QVariantList &values, TParamList *outputs = nullptr);
QUILLCMRUNSTD_EXPORT int ExecuteProcByName(const QString &name, TParamList &params);
QUILLCMRUNSTD_EXPORT int OpenProcByName(const QString &name, const QStringList &names,
                                        const QVariantList &values, TClientDataSet &ds,
                                        TParamList *outputs = nullptr);
QUILLCMRUNSTD_EXPORT int OpenProcByName(const QString &name, TClientDataSet &ds, TParamList &params);

QUILLCMRUNSTD_EXPORT void BeginTrans();
QUILLCMRUNSTD_EXPORT void CommitTrans();
QUILLCMRUNSTD_EXPORT void RollBackTrans();
QUILLCMRUNSTD_EXPORT bool InTransaction();

// Scope guard for a host transaction: Commit() is explicit; leaving the scope without it rolls back.
class QUILLCMRUNSTD_EXPORT TTransaction
{
public:
    TTransaction();
    ~TTransaction();
    TTransaction(const TTransaction &) = delete;
    TTransaction &operator=(const TTransaction &) = delete;
    void Commit();
    void Rollback();

private:
    bool FOpen = true;
};
} // namespace Udlldbservice
