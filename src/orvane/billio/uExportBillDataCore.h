#pragma once
// Bill export without a window: the list of bills of the chosen conditions and the exchange file of
// the bills picked from it (BillFile.h), used by the export window and orvane-admin.

#include <QByteArray>
#include <QList>
#include <QString>

#include "ClientDataSet.h"

namespace uExportBillDataCore {

// List conditions; "00000" means every unit, handler, warehouse or department.
struct TExportQuery
{
    QString BeginDate;
    QString EndDate;
    QString VchtypeName; // empty: every bill type
    QString BType = QStringLiteral("00000");
    QString EType = QStringLiteral("00000");
    QString KType = QStringLiteral("00000");
    QString DType = QStringLiteral("00000");
    QString Summary;
    QString Comment;
    QString Draft = QStringLiteral("2"); // empty: drafts too
    QString RedOld = QStringLiteral("F");
};

// Runs p_jxc_Disp_Export into ds.
void LoadList(const TExportQuery &query, TClientDataSet &ds);

struct TExportFile
{
    QByteArray Bytes;
    int Count = 0; // bills written; a bill without lines is left out
};

// The file of the given rows of the list (in that order).
TExportFile BuildFile(TClientDataSet &list, const QList<int> &recNos, bool isCmsq);

// ".txt" appended unless the name ends with ".TXT" in any case.
QString WithExtension(const QString &fileName);
// Why an existing file must not be overwritten ("%s，不能导出业务单据。"), empty when it may be; a
// read-only file is made writable.
QString PrepareTarget(const QString &fileName);
// Writes the file; false with a message when it cannot be written.
bool WriteFile(const QString &fileName, const QByteArray &bytes, QString &error);

// The export in the event log: "业务单据导出：<file>（n张单据）".
void RecordExport(const QString &fileName, int count);

QString SuccessText(int count); // "数据导出成功。导出单据数量：n。"

} // namespace uExportBillDataCore
