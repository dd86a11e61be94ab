#pragma once
// TfrmAccountOption ("账套选项"): on the left the option pages, on the right the page. The company and
// the costing pages save with their own buttons, the tax settings with theirs; every switch of a
// dynamic page (a row of T_Gbl_SysCon) is saved when it is clicked, after the checks its data calls
// for.

#include <QHash>
#include <QStringList>

#include "uDialogParent.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QTableWidget;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QScrollArea;
class QStackedWidget;
class QButtonGroup;
class TBillBatchMessage;

// One switch of a dynamic page.
class TCMDynamicCheckBox : public QWidget
{
    Q_OBJECT
public:
    explicit TCMDynamicCheckBox(QWidget *parent);

    int ConId = 0;
    QString HelpLink, ManageName, PlugInCaption, CheckProcName;
    QCheckBox *Box;
    QLabel *NewMark;
    QPushButton *HelpButton;
};

class TfrmAccountOption : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmAccountOption(QWidget *parent = nullptr);
    ~TfrmAccountOption() override;

    // The dispatch entry: refused (message) for an ordinary-level pass token; the result is true.
    static bool Execute();

    QListWidget *tvEntriesConfig;
    QStackedWidget *nbPages;
    // Company page.
    QLineEdit *lbeFullName, *lbeName, *lbeAddress, *lbeTelCode, *lbeLegalMan, *lbeZip, *lbeFaxNo,
        *lbeTaxNumber, *lbeBank, *lbeMemo;
    QPushButton *btnCompanyPageSave;
    // Costing and settlement page.
    QButtonGroup *rgCostMode, *rgARSettleType, *rgAPSettleType;
    QRadioButton *rbZeroCost1, *rbZeroCost2;
    QCheckBox *chkMinusIsZero;
    QPushButton *btnOther2Save;
    // Other page: trade, code lengths, voucher type, tax settings.
    QComboBox *lcbTradeAtype;
    QPushButton *btnPreviewAtype;
    QGroupBox *grbAtypeLen;
    QTableWidget *AtypeLen_SpGrid;
    QGroupBox *grgTypeList;
    QButtonGroup *FTypeButtons;
    QLineEdit *lbeDefTaxRate, *lbePriceD;
    QPushButton *btnPrintPassWord, *btnOtherPageSave;
    QPushButton *btnHelp, *btnClose;

    int DefaultPageId() const { return FDefaultPageId; }
    // The switch of a condition number, null when no page shows it.
    TCMDynamicCheckBox *Switch(int conId) const;
    void SelectPage(int pageId);

    void btnCompanyPageSaveClick();
    void btnOther2SaveClick();
    void btnOtherPageSaveClick();
    void lcbTradeAtypeChange();
    void SwitchClick(TCMDynamicCheckBox *item);

private:
    void BuildControls();
    QWidget *BuildCompanyPage();
    QWidget *BuildCostSettlePage();
    QWidget *BuildOtherPage();
    void LoadCompanyPage();
    void LoadOtherValues();
    void LoadOtherPage();
    void SaveTrade(TBillBatchMessage &batch);
    bool SaveCodeLengths(TBillBatchMessage &batch);
    void SaveVoucherType(TBillBatchMessage &batch);
    bool SaveTaxSettings(TBillBatchMessage &batch);
    void LoadEntries();
    void LoadDynamicPages();
    bool CostModeChangeable() const;
    bool CheckSwitch(TCMDynamicCheckBox *item, bool checked);

    int FDefaultPageId = -1;
    int FAccountTradeId = -1;
    QStringList FDynamicPageList;
    QList<int> FCurrUseDynamicPageList;
    QHash<int, QString> FPageIdNoteBookName;
    QHash<int, QString> FDynamicPageIdNoteBookName;
    QHash<QString, QScrollArea *> FDynamicPageControl;
    QHash<QString, QWidget *> FPages;
    QHash<int, TCMDynamicCheckBox *> FSwitches;
};
