// Operator rights: the 操作员授权 window driven by object name (groups, the 1974/1984 and detail
// couplings, the union over an operator's groups, the default group, deleting an operator with plug-in
// procedures) and orvane-admin refusing a command the operator has no right to.

#include <QLineEdit>
#include <QListWidget>
#include <QProcess>
#include <QPushButton>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTreeWidget>
#include <QtTest>

#include "../admin/AdminRun.h"
#include "AccountDatabase.h"
#include "Kvlimit.h"
#include "TestAccountSet.h"
#include "uRightGroupInput.h"
#include "uRightSet.h"

namespace {

QTreeWidgetItem *RightItem(TfrmRightSet &form, int right)
{
    auto *tree = form.KVLimitClass1->GetLimitPage(1)->twLimit;
    for (QTreeWidgetItemIterator it(tree); *it; ++it)
        if ((*it)->data(0, Qt::UserRole).toInt() == right)
            return *it;
    return nullptr;
}

void ClickRight(TfrmRightSet &form, int right, bool value)
{
    QTreeWidgetItem *item = RightItem(form, right);
    QVERIFY(item);
    item->setCheckState(1, value ? Qt::Checked : Qt::Unchecked);
}

void ClickDetail(TfrmRightSet &form, int detail, bool value)
{
    QListWidget *list = form.findChild<QListWidget *>(QStringLiteral("lstBtnLimit"));
    for (int i = 0; i < list->count(); ++i)
        if (list->item(i)->data(Qt::UserRole).toInt() == detail) {
            list->item(i)->setCheckState(value ? Qt::Checked : Qt::Unchecked);
            return;
        }
    QFAIL("detail not listed");
}

} // namespace

class TestRights : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void groupRightsCouple();
    void detailsCouple_data();
    void detailsCouple();
    void operatorSeesUnionOfGroups();
    void defaultGroupRefused_data();
    void defaultGroupRefused();
    void failingPlugInRollsDeletionBack();
    void adminRefusesWithoutRight();

private:
    int AddGroup(const QString &name);
    void AddOperator(const QString &id, const QList<int> &groups);
    QString Power(int group, int right);
    QList<QVariantList> Rows(const QString &sql);
    Run Admin(const QStringList &args);
    std::unique_ptr<TestAccountSet> FSet;
    std::unique_ptr<TfrmRightSet> FForm;
};

void TestRights::init()
{
    FSet = std::make_unique<TestAccountSet>();
    FForm = std::make_unique<TfrmRightSet>();
}

void TestRights::cleanup()
{
    FForm.reset();
    FSet.reset();
}

int TestRights::AddGroup(const QString &name)
{
    TfrmRightGroupInput input(u'N', 0, QString());
    input.lbeName->setText(name);
    input.findChild<QPushButton *>(QStringLiteral("btnOK"))->click();
    [&] { QVERIFY2(input.Result(), qPrintable(FSet->Messages().LastText())); }();
    return FSet->Db().value(QStringLiteral("SELECT ID FROM \"group\" WHERE GroupName = ?"), {name}).toInt();
}

void TestRights::AddOperator(const QString &id, const QList<int> &groups)
{
    auto &db = FSet->Db();
    db.exec(QStringLiteral("INSERT INTO Employee (TypeId, UserCode, FullName) VALUES (?, ?, ?)"),
            {id, id, QStringLiteral("职员") + id});
    accountdb::ProcParams p{{QStringLiteral("@lMode"), 1}, {QStringLiteral("@szETypeID"), id}};
    QCOMPARE(db.callProc(QStringLiteral("P_GBL_DealLoginUser"), p), 0);
    for (int group : groups)
        db.exec(QStringLiteral("INSERT INTO UserToGroup (UserID, GroupId) VALUES (?, ?)"), {id, group});
}

QString TestRights::Power(int group, int right)
{
    const QVariant v = FSet->Db().value(
        QStringLiteral("SELECT LimitPower FROM T_Gbl_UserPower WHERE GroupID = ? AND LimitNo = ?"),
        {group, right});
    return v.isNull() ? QStringLiteral("none") : v.toString();
}

