#pragma once
// Pieces the password and pass-token windows share: the password edit, the token texts, the disabled
// main form of a dispatch entry and the mode calls of P_KOVA_PassToken.

#include <QPointer>
#include <QString>
#include <QWidget>

class QLineEdit;

namespace uUsersCommon {
inline const QString TokenMissing = QStringLiteral("请插上安全钥匙后再操作。");
inline const QString TokenMismatch = QStringLiteral("安全钥匙不匹配，请插入正确的安全钥匙。");
inline const QString PasswordsDiffer = QStringLiteral("新密码与确认密码不符。");
constexpr int MaxPasswordLength = 30;

// A password edit: at most 30 characters, shown as "*".
QLineEdit *NewPasswordEdit(QWidget *parent, const QString &objectName);

// Disables a window (the host's main form) for a scope; a null window is left alone.
class TDisabledWhile
{
public:
    explicit TDisabledWhile(QWidget *window);
    ~TDisabledWhile();
    TDisabledWhile(const TDisabledWhile &) = delete;
    TDisabledWhile &operator=(const TDisabledWhile &) = delete;

private:
    QPointer<QWidget> FWindow;
};
} // namespace uUsersCommon
