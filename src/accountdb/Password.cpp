#include "Password.h"

#include <sodium.h>

#include "DbError.h"

namespace accountdb {

namespace {
void ensureSodium()
{
    // sodium_init() is safe to call repeatedly and from several threads.
    if (sodium_init() < 0)
        throw DbError(QStringLiteral("密码库初始化失败。"));
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

} // namespace accountdb
