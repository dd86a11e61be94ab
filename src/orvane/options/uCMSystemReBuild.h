#pragma once
// TfrmCMSystemReBuild ("系统重建"): the options of the rebuild (what to keep), the confirmations, an
// offered backup, and the rebuild in one server transaction (uCMSystemReBuildCore).

#include "uCMSystemReBuildCore.h"
#include "uDialogParent.h"

class QCheckBox;
class QGroupBox;
class QLabel;
class QTabWidget;

// Registers the pictures of the options windows (idempotent).
void InitOptionsPictures();

class TfrmCMSystemReBuild : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmCMSystemReBuild(QWidget *parent = nullptr);
    ~TfrmCMSystemReBuild() override;

    // The dispatch entry: true after a rebuild that completed; false when refused by the pass token.
    static bool Execute();

    QLabel *imgleft, *imgleft1;
    QTabWidget *pgMain;
    QWidget *tsCondition, *tsWorktable;
    QGroupBox *Infore_GroupBox;
    QLabel *Inform_Label1, *Inform_Label2, *Inform_Label3, *Inform_Label4;
    QGroupBox *grpIniData, *grpGeneralManage, *grpOther, *grpTask, *grpMsg, *grpSchedule;
    QCheckBox *chkIniData, *chkGMData, *chkOrders, *chkCheckedOrders, *chkDraft, *chkPriceTrack;
    QCheckBox *chkAllTask, *chkTaskDone, *chkTaskUnDone;
    QCheckBox *chkAllMsg, *chkMsgRead, *chkMsgUnRead;
    QCheckBox *chkAllSchedule, *chkScheduleDone, *chkScheduleUnDone;
    QPushButton *btnOK, *btnCancel;

    uCMSystemReBuildCore::TRebuildOptions Options() const;
    // The whole rebuild with its questions; true when it completed.
    bool Rebuild();

    void btnOKClick();
    void chkOrdersClick();
    void chkCheckedOrdersClick();

private:
    void BuildControls();
    void Prepare();
};
