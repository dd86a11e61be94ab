// Base-data windows and their procedures: classes and records, unique codes (also between two
// workstations, and as the upgrade leaves them), records in use, hiding, the operator's base-data rights
// and maintenance right, CSV import checks, the export/import round trip and orvane-admin base.

#include <QCheckBox>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTreeWidget>
#include <QtTest>

#include "AccountDatabase.h"
#include "BaseDataStore.h"
#include "BaseDataWindow.h"
#include "BaseRights.h"
#include "BaseSelectDialog.h"
#include "HostBaseData.h"
#include "HostMainWindow.h"
#include "TestAccountSet.h"
#include "schema/Schema.h"

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
    void menuOpensEachKind();
    void importedByAdminThenShown();
    void rightsLimitOperator_data();
    void rightsLimitOperator();
    void duplicateCodeFromTwoWorkstations();
    void upgradeRenamesDuplicateCodes();
    void moveClassWithSubtree();

private:
    AccountDatabase &Db() { return FSet->Db(); }
    int EventCount() { return Db().value(QStringLiteral("SELECT count(*) FROM T_Sys_EventLog")).toInt(); }
    static void Fill(BaseDataEditDialog *dialog, const QString &code, const QString &name);
    static QStringList GridCodes(QTableWidget *grid);
    // orvane-admin with the account set; exit code and everything it printed.
    QPair<int, QString> Admin(const QStringList &args);

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

QPair<int, QString> TestBaseData::Admin(const QStringList &args)
{
    QProcess p;
    p.setStandardInputFile(QProcess::nullDevice());
    p.start(QStringLiteral(ORVANE_ADMIN_PATH), args + QStringList{QStringLiteral("--db"), FSet->Path()});
    p.waitForFinished(60000);
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardError() + p.readAllStandardOutput())};
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
    QTest::newRow("goods granted to a rights group")
        << "goods"
        << "INSERT INTO PrightGroup (PRightGroup, RightName) VALUES (5, '华东组');"
           "INSERT INTO T_Pright (PRightGroup, TypeID) VALUES (5, ?)"
        << "基本信息授权组“华东组”";
    QTest::newRow("supplier granted to a rights group")
        << "partners"
        << "INSERT INTO SrightGroup (SRightGroup, RightName) VALUES (5, '采购组');"
           "INSERT INTO T_Sright (SRightGroup, TypeID) VALUES (5, ?)"
        << "基本信息授权组“采购组”";
    QTest::newRow("warehouse with a stock warning")
        << "warehouses"
        << "INSERT INTO T_Jxc_PtypeWarn (PtypeId, KtypeId) VALUES ('P', ?)"
        << "库存报警";
    QTest::newRow("employee auditing a bill type")
        << "employees"
        << "INSERT INTO \"AuditDetail-E\" (Vchtype, Leveal, EtypeID, OperatorType) VALUES (34, 1, ?, 0)"
        << "“进货单”的审核流程";
    QTest::newRow("department auditing a bill type")
        << "departments"
        << "INSERT INTO \"AuditNdx-E\" (Vchtype, EtypeID, OperatorType) VALUES (34, ?, 1)"
        << "“进货单”的审核流程";
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
    Db().execBatch(use, {id});
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

// The 基本信息 menu opens one window per kind; a second time it brings the open one forward.
void TestBaseData::menuOpensEachKind()
{
    HostMainWindow window;
    window.AttachSession(FSet->Session());
    window.LoadMenu(true);
    const auto pages = [&window] {
        QStringList names;
        for (QMdiSubWindow *sub : window.MdiArea()->subWindowList())
            if (sub->widget()->objectName().startsWith(QLatin1String("frmBaseData_"))) // not the desktop
                names << sub->widget()->objectName() + u'|' + sub->widget()->windowTitle();
        return names;
    };
    QStringList expected;
    for (const basedata::Kind &kind : basedata::kinds()) {
        window.findChild<QAction *>(QStringLiteral("actBase_") + kind.name)->trigger();
        expected << QStringLiteral("frmBaseData_") + kind.name + u'|' + kind.caption;
        QCOMPARE(pages(), expected);
    }
    window.findChild<QAction *>(QStringLiteral("actBase_goods"))->trigger();
    QCOMPARE(pages(), expected);
}

