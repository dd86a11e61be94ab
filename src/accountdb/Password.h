#pragma once
// Operator and print passwords are kept only as Argon2id hashes (libsodium crypto_pwhash_str).

#include <QString>

namespace accountdb {

// The hash of a password; an empty password gives the empty text, which means "no password set".
QString hashPassword(const QString &clear);
// True when the clear text matches the hash. An empty hash (no password set) matches only an empty text.
bool verifyPassword(const QString &clear, const QString &hash);

} // namespace accountdb
