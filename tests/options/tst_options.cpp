// The system rebuild (what each option keeps, rollback on failure, declined questions), the upgrade
// patch and the change of the inventory costing mode, on real account sets.

#include <QCheckBox>
#include <QComboBox>
#include <QDate>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QTest>

#include "AccountDatabase.h"
#include "TestAccountSet.h"
#include "Udlldbservice.h"
#include "demo/DemoGenerator.h"
#include "uAccountOption.h"
#include "uCMSystemReBuild.h"
#include "uDllComm.h"
#include "uUpdateAcc.h"

using accountdb::ProcContext;
using accountdb::ProcParams;

class TstOptions : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestAccountSet> FSet;
    int FYear = 0;

    QVariant Value(const QString &sql) { return FSet->Db().value(sql); }
    int Count(const QString &table)
    {
        return Value(QStringLiteral("SELECT count(*) FROM %1").arg(table)).toInt();
    }
    void Exec(const QString &sql, const QVariantList &params = {}) { FSet->Db().execBatch(sql, params); }
    QString Sys(const QString &name)
    {
        return FSet->Db()
            .value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = ?"), {name})
            .toString();
    }

    void Post(int vchtype, const QString &date, const QString &ktype, const QString &records)
    {
        ProcParams p{
            {QStringLiteral("@nVchType"), vchtype},
            {QStringLiteral("@szDate"), date},
            {QStringLiteral("@szKTypeID"), ktype},
            {QStringLiteral("@szOperatorID"), QStringLiteral("00000")},
            {QStringLiteral("@szXML"), QStringLiteral("<Root>") + records + QStringLiteral("</Root>")}};
        QCOMPARE(FSet->Db().callProc(QStringLiteral("P_Jxc_PostBill"), p), 0);
    }

    QString Date(int day) const
    {
        return QStringLiteral("%1-01-%2").arg(FYear).arg(day, 2, 10, QLatin1Char('0'));
    }

    // Goods of every costing method with opening stock and bills, then a draft, orders (audited and
    // waiting), a voucher, a fixed asset and a batch task.
    void FillBills()
    {
        FYear = Sys(QStringLiteral("CurrentYear")).toInt();
        Exec(QStringLiteral(
            "INSERT INTO ptype (typeId, Sonnum) VALUES ('00001', 3);"
            "INSERT INTO ptype (typeId, ParId, UserCode, FullName, Costmode) VALUES "
            "('0000100001', '00001', 'G1', '铝板', 0), ('0000100002', '00001', 'G2', '铜线', 1), "
            "('0000100003', '00001', 'G3', '钢管', 4);"
            "INSERT INTO stock (typeId, FullName) VALUES ('00001', '甲仓'), ('00002', '乙仓')"));
        QString lines;
        for (const char *goods : {"0000100001", "0000100002", "0000100003"})
            lines +=
                QStringLiteral("<Record PtypeID=\"%1\" Qty=\"10\" Price=\"5\"/>").arg(QLatin1String(goods));
        Post(201, Date(1), QStringLiteral("00001"), lines);
        Exec(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = '1' WHERE SubName = 'iniover'"));
        Post(34, Date(5), QStringLiteral("00002"), lines);
        Post(11, Date(9), QStringLiteral("00001"), lines);
        const int period = Sys(QStringLiteral("OpenPeriod")).toInt();
        Exec(QStringLiteral(
                 "UPDATE ptype SET RecPrice = 6 WHERE Sonnum = 0;"
                 "INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Period, Draft) VALUES (900001, 11, ?, ?, 1);"
                 "INSERT INTO DlyndxOrder (Vchcode, Vchtype, Date, Period, Draft) VALUES "
                 "(1, 7, ?, ?, 2), (2, 7, ?, ?, 4);"
                 "INSERT INTO T_CW_DlyNdx (Vchcode, Date, Period, Number) VALUES (1, ?, ?, 1);"
                 "INSERT INTO T_GD_FixDetail (vchcode, Period) VALUES (1, 0);"
                 "INSERT INTO BatchRole (Number) VALUES ('PC-1')"),
             {Date(9), period, Date(9), period, Date(9), period, Date(9), period});
    }

    // What a rebuild touches, as counts; the fingerprint of "nothing changed".
    QString State()
    {
        QStringList parts;
        for (const char *table :
             {"DlyNdx", "DlyBuy", "DlySale", "DlyOther", "DlyNdxIni", "DlyIni", "DlyndxOrder", "T_CW_DlyNdx",
              "GoodsStocks", "GoodsStocksCost", "T_FIFO_InList_Stock", "T_FIFO_OutList_Stock",
              "T_Jxc_PeriodBalance", "T_GD_FixDetail", "BatchRole", "ptype", "stock", "btype"})
            parts << QStringLiteral("%1=%2")
                         .arg(QString::fromLatin1(table))
                         .arg(Count(QString::fromLatin1(table)));
        parts << Sys(QStringLiteral("JxcPeriod")) << Sys(QStringLiteral("iniover"))
              << Value(QStringLiteral("SELECT sum(RecPrice) FROM ptype")).toString();
        return parts.join(u' ');
    }

    bool RunAdmin(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral(ORVANE_ADMIN_PATH), args + QStringList{QStringLiteral("--db"), FSet->Path()});
        p.waitForFinished(-1);
        if (p.exitCode() != 0)
            qWarning().noquote() << p.readAllStandardOutput() << p.readAllStandardError();
        return p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    }

    void AddPlugIn(const QString &name, bool before, int result)
    {
        FSet->Db().procedures().add(name, [name, result](ProcContext &ctx) {
            // A write of the plug-in: it must share the fate of the transaction.
            ctx.exec(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = ? WHERE SubName = 'UnitMemo'"),
                     {name});
            if (ctx.in(QStringLiteral("@nClearInit")).toInt() != 1)
                return -99;
            if (result < 0)
                ctx.setOut(QStringLiteral("@ErrMsg"), QStringLiteral("插件拒绝：") + name);
            return result;
        });
        Exec(QStringLiteral("INSERT INTO T_Inf_PlugIn_SystemRebuildProc (ProcName, IsBefore) VALUES (?, ?)"),
             {name, before ? 1 : 0});
    }

    // Opens the rebuild window, ticks the named boxes and presses OK; the window's modal result.
    int Rebuild(const QStringList &keep, const QList<bool> &answers)
    {
        TfrmCMSystemReBuild form;
        for (const QString &name : keep)
            form.findChild<QCheckBox *>(name)->click();
        for (bool answer : answers)
            FSet->Messages().Answers.enqueue(answer);
        form.btnOK->click();
        return form.result();
    }

