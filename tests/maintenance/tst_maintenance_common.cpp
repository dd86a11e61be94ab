// The shared checks and messages of the backup and restore windows.

#include <QtTest>

#include "HostAccountService.h"
#include "tst_maintenance.h"
#include "uSqlFileCommon.h"

using namespace uSqlFileCommon;

Q_DECLARE_METATYPE(uSqlFileCommon::TNameCheck)

void TestMaintenance::backupNameRules_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<TNameCheck>("check");
    const QString a64(64, u'a');
    QTest::newRow("64 characters") << a64 << TNameCheck::NameOk;
    QTest::newRow("65 characters") << a64 + u'a' << TNameCheck::EmptyOrTooLong;
    QTest::newRow("64 Chinese characters") << QString(64, QChar(0x8D26)) << TNameCheck::NameOk;
    QTest::newRow("empty") << QString() << TNameCheck::EmptyOrTooLong;
    QTest::newRow("spaces only") << QStringLiteral("    ") << TNameCheck::EmptyOrTooLong;
    QTest::newRow("65 with a leading digit") << u'1' + a64 << TNameCheck::EmptyOrTooLong;
    QTest::newRow("leading digit") << QStringLiteral("2024账套") << TNameCheck::LeadingDigit;
    QTest::newRow("digit further on") << QStringLiteral("账套2024") << TNameCheck::NameOk;
    QTest::newRow("full-width digit first") << QStringLiteral("２账套") << TNameCheck::NameOk;
    QTest::newRow("dot") << QStringLiteral("账套.bak") << TNameCheck::SpecialChar;
    QTest::newRow("space inside") << QStringLiteral("账套 一") << TNameCheck::SpecialChar;
    QTest::newRow("leading space before a digit") << QStringLiteral(" 1账套") << TNameCheck::SpecialChar;
    QTest::newRow("trailing space") << QStringLiteral("账套 ") << TNameCheck::SpecialChar;
    const QString specials = QStringLiteral("\"*+/:<>?[\\]|");
    for (const QChar c : specials)
        QTest::addRow("special %c", c.toLatin1())
            << QStringLiteral("ab") + c + QStringLiteral("cd") << TNameCheck::SpecialChar;
    QTest::newRow("dash and at sign") << QStringLiteral("账套-2024@01") << TNameCheck::NameOk;
}

void TestMaintenance::backupNameRules()
{
    QFETCH(QString, name);
    QFETCH(TNameCheck, check);
    QCOMPARE(CheckBackupName(name), check);
    const QString message = NameCheckMessage(check);
    switch (check) {
    case TNameCheck::NameOk:
        QVERIFY(message.isEmpty());
        break;
    case TNameCheck::EmptyOrTooLong:
        QCOMPARE(message, QStringLiteral("备份文件名不能为空，且长度不能超过64个字符。"));
        break;
    case TNameCheck::LeadingDigit:
        QCOMPARE(message, QStringLiteral("备份文件名错误，第一位不能使用数字。"));
        break;
    case TNameCheck::SpecialChar:
        QCOMPARE(message, QStringLiteral("备份文件名错误，请避免使用特殊字符、小数点、空格。"));
        break;
    }
}

void TestMaintenance::intervalRules_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<bool>("store");
    QTest::newRow("0 falls back") << "0"
                                  << "7" << false;
    QTest::newRow("101 falls back") << "101"
                                    << "7" << false;
    QTest::newRow("zero followed by 100") << "0100"
                                          << "100" << true;
    QTest::newRow("five digits") << "12345"
                                 << "100" << true;
    QTest::newRow("empty is one day") << ""
                                      << "1" << true;
    QTest::newRow("lower bound") << "1"
                                 << "1" << true;
    QTest::newRow("upper bound") << "100"
                                 << "100" << true;
    QTest::newRow("leading zero") << "05"
                                  << "05" << true;
    QTest::newRow("letter") << "1x"
                            << "7" << false;
    QTest::newRow("minus") << "-5"
                           << "7" << false;
    QTest::newRow("blank") << " 5"
                           << "7" << false;
}

