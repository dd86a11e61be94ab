// Base-data windows and their procedures: classes and records, unique codes, records in use, hiding,
// CSV import checks and the export/import round trip.

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include "AccountDatabase.h"
#include "BaseDataStore.h"
#include "BaseDataWindow.h"
#include "HostBaseData.h"
#include "TestAccountSet.h"

using namespace accountdb;

class TestBaseData : public QObject
{
    Q_OBJECT

private slots:
    void init() { FSet = std::make_unique<TestAccountSet>(); }
    void cleanup() { FSet.reset(); }

    void goodsWindow();
    void saveRefused_data();
    void saveRefused();
    void deleteRefusedWhenUsed_data();
    void deleteRefusedWhenUsed();
    void importChecksEveryRow_data();
    void importChecksEveryRow();
    void roundTrip_data();
    void roundTrip();

private:
    AccountDatabase &Db() { return FSet->Db(); }
    int EventCount() { return Db().value(QStringLiteral("SELECT count(*) FROM T_Sys_EventLog")).toInt(); }
    static void Fill(BaseDataEditDialog *dialog, const QString &code, const QString &name);
    static QStringList GridCodes(QTableWidget *grid);

    std::unique_ptr<TestAccountSet> FSet;
};

void TestBaseData::Fill(BaseDataEditDialog *dialog, const QString &code, const QString &name)
{
    QVERIFY(dialog);
    dialog->findChild<QLineEdit *>(QStringLiteral("edtUserCode"))->setText(code);
    dialog->findChild<QLineEdit *>(QStringLiteral("edtFullName"))->setText(name);
    dialog->findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
}

QStringList TestBaseData::GridCodes(QTableWidget *grid)
{
    QStringList codes;
    for (int r = 0; r < grid->rowCount(); ++r)
        codes << grid->item(r, 0)->text();
    return codes;
}

void TestBaseData::goodsWindow()
{
    BaseDataWindow window(Db(), FSet->Messages(), QStringLiteral("00000"),
                          *basedata::findKind(QStringLiteral("goods")));
    auto *grid = window.findChild<QTableWidget *>(QStringLiteral("grdRecords"));
    const auto click = [&](const char *name) {
        window.findChild<QPushButton *>(QLatin1String(name))->click();
    };
    const auto editor =
        [&]() -> BaseDataEditDialog * { // the open one: closed forms go on the next event loop
        for (auto *d : window.findChildren<BaseDataEditDialog *>(QStringLiteral("dlgBaseEdit")))
            if (d->isVisible())
                return d;
        return nullptr;
    };
    const int eventsBefore = EventCount();

    click("btnAddClass");
    Fill(editor(), QStringLiteral("01"), QStringLiteral("饮料"));
    const QString classId = window.CurrentClassId();
    QCOMPARE(classId, QStringLiteral("00001"));
    click("btnAdd");
    Fill(editor(), QStringLiteral("SP01"), QStringLiteral("矿泉水"));
    click("btnAdd");
    Fill(editor(), QStringLiteral("SP02"), QStringLiteral("可乐"));
    click("btnAdd");
    Fill(editor(), QStringLiteral("SP01"), QStringLiteral("汽水"));
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("编号“SP01”已经存在。"));
    QVERIFY(editor()); // the refused form stays open
    editor()->reject();
    QCOMPARE(GridCodes(grid), (QStringList{QStringLiteral("SP01"), QStringLiteral("SP02")}));
    QCOMPARE(EventCount(), eventsBefore + 3);

    // The selection dialog's search finds a goods item by the initials of its name.
    const TBaseKind goods = HostBaseData::Resolve(Db(), QStringLiteral("Ptype"));
    const TBaseRecordList found =
        HostBaseData::Find(Db(), goods, TBaseSearchField::Name, QStringLiteral("kqs"));
    QCOMPARE(found.size(), 1);
    QCOMPARE(found.first().UserCode, QStringLiteral("SP01"));
    window.findChild<QLineEdit *>(QStringLiteral("edtSearch"))->setText(QStringLiteral("KL"));
    QCOMPARE(GridCodes(grid), QStringList{QStringLiteral("SP02")});
    window.findChild<QLineEdit *>(QStringLiteral("edtSearch"))->clear();

    // A goods item on a bill is kept; hiding takes it out of the list.
    const QString sp01 =
        Db().value(QStringLiteral("SELECT TypeId FROM ptype WHERE UserCode = 'SP01'")).toString();
    Db().exec(QStringLiteral(
        "INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Number, Period) VALUES (1, 11, '2026-01-05', "
        "'XS-2026-001', 1)"));
    Db().exec(QStringLiteral("INSERT INTO DlySale (Vchcode, Vchtype, Date, Period, PtypeId) VALUES (1, 11, "
                             "'2026-01-05', 1, ?)"),
              {sp01});
    grid->setCurrentCell(0, 0);
    click("btnDelete");
    QCOMPARE(FSet->Messages().LastText(),
             QStringLiteral("存货“SP01 矿泉水”已被单据“XS-2026-001”使用，不能删除，只能隐藏。"));
    click("btnHide");
    QCOMPARE(GridCodes(grid), QStringList{QStringLiteral("SP02")});
    window.findChild<QCheckBox *>(QStringLiteral("chkShowHidden"))->setChecked(true);
    QCOMPARE(grid->rowCount(), 2);
    QCOMPARE(grid->item(0, grid->columnCount() - 1)->text(), QStringLiteral("隐藏"));
    QVERIFY(HostBaseData::Find(Db(), goods, TBaseSearchField::Code, QStringLiteral("SP01")).isEmpty());

    // A class with records stays; an unused record goes.
    grid->setCurrentCell(1, 0);
    click("btnDelete");
    QCOMPARE(Db().value(QStringLiteral("SELECT count(*) FROM ptype WHERE UserCode = 'SP02'")).toInt(), 0);
    BaseDataStore store(Db(), *basedata::findKind(QStringLiteral("goods")), QStringLiteral("00000"));
    QCOMPARE(store.Delete(classId), QStringLiteral("类别“01 饮料”下还有记录，不能删除。"));
}

