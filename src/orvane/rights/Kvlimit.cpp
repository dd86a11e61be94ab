#include "Kvlimit.h"

#include <QHBoxLayout>
#include <QHash>
#include <QHeaderView>
#include <QListWidget>
#include <QTabWidget>
#include <QTreeWidget>

namespace {
constexpr int LimitNoRole = Qt::UserRole;
constexpr int GrantedColumn = 1;

// Character n (from 1) of a "0"/"1" string; positions outside read as not granted.
bool CharAt(const QString &s, int n)
{
    return n >= 1 && n <= s.size() && s.at(n - 1) == QLatin1Char('1');
}

void SetCharAt(QString &s, int n, bool value)
{
    if (n >= 1 && n <= s.size())
        s[n - 1] = value ? QLatin1Char('1') : QLatin1Char('0');
}
} // namespace

TKVLimitPage::TKVLimitPage(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    twLimit = new QTreeWidget(this);
    twLimit->setObjectName(QStringLiteral("twLimit"));
    twLimit->setColumnCount(2);
    twLimit->setHeaderLabels({QString(), QString()});
    twLimit->setRootIsDecorated(true);
    layout->addWidget(twLimit);
    connect(twLimit, &QTreeWidget::itemChanged, this, &TKVLimitPage::ItemChanged);
    connect(twLimit, &QTreeWidget::currentItemChanged, this, [this](QTreeWidgetItem *item) {
        emit currentLimitChanged(item ? item->data(0, LimitNoRole).toInt() : 0);
    });
}

void TKVLimitPage::SetCheckBoxVisable(bool visible)
{
    // The leading check-box column of the kinds; the rights keep theirs in "有否权限".
    twLimit->setRootIsDecorated(visible);
}

void TKVLimitPage::SetNameColCaption(int column, const QString &caption)
{
    if (column >= 1 && column <= twLimit->columnCount())
        twLimit->headerItem()->setText(column - 1, caption);
}

void TKVLimitPage::ClearPartsCaption()
{
    FKinds.clear();
    FStructureChanged = true;
}

void TKVLimitPage::AddPartsCaption(const QString &caption, int kindId, int parentKindId)
{
    FKinds.append({caption, kindId, parentKindId});
    FStructureChanged = true;
}

void TKVLimitPage::SetLimitData(int count, const TLimitData *data)
{
    FLimits = count > 0 && data ? QList<TLimitData>(data, data + count) : QList<TLimitData>();
    FStructureChanged = true;
}

void TKVLimitPage::SetColCount(int count)
{
    twLimit->setColumnCount(qMax(2, count));
}

void TKVLimitPage::SetNameColWidth(int width)
{
    twLimit->setColumnWidth(0, width);
}

void TKVLimitPage::SetListWidth(int width)
{
    FListWidth = width;
}

void TKVLimitPage::SetUseBtnLimit(bool use)
{
    FUseBtnLimit = use;
}

void TKVLimitPage::DisplayLimitData()
{
    // Rebuilt only when kinds or rights changed: a display from inside a check-box change must not
    // delete the item being changed.
    if (FStructureChanged)
        Rebuild();
    FFilling = true;
    for (QTreeWidgetItemIterator it(twLimit); *it; ++it)
        if (const int limitNo = (*it)->data(0, LimitNoRole).toInt(); limitNo > 0)
            (*it)->setCheckState(
                GrantedColumn, FLimitString && CharAt(*FLimitString, limitNo) ? Qt::Checked : Qt::Unchecked);
    FFilling = false;
}

void TKVLimitPage::Rebuild()
{
    FStructureChanged = false;
    FFilling = true;
    twLimit->clear();
    QHash<int, QTreeWidgetItem *> kinds;
    for (const Kind &k : std::as_const(FKinds)) {
        QTreeWidgetItem *parent = kinds.value(k.ParentId);
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(twLimit);
        item->setText(0, k.Caption.trimmed());
        kinds.insert(k.Id, item);
    }
    for (const TLimitData &d : std::as_const(FLimits)) {
        if (d.Visible != 1)
            continue;
        QTreeWidgetItem *parent = kinds.value(d.KindID);
        auto *item = parent ? new QTreeWidgetItem(parent) : new QTreeWidgetItem(twLimit);
        item->setText(0, d.Caption);
        item->setData(0, LimitNoRole, d.LimitNo);
        Qt::ItemFlags flags = Qt::ItemIsSelectable | Qt::ItemIsUserCheckable;
        if (d.Enabled == 1)
            flags |= Qt::ItemIsEnabled;
        item->setFlags(flags);
        item->setCheckState(GrantedColumn, Qt::Unchecked);
    }
    twLimit->expandAll();
    FFilling = false;
}

QList<int> TKVLimitPage::GetLimitNoList() const
{
    QList<int> numbers;
    for (const TLimitData &d : FLimits)
        if (d.Visible == 1)
            numbers.append(d.LimitNo);
    return numbers;
}

void TKVLimitPage::ItemChanged(QTreeWidgetItem *item, int column)
{
    const int limitNo = item->data(0, LimitNoRole).toInt();
    if (FFilling || column != GrantedColumn || limitNo <= 0)
        return;
    emit limitToggled(limitNo, item->checkState(GrantedColumn) == Qt::Checked);
}

