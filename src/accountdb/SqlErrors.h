#pragma once
// Clear texts for the failures SQLite reports in its own English words (a full disk, a read-only
// file, a damaged file, ...), so that nobody is shown "database or disk is full" or "unknown error".

#include <QString>

class QSqlError;

namespace accountdb {

// The text for an SQLite result code (primary or extended); empty for codes without one of their own.
QString sqliteFailureText(int code);
// The text for a failure reported by QSqlError, by its SQLite code; empty when it has none.
QString sqliteFailureText(const QSqlError &error);
// The text for a full disk (SQLite's or the system's).
QString diskFullText();
// A message that carries one of SQLite's failure texts becomes the clear text for it; any other
// message is returned as it is.
QString readableFailure(const QString &message);

} // namespace accountdb
