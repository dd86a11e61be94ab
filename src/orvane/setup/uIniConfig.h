#pragma once
// TfrmIniConfig: the wizard of the first set-up of an account set, four pages: company information,
// trade and voucher-word group, account code lengths, periods. In review mode (the account set is
// opened already) the trade, voucher words and code lengths are read-only, the company page saves
// itself and the last page closes instead of finishing.

#include <QMap>

#include "uDialogParent.h"
#include "uIniConfigCore.h"

class QButtonGroup;
class QComboBox;
class QDateEdit;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

class TfrmIniConfig : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmIniConfig(QWidget *parent = nullptr);
    ~TfrmIniConfig() override;

    // The entry: shows the wizard unless the account set is initialised or opened and `read` is false.
    // True only when no window was needed.
    static bool Execute(bool read);

    bool fbReturn = false;
    bool fbRead = false;
    // Runs the start-up sequence and, when a window is needed, the window modally; the result of the
    // entry (fbReturn).
    bool Run();
    int CurrentPage() const { return fiCurPage; }
    bool Saved() const { return fbSave; }
    bool ReviewMode() const { return fszIniOver == QLatin1String("1"); }
    // The period rows as the grid shows them.
    const uIniConfigCore::TPeriodRows &PeriodRows() const { return FRows; }

    // Page 1
    QGroupBox *grbCompanyInfo;
    QList<QLineEdit *> CompanyEdits; // lbeFullName .. lbeMemo in key order
    QPushButton *sbtnSave;
    // Page 2
    QGroupBox *grbSysIni;
    QComboBox *lcbTradeMode;
    QPushButton *btnPreviewAtype;
    QGroupBox *grgTypeList;
    QButtonGroup *FTypeButtons;
    // Page 3
    QGroupBox *grbAtypeLen;
    QTableWidget *AtypeLen_SpGrid;
    // Page 4
    QGroupBox *grbPeriodSet;
    QLineEdit *edtAccYear;
    QSpinBox *udAccYear;
    QComboBox *lblStartPeriod;
    QTableWidget *GridPeriod;
    QDateEdit *DatePick1;
    // Never shown
    QGroupBox *grbHSType;
    QLineEdit *lbeMoneyCode;
    QLineEdit *lbeMoneyName;
    QComboBox *lbcEnterPriseType;
    QComboBox *lbcEnterPrisePro;
    QLineEdit *lbeAccountManager;
    QPushButton *btnAccountManager;
    // Buttons and pictures
    QPushButton *btnBack;
    QPushButton *btnNext;
    QPushButton *btnClose;
    QPushButton *btnHelp;
    QLabel *Image1;
    QLabel *Image2;

    void btnBackClick();
    void btnNextClick();
    void btnPreviewAtypeClick();
    void sbtnSaveClick();
    void lcbTradeModeChange();
    // The code-length cell check of row 1; writes the cell back as a number. False with the message.
    bool CheckCodeLengthCell(int column);
    void GridPeriodDblClick(int row, int column);
    void DatePick1Exit();

    void done(int result) override;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildPages();
    QGroupBox *BuildCompanyPage();
    QGroupBox *BuildSysIniPage();
    QGroupBox *BuildAtypeLenPage();
    QGroupBox *BuildPeriodPage();
    QGroupBox *BuildHiddenGroup();
    void LoadValues();
    void LoadCodeLengths();
    void LoadPeriods(int year);
    void ShowPeriods();
    void ShowPage(int page);
    int SelectedTradeId() const;
    uIniConfigCore::TIniConfigData Collect() const;
    bool FinalSave();

    int fiCurPage = 1;
    bool fbSave = false;
    bool FDateSet = false;
    QString fszIniSetUp;
    QString fszIniOver;
    QMap<int, uIniConfigCore::TTradeInfo> FTradeList;
    uIniConfigCore::TPeriodRows FRows;
    uIniConfigCore::TPeriodRows FbakData;
    QString FAdminId;
    int FEditRow = -1;
    bool FEditStart = false;
    bool FChecking = false;
};

namespace uIniConfig {
// The entry behind DllIniConfigShow and the system rebuild.
bool IniConfigShow(bool read);
} // namespace uIniConfig
