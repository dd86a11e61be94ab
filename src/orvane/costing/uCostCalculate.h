#pragma once
// TfrmCostCalculate: the cost calculation wizard ("成本计算"). Page 0 introduces the run (and can be
// switched off), page 1 chooses all goods or a list of goods, page 2 costs them item by item with a
// progress gauge and a log, on the user-interface thread: pending events are processed once per item
// and the cancel button takes effect between items.

#include <QString>

#include "uDialogParent.h"

class QCheckBox;
class QLabel;
class QMenu;
class QPlainTextEdit;
class QProgressBar;
class QRadioButton;
class TCMGLabelBtnEdit;
class TKvGGeneralWGrid;

namespace uCostCalculate {
// Column width of a goods name in the log, in bytes of the Chinese (GBK) code page.
constexpr int NameColumns = 50;
// Bytes of a text in the GBK code page (a Chinese character counts 2; without a GBK codec every
// non-ASCII character counts 2).
int GbkWidth(const QString &AText);
// A name longer than AColumns bytes is cut and ends with "..." ("... " when the cut falls inside a
// double-byte character, which is then left out). With APad a shorter name is padded with spaces to
// AColumns.
QString FitName(const QString &AName, bool APad, int AColumns = NameColumns);
// Elapsed time as "h小时m分s秒".
QString ElapsedText(qint64 AMilliseconds);
} // namespace uCostCalculate

class TfrmCostCalculate : public TfrmDialogParent
{
    Q_OBJECT
public:
    // Modal result of the exit button.
    static constexpr int mrExit = 103;

    // APtypeList: an item id, a comma-separated list of ids, "00000" for all items, or empty.
    explicit TfrmCostCalculate(const QString &APtypeList, QWidget *parent = nullptr);
    ~TfrmCostCalculate() override;

    // Page 0 introduction
    QWidget *pnlMain;
    QLabel *lblCaption;
    QLabel *lblCaption2;
    QCheckBox *chkDisplay;
    // Page 1 goods
    QWidget *pnlSelectPtype;
    QLabel *lblSelectPtype;
    QRadioButton *rbAllPtype;
    QRadioButton *rbSelectPtype;
    TCMGLabelBtnEdit *edtPtype;
    TKvGGeneralWGrid *grdPtype;
    QMenu *pmPtype;
    // Page 2 run
    QWidget *pnlCalcCost;
    QProgressBar *gProgressBar;
    QPlainTextEdit *mmoPtype;
    // Buttons
    QPushButton *btnBack;
    QPushButton *btnNext;
    QPushButton *btnComplete;
    QPushButton *btnExit;

    int Page() const { return FPage; }
    bool IntroductionShown() const { return FShowIntro; }
    bool Running() const { return FRunning; }
    // Ids of the non-blank grid rows, in grid order.
    QStringList SelectedPtypes() const;
    int ProcessedCount() const { return FProcessed; }
    int FailedCount() const { return FFailed; }
    int DetailCount() const { return FDlyCount; }

    void FormShow();
    void chkDisplayClick();
    void rbSelectPtypeClick();
    void btnBackNextClick(bool ANext);
    void btnExitClick();
    // Grid pop-up menu: insert a row before / after the current one, delete the current one (the
    // last row is never deleted, it is emptied).
    void InsertPtypeRow(bool ABefore);
    void DeletePtypeRow();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    void BuildControls();
    void BuildPopupMenu();
    void ShowPage();
    void AddPtypeRow(int ARow, const QString &APtypeID);
    void SetRowPtype(int ARow, const QString &APtypeID);
    void CalcCost();
    void Log(const QString &ALine);

    QString FPtypeList;
    int FPage = 0;
    bool FShowIntro = false;
    bool FShown = false;
    bool FRunning = false;
    bool FCancel = false;
    int FProcessed = 0;
    int FFailed = 0;
    int FDlyCount = 0;
};

// The cost calculation entry of the month-end checkout: refuses the query edition and an account set
// whose opening balances are not closed, else shows the wizard modally with the preset list. True
// when the wizard was shown.
bool ShowCostCalculate(const QString &APtypeList = QString());

// Fills the checkout's cost calculation hook: an empty goods list opens the wizard (the checkout's
// cost button and its "not costed" answer), a list of goods is recalculated in the progress window
// (the carry-forward view). Called once when the module's entries are set up.
void InstallCostCalcHook();