QList<QVariantList> TestRights::Rows(const QString &sql)
{
    QList<QVariantList> rows;
    QSqlQuery q = FSet->Db().exec(sql);
    while (q.next()) {
        QVariantList row;
        for (int i = 0; i < q.record().count(); ++i)
            row << q.value(i);
        rows << row;
    }
    return rows;
}

void TestRights::groupRightsCouple()
{
    const int group = AddGroup(QStringLiteral("仓管组"));
    FForm->LoadRightTree(TfrmRightSet::TTreeBranch::Groups);
    QVERIFY(FForm->SelectNode(QString::number(group), true));
    QCOMPARE(FForm->lblSelectOper->text(), QStringLiteral("选择权限组:仓管组"));

    ClickRight(*FForm, 1974, true);
    QCOMPARE(Power(group, 1974), QString(200, u'1'));
    QCOMPARE(Power(group, 1984), QString(200, u'1'));
    QCOMPARE(RightItem(*FForm, 1984)->checkState(1), Qt::Checked);
    QVERIFY(FSet->Messages().Texts().contains(
        QStringLiteral("选择了单据审核中心权限后,系统将自动选择可以查看其他操作员录入的单据的权限。")));

    ClickRight(*FForm, 1984, false);
    QCOMPARE(Power(group, 1984), QStringLiteral("none"));
    QCOMPARE(Power(group, 1974), QStringLiteral("none"));
    QCOMPARE(RightItem(*FForm, 1974)->checkState(1), Qt::Unchecked);
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("取消该权限后，系统将自动取消单据审核中心的权限。"));
    // Every change is in the event log.
    QVERIFY(FSet->Db()
                .value(QStringLiteral("SELECT count(*) FROM T_Sys_EventLog WHERE Event LIKE ?"),
                       {QStringLiteral("操作员授权：%")})
                .toInt() >= 2);
}

void TestRights::detailsCouple_data()
{
    QTest::addColumn<int>("detail");
    QTest::addColumn<bool>("value");
    QTest::addColumn<QList<int>>("cleared"); // details left at "0" afterwards
    // 1304 has details 1, 2, 4, 11 and 143; changing (4) and deleting (143) need viewing (11).
    QTest::newRow("removing 11 removes 143 and 4") << 11 << false << QList<int>{4, 11, 143};
    QTest::newRow("removing 143 leaves 11") << 143 << false << QList<int>{143};
    QTest::newRow("granting 4 grants 11") << 4 << true << QList<int>{143};
}

void TestRights::detailsCouple()
{
    QFETCH(int, detail);
    QFETCH(bool, value);
    QFETCH(QList<int>, cleared);
    const int group = AddGroup(QStringLiteral("业务组"));
    FForm->LoadRightTree(TfrmRightSet::TTreeBranch::Groups);
    QVERIFY(FForm->SelectNode(QString::number(group), true));
    // Before the right is granted its details cannot change.
    FForm->KVLimitClass1->SetCurrentLimitNo(1304);
    ClickDetail(*FForm, 11, true);
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("请先选择模块权限，修改明细权限才能有效。"));
    QCOMPARE(Power(group, 1304), QStringLiteral("none"));

    ClickRight(*FForm, 1304, true);
    if (value) { // start from nothing but detail 1
        ClickDetail(*FForm, 11, false);
        ClickDetail(*FForm, 2, false);
        ClickDetail(*FForm, 1, true);
    }
    ClickDetail(*FForm, detail, value);
    const QString power = Power(group, 1304);
    QCOMPARE(power.size(), 200);
    for (int d : {1, 2, 4, 11, 143})
        QVERIFY2((power.at(d - 1) == u'0') == (cleared.contains(d) || (value && d == 2)),
                 qPrintable(QString::number(d)));
    QCOMPARE(FForm->KVLimitClass1->BtnLimitString(), power);
}

