#include <QRandomGenerator>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QtTest>

#include "AccountDatabase.h"
#include "tst_maintenance.h"
#include "uDllComm.h"

void TestMaintenance::init()
{
    FSystemDir = std::make_unique<QTemporaryDir>();
    QVERIFY(FSystemDir->isValid());
    qputenv("ORVANE_SYSTEM_PATH", FSystemDir->path().toUtf8());
    FAcct = std::make_unique<TestAccountSet>();
    FShell = TRecordingShell();
    FAcct->System().SetShell(&FShell);
    uDllComm::DllParams.FparForm = nullptr;
    uDllComm::DllParams.PubDataBaseName = FAcct->Path(); // as InitLoadDll hands it over
}

void TestMaintenance::cleanup()
{
    FAcct.reset();
    FSystemDir.reset();
    qunsetenv("ORVANE_SYSTEM_PATH");
}

QString TestMaintenance::BackupFolder() const
{
    return FSystemDir->path() + QStringLiteral("/BackUp");
}

void TestMaintenance::AddData(int rows)
{
    accountdb::AccountDatabase &db = FAcct->Db();
    db.exec(QStringLiteral(
        "CREATE TABLE T_Test_Keep (Id INTEGER PRIMARY KEY, Name TEXT, Amount REAL, Data BLOB)"));
    QRandomGenerator rng(42);
    db.begin();
    for (int i = 0; i < rows; ++i) {
        QByteArray blob(100 + i * 37 % 3000, Qt::Uninitialized);
        for (char &c : blob)
            c = char(rng.bounded(256));
        db.exec(QStringLiteral("INSERT INTO T_Test_Keep (Name, Amount, Data) VALUES (?, ?, ?)"),
                {QStringLiteral("货品%1 '引号' ;").arg(i), i * 1.25 - 7, blob});
    }
    db.commit();
    accountdb::ProcParams p{{QStringLiteral("@szName"), QStringLiteral("BackupProbe")},
                            {QStringLiteral("@szValue"), QStringLiteral("备份前")}};
    db.callProc(QStringLiteral("P_GBL_SetSysValue"), p);
}

QString TestMaintenance::Dump()
{
    accountdb::AccountDatabase &db = FAcct->Db();
    QStringList out;
    QStringList names;
    for (const QVariantList &row : db.query(db.dialect().tableNamesQuery()).rows) {
        // The log records the work itself.
        if (row[0].toString().compare(QLatin1String("T_Sys_EventLog"), Qt::CaseInsensitive) != 0)
            names << row[0].toString();
    }
    for (const QString &name : std::as_const(names)) {
        // The names come from the schema itself, not from data.
        QSqlQuery q = db.exec(QStringLiteral("SELECT * FROM \"%1\"").arg(name));
        QStringList columns;
        for (int i = 0; i < q.record().count(); ++i)
            columns << q.record().fieldName(i);
        out << name + u':' + columns.join(u',');
        QStringList rows;
        while (q.next()) {
            QStringList cells;
            for (int i = 0; i < q.record().count(); ++i) {
                const QVariant v = q.value(i);
                cells << (v.typeId() == QMetaType::QByteArray ? QString::fromLatin1(v.toByteArray().toHex())
                                                              : v.toString());
            }
            rows << cells.join(u'|');
        }
        rows.sort();
        out << rows;
    }
    return out.join(u'\n');
}

QTEST_MAIN(TestMaintenance)
