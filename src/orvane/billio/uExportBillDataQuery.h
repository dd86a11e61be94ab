#pragma once
// 导出业务单据查询: the list conditions of the bill export, read from and written back into the export
// window's condition array (dates 17/18, bill type 12, unit 3, handler 128 and 7, warehouse 8,
// department 9, draft state 20/24, reversals 25, summary 78, comment 93).

#include "uDialogParent.h"

class QCheckBox;
class TGLabelBtnEdit;
class TGLabelComBox;
class TGLabelEmptyDate;

class TfrmExportBillDataQuery : public TfrmDialogParent
{
    Q_OBJECT
public:
    TfrmExportBillDataQuery(QWidget *parent, TOpenParams &conditions);
    ~TfrmExportBillDataQuery() override;

    TGLabelEmptyDate *ldtStart, *ldtEnd;
    QCheckBox *cbxDraft;
    TGLabelBtnEdit *lbeBtype, *lbeEtype, *lbeDtype, *lbeKType, *lbeZY;
    TGLabelComBox *lblVchtype; // bill type names; the first item (empty) stands for every type
    QPushButton *btnOK, *btnCancel;

    void btnOKClick();

private:
    TOpenParams &FConditions;
};
