#include "uCMSystemReBuildCore.h"

#include "ClientDataSet.h"
#include "ParamList.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "Udllserverobject.h"
#include "Udllsystemintf.h"
#include "uJobLock.h"
#include "uStringConst.h"

namespace uCMSystemReBuildCore {

const QString ConfirmText = QStringLiteral("请再次确认‘系统重建’。");
const QString BackupQuestion = QStringLiteral("系统重建将删除账套的业务数据，是否先备份账套？");
const QString DoneText = QStringLiteral("系统重建已正确完成, 确认退出。");

namespace {

using namespace Udlldbservice;

// Rolls the server transaction back unless it was committed, also when an exception leaves the run.
class TServerTransaction
{
public:
    TServerTransaction() { Udllserverobject::Invoke(Udllserverobject::DispBeginTrans); }
    ~TServerTransaction()
    {
        if (FOpen)
            Udllserverobject::Invoke(Udllserverobject::DispRollBackTrans);
    }
    void Commit()
    {
        Udllserverobject::Invoke(Udllserverobject::DispCommitTrans);
        FOpen = false;
    }
    void RollBack()
    {
        FOpen = false;
        Udllserverobject::Invoke(Udllserverobject::DispRollBackTrans);
    }

private:
    bool FOpen = true;
};

// Runs the procedures in order; false with the failing one's @ErrMsg at the first negative result.
bool RunPlugIns(const QStringList &procs, int clearInit, QString &errorMessage)
{
    for (const QString &name : procs) {
        TParamList outputs;
        const int r = ExecuteProcByName(name, {QStringLiteral("@nClearInit"), QStringLiteral("@ErrMsg")},
                                        {clearInit, QString()}, &outputs);
        if (r < 0) {
            errorMessage = outputs.ParamByName(QStringLiteral("@ErrMsg")).toString();
            return false;
        }
    }
    return true;
}

bool Exists(const QString &sql)
{
    return GetValueFromSQL(sql).toInt() > 0;
}

} // namespace

bool NormalTokenRefused()
{
    if (!Udllsystemintf::IsNormalToken())
        return false;
    Udllmessageintf::SuperMessageBox(uStringConst::NormalTokenRefused);
    return true;
}

int ThreeWay(bool all, bool done, bool undone)
{
    if (all || (done && undone))
        return 0;
    if (undone)
        return 1;
    return done ? 2 : 3;
}

QStringList ParamNames()
{
    return {QStringLiteral("@OperatorID"), QStringLiteral("@PeriodBEGIN"), QStringLiteral("@Custom1"),
            QStringLiteral("@Custom2"),    QStringLiteral("@Custom3"),     QStringLiteral("@Custom4"),
            QStringLiteral("@Custom5"),    QStringLiteral("@app"),         QStringLiteral("@tast"),
            QStringLiteral("@info"),       QStringLiteral("@calendar"),    QStringLiteral("@PriceTrack")};
}

QVariantList ParamValues(const TRebuildOptions &o, const QString &operatorId)
{
    const auto keep = [](bool on) { return on ? -1 : 1; };
    return {operatorId,
            keep(o.IniData),
            keep(o.Draft),
            -1,
            o.Orders ? -2 : keep(o.CheckedOrders),
            0,
            keep(o.GMData),
            3,
            ThreeWay(o.AllTask, o.TaskDone, o.TaskUnDone),
            ThreeWay(o.AllMsg, o.MsgRead, o.MsgUnRead),
            ThreeWay(o.AllSchedule, o.ScheduleDone, o.ScheduleUnDone),
            o.PriceTrack ? 0 : 1};
}

QStringList DataQuestions()
{
    QStringList questions;
    const QString usedFixed = QStringLiteral(
        "SELECT count(*) FROM %1 WHERE fixid IN (SELECT vchcode FROM T_GD_FixDetail WHERE Period <> 0)");
    if (Exists(usedFixed.arg(QStringLiteral("WorkProcess"))))
        questions << QStringLiteral(
            "固定资产在工序中使用过，系统重建将删除该固定资产，点击【确定】删除，否则退出。");
    else if (Exists(usedFixed.arg(QStringLiteral("WorkPlanDetail"))))
        questions << QStringLiteral(
            "固定资产在工序计划中使用过，系统重建将删除该固定资产，点击【确定】删除，否则退出。");
    if (Exists(QStringLiteral(
            "SELECT (SELECT count(*) FROM BatchRole) + (SELECT count(*) FROM BatchRoleDetail)")))
        questions << QStringLiteral("存在批次任务单，系统重建将删除批次任务单，点击【确定】删除，否则退出。");
    if (Exists(QStringLiteral("SELECT (SELECT count(*) FROM BatchConsignTask) + (SELECT count(*) FROM "
                              "BatchConsignTaskDetail)")))
        questions << QStringLiteral("存在批次加工单，系统重建将删除批次加工单，点击【确定】删除，否则退出。");
    return questions;
}

TRunResult Run(const TRebuildOptions &options)
{
    TJobLock job(QStringLiteral("系统重建"));
    if (!job.Acquired())
        return {TRunStatus::Busy, job.ErrorText()};
    const QVariantList values = ParamValues(options, Udllsystemintf::GetCurrentOperatorId());
    const int clearInit = values[1].toInt();

    TServerTransaction transaction;
    QStringList before, after;
    {
        TClientDataSet ds;
        OpenSQL(QStringLiteral("SELECT ProcName, IsBefore FROM T_Inf_PlugIn_SystemRebuildProc ORDER BY ID"),
                ds);
        for (ds.First(); !ds.Eof(); ds.Next())
            (ds.FieldByName(QStringLiteral("IsBefore")).AsInteger() == 1 ? before : after)
                .append(ds.FieldByName(QStringLiteral("ProcName")).AsString().trimmed());
    }
    QString errorMessage;
    if (!RunPlugIns(before, clearInit, errorMessage)) {
        transaction.RollBack();
        return {TRunStatus::PlugInFailed, errorMessage};
    }
    if (ExecuteProcByName(QStringLiteral("P_GBL_SystemReBuild"), ParamNames(), values) < 0) {
        transaction.RollBack();
        return {TRunStatus::Refused, QString()};
    }
    if (!RunPlugIns(after, clearInit, errorMessage)) {
        transaction.RollBack();
        return {TRunStatus::PlugInFailed, errorMessage};
    }
    transaction.Commit();
    Udllserverobject::Invoke(Udllserverobject::DispAfterRebuild);
    return {};
}

} // namespace uCMSystemReBuildCore
