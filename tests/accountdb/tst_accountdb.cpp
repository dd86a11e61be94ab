// The account-set database: procedures, transactions, migrations, bound parameters, batches,
// passwords and the seed data the other subsystems rely on.

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "AccountDatabase.h"
#include "SqlScript.h"
#include "Transaction.h"
#include "schema/Schema.h"

using namespace accountdb;

namespace {

QByteArray fileHash(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

// A raw SQLite file written without the library (foreign or hand-made files).
void writeRawSqlite(const QString &path, const QStringList &statements)
{
    const QString name = QStringLiteral("raw-") + path;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QVERIFY(db.open());
        QSqlQuery q(db);
        for (const QString &s : statements)
            QVERIFY2(q.exec(s), qPrintable(s));
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

int tableCount(AccountDatabase &db, const QString &table)
{
    return db
        .value(QStringLiteral("SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = ?"),
               {table})
        .toInt();
}

QString outValue(const ProcParams &params, const QString &name)
{
    for (const ProcParam &p : params) {
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return p.isOutput ? p.value.toString() : QStringLiteral("<not output>");
    }
    return QStringLiteral("<absent>");
}

QString getSysValue(AccountDatabase &db, const QString &name)
{
    ProcParams p{{QStringLiteral("@szName"), name}, {QStringLiteral("@szReturn"), QString(), true}};
    db.callProc(QStringLiteral("P_GBL_GetSysValue"), p);
    return outValue(p, QStringLiteral("@szReturn"));
}

int setSysValue(AccountDatabase &db, const QString &name, const QString &value)
{
    ProcParams p{{QStringLiteral("@szName"), name}, {QStringLiteral("@szValue"), value}};
    return db.callProc(QStringLiteral("P_GBL_SetSysValue"), p);
}

int fileMode(const QString &path)
{
    struct stat st
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? int(st.st_mode & 07777) : -1;
}

// The message AccountDatabase::open gives for the file, or "<opened>". chmod does not stop root from
// writing, so as root the attempt runs in a child process that has become an ordinary user.
QString openMessageAsOrdinaryUser(const QString &path)
{
    const auto attempt = [&path]() -> QString {
        try {
            AccountDatabase::open(path);
            return QStringLiteral("<opened>");
        } catch (const DbError &e) {
            return e.message();
        }
    };
    if (::geteuid() != 0)
        return attempt();
    int fds[2];
    if (::pipe(fds) != 0)
        return QStringLiteral("<no pipe>");
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(fds[0]);
        if (::setgid(65534) != 0 || ::setuid(65534) != 0)
            ::_exit(2);
        const QByteArray out = attempt().toUtf8();
        const bool written = ::write(fds[1], out.constData(), size_t(out.size())) == out.size();
        ::_exit(written ? 0 : 3);
    }
    ::close(fds[1]);
    QByteArray out;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        out.append(buffer, n);
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? QString::fromUtf8(out)
                                                         : QStringLiteral("<child failed>");
}

const QString kInjection = QStringLiteral("x'); DROP TABLE T_Gbl_SysCon; --");

} // namespace

class TstAccountDb : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<AccountDatabase> m_db;
    QString m_path;
    int m_year = 0;

    QString period(int month) const { return QString::number(m_year * 100 + month); }
    void addOperator(const QString &id, const QString &code, const QString &password, bool deleted = false)
    {
        m_db->exec(
            QStringLiteral("INSERT INTO Employee (TypeId, UserCode, FullName, Deleted) VALUES (?, ?, ?, ?)"),
            {id, code, QStringLiteral("职员") + id, deleted ? 1 : 0});
        // Argon2id is slow on purpose; each clear text is hashed once per test run.
        static QHash<QString, QString> hashes;
        if (!hashes.contains(password))
            hashes.insert(password, hashPassword(password));
        m_db->exec(QStringLiteral("INSERT INTO T_GBL_LoginUser (ETypeId, Password) VALUES (?, ?)"),
                   {id, hashes.value(password)});
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_path = m_dir->filePath(QStringLiteral("test.orv"));
        m_db = AccountDatabase::create(m_path);
        m_year = QDate::currentDate().year();
    }
    void cleanup()
    {
        m_db.reset();
        m_dir.reset();
    }

    // ---- procedures: system values --------------------------------------------------------------

    void sysValueRoundTrip_data()
    {
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("read");
        QTest::addColumn<QString>("value");
        QTest::newRow("seeded key replaced") << "CurrentYear"
                                             << "CurrentYear"
                                             << "2031";
        QTest::newRow("new key") << "UserDefine01_Total"
                                 << "UserDefine01_Total"
                                 << "T";
        QTest::newRow("key letter case differs") << "ADDRESS"
                                                 << "address"
                                                 << "北京市海淀区";
        QTest::newRow("empty value") << "POSTCODE"
                                     << "PostCode"
                                     << "";
        QTest::newRow("quotes and semicolons") << "UnitMemo"
                                               << "UNITMEMO" << kInjection;
        QTest::newRow("blanks around name") << "  SNLex1 "
                                            << "SNLex1"
                                            << "1";
    }
    void sysValueRoundTrip()
    {
        QFETCH(QString, written);
        QFETCH(QString, read);
        QFETCH(QString, value);
        QCOMPARE(setSysValue(*m_db, written, value), 0);
        QCOMPARE(getSysValue(*m_db, read), value);
        // One row per name, whatever the letter case it was written with.
        QCOMPARE(m_db->value(QStringLiteral(
                                 "SELECT count(*) FROM T_Gbl_SysDataCw WHERE lower(SubName) = lower(?)"),
                             {read})
                     .toInt(),
                 1);
        QCOMPARE(tableCount(*m_db, QStringLiteral("T_Gbl_SysCon")), 1);
    }

