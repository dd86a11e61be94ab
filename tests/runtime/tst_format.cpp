// Text formatting of the run-time library: Format, FormatDateTime, FormatFloat, the lenient number
// readers and the bill number formatter built on them.

#include <QtTest>

#include "Format.h"
#include "uBillNumberFormat.h"

class TestFormat : public QObject
{
    Q_OBJECT

private slots:
    void format_data();
    void format();
    void formatErrors_data();
    void formatErrors();
    void formatDateTime_data();
    void formatDateTime();
    void formatFloat_data();
    void formatFloat();
    void strToIntDef_data();
    void strToIntDef();
    void strToFloatDef_data();
    void strToFloatDef();
    void formatBillNumber_data();
    void formatBillNumber();
};

// ---------------------------------------------------------------------------------------------
// Format

void TestFormat::format_data()
{
    QTest::addColumn<QString>("fmt");
    QTest::addColumn<QVariantList>("args");
    QTest::addColumn<QString>("expected");

    QTest::newRow("d plain") << "%d" << QVariantList{5} << "5";
    QTest::newRow("d minimum digits") << "%0.2d" << QVariantList{5} << "05";
    QTest::newRow("d minimum digits already met") << "%0.2d" << QVariantList{123} << "123";
    QTest::newRow("d minimum digits negative") << "%.3d" << QVariantList{-5} << "-005";
    QTest::newRow("d width") << "%5d" << QVariantList{42} << "   42";
    QTest::newRow("d width is blanks, not zeros") << "%05d" << QVariantList{42} << "   42";
    QTest::newRow("d left justified") << "%-5d|" << QVariantList{42} << "42   |";
    QTest::newRow("d 64-bit") << "%d" << QVariantList{qint64(1234567890123)} << "1234567890123";
    QTest::newRow("d integer text") << "%d" << QVariantList{QStringLiteral(" 12")} << "12";
    QTest::newRow("d whole double") << "%d" << QVariantList{3.0} << "3";
    QTest::newRow("d of a flag") << "%d" << QVariantList{true} << "1";
    QTest::newRow("d upper case type") << "%D" << QVariantList{7} << "7";
    QTest::newRow("u of negative") << "%u" << QVariantList{-1} << "4294967295";
    QTest::newRow("x") << "%x" << QVariantList{255} << "FF";
    QTest::newRow("x minimum digits") << "%.4x" << QVariantList{255} << "00FF";
    QTest::newRow("s") << "%s-%s" << QVariantList{"a", "b"} << "a-b";
    QTest::newRow("s precision cuts") << "%.2s" << QVariantList{"abcdef"} << "ab";
    QTest::newRow("s width") << "%4s|" << QVariantList{"ab"} << "  ab|";
    QTest::newRow("s Chinese") << "%s年%s月" << QVariantList{"2004", "01"} << "2004年01月";
    QTest::newRow("s of integer") << "%s" << QVariantList{12} << "12";
    QTest::newRow("s of null") << "[%s]" << QVariantList{QVariant()} << "[]";
    QTest::newRow("f default two decimals") << "%f" << QVariantList{1.5} << "1.50";
    QTest::newRow("f half away from zero") << "%.2f" << QVariantList{1.005} << "1.01";
    QTest::newRow("f negative half away") << "%.2f" << QVariantList{-2.675} << "-2.68";
    QTest::newRow("f no decimals") << "%.0f" << QVariantList{2.5} << "3";
    QTest::newRow("f tiny negative") << "%.2f" << QVariantList{-0.001} << "0.00";
    QTest::newRow("f of integer") << "%.1f" << QVariantList{4} << "4.0";
    QTest::newRow("f of number text") << "%f" << QVariantList{"2.5"} << "2.50";
    QTest::newRow("e default") << "%e" << QVariantList{1234.5} << "1.23450000000000E+003";
    QTest::newRow("e precision") << "%.3e" << QVariantList{-0.000123456} << "-1.23E-004";
    QTest::newRow("g drops noise") << "%g" << QVariantList{0.1 + 0.2} << "0.3";
    QTest::newRow("g fixed") << "%g" << QVariantList{1234.5} << "1234.5";
    QTest::newRow("g large") << "%g" << QVariantList{1e20} << "1E20";
    QTest::newRow("g small") << "%g" << QVariantList{0.000001} << "1E-6";
    QTest::newRow("n thousands") << "%n" << QVariantList{1234567.891} << "1,234,567.89";
    QTest::newRow("n negative no decimals") << "%.0n" << QVariantList{-1234.5} << "-1,235";
    QTest::newRow("n below a thousand") << "%n" << QVariantList{999.999} << "1,000.00";
    QTest::newRow("m money") << "%m" << QVariantList{1234.5} << "1,234.50";
    QTest::newRow("percent") << "100%%" << QVariantList{} << "100%";
    QTest::newRow("indexed") << "%1:s %0:s" << QVariantList{"a", "b"} << "b a";
    QTest::newRow("indexed repeat") << "%0:d-%0:d" << QVariantList{7} << "7-7";
    QTest::newRow("continues after index") << "%1:s %s" << QVariantList{"a", "b", "c"} << "b c";
    QTest::newRow("star width") << "%*d" << QVariantList{5, 42} << "   42";
    QTest::newRow("star precision") << "%.*f" << QVariantList{3, 1.0} << "1.000";
    QTest::newRow("switch update") << "Update dbo.T_Gbl_SysCon SET Stats = %1:d Where ConId = %0:d"
                                   << QVariantList{13, 1}
                                   << "Update dbo.T_Gbl_SysCon SET Stats = 1 Where ConId = 13";
    QTest::newRow("time stamp") << "%s%s-%s" << QVariantList{"bk", "2004/01/02@03/04/05", "00"}
                                << "bk2004/01/02@03/04/05-00";
}

