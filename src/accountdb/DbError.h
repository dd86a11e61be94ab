#pragma once
// The one exception type of the account-set database: every failure, with a clear text for the user.

#include <QString>
#include <stdexcept>

namespace accountdb {

class DbError : public std::runtime_error
{
public:
    // `retryable`: the server gave up the transaction because of another one (a serialization failure
    // or a deadlock); the whole transaction may run again.
    explicit DbError(const QString &m, bool retryable = false)
        : std::runtime_error(m.toStdString()), m_message(m), m_retryable(retryable)
    {}
    const QString &message() const { return m_message; }
    bool retryable() const { return m_retryable; }

private:
    QString m_message;
    bool m_retryable = false;
};

} // namespace accountdb
