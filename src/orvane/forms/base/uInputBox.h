#pragma once
// TfrmInputBox and InputValue: asks for one value. For prices (data type 2) an empty or zero value is
// refused with a message and the box stays open; huge values are capped at ±100000000.

#include <QLabel>

#include "Kvcontrols.h"
#include "uDialogParent.h"

class TCMGLabelBtnEdit;

class TfrmInputBox : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmInputBox(QWidget *parent = nullptr);
    ~TfrmInputBox() override;

    QLabel *lbPrompt;
    TCMGLabelBtnEdit *edtInput;
    QPushButton *btnOK;
    QPushButton *btnCancel;
    bool IsCostPrice = false;

    TCMDataType DataType() const { return FDataType; }
    void SetDataType(TCMDataType type);
    // A layout number above 56 widens the box in proportion; above 0 it is a cost price box with the
    // prompt and buttons at the top.
    void ApplyLayoutNo(int layoutNo);
    // The value the box returns after OK (prices capped at ±100000000).
    QString ResultText() const;

    void AfterShow() override;
    void btnOKClick();

protected:
    void showEvent(QShowEvent *event) override;

private:
    TCMDataType FDataType = TCMDataType::cdtString;
};

// Runs the input box; True and value replaced when the user confirmed.
bool InputValue(const QString &title, const QString &prompt, QString &value, int layoutNo = 0,
                TCMDataType dataType = TCMDataType::cdtString);
