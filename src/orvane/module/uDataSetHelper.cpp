#include "uDataSetHelper.h"

namespace uDataSetHelper {
QStringList ColumnValues(TClientDataSet &ds, const QString &fieldName)
{
    QStringList values;
    for (ds.First(); !ds.Eof(); ds.Next())
        values << ds.FieldByName(fieldName).AsString();
    ds.First();
    return values;
}

QString DataSetToXml(TClientDataSet &ds, const QStringList &fieldNames)
{
    QString xml = QStringLiteral("<Root>");
    for (ds.First(); !ds.Eof(); ds.Next()) {
        xml += QStringLiteral("<Record");
        for (const QString &f : fieldNames)
            xml += QLatin1Char(' ') + f + QStringLiteral("=\"") +
                   ds.FieldByName(f).AsString().toHtmlEscaped() + QLatin1Char('"');
        xml += QStringLiteral("/>");
    }
    ds.First();
    return xml + QStringLiteral("</Root>");
}
} // namespace uDataSetHelper
