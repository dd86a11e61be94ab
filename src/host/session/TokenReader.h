#pragma once
// The pass-token (安全钥匙) reader of the host. A key is a number and a level (0 = normal, otherwise
// advanced). On this platform a key is a small file on removable media (its path in CONFIG.INI, section
// "HOST", key "TokenKeyFile"); it carries its number and level signed with the secret of the account set,
// so a file whose level was edited or that was made for another account set reads as no key at all.

#include <QByteArray>
#include <QString>
#include <optional>

namespace accountdb {
class AccountDatabase;
}

struct TPassToken
{
    QString Code;
    int Level = 0;
    QString Info; // where the key was read
};

class ITokenReader
{
public:
    virtual ~ITokenReader() = default;
    // The plugged-in key as valid for this account set; nothing when there is none.
    virtual std::optional<TPassToken> Read(accountdb::AccountDatabase &db) = 0;
};

class TKeyFileTokenReader final : public ITokenReader
{
public:
    explicit TKeyFileTokenReader(const QString &path) : FPath(path) {}
    QString Path() const { return FPath; }
    std::optional<TPassToken> Read(accountdb::AccountDatabase &db) override;

private:
    QString FPath;
};

namespace KeyFile {
// The contents of a key file for the account set: a marker line, the number, the level and the signature.
// Raises accountdb::DbError for a number that is empty or holds a line end, or a negative level.
QByteArray Make(accountdb::AccountDatabase &db, const QString &code, int level);
// The key a file's contents describe when its signature holds for the account set.
std::optional<TPassToken> Parse(accountdb::AccountDatabase &db, const QByteArray &contents);
} // namespace KeyFile
