#pragma once
// Bill import without a window: checks every row of an exchange file against the account set, then
// writes all its bills in one transaction (a failure anywhere leaves the account set as it was).
// Base data is matched by code and never created; bills get new codes and numbers here.

#include <QList>
#include <QString>
#include <QStringList>
#include <functional>

namespace uImportBillDataCore {

const QString kPassed = QStringLiteral("通过检查");
const QString kIllegal = QStringLiteral("存在非法数据");
const QString kConvertError = QStringLiteral("数据转换出错，请检查数据文件");

struct TRowCheck
{
    QString Result;       // one of the three texts above
    QStringList Problems; // what is wrong, for the user ("存货不存在：A01 螺丝")
    QList<int> BadFields; // the fields (counted from 0) that hold an unknown or unreadable value
};

// Told the number of rows done so far.
using TProgress = std::function<void(int done)>;

// The bill date of a bill line as "yyyy-MM-dd"; empty when it cannot be read.
QString ParseDate(const QString &text);

// Checks each row (fields counted from 0, as BillFile::Read gives them).
QList<TRowCheck> CheckRows(const QList<QStringList> &rows, const TProgress &progress = {});

struct TImportResult
{
    int Count = 0;   // bills written (0 after a failure: nothing is kept)
    int Waiting = 0; // of them, bills waiting for audit
    QString Error;   // names the file line that failed
};

// Writes every bill of rows (all checked) in one transaction. lineNumbers are the file lines of the
// rows, for the message.
TImportResult ImportRows(const QList<QStringList> &rows, const QList<int> &lineNumbers,
                         const TProgress &progress = {});

QString DoneText(int count); // "数据写入完成，有n条记录引入。"
// "第n行：…" of the first row that did not pass, empty when all passed.
QString FirstProblem(const QList<TRowCheck> &checks, const QList<int> &lineNumbers);

} // namespace uImportBillDataCore
