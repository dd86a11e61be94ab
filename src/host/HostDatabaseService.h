#pragma once
// The host's database service: the module's SQL and procedure calls on the open account set.

#include "QuillInterfaces.h"

namespace accountdb {
class AccountDatabase;
}

class HostDatabaseService final : public IDataBaseService
{
public:
    explicit HostDatabaseService(accountdb::AccountDatabase &db) : FDb(&db) {}

    void SetDatabase(accountdb::AccountDatabase &db) { FDb = &db; }
    accountdb::AccountDatabase &Database() const { return *FDb; }

    void OpenSQL(const QString &sql, const QVariantList &params, TClientDataSet &ds) override;
    QVariant GetValueFromSQL(const QString &sql, const QVariantList &params) override;
    int ExecuteSQL(const QString &sql, const QVariantList &params) override;
    int ExecuteProc(const QString &name, TParamList &params) override;
    int OpenProc(const QString &name, TParamList &params, TClientDataSet &ds) override;
    void BeginTrans() override;
    void CommitTrans() override;
    void RollBackTrans() override;
    bool InTransaction() const override;

private:
    int CallProc(const QString &name, TParamList &params, TClientDataSet *ds);
    accountdb::AccountDatabase *FDb;
};