void TestBaseData::saveRefused_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QVariantMap>("fields");
    QTest::addColumn<QString>("message");
    const QVariantMap goods{{"UserCode", "G1"}, {"FullName", "螺丝"}, {"Costmode", "0"}};
    QTest::newRow("duplicate code") << "goods" << goods << "编号“G1”已经存在。";
    QTest::newRow("empty name") << "partners" << QVariantMap{{"UserCode", "B2"}, {"FullName", " "}}
                                << "名称不能为空。";
    QTest::newRow("unknown cost method")
        << "goods" << QVariantMap{{"UserCode", "G2"}, {"FullName", "x"}, {"Costmode", "2"}}
        << "成本算法只能是0（移动加权平均）、1（先进先出）、3（个别计价）或4（全月一次加权平均）。";
    QTest::newRow("second unit without rate")
        << "goods" << QVariantMap{{"UserCode", "G2"}, {"FullName", "x"}, {"Unit2", "箱"}}
        << "辅助单位的换算率必须大于0。";
    QTest::newRow("credit limit not a number")
        << "partners" << QVariantMap{{"UserCode", "B2"}, {"FullName", "x"}, {"CreditLimit", "1万"}}
        << "“信用额度”不是数字：1万。";
}

void TestBaseData::saveRefused()
{
    QFETCH(QString, kind);
    QFETCH(QVariantMap, fields);
    QFETCH(QString, message);
    BaseDataStore store(Db(), *basedata::findKind(kind), QStringLiteral("00000"));
    QString id;
    QCOMPARE(store.Save(QString(), QString(), false, {{"UserCode", "G1"}, {"FullName", "螺丝"}}, &id),
             QString());
    const int rows = Db().value(QStringLiteral("SELECT count(*) FROM ") + store.Kind().table).toInt();
    QCOMPARE(store.Save(QString(), QString(), false, fields), message);
    QCOMPARE(Db().value(QStringLiteral("SELECT count(*) FROM ") + store.Kind().table).toInt(), rows);
}

