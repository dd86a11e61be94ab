// Area "base data", codes step: the code of a record is unique among all records and classes of its
// kind, hidden ones included (a CSV export names parents by code, so its import needs them unique), and
// the database itself refuses a second one. Records without a code (only written by older tools) are
// left out of the rule. Codes an account set already holds twice are renamed first — the later records
// get "-2", "-3", ... — and the event log lists them; the upgrade never fails on them.
//
// The operator rights to maintain each kind (T_Gbl_FunctionList, kind "基本信息" under 文件).

#include "AccountDatabase.h"
#include "EventLog.h"
#include "Schema.h"
#include "procs/ProcsBaseData.h"

namespace accountdb::schema {

namespace {

// Renames the later records of every code held more than once; returns "old→new" per renamed record.
QStringList renameDuplicates(AccountDatabase &db, const basedata::Kind &kind)
{
    const ResultSet rs = db.query(
        QStringLiteral(
            "SELECT TypeId, UserCode FROM %1 WHERE UserCode <> '' AND UserCode IN "
            "(SELECT UserCode FROM %1 GROUP BY UserCode HAVING count(*) > 1) ORDER BY UserCode, TypeId")
            .arg(kind.table));
    QStringList renamed;
    QString previous;
    for (const QVariantList &row : rs.rows) {
        const QString code = row[1].toString();
        if (code != previous) { // the first record keeps the code
            previous = code;
            continue;
        }
        QString newCode;
        for (int n = 2;; ++n) {
            newCode = QStringLiteral("%1-%2").arg(code).arg(n);
            if (db.value(QStringLiteral("SELECT count(*) FROM %1 WHERE UserCode = ?").arg(kind.table),
                         {newCode})
                    .toInt() == 0)
                break;
        }
        db.exec(QStringLiteral("UPDATE %1 SET UserCode = ? WHERE TypeId = ?").arg(kind.table),
                {newCode, row[0]});
        renamed << QStringLiteral("%1%2→%3").arg(kind.caption, code, newCode);
    }
    return renamed;
}

} // namespace

void migrateBaseDataCodesTo13(AccountDatabase &db)
{
    // Every statement may run again on a set that already has its work done.
    QStringList renamed;
    for (const basedata::Kind &kind : basedata::kinds()) {
        renamed += renameDuplicates(db, kind);
        db.execBatch(QStringLiteral("DROP INDEX IF EXISTS IX_%1_UserCode;"
                                    "CREATE UNIQUE INDEX IF NOT EXISTS UX_%1_UserCode ON %1 (UserCode) "
                                    "WHERE UserCode <> ''")
                         .arg(kind.table));
    }
    if (!renamed.isEmpty())
        writeEvent(db, QStringLiteral("00000"),
                   event::BaseDataChange.arg(QStringLiteral("重复的编号已改为：") +
                                             renamed.join(QStringLiteral("、"))));

    QList<QVariantList> rights, editions;
    for (const basedata::Kind &kind : basedata::kinds()) {
        rights.append({kind.functionNo, kind.caption, QStringLiteral("0000100004")});
        for (int edition : {880, 2680, 3680, 4680, 5680, 6680})
            editions.append({kind.functionNo, edition});
    }
    db.exec(
        QStringLiteral("INSERT INTO t_gbl_rightkind (TypeID, ParID, FullName, orderno) VALUES (?, ?, ?, ?) "
                       "ON CONFLICT (TypeID) DO NOTHING"),
        {QStringLiteral("0000100004"), QStringLiteral("00001"), QStringLiteral("基本信息"), 4});
    seedRows(db,
             QStringLiteral("INSERT INTO T_Gbl_FunctionList (FunctionNo, Caption, KindID) VALUES (?, ?, ?) "
                            "ON CONFLICT (FunctionNo) DO NOTHING"),
             rights);
    seedRows(db,
             QStringLiteral("INSERT INTO VersionFunction (FunctionNO, PubVersion) VALUES (?, ?) "
                            "ON CONFLICT (FunctionNO, PubVersion) DO NOTHING"),
             editions);
}

} // namespace accountdb::schema
