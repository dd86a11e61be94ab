#include "BillFile.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace BillFile {

namespace {

const QString kNotBillFile = QStringLiteral("该文件不是有效的业务单据文件。");

// A well-formed UTF-8 text is taken as UTF-8: GBK Chinese text is practically never valid UTF-8.
QString Decode(const QByteArray &bytes, bool &ok)
{
    if (bytes.startsWith("\xEF\xBB\xBF")) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8.decode(bytes.mid(3));
        ok = !utf8.hasError();
        return text;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError()) {
        ok = true;
        return text;
    }
    QStringDecoder gbk("GBK");
    text = gbk.decode(bytes);
    ok = gbk.isValid() && !gbk.hasError();
    return text;
}

// Kinds of bills the edition does not have.
bool SkippedKind(const QString &typeName, const TEdition &edition)
{
    if (edition.IsCmsq)
        return edition.PubVersion2 <= 2680 && typeName.contains(QStringLiteral("委托"));
    return edition.PubVersion2 < 5680 && typeName.contains(QStringLiteral("委外"));
}

} // namespace

QString HeadText(bool isCmsq)
{
    return isCmsq ? QStringLiteral("Maravel系列17.0业务单据") : QStringLiteral("Lindero17.0业务单据");
}

QByteArray HeadLine(bool isCmsq)
{
    QStringEncoder gbk("GBK");
    return gbk.encode(HeadText(isCmsq) + QStringLiteral("\r\n"));
}

QString FreeText(const QString &text)
{
    QString out = text;
    return out.replace(u'\t', QStringLiteral("       "));
}

QByteArray EncodeLine(const QStringList &fields)
{
    QString line;
    for (const QString &f : fields)
        line += f + u'\t';
    line += QStringLiteral("\r\n");
    QStringEncoder gbk("GBK");
    return gbk.encode(line);
}

TReadResult Read(const QByteArray &bytes, const TEdition &edition)
{
    TReadResult r;
    bool ok = false;
    const QString text = Decode(bytes, ok);
    QStringList lines = text.split(u'\n');
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    for (QString &l : lines) {
        if (l.endsWith(u'\r'))
            l.chop(1);
    }
    if (lines.isEmpty() || !lines.constFirst().contains(HeadText(edition.IsCmsq))) {
        r.Error = kNotBillFile;
        return r;
    }
    if (!ok) {
        r.Error = QStringLiteral("文件中有无法识别的字符（只支持 GBK 或 UTF-8 编码）。");
        return r;
    }
    bool skipping = false;
    bool haveBill = false;
    for (int i = 1; i < lines.size(); ++i) {
        const QString &line = lines[i];
        if (line.trimmed().isEmpty())
            continue;
        QStringList fields = line.split(u'\t');
        fields.removeLast(); // the text after the last TAB
        for (QString &f : fields)
            f = f.trimmed();
        const QString kind = fields.value(1);
        if (kind == QStringLiteral("P")) {
            skipping = SkippedKind(fields.value(2), edition);
            haveBill = true;
        } else if (kind != QStringLiteral("P1") || !haveBill) {
            r.Error = QStringLiteral("第%1行不是单据行或明细行，请检查数据文件。").arg(i + 1);
            r.Rows.clear();
            r.LineNumbers.clear();
            return r;
        }
        if (skipping)
            continue;
        r.Rows << fields;
        r.LineNumbers << i + 1;
    }
    return r;
}

} // namespace BillFile
