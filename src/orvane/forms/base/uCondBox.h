#pragma once
// TfrmCondBox: the condition dialog of the query windows. Shows one control per visible item of a
// condition definition, starts from the caller's open parameters and writes the chosen values back into
// them (index = the item's ConditionType). ShowCondBox runs it.

#include <QCheckBox>
#include <QLabel>

#include "uCondDefine.h"
#include "uDialogParent.h"

class TfrmCondBox : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmCondBox(QWidget *parent = nullptr);
    ~TfrmCondBox() override;

    QLabel *imgTitle;
    QFrame *Bevel1;
    QCheckBox *cbxSaveDate;
    QPushButton *btnOK;
    QPushButton *btnCancel;

    void SetCondition(const TCondition &condition);
    const TCondition &Condition() const { return FCondition; }
    void SetShowSaveDate(bool show) { FShowSaveDate = show; }
    // The control created for an item, nullptr when it has none (invisible, ctNone). Object names are
    // "edtCond" + the condition type.
    QWidget *ControlOfType(int conditionType) const;
    const QList<QWidget *> &ListControl() const { return FListControl; }

    void AfterShow() override;
    // Validates, writes the values into Params, saves the dates when asked, closes with mrOk.
    void btnOKClick();

private:
    void CreateControls();
    QWidget *CreateItemControl(const TConditionSet &item, QWidget *owner);
    void SetInitialValue(const TConditionSet &item, QWidget *control);
    QVariant ControlValue(const TConditionSet &item, QWidget *control) const;
    bool IsEmptyControl(QWidget *control) const;
    void ApplyQuickDateRange(const QString &code);
    void SaveDefaultDates();

    QList<QWidget *> FListControl;
    QList<int> FListItem; // index into FCondition.ConditionSet of each created control
    QWidget *FFirstControl = nullptr;
    TCondition FCondition;
    bool FShowSaveDate = false;
    TConditionSet FBeginDateCondSet, FEndDateCondSet;
};

// Runs the condition box on the caller's parameters: True and the parameters updated on OK; False and
// the parameters untouched otherwise.
bool ShowCondBox(TOpenParams &params, const TCondition &condition, int unitType, bool showSaveDate);
