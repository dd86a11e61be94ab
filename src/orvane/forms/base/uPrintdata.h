#pragma once
// TPrintHandler: connects a window to its print button. It checks the operator's print right (detail 2
// of the window's function), makes sure a print layout number and template are named, fills the print
// header and the detail tables from the window's grids, and chains to the handlers the button had
// before and to the ones the window sets. The dialog and MDI parents own one each.

#include <QObject>
#include <QPointer>
#include <functional>

#include "Kvtable.h"
#include "uQuillForm.h"

class TPrintHandler : public QObject
{
    Q_OBJECT
public:
    using TNotifyEvent = TCMKvPrintBtn::TNotifyEvent;
    // Runs after the default header was collected, before the button gets it.
    using TAfterLoadPrintHeaderEvent = std::function<void(TPrintHeaderValues &header)>;
    using TSetPrintIdAndTemplateEvent = std::function<void(TCMKvPrintBtn *button)>;

    // A missing form or button: "未正确指定打印窗体。" / "未正确指定打印按钮。" (CheckError).
    TPrintHandler(TQuillForm *ownerForm, TCMKvPrintBtn *printButton);
    // Gives the button its own handlers back.
    ~TPrintHandler() override;

    TQuillForm *FOwnerForm;
    int FPrintID = 0;
    QString FPrintTemplate;
    TCMKvPrintBtn *FPrintButton;
    // The button's own handlers from before.
    TNotifyEvent FBeforePrint, FBeforePrintMenu;
    // Set by the window.
    TNotifyEvent FCMBeforePrintMenu;
    TNotifyEvent FBeforePrintPopmenu; // the button's own
    TNotifyEvent FCMBeforePrintPopmenu, FCMBeforePrint;
    TNotifyEvent FAfterPrint; // the button's own
    TNotifyEvent FCMAfterPrint, FSelfOldPrint;
    TAfterLoadPrintHeaderEvent FAfterLoadPrintHeader;
    TNotifyEvent FSelfLoadPrintTitle, FSelfLoadPrintGrid;
    TSetPrintIdAndTemplateEvent FSetPrintIdAndTemplateName;

    int PrintID() const { return FPrintID; }
    void SetPrintID(int printId);
    QString PrintTemplate() const { return FPrintTemplate; }
    void SetPrintTemplate(const QString &name);

    // "你没有打印的权限，不能继续。" when the window's rights string refuses detail 2.
    void CheckPrintRight();
    void BeforePrint(QObject *sender);
    void BeforePrintMenu(QObject *sender);
    void BeforePrintPopmenu(QObject *sender);
    void AfterPrint(QObject *sender);
    // The default loaders: the window's header values; the window's first three grids as details.
    void LoadPrintHeader();
    void LoadPrintGrid();

private:
    void BeforeMenu(const TNotifyEvent &windowEvent, const TNotifyEvent &previous, QObject *sender);
    void CheckPrintIdAndTemplate();
    QPointer<TCMKvPrintBtn> FButtonAlive; // the button may go before the handler
};