void TestBaseData::deleteRefusedWhenUsed_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("use");       // SQL with the record's id as its parameter
    QTest::addColumn<QString>("usedWhere"); // the part of the message that says where
    QTest::newRow("goods on a bill line") << "goods"
                                          << "INSERT INTO DlyBuy (Vchcode, Vchtype, Date, Period, PtypeId) "
                                             "VALUES (1, 34, '2026-01-05', 1, ?)"
                                          << "单据“JH-1”";
    QTest::newRow("goods in stock") << "goods"
                                    << "INSERT INTO GoodsStocks (PtypeId, KtypeId, Qty) VALUES (?, 'K', 1)"
                                    << "期初数据";
    QTest::newRow("partner on a bill") << "partners"
                                       << "UPDATE DlyNdx SET BtypeId = ? WHERE Vchcode = 1"
                                       << "单据“JH-1”";
    QTest::newRow("warehouse in an opening bill")
        << "warehouses"
        << "INSERT INTO DlyNdxIni (Vchcode, Vchtype, Date, KtypeId) VALUES (1, 1, '2026-01-01', ?)"
        << "期初数据";
    QTest::newRow("employee who logs on") << "employees"
                                          << "INSERT INTO T_GBL_LoginUser (ETypeId) VALUES (?)"
                                          << "操作员";
    QTest::newRow("department on a bill") << "departments"
                                          << "UPDATE DlyNdx SET DtypeId = ? WHERE Vchcode = 1"
                                          << "单据“JH-1”";
}

void TestBaseData::deleteRefusedWhenUsed()
{
    QFETCH(QString, kind);
    QFETCH(QString, use);
    QFETCH(QString, usedWhere);
    BaseDataStore store(Db(), *basedata::findKind(kind), QStringLiteral("00000"));
    QString id;
    QCOMPARE(store.Save(QString(), QString(), false, {{"UserCode", "X1"}, {"FullName", "甲"}}, &id),
             QString());
    Db().exec(QStringLiteral("INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Number, Period) VALUES (1, 34, "
                             "'2026-01-05', 'JH-1', 1)"));
    Db().exec(use, {id});
    QCOMPARE(
        store.Delete(id),
        QStringLiteral("%1“X1 甲”已被%2使用，不能删除，只能隐藏。").arg(store.Kind().caption, usedWhere));
    QCOMPARE(store.Move(id, QStringLiteral("00000")).isEmpty(), false);
    QCOMPARE(store.SetHidden(id, true), QString());
    QVERIFY(store.Row(id).Deleted);
}

void TestBaseData::importChecksEveryRow_data()
{
    QTest::addColumn<QString>("csv");
    QTest::addColumn<QStringList>("errors");
    const QString header = QStringLiteral("上级编号,类别,编号,名称,成本算法,换算率\n");
    QTest::newRow("good file") << header + "," + "是,01,五金,,\n01,,G1,螺丝,1,\n01,,G2,\"螺母,大\",0,\n"
                               << QStringList();
    QTest::newRow("bad rows")
        << header + ",是,01,五金,,\n01,,G1,螺丝,2,\n02,,G2,螺母,0,\n01,,G1,垫片,0,\n"
                    "01,,G3,,0,\n01,,G4,弹簧,x,\n01,,G5,铆钉\n"
        << QStringList{
               "第3行：成本算法只能是0（移动加权平均）、1（先进先出）、3（个别计价）或4（全月一次加权平均）",
               "第4行：上级类别“02”不存在",
               "第5行：编号“G1”在文件中重复",
               "第6行：名称不能为空",
               "第7行：“成本算法”不是数字：x",
               "第8行：有4列，表头有6列"};
    QTest::newRow("parent is a record") << header + ",,G0,零件,0,\nG0,,G1,螺丝,0,\n"
                                        << QStringList{"第3行：上级类别“G0”不存在"};
    QTest::newRow("unknown column") << "编号,名称,颜色\nG1,螺丝,红\n"
                                    << QStringList{"第1行：不认识的列“颜色”"};
}

void TestBaseData::importChecksEveryRow()
{
    QFETCH(QString, csv);
    QFETCH(QStringList, errors);
    const basedata::Kind &goods = *basedata::findKind(QStringLiteral("goods"));
    const basedata::ImportResult result =
        basedata::importCsv(Db(), goods, csv.toUtf8(), basedata::CsvEncoding::Utf8, QStringLiteral("00000"));
    QCOMPARE(result.errors, errors);
    const int rows = Db().value(QStringLiteral("SELECT count(*) FROM ptype")).toInt();
    QCOMPARE(rows, errors.isEmpty() ? 3 : 0);
    QCOMPARE(result.imported, rows);
}

