#pragma once
// 业务单据导出: the bills of the chosen conditions, ticked and written with their lines to a bill
// exchange file (uExportBillDataCore) for another account set's import.

#include <QFileDialog>

#include "uMDIParent.h"

class QCheckBox;
class QPushButton;
class TKvGGeneralGrid;

class TfrmExportBillData : public TfrmMDIParent
{
    Q_OBJECT
public:
    explicit TfrmExportBillData(QWidget *parent = nullptr);
    ~TfrmExportBillData() override;

    TKvGGeneralGrid *MainGrid;
    QCheckBox *chkSelect;
    QPushButton *btnQuery, *btnRefresh, *btnExport, *btnHelp, *btnClose;
    QFileDialog *SaveDialog1;
    QString DefaultFolder; // where the proposed file name points

    // The condition dialog; false when it was cancelled.
    bool ShowQuery();
    // Runs the list query with the current conditions; every tick is cleared.
    void LoadList();
    void btnQueryClick();
    void btnExportClick();

private:
    // The file chosen and cleared for writing, empty when the user gave up or it is refused.
    QString ChooseTarget();
};

namespace uExportBillData {
// Dispatch entry 业务单据导出: the window as an MDI child with its condition dialog; True.
bool ShowExportBillData();
} // namespace uExportBillData
