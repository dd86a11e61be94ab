// Base-data rights: groups per kind through the group dialog and the procedures' refusals, the rights
// window (kinds per edition, grants on groups only), and enforcement: the host's selection dialog hides
// what an operator may not use, and opening a bill on such a record is refused while the supervisor
// passes.

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include "AccountDatabase.h"
#include "BaseSelectDialog.h"
#include "Kvggeneralgrid.h"
#include "TestAccountSet.h"
#include "uBaseRightEmployee.h"
#include "uBaseRightGroupAdd.h"
#include "uBaseRightSetNew.h"
#include "uBillBaseRights.h"
#include "uDllComm.h"

using accountdb::ProcParams;

class TstBaseRights : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAccountSet> FSet;

    accountdb::AccountDatabase &Db() { return FSet->Db(); }

    // A group made through the dialog; its id, 0 when the dialog refused it.
    int Group(QChar kind, const QString &name)
    {
        TfrmBaseRightGroupAdd dialog(u'A', kind, 0, {}, {});
        dialog.GroupName->setText(name);
        dialog.btnOKClick();
        const uBaseRightKinds::TBaseRightKind &k = uBaseRightKinds::KindOf(kind);
        return dialog.Result() ? Db().value(QStringLiteral("SELECT %1 FROM %2 WHERE RightName = ?")
                                                .arg(k.GroupColumn, k.GroupTable),
                                            {name})
                                     .toInt()
                               : 0;
    }
    int Call(const QString &proc, ProcParams params) { return Db().callProc(proc, params); }
    int Grant(QChar kind, int group, const QString &record, int selected = 1)
    {
        return Call(QStringLiteral("P_SetRightGroupToBaseType"), {{QStringLiteral("@cMode"), QString(kind)},
                                                                  {QStringLiteral("@GroupID"), group},
                                                                  {QStringLiteral("@BaseTypeID"), record},
                                                                  {QStringLiteral("@Selected"), selected},
                                                                  {QStringLiteral("@IsLeaf"), 1}});
    }
    int Join(QChar kind, const QString &op, int group)
    {
        return Call(QStringLiteral("P_SetEBeyondBaseRightGroup"), {{QStringLiteral("@cMode"), QString(kind)},
                                                                   {QStringLiteral("@EtypeID"), op},
                                                                   {QStringLiteral("@GroupId"), group}});
    }
    QStringList GroupRights(QChar kind, int group)
    {
        ProcParams p{{QStringLiteral("@cMode"), QString(kind)},
                     {QStringLiteral("@ParID"), QStringLiteral("00000")},
                     {QStringLiteral("@GroupId"), group}};
        accountdb::ResultSet rs;
        Db().callProc(QStringLiteral("P_LoadBaseRightsByGroup"), p, &rs);
        QStringList granted;
        for (const QVariantList &row : rs.rows)
            if (row[3].toInt() == 1)
                granted << row[0].toString();
        return granted;
    }