void TestFormat::format()
{
    QFETCH(QString, fmt);
    QFETCH(QVariantList, args);
    QFETCH(QString, expected);
    QCOMPARE(Format(fmt, args), expected);
}

void TestFormat::formatErrors_data()
{
    QTest::addColumn<QString>("fmt");
    QTest::addColumn<QVariantList>("args");

    QTest::newRow("missing argument") << "%d %d" << QVariantList{1};
    QTest::newRow("index past the end") << "%3:s" << QVariantList{"a"};
    QTest::newRow("d of text") << "%d" << QVariantList{"abc"};
    QTest::newRow("d of fraction") << "%d" << QVariantList{1.5};
    QTest::newRow("f of text") << "%f" << QVariantList{"x1"};
    QTest::newRow("s of a list") << "%s" << QVariantList{QVariant(QVariantList{1})};
    QTest::newRow("unknown type") << "%k" << QVariantList{1};
    QTest::newRow("dangling percent") << "abc%" << QVariantList{};
    QTest::newRow("star of text") << "%*d" << QVariantList{"w", 1};
}

void TestFormat::formatErrors()
{
    QFETCH(QString, fmt);
    QFETCH(QVariantList, args);
    QVERIFY_THROWS_EXCEPTION(EConvertError, Format(fmt, args));
}

// ---------------------------------------------------------------------------------------------
// FormatDateTime

