#include "Password.h"

#include <sodium.h>

#include "AccountDatabase.h"
#include "DbError.h"

namespace accountdb {

namespace {
void ensureSodium()
{
    // sodium_init() is safe to call repeatedly and from several threads.
    if (sodium_init() < 0)
        throw DbError(QStringLiteral("密码库初始化失败。"));
}

// Number and level as one unambiguous message: the number never holds a line end (the key file is
// line based), so "number\nlevel" cannot be read two ways.
QByteArray tokenMessage(const QString &code, int level)
{
    return QByteArrayLiteral("orvane-pass-token\n") + code.toUtf8() + '\n' + QByteArray::number(level);
}
} // namespace

QString hashPassword(const QString &clear)
{
    if (clear.isEmpty())
        return {};
    ensureSodium();
    const QByteArray utf8 = clear.toUtf8();
    char out[crypto_pwhash_STRBYTES];
    if (crypto_pwhash_str(out, utf8.constData(), quint64(utf8.size()), crypto_pwhash_OPSLIMIT_INTERACTIVE,
                          crypto_pwhash_MEMLIMIT_INTERACTIVE) != 0)
        throw DbError(QStringLiteral("内存不足，无法计算密码。"));
    return QString::fromLatin1(out);
}

bool verifyPassword(const QString &clear, const QString &hash)
{
    if (hash.isEmpty())
        return clear.isEmpty();
    ensureSodium();
    const QByteArray utf8 = clear.toUtf8();
    const QByteArray stored = hash.toLatin1();
    return crypto_pwhash_str_verify(stored.constData(), utf8.constData(), quint64(utf8.size())) == 0;
}

QByteArray newTokenSecret()
{
    ensureSodium();
    QByteArray secret(crypto_auth_hmacsha256_KEYBYTES, Qt::Uninitialized);
    crypto_auth_hmacsha256_keygen(reinterpret_cast<unsigned char *>(secret.data()));
    return secret;
}

QByteArray tokenSecret(AccountDatabase &db)
{
    return db.value(QStringLiteral("SELECT Value FROM T_Gbl_Security WHERE Name = 'TokenSecret'"))
        .toByteArray();
}

QByteArray signToken(const QByteArray &secret, const QString &code, int level)
{
    if (secret.size() != crypto_auth_hmacsha256_KEYBYTES)
        throw DbError(QStringLiteral("账套没有安全钥匙密钥。"));
    ensureSodium();
    const QByteArray message = tokenMessage(code, level);
    QByteArray mac(crypto_auth_hmacsha256_BYTES, Qt::Uninitialized);
    crypto_auth_hmacsha256(reinterpret_cast<unsigned char *>(mac.data()),
                           reinterpret_cast<const unsigned char *>(message.constData()),
                           quint64(message.size()),
                           reinterpret_cast<const unsigned char *>(secret.constData()));
    return mac;
}

bool tokenSignatureValid(const QByteArray &secret, const QString &code, int level,
                         const QByteArray &signature)
{
    if (secret.size() != crypto_auth_hmacsha256_KEYBYTES || signature.size() != crypto_auth_hmacsha256_BYTES)
        return false;
    ensureSodium();
    const QByteArray message = tokenMessage(code, level);
    return crypto_auth_hmacsha256_verify(reinterpret_cast<const unsigned char *>(signature.constData()),
                                         reinterpret_cast<const unsigned char *>(message.constData()),
                                         quint64(message.size()),
                                         reinterpret_cast<const unsigned char *>(secret.constData())) == 0;
}

} // namespace accountdb
