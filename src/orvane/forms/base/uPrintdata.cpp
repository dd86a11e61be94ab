#include "uPrintdata.h"

#include "Kvggeneralgrid.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"

namespace {
void Call(const TPrintHandler::TNotifyEvent &event, QObject *sender)
{
    if (event)
        event(sender);
}

void Refuse(bool condition, const QString &text)
{
    Udllmessageintf::CheckError(condition, text, TMessageBoxType::mtWarning, QString());
}
} // namespace

TPrintHandler::TPrintHandler(TQuillForm *ownerForm, TCMKvPrintBtn *printButton)
    : FOwnerForm(ownerForm), FPrintButton(printButton), FButtonAlive(printButton)
{
    Refuse(!ownerForm, QStringLiteral("未正确指定打印窗体。"));
    Refuse(!printButton, QStringLiteral("未正确指定打印按钮。"));
    FPrintButton->OnPrintRight = [this] { CheckPrintRight(); };
    // Switch 122: the extended print of the host (further header lines).
    if (Udllsystemintf::SystemIntf && Udllsystemintf::CheckSysCon(122))
        FPrintButton->SetExPrint(true);
    FBeforePrint = std::exchange(FPrintButton->OnBeforePrint, [this](QObject *s) { BeforePrint(s); });
    FBeforePrintPopmenu =
        std::exchange(FPrintButton->OnBeforePrintPopmenu, [this](QObject *s) { BeforePrintPopmenu(s); });
    FBeforePrintMenu =
        std::exchange(FPrintButton->OnBeforePrintMenu, [this](QObject *s) { BeforePrintMenu(s); });
    FAfterPrint = std::exchange(FPrintButton->OnAfterPrint, [this](QObject *s) { AfterPrint(s); });
}

TPrintHandler::~TPrintHandler()
{
    if (!FButtonAlive)
        return;
    FPrintButton->OnPrintRight = nullptr;
    FPrintButton->OnBeforePrint = FBeforePrint;
    FPrintButton->OnBeforePrintPopmenu = FBeforePrintPopmenu;
    FPrintButton->OnBeforePrintMenu = FBeforePrintMenu;
    FPrintButton->OnAfterPrint = FAfterPrint;
}

void TPrintHandler::SetPrintID(int printId)
{
    FPrintID = printId;
    FPrintButton->SetPrintID(printId);
}

void TPrintHandler::SetPrintTemplate(const QString &name)
{
    FPrintTemplate = name;
    FPrintButton->SetPrintTemplate(name);
}

void TPrintHandler::CheckPrintRight()
{
    const QString rights = FOwnerForm->LimitList();
    Refuse(!rights.isEmpty() && rights.mid(1, 1) != QLatin1String("1"),
           QStringLiteral("你没有打印的权限，不能继续。"));
}

void TPrintHandler::BeforePrint(QObject *sender)
{
    if (!FPrintButton)
        return;
    CheckPrintRight();
    if (FSetPrintIdAndTemplateName)
        FSetPrintIdAndTemplateName(FPrintButton);
    Call(FCMBeforePrint, sender);
    FPrintButton->SetCustomHead(true);
    if (FSelfLoadPrintTitle)
        FSelfLoadPrintTitle(FPrintButton);
    else
        LoadPrintHeader();
    if (FSelfLoadPrintGrid)
        FSelfLoadPrintGrid(FPrintButton);
    else
        LoadPrintGrid();
    Call(FBeforePrint, sender);
    CheckPrintIdAndTemplate();
}

void TPrintHandler::BeforeMenu(const TNotifyEvent &windowEvent, const TNotifyEvent &previous, QObject *sender)
{
    if (FSetPrintIdAndTemplateName)
        FSetPrintIdAndTemplateName(FPrintButton);
    Call(windowEvent, sender);
    Call(previous, sender);
    CheckPrintIdAndTemplate();
}

void TPrintHandler::BeforePrintMenu(QObject *sender)
{
    BeforeMenu(FCMBeforePrintMenu, FBeforePrintMenu, sender);
}

void TPrintHandler::BeforePrintPopmenu(QObject *sender)
{
    BeforeMenu(FCMBeforePrintPopmenu, FBeforePrintPopmenu, sender);
}

void TPrintHandler::AfterPrint(QObject *sender)
{
    Call(FCMAfterPrint, sender);
    Call(FAfterPrint, sender);
}

void TPrintHandler::CheckPrintIdAndTemplate()
{
    // The window may have named them on the button itself.
    if (FPrintID == 0)
        FPrintID = FPrintButton->PrintID();
    if (FPrintTemplate.isEmpty())
        FPrintTemplate = FPrintButton->PrintTemplate();
    Refuse(FPrintID == 0, QStringLiteral("未指定PrintID属性。"));
    Refuse(FPrintTemplate.isEmpty(), QStringLiteral("未指定打印模板。"));
}

void TPrintHandler::LoadPrintHeader()
{
    FPrintButton->SetCustomHead(true);
    TPrintHeaderValues header = FOwnerForm->PrintHeaderValues(FOwnerForm->Title(), FPrintButton->ExPrint());
    if (FAfterLoadPrintHeader)
        FAfterLoadPrintHeader(header);
    FPrintButton->SetTitle(FOwnerForm->Title());
    FPrintButton->SetHeader(header);
}

void TPrintHandler::LoadPrintGrid()
{
    if (!FPrintButton->CustomGrids()) {
        FPrintButton->ClearMainGrids();
        int next = 1;
        for (TKvGGeneralGrid *grid : FOwnerForm->findChildren<TKvGGeneralGrid *>())
            if (next <= PrintDetailCount && grid->isVisibleTo(FOwnerForm))
                FPrintButton->SetMainGrid(next++, grid);
    }
    FPrintButton->SetCustomGrids(true);
    FPrintButton->ClearDetails();
    if (!FPrintButton->PrintDetails())
        return;
    const std::array<void (TCMKvPrintBtn::*)(const TPrintTable &), PrintDetailCount> setters = {
        &TCMKvPrintBtn::SetDetail1, &TCMKvPrintBtn::SetDetail2, &TCMKvPrintBtn::SetDetail3};
    for (int no = 1; no <= PrintDetailCount; ++no) {
        auto *grid = qobject_cast<TKvGGeneralGrid *>(FPrintButton->MainGrid(no));
        if (!grid)
            continue;
        auto *wgrid = qobject_cast<TKvGGeneralWGrid *>(grid);
        (FPrintButton->*setters[no - 1])(wgrid ? FOwnerForm->GetGridPrintDataW(wgrid)
                                               : FOwnerForm->GetGridPrintData(grid));
    }
}