// A newly made account set filled by orvane-admin from goods and partners CSV files: the goods window
// shows the items under their classes and the selection dialog finds one by its pinyin initials.
void TestBaseData::importedByAdminThenShown()
{
    const QList<QPair<QString, QString>> files{
        {QStringLiteral("goods"),
         QStringLiteral("上级编号,类别,编号,名称,规格\n,是,01,饮料,\n01,,SP01,矿泉水,550ml\n"
                        "01,,SP02,可乐,\n,是,02,零食,\n02,,LS01,薯片,\n")},
        {QStringLiteral("partners"), QStringLiteral("上级编号,类别,编号,名称,单位类型,税号\n,是,K,客户,,\n"
                                                    "K,,K1,华东商贸有限公司,1,91310000123456789X\n")}};
    for (const auto &[kind, csv] : files) {
        QFile file(FSet->Dir() + u'/' + kind + QStringLiteral(".csv"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(csv.toUtf8());
        file.close();
        const auto [code, output] =
            Admin({QStringLiteral("base"), QStringLiteral("import"), file.fileName(),
                   QStringLiteral("--kind"), kind, QStringLiteral("--operator"), QStringLiteral("00000")});
        QVERIFY2(code == 0 && output.contains(QStringLiteral("已导入")), qPrintable(output));
    }
    BaseDataWindow window(Db(), FSet->Messages(), QStringLiteral("00000"),
                          *basedata::findKind(QStringLiteral("goods")));
    auto *grid = window.findChild<QTableWidget *>(QStringLiteral("grdRecords"));
    const QList<QPair<QString, QStringList>> classes{{QStringLiteral("01"), {"SP01", "SP02"}},
                                                     {QStringLiteral("02"), {"LS01"}}};
    for (const auto &[classCode, records] : classes) {
        window.SelectClass(
            Db().value(QStringLiteral("SELECT TypeId FROM ptype WHERE UserCode = ?"), {classCode})
                .toString());
        QCOMPARE(GridCodes(grid), records);
    }
    BaseSelectDialog dialog(Db(), QStringLiteral("Ptype"), QString(), false);
    dialog.findChild<QRadioButton *>(QStringLiteral("rbByName"))->setChecked(true);
    dialog.findChild<QLineEdit *>(QStringLiteral("edtSearch"))->setText(QStringLiteral("kqs"));
    QCOMPARE(dialog.Rows().size(), 1);
    QCOMPARE(dialog.Rows().first().UserCode, QStringLiteral("SP01"));
    QCOMPARE(Db().value(QStringLiteral("SELECT TAXNUMBER FROM btype WHERE UserCode = 'K1'")).toString(),
             QStringLiteral("91310000123456789X"));
}

void TestBaseData::rightsLimitOperator_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QChar>("rights"); // the operator's rights group is of this kind
    QTest::addColumn<QVariantMap>("fields");
    QTest::newRow("goods") << "goods" << QChar(u'P') << QVariantMap();
    QTest::newRow("customers") << "partners" << QChar(u'C') << QVariantMap{{"BtypeKind", "1"}};
    QTest::newRow("warehouses") << "warehouses" << QChar(u'K') << QVariantMap();
    QTest::newRow("departments") << "departments" << QChar(u'D') << QVariantMap();
}

// O1 may maintain the kind and is in a rights group granted A1 only: he sees A1 alone (window and
// orvane-admin) and may change nothing else; without the maintenance right he changes nothing at all;
// as the supervisor he sees everything.
void TestBaseData::rightsLimitOperator()
{
    QFETCH(QString, kind);
    QFETCH(QChar, rights);
    QFETCH(QVariantMap, fields);
    const basedata::Kind &k = *basedata::findKind(kind);
    BaseDataStore admin(Db(), k, QStringLiteral("00000"));
    QHash<QString, QString> ids;
    for (const char *code : {"A1", "B1"}) {
        QVariantMap f = fields;
        f.insert(QStringLiteral("UserCode"), QLatin1String(code));
        f.insert(QStringLiteral("FullName"), QStringLiteral("记录") + QLatin1String(code));
        QCOMPARE(admin.Save(QString(), QString(), false, f, &ids[QLatin1String(code)]), QString());
    }
    const baserights::Kind &r = *baserights::kind(rights);
    Db().execBatch(
        QStringLiteral("INSERT INTO Employee (TypeId, UserCode, FullName) VALUES ('O1', 'O1', '张三');"
                       "INSERT INTO T_GBL_LoginUser (ETypeId, IsManager) VALUES ('O1', 0);"
                       "INSERT INTO \"group\" (ID, GroupName) VALUES (9, '业务组');"
                       "INSERT INTO UserToGroup (UserID, GroupId) VALUES ('O1', 9);"
                       "INSERT INTO T_Gbl_UserPower (GroupID, LimitNo, LimitPower) VALUES (9, ?, '1');"
                       "INSERT INTO %1 (%2, RightName) VALUES (5, '甲组');"
                       "INSERT INTO %3 (EtypeID, %2) VALUES ('O1', 5);"
                       "INSERT INTO %4 (%2, TypeID) VALUES (5, ?)")
            .arg(r.groupTable, r.groupColumn, r.memberTable, r.grantTable),
        {k.functionNo, ids[QStringLiteral("A1")]});
    const QString operatorId = QStringLiteral("O1");
    {
        BaseDataWindow window(Db(), FSet->Messages(), operatorId, k);
        QCOMPARE(GridCodes(window.findChild<QTableWidget *>(QStringLiteral("grdRecords"))),
                 QStringList{QStringLiteral("A1")});
    }
    BaseDataStore store(Db(), k, operatorId);
    const QString notHis = QStringLiteral("你没有这个%1的基本信息权限，不能修改。").arg(k.caption);
    const QString b1 = ids[QStringLiteral("B1")];
    QCOMPARE(store.SetHidden(b1, true), notHis);
    QCOMPARE(store.Delete(b1), notHis);
    QCOMPARE(store.Move(b1, basedata::kRootId), notHis);
    QCOMPARE(store.Save(b1, QString(), false, admin.Row(b1).Fields), notHis);
    QVERIFY(store.Row(b1).TypeId.isEmpty());
    QCOMPARE(store.SetHidden(ids[QStringLiteral("A1")], true), QString());
    QCOMPARE(store.SetHidden(ids[QStringLiteral("A1")], false), QString());

    const QStringList list{QStringLiteral("base"), QStringLiteral("list"), QStringLiteral("--kind"), kind,
                           QStringLiteral("--operator")};
    QString listed = Admin(list + QStringList{operatorId}).second;
    QVERIFY2(listed.contains(QStringLiteral("A1\t")) && !listed.contains(QStringLiteral("B1\t")),
             qPrintable(listed));
    listed = Admin(list + QStringList{QStringLiteral("00000")}).second;
    QVERIFY2(listed.contains(QStringLiteral("A1\t")) && listed.contains(QStringLiteral("B1\t")),
             qPrintable(listed));

    Db().exec(QStringLiteral("DELETE FROM T_Gbl_UserPower WHERE GroupID = 9"));
    const QString noRight = QStringLiteral("你没有维护%1的权限。").arg(k.caption);
    QCOMPARE(store.Delete(ids[QStringLiteral("A1")]), noRight);
    const auto [code, output] =
        Admin({QStringLiteral("base"), QStringLiteral("add"), QStringLiteral("--kind"), kind,
               QStringLiteral("--set"), QStringLiteral("UserCode=C1"), QStringLiteral("--set"),
               QStringLiteral("FullName=丙"), QStringLiteral("--operator"), operatorId});
    QVERIFY2(code == 1 && output.contains(noRight), qPrintable(output));

    Db().exec(QStringLiteral("UPDATE T_GBL_LoginUser SET IsManager = 1 WHERE ETypeId = 'O1'"));
    BaseDataWindow boss(Db(), FSet->Messages(), operatorId, k);
    QCOMPARE(GridCodes(boss.findChild<QTableWidget *>(QStringLiteral("grdRecords"))),
             (QStringList{QStringLiteral("A1"), QStringLiteral("B1")}));
}

// Two workstations store one code at the same instant: the first holds its save open until the second
// is under way; one is stored, the other gets the duplicate-code message.
void TestBaseData::duplicateCodeFromTwoWorkstations()
{
    QProcess holder, saver;
    holder.start(QStringLiteral(BASEDATA_RACE_HELPER),
                 {FSet->Path(), QStringLiteral("SP01"), QStringLiteral("hold")});
    QVERIFY(holder.waitForReadyRead(60000));
    QCOMPARE(holder.readLine().trimmed(), QByteArray("saved"));
    saver.start(QStringLiteral(BASEDATA_RACE_HELPER),
                {FSet->Path(), QStringLiteral("SP01"), QStringLiteral("save")});
    QVERIFY(saver.waitForReadyRead(60000));
    QCOMPARE(saver.readLine().trimmed(), QByteArray("calling"));
    QTest::qWait(300); // the second save reaches the database and waits there
    holder.write("go\n");
    QVERIFY(holder.waitForFinished(60000) && saver.waitForFinished(60000));
    QCOMPARE(holder.readAll().trimmed(), QByteArray("OK"));
    QCOMPARE(QString::fromUtf8(saver.readAll().trimmed()), QStringLiteral("编号“SP01”已经存在。"));
    QCOMPARE(Db().value(QStringLiteral("SELECT count(*) FROM ptype WHERE UserCode = 'SP01'")).toInt(), 1);
}

// An account set of before the rule holding codes twice: the upgrade step renames the later records,
// lists them in the event log, and from then on the database refuses a second code, hidden or not.
void TestBaseData::upgradeRenamesDuplicateCodes()
{
    Db().execBatch(QStringLiteral(
        "DROP INDEX UX_ptype_UserCode; DROP INDEX UX_stock_UserCode;"
        "INSERT INTO ptype (typeId, UserCode, Deleted) VALUES ('00001', 'G1', 0), ('00002', 'G1', 1), "
        "('00003', 'G1', 0), ('00004', 'G1-2', 0), ('00005', '', 0), ('00006', '', 0);"
        "INSERT INTO stock (typeId, UserCode) VALUES ('00001', 'W'), ('00002', 'W')"));
    schema::migrateBaseDataCodesTo13(Db());
    const ResultSet goods =
        Db().query(QStringLiteral("SELECT UserCode FROM ptype WHERE typeId <> '00000' ORDER BY typeId"));
    QStringList codes;
    for (const QVariantList &row : goods.rows)
        codes << row[0].toString();
    QCOMPARE(codes, (QStringList{"G1", "G1-3", "G1-4", "G1-2", "", ""}));
    QCOMPARE(Db().value(QStringLiteral("SELECT Event FROM T_Sys_EventLog ORDER BY EventNo DESC LIMIT 1"))
                 .toString(),
             QStringLiteral("基本信息：重复的编号已改为：存货G1→G1-3、存货G1→G1-4、仓库W→W-2"));
    QVERIFY_THROWS_EXCEPTION(
        DbError, Db().exec(QStringLiteral(
                     "INSERT INTO ptype (typeId, UserCode, Deleted) VALUES ('00007', 'G1-3', 1)")));
}

// A class moves with everything under it: ids, parents, levels and child counts follow, goods keep their
// units; a class never goes below itself, and a subtree with a record in use stays.
void TestBaseData::moveClassWithSubtree()
{
    BaseDataStore store(Db(), *basedata::findKind(QStringLiteral("goods")), QStringLiteral("00000"));
    QHash<QString, QString> ids;
    const QList<QStringList> rows{{"01", "", "1"}, {"0101", "01", "1"}, {"G1", "0101", "0"}, {"02", "", "1"}};
    for (const QStringList &r : rows)
        QCOMPARE(
            store.Save(
                QString(), ids.value(r[1], basedata::kRootId), r[2] == u"1",
                {{"UserCode", r[0]}, {"FullName", r[0]}, {"Unit1", "瓶"}, {"Unit2", "箱"}, {"URate2", "12"}},
                &ids[r[0]]),
            QString());
    QCOMPARE(store.Move(ids["02"], ids["01"]), QString());
    QString tree;
    const ResultSet rs =
        Db().query(QStringLiteral("SELECT UserCode, TypeId, ParId, Leveal, Sonnum FROM ptype "
                                  "WHERE UserCode <> '' ORDER BY TypeId"));
    for (const QVariantList &row : rs.rows)
        tree += QStringLiteral("%1:%2<%3 L%4 S%5;")
                    .arg(row[0].toString(), row[1].toString(), row[2].toString(), row[3].toString(),
                         row[4].toString());
    QCOMPARE(tree, QStringLiteral("01:00001<00000 L1 S2;0101:0000100001<00001 L2 S1;"
                                  "G1:000010000100001<0000100001 L3 S0;02:0000100002<00001 L2 S0;"));
    QCOMPARE(store.Move(QStringLiteral("00001"), basedata::kRootId), QString());
    QCOMPARE(store.Move(QStringLiteral("00002"), QStringLiteral("0000200001")),
             QStringLiteral("类别不能移到它自己或它的下级类别中。"));
    const QString moved =
        Db().value(QStringLiteral("SELECT TypeId FROM ptype WHERE UserCode = 'G1'")).toString();
    QCOMPARE(moved, QStringLiteral("000020000100001"));
    QCOMPARE(Db().value(QStringLiteral("SELECT count(*) FROM PtypeUnit WHERE PtypeID = ?"), {moved}).toInt(),
             2);
    Db().exec(QStringLiteral("INSERT INTO T_Jxc_PtypeWarn (PtypeId, KtypeId) VALUES (?, '00000')"), {moved});
    QCOMPARE(store.Move(QStringLiteral("00002"), basedata::kRootId),
             QStringLiteral("存货“G1 G1”已被库存报警使用，不能移到其他类别。"));
}

QTEST_MAIN(TestBaseData)
#include "tst_basedata.moc"
