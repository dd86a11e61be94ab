#pragma once
// Base data kept in class trees: goods, partners, warehouses, employees and departments. One description
// per kind tells the procedures, the CSV exchange and the windows which table and columns it has.
//
// Every tree table has TypeId (a child's id is its parent's id + 5 digits; the root is "00000"), ParId,
// Leveal, Sonnum/Soncount (children), IsClass (1 = a class grouping records), UserCode, FullName,
// PinyinCode (the initials of the name, kept by the procedures) and Deleted (1 = hidden).

#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>

namespace accountdb {

class AccountDatabase;

namespace basedata {

enum class FieldType { Text, Integer, Real };

struct Field
{
    QString column;  // the table's column; "Unit2"/"URate2" live in PtypeUnit (second unit)
    QString caption; // the CSV header and the window's label
    FieldType type = FieldType::Text;
};

struct Kind
{
    QString name;        // goods, partners, warehouses, employees, departments
    QString table;       // ptype, btype, stock, Employee, Department
    QString caption;     // 存货, 往来单位, ...
    QList<Field> fields; // editable fields after UserCode and FullName
};

inline const QString kRootId = QStringLiteral("00000");

const QList<Kind> &kinds();
// The kind of that name (case ignored); null when there is none.
const Kind *findKind(const QString &name);

// The kind's fields as columns of a select from its table as "r" joined with fieldJoin(): the second
// unit of goods comes from PtypeUnit (null when there is none).
QStringList fieldColumns(const Kind &kind);
QString fieldJoin(const Kind &kind);

// The pinyin initials of a text in capitals: Chinese characters of common use give their initial,
// letters and digits stay as they are (upper case), anything else is left out.
QString pinyinInitials(const QString &text);

// Where a record is used (a bill, an opening balance, an operator, a rights grant), as a sentence part
// such as "单据“XS-001”"; empty when it is used nowhere.
QString whereUsed(AccountDatabase &db, const Kind &kind, const QString &typeId);

// GBK (the Chinese national encoding) to and from text; characters it lacks are left out.
QByteArray gbkEncode(const QString &text);
QString gbkDecode(const QByteArray &data);

// CSV exchange. Export writes the kind's classes and records, parents first; import checks every row
// first and writes nothing unless all pass.
enum class CsvEncoding { Utf8, Gbk };
QByteArray exportCsv(AccountDatabase &db, const Kind &kind, CsvEncoding encoding);
struct ImportResult
{
    int imported = 0;
    QStringList errors; // "第N行：reason"
};
ImportResult importCsv(AccountDatabase &db, const Kind &kind, const QByteArray &data, CsvEncoding encoding,
                       const QString &operatorId);

} // namespace basedata
} // namespace accountdb
