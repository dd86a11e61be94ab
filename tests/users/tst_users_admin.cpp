// orvane-admin passwd and token: a key file issued for the account set, bound to an operator who then
// works only with it; a password changed from standard input that the host's log-on accepts; the events
// of each step.

#include <QFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include "../admin/AdminRun.h"
#include "AccountDatabase.h"
#include "HostSession.h"
#include "RecordingMessageService.h"

class TestUsersAdmin : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void bindThenWorkOnlyWithKey();
    void passwdRefusals_data();
    void passwdRefusals();
    void repeatedWrongPasswordsWait();

private:
    Run Admin(const QStringList &args, const QByteArray &input = {});
    QString Path(const QString &name) const { return FDir->filePath(name); }
    void WriteFile(const QString &name, const QByteArray &contents);
    QStringList Events();

    std::unique_ptr<QTemporaryDir> FDir;
    QString FDb;
};

void TestUsersAdmin::init()
{
    FDir = std::make_unique<QTemporaryDir>();
    FDb = Path(QStringLiteral("set.orv"));
    auto db = accountdb::AccountDatabase::create(FDb);
    db->exec(
        QStringLiteral("INSERT INTO Employee (TypeId, UserCode, FullName) VALUES ('0001', '0001', '张三')"));
    db->exec(QStringLiteral("INSERT INTO T_GBL_LoginUser (ETypeId, Password) VALUES ('0001', ?)"),
             {accountdb::hashPassword(QStringLiteral("old-pw"))});
    // The host's configuration names the key file.
    QSettings ini(Path(QStringLiteral("CONFIG.INI")), QSettings::IniFormat);
    ini.setValue(QStringLiteral("HOST/TokenKeyFile"), Path(QStringLiteral("key.token")));
    ini.sync();
    WriteFile(QStringLiteral("old.txt"), "old-pw\n");
}

void TestUsersAdmin::cleanup()
{
    FDir.reset();
}

