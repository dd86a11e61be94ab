// Two orvane-admin import-bills of one file at the same time into one account set: each import is
// whole or refused with its message; the bills written get distinct numbers and every one its lines.
// export-bills keeps to the operator's base-data rights.

#include <QProcess>

#include "BillIoSeed.h"

class TstBillIoAdmin : public QObject
{
    Q_OBJECT

private slots:
    void concurrentImports();
    void exportKeepsToOperatorsRights();
};

namespace {

struct TRun
{
    int Code = -1;
    QString Out, Err;
};

QProcess *Start(QObject *owner, const QStringList &args)
{
    auto *p = new QProcess(owner);
    p->setStandardInputFile(QProcess::nullDevice());
    p->start(QStringLiteral(ORVANE_ADMIN_PATH), args);
    return p;
}

TRun Finish(QProcess *p)
{
    if (!p->waitForFinished(180000) || p->exitStatus() != QProcess::NormalExit)
        return {};
    return {p->exitCode(), QString::fromUtf8(p->readAllStandardOutput()),
            QString::fromUtf8(p->readAllStandardError())};
}

} // namespace

void TstBillIoAdmin::concurrentImports()
{
    QByteArray bytes;
    {
        TestAccountSet source;
        SeedBaseData(source.Db());
        SeedBills(source.Db());
        bytes = ExportAll();
    }
    TestAccountSet target;
    SeedBaseData(target.Db());
    const QString file = QDir(target.Dir()).filePath(QStringLiteral("bills.txt"));
    {
        QFile f(file);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QList<QProcess *> runs;
    for (int i = 0; i < 2; ++i) {
        auto *p = new QProcess(this);
        p->setStandardInputFile(QProcess::nullDevice());
        p->start(QStringLiteral(ORVANE_ADMIN_PATH), {QStringLiteral("import-bills"), QStringLiteral("--db"),
                                                     target.Path(), QStringLiteral("--in"), file});
        runs << p;
    }
    int imported = 0;
    for (QProcess *p : runs) {
        QVERIFY(p->waitForFinished(180000));
        QCOMPARE(p->exitStatus(), QProcess::NormalExit);
        const QString out = QString::fromUtf8(p->readAllStandardOutput());
        const QString err = QString::fromUtf8(p->readAllStandardError());
        if (p->exitCode() == 0) {
            QVERIFY2(out.contains(QStringLiteral("数据写入完成，有2条记录引入。")), qPrintable(out));
            ++imported;
        } else {
            QVERIFY2(!err.trimmed().isEmpty(), "a refused import says why");
        }
    }
    QVERIFY(imported >= 1);
    auto &db = target.Db();
    QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM DlyNdx")).toInt(), 2 * imported);
    QCOMPARE(db.value(QStringLiteral("SELECT count(DISTINCT Number) FROM DlyNdx")).toInt(), 2 * imported);
    QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM DlyNdx WHERE Draft <> 2")).toInt(), 0);
    QCOMPARE(
        db.value(QStringLiteral("SELECT count(*) FROM DlyNdx d WHERE NOT EXISTS (SELECT 1 FROM DlySale l "
                                "WHERE l.Vchcode = d.Vchcode) AND NOT EXISTS (SELECT 1 FROM DlyOther l "
                                "WHERE l.Vchcode = d.Vchcode)"))
            .toInt(),
        0);
    QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM DlySale")).toInt(), 2 * imported);
}

void TstBillIoAdmin::exportKeepsToOperatorsRights()
{
    TestAccountSet set;
    SeedBaseData(set.Db());
    SeedBills(set.Db());
    SeedRestrictedOperator(set.Db());
    const QString file = QDir(set.Dir()).filePath(QStringLiteral("out.txt"));
    const TRun run = Finish(
        Start(this, {QStringLiteral("export-bills"), QStringLiteral("--db"), set.Path(),
                     QStringLiteral("--out"), file, QStringLiteral("--operator"), QStringLiteral("R1")}));
    QVERIFY2(run.Code == 0, qPrintable(run.Err));
    QVERIFY(run.Out.contains(QStringLiteral("数据导出成功。导出单据数量：1。")));
    QFile f(file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    const QString text = FromGbk(f.readAll());
    QVERIFY(text.contains(QStringLiteral("\tXS-001\t")));
    QVERIFY(!text.contains(QStringLiteral("QC-001")));
    QCOMPARE(
        set.Db()
            .value(QStringLiteral("SELECT Event FROM T_Sys_EventLog WHERE OperatorId = 'R1' ORDER BY EventNo "
                                  "DESC LIMIT 1"))
            .toString(),
        QStringLiteral("业务单据导出：%1（1张单据）").arg(file));
}

QTEST_MAIN(TstBillIoAdmin)
#include "tst_billio_admin.moc"
