// The audit engine on a real account set: levels and their conditions, one-of and all-of levels,
// departments and special auditors, rejection and resubmission, posting when the flow ends, the
// set-up procedures' refusals, orvane-admin audit and two auditors racing on one bill.

#include <QDate>
#include <QProcess>
#include <QtTest>

#include "AccountDatabase.h"
#include "AuditEngine.h"
#include "HostAudit.h"
#include "TestAccountSet.h"

using accountdb::ProcParams;
namespace audit = accountdb::audit;

namespace {

const QString G1 = QStringLiteral("0000100001");
const QString W1 = QStringLiteral("00001");
const QString kMaker = QStringLiteral("M1");

} // namespace

class TstAuditEngine : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAccountSet> FSet;
    QString FDate;

    accountdb::AccountDatabase &Db() { return FSet->Db(); }
    QVariant Value(const QString &sql, const QVariantList &params = {}) { return Db().value(sql, params); }
    double Stock()
    {
        return Value(QStringLiteral("SELECT coalesce(sum(Qty), 0) FROM GoodsStocks")).toDouble();
    }

    // Level: "auditors;type;lower" — auditors "A1,A2" (a "D:" prefix names a department), type 0/1,
    // a lower bound on 数量合计 (0 = no condition).
    void Flow(int vchtype, const QStringList &levels, const QStringList &special = {})
    {
        for (int i = 0; i < levels.size(); ++i) {
            const QStringList parts = levels[i].split(u';');
            Db().exec(
                QStringLiteral(
                    "INSERT INTO AuditDetail (Vchtype, Leveal, FullName, AuditType) VALUES (?, ?, ?, ?)"),
                {vchtype, i + 1, QStringLiteral("级%1").arg(i + 1), parts[1].toInt()});
            for (const QString &a : parts[0].split(u','))
                Db().exec(
                    QStringLiteral("INSERT INTO \"AuditDetail-E\" (Vchtype, Leveal, EtypeID, OperatorType) "
                                   "VALUES (?, ?, ?, ?)"),
                    {vchtype, i + 1, QString(a).remove(QStringLiteral("D:")), a.startsWith(u'D') ? 1 : 0});
            if (parts[2].toDouble() > 0)
                Db().exec(
                    QStringLiteral("INSERT INTO AuditConditionDetail (VchType, Leveal, factor, lowerLimit, "
                                   "footing, RowNo) VALUES (?, ?, '数量合计', ?, '并且', 0)"),
                    {vchtype, i + 1, parts[2].toDouble()});
        }
        for (const QString &s : special)
            Db().exec(QStringLiteral("INSERT INTO \"AuditNdx-E\" (Vchtype, EtypeID) VALUES (?, ?)"),
                      {vchtype, s});
        Db().exec(QStringLiteral("INSERT INTO AuditNdx (Vchtype, IsAudit, SonLeveal) VALUES (?, 1, ?)"),
                  {vchtype, int(levels.size())});
    }

    // A sale of G1; returns the procedure result, the code in *vchcode.
    int Sell(double qty, qint64 *vchcode, qint64 resubmit = 0, const QString &maker = kMaker)
    {
        ProcParams p{
            {QStringLiteral("@nVchType"), 11},
            {QStringLiteral("@szDate"), FDate},
            {QStringLiteral("@szKTypeID"), W1},
            {QStringLiteral("@szOperatorID"), maker},
            {QStringLiteral("@szXML"),
             QStringLiteral("<Root><Record PtypeID=\"%1\" Qty=\"%2\" Price=\"3\"/></Root>").arg(G1).arg(qty)},
            {QStringLiteral("@nAuditVchcode"), resubmit},
            {QStringLiteral("@nVchcode"), 0, true},
            {QStringLiteral("@ErrMsg"), QString(), true}};
        const int r = Db().callProc(QStringLiteral("P_Jxc_PostBill"), p);
        *vchcode = p[6].value.toLongLong();
        return r;
    }

    int Draft(qint64 vchcode)
    {
        return Value(QStringLiteral("SELECT Draft FROM DlyNdx WHERE Vchcode = ?"), {vchcode}).toInt();
    }

    QStringList History(qint64 vchcode)
    {
        accountdb::ProcParams p{{QStringLiteral("@nVchcode"), vchcode}, {QStringLiteral("@nVchtype"), 11}};
        accountdb::ResultSet rs;
        Db().callProc(QStringLiteral("p_jxc_AuditCenter_AuditDetail"), p, &rs);
        QStringList steps;
        for (const QVariantList &row : rs.rows)
            steps << QStringLiteral("%1 %2 %3 %4")
                         .arg(row[0].toString(), row[2].toString(), row[3].toString(), row[4].toString());
        return steps;
    }

