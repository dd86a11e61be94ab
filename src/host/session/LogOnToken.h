#pragma once
// The pass-token rule of the log-on: an operator bound to a key logs on only with that key plugged in.
// The host's log-on and orvane-admin apply the same rule.

#include <QString>

#include "TokenReader.h"

struct TTokenBinding
{
    QString Code;
    int Level = 0;
    bool Have = false;
};

namespace LogOnToken {
inline const QString Missing = QStringLiteral("请插上安全钥匙后再操作。");
inline const QString Mismatch = QStringLiteral("安全钥匙不匹配，请插入正确的安全钥匙。");

// The binding of a log-on operator (none for an unknown one).
TTokenBinding Binding(accountdb::AccountDatabase &db, const QString &operatorId);
// Empty when the operator needs no key or the reader gives his; otherwise the refusal text.
QString Refusal(accountdb::AccountDatabase &db, const TTokenBinding &binding, ITokenReader *reader);
} // namespace LogOnToken
