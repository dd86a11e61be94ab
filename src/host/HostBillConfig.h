#pragma once
// The host's bill configuration: name, right (function number) and detail table of a bill type,
// read from the account set's bill types. A variant type above 10000 falls back to its base type
// (type / 10000) when it has no row of its own; plug-in bill types come after the system's own.

#include <functional>

#include "QuillInterfaces.h"

namespace accountdb {
class AccountDatabase;
}

class HostBillConfig final : public IBillConfigIntf
{
public:
    // The open account set, asked at every call: a restore replaces the connection under the session.
    using TDatabaseSource = std::function<accountdb::AccountDatabase *()>;
    explicit HostBillConfig(TDatabaseSource db = {}) : FDb(std::move(db)) {}
    void SetDatabaseSource(TDatabaseSource db) { FDb = std::move(db); }

    QString GetBillName(int vchType) override;   // empty for an unknown type
    int GetBillFunctionNo(int vchType) override; // 0 for an unknown type
    // Detail table of the bill's lines: "dlybuy" for purchases and their returns, "dlysale" for
    // sales and their returns, "dlyother" for every other type (stock moves, production, consignment).
    QString GetBillTableName(int vchType) override;

    static int BaseType(int vchType) { return vchType > 10000 ? vchType / 10000 : vchType; }

private:
    // Column of the bill type's row, from T_GBL_Vchtype or the plug-in types; null when none.
    QVariant Lookup(int vchType, const QString &column);
    TDatabaseSource FDb;
};
