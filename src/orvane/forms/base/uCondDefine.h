#pragma once
// Condition definitions of the query windows: the items the condition box shows (TConditionSet), the
// definition as a whole (TCondition), the module's date-range definition, the quick date ranges and the
// condition line of a query window.

#include <QBoxLayout>
#include <QDate>
#include <QLabel>
#include <QList>
#include <QString>
#include <QStringList>

#include "Kvcontrols.h"
#include "kvParentFormUnit.h"

enum class TControlType : int {
    ctRadioButton,
    ctCheckBox,
    ctButtonEdit,
    ctRadioGroup,
    ctComboBox,
    ctMemo,
    ctDate,
    ctEmptyDate,
    ctEdit,
    ctValueComBoBox,
    ctNone,
};

// Condition types the framework itself knows (the type is also the index of the value in Params).
constexpr int ctBeginDate = 17;
constexpr int ctEndDate = 18;
constexpr int ctProduceDate = 79;
// Params entries receiving the condition box's own settings: the save-dates choice and the unit type.
constexpr int ParamSaveDate = 126;
constexpr int ParamUnitType = 147;
// Selection option: several records may be chosen.
constexpr unsigned int soMultiSelect = 1u;

struct TConditionSet
{
    int CustomCaptionNo = 0;
    int ConditionType = -1;   // -1: the item has no Params entry
    QString KVBasicType;      // base-data kind of a button edit ("Ptype", "Stock", ...)
    QStringList DisplayValue; // texts of a choice control
    QStringList ReturnValue;  // values of a choice control, parallel to DisplayValue
    unsigned int SelectOptions = 0;
    TControlType ControlType = TControlType::ctNone;
    TCMDataType DataType = TCMDataType::cdtString;
    int DataDecimal = 0;
    bool Disabled = false;
    bool Invisible = false;
    bool Required = false;
    bool ReadOnly = false;
    int Tag = 0;
    int Rec = 0;
    bool Checked = false;
    QString Caption;
    bool CanModifyLabel = false;
    QStringList BtnEditFieldsList;
    double MaxValue = 0;
    double MinValue = 0;
    QString MaxDate; // "yyyy-MM-dd"; empty: no bound
    QString MinDate;
    int MaxLength = 0;
    bool CanModifySelectEdit = false;
    QString CustomCode;
    QString Vchtype;
};

struct TCondition
{
    QList<TConditionSet> ConditionSet;
    QString Title;
    int TitleNo = 0;
    int ImageIndex = 0;
    int NO = 0;
};

namespace uCondDefine {
// The date-range definition the module's windows pass: begin date (17) and end date (18), both ctDate;
// TitleNo 1008, ImageIndex 1. Built once.
const TCondition &DateRangeCondition();

// Captions behind caption numbers (items without their own caption, box titles).
QString CaptionOfNo(int captionNo);
// The item's caption, or the text of its caption number.
QString ItemCaption(const TConditionSet &item);

// Quick date ranges by code: "week" (Monday..Sunday), "lastweek", "month", "lastmonth", "querter",
// "lastquerter", "year", taken around the given day. False for any other code.
bool QuickDateRange(const QString &code, const QDate &today, QDate &beginDate, QDate &endDate);

// The condition line: every shown item as caption " : " value, three blanks between items; begin and
// end dates as begin + "--" + end, after "查询期间 : " when withDateTitle.
QString ConditionInfoText(const TCondition &condition, const TOpenParams &params, bool withDateTitle);

// The widgets of a query window's condition line: the condition text on the left, the window's own
// controls on the right (PanelRight has a margin-less horizontal layout).
struct TConditionLine
{
    QWidget *PanelLeft;
    QWidget *PanelRight;
    QLabel *allconditioninfo;
};
// Builds the condition line inside parent and appends it to layout.
TConditionLine BuildConditionLine(QWidget *parent, QBoxLayout *layout);
} // namespace uCondDefine
