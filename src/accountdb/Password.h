#pragma once
// Operator and print passwords are kept only as Argon2id hashes (libsodium crypto_pwhash_str).
// Pass tokens (安全钥匙) carry their number and level signed with a secret of the account set
// (HMAC-SHA-256), so that a key file whose level was edited, or that was made for another account set,
// does not verify.

#include <QByteArray>
#include <QString>

namespace accountdb {

class AccountDatabase;

// The hash of a password; an empty password gives the empty text, which means "no password set".
QString hashPassword(const QString &clear);
// True when the clear text matches the hash. An empty hash (no password set) matches only an empty text.
bool verifyPassword(const QString &clear, const QString &hash);

// A new random secret for the token signatures of an account set.
QByteArray newTokenSecret();
// The secret of the account set (T_Gbl_Security "TokenSecret").
QByteArray tokenSecret(AccountDatabase &db);
// The signature of a token's number and level under the secret.
QByteArray signToken(const QByteArray &secret, const QString &code, int level);
// Compares in constant time; false for an empty secret.
bool tokenSignatureValid(const QByteArray &secret, const QString &code, int level,
                         const QByteArray &signature);

} // namespace accountdb
