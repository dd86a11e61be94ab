#include "TestAccountSet.h"

#include <QCoreApplication>
#include <QSettings>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QtTest>
#include <unistd.h>
#include <utility>

#include "AccountDatabase.h"
#include "Dialect.h"
#include "Kvtranslations.h"

namespace {

// ORVANE_TEST_DB=postgresql runs the tests on the server named by ORVANE_TEST_PG (the URI of its
// maintenance database). The schema is made once per test executable into a template database; every
// test gets a copy of it (CREATE DATABASE ... TEMPLATE), dropped when the test ends.
class ServerAccountSets
{
public:
    static ServerAccountSets &instance()
    {
        if (!s_instance) {
            s_instance = new ServerAccountSets;
            // While the application and the driver are still there, not at the program's exit.
            qAddPostRoutine([] { delete std::exchange(s_instance, nullptr); });
        }
        return *s_instance;
    }

    QString newDatabase()
    {
        if (m_template.isEmpty())
            makeTemplate();
        const QString name = QStringLiteral("orvane_test_%1_%2").arg(::getpid()).arg(++m_counter);
        run(QStringLiteral("CREATE DATABASE %1 TEMPLATE %2").arg(name, m_template));
        return name;
    }

    void drop(const QString &name)
    {
        run(QStringLiteral("DROP DATABASE IF EXISTS %1 WITH (FORCE)").arg(name));
    }

    QString uri(const QString &database) const
    {
        return QStringLiteral("postgresql://%1@%2:%3/%4")
            .arg(m_server.user, m_server.host)
            .arg(m_server.port)
            .arg(database);
    }

    ~ServerAccountSets()
    {
        if (!m_template.isEmpty())
            drop(m_template);
        QSqlDatabase::database(QLatin1String(kConnection), false).close();
        QSqlDatabase::removeDatabase(QLatin1String(kConnection));
    }

private:
    static constexpr const char *kConnection = "orvane-test-maintenance";
    static inline ServerAccountSets *s_instance = nullptr;

    ServerAccountSets() : m_server(accountdb::parseLocation(qEnvironmentVariable("ORVANE_TEST_PG")))
    {
        if (m_server.backend != accountdb::Backend::PostgreSQL)
            qFatal("ORVANE_TEST_DB=postgresql needs ORVANE_TEST_PG=postgresql://user@host:port/postgres");
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QLatin1String(kConnection));
        db.setHostName(m_server.host);
        db.setPort(m_server.port);
        db.setUserName(m_server.user);
        db.setDatabaseName(m_server.database);
        if (!db.open())
            qFatal("cannot connect to the test server: %s", qPrintable(db.lastError().text()));
    }

    void makeTemplate()
    {
        const QString name = QStringLiteral("orvane_template_%1").arg(::getpid());
        // The template's connection is closed again: a database is copied only while nobody uses it.
        accountdb::AccountDatabase::create(uri(name));
        m_template = name;
    }

    void run(const QString &sql)
    {
        QSqlQuery q(QSqlDatabase::database(QLatin1String(kConnection)));
        if (!q.exec(sql))
            qFatal("%s: %s", qPrintable(sql), qPrintable(q.lastError().text()));
    }

    accountdb::Location m_server;
    QString m_template;
    int m_counter = 0;
};

} // namespace

bool TestAccountSet::OnServer()
{
    return qEnvironmentVariable("ORVANE_TEST_DB") == u"postgresql";
}

QString TestAccountSet::NewServerDatabase()
{
    return ServerAccountSets::instance().uri(ServerAccountSets::instance().newDatabase());
}

TestAccountSet::TestAccountSet()
{
    // The windows read like the program's: Qt's buttons and dialogs in Chinese.
    Kvtranslations::InstallChineseTranslations();
    // Remembered window sizes go to the test's folder, not to the user's configuration.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, FDir.path());
    if (OnServer()) {
        FServerDatabase = ServerAccountSets::instance().newDatabase();
        FPath = ServerAccountSets::instance().uri(FServerDatabase);
        FSession = HostSession::Open(FPath, &FMessages);
    } else {
        FPath = FDir.filePath(QStringLiteral("test.orv"));
        FSession = HostSession::Create(FPath, &FMessages);
    }
    FSession->Install();
}

TestAccountSet::~TestAccountSet()
{
    FSession.reset();
    if (!FServerDatabase.isEmpty())
        ServerAccountSets::instance().drop(FServerDatabase);
}

void TestAccountSet::ActAs(const QString &operatorId, bool isManager)
{
    TLogOnState &s = FSession->System().State();
    s.OperatorId = operatorId;
    s.OperatorCode = operatorId;
    s.IsManager = isManager;
}
