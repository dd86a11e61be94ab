#include "uCondDefine.h"

namespace uCondDefine {
namespace {
TCondition MakeDateRangeCondition()
{
    TCondition condition;
    condition.TitleNo = 1008;
    condition.ImageIndex = 1;
    TConditionSet begin;
    begin.ConditionType = ctBeginDate;
    begin.ControlType = TControlType::ctDate;
    begin.DataType = TCMDataType::cdtDate;
    begin.Caption = QStringLiteral("开始日期");
    TConditionSet end = begin;
    end.ConditionType = ctEndDate;
    end.Caption = QStringLiteral("结束日期");
    condition.ConditionSet = {begin, end};
    return condition;
}

// The value of an item as the condition line shows it: choice values by their display text.
QString DisplayText(const TConditionSet &item, const QVariant &value)
{
    switch (item.ControlType) {
    case TControlType::ctCheckBox:
    case TControlType::ctRadioButton:
        return value.toBool() ? QStringLiteral("是") : QStringLiteral("否");
    case TControlType::ctRadioGroup:
    case TControlType::ctComboBox:
    case TControlType::ctValueComBoBox: {
        int index = item.ReturnValue.indexOf(value.toString());
        if (index < 0 && item.ReturnValue.isEmpty() && value.canConvert<int>())
            index = value.toInt();
        return index >= 0 && index < item.DisplayValue.size() ? item.DisplayValue.at(index)
                                                              : value.toString();
    }
    default:
        return value.toString();
    }
}
} // namespace

const TCondition &DateRangeCondition()
{
    static const TCondition condition = MakeDateRangeCondition();
    return condition;
}

QString CaptionOfNo(int captionNo)
{
    switch (captionNo) {
    case 1008:
        return QStringLiteral("日期范围");
    default:
        return QString();
    }
}

QString ItemCaption(const TConditionSet &item)
{
    return item.Caption.isEmpty() ? CaptionOfNo(item.CustomCaptionNo) : item.Caption;
}

bool QuickDateRange(const QString &code, const QDate &today, QDate &beginDate, QDate &endDate)
{
    const QDate monday = today.addDays(1 - today.dayOfWeek());
    const QDate monthStart(today.year(), today.month(), 1);
    const QDate quarterStart(today.year(), (today.month() - 1) / 3 * 3 + 1, 1);
    if (code == QLatin1String("week")) {
        beginDate = monday;
        endDate = monday.addDays(6);
    } else if (code == QLatin1String("lastweek")) {
        beginDate = monday.addDays(-7);
        endDate = monday.addDays(-1);
    } else if (code == QLatin1String("month")) {
        beginDate = monthStart;
        endDate = monthStart.addMonths(1).addDays(-1);
    } else if (code == QLatin1String("lastmonth")) {
        beginDate = monthStart.addMonths(-1);
        endDate = monthStart.addDays(-1);
    } else if (code == QLatin1String("querter")) {
        beginDate = quarterStart;
        endDate = quarterStart.addMonths(3).addDays(-1);
    } else if (code == QLatin1String("lastquerter")) {
        beginDate = quarterStart.addMonths(-3);
        endDate = quarterStart.addDays(-1);
    } else if (code == QLatin1String("year")) {
        beginDate = QDate(today.year(), 1, 1);
        endDate = QDate(today.year(), 12, 31);
    } else {
        return false;
    }
    return true;
}

QString ConditionInfoText(const TCondition &condition, const TOpenParams &params, bool withDateTitle)
{
    QStringList parts;
    QString beginDate, endDate;
    int datePos = -1; // the date range keeps the place of its first item
    for (const TConditionSet &item : condition.ConditionSet) {
        if (item.Invisible || item.ControlType == TControlType::ctNone || item.ConditionType < 0 ||
            item.ConditionType >= OpenParamCount)
            continue;
        const QVariant &value = params[item.ConditionType];
        if (item.ConditionType == ctBeginDate || item.ConditionType == ctEndDate) {
            (item.ConditionType == ctBeginDate ? beginDate : endDate) = value.toString();
            if (datePos < 0) {
                datePos = parts.size();
                parts.append(QString());
            }
            continue;
        }
        parts.append(ItemCaption(item) + QStringLiteral(" : ") + DisplayText(item, value));
    }
    if (datePos >= 0) {
        const QString range = beginDate + QStringLiteral("--") + endDate;
        parts[datePos] = withDateTitle ? QStringLiteral("查询期间 : ") + range : range;
    }
    return parts.join(QStringLiteral("   "));
}

TConditionLine BuildConditionLine(QWidget *parent, QBoxLayout *layout)
{
    TConditionLine line;
    auto *row = new QHBoxLayout;
    line.PanelLeft = new QWidget(parent);
    line.PanelLeft->setObjectName(QStringLiteral("PanelLeft"));
    auto *leftLayout = new QHBoxLayout(line.PanelLeft);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    line.allconditioninfo = new QLabel(line.PanelLeft);
    line.allconditioninfo->setObjectName(QStringLiteral("allconditioninfo"));
    line.allconditioninfo->setWordWrap(true);
    leftLayout->addWidget(line.allconditioninfo);
    line.PanelRight = new QWidget(parent);
    line.PanelRight->setObjectName(QStringLiteral("PanelRight"));
    auto *rightLayout = new QHBoxLayout(line.PanelRight);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    row->addWidget(line.PanelLeft, 1);
    row->addWidget(line.PanelRight);
    layout->addLayout(row);
    return line;
}
} // namespace uCondDefine
