#pragma once
// The bill exchange file: a head line, then per bill one bill line ("P") followed by its detail lines
// ("P1"). Every field ends with a TAB; lines end with CR LF; the text is GBK. The reader also takes
// UTF-8 (with or without BOM) and reports the first line it cannot use.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace BillFile {

// "Lindero17.0业务单据", or the head of the other product series.
QString HeadText(bool isCmsq);

// The head line with its CR LF, in GBK.
QByteArray HeadLine(bool isCmsq);

// Tabs inside a free text would shift every later field: each becomes seven blanks.
QString FreeText(const QString &text);
// One line: every field followed by a TAB, then CR LF, encoded in GBK.
QByteArray EncodeLine(const QStringList &fields);

struct TReadResult
{
    QList<QStringList> Rows; // fields of every line after the head, counted from 0
    QList<int> LineNumbers;  // file line number of each row (the head is line 1)
    QString Error;           // empty when the file was read
};

// Bills of kinds the edition lacks are dropped with their detail lines.
struct TEdition
{
    bool IsCmsq = false;
    int PubVersion2 = 6680;
};

// Decodes the bytes of a file (GBK, or UTF-8 when they are valid UTF-8 or carry a BOM), checks the
// head and splits the lines. Text after the last TAB of a line is ignored.
TReadResult Read(const QByteArray &bytes, const TEdition &edition);

} // namespace BillFile
