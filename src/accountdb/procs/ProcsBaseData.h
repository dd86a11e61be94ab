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
    QChar rights;        // its base-data rights kind (BaseRights.h); null when it has none
    int functionNo = 0;  // the operator right to add, change, hide and delete records of the kind
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

// Where a record is used (a bill, an opening balance, an operator, a rights grant, a stock warning, an
// audit flow, ...), as a sentence part such as "单据“XS-001”"; empty when it is used nowhere.
QString whereUsed(AccountDatabase &db, const Kind &kind, const QString &typeId);

// Base-data rights of an operator on a kind. rightsFilter() is a condition on the kind's table as
// "alias" that leaves out what the operator may not see, with the operator as its one parameter;
// empty for a kind without base-data rights.
QString rightsFilter(const Kind &kind, const QString &alias);
// Why the operator may not add, change, hide, move or delete that record of the kind (an empty typeId:
// records of the kind at all); empty when he may. The supervisor and the administrator may always.
QString changeRefusal(AccountDatabase &db, const Kind &kind, const QString &operatorId,
                      const QString &typeId = QString());

// GBK (the Chinese national encoding) to and from text; characters it lacks are left out.
QByteArray gbkEncode(const QString &text);
QString gbkDecode(const QByteArray &data);

// CSV exchange. Export writes the kind's classes and records, parents first; import checks every row
// first and writes nothing unless all pass.
enum class CsvEncoding { Utf8, Gbk };
// With an operator, what his base-data rights hide is left out.
QByteArray exportCsv(AccountDatabase &db, const Kind &kind, CsvEncoding encoding,
                     const QString &operatorId = QString());
struct ImportResult
{
    int imported = 0;
    QStringList errors; // "第N行：reason"
};
ImportResult importCsv(AccountDatabase &db, const Kind &kind, const QByteArray &data, CsvEncoding encoding,
                       const QString &operatorId);

} // namespace basedata
} // namespace accountdb
