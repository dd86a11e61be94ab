#include "uUsersCommon.h"

#include <QLineEdit>

namespace uUsersCommon {

QLineEdit *NewPasswordEdit(QWidget *parent, const QString &objectName)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(objectName);
    edit->setMaxLength(MaxPasswordLength);
    edit->setEchoMode(QLineEdit::Password);
    // Shown as "*" whatever the style's mask character is.
    edit->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    return edit;
}

TDisabledWhile::TDisabledWhile(QWidget *window) : FWindow(window)
{
    if (FWindow)
        FWindow->setEnabled(false);
}

TDisabledWhile::~TDisabledWhile()
{
    if (FWindow)
        FWindow->setEnabled(true);
}

} // namespace uUsersCommon
