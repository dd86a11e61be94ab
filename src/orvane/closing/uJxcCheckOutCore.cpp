#include "uJxcCheckOutCore.h"

#include "uJobLock.h"

#include "ClientDataSet.h"
#include "ParamList.h"
#include "QuillExceptions.h"
#include "Udlldbservice.h"
#include "Udllsystemintf.h"
#include "uOrvaneCommon.h"

namespace uJxcCheckOutCore {

TCalcCostHook CalcCostHook;
TShowAuditQueryHook ShowAuditQueryHook;

const QString NotCostedQuestion = QStringLiteral("有存货未计算成本，是否进行成本计算？");
const QString NotCostedMessage = QStringLiteral("有存货没有进行成本计算，请先计算所有存货成本。");
const QString CheckOutDoneMessage = QStringLiteral("本月期末结账成功。");
const QString UnCheckOutDoneMessage = QStringLiteral("本次期末反结账成功，进销存将返回上一期间。");
const QString NoAuditQueryRightMessage = QStringLiteral("你没有单据审核查询的权限，不能进入。");

namespace {

using namespace Udlldbservice;

const QString kOverflowMessage = QStringLiteral("结转成本的金额太大，系统将无法正确处理，请检查您的单据。");
const QString kNotOpenedMessage = QStringLiteral("系统尚未进行期初结账，不能做月结存。");
const QString kClosedMessage = QStringLiteral("本期间已经做了期末结账。");
const QString kUpdateFailedMessage = QStringLiteral("数据更新失败,请稍后重试。");

bool IsOverflow(const QString &text)
{
    return text.contains(QStringLiteral("溢出"));
}

QString ExceptionText(const std::exception &e)
{
    if (const auto *db = dynamic_cast<const EDatabaseError *>(&e))
        return db->Message();
    return QString::fromUtf8(e.what());
}

// The plug-in procedures of a table: before (IsBefore = 1) and after, each in table order.
void LoadPlugIns(const QString &table, QStringList &before, QStringList &after)
{
    TClientDataSet ds;
    OpenSQL(QStringLiteral("SELECT ProcName, IsBefore FROM %1 ORDER BY RowNo").arg(table), ds);
    for (ds.First(); !ds.Eof(); ds.Next()) {
        const QString name = ds.FieldByName(QStringLiteral("ProcName")).AsString();
        (ds.FieldByName(QStringLiteral("IsBefore")).AsInteger() == 1 ? before : after).append(name);
    }
}

// Runs the procedures in order; false with the failing one's @ErrMsg at the first negative result.
bool RunPlugIns(const QStringList &procs, QString &errorMessage)
{
    for (const QString &name : procs) {
        TParamList outputs;
        const int r = ExecuteProcByName(
            name, {QStringLiteral("@OperatorId"), QStringLiteral("@LogonDate"), QStringLiteral("@ErrMsg")},
            {Udllsystemintf::GetCurrentOperatorId(), Udllsystemintf::GetLogOnDate(), QString()}, &outputs);
        if (r < 0) {
            errorMessage = outputs.ParamByName(QStringLiteral("@ErrMsg")).toString();
            return false;
        }
    }
    return true;
}

TRunResult Failed(TRunStatus status, int code, const QString &message)
{
    TRunResult r;
    r.Status = status;
    r.Code = code;
    r.Message = message;
    return r;
}

} // namespace

QString CurrentPeriodText()
{
    QString text;
    uOrvaneCommon::GetJxcPeriodText(text);
    return text;
}

QString PeriodCaption()
{
    return QStringLiteral("当前进销存期间:") + CurrentPeriodText();
}

int PreCheck()
{
    try {
        return ExecuteProcByName(QStringLiteral("P_Jxc_CheckJxcCheckOut"), QStringList(), QVariantList());
    } catch (const std::exception &e) {
        return IsOverflow(ExceptionText(e)) ? OverflowCode : 0;
    }
}

QString PreCheckMessage(int code)
{
    switch (code) {
    case OverflowCode:
        return kOverflowMessage;
    case -4:
        return kNotOpenedMessage;
    case -2:
        return kClosedMessage;
    default:
        return kUpdateFailedMessage;
    }
}

QStringList OpenAllocationQuestions(const QString &periodText, int edition)
{
    struct Check
    {
        int minEdition;
        QString sql;
        QString text;
    };
    const QString gathered = QStringLiteral(
        "SELECT coalesce(number, '') AS number FROM dlyndx WHERE vchcode NOT IN (SELECT vchcode FROM %1 "
        "WHERE draft = 2) AND draft = 2 AND vchtype = %2 AND period = ?");
    const QList<Check> checks = {
        {4680, gathered.arg(QStringLiteral("scgatheringdly")).arg(174),
         QStringLiteral("]等完工验收单尚未分配费用,期末结账后不能再进行费用分配,是否继续？")},
        {5680, gathered.arg(QStringLiteral("GatheringdlyWeiWai2")).arg(184),
         QStringLiteral("]等委外完工验收单尚未分配费用,期末结账后不能再进行费用分配,是否继续？")},
        {5680, gathered.arg(QStringLiteral("GatheringdlyWeiWai2")).arg(214),
         QStringLiteral("]等简单委外完工验收单尚未分配费用,期末结账后不能再进行费用分配,是否继续？")},
        {3680,
         QStringLiteral(
             "SELECT coalesce(number, '') AS number FROM dlyndx WHERE vchcode NOT IN (SELECT "
             "SourceVchcode FROM SplitGatheringDly WHERE draft = 2) AND draft = 2 AND vchtype = 16 "
             "AND period = ?"),
         QStringLiteral("]等组装与拆分单尚未分配费用,期末结账后不能再进行费用分配,是否继续？")},
        {0,
         QStringLiteral(
             "SELECT coalesce(number, '') AS number FROM dlyndx WHERE vchcode IN (SELECT vchcode "
             "FROM dlya WHERE vchtype = 37 AND usedtype = '1' AND dlyorder NOT IN (SELECT "
             "Sourcedlyorder FROM dlya WHERE vchtype = 38 AND usedtype = '1' AND draft = 2) AND "
             "atypeid NOT IN (SELECT atype FROM DifAtype WHERE VchType = 37 AND FeeTypeID = '00005') "
             "AND draft = 2 AND period = ?)"),
         QStringLiteral("]等应付费用单尚未分配费用,是否进行期末结账？")},
    };
    QStringList questions;
    const int period = periodText.trimmed().toInt();
    for (const Check &c : checks) {
        if (edition < c.minEdition)
            continue;
        TClientDataSet ds;
        OpenSQL(c.sql, {period}, ds);
        if (!ds.IsEmpty())
            questions.append(QStringLiteral("有[") + ds.FieldByName(QStringLiteral("number")).AsString() +
                             c.text);
    }
    return questions;
}

int UnauditedBillCount(const QString &periodText)
{
    const int p = periodText.trimmed().toInt();
    return GetValueFromSQL(
               QStringLiteral("SELECT coalesce(count(*), 0) FROM ("
                              "SELECT 1 AS count FROM dlyndx WHERE draft = 4 AND Period = ? UNION ALL "
                              "SELECT 1 AS count FROM DlyndxSC WHERE Draft = 4 AND Period = ? UNION ALL "
                              "SELECT 1 AS count FROM DlyndxOrder WHERE Draft = 4 AND Period = ? UNION ALL "
                              "SELECT 1 AS count FROM T_XunJia_DlyNdx WHERE Draft = 4 AND Period = ? "
                              "UNION ALL "
                              "SELECT 1 AS count FROM DlyNdxCheck WHERE Draft = 4 AND Period = ? UNION ALL "
                              "SELECT 1 AS count FROM DlyNdxGX WHERE Draft = 4 AND Period = ?) t"),
               {p, p, p, p, p, p})
        .toInt();
}

QString UnauditedBillsQuestion(int count)
{
    return QStringLiteral("本期有") + QString::number(count) +
           QStringLiteral(
               "张单据未审核。点击“是”将忽略这些单据进行期末结账，“否”则返回到单据审核查询处理未审核单据。");
}

TRunResult RunCheckOut(bool autoImprove)
{
    QString refusal;
    const std::unique_ptr<TJobLock> job = uJobLock::StartPeriodJob(QStringLiteral("进销存期末结账"), refusal);
    if (!job)
        return Failed(TRunStatus::Refused, 0, refusal);
    TTransaction transaction;
    TRunResult result;
    if (autoImprove) {
        const int period = uOrvaneCommon::GetJxcPeriod();
        TClientDataSet ds;
        OpenProcByName(
            QStringLiteral("P_JXC_JXCCheckOutAutoImprove"),
            {QStringLiteral("@Period"), QStringLiteral("@szDate"), QStringLiteral("@szInputNo")},
            {period, uOrvaneCommon::GetPeriodEndDate(period), Udllsystemintf::GetCurrentOperatorId()}, ds);
        QStringList errors;
        for (ds.First(); !ds.Eof(); ds.Next()) {
            const qint64 vchcode = ds.FieldByName(QStringLiteral("Vchcode")).AsLargeInt();
            if (vchcode < 0)
                errors.append(ds.FieldByName(QStringLiteral("ErrorMessage")).AsString());
            else
                result.AdjustedBills = QStringLiteral("%1,%2").arg(result.AdjustedBills).arg(vchcode);
        }
        if (!errors.isEmpty()) {
            transaction.Rollback();
            TRunResult refused = Failed(TRunStatus::AdjustRefused, 0, QString());
            refused.Messages = errors;
            return refused;
        }
    }

    QStringList before, after;
    LoadPlugIns(QStringLiteral("T_Inf_PlugIn_JxcCheckOut"), before, after);
    QString errorMessage;
    if (!RunPlugIns(before, errorMessage)) {
        transaction.Rollback();
        return Failed(TRunStatus::PlugInFailed, 0, errorMessage);
    }

    int r = 0;
    try {
        r = ExecuteProcByName(QStringLiteral("P_Jxc_JxcCheckOut;1"),
                              {QStringLiteral("@szEndDate"), QStringLiteral("@szOperator")},
                              {Udllsystemintf::GetLogOnDate(), Udllsystemintf::GetCurrentOperatorId()});
    } catch (const std::exception &e) {
        const QString text = ExceptionText(e);
        if (!IsOverflow(text)) {
            transaction.Rollback();
            return Failed(TRunStatus::Error, 0, text);
        }
        r = OverflowCode;
    }
    if (r < 0) {
        transaction.Rollback();
        return Failed(TRunStatus::Refused, r, CheckOutMessage(r));
    }

    if (!RunPlugIns(after, errorMessage)) {
        transaction.Rollback();
        return Failed(TRunStatus::PlugInFailed, 0, errorMessage);
    }
    if (result.AdjustedBills != u"0") {
        // The adjusted goods are costed again in the next period.
        const QStringList codes = result.AdjustedBills.split(u',').mid(1);
        QStringList marks;
        QVariantList params;
        for (const QString &code : codes) {
            marks << QStringLiteral("?");
            params << code.toLongLong();
        }
        ExecuteSQL(QStringLiteral("UPDATE ptype SET CalcCost = 1, MonthCalcCost = 1 WHERE typeId IN "
                                  "(SELECT PtypeId FROM DlyOther WHERE Vchcode IN (%1))")
                       .arg(marks.join(QStringLiteral(", "))),
                   params);
    }
    transaction.Commit();
    return result;
}

QString CheckOutMessage(int code)
{
    switch (code) {
    case -4:
        return kNotOpenedMessage;
    case -5:
        return NotCostedMessage;
    case -2:
        return kClosedMessage;
    case OverflowCode:
        return kOverflowMessage;
    case -3:
    case -8144:
        return QStringLiteral("进销存期间已经进入年末，不能再做期末结账。");
    case -6:
        return QStringLiteral("生成新的会计年度时，有期间的天数为负，请在会计期间设置中手动增加新年度。");
    default:
        return kUpdateFailedMessage;
    }
}

TRunResult RunUnCheckOut()
{
    QString refusal;
    const std::unique_ptr<TJobLock> job =
        uJobLock::StartPeriodJob(QStringLiteral("进销存期末反结账"), refusal);
    if (!job)
        return Failed(TRunStatus::Refused, 0, refusal);
    TTransaction transaction;
    QStringList before, after;
    LoadPlugIns(QStringLiteral("T_Inf_PlugIn_JxcUnCheckOut"), before, after);
    QString errorMessage;
    if (!RunPlugIns(before, errorMessage)) {
        transaction.Rollback();
        return Failed(TRunStatus::PlugInFailed, 0, errorMessage);
    }
    int r = 0;
    try {
        r = ExecuteProcByName(
            QStringLiteral("P_Jxc_UnCheckOut;1"),
            {QStringLiteral("@cMode"), QStringLiteral("@szEndDate"), QStringLiteral("@szOperator")},
            {1, Udllsystemintf::GetLogOnDate(), Udllsystemintf::GetCurrentOperatorId()});
    } catch (const std::exception &e) {
        transaction.Rollback();
        return Failed(TRunStatus::Error, 0, ExceptionText(e));
    }
    if (r < 0) {
        transaction.Rollback();
        return Failed(TRunStatus::Refused, r, UnCheckOutMessage(r));
    }
    if (!RunPlugIns(after, errorMessage)) {
        transaction.Rollback();
        return Failed(TRunStatus::PlugInFailed, 0, errorMessage);
    }
    transaction.Commit();
    return TRunResult();
}

QString UnCheckOutMessage(int code)
{
    switch (code) {
    case -9217:
        return QStringLiteral("自动调整委托库生成的委托成本调价单凭证已经被合并，请先删除凭证。");
    case -9216:
        return QStringLiteral("自动调整委托库生成的委托成本调价单凭证已经被审核或签字，请先取消审核或签字。");
    case -9213:
        return QStringLiteral("自动调整委外库生成的委外调价单凭证已经被合并，请先删除凭证。");
    case -9212:
        return QStringLiteral("自动调整委外库生成的委外调价单凭证已经被审核或签字，请先取消审核或签字。");
    case -9211:
        return QStringLiteral("自动调整车间库生成的生产调价单凭证已经被合并，请先删除凭证。");
    case -9210:
        return QStringLiteral("自动调整车间库生成的生产调价单凭证已经被审核或签字，请先取消审核或签字。");
    case -9209:
        return QStringLiteral("自动调整库存生成的调价单凭证已经被合并，请先删除凭证。");
    case -9208:
        return QStringLiteral("自动调整库存生成的调价单凭证已经被审核或签字，请先取消审核或签字。");
    case -9207:
        return QStringLiteral("上期结转生成的凭证已经出纳签字，不能反结账。");
    case -9206:
        return QStringLiteral("上期结转生成的凭证已经作废，不能反结账。");
    case -9205:
        return QStringLiteral("系统还没有已结账的期间,不能反结账。");
    case -9204:
        return QStringLiteral("进销存上期还未结账，不能反结账。");
    case -9203:
        return QStringLiteral("财务已经结转，进销存不能反结账。");
    case -9202:
        return QStringLiteral("上期结转生成的凭证已经审核，不能反结账。");
    case -9201:
        return QStringLiteral("本期已有单据过账，不能反结账。");
    default:
        return QStringLiteral("进销存反结账时发生错误，请稍候重试。");
    }
}

} // namespace uJxcCheckOutCore