    void sysValueMissingAndEmptyName()
    {
        QCOMPARE(getSysValue(*m_db, QStringLiteral("NoSuchKey")), QString());
        const int rows = m_db->value(QStringLiteral("SELECT count(*) FROM T_Gbl_SysDataCw")).toInt();
        QCOMPARE(setSysValue(*m_db, QStringLiteral("  "), QStringLiteral("x")), -1);
        QCOMPARE(m_db->value(QStringLiteral("SELECT count(*) FROM T_Gbl_SysDataCw")).toInt(), rows);
    }

    // ---- procedures: periods --------------------------------------------------------------------

    void periodDates_data()
    {
        QTest::addColumn<QString>("proc");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("periodMonth"); // 0 = period 0; -1 = a year without calendar
        QTest::addColumn<QString>("date");
        QTest::addColumn<int>("result");
        QTest::addColumn<int>("outMonth");
        const QString acc = QStringLiteral("p_gbl_GetPeriodOrDate;1");
        const QString jxc = QStringLiteral("p_gbl_GetJxcPeriodOrDate;1");
        QTest::newRow("given period, first") << acc << 3 << 1 << "" << 0 << 1;
        QTest::newRow("given period, last") << acc << 3 << 12 << "" << 0 << 12;
        QTest::newRow("given period missing") << acc << 3 << -1 << "" << -1 << 0;
        QTest::newRow("period zero") << acc << 3 << 0 << "" << -1 << 0;
        QTest::newRow("current accounting period") << acc << 1 << 0 << "" << 0 << 2;
        QTest::newRow("current inventory period") << jxc << 1 << 0 << "" << 0 << 5;
        QTest::newRow("period of a date") << acc << 2 << 0 << "-03-31" << 0 << 3;
        QTest::newRow("date outside calendar") << jxc << 2 << 0 << "1999-03-31" << -1 << 0;
        QTest::newRow("date not a date") << acc << 2 << 0 << "31.03." << -1 << 0;
        QTest::newRow("unknown mode") << acc << 9 << 1 << "" << -2 << 0;
    }
    void periodDates()
    {
        QFETCH(QString, proc);
        QFETCH(int, mode);
        QFETCH(int, periodMonth);
        QFETCH(QString, date);
        QFETCH(int, result);
        QFETCH(int, outMonth);
        setSysValue(*m_db, QStringLiteral("Period"), period(2));
        setSysValue(*m_db, QStringLiteral("JxcPeriod"), period(5));
        const int lPeriod = periodMonth < 0 ? 199901 : periodMonth == 0 ? 0 : m_year * 100 + periodMonth;
        if (date.startsWith(u'-'))
            date.prepend(QString::number(m_year));
        ProcParams p{{QStringLiteral("@lMode"), mode},
                     {QStringLiteral("@lPeriod"), lPeriod},
                     {QStringLiteral("@szBeginDate"), date, true},
                     {QStringLiteral("@szEndDate"), QString(), true}};
        QCOMPARE(m_db->callProc(proc, p), result);
        if (result < 0)
            return;
        const QDate first(m_year, outMonth, 1);
        QCOMPARE(outValue(p, QStringLiteral("@lPeriod")), period(outMonth));
        QCOMPARE(outValue(p, QStringLiteral("@szBeginDate")), first.toString(QStringLiteral("yyyy-MM-dd")));
        QCOMPARE(outValue(p, QStringLiteral("@szEndDate")),
                 first.addMonths(1).addDays(-1).toString(QStringLiteral("yyyy-MM-dd")));
    }

    void wholeCalendar()
    {
        ProcParams p{{QStringLiteral("@lMode"), 0}, {QStringLiteral("@lPeriod"), 0}};
        QCOMPARE(m_db->callProc(QStringLiteral("p_gbl_GetPeriodOrDate"), p), 0);
        QCOMPARE(outValue(p, QStringLiteral("@szBeginDate")), QStringLiteral("%1-01-01").arg(m_year));
        QCOMPARE(outValue(p, QStringLiteral("@szEndDate")), QStringLiteral("%1-12-31").arg(m_year));
        m_db->exec(QStringLiteral("DELETE FROM T_Gbl_MonthProc"));
        QCOMPARE(m_db->callProc(QStringLiteral("p_gbl_GetPeriodOrDate"), p), -1);
    }

    // ---- procedures: log-on and passwords --------------------------------------------------------

