#pragma once
// Shared records and enumerations of the host runtime.

#include <QList>
#include <QString>
#include <QVariant>

// Message box kinds, by ordinal: 0 error, 1 warning, 2 information, 3 question, the rest host styles.
enum class TMessageBoxType : int {
    mtError = 0,
    mtWarning = 1,
    mtInformation = 2,
    mtConfirmation = 3,
    mtCustom = 4,
    mtSuccess = 5,
    mtFailure = 6,
    mtStop = 7,
    mtHint = 8,
    mtQuery = 9,
    mtNotice = 10,
    mtLongText = 11,
    mtNone = 12,
};

// Message box buttons, by ordinal; the usual set is {mbOK} (5) with default mbDefault (12).
enum class TMessageBoxButton : int {
    mbNone = 0,
    mbYes = 1,
    mbNo = 2,
    mbCancel = 3,
    mbAbort = 4,
    mbOK = 5,
    mbRetry = 6,
    mbIgnore = 7,
    mbAll = 8,
    mbNoToAll = 9,
    mbYesToAll = 10,
    mbHelp = 11,
    mbDefault = 12,
};

// A set of TMessageBoxButton as bit flags (bit n = ordinal n).
using TMessageBoxButtons = unsigned int;
constexpr TMessageBoxButtons ButtonSet(std::initializer_list<TMessageBoxButton> buttons)
{
    TMessageBoxButtons set = 0;
    for (auto b : buttons)
        set |= 1u << static_cast<int>(b);
    return set;
}

// Status-bar parts of the host's main window, by ordinal 0 to 5.
enum class TRefreshSB : int {
    rsbAccount = 0,
    rsbOperator = 1,
    rsbLogOnDate = 2,
    rsbPeriod = 3,
    rsbMessage = 4,
    rsbAll = 5,
};
using TRefreshSBSet = unsigned int; // bit n = ordinal n
constexpr TRefreshSBSet RefreshSet(std::initializer_list<TRefreshSB> parts)
{
    TRefreshSBSet set = 0;
    for (auto p : parts)
        set |= 1u << static_cast<int>(p);
    return set;
}

// One menu registration record: six fields in order.
struct TMenuRegType
{
    QString ModuleName; // 1: module file name
    int Value1 = 0;     // 2
    int Value2 = 0;     // 3
    int Value3 = 0;     // 4
    QString Text;       // 5
    QString Pair;       // 6: "n,m" or empty
};
using TMenuRegArray = QList<TMenuRegType>;

// One per-row result of a bill save or audit, shown by the host's batch box.
struct TBillMessageInfo
{
    int Vchcode = 0;
    int Vchtype = 0;
    QString Number;
    QString Date;
    QString Message;
};
using TBillMessageList = QList<TBillMessageInfo>;

// A base-data record picked in a selection dialog.
struct TBaseRecord
{
    QString TypeId;
    QString UserCode;
    QString FullName;
    QVariantMap Values;
};
using TBaseRecordList = QList<TBaseRecord>;
