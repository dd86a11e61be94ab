#pragma once
// Helpers over the in-memory dataset.

#include <QStringList>

#include "ClientDataSet.h"

namespace uDataSetHelper {
// Every value of a column, in row order (the cursor is left on the first row).
QStringList ColumnValues(TClientDataSet &ds, const QString &fieldName);
// The rows as "<Root><Record a="1" .../></Root>" XML (attributes in field order, values escaped).
QString DataSetToXml(TClientDataSet &ds, const QStringList &fieldNames);
} // namespace uDataSetHelper
