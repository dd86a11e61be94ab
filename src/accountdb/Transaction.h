#pragma once
// Scope object for a transaction on an account set: commit is explicit, leaving the scope without
// commit (also by an exception) rolls back.

#include "AccountDatabase.h"

namespace accountdb {

class Transaction
{
public:
    explicit Transaction(AccountDatabase &db) : m_db(db) { m_db.begin(); }
    ~Transaction()
    {
        if (m_open) {
            try {
                m_db.rollback();
            } catch (const DbError &) {
                // The connection already dropped the transaction; nothing is left to undo.
            }
        }
    }
    Transaction(const Transaction &) = delete;
    Transaction &operator=(const Transaction &) = delete;

    void commit()
    {
        m_db.commit();
        m_open = false;
    }

private:
    AccountDatabase &m_db;
    bool m_open = true;
};

} // namespace accountdb
