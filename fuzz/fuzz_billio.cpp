// libFuzzer harness for the reader of bill exchange files.
//
// Any bytes must give either an error text (and no rows) or rows that are all bill lines ("P") or
// detail lines ("P1") after a bill line, each with the file line it came from, in increasing order.
// The first byte picks the edition, so the skipping of bill kinds is exercised too.

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "BillFile.h"

namespace {

[[noreturn]] void Fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "fuzz_billio: %s\n  %s\n", what, qPrintable(detail));
    std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const int kEditions[] = {880, 2680, 3680, 4680, 5680, 6680};
    const BillFile::TEdition edition{(data[0] & 0x80) != 0, kEditions[data[0] % 6]};
    const QByteArray bytes(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    const BillFile::TReadResult r = BillFile::Read(bytes, edition);
    if (!r.Error.isEmpty()) {
        if (!r.Rows.isEmpty())
            Fail("rows kept after an error", r.Error);
        return 0;
    }
    if (r.Rows.size() != r.LineNumbers.size())
        Fail("rows and line numbers differ in count", QString::number(r.Rows.size()));
    int lastLine = 1;
    for (int i = 0; i < r.Rows.size(); ++i) {
        const QString kind = r.Rows[i].value(1);
        if (kind != QStringLiteral("P") && (kind != QStringLiteral("P1") || i == 0))
            Fail("a row that is neither a bill line nor a detail line", r.Rows[i].join(u'|'));
        if (r.LineNumbers[i] <= lastLine)
            Fail("line numbers not increasing", QString::number(r.LineNumbers[i]));
        lastLine = r.LineNumbers[i];
    }
    return 0;
}
