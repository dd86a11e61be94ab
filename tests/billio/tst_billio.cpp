// Bill exchange files: the exact bytes of an export, the import of that file into another account set,
// refused files and rows that leave the account set unchanged, UTF-8 input and the edition's skipped
// bill kinds.

#include <QStringEncoder>
#include <QtTest>

#include "AccountDatabase.h"
#include "BillFile.h"
#include "BillIoSeed.h"
#include "ClientDataSet.h"
#include "TestAccountSet.h"
#include "uExportBillDataCore.h"
#include "uExportToJSCore.h"
#include "uImportBillDataCore.h"

namespace {

// Bills, their lines and stock as text, without codes and numbers.
QString Bills(accountdb::AccountDatabase &db)
{
    QStringList out;
    for (const QVariantList &r :
         db.query(QStringLiteral(
                      "SELECT d.Vchtype, d.Date, d.BtypeId, d.EtypeId, d.KtypeId, d.DtypeId, d.Summary, "
                      "d.Total, l.PtypeId, l.KtypeId, l.Qty, l.Price, l.Total, l.Comment "
                      "FROM DlyNdx d JOIN (SELECT Vchcode, RowNo, PtypeId, KtypeId, Qty, Price, Total, "
                      "Comment FROM DlySale UNION ALL SELECT Vchcode, RowNo, PtypeId, KtypeId, Qty, "
                      "Price, Total, Comment FROM DlyOther) AS l ON l.Vchcode = d.Vchcode "
                      "ORDER BY d.Date, d.Vchtype, l.RowNo"))
             .rows) {
        QStringList cells;
        for (const QVariant &v : r)
            cells << v.toString();
        out << cells.join(u'|');
    }
    return out.join(u'\n');
}

int BillCount(accountdb::AccountDatabase &db)
{
    return db.value(QStringLiteral("SELECT count(*) FROM DlyNdx")).toInt();
}

// Imports a file the way the import window does: read, check, write.
uImportBillDataCore::TImportResult Import(const QByteArray &bytes)
{
    const BillFile::TReadResult read = BillFile::Read(bytes, {});
    uImportBillDataCore::TImportResult result;
    if (!read.Error.isEmpty()) {
        result.Error = read.Error;
        return result;
    }
    result.Error =
        uImportBillDataCore::FirstProblem(uImportBillDataCore::CheckRows(read.Rows), read.LineNumbers);
    return result.Error.isEmpty() ? uImportBillDataCore::ImportRows(read.Rows, read.LineNumbers) : result;
}

} // namespace

class TstBillIo : public QObject
{
    Q_OBJECT

private slots:
    void exportBytes();
    void roundTrip();
    void refusedImports_data();
    void refusedImports();
    void failedBillUndoesEarlierOnes();
    void reader_data();
    void reader();
    void fileNames_data();
    void fileNames();
    void taxExport_data();
    void taxExport();
};

void TstBillIo::exportBytes()
{
    TestAccountSet set;
    SeedBaseData(set.Db());
    SeedBills(set.Db());
    const QString d20 = Date(20), d21 = Date(21);
    const QString expected =
        QStringLiteral("Lindero17.0业务单据\r\n") +
        QStringLiteral("1\tP\t销售单\t11\t2\tU1\t华东公司\tE1\t张三\t一号库\tK1\tXS-001\t%1\t月底       "
                       "发货\t\t\t五金类\t"
                       "C1\tD1\t销售部\t\t\t\t\t\r\n")
            .arg(d20) +
        QStringLiteral("1\tP1\t\tA01\t螺丝\t2\t3."
                       "5\t7\t1\t0\t0\t0\t0\t0\t\t\t\t\t\t\t\t\t\t\t\t\tK1\t一号库\t0\t\t0\t \t\r\n") +
        QStringLiteral("1\tP1\t\tB01\t垫片\t1\t10\t10\t1\t0\t0\t0\t0\t0\t\t\t\t\t\t\t\t\t\t\t\t\tK1\t一号库\t"
                       "0\t\t0\t \t\r\n") +
        QStringLiteral(
            "2\tP\t其他出库单\t141\t2\tU1\t华东公司\tE1\t张三\t一号库\tK1\tQC-001\t%1\t\t\t\t五金类\tC1\tD1\t"
            "销售部\t\t\t\t\t样品\t0\t\r\n")
            .arg(d21) +
        QStringLiteral("2\tP1\t\tA01\t螺丝\t4\t2\t8\t1\t0\t0\t0\t0\t0\t样品\t\t\t\t\t\t\t\t\t\t\t\tK1\t一号库"
                       "\t0\t\t0\t \t\r\n");
    const QByteArray bytes = ExportAll();
    QCOMPARE(FromGbk(bytes), expected);
    QCOMPARE(bytes, Gbk(expected));
    QVERIFY(bytes.contains("\xC2\xDD\xCB\xBF")); // 螺丝 in GBK
}