private slots:
    void init()
    {
        FSet = std::make_unique<TestAccountSet>();
        uDllComm::DllParams.PubVersion2 = 6680;
        uDllComm::DllParams.IsGL = false;
    }
    void cleanup() { FSet.reset(); }

    void rebuildKeeps_data()
    {
        QTest::addColumn<QStringList>("keep");
        QTest::addColumn<QString>("expected");
        const QString none =
            QStringLiteral("DlyNdx=0 DlyNdxIni=0 DlyndxOrder=0 GoodsStocks=0 prices=0 iniover=0");
        QTest::newRow("nothing kept") << QStringList{QStringLiteral("chkPriceTrack")} << none;
        QTest::newRow("opening stock")
            << QStringList{QStringLiteral("chkIniData"), QStringLiteral("chkPriceTrack")}
            << QStringLiteral("DlyNdx=0 DlyNdxIni=ini DlyndxOrder=0 GoodsStocks=ini "
                              "prices=0 iniover=1");
        QTest::newRow("drafts, audited orders, prices")
            << QStringList{QStringLiteral("chkDraft"), QStringLiteral("chkCheckedOrders")}
            << QStringLiteral("DlyNdx=1 DlyNdxIni=0 DlyndxOrder=1 GoodsStocks=0 prices=kept iniover=0");
        QTest::newRow("all orders") << QStringList{QStringLiteral("chkOrders"),
                                                   QStringLiteral("chkPriceTrack")}
                                    << QStringLiteral(
                                           "DlyNdx=0 DlyNdxIni=0 DlyndxOrder=2 GoodsStocks=0 prices=0 "
                                           "iniover=0");
    }

    void rebuildKeeps()
    {
        QFETCH(QStringList, keep);
        QFETCH(QString, expected);
        FillBills();
        const int openingBills = Count(QStringLiteral("DlyNdxIni"));
        const int openingStock =
            Value(QStringLiteral(
                      "SELECT count(*) FROM (SELECT DISTINCT PtypeId, KtypeId, BlockNo FROM DlyIni) AS t"))
                .toInt();
        QVERIFY(openingBills > 0 && Count(QStringLiteral("DlyNdx")) > 1);
        const int goods = Count(QStringLiteral("ptype"));
        const QString prices = Value(QStringLiteral("SELECT sum(RecPrice) FROM ptype")).toString();
        QVERIFY(prices.toDouble() > 0);

        // Confirm, keep the fixed asset and batch task questions, no backup.
        QCOMPARE(Rebuild(keep, {true, true, false}), int(mrOk));

        const QString got =
            QStringLiteral("DlyNdx=%1 DlyNdxIni=%2 DlyndxOrder=%3 GoodsStocks=%4 prices=%5 iniover=%6")
                .arg(Count(QStringLiteral("DlyNdx")))
                .arg(Count(QStringLiteral("DlyNdxIni")) == openingBills ? QStringLiteral("ini")
                                                                        : QStringLiteral("0"))
                .arg(Count(QStringLiteral("DlyndxOrder")))
                .arg(Count(QStringLiteral("GoodsStocks")) == openingStock && openingStock > 0
                         ? QStringLiteral("ini")
                         : QString::number(Count(QStringLiteral("GoodsStocks"))))
                .arg(Value(QStringLiteral("SELECT sum(RecPrice) FROM ptype")).toString() == prices
                         ? QStringLiteral("kept")
                         : Value(QStringLiteral("SELECT sum(RecPrice) FROM ptype")).toString())
                .arg(Sys(QStringLiteral("iniover")));
        QCOMPARE(got, expected);
        // Always gone, always kept.
        for (const char *table : {"DlyBuy", "DlySale", "T_CW_DlyNdx", "T_Jxc_PeriodBalance",
                                  "T_FIFO_OutList_Stock", "T_GD_FixDetail", "BatchRole", "T_Jxc_CheckOutLog"})
            QVERIFY2(Count(QString::fromLatin1(table)) == 0, table);
        QCOMPARE(Count(QStringLiteral("ptype")), goods);
        QCOMPARE(Sys(QStringLiteral("JxcPeriod")), Sys(QStringLiteral("OpenPeriod")));
        QCOMPARE(FSet->Messages().LastText(), QStringLiteral("系统重建已正确完成, 确认退出。"));
        QCOMPARE(
            Value(QStringLiteral("SELECT count(*) FROM T_Sys_EventLog WHERE Event = '系统重建'")).toInt(), 1);
    }

    // Keeping the opening stock leaves an account set in which the cost calculation and the checkout
    // run clean again.
    void rebuildThenCostAndCheckout()
    {
        SKIP_ON_SERVER("orvane-admin opens account set files");
        accountdb::demo::DemoOptions options;
        options.goods = 12;
        options.lines = 300;
        accountdb::demo::generateDemo(FSet->Db(), options);
        QVERIFY(RunAdmin({QStringLiteral("cost-calc"), QStringLiteral("--force-zero")}));
        QVERIFY(RunAdmin({QStringLiteral("checkout"), QStringLiteral("--ignore-unaudited"),
                          QStringLiteral("--ignore-unallocated")}));
        QVERIFY(Sys(QStringLiteral("JxcPeriod")) != Sys(QStringLiteral("OpenPeriod")));
        QCOMPARE(Rebuild({QStringLiteral("chkIniData")}, {true, true, false}), int(mrOk));
        QCOMPARE(Sys(QStringLiteral("JxcPeriod")), Sys(QStringLiteral("OpenPeriod")));
        QCOMPARE(Count(QStringLiteral("DlyNdx")), 0);
        QVERIFY(RunAdmin({QStringLiteral("cost-calc"), QStringLiteral("--force-zero")}));
        QVERIFY(RunAdmin({QStringLiteral("checkout")}));
        QVERIFY(Sys(QStringLiteral("JxcPeriod")) != Sys(QStringLiteral("OpenPeriod")));
    }

    void rebuildChangesNothing_data()
    {
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("beforeResult");
        QTest::addColumn<int>("afterResult");
        QTest::addColumn<QString>("message");
        QTest::newRow("confirmation declined")
            << QList<bool>{false} << 0 << 0 << QStringLiteral("请再次确认‘系统重建’。");
        QTest::newRow("fixed asset question declined")
            << QList<bool>{true, false} << 0 << 0
            << QStringLiteral("存在批次任务单，系统重建将删除批次任务单，点击【确定】删除，否则退出。");
        QTest::newRow("plug-in before fails")
            << QList<bool>{true, true, false} << -1 << 0 << QStringLiteral("插件拒绝：P_Before");
        QTest::newRow("plug-in after fails")
            << QList<bool>{true, true, false} << 0 << -1 << QStringLiteral("插件拒绝：P_After");
    }

    void rebuildChangesNothing()
    {
        QFETCH(QList<bool>, answers);
        QFETCH(int, beforeResult);
        QFETCH(int, afterResult);
        QFETCH(QString, message);
        FillBills();
        AddPlugIn(QStringLiteral("P_After"), false, afterResult);
        AddPlugIn(QStringLiteral("P_Before"), true, beforeResult);
        const QString before = State() + Sys(QStringLiteral("UnitMemo"));
        QCOMPARE(Rebuild({}, answers), int(mrCancel));
        QCOMPARE(State() + Sys(QStringLiteral("UnitMemo")), before);
        QCOMPARE(FSet->Messages().LastText(), message);
        QCOMPARE(Count(QStringLiteral("T_Sys_JobLock")), 0);
    }

    void upgrade_data()
    {
        QTest::addColumn<QStringList>("scripts");
        QTest::addColumn<QString>("applied");
        QTest::addColumn<QString>("message");
        const QString append = QStringLiteral(
            "UPDATE T_Gbl_SysDataCw SET SubValue = SubValue || '%1' WHERE SubName = 'UnitMemo';\n");
        const QString bad = append.arg(3) + QStringLiteral("INSERT INTO T_Missing (ID) VALUES (1);\n");
        QTest::newRow("two good") << QStringList{append.arg(1), append.arg(2)} << QStringLiteral("12")
                                  << QStringLiteral("执行成功。");
        QTest::newRow("good then bad then good")
            << QStringList{append.arg(1), bad, append.arg(2)} << QStringLiteral("1")
            << QStringLiteral("所选SQL文件有错误，请检查。");
        // Not the account set's business: a syntax error on a file, refused before it runs on a server.
        QTest::newRow("server role refused")
            << QStringList{append.arg(1), append.arg(2) + QStringLiteral("CREATE ROLE orvane_script_role;\n")}
            << QStringLiteral("1") << QStringLiteral("所选SQL文件有错误，请检查。");
    }

    void upgrade()
    {
        QFETCH(QStringList, scripts);
        QFETCH(QString, applied);
        QFETCH(QString, message);
        QStringList files;
        for (int i = 0; i < scripts.size(); ++i) {
            files << FSet->Dir() + QStringLiteral("/patch%1.sql").arg(i);
            QFile f(files.last());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(scripts[i].toUtf8());
        }
        TfrmUpdateAcc form;
        form.SetFiles(files);
        QCOMPARE(form.lbeSQL->text(), files.first());
        FSet->Messages().Answers.enqueue(true);
        form.btnOK->click();
        QCOMPARE(Sys(QStringLiteral("UnitMemo")), applied);
        QCOMPARE(FSet->Messages().LastText(), message);
        QVERIFY(!form.pbRun->isVisible());
    }

    void switchClick_data()
    {
        QTest::addColumn<int>("conId");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<int>("stats");
        QTest::addColumn<QString>("message");
        const QString noData;
        QTest::newRow("check procedure asks, declined")
            << 140 << noData << QList<bool>{false} << 1
            << QStringLiteral("停用进销存成本计算后，出库单据将不再计算成本，是否继续？");
        QTest::newRow("check procedure asks, accepted")
            << 140 << noData << QList<bool>{true} << 0
            << QStringLiteral("停用进销存成本计算后，出库单据将不再计算成本，是否继续？");
        QTest::newRow("check procedure refuses")
            << 134
            << QStringLiteral("INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Period) VALUES (1, 172, "
                              "'2026-01-05', 202601)")
            << QList<bool>{} << 1 << QStringLiteral("账套中已有生产单据，不能停用生产管理。");
        QTest::newRow("check procedure passes") << 134 << noData << QList<bool>{} << 0 << QString();
        QTest::newRow("foreign currency account")
            << 88
            << QStringLiteral(
                   "INSERT INTO Atypecw (typeId, parid, leveal, sonnum, UserCode, FullName, CheckWaiBi) "
                   "VALUES ('99001', '00000', 1, 1, 'T1', '银行存款', 0), "
                   "('9900100001', '99001', 2, 0, 'T101', '美元户', 1)")
            << QList<bool>{} << 1
            << QStringLiteral("会计科目 \"银行存款\\美元户\" 已经核算外币，不能取消配置。");
        QTest::newRow("voucher question declined")
            << 105 << noData << QList<bool>{false} << 1
            << QStringLiteral("您的选择可能会导致业务数据和账务数据不等，是否继续？");
    }

    // Unchecking a checked switch: the checks decide whether it is saved.
    void switchClick()
    {
        QFETCH(int, conId);
        QFETCH(QString, setup);
        QFETCH(QList<bool>, answers);
        QFETCH(int, stats);
        QFETCH(QString, message);
        Exec(QStringLiteral("UPDATE T_Gbl_SysCon SET Stats = 1 WHERE ConId = ?"), {conId});
        if (!setup.isEmpty())
            Exec(setup);
        FSet->System().ReloadSysCon();
        TfrmAccountOption form;
        TCMDynamicCheckBox *item = form.Switch(conId);
        QVERIFY(item);
        QVERIFY(item->Box->isChecked());
        FSet->Messages().Clear();
        for (bool answer : answers)
            FSet->Messages().Answers.enqueue(answer);
        item->Box->click();
        QCOMPARE(Value(QStringLiteral("SELECT Stats FROM T_Gbl_SysCon WHERE ConId = %1").arg(conId)).toInt(),
                 stats);
        QCOMPARE(item->Box->isChecked(), stats == 1);
        QCOMPARE(FSet->Messages().Messages.isEmpty() ? QString() : FSet->Messages().Messages.first().Text,
                 message);
    }

    void changeInventoryAccounting_data()
    {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<bool>("opened");
        QTest::addColumn<bool>("splitStock");
        QTest::addColumn<int>("result");
        QTest::newRow("by warehouse") << QStringLiteral("1") << false << false << 0;
        QTest::newRow("bad mode") << QStringLiteral("2") << false << false << -1;
        QTest::newRow("opened") << QStringLiteral("1") << true << false << -2;
        QTest::newRow("FIFO stock below zero in a warehouse") << QStringLiteral("1") << false << true << -3;
        QTest::newRow("FIFO stock of the company") << QStringLiteral("0") << false << true << 0;
    }

    void changeInventoryAccounting()
    {
        QFETCH(QString, mode);
        QFETCH(bool, opened);
        QFETCH(bool, splitStock);
        QFETCH(int, result);
        FYear = Sys(QStringLiteral("CurrentYear")).toInt();
        Exec(QStringLiteral(
            "INSERT INTO ptype (typeId, Sonnum) VALUES ('00001', 1);"
            "INSERT INTO ptype (typeId, ParId, UserCode, FullName, Costmode) VALUES "
            "('0000100001', '00001', 'G1', '铝板', 1);"
            "INSERT INTO stock (typeId, FullName) VALUES ('00001', '甲仓'), ('00002', '乙仓')"));
        const auto line = [](double qty) {
            return QStringLiteral("<Record PtypeID=\"0000100001\" Qty=\"%1\" Price=\"5\"/>").arg(qty);
        };
        Post(201, Date(1), QStringLiteral("00001"), line(10));
        // Sold from the other warehouse: the company has stock, that warehouse has none.
        Post(11, Date(5), splitStock ? QStringLiteral("00002") : QStringLiteral("00001"), line(4));
        if (opened)
            Exec(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = '1' WHERE SubName = 'iniover'"));
        const QString before = Sys(QStringLiteral("InventoryAccounting"));
        ProcParams p{{QStringLiteral("@szOrder11"), mode}};
        QCOMPARE(FSet->Db().callProc(QStringLiteral("P_Jxc_ChangeInventoryAccounting"), p), result);
        QCOMPARE(Sys(QStringLiteral("InventoryAccounting")), result == 0 ? mode : before);
        QCOMPARE(
            Value(QStringLiteral("SELECT min(KTypeID) FROM GoodsStocksCost WHERE Period = 0")).toString(),
            result == 0 && mode == u"1" ? QStringLiteral("00001") : QString());
    }
    void otherPageSave_data()
    {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<int>("trade");
        QTest::addColumn<QList<bool>>("answers");
        QTest::addColumn<QString>("level3");
        QTest::addColumn<QStringList>("batch");
        QTest::addColumn<QString>("message");
        const QString lengths = QStringLiteral("科目编码长度保存成功。");
        const QString voucherType = QStringLiteral("凭证类型保存成功。");
        const QStringList tax = {QStringLiteral("默认增值税税率保存成功。"),
                                 QStringLiteral("采购差价报警比例保存成功。")};
        const QString voucher = QStringLiteral(
            "INSERT INTO T_CW_DlyNdx (Vchcode, Period, Date, Number) VALUES (1, 1, '2026-01-31', 1)");
        QTest::newRow("same trade asks nothing") << QString() << 1 << QList<bool>{} << QString()
                                                 << (QStringList{lengths, voucherType} + tax) << QString();
        QTest::newRow("other trade accepted")
            << QString() << 2 << QList<bool>{true} << QString()
            << (QStringList{QStringLiteral("企业类别保存成功。"), lengths, voucherType} + tax) << QString();
        QTest::newRow("other trade declined") << QString() << 2 << QList<bool>{false} << QString()
                                              << (QStringList{lengths, voucherType} + tax) << QString();
        QTest::newRow("vouchers keep trade and voucher type")
            << voucher << 2 << QList<bool>{true} << QString()
            << (QStringList{QStringLiteral("当前账套已经使用过对应的会计科目数据，不能再更改企业类别。"),
                            lengths, QStringLiteral("账套中已有凭证，凭证类型保存失败。")} +
                tax)
            << QString();
        QTest::newRow("opened account set")
            << QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = '1' WHERE SubName = 'iniover'") << 1
            << QList<bool>{} << QString()
            << (QStringList{QStringLiteral("系统已经结账，科目编码长度保存失败。"),
                            QStringLiteral("系统已经结账，凭证类型保存失败。")} +
                tax)
            << QString();
        QTest::newRow("level length out of range")
            << QString() << 1 << QList<bool>{} << QStringLiteral("7") << QStringList{}
            << QStringLiteral("科目编码单级长度只能输入1到5之间的整数，请检查。");
    }

    // The other page's save: trade, code lengths and voucher type, each with its outcome line.
    void otherPageSave()
    {
        QFETCH(QString, setup);
        QFETCH(int, trade);
        QFETCH(QList<bool>, answers);
        QFETCH(QString, level3);
        QFETCH(QStringList, batch);
        QFETCH(QString, message);
        uDllComm::DllParams.PubMainVersionNo = QStringLiteral("17.0");
        QCOMPARE(Udlldbservice::ExecuteProcByName(QStringLiteral("P_GBL_ChangeTrade"),
                                                  {QStringLiteral("@prm_TradeID")}, {1}),
                 0);
        Exec(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = '1' WHERE SubName = 'vtGroupNo'"));
        if (!setup.isEmpty())
            Exec(setup);
        TfrmAccountOption form;
        form.lcbTradeAtype->setCurrentIndex(form.lcbTradeAtype->findData(trade));
        if (!level3.isEmpty())
            form.AtypeLen_SpGrid->item(1, 6)->setText(level3);
        form.findChild<QRadioButton *>(QStringLiteral("rbTypeList2"))->setChecked(true);
        FSet->Messages().Clear();
        for (bool answer : answers)
            FSet->Messages().Answers.enqueue(answer);
        form.btnOtherPageSave->click();

        QStringList lines;
        for (const auto &lists : std::as_const(FSet->Messages().Batches))
            for (const TBillMessageList &list : lists)
                for (const TBillMessageInfo &info : list)
                    lines << info.Message;
        QCOMPARE(lines, batch);
        QStringList shown;
        for (const RecordedMessage &m : std::as_const(FSet->Messages().Messages))
            if (m.Kind != u"batch" && m.Kind != u"yesno")
                shown << m.Text;
        QCOMPARE(shown.join(u'|'), message);
        const bool traded = batch.contains(QStringLiteral("企业类别保存成功。"));
        QCOMPARE(Sys(QStringLiteral("TradeID")), QString::number(traded ? 2 : 1));
        QCOMPARE(Sys(QStringLiteral("vtGroupNo")), batch.contains(QStringLiteral("凭证类型保存成功。"))
                                                       ? QStringLiteral("2")
                                                       : QStringLiteral("1"));
    }
};

QTEST_MAIN(TstOptions)
#include "tst_options.moc"
