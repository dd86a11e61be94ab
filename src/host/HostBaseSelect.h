#pragma once
// The host's base-data selection service: the module asks for bill types, goods, warehouses,
// employees, units, departments or accounts and gets the rows the user picked.

#include <QPointer>
#include <QWidget>

#include <functional>

#include "QuillInterfaces.h"

namespace accountdb {
class AccountDatabase;
}

class HostBaseSelect final : public IBaseSelect
{
public:
    // The open account set, asked at every call: a restore replaces the connection under the session.
    using TDatabaseSource = std::function<accountdb::AccountDatabase *()>;
    explicit HostBaseSelect(TDatabaseSource db = {}) : FDb(std::move(db)) {}

    void SetDatabaseSource(TDatabaseSource db) { FDb = std::move(db); }
    // Parent window of the dialogs (the main window).
    void SetParentWidget(QWidget *parent) { FParent = parent; }

    // Shows the dialog with the search text filled in; True with the picked rows in "selected"
    // (replacing what it held) when the user confirmed a pick.
    bool SelectBaseData(const QString &kind, const QString &searchText, bool multiSelect,
                        TBaseRecordList &selected) override;
    // One account; "0000000000" (or any code of zeros) is the root of the chart and lists every
    // account, another code lists the sub-accounts of that account.
    bool SelectAtype(const QString &startCode, TBaseRecord &selected) override;

private:
    accountdb::AccountDatabase *Database() const { return FDb ? FDb() : nullptr; }

    TDatabaseSource FDb;
    QPointer<QWidget> FParent;
};