void TstBillIo::roundTrip()
{
    QByteArray first;
    QString bills;
    {
        TestAccountSet source;
        SeedBaseData(source.Db());
        SeedBills(source.Db());
        // A sales return that takes its cost from the sale's first line.
        const qint64 saleLine =
            source.Db().value(QStringLiteral("SELECT Dlyorder FROM DlySale WHERE RowNo = 1")).toLongLong();
        Post(source.Db(), 45, 22, QStringLiteral("XT-001"), QString(),
             QStringLiteral("<Record PtypeID=\"%1\" Qty=\"1\" Price=\"3.5\" SourceDlyorder=\"%2\"/>")
                 .arg(kGoodsA)
                 .arg(saleLine));
        first = ExportAll();
        QVERIFY(FromGbk(first).contains(QStringLiteral("\tXS-001/1\t")));
        bills = Bills(source.Db());
    }
    TestAccountSet target;
    SeedBaseData(target.Db());
    const uImportBillDataCore::TImportResult result = Import(first);
    QCOMPARE(result.Error, QString());
    QCOMPARE(result.Count, 3);
    QCOMPARE(target.Db()
                 .value(QStringLiteral(
                     "SELECT count(*) FROM DlySale r JOIN DlySale s ON s.Dlyorder = r.SourceDlyorder "
                     "WHERE r.Vchtype = 45 AND s.Vchtype = 11 AND s.RowNo = 1"))
                 .toInt(),
             1);
    // A TAB in a summary travels as seven blanks.
    QCOMPARE(Bills(target.Db()), bills.replace(u'\t', QStringLiteral("       ")));
    // Numbers come from the target's numbering, not from the file.
    QCOMPARE(target.Db()
                 .value(QStringLiteral("SELECT count(*) FROM DlyNdx WHERE Number IN ('XS-001', 'QC-001')"))
                 .toInt(),
             0);
    // Exported again, the file differs only in the bill numbers (also where a line names its source).
    QString again = FromGbk(ExportAll());
    again.replace(
        target.Db().value(QStringLiteral("SELECT Number FROM DlyNdx WHERE Vchtype = 11")).toString() +
            QStringLiteral("/1"),
        QStringLiteral("XS-001/1"));
    QCOMPARE(WithoutNumbers(again), WithoutNumbers(FromGbk(first)));
}

void TstBillIo::refusedImports_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QString>("error");

    QTest::newRow("unknown goods in the middle") << "1\tP1\t\tB01\t垫片"
                                                 << "1\tP1\t\tZ99\t垫片"
                                                 << "第4行：存货不存在：Z99 垫片";
    QTest::newRow("unreadable date") << "QC-001\t{d21}"
                                     << "QC-001\t2026-13-45"
                                     << "第5行：数据转换出错，请检查数据文件";
    QTest::newRow("unknown warehouse") << "\tK1\tXS-001"
                                       << "\tK9\tXS-001"
                                       << "第2行：仓库不存在：K9 一号库";
    QTest::newRow("quantity not a number") << "\tA01\t螺丝\t4\t"
                                           << "\tA01\t螺丝\t四\t"
                                           << "第6行：数据转换出错，请检查数据文件";
    QTest::newRow("other series") << "Lindero17.0"
                                  << "Maravel系列17.0"
                                  << "该文件不是有效的业务单据文件。";
    QTest::newRow("line before any bill") << "1\tP\t销售单"
                                          << "1\tP2\t销售单"
                                          << "第2行不是单据行或明细行，请检查数据文件。";
}

void TstBillIo::refusedImports()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(QString, error);
    QString text = SeededFile();
    from.replace(QStringLiteral("{d21}"), Date(21));
    QVERIFY(text.contains(from));
    text.replace(from, to);
    TestAccountSet target;
    SeedBaseData(target.Db());
    const uImportBillDataCore::TImportResult result = Import(Gbk(text));
    QVERIFY2(result.Error.startsWith(error), qPrintable(result.Error));
    QCOMPARE(BillCount(target.Db()), 0);
}

void TstBillIo::failedBillUndoesEarlierOnes()
{
    // The second bill passes the check but falls outside the period calendar when posted.
    QString text = SeededFile();
    text.replace(Date(21), QStringLiteral("1990-01-21"));
    TestAccountSet target;
    SeedBaseData(target.Db());
    const uImportBillDataCore::TImportResult result = Import(Gbk(text));
    QVERIFY2(result.Error.startsWith(QStringLiteral("第5行：单据日期不在会计期间内")),
             qPrintable(result.Error));
    QCOMPARE(result.Count, 0);
    QCOMPARE(BillCount(target.Db()), 0);
    QCOMPARE(target.Db().value(QStringLiteral("SELECT count(*) FROM GoodsStocks")).toInt(), 0);
}

void TstBillIo::reader_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("edition");
    QTest::addColumn<QString>("rows"); // field 2 of each row kept, "|"-joined

    const QString body = QStringLiteral("Lindero17.0业务单据\r\n1\tP\t委外发料单\t\r\n1\tP1\t\tA01\t\r\n"
                                        "2\tP\t销售单\t\r\n2\tP1\t\tB01\tignored");
    QTest::newRow("GBK, full edition") << Gbk(body) << 6680 << "委外发料单|A01|销售单|B01";
    QTest::newRow("outsourcing skipped below 5680") << Gbk(body) << 3680 << "销售单|B01";
    QTest::newRow("UTF-8") << body.toUtf8() << 6680 << "委外发料单|A01|销售单|B01";
    QTest::newRow("UTF-8 with BOM, LF only")
        << QByteArray("\xEF\xBB\xBF") + body.toUtf8().replace("\r\n", "\n") << 3680 << "销售单|B01";
}