void TestFormat::formatDateTime_data()
{
    QTest::addColumn<QString>("fmt");
    QTest::addColumn<QDateTime>("dt");
    QTest::addColumn<QString>("expected");

    const QDateTime early(QDate(2004, 1, 2), QTime(3, 4, 5, 6)); // a Friday
    const QDateTime afternoon(QDate(2004, 11, 28), QTime(15, 7, 9));
    const QDateTime midnight(QDate(2004, 1, 2), QTime(0, 0));

    QTest::newRow("full stamp") << "yyyy-mm-dd hh:nn:ss.zzz" << early << "2004-01-02 03:04:05.006";
    QTest::newRow("single letters") << "yy/m/d h:n:s.z" << early << "04-1-2 3:4:5.6";
    QTest::newRow("hh:mm is minutes") << "hh:mm" << early << "03:04";
    QTest::newRow("month then minutes") << "yyyy-mm-dd hh:mm:ss" << early << "2004-01-02 03:04:05";
    QTest::newRow("m after minutes is month") << "hh:mm mm" << early << "03:04 01";
    QTest::newRow("quoted text between h and m") << "h'点'm" << early << "3点4";
    QTest::newRow("single quoted literal") << "'yyyy'" << early << "yyyy";
    QTest::newRow("double quoted literal") << "\"dd\"dd" << early << "dd02";
    QTest::newRow("unterminated quote") << "yyyy'mm" << early << "2004mm";
    QTest::newRow("day names") << "ddd dddd" << early << "周五 星期五";
    QTest::newRow("sunday") << "dddd" << afternoon << "星期日";
    QTest::newRow("month names") << "mmm mmmm" << afternoon << "11月 十一月";
    QTest::newRow("short date") << "ddddd" << early << "2004-01-02";
    QTest::newRow("long date") << "dddddd" << early << "2004年1月2日";
    QTest::newRow("c with time") << "c" << early << "2004-01-02 03:04:05";
    QTest::newRow("c at midnight") << "c" << midnight << "2004-01-02";
    QTest::newRow("short and long time") << "t|tt" << early << "03:04|03:04:05";
    QTest::newRow("am/pm afternoon") << "h:nn am/pm" << afternoon << "3:07 pm";
    QTest::newRow("AM/PM keeps case") << "hh AM/PM" << early << "03 AM";
    QTest::newRow("a/p") << "h a/p" << afternoon << "3 p";
    QTest::newRow("ampm before the hour") << "ampm h" << afternoon << "下午 15";
    QTest::newRow("noon is 12") << "h am/pm" << QDateTime(QDate(2004, 1, 2), QTime(12, 0)) << "12 pm";
    QTest::newRow("after midnight is 12")
        << "h am/pm" << QDateTime(QDate(2004, 1, 2), QTime(0, 30)) << "12 am";
    QTest::newRow("24 hours without am/pm") << "hh" << afternoon << "15";
    QTest::newRow("any case") << "YYYY-MM-DD HH:NN" << early << "2004-01-02 03:04";
    QTest::newRow("separators") << "yyyy/mm/dd hh:nn" << early << "2004-01-02 03:04";
    QTest::newRow("Chinese copied") << "yyyy年mm月" << early << "2004年01月";
    QTest::newRow("other letters copied") << "Qyyyy" << early << "Q2004";
    QTest::newRow("bill pattern survives")
        << "单据前缀-yyyymmdd-[00000]" << early << "单据前缀-20040102-[00000]";
    QTest::newRow("year padded") << "yyyy yy" << QDateTime(QDate(33, 1, 1), QTime(0, 0)) << "0033 33";
    QTest::newRow("time stamp") << "yyyy/mm/dd@hh/mm/ss" << early << "2004-01-02@03-04-05";
    // A run is one character repeated exactly.
    QTest::newRow("run of one case") << "Dd YYYYyy" << early << "22 200404";
    QTest::newRow("mixed-case hours and minutes") << "Hh:Mm" << afternoon << "1515:711";
    // am/pm sets the 12-hour clock for the hour before it, up to the next hour token.
    QTest::newRow("am/pm only for the hour before it") << "h am/pm h" << afternoon << "3 pm 15";
    QTest::newRow("am/pm after a quote and a weekday") << "h'h'aaa a/p" << afternoon << "3h周日 p";
    // Any letter between the hour and "m" makes it the month; quotes and other characters do not.
    QTest::newRow("letter between hour and m") << "hhxmm hh'x'mm hh-mm" << early << "03x01 03x04 03-04";
    QTest::newRow("weekday names as aaa aaaa")
        << "aaa AAAA" << QDateTime(QDate(2004, 1, 1), QTime(0, 0)) << "周四 星期四";
    // An empty pattern is "c", whose time counts to the second.
    QTest::newRow("empty pattern") << "" << early << "2004-01-02 03:04:05";
    QTest::newRow("c ignores milliseconds")
        << "c" << QDateTime(QDate(2004, 1, 2), QTime(0, 0, 0, 500)) << "2004-01-02";
    QTest::newRow("milliseconds padded to the run") << "z|zz|zzz|zzzz" << early << "6|06|006|006";
}