private slots:
    void init()
    {
        FSet = std::make_unique<TestAccountSet>();
        const int year =
            Value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'CurrentYear'"))
                .toInt();
        FDate = QDate(year, 1, 20).toString(QStringLiteral("yyyy-MM-dd"));
        Db().execBatch(
            QStringLiteral(
                "INSERT INTO ptype (typeId, Sonnum) VALUES ('00001', 1);"
                "INSERT INTO ptype (typeId, ParId, UserCode, FullName) VALUES (?, '00001', 'G1', '铝板');"
                "INSERT INTO stock (typeId, FullName) VALUES (?, '总仓');"
                "INSERT INTO Department (typeId, UserCode, FullName, etypeid) VALUES ('D1', 'D1', '财务部', "
                "'A3');"
                "INSERT INTO \"group\" (ID, GroupName) VALUES (9, '审核组');"
                "INSERT INTO T_Gbl_UserPower (GroupID, LimitNo, LimitPower) VALUES (9, 1974, '1')"),
            {G1, W1});
        for (const QString &e : {kMaker, QStringLiteral("A1"), QStringLiteral("A2"), QStringLiteral("A3"),
                                 QStringLiteral("S1")}) {
            Db().exec(QStringLiteral("INSERT INTO Employee (TypeId, UserCode, FullName) VALUES (?, ?, ?)"),
                      {e, e, QStringLiteral("员工") + e});
            Db().exec(QStringLiteral("INSERT INTO T_GBL_LoginUser (ETypeId) VALUES (?)"), {e});
            Db().exec(QStringLiteral("INSERT INTO UserToGroup (UserID, GroupId) VALUES (?, 9)"), {e});
        }
        ProcParams p{
            {QStringLiteral("@nVchType"), 201},
            {QStringLiteral("@szDate"), QDate(year, 1, 1).toString(QStringLiteral("yyyy-MM-dd"))},
            {QStringLiteral("@szKTypeID"), W1},
            {QStringLiteral("@szXML"),
             QStringLiteral("<Root><Record PtypeID=\"%1\" Qty=\"1000\" Price=\"2\"/></Root>").arg(G1)}};
        QCOMPARE(Db().callProc(QStringLiteral("P_Jxc_PostBill"), p), 0);
        Db().exec(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = '1' WHERE SubName = 'iniover'"));
    }
    void cleanup() { FSet.reset(); }

    void conditionHolds_data()
    {
        QTest::addColumn<QString>("rows"); // factor:lower:upper:footing|...
        QTest::addColumn<double>("qty");
        QTest::addColumn<bool>("holds");
        QTest::newRow("no rows") << QString() << 1.0 << true;
        QTest::newRow("below a lower bound") << "数量合计:500:0:并且" << 100.0 << false;
        QTest::newRow("between the bounds") << "数量合计:10:700:并且" << 600.0 << true;
        QTest::newRow("over the upper bound") << "数量合计:0:500:并且" << 600.0 << false;
        QTest::newRow("and: both must hold") << "数量合计:500:0:并且|金额合计:0:100:并且" << 600.0 << false;
        QTest::newRow("or: one is enough") << "数量合计:500:0:或者|金额合计:0:100:或者" << 10.0 << true;
        QTest::newRow("and binds closer than or")
            << "数量合计:500:0:并且|金额合计:5000:0:或者|数量合计:0:20:或者" << 600.0 << false;
        QTest::newRow("credit factor without a credit limit")
            << "客户超额度应收账款:1000:0:并且" << 1.0 << true;
    }
    void conditionHolds()
    {
        QFETCH(QString, rows);
        QFETCH(double, qty);
        QFETCH(bool, holds);
        QList<audit::ConditionRow> list;
        for (const QString &r : rows.split(u'|', Qt::SkipEmptyParts)) {
            const QStringList f = r.split(u':');
            list.append({f[0], f[1].toDouble(), f[2].toDouble(), f[3]});
        }
        QCOMPARE(audit::conditionHolds(list, {qty, qty * 3}), holds);
    }

    void flow_data()
    {
        QTest::addColumn<QStringList>("levels");
        QTest::addColumn<QStringList>("special");
        QTest::addColumn<double>("qty");
        QTest::addColumn<QStringList>("steps");  // operator + "+" pass / "-" reject
        QTest::addColumn<QList<int>>("results"); // of each step
        const QStringList twoLevels{"A1;0;0", "A2;0;500"};
        QTest::newRow("600 needs both levels")
            << twoLevels << QStringList() << 600.0 << QStringList{"A1+", "A2+"}
            << QList<int>{audit::Passed, audit::Posted};
        QTest::newRow("100 skips level 2")
            << twoLevels << QStringList() << 100.0 << QStringList{"A1+"} << QList<int>{audit::Posted};
        QTest::newRow("level 2 auditor cannot pass level 1")
            << twoLevels << QStringList() << 600.0 << QStringList{"A2+", "A1+", "A1+", "A2+"}
            << QList<int>{audit::NotAuditor, audit::Passed, audit::NotAuditor, audit::Posted};
        QTest::newRow("one of two passes") << QStringList{"A1,A2;0;0"} << QStringList() << 10.0
                                           << QStringList{"A2+"} << QList<int>{audit::Posted};
        QTest::newRow("all of two must pass")
            << QStringList{"A1,D:D1;1;0"} << QStringList() << 10.0 << QStringList{"A1+", "A1+", "A3+"}
            << QList<int>{audit::Passed, audit::AlreadyPassed, audit::Posted};
        QTest::newRow("special auditor passes every level")
            << QStringList{"A1,A2;1;0", "A2;0;0"} << QStringList{"S1"} << 600.0 << QStringList{"S1+", "S1+"}
            << QList<int>{audit::Passed, audit::Posted};
        QTest::newRow("rejected bill waits for its maker")
            << twoLevels << QStringList() << 600.0 << QStringList{"A1-", "A1+"}
            << QList<int>{audit::Rejected, audit::NotInFlow};
    }
    void flow()
    {
        QFETCH(QStringList, levels);
        QFETCH(QStringList, special);
        QFETCH(double, qty);
        QFETCH(QStringList, steps);
        QFETCH(QList<int>, results);
        Flow(11, levels, special);
        const double before = Stock();
        qint64 vchcode = 0;
        QCOMPARE(Sell(qty, &vchcode), 1);
        QCOMPARE(Draft(vchcode), 4);
        for (int i = 0; i < steps.size(); ++i) {
            QCOMPARE(Stock(), before); // nothing reaches the stock before the last level
            const audit::StepResult r = audit::runStep(Db(), vchcode, steps[i].chopped(1),
                                                       steps[i].endsWith(u'+') ? audit::Pass : audit::Reject,
                                                       QStringLiteral("意见%1").arg(i));
            QVERIFY2(r.code == results[i],
                     qPrintable(QStringLiteral("step %1: %2 %3").arg(i).arg(r.code).arg(r.message)));
        }
        const bool posted = results.last() == audit::Posted;
        QCOMPARE(Stock(), posted ? before - qty : before);
        QCOMPARE(Draft(vchcode), posted ? 2 : 4);
        QCOMPARE(Value(QStringLiteral("SELECT count(*) FROM BakDly WHERE Vchcode = ?"), {vchcode}).toInt(),
                 posted ? 0 : 1);
        int taken = 1; // the submission
        for (int code : results)
            taken += code >= 0 ? 1 : 0;
        QCOMPARE(History(vchcode).size(), taken);
    }

    void rejectAndResubmit()
    {
        Flow(11, {"A1;0;0", "A2;0;500"});
        qint64 vchcode = 0, again = 0;
        QCOMPARE(Sell(600, &vchcode), 1);
        QCOMPARE(
            audit::runStep(Db(), vchcode, QStringLiteral("A1"), audit::Reject, QStringLiteral("数量太大"))
                .code,
            int(audit::Rejected));
        QCOMPARE(audit::billState(Db(), vchcode)->opinion, QStringLiteral("数量太大"));
        QCOMPARE(Sell(100, &again, vchcode, QStringLiteral("A1")), -9); // only the maker resubmits
        QCOMPARE(Sell(100, &again, vchcode), 1);
        QCOMPARE(again, vchcode);
        const audit::BillState s = *audit::billState(Db(), vchcode);
        QCOMPARE(s.state, int(audit::Waiting));
        QCOMPARE(s.auditCount, 1); // the smaller bill skips level 2
        QCOMPARE(audit::runStep(Db(), vchcode, QStringLiteral("A1"), audit::Pass, QString()).code,
                 int(audit::Posted));
        QCOMPARE(
            Value(QStringLiteral("SELECT -sum(Qty) FROM DlySale WHERE Vchcode = ?"), {vchcode}).toDouble(),
            100.0);
        QCOMPARE(History(vchcode), (QStringList{"员工M1 0 提交 ", "员工A1 1 驳回 数量太大", "员工M1 0 提交 ",
                                                "员工A1 1 通过 "}));
    }

    void staleVersionIsRefused()
    {
        Flow(11, {"A1,A2;0;0", "A3;0;0"});
        qint64 vchcode = 0;
        QCOMPARE(Sell(10, &vchcode), 1);
        const int seen = audit::billState(Db(), vchcode)->version;
        QCOMPARE(audit::runStep(Db(), vchcode, QStringLiteral("A1"), audit::Pass, QString(), seen).code,
                 int(audit::Passed));
        const audit::StepResult r =
            audit::runStep(Db(), vchcode, QStringLiteral("A2"), audit::Pass, QString(), seen);
        QCOMPARE(r.code, int(audit::Changed));
        QCOMPARE(r.message, QStringLiteral("单据已被其他人审核或修改，请刷新后重新审核。"));
        QCOMPARE(History(vchcode).size(), 2);
        QCOMPARE(audit::billState(Db(), vchcode)->level, 2);
    }

    void setupRefusals_data()
    {
        QTest::addColumn<QString>("proc");
        QTest::addColumn<int>("isAudit"); // or the level to delete
        QTest::addColumn<bool>("waitingBill");
        QTest::addColumn<int>("result");
        QTest::newRow("enable without levels") << "P_Audit_SetBillIsAudit" << 1 << false << -1;
        QTest::newRow("disable with a bill in the flow") << "P_Audit_SetBillIsAudit" << 0 << true << -1;
        QTest::newRow("disable") << "P_Audit_SetBillIsAudit" << 0 << false << 0;
        QTest::newRow("delete a level gone already") << "P_Audit_DelVchtypeLeveal" << 3 << false << -1;
        QTest::newRow("delete with a bill in the flow") << "P_Audit_DelVchtypeLeveal" << 1 << true << -2;
        QTest::newRow("delete the last level") << "P_Audit_DelVchtypeLeveal" << 1 << false << 0;
    }
    void setupRefusals()
    {
        QFETCH(QString, proc);
        QFETCH(int, isAudit);
        QFETCH(bool, waitingBill);
        QFETCH(int, result);
        const bool enabling = proc.contains(QStringLiteral("Set")) && isAudit == 1;
        if (!enabling)
            Flow(11, {"A1;0;0"});
        qint64 vchcode = 0;
        if (waitingBill)
            QCOMPARE(Sell(10, &vchcode), 1);
        ProcParams count{{QStringLiteral("@nVchType"), 11}};
        QCOMPARE(Db().callProc(QStringLiteral("P_Audit_GetBillAuidtingCount"), count), waitingBill ? 1 : 0);
        ProcParams p =
            proc.contains(QStringLiteral("Set"))
                ? ProcParams{{QStringLiteral("@nVchType"), 11}, {QStringLiteral("@nIsAudit"), isAudit}}
                : ProcParams{{QStringLiteral("@Vchtype"), 11}, {QStringLiteral("@leveal"), isAudit}};
        QCOMPARE(Db().callProc(proc, p), result);
        // Switching off and deleting the only level leave the flow disabled; refusals change nothing.
        QCOMPARE(audit::flowEnabled(Db(), 11), result < 0 ? !enabling : false);
    }

    void copyFlow()
    {
        Flow(11, {"A1;0;0", "A2;1;500"}, {"S1"});
        ProcParams p{{QStringLiteral("@sVchType"), 11},
                     {QStringLiteral("@dVchType"), 45},
                     {QStringLiteral("@CopyTeShen"), 1}};
        accountdb::ResultSet rs;
        QCOMPARE(Db().callProc(QStringLiteral("P_Audit_CopyAuditDetail"), p, &rs), 0);
        QCOMPARE(rs.rows.value(0).value(0).toString(),
                 QStringLiteral("已将【销售单】的2级审核流程复制到【销售退货单】，启用后生效。"));
        for (const char *sql : {"SELECT count(*) FROM AuditDetail WHERE Vchtype = ?",
                                "SELECT count(*) FROM AuditConditionDetail WHERE VchType = ?",
                                "SELECT count(*) FROM \"AuditNdx-E\" WHERE Vchtype = ?"})
            QCOMPARE(Value(QString::fromUtf8(sql), {45}), Value(QString::fromUtf8(sql), {11}));
        QCOMPARE(audit::flowEnabled(Db(), 45), false);
    }

    void hostAudit()
    {
        Flow(11, {"A1;0;0", "A2;0;500"});
        qint64 vchcode = 0;
        QCOMPARE(Sell(600, &vchcode), 1);
        HostAudit host([this] { return &Db(); }, FSet->System(), FSet->Messages());
        FSet->ActAs(QStringLiteral("A2"), false);
        QVERIFY(!host.AllAuditingBill(QStringLiteral("D"), int(vchcode), 11, 0));
        QCOMPARE(FSet->Messages().LastText(), QStringLiteral("您不是该单据第1级的审核人，不能审核。"));
        QVERIFY(!host.AllAuditingBill(QStringLiteral("D"), int(vchcode), 45, 0));
        QCOMPARE(FSet->Messages().LastText(), QStringLiteral("该单据不在审核流程中，不能审核。"));
        FSet->ActAs(QStringLiteral("A1"), false);
        QVERIFY(host.AllAuditingBill(QStringLiteral("D"), int(vchcode), 11, 0));
        FSet->ActAs(QStringLiteral("A2"), false);
        QVERIFY(host.RejectBill(int(vchcode), 11, QStringLiteral("价格不对")));
        QCOMPARE(audit::billState(Db(), vchcode)->state, int(audit::Returned));
    }

    void adminAudit()
    {
        Flow(11, {"A1;0;0"});
        qint64 vchcode = 0;
        QCOMPARE(Sell(10, &vchcode), 1);
        const auto run = [&](const QString &op, const QStringList &more = {}) {
            QProcess p;
            p.setStandardInputFile(QProcess::nullDevice());
            p.start(QStringLiteral(ORVANE_ADMIN_PATH),
                    QStringList{"audit", "--db", FSet->Path(), "--operator", op, "--bill",
                                QString::number(vchcode)} +
                        more);
            p.waitForFinished(60000);
            return qMakePair(p.exitCode(),
                             QString::fromUtf8(p.readAllStandardError() + p.readAllStandardOutput()));
        };
        const double before = Stock();
        auto r = run(QStringLiteral("A2"));
        QCOMPARE(r.first, 1);
        QVERIFY2(r.second.contains(QStringLiteral("您不是该单据第1级的审核人，不能审核。")),
                 qPrintable(r.second));
        r = run(QStringLiteral("A1"));
        QCOMPARE(r.first, 0);
        QVERIFY2(r.second.contains(QStringLiteral("第1级审核通过，单据已过账。")), qPrintable(r.second));
        QCOMPARE(Stock(), before - 10);
        r = run(QStringLiteral("A1"));
        QVERIFY2(r.second.contains(QStringLiteral("该单据不在审核流程中，不能审核。")), qPrintable(r.second));
    }

    // Two auditors of level 1 read the bill and then act at the same moment in two processes: one passes,
    // the other is told the bill changed; level 2 is never skipped.
    void raceOnOneBill()
    {
        Flow(11, {"A1,A2;0;0", "A3;0;0"});
        qint64 vchcode = 0;
        QCOMPARE(Sell(10, &vchcode), 1);
        QProcess a, b;
        for (auto [p, op] : {std::pair{&a, "A1"}, std::pair{&b, "A2"}}) {
            p->start(QStringLiteral(AUDIT_RACE_HELPER),
                     {FSet->Path(), QString::number(vchcode), QString::fromLatin1(op)});
            QVERIFY(p->waitForReadyRead(60000));
            QCOMPARE(p->readLine().trimmed(), QByteArray("ready"));
        }
        a.write("go\n");
        b.write("go\n");
        QVERIFY(a.waitForFinished(60000) && b.waitForFinished(60000));
        const QList<QByteArray> codes{a.readAll().trimmed(), b.readAll().trimmed()};
        QCOMPARE(codes.count(QByteArray::number(int(audit::Passed))), 1);
        QCOMPARE(codes.count(QByteArray::number(int(audit::Changed))), 1);
        const audit::BillState s = *audit::billState(Db(), vchcode);
        QCOMPARE(s.level, 2);
        QCOMPARE(s.auditedCount, 1);
        QCOMPARE(History(vchcode).size(), 2);
    }
};

QTEST_MAIN(TstAuditEngine)
#include "tst_auditengine.moc"
