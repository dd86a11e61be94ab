#pragma once
// Writers of a grid's visible table: an Excel workbook (one sheet, numbers as numbers with the
// grid's decimals and thousands separators, bold titles and 合计 row) and a CSV file (UTF-8 with a
// byte-order mark so that Excel reads the Chinese titles, CR LF, numbers without separators).
// Both files are readable by their owner only.

#include "Kvggeneralgrid.h"

namespace Kvgridexport {
bool WriteXlsx(const QString &fileName, const QString &sheetName, const TKvGGeneralGrid::TTable &table,
               QString *error);
bool WriteCsv(const QString &fileName, const TKvGGeneralGrid::TTable &table, QString *error);
// Reports a failed export through the message service (a message box without one).
void ShowExportError(QWidget *parent, const QString &error);
} // namespace Kvgridexport
