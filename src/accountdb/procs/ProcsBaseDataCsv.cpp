// CSV exchange of base data: a header of captions, then one row per class or record, parents before
// their children. "上级编号" names the parent class by its code (empty: top level), "类别" is "是" for a
// class, "隐藏" is "是" for a hidden record. Fields follow RFC 4180 (quotes around fields with commas, quotes
// or line breaks).

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QRegularExpression>
#include <cerrno>
#include <iconv.h>

#include "AccountDatabase.h"
#include "ProcsBaseData.h"

namespace accountdb::basedata {

namespace {

const QString kParentCaption = QStringLiteral("上级编号");
const QString kClassCaption = QStringLiteral("类别");
const QString kHiddenCaption = QStringLiteral("隐藏");
const QString kYes = QStringLiteral("是");

QByteArray convert(const char *to, const char *from, const QByteArray &in)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1))
        return QByteArray();
    QByteArray out(in.size() * 2 + 16, '\0');
    char *src = const_cast<char *>(in.constData());
    size_t srcLeft = size_t(in.size());
    char *dst = out.data();
    size_t dstLeft = size_t(out.size());
    while (srcLeft > 0) {
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) != size_t(-1))
            continue;
        if (errno == E2BIG) {
            const qsizetype used = dst - out.data();
            out.resize(out.size() * 2);
            dst = out.data() + used;
            dstLeft = size_t(out.size() - used);
        } else { // a byte sequence the target cannot hold: skip one byte
            ++src;
            --srcLeft;
        }
    }
    out.resize(dst - out.data());
    iconv_close(cd);
    return out;
}

QString csvField(const QString &value)
{
    if (!value.contains(u',') && !value.contains(u'"') && !value.contains(u'\n') && !value.contains(u'\r'))
        return value;
    return u'"' + QString(value).replace(QStringLiteral("\""), QStringLiteral("\"\"")) + u'"';
}

struct CsvRow
{
    int line;
    QStringList fields;
};

// Rows with the line each begins on; blank lines are skipped.
QList<CsvRow> parseCsv(const QString &text)
{
    QList<CsvRow> rows;
    CsvRow row{1, {}};
    QString field;
    bool quoted = false, fieldStarted = false;
    int line = 1;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"') {
                field += c;
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                if (c == u'\n')
                    ++line;
                field += c;
            }
            continue;
        }
        if (c == u'"' && field.isEmpty()) {
            quoted = fieldStarted = true;
        } else if (c == u',') {
            row.fields << field;
            field.clear();
            fieldStarted = true;
        } else if (c == u'\n' || c == u'\r') {
            if (c == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            if (fieldStarted || !field.isEmpty()) {
                row.fields << field;
                rows << row;
            }
            ++line;
            row = CsvRow{line, {}};
            field.clear();
            fieldStarted = false;
        } else {
            field += c;
            fieldStarted = true;
        }
    }
    if (fieldStarted || !field.isEmpty()) {
        row.fields << field;
        rows << row;
    }
    return rows;
}

QString columnOfCaption(const Kind &kind, const QString &caption)
{
    if (caption == QStringLiteral("编号"))
        return QStringLiteral("UserCode");
    if (caption == QStringLiteral("名称"))
        return QStringLiteral("FullName");
    for (const Field &f : kind.fields)
        if (f.caption == caption || f.column.compare(caption, Qt::CaseInsensitive) == 0)
            return f.column;
    return QString();
}

} // namespace

QByteArray gbkEncode(const QString &text)
{
    return convert("GBK", "UTF-8", text.toUtf8());
}

QString gbkDecode(const QByteArray &data)
{
    return QString::fromUtf8(convert("UTF-8", "GBK", data));
}

