#pragma once
// Splitting SQL text that holds several statements, for execBatch() and query(); hiding its values.

#include <QList>
#include <QString>

namespace accountdb {

struct SqlStatement
{
    QString text;     // trimmed, without the closing ";"
    int placeholders; // "?" outside quotes and comments
};

// At a quote ('...', "..." or [...]) at index i: the index of its closing character (a doubled quote
// stays inside), or the length of the text when it is not closed.
int sqlQuoteEnd(const QString &sql, int i);
// At the start of a comment (-- to the end of the line, or /* */) at index i: the index just past it;
// i when no comment starts there.
int sqlCommentEnd(const QString &sql, int i);

// Splits at ";" outside '...', "...", [...] and -- / /* */ comments. The body of CREATE TRIGGER
// (up to its END) stays one statement. Empty statements are dropped.
QList<SqlStatement> splitSqlStatements(const QString &sql);

// The text with its literal values hidden, for logs: '...' strings, blobs and numbers become "?" and
// comments are dropped; names (also "..." and [...]) stay, and a quoted name that holds a quote is
// masked inside as well (SQLite's "near \"'x'\"" of a syntax error).
QString maskSqlLiterals(const QString &sql);

} // namespace accountdb
