#include "uOrvaneCommon.h"

#include <QDateTime>
#include <QSysInfo>

#include "ClientDataSet.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uDllComm.h"
#include "uStringConst.h"
#include "uTransformFunc.h"

#include <QComboBox>
#include <QMdiArea>
#include <QMdiSubWindow>

namespace uOrvaneCommon {

void WriteSysEvent(const QString &event)
{
    const QString time = QDateTime::currentDateTime().toString(QStringLiteral("yyyy/MM/dd hh:mm:ss"));
    Udlldbservice::ExecuteProcByName(
        QStringLiteral("p_Jxc_GetEventLog"),
        {QStringLiteral("@cMode"), QStringLiteral("@DATE"), QStringLiteral("@Custom1"),
         QStringLiteral("@Custom2"), QStringLiteral("@Custom3"), QStringLiteral("@szStrings")},
        {QStringLiteral("I"), time, QSysInfo::machineHostName(), Udllsystemintf::GetCurrentOperatorId(),
         Udllsystemintf::GetCurrentOperatorName(), event});
}
using namespace Udlldbservice;

QString DisplayFormat2, DisplayFormat4, DisplayFormat5, DisplayFormat6, DisplayFormat7, DisplayFormat8;

void InitDisplayFormats()
{
    DisplayFormat2 = QStringLiteral("0.00");
    DisplayFormat4 = QStringLiteral("0.0000");
    DisplayFormat5 = QStringLiteral("0.00000");
    DisplayFormat6 = QStringLiteral("0.000000");
    DisplayFormat7 = QStringLiteral("0.0000000");
    DisplayFormat8 = QStringLiteral("0.00000000");
}

void ClearDisplayFormats()
{
    for (QString *f : {&DisplayFormat2, &DisplayFormat4, &DisplayFormat5, &DisplayFormat6, &DisplayFormat7,
                       &DisplayFormat8})
        f->clear();
}

namespace {
QString LogOnDateText()
{
    return Udllsystemintf::GetLogOnDateTime().date().toString(QStringLiteral("yyyy-MM-dd"));
}

bool IsOne(const QVariant &v)
{
    return v.toInt() == 1;
}
} // namespace

QString GetSysValue(const QString &name)
{
    TParamList out;
    ExecuteProcByName(QStringLiteral("P_GBL_GetSysValue"),
                      {QStringLiteral("@szName"), QStringLiteral("@szReturn")}, {name, QString()}, &out);
    return out.ParamByName(QStringLiteral("@szReturn")).toString();
}

void SetSysValue(const QString &name, const QString &value)
{
    ExecuteProcByName(QStringLiteral("P_GBL_SetSysValue"),
                      {QStringLiteral("@szName"), QStringLiteral("@szValue")}, {name, value});
}

void SetSysConStats(int conId, bool value)
{
    ExecuteSQL(QStringLiteral("UPDATE T_Gbl_SysCon SET Stats = ? WHERE ConId = ?"), {value ? 1 : 0, conId});
    Udllsystemintf::SetOneSysCon(conId, value);
}

QString GetCurrentYear()
{
    return GetSysValue(QStringLiteral("CurrentYear"));
}
int GetCurrentPeriod()
{
    return uTransformFunc::StrToIntLoose(GetSysValue(QStringLiteral("Period")));
}
int GetJxcPeriod()
{
    return uTransformFunc::StrToIntLoose(GetSysValue(QStringLiteral("JxcPeriod")));
}
bool IsIniNotOver()
{
    return GetSysValue(QStringLiteral("iniover")) != QLatin1String("1");
}

bool AnySysCon134To138()
{
    if (uDllComm::DllParams.PubVersion2 < 3680)
        return false;
    for (int conId = 134; conId <= 138; ++conId)
        if (Udllsystemintf::CheckSysCon(conId))
            return true;
    return false;
}

bool HasPlugInVchtype260000()
{
    return IsOne(GetValueFromSQL(QStringLiteral("SELECT CASE WHEN EXISTS (SELECT 1 FROM T_Inf_PlugIn_Vchtype "
                                                "WHERE MainVersion = 'CS' AND Vchtype = 260000) "
                                                "THEN 1 ELSE 0 END")));
}

bool HasRightByLimitNo(int functionNo)
{
    if (Udllsystemintf::GetCurrIsManager())
        return true;
    const QString op = Udllsystemintf::GetCurrentOperatorId();
    return IsOne(GetValueFromSQL(
        QStringLiteral("SELECT CASE WHEN EXISTS(SELECT 1 FROM T_Gbl_UserPower t INNER JOIN UserToGroup u "
                       "ON t.GroupId = u.GroupId WHERE t.LimitNo = ? AND u.UserId = ?) "
                       "OR EXISTS(SELECT 1 FROM T_PlugIn_UserPower t INNER JOIN UserToGroup u "
                       "ON t.GroupId = u.GroupId WHERE t.Version = 'CS' AND t.LimitNo = ? AND u.UserId = ?) "
                       "THEN 1 ELSE 0 END"),
        {functionNo, op, functionNo, op}));
}

bool HasRightByClickName(const QString &clickName)
{
    if (Udllsystemintf::GetCurrIsManager())
        return true;
    return IsOne(GetValueFromSQL(
        QStringLiteral(
            "SELECT CASE WHEN EXISTS(SELECT 1 FROM T_Gbl_UserPower t "
            "INNER JOIN T_Gbl_FunctionList f ON t.LimitNo = f.FunctionNo "
            "INNER JOIN UserToGroup u ON t.GroupId = u.GroupId "
            "WHERE f.Version IN ('e', 'em') AND f.OnClick = ? AND u.UserId = ?) THEN 1 ELSE 0 END"),
        {clickName, Udllsystemintf::GetCurrentOperatorId()}));
}

QString GetFunctionLimitString(int functionNo)
{
    if (Udllsystemintf::GetCurrIsManager())
        return QString(151, QLatin1Char('1'));
    QString detail(151, QLatin1Char('1')); // index = detail number
    const QString op = Udllsystemintf::GetCurrentOperatorId();
    TClientDataSet powers, details;
    OpenSQL(
        QStringLiteral("SELECT u.LimitPower FROM T_Gbl_UserPower AS u, UserToGroup AS p "
                       "WHERE u.LimitNo = ? AND u.GroupId = p.GroupId AND p.UserId = ? "
                       "UNION ALL SELECT u.LimitPower FROM T_PlugIn_UserPower AS u, UserToGroup AS p "
                       "WHERE u.Version = 'CS' AND u.LimitNo = ? AND u.GroupId = p.GroupId AND p.UserId = ?"),
        {functionNo, op, functionNo, op}, powers);
    OpenSQL(QStringLiteral("SELECT DetailNo FROM T_Gbl_PowerRelation WHERE LimitNo = ? "
                           "UNION ALL SELECT DetailNo FROM T_PlugIn_PowerRelation WHERE Version = 'CS' "
                           "AND LimitNo = ?"),
            {functionNo, functionNo}, details);
    QList<int> detailNos;
    for (details.First(); !details.Eof(); details.Next()) {
        const int no = details.FieldByName(QStringLiteral("DetailNo")).AsInteger();
        if (no >= 0 && no <= 150) {
            detailNos.append(no);
            detail[no] = QLatin1Char('0');
        }
    }
    for (powers.First(); !powers.Eof(); powers.Next()) {
        const QString power = powers.FieldByName(QStringLiteral("LimitPower")).AsString();
        for (int no : detailNos)
            if (no >= 1 && no <= power.size() && power.at(no - 1) == QLatin1Char('1'))
                detail[no] = QLatin1Char('1');
    }
    return detail.mid(1);
}

void GetFunctionDetailFlags(int functionNo, TDetailFlags &flags)
{
    TClientDataSet ds;
    OpenSQL(QStringLiteral(
                "SELECT tp.DetailNo FROM T_Gbl_FunctionList t1 INNER JOIN T_Gbl_PowerRelation tp "
                "ON t1.FunctionNo = tp.LimitNo WHERE t1.FunctionNo = ? "
                "UNION ALL SELECT tp.DetailNo FROM T_PlugIn_Menu t1 INNER JOIN T_PlugIn_PowerRelation tp "
                "ON t1.Version = tp.Version AND t1.FunctionNo = tp.LimitNo "
                "WHERE t1.Version = 'CS' AND t1.FunctionNo = ?"),
            {functionNo, functionNo}, ds);
    for (ds.First(); !ds.Eof(); ds.Next()) {
        const int no = ds.FieldByName(QStringLiteral("DetailNo")).AsInteger();
        if (no >= 0 && no <= 150)
            flags[no] = true;
    }
}

namespace {
bool LimitCharIsOne(int functionNo, int position)
{
    const QString rights = GetFunctionLimitString(functionNo);
    return position <= rights.size() && rights.at(position - 1) == QLatin1Char('1');
}
} // namespace

bool CheckLimitDetail2(int functionNo)
{
    return LimitCharIsOne(functionNo, 2);
}
bool CheckLimitDetail145(int functionNo)
{
    return LimitCharIsOne(functionNo, 145);
}

bool HasLimitPowerAt(int limitNo, int position)
{
    if (Udllsystemintf::GetCurrIsManager())
        return true;
    const QString op = Udllsystemintf::GetCurrentOperatorId();
    TClientDataSet ds;
    OpenSQL(
        QStringLiteral("SELECT coalesce(a.LimitPower, '') AS limitpower FROM T_Gbl_UserPower a, \"group\" b "
                       "WHERE a.GroupId = b.id AND a.LimitNo = ? "
                       "AND a.GroupId IN (SELECT GroupId FROM UserToGroup WHERE UserId = ?) "
                       "UNION ALL SELECT coalesce(a.LimitPower, '') AS limitpower FROM T_PlugIn_UserPower a, "
                       "\"group\" b WHERE a.GroupId = b.id AND a.Version = 'CS' AND a.LimitNo = ? "
                       "AND a.GroupId IN (SELECT GroupId FROM UserToGroup WHERE UserId = ?)"),
        {limitNo, op, limitNo, op}, ds);
    for (ds.First(); !ds.Eof(); ds.Next()) {
        const QString power = ds.FieldByName(QStringLiteral("limitpower")).AsString();
        if (position >= 1 && power.size() >= position && power.at(position - 1) == QLatin1Char('1'))
            return true;
    }
    return false;
}

bool GetVchNumber(int work, int vchType, const QString &date, QString &number, const QString &numberIn)
{
    TParamList out;
    const int result =
        ExecuteProcByName(QStringLiteral("p_jxc_GetVchNumber"),
                          {QStringLiteral("@nWork"), QStringLiteral("@nVchType"), QStringLiteral("@szDate"),
                           QStringLiteral("@szNumberIn"), QStringLiteral("@szNumber")},
                          {work, vchType, date, numberIn, QString()}, &out);
    number = out.ParamByName(QStringLiteral("@szNumber")).toString();
    return result == 0;
}

bool GetVchNumber(int vchType, const QString &date)
{
    QString number;
    return GetVchNumber(3, vchType, date, number, QString());
}

QString GetMessageText(int messageNo)
{
    const QVariant v =
        GetValueFromSQL(QStringLiteral("SELECT DisPlayName FROM T_Gbl_MessageList WHERE MessageNo = ?"),
                        {std::abs(messageNo)});
    return v.isNull() ? QString() : v.toString();
}

bool GetPeriodDates(int period, QString &beginDate, QString &endDate)
{
    TParamList out;
    const int result = ExecuteProcByName(QStringLiteral("p_gbl_GetPeriodOrDate;1"),
                                         {QStringLiteral("@lMode"), QStringLiteral("@lPeriod"),
                                          QStringLiteral("@szBeginDate"), QStringLiteral("@szEndDate")},
                                         {3, period, QString(), QString()}, &out);
    if (out.IsEmpty() || result < 0) {
        beginDate = endDate = LogOnDateText();
    } else {
        beginDate = out.ParamByName(QStringLiteral("@szBeginDate")).toString();
        endDate = out.ParamByName(QStringLiteral("@szEndDate")).toString();
    }
    return true;
}

QString GetPeriodEndDate(int period)
{
    QString begin, end;
    GetPeriodDates(period, begin, end);
    return end;
}

bool GetJxcPeriodDates(QString &beginDate, QString &endDate)
{
    TParamList out;
    const int result = ExecuteProcByName(QStringLiteral("p_gbl_GetJxcPeriodOrDate;1"),
                                         {QStringLiteral("@lMode"), QStringLiteral("@lPeriod"),
                                          QStringLiteral("@szBeginDate"), QStringLiteral("@szEndDate")},
                                         {1, 0, QString(), QString()}, &out);
    if (out.IsEmpty())
        return false;
    beginDate = out.ParamByName(QStringLiteral("@szBeginDate")).toString();
    endDate = out.ParamByName(QStringLiteral("@szEndDate")).toString();
    return result >= 0;
}

QString GetJxcBeginDate()
{
    QString begin, end;
    return GetJxcPeriodDates(begin, end) && !begin.isEmpty() ? begin : LogOnDateText();
}

QString GetJxcEndDate()
{
    QString begin, end;
    return GetJxcPeriodDates(begin, end) && !end.isEmpty() ? end : LogOnDateText();
}

void GetJxcPeriodText(QString &text)
{
    const QString value =
        GetValueFromSQL(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'JxcPeriod'"))
            .toString();
    if (!value.isEmpty())
        text = value;
}

QStringList GetPeriodList(bool fromOpenPeriod)
{
    TClientDataSet ds;
    if (fromOpenPeriod)
        OpenSQL(QStringLiteral(
                    "SELECT Year, Period FROM T_Gbl_MonthProc WHERE Period >= "
                    "(SELECT CAST(SubValue AS INTEGER) FROM T_Gbl_SysDataCw WHERE SubName = 'OpenPeriod') "
                    "ORDER BY Year, Period"),
                ds);
    else
        OpenSQL(QStringLiteral("SELECT Year, Period FROM T_Gbl_MonthProc ORDER BY Year, Period"), ds);
    QStringList periods;
    for (ds.First(); !ds.Eof(); ds.Next())
        periods << ds.FieldByName(QStringLiteral("Period")).AsString();
    return periods;
}

void FillPeriodItems(QComboBox *control, bool fromOpenPeriod)
{
    for (const QString &p : GetPeriodList(fromOpenPeriod))
        control->addItem(p);
}

int OtherWindowCount()
{
    QWidget *mainForm = uDllComm::DllParams.FparForm;
    const QMdiArea *area = mainForm ? mainForm->findChild<QMdiArea *>() : nullptr;
    if (!area)
        return 0;
    int count = 0;
    for (const QMdiSubWindow *page : area->subWindowList())
        if (!page->isHidden() && page->widget() != uDllComm::DllParams.MainFaceForm)
            ++count;
    return count;
}

bool ConfirmCloseOtherWindows()
{
    if (OtherWindowCount() == 0)
        return true;
    if (!Udllmessageintf::ConfirmYesNo(uStringConst::CloseOtherWindows, TMessageBoxType::mtInformation,
                                       QString()))
        return false;
    Udllsystemintf::CloseAllPage();
    return OtherWindowCount() == 0;
}
} // namespace uOrvaneCommon
