#pragma once
// TfrmBaseRightGroupAdd: name and comment of a base-data rights group, new ("A"), modified ("U") or
// copied with its grants ("C"); stored through P_BaseRightsGroupInsert. StoreGroup also deletes ("D").

#include "uDialogParent.h"

class QLineEdit;
class QPushButton;

class TfrmBaseRightGroupAdd : public TfrmDialogParent
{
    Q_OBJECT
public:
    TfrmBaseRightGroupAdd(QChar mode, QChar kind, int id, const QString &name, const QString &comment,
                          QWidget *parent = nullptr);

    QLineEdit *GroupName, *Comment;
    QPushButton *btnOK, *btnCancel;

    bool Result() const { return bRet; }
    void btnOKClick();

    // The name check of the dialog: empty when the name may be stored, else the message.
    static QString NameProblem(const QString &name);
    // Calls the procedure and shows the message of a refusal; true when done. oldName names the group
    // as it was (modify, copy, delete), name the new one.
    static bool StoreGroup(QChar mode, QChar kind, int id, const QString &oldName, const QString &name,
                           const QString &comment);

private:
    QChar cModeMy, lModeMy;
    int IdMy;
    QString szNameMy;
    bool bRet = false;
};
