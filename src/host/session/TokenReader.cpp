#include "TokenReader.h"

#include <QFile>
#include <QList>

#include "AccountDatabase.h"
#include "Password.h"

namespace {
const QByteArray kMarker = QByteArrayLiteral("ORVANE-PASS-TOKEN 1");

// "name=value" of a key-file line; empty when the line does not have that name.
std::optional<QByteArray> Field(const QByteArray &line, const QByteArray &name)
{
    if (!line.startsWith(name + '='))
        return std::nullopt;
    return line.mid(name.size() + 1);
}
} // namespace

std::optional<TPassToken> TKeyFileTokenReader::Read(accountdb::AccountDatabase &db)
{
    QFile file(FPath);
    // A key file is a few lines; anything large is not one.
    if (FPath.isEmpty() || !file.open(QIODevice::ReadOnly) || file.size() > 4096)
        return std::nullopt;
    std::optional<TPassToken> token = KeyFile::Parse(db, file.readAll());
    if (token)
        token->Info = FPath;
    return token;
}

namespace KeyFile {

QByteArray Make(accountdb::AccountDatabase &db, const QString &code, int level)
{
    if (code.trimmed().isEmpty() || code != code.trimmed() || code.contains(u'\n') || code.contains(u'\r'))
        throw accountdb::DbError(QStringLiteral("安全钥匙号码不能为空，也不能含有换行或首尾空格。"));
    if (level < 0)
        throw accountdb::DbError(QStringLiteral("安全钥匙级别不能小于 0。"));
    const QByteArray signature = accountdb::signToken(accountdb::tokenSecret(db), code, level);
    return kMarker + "\nnumber=" + code.toUtf8() + "\nlevel=" + QByteArray::number(level) +
           "\nsignature=" + signature.toHex() + '\n';
}

std::optional<TPassToken> Parse(accountdb::AccountDatabase &db, const QByteArray &contents)
{
    const QList<QByteArray> lines = contents.trimmed().split('\n');
    if (lines.size() != 4 || lines[0].trimmed() != kMarker)
        return std::nullopt;
    const auto number = Field(lines[1].trimmed(), "number");
    const auto level = Field(lines[2].trimmed(), "level");
    const auto signature = Field(lines[3].trimmed(), "signature");
    if (!number || !level || !signature)
        return std::nullopt;
    bool ok = false;
    TPassToken token{QString::fromUtf8(*number), level->toInt(&ok), QString()};
    if (!ok || token.Code.isEmpty() || token.Level < 0 ||
        !accountdb::tokenSignatureValid(accountdb::tokenSecret(db), token.Code, token.Level,
                                        QByteArray::fromHex(*signature)))
        return std::nullopt;
    return token;
}

} // namespace KeyFile
