#pragma once
// TfrmRightGroupSelect: the groups one operator belongs to, ticked in a list of every group; 确定
// replaces his memberships. The accounting supervisor's groups cannot be changed here.

#include <QList>

#include "uDialogParent.h"

class QListWidget;
class QPushButton;

class TfrmRightGroupSelect : public TfrmDialogParent
{
    Q_OBJECT
public:
    TfrmRightGroupSelect(const QString &etypeId, const QString &name, bool isManager,
                         QWidget *parent = nullptr);

    QListWidget *chkGroup; // every group, ticked when the operator belongs to it
    QListWidget *ListBox1; // hidden: the operator's current group ids
    QPushButton *btnOK, *btnCancel;

    bool Result() const { return bRet; }
    void btnOKClick();

private:
    bool bRet = false;
    QString FszEtypeID;
    QList<int> ArrayID; // group id of each line of chkGroup
};
