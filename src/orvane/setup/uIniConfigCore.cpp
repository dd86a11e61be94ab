#include "uIniConfigCore.h"

#include "ClientDataSet.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uAtypeLenManage.h"
#include "uBillMessageComm.h"
#include "uDllComm.h"
#include "uOrvaneCommon.h"
#include "uTransformFunc.h"

namespace uIniConfigCore {

namespace {

const QDate kLastDate(2099, 12, 31);

void Say(const QString &text)
{
    Udllmessageintf::SuperMessageBox(text);
}

// Rows below `index` as natural months, the first one month after `end`.
void FollowNaturally(TPeriodRows &rows, int index, QDate end)
{
    for (int i = index + 1; i < rows.size(); ++i) {
        const QDate start = end.addDays(1);
        rows[i].Start = QDate(start.year(), start.month(), 1);
        rows[i].End = NaturalMonthEnd(rows[i].Start);
        end = rows[i].End;
    }
}

// Rows below `index` each start the day after the previous end and end one calendar month after it.
void FollowSameDay(TPeriodRows &rows, int index, QDate end)
{
    for (int i = index + 1; i < rows.size(); ++i) {
        rows[i].Start = end.addDays(1);
        rows[i].End = end.addMonths(1);
        end = rows[i].End;
    }
}

QString Text(const QDate &date)
{
    return date.toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace

int DayCount(const QDate &start, const QDate &end)
{
    if (!start.isValid() || !end.isValid())
        return 0;
    const qint64 days = start.daysTo(end);
    return int(days >= 0 ? days + 1 : days - 1);
}

QDate NaturalMonthEnd(const QDate &date)
{
    return QDate(date.year(), date.month(), date.daysInMonth());
}

TPeriodRows NaturalMonths(int year)
{
    TPeriodRows rows;
    for (int month = 1; month <= 12; ++month) {
        const QDate start(year, month, 1);
        rows.append({month, start, NaturalMonthEnd(start)});
    }
    return rows;
}

bool ApplyDateEdit(TPeriodRows &rows, int index, bool startEdited, const QDate &date)
{
    if (index < 0 || index >= rows.size() || rows[index].No == 0 || !date.isValid())
        return true;
    TPeriodRows edited = rows;
    TPeriodRow &row = edited[index];
    if (startEdited) {
        row.Start = date;
        row.End = NaturalMonthEnd(date);
        FollowNaturally(edited, index, row.End);
    } else {
        row.End = date;
        if (date == NaturalMonthEnd(date))
            FollowNaturally(edited, index, date);
        else
            FollowSameDay(edited, index, date);
    }
    for (int i = index; i < edited.size(); ++i)
        if (edited[i].Start > kLastDate || edited[i].End > kLastDate)
            return false;
    rows = edited;
    return true;
}

TPeriodRows LoadPeriods(int year, bool *stored)
{
    TClientDataSet records;
    const int result = Udlldbservice::OpenProcByName(
        QStringLiteral("P_GBL_CustomMonth"),
        {QStringLiteral("@Period"), QStringLiteral("@StartDate"), QStringLiteral("@EndDate"),
         QStringLiteral("@sMode"), QStringLiteral("@lYear")},
        {0, QString(), QString(), QStringLiteral("S"), QString::number(year)}, records);
    if (stored)
        *stored = result >= 0;
    if (result < 0)
        return NaturalMonths(year);
    TPeriodRows rows;
    for (records.First(); !records.Eof() && rows.size() < 12; records.Next()) {
        const auto date = [&records](int field) {
            return QDate::fromString(records.Fields(field).AsString().trimmed(),
                                     QStringLiteral("yyyy-MM-dd"));
        };
        rows.append({records.Fields(0).AsInteger(), date(1), date(2)});
    }
    while (rows.size() < 12)
        rows.append(TPeriodRow{});
    return rows;
}

QString CodeLengthCellProblem(int column, int value, int sum)
{
    if (column == 4 && value != 3 && value != 4)
        return kLevel1Length;
    if (value >= 6 || value < 1)
        return kLevelLength;
    if (sum > kMaxTotalLength)
        return kTotalLength;
    return {};
}

QString CodeLengthsProblem(const QStringList &levels)
{
    int sum = 0;
    for (int level = 1; level <= kLevels; ++level) {
        const QString text = levels.value(level - 1).trimmed();
        if (level >= 2 && (text.size() != 1 || text < QLatin1String("1") || text > QLatin1String("5")))
            return kLevelLength;
        sum += uTransformFunc::StrToIntOrZero(text);
    }
    return sum > kMaxTotalLength ? kTotalLength : QString();
}

QStringList LoadCodeLengths(int tradeId)
{
    TClientDataSet lengths;
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT AtypeLength1, AtypeLength2, AtypeLength3, AtypeLength4, AtypeLength5, "
                       "AtypeLength6, AtypeLength7, AtypeLength8, AtypeLength9 FROM TradeAtypeLength "
                       "WHERE TradeId = ?"),
        {tradeId}, lengths);
    QStringList levels;
    for (int level = 1; level <= kLevels; ++level) {
        if (lengths.IsEmpty()) {
            levels << uOrvaneCommon::GetSysValue(QStringLiteral("ATypeIDLength%1").arg(level));
        } else {
            lengths.First();
            levels << lengths.Fields(level - 1).AsString();
        }
    }
    return levels;
}

QList<TTradeInfo> ReadTrades()
{
    TClientDataSet trades;
    Udlldbservice::OpenSQL(QStringLiteral("SELECT t.TradeId, t.cName, t.QuillReportPath FROM Trade t "
                                          "WHERE EXISTS (SELECT 1 FROM ProductTrades "
                                          "WHERE MainVersion = ? AND TradeId = t.TradeId) ORDER BY t.iOrder"),
                           {uDllComm::DllParams.PubMainVersionNo}, trades);
    QList<TTradeInfo> list;
    for (trades.First(); !trades.Eof(); trades.Next())
        list.append({trades.Fields(0).AsInteger(), trades.Fields(2).AsString(), trades.Fields(1).AsString()});
    return list;
}

QString Caption(int captionNo)
{
    return Udlldbservice::GetValueFromSQL(
               QStringLiteral("SELECT Caption FROM T_Gbl_Caption WHERE CaptionNo = ?"), {captionNo})
        .toString();
}

const QList<TCompanyKey> &CompanyKeys()
{
    static const QList<TCompanyKey> keys = {
        {"companyfullname", "companyfullname"},
        {"companyname", "companyname"},
        {"address", "ADDRESS"},
        {"Tel", "TEL"},
        {"FaxNo", "FaxNo"},
        {"LegalMan", "LEGALMAN"},
        {"PostCode", "POSTCODE"},
        {"taxno", "TAXNO"},
        {"bankandtaxno", "BANKANDTAXNO"},
        {"UnitMemo", "UnitMemo"},
    };
    return keys;
}

void SaveCompany(const QStringList &values)
{
    for (int i = 0; i < CompanyKeys().size(); ++i)
        uOrvaneCommon::SetSysValue(QLatin1String(CompanyKeys()[i].Write), values.value(i));
}

bool FinalSave(const TIniConfigData &data)
{
    using uOrvaneCommon::SetSysValue;
    if (uOrvaneCommon::GetSysValue(QStringLiteral("iniover")) == QLatin1String("1")) {
        Say(kOpenedAlready);
        return false;
    }
    SetSysValue(QStringLiteral("InitSetup"), QStringLiteral("T"));
    SaveCompany(data.Company);
    SetSysValue(QStringLiteral("CurrencyCode"), data.CurrencyCode);
    SetSysValue(QStringLiteral("CurrencyName"), data.CurrencyName);
    SetSysValue(QStringLiteral("EnterpriseType"), QString::number(data.EnterpriseType));
    SetSysValue(QStringLiteral("EnterCharacter"), QString::number(data.EnterCharacter));
    SetSysValue(QStringLiteral("AdminID"), data.AdminID);
    SetSysValue(QStringLiteral("AdminName"), data.AdminName);
    SetSysValue(QStringLiteral("vtGroupNo"), QString::number(data.GroupNo));

    SetSysValue(QStringLiteral("TradeID"), QString::number(data.TradeId));
    SetSysValue(QStringLiteral("TradeAtype"), data.TradeReportPath);
    Udlldbservice::ExecuteProcByName(QStringLiteral("P_GBL_ChangeTrade;1"), {QStringLiteral("@prm_TradeID")},
                                     {data.TradeId});

    if (const QString problem = CodeLengthsProblem(data.Lengths); !problem.isEmpty()) {
        Say(problem);
        return false;
    }
    TAtypeLenManage lengths;
    for (int level = 2; level <= kLevels; ++level)
        lengths.SetLength(level, data.Lengths[level - 1].trimmed().toInt());
    if (!lengths.is_TempSign)
        return false;
    return SavePeriods(data);
}

bool SavePeriods(const TIniConfigData &data)
{
    TBillBatchMessage outOfRange;
    for (int i = 0; i < data.Periods.size(); ++i) {
        const int days = DayCount(data.Periods[i].Start, data.Periods[i].End);
        if (days < 0) {
            Say(QStringLiteral("你设置的第 %1 会计期间天数为负数，请重新设置。").arg(i + 1));
            return false;
        }
        if (days == 0) {
            Say(QStringLiteral("你设置的第 %1 会计期间天数为零，请重新设置。").arg(i + 1));
            return false;
        }
        if (days < 20 || days > 40)
            outOfRange.AddMsg(
                QStringLiteral("你设置的第 %1 会计期间不符合会计要求(在20天至40天之内)。").arg(i + 1));
    }
    if (outOfRange.HasMsg()) {
        outOfRange.AddMsg(QStringLiteral("你需要重新设置吗？"));
        if (outOfRange.ConfirmYesNoBatchMsg())
            return false;
    }

    const QString year = QString::number(data.Year);
    const QStringList names = {QStringLiteral("@Period"), QStringLiteral("@StartDate"),
                               QStringLiteral("@EndDate"), QStringLiteral("@sMode"),
                               QStringLiteral("@lYear")};
    if (Udlldbservice::ExecuteProcByName(QStringLiteral("P_GBL_CustomMonth"), names,
                                         {0, QString(), QString(), QStringLiteral("D"), year}) < 0) {
        Say(kConcurrentSave);
        return false;
    }
    for (int i = 0; i < data.Periods.size(); ++i) {
        const TPeriodRow &row = data.Periods[i];
        if (Udlldbservice::ExecuteProcByName(
                QStringLiteral("P_GBL_CustomMonth"), names,
                {i + 1, Text(row.Start), Text(row.End), QStringLiteral("I"), year}) < 0) {
            Say(kConcurrentSave);
            return false;
        }
    }

    using uOrvaneCommon::SetSysValue;
    SetSysValue(QStringLiteral("CurrentYear"), year);
    const int opening = data.Year * 100 + data.StartPeriod;
    for (const char *key : {"OpenPeriod", "JxcPeriod", "Period", "RPOpenMonth"})
        SetSysValue(QLatin1String(key), QString::number(opening));
    SetSysValue(QStringLiteral("inidate"),
                Udlldbservice::GetValueFromSQL(
                    QStringLiteral("SELECT StartDate FROM T_Gbl_MonthProc WHERE Period = ?"), {opening})
                    .toString());

    // Counters and per-period rows keep their month or day and take the account year.
    using Udlldbservice::ExecuteSQL;
    ExecuteSQL(
        QStringLiteral("UPDATE T_GZ_PeriodTaxRateGroup SET AccountPeriod = (AccountPeriod - AccountYear * "
                       "100) + ? * 100, AccountYear = ?"),
        {data.Year, data.Year});
    ExecuteSQL(QStringLiteral("UPDATE T_CW_WaibiRate SET Period = (Period - Year * 100) + ? * 100, Year = ?"),
               {data.Year, data.Year});
    ExecuteSQL(QStringLiteral("UPDATE billmonthnumber SET Year = ?"), {data.Year});
    ExecuteSQL(QStringLiteral("UPDATE billdaynumber SET BillDate = ? || substr(BillDate, 5)"), {year});
    ExecuteSQL(QStringLiteral("UPDATE BillYearNumber SET Year = ?"), {data.Year});
    ExecuteSQL(QStringLiteral("UPDATE AllBillsNumber SET Year = ?"), {data.Year});
    return true;
}

} // namespace uIniConfigCore
