#pragma once
// The host's base-data selection service: the module asks for bill types, goods, warehouses,
// employees, units, departments or accounts and gets the rows the user picked.

#include <QPointer>
#include <QWidget>

#include "QuillInterfaces.h"

namespace accountdb {
class AccountDatabase;
}

class HostBaseSelect final : public IBaseSelect
{
public:
    explicit HostBaseSelect(accountdb::AccountDatabase *db = nullptr) : FDb(db) {}

    void SetDatabase(accountdb::AccountDatabase &db) { FDb = &db; }
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
    accountdb::AccountDatabase *FDb;
    QPointer<QWidget> FParent;
};