void TestMaintenance::intervalRules()
{
    QFETCH(QString, text);
    QFETCH(QString, shown);
    QFETCH(bool, store);
    const TIntervalCheck check = CheckIntervalText(text, QStringLiteral("7"));
    QCOMPARE(check.Text, shown);
    QCOMPARE(check.Store, store);
}

void TestMaintenance::autoBackupName()
{
    const QDateTime at(QDate(2024, 3, 5), QTime(7, 8, 9, 123));
    QCOMPARE(AutoBackupName(QStringLiteral("演示账套"), at),
             QStringLiteral("演示账套2024-03-05@07-08-09-12"));
    QCOMPARE(AutoBackupName(QString(), QDateTime(QDate(2023, 12, 31), QTime(23, 59, 58, 7))),
             QStringLiteral("2023-12-31@23-59-58-00"));
}

void TestMaintenance::backupMessages_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<bool>("failed");
    QTest::addColumn<QString>("message");
    QTest::newRow("success") << 0 << false << "备份成功，请确定退出。";
    QTest::newRow("positive is success") << 5 << false << "备份成功，请确定退出。";
    QTest::newRow("name exists") << -1 << true << "备份文件名已经存在。";
    QTest::newRow("windows authentication")
        << -2 << true
        << "请设置数据库连接参数为<SQL SERVER身份验证>，目前系统不支持<Windows身份验证>下的账套维护。";
    QTest::newRow("failed code shows its low 16 bits")
        << (HostAccountService::FailedBit | 0x20000 | HostAccountService::ErrCorrupt) << true
        << "备份账套时发生未知错误，错误号：3183, 请检查磁盘空间是否足够，或与开发商联系解决。";
    QTest::newRow("disk full")
        << (HostAccountService::FailedBit | HostAccountService::ErrDiskFull) << true
        << "备份账套时发生未知错误，错误号：112, 请检查磁盘空间是否足够，或与开发商联系解决。";
}

void TestMaintenance::backupMessages()
{
    QFETCH(int, code);
    QFETCH(bool, failed);
    QFETCH(QString, message);
    QCOMPARE(BackupFailed(code), failed);
    QCOMPARE(BackupResultMessage(code), message);
}

void TestMaintenance::restoreMessages_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QString>("errorText");
    QTest::addColumn<QString>("message");
    const QString inUse =
        QStringLiteral("其他用户正在使用该数据库，造成数据恢复失败，请确认全部用户\r都已退出，并且关闭"
                       "\"企业管理器\"或\"查询分析器\"后重试。");
    QTest::newRow("success") << 0 << ""
                             << "数据恢复成功，请确定退出后重新运行程序。";
    QTest::newRow("missing") << -1 << ""
                             << "备份文件名(月末备份)不存在。";
    QTest::newRow("windows authentication")
        << -2 << ""
        << "请设置数据库连接参数为<SQL SERVER身份验证>，目前系统不支持<Windows身份验证>下的账套维护。";
    QTest::newRow("in use") << 3101 << "" << inUse;
    QTest::newRow("in use with the high bits set") << int(0x80010000u | 3101u) << "" << inUse;
    QTest::newRow("3604 about exclusive access")
        << 3604 << "RESTORE 失败：未能获得对数据库的排它访问权。" << inUse;
    QTest::newRow("3604 with another text") << 3604 << "磁盘 D: 只读。"
                                            << "磁盘 D: 只读。";
    QTest::newRow("3604 without a text") << 3604 << ""
                                         << "恢复数据时发生未知错误，错误号：3604, 请与开发商联系解决。";
    QTest::newRow("other code") << HostAccountService::ErrNewerVersion << ""
                                << "恢复数据时发生未知错误，错误号：3169, 请与开发商联系解决。";
    QTest::newRow("failed bit") << (HostAccountService::FailedBit | HostAccountService::ErrCorrupt) << ""
                                << "恢复数据时发生未知错误，错误号：3183, 请与开发商联系解决。";
}

void TestMaintenance::restoreMessages()
{
    QFETCH(int, code);
    QFETCH(QString, errorText);
    QFETCH(QString, message);
    QCOMPARE(RestoreResultMessage(code, QStringLiteral("月末备份"), errorText), message);
}
