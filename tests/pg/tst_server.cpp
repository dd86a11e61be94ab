// Two workstations on one server account set at the same moment, each its own connection in its own
// thread: what the server does to one of them is undone and done again, never left half-done.

#include <QThread>
#include <QtTest>
#include <atomic>
#include <functional>

#include "AccountDatabase.h"
#include "TestAccountSet.h"

using namespace accountdb;

class TstServer : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { FSet.reset(); }
    void crossedWritersBothComplete_data();
    void crossedWritersBothComplete();

private:
    std::unique_ptr<TestAccountSet> FSet;
};

void TstServer::init()
{
    if (!TestAccountSet::OnServer())
        QSKIP("two connections that the server itself sets against each other");
    FSet = std::make_unique<TestAccountSet>();
    FSet->Db().execBatch(
        QStringLiteral("CREATE TABLE T_Test_Pair (Id INTEGER PRIMARY KEY, Amount INTEGER NOT "
                       "NULL); INSERT INTO T_Test_Pair (Id, Amount) VALUES (1, 0), (2, 0)"));
}

void TstServer::crossedWritersBothComplete_data()
{
    QTest::addColumn<bool>("nested");
    // The retry belongs to the procedure's own transaction; one called inside another's runs with it.
    QTest::newRow("procedure on its own") << false;
    QTest::newRow("procedure calling another") << true;
}

// Each writer adds 1 to both rows, in opposite orders, pausing between them: the server finds the
// deadlock and gives one transaction up; that one runs again and both complete.
void TstServer::crossedWritersBothComplete()
{
    QFETCH(bool, nested);
    std::atomic<int> runs{0};
    const QString uri = FSet->Path();
    const auto writer = [&](int first, int second, int *result, QString *error) {
        try {
            const auto db = AccountDatabase::open(uri);
            db->procedures().add(QStringLiteral("P_Test_Cross"), [&](ProcContext &ctx) {
                ++runs;
                const QString add = QStringLiteral("UPDATE T_Test_Pair SET Amount = Amount + 1 WHERE Id = ?");
                ctx.exec(add, {first});
                QThread::msleep(300);
                ctx.exec(add, {second});
                return 0;
            });
            db->procedures().add(QStringLiteral("P_Test_Outer"), [](ProcContext &ctx) {
                ProcParams none;
                return ctx.call(QStringLiteral("P_Test_Cross"), none);
            });
            ProcParams none;
            *result =
                db->callProc(nested ? QStringLiteral("P_Test_Outer") : QStringLiteral("P_Test_Cross"), none);
        } catch (const DbError &e) {
            *error = e.message();
        }
    };
    int resultA = -1, resultB = -1;
    QString errorA, errorB;
    QThread *a = QThread::create([&] { writer(1, 2, &resultA, &errorA); });
    QThread *b = QThread::create([&] { writer(2, 1, &resultB, &errorB); });
    a->start();
    b->start();
    QVERIFY(a->wait(60000) && b->wait(60000));
    delete a;
    delete b;
    QVERIFY2(errorA.isEmpty() && errorB.isEmpty(), qPrintable(errorA + errorB));
    QCOMPARE(resultA, 0);
    QCOMPARE(resultB, 0);
    QVERIFY(runs >= 3); // one writer ran twice
    const ResultSet rows = FSet->Db().query(QStringLiteral("SELECT Amount FROM T_Test_Pair ORDER BY Id"));
    QCOMPARE(rows.rows.size(), 2);
    QCOMPARE(rows.rows[0][0].toInt(), 2);
    QCOMPARE(rows.rows[1][0].toInt(), 2);
}

QTEST_MAIN(TstServer)
#include "tst_server.moc"
