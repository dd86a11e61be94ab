#pragma once
// The rights component: pages of rights grouped by kind (a tree: kinds, then their rights with a
// check box in the column "有否权限") and, beside them, the detail rights of the right under the cursor.
// The component only shows and reports: whether a change may happen and what is stored is up to the
// window that answers its events.
//
// Rights are held as the rights string (character n = right n) and the details of the current right
// as the detail string (character k = detail k).

#include <QList>
#include <QString>
#include <QWidget>
#include <functional>

class QListWidget;
class QListWidgetItem;
class QTabWidget;
class QTreeWidget;
class QTreeWidgetItem;

struct TLimitData
{
    int LimitNo = 0;
    int KindID = 0;
    int Visible = 0; // 1: listed
    int Enabled = 0; // 1: may be changed
    QString Caption;
};

class TKVLimitPage : public QWidget
{
    Q_OBJECT
public:
    explicit TKVLimitPage(QWidget *parent = nullptr);

    QTreeWidget *twLimit; // kinds and rights

    void SetCheckBoxVisable(bool visible);
    void SetNameColCaption(int column, const QString &caption); // columns 1 (name) and 2 (granted)
    void ClearPartsCaption();
    void AddPartsCaption(const QString &caption, int kindId, int parentKindId);
    // The rights the page lists; the data is copied.
    void SetLimitData(int count, const TLimitData *data);
    void SetColCount(int count);
    void SetNameColWidth(int width);
    void SetListWidth(int width);
    void SetUseBtnLimit(bool use);
    bool UseBtnLimit() const { return FUseBtnLimit; }
    // Rebuilds the tree from the kinds, the rights and the owner's rights string.
    void DisplayLimitData();
    QList<int> GetLimitNoList() const;
    int ListWidth() const { return FListWidth; }

signals:
    void limitToggled(int limitNo, bool value);
    void currentLimitChanged(int limitNo);

private:
    struct Kind
    {
        QString Caption;
        int Id;
        int ParentId;
    };
    void ItemChanged(QTreeWidgetItem *item, int column);
    void Rebuild();

    friend class TKVLimitClass;
    const QString *FLimitString = nullptr; // the owner's rights string
    QList<Kind> FKinds;
    QList<TLimitData> FLimits;
    bool FUseBtnLimit = false;
    bool FFilling = false;
    bool FStructureChanged = true;
    int FListWidth = 120;
};

class TKVLimitClass : public QWidget
{
    Q_OBJECT
public:
    explicit TKVLimitClass(QWidget *parent = nullptr);

    static constexpr int RightCount = 3100;
    static constexpr int DetailCount = 200;

    QListWidget *lstBtnLimit; // the detail rights of the current right

    std::function<void(int limitNo, bool value, bool &allow)> OnSetLimitBefore;
    std::function<void(int limitNo, bool value)> OnUserSetLimit;
    std::function<void(int limitNo, QString &btnLimit)> OnLoadBtnLimit;
    std::function<void(int limitNo, int detailNo, bool value, bool &allow)> OnSetBtnLimitBefore;
    std::function<void(int limitNo, const QString &btnLimit)> OnSaveBtnLimit;

    void SetPageCount(int count);
    // Pages count from 1.
    TKVLimitPage *GetLimitPage(int page) const;
    TKVLimitPage *GetTabSheet(int page) const { return GetLimitPage(page); }
    void SetTabSheetCaption(int page, const QString &caption);

    QString LimitString() const { return FLimitString; }
    void SetLimitString(const QString &limits);
    bool HasLimit(int limitNo) const;
    // The right whose details are shown (0: none).
    int CurrentLimitNo() const { return FCurrentLimit; }
    // Selects the right on the pages and loads its details (OnLoadBtnLimit).
    void SetCurrentLimitNo(int limitNo);

    void ClearBtnLimit();
    void AddBtnLimit(int detailNo, const QString &caption);
    QString BtnLimitString() const { return FBtnLimitString; }
    void SetBtnLimitString(const QString &details);
    // Details of the current right; other rights read as not granted.
    bool GetBtnLimit(int limitNo, int detailNo) const;
    void SetBtnLimit(int limitNo, int detailNo, bool value);
    void DisplayBtnLimit();

private:
    void LimitToggled(TKVLimitPage *page, int limitNo, bool value);
    void LoadBtnLimit(int limitNo);
    void BtnItemChanged(QListWidgetItem *item);

    QTabWidget *FTabs;
    QList<TKVLimitPage *> FPages;
    QString FLimitString;
    QString FBtnLimitString;
    int FCurrentLimit = 0;
    bool FFilling = false;
};