void TestFormat::formatDateTime()
{
    QFETCH(QString, fmt);
    QFETCH(QDateTime, dt);
    QFETCH(QString, expected);
    QCOMPARE(FormatDateTime(fmt, dt), expected);
}

// ---------------------------------------------------------------------------------------------
// FormatFloat

void TestFormat::formatFloat_data()
{
    QTest::addColumn<QString>("fmt");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("zero padding") << "00000" << 1.0 << "00001";
    QTest::newRow("two decimals") << "0.00" << 1.005 << "1.01";
    QTest::newRow("negative half away") << "0.00" << -2.675 << "-2.68";
    QTest::newRow("tiny negative is zero") << "0.00" << -0.001 << "0.00";
    QTest::newRow("hash of zero") << "#" << 0.0 << "";
    QTest::newRow("hash decimals") << "#.##" << 0.5 << ".5";
    QTest::newRow("optional decimals trimmed") << "0.##" << 1.5 << "1.5";
    QTest::newRow("optional decimals none") << "0.##" << 2.0 << "2";
    QTest::newRow("required then optional") << "0.0#" << 1.5 << "1.5";
    QTest::newRow("required then optional rounds") << "0.0#" << 1.234 << "1.23";
    QTest::newRow("thousands") << "#,##0.00" << 1234567.891 << "1,234,567.89";
    QTest::newRow("thousands negative") << "#,##0" << -1234567.0 << "-1,234,567";
    QTest::newRow("thousands small") << "#,##0.00" << 12.3 << "12.30";
    QTest::newRow("thousands comma late") << "0,000" << 1234567.0 << "1,234,567";
    QTest::newRow("more digits than places") << "0" << 12345.0 << "12345";
    QTest::newRow("carry into new digit") << "0" << 9.5 << "10";
    QTest::newRow("negative half away whole") << "0" << -0.5 << "-1";
    QTest::newRow("large") << "0" << 1e15 << "1000000000000000";
    QTest::newRow("negative section") << "0.00;(0.00)" << -5.0 << "(5.00)";
    QTest::newRow("zero section") << "0.00;(0.00);'零'" << 0.0 << "零";
    QTest::newRow("empty negative section") << "0.00;;'zero'" << -5.0 << "-5.00";
    QTest::newRow("rounds into zero section") << "0.0;-0.0;'nil'" << 0.01 << "nil";
    QTest::newRow("quoted prefix") << "'¥'#,##0.00" << 1234.5 << "¥1,234.50";
    QTest::newRow("double quoted suffix") << "0\"元\"" << 12.0 << "12元";
    QTest::newRow("quoted semicolon") << "0';'0" << 12.0 << "1;2";
    QTest::newRow("literal between digits") << "000-000" << 123456.0 << "123-456";
    QTest::newRow("percent copied") << "0%" << 50.0 << "50%";
    QTest::newRow("integer digits without places") << ".00" << 12.5 << "12.50";
    QTest::newRow("scientific") << "0.00E+00" << 1234.0 << "1.23E+03";
    QTest::newRow("scientific negative exponent") << "0.00E+00" << 0.000123 << "1.23E-04";
    QTest::newRow("scientific E- hides plus") << "0.0E-0" << 1234.0 << "1.2E3";
    QTest::newRow("scientific two integer digits") << "00.0E+0" << 1234.0 << "12.3E+2";
    QTest::newRow("scientific lower e") << "0.0e+00" << 5.0 << "5.0e+00";
    QTest::newRow("scientific carry") << "0.0E+0" << 9.96 << "1.0E+1";
    QTest::newRow("scientific zero") << "0.00E+00" << 0.0 << "0.00E+00";
    QTest::newRow("scientific negative") << "0.0E+0" << -250.0 << "-2.5E+2";
    QTest::newRow("empty format") << "" << 1.5 << "1.5";
    QTest::newRow("bill sequence") << "0000" << 1.0 << "0001";
    // The general format of an empty pattern: 15 significant digits, exponent outside [1E-4, 1E15).
    QTest::newRow("general drops noise") << "" << 0.1 + 0.2 << "0.3";
    QTest::newRow("general smallest fixed") << "" << 0.0001 << "0.0001";
    QTest::newRow("general small") << "" << 0.00001 << "1E-5";
    QTest::newRow("general large") << "" << 1e20 << "1E20";
    QTest::newRow("general three-digit exponent") << "" << -1e100 << "-1E100";
    QTest::newRow("general 15 digits") << "" << 123456789012345678.0 << "1.23456789012346E17";
    // Scientific: as many integer digits as integer placeholders; literals after the exponent.
    QTest::newRow("scientific without integer places") << ".00E+00" << 1234.0 << ".12E+04";
    QTest::newRow("scientific zero without zeros") << "#.###E-0" << 0.0 << "0E0";
    QTest::newRow("scientific quoted around") << "'x'0.0E+00'y'" << 1234.0 << "x1.2E+03y";
    // A "," among the decimals still groups the thousands.
    QTest::newRow("comma after the point") << "0.00," << 1234.0 << "1,234.00";
    // Rounding to nothing takes the zero section, or the first one, from the negative one too.
    QTest::newRow("negative rounds into zero section") << "0;(0);'nil'" << -0.004 << "nil";
    QTest::newRow("negative rounds into first section") << "0.0;(0.0)" << -0.04 << "0.0";
    // Digits only at placeholders.
    QTest::newRow("section without placeholders") << "0.0000;x" << -0.81 << "x";
    QTest::newRow("literal only") << "'No.'" << 12.0 << "No.";
}

