#pragma once
// TfrmBatchMessage: the module's list window for collected messages (TBatchMessage). A read-only memo
// with every line, the icon of the message type, and 关闭 (or a confirmation pair 是/否, 确定/取消).

#include <QLabel>
#include <QPlainTextEdit>
#include <QStringList>

#include "uDialogParent.h"

class TfrmBatchMessage : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmBatchMessage(QWidget *parent = nullptr);
    ~TfrmBatchMessage() override;

    QPlainTextEdit *MsgMemo;
    QPushButton *btnOK;
    QPushButton *btnClose;
    QLabel *Image;
    QFrame *Panel1;
    bool confirmOK = false;

    // Type 0 exclamation, 1 error, 2 information, 3 question (the icon shown).
    int IconType() const { return FIconType; }
    void SetIconType(int type);

    void btnOKClick();
    void btnCloseClick();

private:
    int FIconType = 2;
};

// Shows the lines in the list window: type 0 is shown as 2; a confirmation asks 是/否 (yesNo) or 确定/取消.
// True only when the user confirmed.
bool ShowBatchMessageWindow(const QStringList &lines, int type, bool confirm, bool yesNo);
