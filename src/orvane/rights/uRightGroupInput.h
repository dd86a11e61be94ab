#pragma once
// TfrmRightGroupInput: name and memo of a rights group, new ("N"), modified ("M") or copied with its
// rights ("C"); stored through P_jxc_InsertGroup.

#include "uDialogParent.h"

class QLineEdit;
class QPushButton;

class TfrmRightGroupInput : public TfrmDialogParent
{
    Q_OBJECT
public:
    TfrmRightGroupInput(QChar mode, int groupId, const QString &oldName, QWidget *parent = nullptr);

    QLineEdit *lbeName; // "组名:", at most 40 characters
    QLineEdit *lbeMemo; // "备注:", at most 400 characters
    QPushButton *btnOK, *btnCancel;

    bool Result() const { return bRet; }
    void btnOKClick();

private:
    QString Verb() const;
    // True when the group was stored (or is gone, which closes the window as well).
    bool Store(const QString &name);

    bool bRet = false;
    QChar cMode;
    int nId;
    QString szGroupText;
};
