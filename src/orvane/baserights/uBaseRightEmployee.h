#pragma once
// TfrmBaseRightEmployee: the base-data rights group of one operator for one kind (at most one ticked;
// none = no group). Stored through P_SetEBeyondBaseRightGroup.

#include "uDialogParent.h"

class QPushButton;
class TKvGGeneralGrid;

class TfrmBaseRightEmployee : public TfrmDialogParent
{
    Q_OBJECT
public:
    TfrmBaseRightEmployee(QChar kind, const QString &etypeId, const QString &operatorName,
                          QWidget *parent = nullptr);

    TKvGGeneralGrid *DataGrid; // "ID号" ID (hidden), "选择" selected, "权限组" RightName
    QPushButton *btnOK, *btnCancel;

    bool Result() const { return bRet; }
    // Ticks the row (and clears the others) or clears it.
    void SetRowSelected(int row, bool selected);
    void btnOKClick();

private:
    QChar FKind;
    QString FEtypeId, FName;
    bool bRet = false;
};
