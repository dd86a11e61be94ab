#pragma once
// TfrmPassToken ("安全钥匙设置"): the operators with their pass-token bindings; binds the plugged-in key
// to the chosen operator or removes an operator's binding. Everything goes through P_KOVA_PassToken
// (modes R, W, U); a change takes effect at the operator's next log-on.

#include "uDialogParent.h"

class TKvGGeneralGrid;

class TfrmPassToken : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmPassToken(QWidget *parent = nullptr);
    ~TfrmPassToken() override;

    TKvGGeneralGrid *MainGrid;
    QPushButton *btnBind, *btnUnBind, *btnHelp, *btnClose;

    // Mode R into the grid.
    void LoadData();
    void btnBindClick();
    void btnUnBindClick();

private:
    QString CurrentField(const QString &fieldName) const;
    // Mode W or U with the operator's values; the event goes with the change. Returns the result.
    int CallPassToken(const QString &mode, const QString &operatorId, const QString &code, int level,
                      int have, const QString &event);
};

namespace uPassToken {
// Dispatch entry 安全钥匙: the window, modal, with its title, function number 1836 and help; True.
bool ShowPassToken();
} // namespace uPassToken