void TestBaseData::roundTrip_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<bool>("gbk");
    QTest::addColumn<QList<QVariantMap>>("records"); // "Class": the parent's code; "Hidden": 1 to hide
    const QList<QVariantMap> goods{
        {{"IsClass", 1}, {"UserCode", "01"}, {"FullName", "饮料"}},
        {{"IsClass", 1}, {"Class", "01"}, {"UserCode", "0101"}, {"FullName", "果汁"}},
        {{"Class", "0101"},
         {"UserCode", "G1"},
         {"FullName", "橙汁, 1L"},
         {"Standard", "1L"},
         {"Unit1", "瓶"},
         {"Unit2", "箱"},
         {"URate2", "12"},
         {"Costmode", "1"},
         {"KeepBatch", "1"},
         {"ShelfLife", "180"},
         {"SalePrice", "6.5"},
         {"TaxRate", "13"},
         {"BarCode", "6901234567892"}},
        {{"UserCode", "G2"}, {"Hidden", 1}, {"FullName", "说明\"特价\""}, {"Comment", "两行\n备注"}},
    };
    const QList<QVariantMap> partners{
        {{"IsClass", 1}, {"UserCode", "K"}, {"FullName", "客户"}},
        {{"Class", "K"},
         {"UserCode", "K1"},
         {"FullName", "华东商贸有限公司"},
         {"BtypeKind", "1"},
         {"TAXNUMBER", "91310000123456789X"},
         {"TELANDADDRESS", "上海市 021-12345678"},
         {"BANKANDACOUNT", "工商银行 1001"},
         {"CreditLimit", "50000"}},
    };
    for (const bool gbk : {false, true}) {
        const char *enc = gbk ? "GBK" : "UTF-8";
        QTest::addRow("goods %s", enc) << "goods" << gbk << goods;
        QTest::addRow("partners %s", enc) << "partners" << gbk << partners;
    }
    QTest::newRow("employees") << "employees" << false
                               << QList<QVariantMap>{
                                      {{"UserCode", "E1"}, {"FullName", "王芳"}, {"Department", "销售部"}}};
}

void TestBaseData::roundTrip()
{
    QFETCH(QString, kind);
    QFETCH(bool, gbk);
    QFETCH(QList<QVariantMap>, records);
    const basedata::Kind &k = *basedata::findKind(kind);
    BaseDataStore store(Db(), k, QStringLiteral("00000"));
    QHash<QString, QString> ids;
    for (QVariantMap r : records) {
        QString id;
        const QString parent = ids.value(r.take(QStringLiteral("Class")).toString(), basedata::kRootId);
        const bool isClass = r.take(QStringLiteral("IsClass")).toInt() == 1;
        const bool hidden = r.take(QStringLiteral("Hidden")).toInt() == 1;
        QCOMPARE(store.Save(QString(), parent, isClass, r, &id), QString());
        if (hidden)
            QCOMPARE(store.SetHidden(id, true), QString());
        ids.insert(r.value(QStringLiteral("UserCode")).toString(), id);
    }
    const basedata::CsvEncoding encoding = gbk ? basedata::CsvEncoding::Gbk : basedata::CsvEncoding::Utf8;
    const QByteArray exported = basedata::exportCsv(Db(), k, encoding);

    TestAccountSet fresh;
    const basedata::ImportResult result =
        basedata::importCsv(fresh.Db(), k, exported, encoding, QStringLiteral("00000"));
    QCOMPARE(result.errors, QStringList());
    QCOMPARE(result.imported, records.size());
    QCOMPARE(QString::fromUtf8(basedata::exportCsv(fresh.Db(), k, basedata::CsvEncoding::Utf8)),
             QString::fromUtf8(basedata::exportCsv(Db(), k, basedata::CsvEncoding::Utf8)));
    // Same tree: the records sit under classes of the same codes.
    BaseDataStore copy(fresh.Db(), k, QStringLiteral("00000"));
    for (const QString &code : ids.keys()) {
        const QString oldParent = store.Row(ids[code]).ParId;
        const TBaseDataRow row = copy.Row(ids[code]);
        QCOMPARE(row.Fields.value(QStringLiteral("UserCode")).toString(), code);
        QCOMPARE(row.ParId, oldParent);
        QCOMPARE(row.Deleted, store.Row(ids[code]).Deleted);
    }
}

QTEST_MAIN(TestBaseData)
#include "tst_basedata.moc"
