#pragma once
// The work of the account-set initialisation without its window: the period calendar rules, the
// code-length checks, the trades offered, and the final save (system values, trade, code lengths,
// periods, bill-number counters re-based on the account year). The wizard and orvane-admin init both
// run it; messages go through the message service.

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

namespace uIniConfigCore {

// ---- periods ------------------------------------------------------------------------------------
struct TPeriodRow
{
    int No = 0; // 1..12; 0 = an empty row
    QDate Start;
    QDate End;
    bool operator==(const TPeriodRow &) const = default;
};
using TPeriodRows = QList<TPeriodRow>;

// Whole days from start to end, counting both ends (the 1st to the 31st is 31; end before start < 0).
int DayCount(const QDate &start, const QDate &end);
// Last day of the date's month.
QDate NaturalMonthEnd(const QDate &date);
// The twelve natural months of the year, numbered 1..12.
TPeriodRows NaturalMonths(int year);
// A date picked for row `index` (0-based): the start of the first row or the end of any row. The rows
// below follow as natural months when the new end (or the first row's new start) is on a month's
// natural boundary, else as same-day months. False, rows unchanged, when a date would pass 2099-12-31.
bool ApplyDateEdit(TPeriodRows &rows, int index, bool startEdited, const QDate &date);
// The calendar stored for the year (P_GBL_CustomMonth S); the natural months when there is none.
TPeriodRows LoadPeriods(int year, bool *stored = nullptr);

// ---- code lengths -------------------------------------------------------------------------------
constexpr int kLevels = 9;
constexpr int kMaxTotalLength = 25;
constexpr int kMaxLevelLength = 5;
// The problem of a code-length cell (column 4 is level 1, 5..12 levels 2..9) holding `value`, with
// `sum` the total over the nine levels; empty when the cell is acceptable.
QString CodeLengthCellProblem(int column, int value, int sum);
// The check of the final save over the nine level cells (levels 1..9, texts as typed).
QString CodeLengthsProblem(const QStringList &levels);
// The nine level lengths of a trade (its defaults), else those in use (ATypeIDLength1..9).
QStringList LoadCodeLengths(int tradeId);

// ---- trades and captions -----------------------------------------------------------------------
class TTradeInfo
{
public:
    int FId = 0;
    QString FReportPath;
    QString FName;
};
// The trades the edition offers, in their order.
QList<TTradeInfo> ReadTrades();
// A numbered caption of the set-up windows ("%s" kept).
QString Caption(int captionNo);

// ---- final save ---------------------------------------------------------------------------------
struct TCompanyKey
{
    const char *Read;
    const char *Write;
};
// The ten company values in their order: the key read at load and the key written.
const QList<TCompanyKey> &CompanyKeys();

struct TIniConfigData
{
    QStringList Company; // ten values in CompanyKeys() order
    QString CurrencyCode = QStringLiteral("RMB");
    QString CurrencyName = QStringLiteral("人民币");
    int EnterpriseType = 0;
    int EnterCharacter = 0;
    QString AdminID;
    QString AdminName;
    int GroupNo = 1; // voucher-word group 1..3
    int TradeId = -1;
    QString TradeReportPath;
    QStringList Lengths; // levels 1..9
    int Year = 0;
    int StartPeriod = 1; // 1..12
    TPeriodRows Periods;
};

// Writes the ten company values (keys written).
void SaveCompany(const QStringList &values);
// The set-up's final save, step by step; stops at the first failure with its message (what was written
// before stays written). True when every step succeeded.
bool FinalSave(const TIniConfigData &data);
// Only the period part of it (validation, calendar, opening period, re-based counters).
bool SavePeriods(const TIniConfigData &data);

// Texts
inline const QString kOpenedAlready = QStringLiteral("系统已经开账，请关闭软件重新登陆。");
inline const QString kLevel1Length = QStringLiteral("第一级科目长度只能是3或4。");
inline const QString kLevelLength = QStringLiteral("科目编码单级长度只能输入1到5之间的整数，请检查。");
inline const QString kTotalLength = QStringLiteral("科目编码长度不能超过25，请检查。");
inline const QString kPast2099 = QStringLiteral("起止日期已超过2099年，修改日期失败。");
inline const QString kConcurrentSave = QStringLiteral("可能是并发操作引起数据库保存时发生错误，请稍候再试。");

} // namespace uIniConfigCore