Run TestUsersAdmin::Admin(const QStringList &args, const QByteArray &input)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ORVANE_SYSTEM_PATH"), FDir->path());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ORVANE_ADMIN_PATH),
            QStringList{args.first(), QStringLiteral("--db"), FDb} + args.mid(1));
    p.write(input);
    p.closeWriteChannel();
    if (!p.waitForFinished(60000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

void TestUsersAdmin::WriteFile(const QString &name, const QByteArray &contents)
{
    QFile file(Path(name));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(contents);
}

QStringList TestUsersAdmin::Events()
{
    auto db = accountdb::AccountDatabase::open(FDb);
    QStringList events;
    QSqlQuery q = db->exec(QStringLiteral("SELECT Event FROM T_Sys_EventLog ORDER BY EventNo"));
    while (q.next())
        events << q.value(0).toString();
    return events;
}

void TestUsersAdmin::bindThenWorkOnlyWithKey()
{
    const QString key = Path(QStringLiteral("key.token"));
    Run r = Admin({"token", "issue", "--key-file", key, "--number", "K-1", "--level", "1"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QCOMPARE(QFile(key).permissions() & (QFile::ReadGroup | QFile::ReadOther), QFileDevice::Permissions());
    r = Admin({"token", "bind", "0001"});
    QVERIFY2(r.code == 0, qPrintable(r.err));
    QVERIFY(r.out.contains(QStringLiteral("操作员\"张三\"与安全钥匙[K-1]绑定成功")));
    QVERIFY(Admin({"token", "list"}).out.contains(QStringLiteral("0001\t张三\tK-1\t高级\t已绑定")));

    // The new password from standard input, the old one from a file.
    r = Admin({"passwd", "--operator", "0001", "--old-password-file", Path(QStringLiteral("old.txt"))},
              "new-pw\n");
    QVERIFY2(r.code == 0, qPrintable(r.err));
    WriteFile(QStringLiteral("new.txt"), "new-pw\n");
    const QStringList asZhang = {
        "sysvalue", "--operator", "0001", "--password-file", Path(QStringLiteral("new.txt")), "JxcPeriod"};
    QVERIFY2(Admin(asZhang).code == 0, "with his key");
    QVERIFY(QFile::rename(key, Path(QStringLiteral("away.token"))));
    r = Admin(asZhang);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("请插上安全钥匙后再操作。")), qPrintable(r.err));

    // The host's log-on: the new password, and the key again.
    {
        RecordingMessageService messages;
        qputenv("ORVANE_SYSTEM_PATH", FDir->path().toLocal8Bit());
        auto session = HostSession::Open(FDb, &messages);
        QString error;
        QVERIFY(
            !session->LogOn(QStringLiteral("0001"), QStringLiteral("new-pw"), QDate::currentDate(), &error));
        QCOMPARE(error, QStringLiteral("请插上安全钥匙后再操作。"));
        QVERIFY(QFile::rename(Path(QStringLiteral("away.token")), key));
        QVERIFY2(
            session->LogOn(QStringLiteral("0001"), QStringLiteral("new-pw"), QDate::currentDate(), &error),
            qPrintable(error));
        QCOMPARE(session->System().State().TokenLevel, 1);
        QVERIFY(!session->System().IsNormalToken());
        qunsetenv("ORVANE_SYSTEM_PATH");
    }
    QVERIFY(Admin({"token", "unbind", "0001"}).code == 0);

    const QStringList events = Events();
    for (const QString &event :
         {QStringLiteral("安全钥匙绑定：操作员张三，钥匙K-1"), QStringLiteral("修改口令"),
          QStringLiteral("登录被拒绝：请插上安全钥匙后再操作。"), QStringLiteral("登录系统"),
          QStringLiteral("取消安全钥匙绑定：操作员张三")})
        QVERIFY2(events.contains(event), qPrintable(event));
    QVERIFY(events.indexOf(QStringLiteral("修改口令")) >
            events.indexOf(QStringLiteral("安全钥匙绑定：操作员张三，钥匙K-1")));
}

void TestUsersAdmin::passwdRefusals_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QString>("error");
    QTest::newRow("old password wrong") << QStringList{"--operator", "0001", "--old-password-file", "new.txt"}
                                        << QByteArray("x\n") << "原密码错误，密码修改失败。";
    QTest::newRow("old password not given")
        << QStringList{"--operator", "0001"} << QByteArray("x\n") << "请用 --old-password-file 提供原密码。";
    QTest::newRow("unknown operator")
        << QStringList{"--operator", "0099"} << QByteArray("x\n") << "操作员不存在。";
    QTest::newRow("no new password") << QStringList{"--operator", "0001", "--old-password-file", "old.txt"}
                                     << QByteArray() << "没有读到新密码。";
}

void TestUsersAdmin::passwdRefusals()
{
    QFETCH(QStringList, args);
    QFETCH(QByteArray, input);
    QFETCH(QString, error);
    WriteFile(QStringLiteral("new.txt"), "new-pw\n");
    for (QString &arg : args) {
        if (arg.endsWith(QLatin1String(".txt")))
            arg = Path(arg);
    }
    const Run r = Admin(QStringList{"passwd"} + args, input);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(error), qPrintable(r.err));
    auto db = accountdb::AccountDatabase::open(FDb);
    QVERIFY(accountdb::verifyPassword(
        QStringLiteral("old-pw"),
        db->value(QStringLiteral("SELECT Password FROM T_GBL_LoginUser WHERE ETypeId = '0001'")).toString()));
}

void TestUsersAdmin::repeatedWrongPasswordsWait()
{
    WriteFile(QStringLiteral("wrong.txt"), "not-his\n");
    const QStringList read{
        "sysvalue", "--operator", "0001", "--password-file", Path(QStringLiteral("wrong.txt")), "iniover"};
    for (int attempt = 1; attempt <= 3; ++attempt)
        QVERIFY(Admin(read).err.contains(QStringLiteral("密码错误，登录失败。")));
    const Run r = Admin(read);
    QCOMPARE(r.code, 1);
    QVERIFY2(r.err.contains(QStringLiteral("密码错误次数过多，请")), qPrintable(r.err));
    QVERIFY(Events().contains(QStringLiteral("登录被拒绝：密码错误")));
}

QTEST_MAIN(TestUsersAdmin)
#include "tst_users_admin.moc"
