#include "Kvgridexport.h"

#include <QFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSaveFile>

#include <xlsxwriter.h>

#include "Udllmessageintf.h"

namespace Kvgridexport {
namespace {
constexpr QFileDevice::Permissions kOwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;

bool Fail(QString *error, const QString &text)
{
    if (error)
        *error = text;
    return false;
}

// Excel's number format for the kind: the grid's decimals with thousands separators.
QByteArray NumberFormat(TGridColumnKind kind)
{
    const int decimals = TKvGGeneralGrid::Decimals(kind);
    return decimals > 0 ? "#,##0." + QByteArray(decimals, '0') : QByteArray("#,##0");
}

// A sheet name Excel accepts: at most 31 characters, none of []:*?/\ .
QByteArray SheetName(const QString &title)
{
    static const QRegularExpression forbidden(QStringLiteral("[\\[\\]:*?/\\\\]"));
    QString name = QString(title).remove(forbidden).trimmed().left(31);
    return (name.isEmpty() ? QStringLiteral("Sheet1") : name).toUtf8();
}

QString CsvField(const QVariant &value)
{
    QString text =
        value.typeId() == QMetaType::Double ? QString::number(value.toDouble(), 'f', 10) : value.toString();
    if (value.typeId() == QMetaType::Double) {
        // Trailing zeros of the fixed text say nothing.
        if (text.contains(u'.'))
            while (text.endsWith(u'0'))
                text.chop(1);
        if (text.endsWith(u'.'))
            text.chop(1);
        return text;
    }
    if (text.contains(u',') || text.contains(u'"') || text.contains(u'\n') || text.contains(u'\r'))
        text = u'"' + text.replace(u'"', QStringLiteral("\"\"")) + u'"';
    return text;
}
} // namespace

bool WriteXlsx(const QString &fileName, const QString &sheetName, const TKvGGeneralGrid::TTable &table,
               QString *error)
{
    const QByteArray path = QFile::encodeName(fileName);
    lxw_workbook *workbook = workbook_new(path.constData());
    if (!workbook)
        return Fail(error, QStringLiteral("无法创建文件：") + fileName);
    lxw_worksheet *sheet = workbook_add_worksheet(workbook, SheetName(sheetName).constData());
    lxw_format *bold = workbook_add_format(workbook);
    format_set_bold(bold);
    QList<lxw_format *> numberFormats, boldNumberFormats;
    for (TGridColumnKind kind : table.Kinds) {
        const QByteArray pattern = NumberFormat(kind);
        lxw_format *plain = workbook_add_format(workbook);
        format_set_num_format(plain, pattern.constData());
        lxw_format *strong = workbook_add_format(workbook);
        format_set_num_format(strong, pattern.constData());
        format_set_bold(strong);
        numberFormats << plain;
        boldNumberFormats << strong;
    }
    QList<int> widths;
    for (int c = 0; c < table.Titles.size(); ++c) {
        worksheet_write_string(sheet, 0, lxw_col_t(c), table.Titles.at(c).toUtf8().constData(), bold);
        widths << int(table.Titles.at(c).toUtf8().size());
    }
    for (int r = 0; r < table.Rows.size(); ++r) {
        const bool totals = table.HasTotals && r == table.Rows.size() - 1;
        const QVariantList &row = table.Rows.at(r);
        for (int c = 0; c < row.size() && c < table.Titles.size(); ++c) {
            const QVariant &v = row.at(c);
            const lxw_row_t xr = lxw_row_t(r + 1);
            if (v.typeId() == QMetaType::Double) {
                worksheet_write_number(sheet, xr, lxw_col_t(c), v.toDouble(),
                                       totals ? boldNumberFormats.at(c) : numberFormats.at(c));
                widths[c] = std::max(widths[c], 14);
            } else if (!v.toString().isEmpty()) {
                const QByteArray text = v.toString().toUtf8();
                worksheet_write_string(sheet, xr, lxw_col_t(c), text.constData(), totals ? bold : nullptr);
                widths[c] = std::max(widths[c], int(text.size()));
            }
        }
    }
    for (int c = 0; c < widths.size(); ++c)
        worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), std::min(widths[c], 60) + 2, nullptr);
    const lxw_error result = workbook_close(workbook);
    if (result != LXW_NO_ERROR)
        return Fail(
            error,
            QStringLiteral("无法写入文件：%1（%2）").arg(fileName, QString::fromUtf8(lxw_strerror(result))));
    QFile::setPermissions(fileName, kOwnerOnly);
    return true;
}

bool WriteCsv(const QString &fileName, const TKvGGeneralGrid::TTable &table, QString *error)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return Fail(error, QStringLiteral("无法创建文件：") + fileName);
    file.setPermissions(kOwnerOnly);
    QStringList lines;
    QStringList titles;
    for (const QString &t : table.Titles)
        titles << CsvField(t);
    lines << titles.join(u',');
    for (const QVariantList &row : table.Rows) {
        QStringList cells;
        for (const QVariant &v : row)
            cells << CsvField(v);
        lines << cells.join(u',');
    }
    file.write("\xEF\xBB\xBF");
    file.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
    if (!file.commit())
        return Fail(error, QStringLiteral("无法写入文件：") + fileName);
    return true;
}

void ShowExportError(QWidget *parent, const QString &error)
{
    if (Udllmessageintf::DllMessage)
        Udllmessageintf::ShowErrorMsg(error);
    else
        QMessageBox::critical(parent, QStringLiteral("错误"), error);
}
} // namespace Kvgridexport