TKVLimitClass::TKVLimitClass(QWidget *parent)
    : QWidget(parent), FLimitString(RightCount, QLatin1Char('0')),
      FBtnLimitString(DetailCount, QLatin1Char('0'))
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    FTabs = new QTabWidget(this);
    FTabs->setObjectName(QStringLiteral("tabLimit"));
    lstBtnLimit = new QListWidget(this);
    lstBtnLimit->setObjectName(QStringLiteral("lstBtnLimit"));
    lstBtnLimit->setMaximumWidth(240);
    layout->addWidget(FTabs, 1);
    layout->addWidget(lstBtnLimit);
    connect(lstBtnLimit, &QListWidget::itemChanged, this, &TKVLimitClass::BtnItemChanged);
}

void TKVLimitClass::SetPageCount(int count)
{
    while (FPages.size() > count)
        delete FPages.takeLast();
    while (FPages.size() < count) {
        auto *page = new TKVLimitPage(FTabs);
        page->setObjectName(QStringLiteral("LimitPage%1").arg(FPages.size() + 1));
        page->FLimitString = &FLimitString;
        connect(page, &TKVLimitPage::limitToggled, this,
                [this, page](int limitNo, bool value) { LimitToggled(page, limitNo, value); });
        connect(page, &TKVLimitPage::currentLimitChanged, this, [this, page](int limitNo) {
            if (page->UseBtnLimit())
                LoadBtnLimit(limitNo);
        });
        FTabs->addTab(page, QString());
        FPages.append(page);
    }
}

TKVLimitPage *TKVLimitClass::GetLimitPage(int page) const
{
    return page >= 1 && page <= FPages.size() ? FPages.at(page - 1) : nullptr;
}

void TKVLimitClass::SetTabSheetCaption(int page, const QString &caption)
{
    if (page >= 1 && page <= FPages.size())
        FTabs->setTabText(page - 1, caption);
}

void TKVLimitClass::SetLimitString(const QString &limits)
{
    FLimitString = limits.left(RightCount).leftJustified(RightCount, QLatin1Char('0'));
}

bool TKVLimitClass::HasLimit(int limitNo) const
{
    return CharAt(FLimitString, limitNo);
}

void TKVLimitClass::SetCurrentLimitNo(int limitNo)
{
    for (TKVLimitPage *page : std::as_const(FPages)) {
        for (QTreeWidgetItemIterator it(page->twLimit); *it; ++it)
            if ((*it)->data(0, LimitNoRole).toInt() == limitNo) {
                FTabs->setCurrentWidget(page);
                page->twLimit->setCurrentItem(*it);
                if (FCurrentLimit != limitNo)
                    LoadBtnLimit(limitNo);
                return;
            }
    }
}

void TKVLimitClass::ClearBtnLimit()
{
    FFilling = true;
    lstBtnLimit->clear();
    FFilling = false;
}

void TKVLimitClass::AddBtnLimit(int detailNo, const QString &caption)
{
    FFilling = true;
    auto *item = new QListWidgetItem(caption, lstBtnLimit);
    item->setData(LimitNoRole, detailNo);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(Qt::Unchecked);
    FFilling = false;
}

void TKVLimitClass::SetBtnLimitString(const QString &details)
{
    FBtnLimitString = details.left(DetailCount).leftJustified(DetailCount, QLatin1Char('0'));
}

bool TKVLimitClass::GetBtnLimit(int limitNo, int detailNo) const
{
    return limitNo == FCurrentLimit && CharAt(FBtnLimitString, detailNo);
}

void TKVLimitClass::SetBtnLimit(int limitNo, int detailNo, bool value)
{
    if (limitNo != FCurrentLimit)
        return;
    SetCharAt(FBtnLimitString, detailNo, value);
    DisplayBtnLimit();
}

void TKVLimitClass::DisplayBtnLimit()
{
    FFilling = true;
    for (int i = 0; i < lstBtnLimit->count(); ++i) {
        QListWidgetItem *item = lstBtnLimit->item(i);
        item->setCheckState(CharAt(FBtnLimitString, item->data(LimitNoRole).toInt()) ? Qt::Checked
                                                                                     : Qt::Unchecked);
    }
    FFilling = false;
}

void TKVLimitClass::LimitToggled(TKVLimitPage *page, int limitNo, bool value)
{
    bool allow = true;
    if (OnSetLimitBefore)
        OnSetLimitBefore(limitNo, value, allow);
    if (allow) {
        SetCharAt(FLimitString, limitNo, value);
        if (OnUserSetLimit)
            OnUserSetLimit(limitNo, value);
    }
    // The box shows what the rights string holds, refused or changed by the handlers.
    page->DisplayLimitData();
}

void TKVLimitClass::LoadBtnLimit(int limitNo)
{
    FCurrentLimit = limitNo;
    ClearBtnLimit();
    FBtnLimitString = QString(DetailCount, QLatin1Char('0'));
    if (limitNo > 0 && OnLoadBtnLimit) {
        QString details = FBtnLimitString;
        OnLoadBtnLimit(limitNo, details);
        SetBtnLimitString(details);
    }
    DisplayBtnLimit();
}

void TKVLimitClass::BtnItemChanged(QListWidgetItem *item)
{
    if (FFilling || FCurrentLimit <= 0)
        return;
    const int detailNo = item->data(LimitNoRole).toInt();
    const bool value = item->checkState() == Qt::Checked;
    bool allow = true;
    if (OnSetBtnLimitBefore)
        OnSetBtnLimitBefore(FCurrentLimit, detailNo, value, allow);
    if (allow) {
        SetCharAt(FBtnLimitString, detailNo, value);
        if (OnSaveBtnLimit)
            OnSaveBtnLimit(FCurrentLimit, FBtnLimitString);
    }
    DisplayBtnLimit();
}