QByteArray exportCsv(AccountDatabase &db, const Kind &kind, CsvEncoding encoding, const QString &operatorId)
{
    QStringList header{kParentCaption, kClassCaption, kHiddenCaption, QStringLiteral("编号"),
                       QStringLiteral("名称")};
    for (const Field &f : kind.fields)
        header << f.caption;
    const QStringList columns =
        QStringList{QStringLiteral("p.UserCode"), QStringLiteral("r.IsClass"), QStringLiteral("r.Deleted"),
                    QStringLiteral("r.UserCode"), QStringLiteral("r.FullName")} +
        fieldColumns(kind);
    // Ids extend their parent's id, so ordering by id lists parents first.
    QString where = QStringLiteral("r.TypeId <> ?");
    QVariantList params{kRootId};
    if (const QString rights = rightsFilter(kind, QStringLiteral("r"));
        !operatorId.isEmpty() && !rights.isEmpty()) {
        where += QStringLiteral(" AND ") + rights;
        params << operatorId;
    }
    const ResultSet rs =
        db.query(QStringLiteral("SELECT %1 FROM %2 r LEFT JOIN %2 p ON p.TypeId = r.ParId%3 "
                                "WHERE %4 ORDER BY r.TypeId")
                     .arg(columns.join(QStringLiteral(", ")), kind.table, fieldJoin(kind), where),
                 params);
    QString out = header.join(u',') + QStringLiteral("\r\n");
    for (const QVariantList &row : rs.rows) {
        QStringList fields;
        for (int i = 0; i < row.size(); ++i) {
            if (i == 1 || i == 2)
                fields << (row[i].toInt() == 1 ? kYes : QString());
            else if (row[i].isNull())
                fields << QString();
            else if (row[i].typeId() == QMetaType::Double)
                fields << QString::number(row[i].toDouble(), 'g', 15);
            else
                fields << csvField(row[i].toString());
        }
        out += fields.join(u',') + QStringLiteral("\r\n");
    }
    return encoding == CsvEncoding::Gbk ? gbkEncode(out) : out.toUtf8();
}

ImportResult importCsv(AccountDatabase &db, const Kind &kind, const QByteArray &data, CsvEncoding encoding,
                       const QString &operatorId)
{
    ImportResult result;
    QString text = encoding == CsvEncoding::Gbk ? gbkDecode(data) : QString::fromUtf8(data);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    const QList<CsvRow> rows = parseCsv(text);
    if (rows.isEmpty()) {
        result.errors << QStringLiteral("第1行：文件是空的");
        return result;
    }
    QStringList columns;
    for (const QString &caption : rows[0].fields) {
        const QString c = caption.trimmed();
        const QString column = c == kParentCaption   ? QStringLiteral("ParentCode")
                               : c == kClassCaption  ? QStringLiteral("IsClass")
                               : c == kHiddenCaption ? QStringLiteral("Hidden")
                                                     : columnOfCaption(kind, c);
        if (column.isEmpty())
            result.errors << QStringLiteral("第1行：不认识的列“%1”").arg(c);
        columns << column;
    }
    if (!columns.contains(QStringLiteral("UserCode")) || !columns.contains(QStringLiteral("FullName")))
        result.errors << QStringLiteral("第1行：缺少“编号”或“名称”列");
    if (!result.errors.isEmpty())
        return result;
    // Rows of the wrong width are reported with the rows the procedure refuses, in line order.
    QMap<int, QString> shapeErrors;
    QJsonArray json;
    for (qsizetype r = 1; r < rows.size(); ++r) {
        if (rows[r].fields.size() != columns.size()) {
            shapeErrors.insert(rows[r].line, QStringLiteral("第%1行：有%2列，表头有%3列")
                                                 .arg(rows[r].line)
                                                 .arg(rows[r].fields.size())
                                                 .arg(columns.size()));
            continue;
        }
        QJsonObject o{{QStringLiteral("Line"), rows[r].line}};
        for (qsizetype i = 0; i < columns.size(); ++i) {
            const QString value = rows[r].fields[i].trimmed();
            if (columns[i] == QLatin1String("IsClass") || columns[i] == QLatin1String("Hidden"))
                o.insert(columns[i], value == kYes ? 1 : 0);
            else
                o.insert(columns[i], value);
        }
        json.append(o);
    }
    ProcParams p{
        {QStringLiteral("@Kind"), kind.name},
        {QStringLiteral("@Rows"), QString::fromUtf8(QJsonDocument(json).toJson(QJsonDocument::Compact))},
        {QStringLiteral("@OperatorId"), operatorId},
        {QStringLiteral("@CheckOnly"), shapeErrors.isEmpty() ? 0 : 1},
        {QStringLiteral("@ErrMsg"), QString(), true}};
    const int written = db.callProc(QStringLiteral("P_BASE_Import"), p);
    if (written < 0) {
        static const QRegularExpression line(QStringLiteral("^第(\\d+)行"));
        for (const QString &error : p.last().value.toString().split(u'\n'))
            shapeErrors.insert(line.match(error).captured(1).toInt(), error);
    }
    if (!shapeErrors.isEmpty())
        result.errors = shapeErrors.values();
    else
        result.imported = written;
    return result;
}

} // namespace accountdb::basedata