    void checkLogin_data()
    {
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("manager");
        QTest::newRow("administrator, no password") << "00000"
                                                    << "" << 0 << "系统管理员" << true;
        QTest::newRow("administrator, password typed") << "00000"
                                                       << "x" << -2 << "" << false;
        QTest::newRow("operator, right password") << "00007"
                                                  << "Kennwort;'7" << 0 << "职员00007" << false;
        QTest::newRow("operator by user code") << "U7"
                                               << "Kennwort;'7" << 0 << "职员00007" << false;
        QTest::newRow("operator, wrong password") << "00007"
                                                  << "kennwort;'7" << -2 << "" << false;
        QTest::newRow("operator, empty password") << "00007"
                                                  << "" << -2 << "" << false;
        QTest::newRow("deleted operator") << "00008"
                                          << "p" << -1 << "" << false;
        QTest::newRow("unknown operator") << "99999"
                                          << "" << -1 << "" << false;
        QTest::newRow("empty id") << ""
                                  << "" << -1 << "" << false;
    }
    void checkLogin()
    {
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(int, result);
        QFETCH(QString, name);
        QFETCH(bool, manager);
        addOperator(QStringLiteral("00007"), QStringLiteral("U7"), QStringLiteral("Kennwort;'7"));
        addOperator(QStringLiteral("00008"), QStringLiteral("U8"), QStringLiteral("p"), true);
        ProcParams p{{QStringLiteral("@szUserId"), user}, {QStringLiteral("@szPassword"), password}};
        QCOMPARE(m_db->callProc(QStringLiteral("P_GBL_CheckLogin"), p), result);
        if (result == 0) {
            QCOMPARE(outValue(p, QStringLiteral("@szUserName")), name);
            QCOMPARE(outValue(p, QStringLiteral("@bManager")),
                     manager ? QStringLiteral("true") : QStringLiteral("false"));
        }
    }

    void passwordsStoredAsHashesOnly()
    {
        const QString clear = QStringLiteral("Geheim-口令-4711");
        addOperator(QStringLiteral("00009"), QStringLiteral("U9"), clear);
        m_db->exec(QStringLiteral("UPDATE T_GBL_LoginUser SET PrintPassword = ? WHERE ETypeId = '00000'"),
                   {hashPassword(clear + QStringLiteral("-print"))});
        const QString hash =
            m_db->value(QStringLiteral("SELECT Password FROM T_GBL_LoginUser WHERE ETypeId = '00009'"))
                .toString();
        QVERIFY(hash.startsWith(QStringLiteral("$argon2id$")));
        QVERIFY(verifyPassword(clear, hash));
        QVERIFY(!verifyPassword(clear + u' ', hash));
        QVERIFY(!verifyPassword(QString(), hash));
        QVERIFY(verifyPassword(QString(), QString()));
        QVERIFY(!verifyPassword(QStringLiteral("a"), QString()));
        QVERIFY(hashPassword(clear) != hash); // salted

        m_db.reset(); // checkpoints the journal into the file
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(!bytes.contains(clear.toUtf8()));
        QVERIFY(!bytes.contains(QByteArray(reinterpret_cast<const char *>(clear.utf16()), clear.size() * 2)));
        QVERIFY(!bytes.contains(QByteArrayLiteral("Geheim")));
    }

    // ---- procedure names ------------------------------------------------------------------------

