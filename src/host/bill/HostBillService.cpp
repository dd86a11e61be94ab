#include "HostBillService.h"

#include "BillListWindow.h"
#include "BillWindow.h"

HostBillService::HostBillService(TDatabaseSource db, ISystemIntf &system, IDllMessageCon &messages,
                                 IBaseSelect *select)
    : FDb(db), FSystem(system), FMessages(messages), FSelect(select), FAudit(db, system, messages)
{}

BillWindow *HostBillService::NewWindow(int vchType)
{
    if (!FDb || !FDb())
        return nullptr;
    if (!BillWindow::Supports(vchType)) {
        FMessages.ShowWarningMsg(QStringLiteral("这种单据不能在这里录入。"));
        return nullptr;
    }
    TBillContext context;
    context.Db = FDb;
    context.System = &FSystem;
    context.Messages = &FMessages;
    context.Select = FSelect;
    context.Audit = [this](qint64 vchcode, int type) { return FAudit.AuditBill(int(vchcode), type); };
    FLast = new BillWindow(context, vchType);
    return FLast;
}

void HostBillService::Show(QWidget *window)
{
    if (FOpen)
        FOpen(window);
    else
        window->show();
}

bool HostBillService::AllNewBill(int vchType)
{
    BillWindow *window = NewWindow(vchType);
    if (!window)
        return false;
    Show(window);
    return true;
}

bool HostBillService::AllLoadBill(int vchCode, int vchType, bool edit, int billType)
{
    Q_UNUSED(edit);
    Q_UNUSED(billType);
    BillWindow *window = NewWindow(vchType);
    if (!window)
        return false;
    if (!window->LoadBill(vchCode)) {
        delete window;
        return false;
    }
    Show(window);
    return true;
}

bool HostBillService::OpenBillList(int vchType)
{
    if (!FDb || !FDb())
        return false;
    FLastList =
        new BillListWindow(FDb, vchType, [this](qint64 code, int type) { return OpenBill(int(code), type); });
    Show(FLastList);
    return true;
}
