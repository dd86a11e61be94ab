#pragma once
// TfrmChangeOp ("更换操作员"): another operator takes over the log-on without leaving the account set.
// Three wrong passwords in one opening, for whichever operators, end the dialog; an operator bound to a
// pass token must have that key plugged in (a missing or wrong key is not a wrong password).

#include <QList>

#include "uDialogParent.h"

class QComboBox;
class QLineEdit;

// One operator of the list, in the order of cbUserName.
struct TUserIdEntry
{
    QString OperatorId;
    QString UserCode;
    QString Name; // the administrator "00000" under his comment, the others under their full name
    bool IsManager = false;
    QString TokenCode;
    int TokenLevel = 0;
    bool TokenHave = false;
};

class TfrmChangeOp : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmChangeOp(QWidget *parent = nullptr);
    ~TfrmChangeOp() override;

    QPushButton *btnOK;
    QPushButton *btnCancel;
    QComboBox *cbUserName;
    QLineEdit *edUserPass;
    QLabel *lbl1;

    // Fills the list from P_GBL_LoadLoginUser (before the dialog is shown).
    void LoadUsers();
    void btnOKClick();
    void btnCancelClick();
    // True once another operator was applied to the log-on state.
    bool Result() const { return FbRet; }
    const QList<TUserIdEntry> &Users() const { return sUserIdArray; }

private:
    void TooManyFailures();
    void Apply(const TUserIdEntry &entry, bool withToken);

    QList<TUserIdEntry> sUserIdArray;
    int FnLoginCount = 0;
    bool FbRet = false;
};

namespace uChangeOpFrm {
// Dispatch entry 更换操作员: the main form is disabled meanwhile; other windows must close first
// (confirmCloseOthers false: nothing happens); on success the menu and the status bar are refreshed.
bool ShowChangeOp(bool (*confirmCloseOthers)());
} // namespace uChangeOpFrm
