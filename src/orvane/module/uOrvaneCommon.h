#pragma once
// Routines every window uses: named system values and switches, rights checks, bill numbers,
// message texts, inventory and accounting periods.

#include <QString>
#include <QStringList>
#include <array>

class QComboBox;

namespace uOrvaneCommon {

// Writes an event of the current operator on this computer into the system event log
// (p_Jxc_GetEventLog mode I), inside the open transaction when there is one.
void WriteSysEvent(const QString &event);
// Module-wide display formats, set at unit start and cleared at unit end.
extern QString DisplayFormat2, DisplayFormat4, DisplayFormat5, DisplayFormat6, DisplayFormat7, DisplayFormat8;
void InitDisplayFormats();
void ClearDisplayFormats();

// System values and switches
QString GetSysValue(const QString &name);
void SetSysValue(const QString &name, const QString &value);
void SetSysConStats(int conId, bool value);
QString GetCurrentYear();
int GetCurrentPeriod();
int GetJxcPeriod();
bool IsIniNotOver();
bool AnySysCon134To138();
bool HasPlugInVchtype260000();

// Rights of the current operator; the manager holds every right.
using TDetailFlags = std::array<bool, 151>; // indexed by detail number 0..150
bool HasRightByLimitNo(int functionNo);
bool HasRightByClickName(const QString &clickName);
QString GetFunctionLimitString(int functionNo); // "1"/"0" per detail 1..150 (151 "1" for the manager)
void GetFunctionDetailFlags(int functionNo, TDetailFlags &flags);
bool CheckLimitDetail2(int functionNo);
bool CheckLimitDetail145(int functionNo);
bool HasLimitPowerAt(int limitNo, int position);

// Bill numbers and message texts
bool GetVchNumber(int work, int vchType, const QString &date, QString &number, const QString &numberIn);
bool GetVchNumber(int vchType, const QString &date); // work mode 3, empty number-in
QString GetMessageText(int messageNo);

// Periods and dates ("yyyy-mm-dd")
bool GetPeriodDates(int period, QString &beginDate, QString &endDate);
QString GetPeriodEndDate(int period);
bool GetJxcPeriodDates(QString &beginDate, QString &endDate);
QString GetJxcBeginDate();
QString GetJxcEndDate();
void GetJxcPeriodText(QString &text);
QStringList GetPeriodList(bool fromOpenPeriod);
void FillPeriodItems(QComboBox *control, bool fromOpenPeriod);
// Windows of the host's main form other than its desktop page that are still open (a closed page
// waiting for its deletion no longer counts).
int OtherWindowCount();
// Asks "当前打开了其他窗口，是否全部关闭？" when other windows are open and closes them on Yes; false
// when the user keeps them or one of them refuses to close.
bool ConfirmCloseOtherWindows();
} // namespace uOrvaneCommon