private slots:
    void init()
    {
        FSet = std::make_unique<TestAccountSet>();
        uDllComm::DllParams.IsGL = false;
        uDllComm::DllParams.PubVersion2 = 6680;
        Db().execBatch(QStringLiteral(
            "INSERT INTO stock (typeId, UserCode, FullName) VALUES ('00001', 'W1', '总仓'), ('00002', 'W2', "
            "'分仓');"
            "INSERT INTO btype (typeId, UserCode, FullName, BtypeKind) VALUES ('00001', 'C1', '甲客户', 1), "
            "('00002', 'S1', '乙供应商', 0);"
            "INSERT INTO ptype (typeId, Sonnum) VALUES ('00001', 1);"
            "INSERT INTO ptype (typeId, ParId, UserCode, FullName) VALUES ('0000100001', '00001', 'G1', "
            "'铝板');"
            "INSERT INTO Department (typeId, UserCode, FullName) VALUES ('00001', 'D1', '财务部');"
            "INSERT INTO Atypecw (typeId, parid, leveal, UserCode, FullName) VALUES ('00001', '00000', 1, "
            "'1001', '现金');"
            "INSERT INTO Employee (TypeId, UserCode, FullName) VALUES ('O1', 'O1', '张三'), ('BOSS', 'BOSS', "
            "'李四');"
            "INSERT INTO T_GBL_LoginUser (ETypeId, IsManager) VALUES ('O1', 0), ('BOSS', 1)"));
    }
    void cleanup() { FSet.reset(); }

    // Every kind: a group made through the dialog gets a grant that its listing shows, and a revoke.
    void groupsPerKind_data()
    {
        QTest::addColumn<QChar>("kind");
        QTest::addColumn<QString>("record");
        QTest::newRow("customers") << QChar(u'C') << QStringLiteral("00001");
        QTest::newRow("suppliers") << QChar(u'S') << QStringLiteral("00002");
        QTest::newRow("warehouses") << QChar(u'K') << QStringLiteral("00002");
        QTest::newRow("goods by class") << QChar(u'P') << QStringLiteral("00001");
        QTest::newRow("departments") << QChar(u'D') << QStringLiteral("00001");
        QTest::newRow("accounts") << QChar(u'A') << QStringLiteral("00001");
    }
    void groupsPerKind()
    {
        QFETCH(QChar, kind);
        QFETCH(QString, record);
        const int group = Group(kind, QStringLiteral("销售组"));
        QVERIFY(group > 1);
        QCOMPARE(Grant(kind, group, record), 1);
        // A class grants the leaves below it.
        const QString leaf = kind == u'P' ? QStringLiteral("0000100001") : record;
        QCOMPARE(GroupRights(kind, group), QStringList{leaf});
        QCOMPARE(Grant(kind, group, record, 0), 1);
        QVERIFY(GroupRights(kind, group).isEmpty());
    }

    void groupNameRefused_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        const QString chars = QStringLiteral("组名不能包含以下特殊字符:&,\",'");
        QTest::newRow("empty") << QString() << QStringLiteral("组名不能为空。");
        QTest::newRow("super group") << QStringLiteral("超级组")
                                     << QStringLiteral("基本信息权限组名不能为超级组");
        QTest::newRow("apostrophe") << QStringLiteral("O'Neil组") << chars;
        QTest::newRow("double quote") << QStringLiteral("\"组\"") << chars;
        QTest::newRow("ampersand") << QStringLiteral("甲&乙") << chars;
        QTest::newRow("name taken") << QStringLiteral("仓库组")
                                    << QStringLiteral(
                                           "系统中已经有与\"仓库组\"同名的权限组，不能新增为\"仓库组\"。");
    }
    void groupNameRefused()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        QVERIFY(Group(u'K', QStringLiteral("仓库组")) > 1);
        const int before = Db().value(QStringLiteral("SELECT count(1) FROM KrightGroup")).toInt();
        TfrmBaseRightGroupAdd dialog(u'A', u'K', 0, {}, {});
        dialog.GroupName->setText(name);
        dialog.btnOKClick();
        QVERIFY(!dialog.Result());
        QCOMPARE(FSet->Messages().LastText(), message);
        QCOMPARE(Db().value(QStringLiteral("SELECT count(1) FROM KrightGroup")).toInt(), before);
    }

    // The procedures refuse the super group, a supervisor, groups in use and things gone.
    void procedureRefusals_data()
    {
        QTest::addColumn<QString>("call");
        QTest::addColumn<int>("result");
        QTest::newRow("grant to super group") << QStringLiteral("grant 1 00001") << -3;
        QTest::newRow("grant to missing group") << QStringLiteral("grant 99 00001") << -1;
        QTest::newRow("grant of missing record") << QStringLiteral("grant G 00009") << -2;
        QTest::newRow("supervisor into group") << QStringLiteral("join BOSS G") << -2;
        QTest::newRow("operator into super group") << QStringLiteral("join O1 1") << -4;
        QTest::newRow("operator into missing group") << QStringLiteral("join O1 99") << -3;
        QTest::newRow("missing operator") << QStringLiteral("join NOBODY G") << -1;
        QTest::newRow("modify super group") << QStringLiteral("U 1") << -3;
        QTest::newRow("copy missing group") << QStringLiteral("C 99") << -2;
        QTest::newRow("delete group with members") << QStringLiteral("D G") << -2;
        QTest::newRow("delete super group") << QStringLiteral("D 1") << -3;
    }
    void procedureRefusals()
    {
        QFETCH(QString, call);
        QFETCH(int, result);
        const int group = Group(u'K', QStringLiteral("仓库组"));
        QCOMPARE(Join(u'K', QStringLiteral("O1"), group), 1);
        QStringList parts = call.split(u' ');
        parts.replaceInStrings(QStringLiteral("G"), QString::number(group));
        int r = 0;
        if (parts[0] == u"grant")
            r = Grant(u'K', parts[1].toInt(), parts[2]);
        else if (parts[0] == u"join")
            r = Join(u'K', parts[1], parts[2].toInt());
        else
            r = Call(QStringLiteral("P_BaseRightsGroupInsert"),
                     {{QStringLiteral("@cMode"), parts[0]},
                      {QStringLiteral("@lMode"), QStringLiteral("K")},
                      {QStringLiteral("@Id"), parts[1].toInt()},
                      {QStringLiteral("@szName"), QStringLiteral("新名")},
                      {QStringLiteral("@Comment"), QString()}});
        QCOMPARE(r, result);
    }

    // The kinds each edition offers; changing the kind rebuilds the trees from that kind's tables.
    void windowKinds_data()
    {
        QTest::addColumn<bool>("isGL");
        QTest::addColumn<int>("edition");
        QTest::addColumn<QStringList>("kinds");
        QTest::newRow("full") << false << 6680
                              << QStringList{"客  户", "供应商", "仓  库", "存货档案", "部  门", "会计科目"};
        QTest::newRow("accounts only")
            << true << 6680 << QStringList{"客  户", "供应商", "部  门", "会计科目"};
        QTest::newRow("edition 2680")
            << false << 2680 << QStringList{"客  户", "供应商", "仓  库", "存货档案", "部  门"};
    }
    void windowKinds()
    {
        QFETCH(bool, isGL);
        QFETCH(int, edition);
        QFETCH(QStringList, kinds);
        uDllComm::DllParams.IsGL = isGL;
        uDllComm::DllParams.PubVersion2 = edition;
        Group(u'D', QStringLiteral("部门组"));
        TfrmBaseRightSetNew form;
        QStringList offered;
        for (int i = 0; i < form.cboxBaseType->count(); ++i)
            offered << form.cboxBaseType->itemText(i);
        QCOMPARE(offered, kinds);
        form.cboxBaseType->setCurrentIndex(kinds.indexOf(QStringLiteral("部  门")));
        QCOMPARE(form.Mode(), QChar(u'D'));
        QCOMPARE(form.TrvLeft->topLevelItem(0)->child(0)->text(0), QStringLiteral("部门组"));
        QCOMPARE(form.BaseInformation->topLevelItem(0)->text(0), QStringLiteral("全部部门"));
        QCOMPARE(form.DataGrid->horizontalHeaderItem(1)->text(), QStringLiteral("部门编号"));
        form.cboxBaseType->setCurrentIndex(0);
        QCOMPARE(form.TrvLeft->topLevelItem(0)->childCount(), 0);
    }

    // Grants change on groups only; an operator's rows show what he may use.
    void windowGrants()
    {
        const int group = Group(u'K', QStringLiteral("仓库组"));
        Join(u'K', QStringLiteral("O1"), group);
        TfrmBaseRightSetNew form;
        form.cboxBaseType->setCurrentIndex(2);
        QVERIFY(form.SelectNode(QStringLiteral("O1"), false));
        QCOMPARE(form.DataGrid->rowCount(), 2);
        form.ToggleRow(0);
        QCOMPARE(FSet->Messages().LastText(), QStringLiteral("只能对权限组进行权限设置。"));
        QVERIFY(form.SelectNode(QString::number(group), true));
        form.ToggleRow(0);
        QCOMPARE(GroupRights(u'K', group), QStringList{QStringLiteral("00001")});
        form.SetAll(true);
        QCOMPARE(GroupRights(u'K', group).size(), 2);
        form.SelectNode(QStringLiteral("O1"), false);
        const int selected = form.DataGrid->ColumnOfField(QStringLiteral("Selected"));
        QCOMPARE(form.DataGrid->item(1, selected)->checkState(), Qt::Checked);
    }

    // An operator's group is chosen in the employee dialog; a supervisor is refused.
    void employeeDialog()
    {
        const int group = Group(u'K', QStringLiteral("仓库组"));
        TfrmBaseRightEmployee dialog(u'K', QStringLiteral("O1"), QStringLiteral("张三"));
        QCOMPARE(dialog.DataGrid->rowCount(), 1);
        dialog.SetRowSelected(0, true);
        dialog.btnOKClick();
        QVERIFY(dialog.Result());
        QCOMPARE(
            Db().value(QStringLiteral("SELECT KRightGroup FROM T_EtypeID_KrightGroup WHERE EtypeID = 'O1'"))
                .toInt(),
            group);
        TfrmBaseRightEmployee boss(u'K', QStringLiteral("BOSS"), QStringLiteral("李四"));
        boss.SetRowSelected(0, true);
        boss.btnOKClick();
        QCOMPARE(FSet->Messages().LastText(), QStringLiteral("操作员\"李四\"为会计主管，不能设置权限组。"));
    }

    // Enforcement: selection, the warning book and bill opening for an operator limited to W1, and for
    // the supervisor.
    void enforcement_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<bool>("manager");
        QTest::addColumn<QStringList>("warehouses");
        QTest::addColumn<bool>("opens");
        QTest::newRow("limited operator") << QStringLiteral("O1") << false << QStringList{"总仓"} << false;
        QTest::newRow("supervisor") << QStringLiteral("BOSS") << true << QStringList{"总仓", "分仓"} << true;
    }
    void enforcement()
    {
        QFETCH(QString, op);
        QFETCH(bool, manager);
        QFETCH(QStringList, warehouses);
        QFETCH(bool, opens);
        const int group = Group(u'K', QStringLiteral("仓库组"));
        Grant(u'K', group, QStringLiteral("00001"));
        QCOMPARE(Join(u'K', QStringLiteral("O1"), group), 1);
        FSet->ActAs(op, manager);

        BaseSelectDialog select(Db(), QStringLiteral("Stock"), QString(), false);
        select.SetOperator(op);
        QStringList shown;
        for (const TBaseRecord &r : select.Rows())
            shown << r.FullName;
        QCOMPARE(shown, warehouses);

        Db().exec(
            QStringLiteral("INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Period, KtypeId) VALUES (5, 11, "
                           "'2024-01-02', 1, '00002')"));
        QCOMPARE(uBillBaseRights::CheckBillBaseRights(11, 5, true), opens);
        if (!opens)
            QCOMPARE(FSet->Messages().LastText(), uBillBaseRights::RefusedText);

        Db().exec(
            QStringLiteral("INSERT INTO T_Jxc_PtypeWarn (PtypeId, KtypeId, WarnDown) VALUES ('0000100001', "
                           "'00001', 5), ('0000100001', '00002', 5)"));
        ProcParams p{{QStringLiteral("@fMode"), 2}, {QStringLiteral("@Operatorid"), op}};
        accountdb::ResultSet rs;
        Db().callProc(QStringLiteral("P_KOVA_WarnStock"), p, &rs);
        QCOMPARE(rs.rows.size(), warehouses.size());
    }
};

QTEST_MAIN(TstBaseRights)
#include "tst_baserights.moc"