void TestFormat::formatFloat()
{
    QFETCH(QString, fmt);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(FormatFloat(fmt, value), expected);
}

// ---------------------------------------------------------------------------------------------
// Number readers

void TestFormat::strToIntDef_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("expected");

    QTest::newRow("plain") << "12" << 12;
    QTest::newRow("blanks and sign") << "  -34 " << -34;
    QTest::newRow("plus") << "+7" << 7;
    QTest::newRow("hex dollar") << "$FF" << 255;
    QTest::newRow("hex 0x") << "0x1a" << 26;
    QTest::newRow("hex all ones") << "$FFFFFFFF" << -1;
    QTest::newRow("max") << "2147483647" << 2147483647;
    QTest::newRow("min") << "-2147483648" << int(-2147483647 - 1);
    QTest::newRow("overflow") << "2147483648" << -99;
    QTest::newRow("hex overflow") << "$100000000" << -99;
    QTest::newRow("trailing letters") << "12ab" << -99;
    QTest::newRow("fraction") << "1.5" << -99;
    QTest::newRow("inner blank") << "1 2" << -99;
    QTest::newRow("empty") << "" << -99;
    QTest::newRow("sign only") << "-" << -99;
    QTest::newRow("dollar only") << "$" << -99;
}

void TestFormat::strToIntDef()
{
    QFETCH(QString, text);
    QFETCH(int, expected);
    QCOMPARE(StrToIntDef(text, -99), expected);
}

void TestFormat::strToFloatDef_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("expected");

    QTest::newRow("plain") << "1.5" << 1.5;
    QTest::newRow("blanks and sign") << " -2.25 " << -2.25;
    QTest::newRow("plus") << "+3" << 3.0;
    QTest::newRow("exponent") << "2e3" << 2000.0;
    QTest::newRow("negative exponent") << "1E-2" << 0.01;
    QTest::newRow("leading point") << ".5" << 0.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("two points") << "1.2.3" << -99.0;
    QTest::newRow("comma") << "1,5" << -99.0;
    QTest::newRow("letters") << "abc" << -99.0;
    QTest::newRow("empty") << "" << -99.0;
    QTest::newRow("exponent without digits") << "1e" << -99.0;
    QTest::newRow("exponent only") << "e3" << -99.0;
    QTest::newRow("infinity text") << "inf" << -99.0;
    QTest::newRow("overflow") << "1e999" << -99.0;
    QTest::newRow("underflow is zero") << "1e-999" << 0.0;
}

void TestFormat::strToFloatDef()
{
    QFETCH(QString, text);
    QFETCH(double, expected);
    QCOMPARE(StrToFloatDef(text, -99.0), expected);
}

