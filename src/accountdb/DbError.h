#pragma once
// The one exception type of the account-set database: every failure, with a clear text for the user.

#include <QString>
#include <stdexcept>

namespace accountdb {

class DbError : public std::runtime_error
{
public:
    explicit DbError(const QString &m) : std::runtime_error(m.toStdString()), m_message(m) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};

} // namespace accountdb
