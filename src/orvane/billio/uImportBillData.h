#pragma once
// 导入业务单据: reads a bill exchange file into the raw grid (one row per line, field k in column k),
// checks every row against the account set (the check grid marks unknown values yellow; a double click
// picks a valid one and writes it back into the raw row) and, when every row passed, writes all bills in
// one transaction (uImportBillDataCore). The window cannot be closed while it checks or imports.

#include <QFileDialog>

#include "uMDIParent.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;

class TfrmImportBillData : public TfrmMDIParent
{
    Q_OBJECT
public:
    explicit TfrmImportBillData(QWidget *parent = nullptr);
    ~TfrmImportBillData() override;

    QTableWidget *grdMain; // the file's lines; row 0 holds the titles
    QTableWidget *grdExam; // the check of each raw row; row 0 holds the titles
    QProgressBar *ProgressBar1;
    QLabel *lblState;
    QPushButton *btnOpen, *btnImport, *btnHelp, *btnClose;
    QFileDialog *OpenDialog1;
    QString DefaultFolder; // where the proposed file name points

    bool Busy() const { return FBusy; }
    void btnOpenClick();
    void btnImportClick();
    void grdExamDblClick(int row, int column);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool ReadFile(const QString &fileName);
    QList<QStringList> RawRows() const;
    // Fills the check grid; the first row that did not pass ("第n行：…"), empty when all passed.
    QString CheckAll();
    void ImportAll();
    void Progress(int done);

    bool FBusy = false;
    QList<int> FLineNumbers; // file line of each raw row
};

namespace uImportBillData {
// Dispatch entry 业务单据导入: the window as an MDI child; True.
bool ShowImportBillData();
} // namespace uImportBillData
