#pragma once
// Splitting SQL text that holds several statements, for execBatch() and query().

#include <QList>
#include <QString>

namespace accountdb {

struct SqlStatement
{
    QString text;     // trimmed, without the closing ";"
    int placeholders; // "?" outside quotes and comments
};

// Splits at ";" outside '...', "...", [...] and -- / /* */ comments. The body of CREATE TRIGGER
// (up to its END) stays one statement. Empty statements are dropped.
QList<SqlStatement> splitSqlStatements(const QString &sql);

} // namespace accountdb