void TestRights::operatorSeesUnionOfGroups()
{
    const int a = AddGroup(QStringLiteral("甲组"));
    const int b = AddGroup(QStringLiteral("乙组"));
    auto &db = FSet->Db();
    const QString detailsA = QStringLiteral("1") + QString(199, u'0');
    const QString detailsB = QStringLiteral("0001") + QString(196, u'0');
    db.exec(QStringLiteral("INSERT INTO T_Gbl_UserPower (GroupID, LimitNo, LimitPower) VALUES (?, 1304, ?), "
                           "(?, 1304, ?), (?, 1308, ?)"),
            {a, detailsA, b, detailsB, b, QString(200, u'1')});
    AddOperator(QStringLiteral("E01"), {a, b});
    AddOperator(QStringLiteral("E02"), {});

    FForm->LoadRightTree(TfrmRightSet::TTreeBranch::Groups);
    FForm->LoadRightTree(TfrmRightSet::TTreeBranch::Users);
    QVERIFY(FForm->SelectNode(QStringLiteral("E01"), false));
    QCOMPARE(FForm->lblSelectOper->text(), QStringLiteral("选择操作员:职员E01"));
    QVERIFY(FForm->KVLimitClass1->HasLimit(1304));
    QVERIFY(FForm->KVLimitClass1->HasLimit(1308));
    QVERIFY(!FForm->KVLimitClass1->HasLimit(1314));
    FForm->KVLimitClass1->SetCurrentLimitNo(1304);
    QCOMPARE(FForm->KVLimitClass1->BtnLimitString().left(4), QStringLiteral("1001"));
    // An operator's rights are only shown.
    ClickRight(*FForm, 1314, true);
    QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM T_Gbl_UserPower WHERE LimitNo = 1314")).toInt(),
             0);

    // Without a group he sees nothing, listed under 待授权操作员.
    QVERIFY(FForm->SelectNode(QStringLiteral("E02"), false));
    QCOMPARE(FForm->TrvLeft->currentItem()->parent()->text(0), QStringLiteral("待授权操作员"));
    QVERIFY(!FForm->KVLimitClass1->LimitString().contains(u'1'));
}

void TestRights::defaultGroupRefused_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("message");
    QTest::newRow("modify") << "NEditGroup"
                            << "\"会计组\"不能被修改。";
    QTest::newRow("delete") << "NDelGroup"
                            << "\"会计组\"不能被删除。";
    QTest::newRow("select all") << "btnAll"
                                << "请选择一个自定义权限组，才能进行此操作。";
    QTest::newRow("clear all") << "btnUnAll"
                               << "请选择一个自定义权限组，才能进行此操作。";
    QTest::newRow("a right") << "right"
                             << "";
    QTest::newRow("new group named like it") << "name"
                                             << "用户自定义组名不能是\"会计组\"。";
}

void TestRights::defaultGroupRefused()
{
    QFETCH(QString, action);
    QFETCH(QString, message);
    const QList<QVariantList> before = Rows(QStringLiteral("SELECT * FROM \"group\" ORDER BY ID"));
    FForm->LoadRightTree(TfrmRightSet::TTreeBranch::Groups);
    QVERIFY(FForm->SelectNode(QStringLiteral("1"), true));
    if (action == QLatin1String("right")) {
        ClickRight(*FForm, 1308, true);
        QCOMPARE(RightItem(*FForm, 1308)->checkState(1), Qt::Unchecked);
    } else if (action == QLatin1String("name")) {
        TfrmRightGroupInput input(u'N', 0, QString());
        input.lbeName->setText(QStringLiteral(" 会计组 "));
        input.btnOK->click();
        QVERIFY(!input.Result());
    } else if (auto *a = FForm->findChild<QAction *>(action)) {
        a->trigger();
    } else {
        FForm->findChild<QPushButton *>(action)->click();
    }
    if (!message.isEmpty())
        QCOMPARE(FSet->Messages().LastText(), message);
    QCOMPARE(FSet->Db().value(QStringLiteral("SELECT count(*) FROM T_Gbl_UserPower")).toInt(), 0);
    QCOMPARE(Rows(QStringLiteral("SELECT * FROM \"group\" ORDER BY ID")), before);
}

