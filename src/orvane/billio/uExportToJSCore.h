#pragma once
// Sales bills for the outside tax-invoicing system, without a window: a text file (GBK, CR LF) whose
// fields are separated by "~~". Line 1 is "SJJK0101~~销售单据传入"; each bill is a "//单据:" line, a
// head line and one line per goods row. Text fields are cut to their byte length in GBK without
// splitting a Chinese character.

#include <QByteArray>
#include <QList>
#include <QString>

namespace uExportToJSCore {

const QString kFileHead = QStringLiteral("SJJK0101~~销售单据传入");

// The longest start of text that fits in maxBytes bytes of GBK.
QString CutGbk(const QString &text, int maxBytes);
// 17, 13, 6, 4 and 3 per cent are the rates the invoicing system takes.
bool TaxRateAllowed(double ratePercent);

struct TBillRef
{
    qint64 Vchcode = 0;
    int Vchtype = 0;
    QString Number;
};

struct TExportResult
{
    QByteArray Bytes; // the file, the head line included
    int Count = 0;    // bills written
    bool Cancelled = false;
};

// Builds the file of the given bills, asking through the message service whether to go on after a bill
// that cannot be exported (a bill of another type, a failed check). Messages are the system's texts.
TExportResult BuildFile(const QList<TBillRef> &bills);

// "<folder>/bill" + yyyymmdd_hhnnsszzz + ".txt".
QString FileName(const QString &folder);
QString DoneText(int count, const QString &fileName);

} // namespace uExportToJSCore
