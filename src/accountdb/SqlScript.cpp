#include "SqlScript.h"

namespace accountdb {

namespace {

bool isWordChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_';
}

// Tracks the words of the statement being read, to keep a trigger body in one piece.
struct StatementWords
{
    QStringList head; // first three words, upper case
    QString last;     // last word, upper case
    int caseDepth = 0;

    void add(const QString &word)
    {
        const QString w = word.toUpper();
        if (head.size() < 3)
            head << w;
        if (w == u"CASE")
            ++caseDepth;
        else if (w == u"END" && caseDepth > 0) {
            --caseDepth;
            last.clear(); // the END of a CASE does not close a trigger
            return;
        }
        last = w;
    }
    bool isTrigger() const
    {
        if (head.size() >= 2 && head[0] == u"CREATE" && head[1] == u"TRIGGER")
            return true;
        return head.size() >= 3 && head[0] == u"CREATE" && (head[1] == u"TEMP" || head[1] == u"TEMPORARY") &&
               head[2] == u"TRIGGER";
    }
    // A ";" inside a trigger body separates its inner statements; only the one after END closes it.
    bool semicolonCloses() const { return !isTrigger() || last == u"END"; }
};

bool isQuote(QChar c)
{
    return c == u'\'' || c == u'"' || c == u'[';
}

} // namespace

int sqlQuoteEnd(const QString &sql, int i)
{
    const QChar close = sql[i] == u'[' ? QChar(u']') : sql[i];
    const int n = int(sql.size());
    int j = i + 1;
    while (j < n) {
        if (sql[j] == close) {
            if (close != u']' && j + 1 < n && sql[j + 1] == close) {
                j += 2;
                continue;
            }
            break;
        }
        ++j;
    }
    return j;
}

int sqlCommentEnd(const QString &sql, int i)
{
    const int n = int(sql.size());
    if (i + 1 >= n)
        return i;
    if (sql[i] == u'-' && sql[i + 1] == u'-') {
        const int eol = sql.indexOf(u'\n', i);
        return eol < 0 ? n : eol;
    }
    if (sql[i] == u'/' && sql[i + 1] == u'*') {
        const int end = sql.indexOf(QStringLiteral("*/"), i + 2);
        return end < 0 ? n : end + 2;
    }
    return i;
}

QList<SqlStatement> splitSqlStatements(const QString &sql)
{
    QList<SqlStatement> out;
    QString current;
    int placeholders = 0;
    bool hasCode = false; // a statement of comments only is dropped
    StatementWords words;

    auto flush = [&] {
        const QString text = current.trimmed();
        if (hasCode)
            out.append({text, placeholders});
        current.clear();
        placeholders = 0;
        hasCode = false;
        words = StatementWords();
    };

    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (isQuote(c)) {
            const int j = sqlQuoteEnd(sql, i);
            current += QStringView(sql).mid(i, qMin(j + 1, n) - i);
            hasCode = true;
            i = j + 1;
        } else if (const int j = sqlCommentEnd(sql, i); j > i) {
            current += QStringView(sql).mid(i, j - i);
            i = j;
        } else if (isWordChar(c)) {
            int j = i;
            while (j < n && isWordChar(sql[j]))
                ++j;
            const QString word = sql.mid(i, j - i);
            words.add(word);
            current += word;
            hasCode = true;
            i = j;
        } else if (c == u';') {
            if (words.semicolonCloses())
                flush();
            else
                current += c;
            ++i;
        } else {
            if (c == u'?')
                ++placeholders;
            if (!c.isSpace())
                hasCode = true;
            current += c;
            ++i;
        }
    }
    flush();
    return out;
}

QString maskSqlLiterals(const QString &sql)
{
    QString out;
    out.reserve(sql.size());
    const int n = int(sql.size());
    int i = 0;
    while (i < n) {
        const QChar c = sql[i];
        if (isQuote(c)) {
            const int j = sqlQuoteEnd(sql, i);
            if (c == u'\'') {
                out += u'?';
            } else {
                const QString inner = sql.mid(i + 1, j - i - 1);
                out += c + (inner.contains(u'\'') ? maskSqlLiterals(inner) : inner);
                if (j < n)
                    out += sql[j];
            }
            i = j + 1;
        } else if (const int j = sqlCommentEnd(sql, i); j > i) {
            if (sql[i] == u'/')
                out += u' '; // a block comment may stand between two words
            i = j;
        } else if (c.isDigit() || (c == u'.' && i + 1 < n && sql[i + 1].isDigit())) {
            int j = i;
            while (j < n &&
                   (isWordChar(sql[j]) || sql[j] == u'.' ||
                    ((sql[j] == u'+' || sql[j] == u'-') && (sql[j - 1] == u'e' || sql[j - 1] == u'E'))))
                ++j;
            out += u'?';
            i = j;
        } else if (isWordChar(c)) {
            int j = i;
            while (j < n && isWordChar(sql[j]))
                ++j;
            out += QStringView(sql).mid(i, j - i);
            i = j;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

} // namespace accountdb