void TestRights::failingPlugInRollsDeletionBack()
{
    auto &db = FSet->Db();
    const int group = AddGroup(QStringLiteral("销售组"));
    AddOperator(QStringLiteral("E07"), {group});
    // A plug-in that keeps a note before the deletion, and one that refuses after it.
    db.exec(QStringLiteral("CREATE TABLE T_Test_Note (EtypeId TEXT)"));
    db.procedures().add(QStringLiteral("P_Test_Note"), [](accountdb::ProcContext &ctx) {
        ctx.exec(QStringLiteral("INSERT INTO T_Test_Note VALUES (?)"), {ctx.in(QStringLiteral("@EtypeId"))});
        return 0;
    });
    db.procedures().add(QStringLiteral("P_Test_Refuse"), [](accountdb::ProcContext &ctx) {
        ctx.setOut(QStringLiteral("@ErrMsg"), QStringLiteral("该操作员还有未完成的业务。"));
        return -1;
    });
    db.exec(QStringLiteral("INSERT INTO T_Inf_PlugIn_DealLoginUserProc (ProcName, IsBefore) VALUES "
                           "('P_Test_Note', 1), ('P_Test_Refuse', 0)"));
    const QStringList tables{QStringLiteral("T_GBL_LoginUser"), QStringLiteral("UserToGroup"),
                             QStringLiteral("T_Test_Note"), QStringLiteral("T_Sys_EventLog")};
    QList<QList<QVariantList>> before;
    for (const QString &t : tables)
        before << Rows(QStringLiteral("SELECT * FROM ") + t);

    FForm->LoadRightTree(TfrmRightSet::TTreeBranch::Groups);
    QVERIFY(FForm->SelectNode(QStringLiteral("E07"), false));
    FForm->MenuDel->trigger();
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("该操作员还有未完成的业务。"));
    QVERIFY(!db.inTransaction());
    for (int i = 0; i < tables.size(); ++i)
        QCOMPARE(Rows(QStringLiteral("SELECT * FROM ") + tables[i]), before[i]);

    // Without the refusing plug-in the deletion goes through, the note with it.
    db.exec(QStringLiteral("DELETE FROM T_Inf_PlugIn_DealLoginUserProc WHERE ProcName = 'P_Test_Refuse'"));
    FForm->MenuDel->trigger();
    QCOMPARE(FSet->Messages().LastText(), QStringLiteral("删除操作员[职员E07]成功。"));
    QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM T_GBL_LoginUser WHERE ETypeId = 'E07'")).toInt(),
             0);
    QCOMPARE(db.value(QStringLiteral("SELECT count(*) FROM T_Test_Note")).toInt(), 1);
}

Run TestRights::Admin(const QStringList &args)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("ORVANE_SYSTEM_PATH"), FSet->Dir());
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(ORVANE_ADMIN_PATH),
            QStringList{args.first(), QStringLiteral("--db"), FSet->Path()} + args.mid(1));
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

void TestRights::adminRefusesWithoutRight()
{
    const int group = AddGroup(QStringLiteral("结账组"));
    AddOperator(QStringLiteral("E09"), {group});
    const QString period =
        FSet->Db()
            .value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = ?"),
                   {QStringLiteral("JxcPeriod")})
            .toString();
    Run run = Admin({QStringLiteral("checkout"), QStringLiteral("--operator"), QStringLiteral("E09")});
    QCOMPARE(run.code, 1);
    QVERIFY2(run.err.contains(QStringLiteral("你没有这个功能的权限，不能打开。")), qPrintable(run.err));
    QCOMPARE(FSet->Db()
                 .value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = ?"),
                        {QStringLiteral("JxcPeriod")})
                 .toString(),
             period);

    // Granted in the window it holds at once; the operator still cannot manage rights himself.
    FForm->LoadRightTree(TfrmRightSet::TTreeBranch::Groups);
    QVERIFY(FForm->SelectNode(QString::number(group), true));
    ClickRight(*FForm, 1320, true);
    run = Admin({QStringLiteral("group"), QStringLiteral("grant"), QStringLiteral("结账组"),
                 QStringLiteral("1312"), QStringLiteral("--operator"), QStringLiteral("E09")});
    QCOMPARE(run.code, 1);
    QVERIFY(run.err.contains(QStringLiteral("操作员授权")));
    run = Admin({QStringLiteral("group"), QStringLiteral("revoke"), QStringLiteral("结账组"),
                 QStringLiteral("1320")});
    QCOMPARE(run.code, 0);
    QCOMPARE(Power(group, 1320), QStringLiteral("none"));
}

QTEST_MAIN(TestRights)
#include "tst_rights.moc"