// ---------------------------------------------------------------------------------------------
// Bill numbers

void TestFormat::formatBillNumber_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<qint64>("sequence");
    QTest::addColumn<QDateTime>("date");
    QTest::addColumn<QString>("computer");
    QTest::addColumn<QString>("head");
    QTest::addColumn<QString>("expected");

    const auto parts = [](const QStringList &p) {
        QStringList all = p;
        while (all.size() < 10)
            all.append(QString());
        return all.join(QLatin1Char('\r'));
    };
    const QDateTime newYear(QDate(2004, 1, 1), QTime(13, 5, 9));
    const QString dash = QStringLiteral("-");
    const QString head = QStringLiteral("单据前缀");
    const QString seq = QStringLiteral("[00000]");

    QTest::newRow("style one") << parts({head, dash, "yyyy", dash, "mm", dash, "dd", dash, seq}) << qint64(0)
                               << newYear << "PC1"
                               << "XS"
                               << "XS-2004-01-01-00001";
    QTest::newRow("style two") << parts({head, dash, "yyyy", dash, seq}) << qint64(0) << newYear << "PC1"
                               << "XS"
                               << "XS-2004-00001";
    QTest::newRow("style three") << parts({head, dash, "mm", dash, "dd", dash, seq}) << qint64(0) << newYear
                                 << "PC1"
                                 << "XS"
                                 << "XS-01-01-00001";
    QTest::newRow("style four") << parts({head, dash, "yyyy", "mm", "dd", dash, seq}) << qint64(0) << newYear
                                << "PC1"
                                << "XS"
                                << "XS-20040101-00001";
    QTest::newRow("style five") << parts({"机器名", head, dash, "yyyy", dash, "mm", dash, "dd", dash, seq})
                                << qint64(0) << newYear << "PC1"
                                << "XS"
                                << "PC1XS-2004-01-01-00001";
    QTest::newRow("sequence alone") << "[0000]" << qint64(0) << newYear << ""
                                    << ""
                                    << "0001";
    QTest::newRow("sequence outgrows digits") << "[00]" << qint64(123) << newYear << ""
                                              << ""
                                              << "124";
    QTest::newRow("empty pattern") << "" << qint64(5) << newYear << "PC1"
                                   << "XS"
                                   << "";
    QTest::newRow("only separators") << "\r\r\r" << qint64(5) << newYear << "PC1"
                                     << "XS"
                                     << "";
    QTest::newRow("head made of date letters") << "单据前缀-[000]" << qint64(0) << newYear << ""
                                               << "MDYHNS"
                                               << "MDYHNS-001";
    QTest::newRow("computer name cut to 200")
        << "机器名-[0]" << qint64(0) << newYear << QString(250, 'A') << "" << QString(200, 'A') + "-1";
    QTest::newRow("only the first bracket") << "[00]-[00]" << qint64(0) << newYear << ""
                                            << ""
                                            << "01-[00]";
    QTest::newRow("brackets reversed") << "]x[" << qint64(0) << newYear << ""
                                       << ""
                                       << "]x[";
    QTest::newRow("time tokens") << "yyyymmddhhnnss[0]" << qint64(0) << newYear << ""
                                 << ""
                                 << "200401011305091";
    QTest::newRow("quoted literal") << "'NO'yyyy[000]" << qint64(41) << newYear << ""
                                    << ""
                                    << "NO2004042";
    QTest::newRow("am/pm") << "hh am/pm[0]" << qint64(0) << newYear << ""
                           << ""
                           << "01 pm1";
    QTest::newRow("operator") << "操作员-[000]" << qint64(9) << newYear << ""
                              << ""
                              << "张三-010";
}

void TestFormat::formatBillNumber()
{
    QFETCH(QString, pattern);
    QFETCH(qint64, sequence);
    QFETCH(QDateTime, date);
    QFETCH(QString, computer);
    QFETCH(QString, head);
    QFETCH(QString, expected);
    QCOMPARE(FormatBillNumber(pattern, sequence, date, computer, head, QStringLiteral("张三")), expected);
}

QTEST_GUILESS_MAIN(TestFormat)
#include "tst_format.moc"