    void procedureNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("found");
        QTest::newRow("as registered") << "P_GBL_GetSysValue" << true;
        QTest::newRow("lower case") << "p_gbl_getsysvalue" << true;
        QTest::newRow("upper case with ;1") << "P_GBL_GETSYSVALUE;1" << true;
        QTest::newRow("dbo prefix") << "dbo.P_GBL_GetSysValue;1" << true;
        QTest::newRow("blanks") << " P_GBL_GetSysValue " << true;
        QTest::newRow("one letter short") << "P_GBL_GetSysValu" << false;
        QTest::newRow("empty") << "" << false;
    }
    void procedureNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, found);
        QCOMPARE(m_db->procedures().find(name) != nullptr, found);
        ProcParams p{{QStringLiteral("@SZNAME"), QStringLiteral("iniover")}};
        if (found) {
            QCOMPARE(m_db->callProc(name, p), 0);
            QCOMPARE(outValue(p, QStringLiteral("@szReturn")), QStringLiteral("0")); // added as output
        } else {
            QVERIFY_THROWS_EXCEPTION(DbError, m_db->callProc(name, p));
        }
    }

    // ---- transactions ---------------------------------------------------------------------------

    void transactions_data()
    {
        QTest::addColumn<bool>("commit");
        QTest::addColumn<QString>("expected");
        QTest::newRow("commit keeps") << true << "neu";
        QTest::newRow("rollback discards") << false << "";
    }
    void transactions()
    {
        QFETCH(bool, commit);
        QFETCH(QString, expected);
        m_db->begin();
        QVERIFY(m_db->inTransaction());
        QCOMPARE(setSysValue(*m_db, QStringLiteral("CompanyName"), QStringLiteral("neu")), 0);
        // A second begin is refused and leaves the first transaction open.
        QVERIFY_THROWS_EXCEPTION(DbError, m_db->begin());
        QVERIFY(m_db->inTransaction());
        commit ? m_db->commit() : m_db->rollback();
        QVERIFY(!m_db->inTransaction());
        QCOMPARE(getSysValue(*m_db, QStringLiteral("CompanyName")), expected);
        QVERIFY_THROWS_EXCEPTION(DbError, m_db->commit());
        QVERIFY_THROWS_EXCEPTION(DbError, m_db->rollback());
    }

    void transactionScopeRollsBackOnException()
    {
        try {
            Transaction t(*m_db);
            setSysValue(*m_db, QStringLiteral("iniover"), QStringLiteral("1"));
            throw DbError(QStringLiteral("abgebrochen"));
        } catch (const DbError &) {
        }
        QVERIFY(!m_db->inTransaction());
        QCOMPARE(getSysValue(*m_db, QStringLiteral("iniover")), QStringLiteral("0"));
    }

    void failingProcedure_data()
    {
        QTest::addColumn<bool>("outerTransaction");
        QTest::newRow("alone") << false;
        QTest::newRow("inside a transaction") << true;
    }
    void failingProcedure()
    {
        QFETCH(bool, outerTransaction);
        m_db->procedures().add(QStringLiteral("T_WriteThenFail"), [](ProcContext &ctx) -> int {
            ctx.exec(QStringLiteral("UPDATE T_Gbl_SysCon SET Stats = 1 WHERE ConId = 39"));
            ctx.exec(
                QStringLiteral("INSERT INTO T_Gbl_MessageList (MessageNo, DisPlayName) VALUES (1, 'x')"));
            ctx.exec(
                QStringLiteral("INSERT INTO T_Gbl_MessageList (MessageNo, DisPlayName) VALUES (1, 'dup')"));
            return 0;
        });
        if (outerTransaction) {
            m_db->begin();
            setSysValue(*m_db, QStringLiteral("SNMax"), QStringLiteral("7"));
        }
        ProcParams none;
        QVERIFY_THROWS_EXCEPTION(DbError, m_db->callProc(QStringLiteral("T_WriteThenFail"), none));
        // The procedure's own writes are gone; the caller's transaction is still open and intact.
        QCOMPARE(m_db->inTransaction(), outerTransaction);
        QCOMPARE(m_db->value(QStringLiteral("SELECT Stats FROM T_Gbl_SysCon WHERE ConId = 39")).toInt(), 0);
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT count(*) FROM T_Gbl_MessageList WHERE MessageNo = 1")).toInt(),
            0);
        if (outerTransaction) {
            QCOMPARE(getSysValue(*m_db, QStringLiteral("SNMax")), QStringLiteral("7"));
            m_db->commit();
            QCOMPARE(getSysValue(*m_db, QStringLiteral("SNMax")), QStringLiteral("7"));
        }
    }

    void procedureRolledBackWithTransaction()
    {
        m_db->begin();
        QCOMPARE(setSysValue(*m_db, QStringLiteral("iniover"), QStringLiteral("1")), 0);
        m_db->rollback();
        QCOMPARE(getSysValue(*m_db, QStringLiteral("iniover")), QStringLiteral("0"));
    }

    void negativeResultKeepsWritesAndResultSet()
    {
        m_db->procedures().add(QStringLiteral("T_Partial"), [](ProcContext &ctx) {
            ctx.exec(QStringLiteral("UPDATE T_Gbl_SysCon SET Stats = 1 WHERE ConId = 39"));
            ctx.setResult(
                QStringLiteral("SELECT ConId, Name FROM T_Gbl_SysCon WHERE ConId IN (?, ?) ORDER BY ConId"),
                {80, 39});
            return -5;
        });
        ProcParams none;
        ResultSet rs;
        rs.columns << QStringLiteral("stale");
        QCOMPARE(m_db->callProc(QStringLiteral("t_partial;1"), none, &rs), -5);
        QCOMPARE(m_db->value(QStringLiteral("SELECT Stats FROM T_Gbl_SysCon WHERE ConId = 39")).toInt(), 1);
        QCOMPARE(rs.columns, QStringList({QStringLiteral("ConId"), QStringLiteral("Name")}));
        QCOMPARE(rs.rows.size(), 2);
        QCOMPARE(rs.rows[0][0].toInt(), 39);
        // A procedure without a result set empties the caller's.
        ProcParams p{{QStringLiteral("@szName"), QStringLiteral("iniover")}};
        m_db->callProc(QStringLiteral("P_GBL_GetSysValue"), p, &rs);
        QVERIFY(rs.columns.isEmpty() && rs.rows.isEmpty());
    }

    // ---- bound parameters and batches -----------------------------------------------------------

    void boundParameters()
    {
        m_db->exec(QStringLiteral("INSERT INTO T_Gbl_MessageList (MessageNo, DisPlayName) VALUES (?, ?)"),
                   {42, kInjection});
        QCOMPARE(
            m_db->value(QStringLiteral("SELECT DisPlayName FROM T_Gbl_MessageList WHERE MessageNo = ?"), {42})
                .toString(),
            kInjection);
        QCOMPARE(m_db->value(QStringLiteral("SELECT MessageNo FROM T_Gbl_MessageList WHERE DisPlayName = ?"),
                             {kInjection})
                     .toInt(),
                 42);
        QCOMPARE(tableCount(*m_db, QStringLiteral("T_Gbl_SysCon")), 1);
        QVERIFY(m_db->value(QStringLiteral("SELECT count(*) FROM T_Gbl_SysCon")).toInt() > 0);
        // exec() takes one statement only.
        QVERIFY_THROWS_EXCEPTION(DbError, m_db->exec(QStringLiteral("SELECT 1; SELECT 2")));
        QVERIFY_THROWS_EXCEPTION(DbError, m_db->exec(QStringLiteral("SELECT ? + ?"), {1}));
    }

    void splitStatements_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QStringList>("statements");
        QTest::addColumn<QList<int>>("placeholders");
        QTest::newRow("two") << "SELECT ?; SELECT ?, ?" << QStringList{"SELECT ?", "SELECT ?, ?"}
                             << QList<int>{1, 2};
        QTest::newRow("semicolon and ? in quotes")
            << "SELECT 'a;?''b'; SELECT \"x;y\" FROM [t;?]"
            << QStringList{"SELECT 'a;?''b'", "SELECT \"x;y\" FROM [t;?]"} << QList<int>{0, 0};
        QTest::newRow("comments") << "SELECT 1 -- ; ?\n; /* ; ? */ SELECT ?;"
                                  << QStringList{"SELECT 1 -- ; ?", "/* ; ? */ SELECT ?"} << QList<int>{0, 1};
        QTest::newRow("empty and comment-only statements")
            << ";; -- nothing\n ;" << QStringList{} << QList<int>{};
        QTest::newRow("trigger body kept whole")
            << "CREATE TRIGGER tr AFTER INSERT ON t BEGIN UPDATE u SET a = CASE WHEN 1 THEN 2 END; "
               "DELETE FROM v; END; SELECT 1"
            << QStringList{"CREATE TRIGGER tr AFTER INSERT ON t BEGIN UPDATE u SET a = CASE WHEN 1 THEN 2 "
                           "END; "
                           "DELETE FROM v; END",
                           "SELECT 1"}
            << QList<int>{0, 0};
    }
    void splitStatements()
    {
        QFETCH(QString, sql);
        QFETCH(QStringList, statements);
        QFETCH(QList<int>, placeholders);
        const QList<SqlStatement> got = splitSqlStatements(sql);
        QStringList texts;
        QList<int> counts;
        for (const SqlStatement &s : got) {
            texts << s.text;
            counts << s.placeholders;
        }
        QCOMPARE(texts, statements);
        QCOMPARE(counts, placeholders);
    }

    void maskLiterals_data()
    {
        QTest::addColumn<QString>("sql");
        QTest::addColumn<QString>("masked");
        QTest::newRow("strings, numbers and blobs")
            << "INSERT INTO t1 (a, b) VALUES ('$argon2id$v=19$x', -12.5e+3, X'0AFF', 'it''s')"
            << "INSERT INTO t1 (a, b) VALUES (?, -?, X?, ?)";
        QTest::newRow("quoted names stay, comments go")
            << "UPDATE \"T 2\" SET [c1] = 7 -- secret 42\n/* 99 */WHERE id = .5"
            << "UPDATE \"T 2\" SET [c1] = ? \n WHERE id = ?";
        QTest::newRow("a literal quoted inside an error text") << "near \"'0123abcd'\": syntax error"
                                                               << "near \"?\": syntax error";
    }
    void maskLiterals()
    {
        QFETCH(QString, sql);
        QFETCH(QString, masked);
        QCOMPARE(maskSqlLiterals(sql), masked);
    }

    void execBatchAcrossStatements()
    {
        const int affected = m_db->execBatch(
            QStringLiteral("UPDATE T_Gbl_SysCon SET Stats = ? WHERE ConId = ?; -- switch ; ?\n"
                           "INSERT INTO T_Gbl_MessageList (MessageNo, DisPlayName) VALUES (?, 'a;b');\n"
                           "UPDATE T_Gbl_SysDataCw SET SubValue = ? WHERE SubName IN (?, ?)"),
            {1, 80, 77, QStringLiteral("9;9"), QStringLiteral("SNLex1"), QStringLiteral("SNLex3")});
        QCOMPARE(affected, 2);
        QCOMPARE(m_db->value(QStringLiteral("SELECT Stats FROM T_Gbl_SysCon WHERE ConId = 80")).toInt(), 1);
        QCOMPARE(m_db->value(QStringLiteral("SELECT DisPlayName FROM T_Gbl_MessageList WHERE MessageNo = 77"))
                     .toString(),
                 QStringLiteral("a;b"));
        QCOMPARE(getSysValue(*m_db, QStringLiteral("SNLex3")), QStringLiteral("9;9"));

        // A wrong parameter count is refused before any statement runs.
        QVERIFY_THROWS_EXCEPTION(DbError, m_db->execBatch(QStringLiteral("UPDATE T_Gbl_SysCon SET Stats = 0; "
                                                                         "UPDATE T_Gbl_SysCon SET Stats = ?"),
                                                          {}));
        QCOMPARE(m_db->value(QStringLiteral("SELECT Stats FROM T_Gbl_SysCon WHERE ConId = 80")).toInt(), 1);
    }

    void queryReturnsLastRowSet()
    {
        const ResultSet rs = m_db->query(
            QStringLiteral("UPDATE T_Gbl_SysCon SET Stats = 1 WHERE ConId = ?; SELECT 1 AS First; "
                           "SELECT ConId, Stats FROM T_Gbl_SysCon WHERE ConId IN (?, ?) ORDER BY ConId; "
                           "UPDATE T_Gbl_SysCon SET Stats = Stats WHERE ConId = 0"),
            {39, 39, 80});
        QCOMPARE(rs.columns, QStringList({QStringLiteral("ConId"), QStringLiteral("Stats")}));
        QCOMPARE(rs.rows.size(), 2);
        QCOMPARE(rs.rows[0], QVariantList({39, 1}));
        QCOMPARE(rs.rows[1], QVariantList({80, 0}));
        QCOMPARE(rs.columnIndex(QStringLiteral("stats")), 1);
    }

    // ---- files: create, open, migrate, refuse ---------------------------------------------------

    void createRefusesExistingFile()
    {
        m_db.reset();
        const QByteArray before = fileHash(m_path);
        QVERIFY_THROWS_EXCEPTION(DbError, AccountDatabase::create(m_path));
        QCOMPARE(fileHash(m_path), before);
        auto reopened = AccountDatabase::open(m_path);
        QCOMPARE(reopened->schemaVersion(), kSchemaVersion);
    }

    void refusedFiles_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("message");
        const QString notAccount = QStringLiteral("文件不是有效的账套：");
        QTest::newRow("text file") << "text" << notAccount;
        QTest::newRow("empty file") << "empty" << notAccount;
        QTest::newRow("other SQLite file") << "sqlite" << notAccount;
        QTest::newRow("newer account set")
            << "newer" << QStringLiteral("账套版本比本程序新，请升级程序后再打开。");
        QTest::newRow("version mark reset by a script")
            << "reset" << QStringLiteral("账套文件的版本标记已被改动");
    }
    void refusedFiles()
    {
        QFETCH(QString, kind);
        QFETCH(QString, message);
        const QString path = m_dir->filePath(kind + QStringLiteral(".orv"));
        if (kind == u"text") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("Dies ist kein Account-Set.\n这不是账套。\n");
        } else if (kind == u"empty") {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (kind == u"sqlite") {
            writeRawSqlite(path,
                           {QStringLiteral("CREATE TABLE T_Gbl_SysDataCw (SubName TEXT, SubValue TEXT)")});
        } else {
            AccountDatabase::create(path).reset();
            const int version = kind == u"reset" ? 0 : kSchemaVersion + 1;
            writeRawSqlite(path, {QStringLiteral("PRAGMA user_version = %1").arg(version)});
        }
        const QByteArray before = fileHash(path);
        QVERIFY(!before.isEmpty() || kind == u"empty");
        try {
            AccountDatabase::open(path);
            QFAIL("opened a file that must be refused");
        } catch (const DbError &e) {
            QVERIFY2(e.message().startsWith(message), qPrintable(e.message()));
        }
        QCOMPARE(fileHash(path), before);
        QVERIFY(!QFile::exists(path + QStringLiteral("-wal")));
    }

    void createRefusesMissingFolder()
    {
        const QString path = m_dir->filePath(QStringLiteral("typo/dir/new.orv"));
        try {
            AccountDatabase::create(path);
            QFAIL("created an account set in a folder that did not exist");
        } catch (const DbError &e) {
            QVERIFY2(e.message().startsWith(QStringLiteral("文件夹不存在：")), qPrintable(e.message()));
        }
        QVERIFY(!QFile::exists(m_dir->filePath(QStringLiteral("typo"))));
    }

    void newFilesAreOwnerOnly()
    {
        const QString path = m_dir->filePath(QStringLiteral("private.orv"));
        const mode_t previous = ::umask(022);
        auto db = AccountDatabase::create(path);
        ::umask(previous);
        setSysValue(*db, QStringLiteral("Probe"), QStringLiteral("x")); // the journal exists now
        QCOMPARE(fileMode(path), 0600);
        QCOMPARE(fileMode(path + QStringLiteral("-wal")), 0600);
    }

    void readOnlyAccountSetRefused_data()
    {
        QTest::addColumn<int>("folderMode");
        QTest::addColumn<int>("fileMode");
        QTest::addColumn<QString>("message");
        QTest::newRow("read-only file")
            << 0777 << 0444 << QStringLiteral("账套文件是只读的（没有写权限），不能打开：");
        QTest::newRow("read-only folder")
            << 0555 << 0666 << QStringLiteral("账套所在的文件夹不能写入（没有写权限），不能打开账套：");
    }
    void readOnlyAccountSetRefused()
    {
        QFETCH(int, folderMode);
        QFETCH(int, fileMode);
        QFETCH(QString, message);
        m_db.reset();
        const QString folder = m_dir->filePath(QStringLiteral("shared"));
        QVERIFY(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/set.orv");
        QVERIFY(QFile::copy(m_path, path));
        const QByteArray before = fileHash(path);
        QVERIFY(::chmod(QFile::encodeName(m_dir->path()).constData(), 0755) == 0);
        QVERIFY(::chmod(QFile::encodeName(path).constData(), mode_t(fileMode)) == 0);
        QVERIFY(::chmod(QFile::encodeName(folder).constData(), mode_t(folderMode)) == 0);
        const QString got = openMessageAsOrdinaryUser(path);
        ::chmod(QFile::encodeName(folder).constData(), 0755);
        QVERIFY2(got == message + path, qPrintable(got));
        QCOMPARE(fileHash(path), before);
    }

    void missingFileRefused()
    {
        const QString path = m_dir->filePath(QStringLiteral("missing.orv"));
        QVERIFY_THROWS_EXCEPTION(DbError, AccountDatabase::open(path));
        QVERIFY(!QFile::exists(path));
    }

    void emptyAccountSetMigratedOnOpen()
    {
        // An account set stamped with its identity but no schema yet (version 0).
        const QString path = m_dir->filePath(QStringLiteral("v0.orv"));
        writeRawSqlite(path, {QStringLiteral("PRAGMA application_id = %1").arg(kApplicationId)});
        auto db = AccountDatabase::open(path);
        QCOMPARE(db->schemaVersion(), kSchemaVersion);
        QCOMPARE(getSysValue(*db, QStringLiteral("iniover")), QStringLiteral("0"));
        QCOMPARE(db->value(QStringLiteral("PRAGMA journal_mode")).toString(), QStringLiteral("wal"));
        QCOMPARE(db->value(QStringLiteral("PRAGMA foreign_keys")).toInt(), 1);
    }

    void olderVersionMigratedKeepingData()
    {
        setSysValue(*m_db, QStringLiteral("companyname"), QStringLiteral("示例公司"));
        m_db.reset();
        QList<schema::Migration> list = schema::migrations();
        list.append({kSchemaVersion + 1, QStringLiteral("test step"), [](AccountDatabase &db) {
                         db.execBatch(QStringLiteral(
                             "ALTER TABLE T_Gbl_MessageList ADD COLUMN Remark TEXT "
                             "NOT NULL DEFAULT ''; UPDATE T_Gbl_MessageList SET Remark = 'v2'"));
                     }});
        auto db = AccountDatabase::open(m_path, list);
        QCOMPARE(db->schemaVersion(), kSchemaVersion + 1);
        QCOMPARE(getSysValue(*db, QStringLiteral("CompanyName")), QStringLiteral("示例公司"));
        QCOMPARE(db->value(QStringLiteral("SELECT Remark FROM T_Gbl_MessageList LIMIT 1")).toString(),
                 QStringLiteral("v2"));
        db.reset();
        // The standard program now sees a newer file.
        QVERIFY_THROWS_EXCEPTION(DbError, AccountDatabase::open(m_path));
    }

    void failedMigrationStepLeavesOldVersion()
    {
        m_db.reset();
        QList<schema::Migration> list = schema::migrations();
        list.append({kSchemaVersion + 1, QStringLiteral("breaks halfway"), [](AccountDatabase &db) {
                         db.exec(QStringLiteral("CREATE TABLE T_New (a INTEGER)"));
                         db.exec(QStringLiteral("INSERT INTO T_NoSuchTable VALUES (1)"));
                     }});
        QVERIFY_THROWS_EXCEPTION(DbError, AccountDatabase::open(m_path, list));
        auto db = AccountDatabase::open(m_path);
        QCOMPARE(db->schemaVersion(), kSchemaVersion);
        QCOMPARE(tableCount(*db, QStringLiteral("T_New")), 0);
    }

    void gapInMigrationsRefused()
    {
        m_db.reset();
        QList<schema::Migration> list = schema::migrations();
        list.append({kSchemaVersion + 2, QStringLiteral("gap"), [](AccountDatabase &) {}});
        QVERIFY_THROWS_EXCEPTION(DbError, AccountDatabase::open(m_path, list));
    }

    void brokenCreateLeavesNoFile()
    {
        const QString path = m_dir->filePath(QStringLiteral("broken.orv"));
        const QList<schema::Migration> list = {{1, QStringLiteral("fails"), [](AccountDatabase &db) {
                                                    db.exec(QStringLiteral("SELECT * FROM nowhere"));
                                                }}};
        QVERIFY_THROWS_EXCEPTION(DbError, AccountDatabase::create(path, list));
        QVERIFY(!QFile::exists(path));
    }

    void twoConnectionsOnOneFile()
    {
        auto second = AccountDatabase::open(m_path);
        QVERIFY(second->connectionName() != m_db->connectionName());
        setSysValue(*m_db, QStringLiteral("SNMax"), QStringLiteral("12"));
        QCOMPARE(getSysValue(*second, QStringLiteral("SNMax")), QStringLiteral("12"));
        const QString name = second->connectionName();
        QVERIFY(QSqlDatabase::connectionNames().contains(name));
        second.reset();
        QVERIFY(!QSqlDatabase::connectionNames().contains(name));
        QCOMPARE(getSysValue(*m_db, QStringLiteral("SNMax")), QStringLiteral("12"));
    }

    // ---- seed data ------------------------------------------------------------------------------

    void seededSystemValues_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("value");
        QTest::newRow("iniover") << "iniover"
                                 << "0";
        QTest::newRow("InitSetup") << "InitSetup"
                                   << "";
        QTest::newRow("CurrentYear") << "CurrentYear" << QString::number(QDate::currentDate().year());
        for (const char *key : {"OpenPeriod", "Period", "JxcPeriod"})
            QTest::newRow(key) << key << QString::number(QDate::currentDate().year() * 100 + 1);
        QTest::newRow("InventoryAccounting") << "InventoryAccounting"
                                             << "0";
        QTest::newRow("ZeroCostSelect") << "ZeroCostSelect"
                                        << "0";
        QTest::newRow("MaxPrice") << "MaxPrice"
                                  << "10000000000";
        QTest::newRow("SNLex1") << "SNLex1"
                                << "0";
        QTest::newRow("SNLex3") << "SNLex3"
                                << "0";
        QTest::newRow("SNMax") << "SNMax"
                               << "0";
        QTest::newRow("AutoBackupDate") << "AutoBackupDate"
                                        << "3";
        QTest::newRow("ARSettleType") << "ARSettleType"
                                      << "0";
    }
    void seededSystemValues()
    {
        QFETCH(QString, name);
        QFETCH(QString, value);
        QCOMPARE(m_db->value(QStringLiteral("SELECT count(*) FROM T_Gbl_SysDataCw WHERE SubName = ?"), {name})
                     .toInt(),
                 1);
        QCOMPARE(getSysValue(*m_db, name), value);
    }

    void seededTables()
    {
        // Every switch the system tests exists.
        for (int conId : {13,  39,  48,  69,  72,  80,  88,  97,  103, 105, 113, 122, 124,
                          125, 132, 133, 134, 135, 136, 137, 138, 140, 164, 166, 167})
            QVERIFY2(m_db->value(QStringLiteral(
                                     "SELECT count(*) FROM T_Gbl_SysCon WHERE ConId = ? AND Name <> ''"),
                                 {conId})
                             .toInt() == 1,
                     qPrintable(QString::number(conId)));
        // Twelve contiguous months.
        const ResultSet months = m_db->query(
            QStringLiteral("SELECT Period, StartDate, EndDate FROM T_Gbl_MonthProc ORDER BY Period"));
        QCOMPARE(months.rows.size(), 12);
        for (int i = 1; i < 12; ++i) {
            const QDate prevEnd =
                QDate::fromString(months.rows[i - 1][2].toString(), QStringLiteral("yyyy-MM-dd"));
            QCOMPARE(QDate::fromString(months.rows[i][1].toString(), QStringLiteral("yyyy-MM-dd")),
                     prevEnd.addDays(1));
        }
        // The 27 menu entries, each a dispatch key "Orvane.dll" + entry name.
        QCOMPARE(m_db->value(QStringLiteral("SELECT count(*) FROM T_Gbl_FunctionList WHERE OnClick <> '' AND "
                                            "ModuleName = 'Orvane.dll' AND Version IN ('e', 'em')"))
                     .toInt(),
                 27);
        for (const auto &[no, click] :
             {std::pair{1317, "报警簿"}, {1974, "单据审核中心"}, {1836, "安全钥匙"}})
            QCOMPARE(
                m_db->value(QStringLiteral("SELECT OnClick FROM T_Gbl_FunctionList WHERE FunctionNo = ?"),
                            {no})
                    .toString(),
                QString::fromUtf8(click));
        for (int no : {1553, 2262, 2894, 6082, 8387, 8388, 8389, 8390})
            QVERIFY(
                !m_db->value(QStringLiteral("SELECT DisPlayName FROM T_Gbl_MessageList WHERE MessageNo = ?"),
                             {no})
                     .toString()
                     .isEmpty());
        // The base bill types of the costing rules, each guarded by a right of the function list.
        for (int type :
             {9, 11, 16, 21, 25, 26, 30, 45, 141, 172, 173, 174, 176, 182, 183, 184, 189, 212, 213, 214})
            QCOMPARE(m_db->value(QStringLiteral(
                                     "SELECT count(*) FROM T_GBL_Vchtype v INNER JOIN T_Gbl_FunctionList f "
                                     "ON f.FunctionNo = v.FunctionNo AND f.VchType = v.Vchtype "
                                     "WHERE v.Vchtype = ?"),
                                 {type})
                         .toInt(),
                     1);
        QCOMPARE(m_db->value(QStringLiteral("SELECT GroupName FROM \"group\" WHERE ID = 1")).toString(),
                 QStringLiteral("会计组"));
        QCOMPARE(schema::migrations().last().version, kSchemaVersion);
    }

    void foreignKeysEnforced()
    {
        QVERIFY_THROWS_EXCEPTION(
            DbError, m_db->exec(QStringLiteral("INSERT INTO UserToGroup (UserID, GroupId) VALUES (?, ?)"),
                                {QStringLiteral("nobody"), 1}));
        m_db->exec(QStringLiteral("INSERT INTO UserToGroup VALUES ('00000', 1)"));
        m_db->exec(QStringLiteral("DELETE FROM \"group\" WHERE ID = 1"));
        QCOMPARE(m_db->value(QStringLiteral("SELECT count(*) FROM UserToGroup")).toInt(), 0);
    }
};

QTEST_GUILESS_MAIN(TstAccountDb)
#include "tst_accountdb.moc"
