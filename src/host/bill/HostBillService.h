#pragma once
// The session's bill service once the host has its main window: new bills and saved bills open in the
// host's bill window (an MDI page of the main window), one audit step goes to the audit engine through
// HostAudit, and the bill list of a type opens from the bill menu.

#include <QPointer>
#include <functional>

#include "BillListWindow.h"
#include "BillWindow.h"
#include "HostAudit.h"

class HostBillService final : public IBillInterface
{
public:
    using TDatabaseSource = std::function<accountdb::AccountDatabase *()>;
    // Shows a window the service made (the main window adds it to its MDI area); none: a top-level window.
    using TPageOpener = std::function<void(QWidget *)>;

    HostBillService(TDatabaseSource db, ISystemIntf &system, IDllMessageCon &messages, IBaseSelect *select);

    void SetPageOpener(TPageOpener opener) { FOpen = std::move(opener); }

    // A new bill of the type; false with a message for a type the window does not enter.
    bool AllNewBill(int vchType) override;
    // The saved bill in a bill window: editable while it is a draft or returned to its maker.
    bool AllLoadBill(int vchCode, int vchType, bool edit, int billType);
    bool AllAuditingBill(const QString &action, int vchCode, int vchType, int billType)
    {
        return FAudit.AllAuditingBill(action, vchCode, vchType, billType);
    }
    bool OpenBill(int vchCode, int vchType) override { return AllLoadBill(vchCode, vchType, false, 0); }
    bool AuditBill(int vchCode, int vchType) override { return FAudit.AuditBill(vchCode, vchType); }
    // The bills of a type, searched by date, number and partner.
    bool OpenBillList(int vchType);

    // The window the last call opened (for the tests and the menu).
    BillWindow *LastWindow() const { return FLast; }
    BillListWindow *LastList() const { return FLastList; }

private:
    BillWindow *NewWindow(int vchType);
    void Show(QWidget *window);

    TDatabaseSource FDb;
    ISystemIntf &FSystem;
    IDllMessageCon &FMessages;
    IBaseSelect *FSelect;
    HostAudit FAudit;
    TPageOpener FOpen;
    QPointer<BillWindow> FLast;
    QPointer<BillListWindow> FLastList;
};