void TstBillIo::reader()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, edition);
    QFETCH(QString, rows);
    const BillFile::TReadResult r = BillFile::Read(bytes, {false, edition});
    QCOMPARE(r.Error, QString());
    QStringList kept;
    for (const QStringList &row : r.Rows)
        kept << row.value(row.value(1) == QStringLiteral("P") ? 2 : 3);
    QCOMPARE(kept.join(u'|'), rows);
    // Text after the last TAB is not a field.
    QCOMPARE(r.Rows.constLast().size(), 4);
}

void TstBillIo::fileNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("expected");
    QTest::newRow("no extension") << "/tmp/exportdata"
                                  << "/tmp/exportdata.txt";
    QTest::newRow("upper case kept") << "/tmp/a.TXT"
                                     << "/tmp/a.TXT";
    QTest::newRow("mixed case kept") << "/tmp/a.tXt"
                                     << "/tmp/a.tXt";
    QTest::newRow("other extension") << "/tmp/a.csv"
                                     << "/tmp/a.csv.txt";
}

void TstBillIo::fileNames()
{
    QFETCH(QString, name);
    QFETCH(QString, expected);
    QCOMPARE(uExportBillDataCore::WithExtension(name), expected);
}

void TstBillIo::taxExport_data()
{
    QTest::addColumn<int>("vchtype");
    QTest::addColumn<double>("tax");
    QTest::addColumn<QString>("goodsName");
    QTest::addColumn<QString>("file");     // after the head line; {n} is the bill number
    QTest::addColumn<QString>("messages"); // "|"-joined

    // 1 + 29 Chinese characters fill 59 of the 60 bytes; the 30th would split.
    const QString longName = QStringLiteral("A") + QString(40, QChar(0x87BA));
    const QString head =
        QStringLiteral("//单据:\r\n{n}~~1~~华东公司~~91310000~~上海市 021-1234~~工行 6222~~~~00000~~张三~~");
    QTest::newRow("long name cut on a character")
        << 11 << 17.0 << longName
        << head + QStringLiteral(
                      "%1~~{d}~~~~\r\n%1~~~~~~2.000000~~7.00~~0.17~~~~0.00~~0.00~~0.00~~1.000~~3.5~~0\r\n")
                      .arg(QStringLiteral("A") + QString(29, QChar(0x87BA)))
        << QString();
    QTest::newRow("rate 16 refused") << 11 << 16.0 << QStringLiteral("螺丝") << QString()
                                     << QStringLiteral(
                                            "存货的税率不合法，只能是0.17、0.13、0.06、0.04或0.03。|"
                                            "单据：{n}导出错误，错误原因如前所示。");
    QTest::newRow("purchase bill asked about")
        << 34 << 17.0 << QStringLiteral("螺丝") << QString()
        << QStringLiteral("单据：{n}不是销售单,无法导出。按确定将继续，取消将退出。");
}

void TstBillIo::taxExport()
{
    QFETCH(int, vchtype);
    QFETCH(double, tax);
    QFETCH(QString, goodsName);
    QFETCH(QString, file);
    QFETCH(QString, messages);
    TestAccountSet set;
    SeedBaseData(set.Db());
    set.Db().exec(QStringLiteral("UPDATE ptype SET FullName = ? WHERE typeId = ?"), {goodsName, kGoodsA});
    set.Db().execBatch(
        QStringLiteral("UPDATE btype SET TAXNUMBER = '91310000', TELANDADDRESS = '上海市 021-1234', "
                       "BANKANDACOUNT = '工行 6222'"));
    Post(set.Db(), vchtype, 20, QStringLiteral("B-1"), QString(),
         QStringLiteral("<Record PtypeID=\"%1\" Qty=\"2\" Price=\"3.5\"/>").arg(kGoodsA));
    set.Db().exec(QStringLiteral("UPDATE DlySale SET Tax = ?"), {tax});
    set.Messages().Answers.enqueue(false);
    const uExportToJSCore::TExportResult r = uExportToJSCore::BuildFile(
        {{set.Db().value(QStringLiteral("SELECT Vchcode FROM DlyNdx")).toLongLong(), vchtype,
          QStringLiteral("B-1")}});
    file.replace(QStringLiteral("{n}"), QStringLiteral("B-1")).replace(QStringLiteral("{d}"), Date(20));
    QCOMPARE(FromGbk(r.Bytes), QStringLiteral("SJJK0101~~销售单据传入\r\n") + file);
    QCOMPARE(r.Count, file.isEmpty() ? 0 : 1);
    QCOMPARE(set.Messages().Texts().join(u'|'),
             messages.replace(QStringLiteral("{n}"), QStringLiteral("B-1")));
}

QTEST_MAIN(TstBillIo)
#include "tst_billio.moc"
