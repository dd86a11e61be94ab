#pragma once
// 导出到航天金穗: posted bills of a period, the ticked sales bills written to a file of the outside
// tax-invoicing system (uExportToJSCore), with the list printed through the window's print button.

#include "uJXCQueryParent.h"

class QCheckBox;
class QPushButton;
class TKvGGeneralGrid;

class TfrmExportToJS : public TfrmJXCQueryParent
{
    Q_OBJECT
public:
    explicit TfrmExportToJS(QWidget *parent = nullptr);
    ~TfrmExportToJS() override;

    TKvGGeneralGrid *MainGrid;
    QCheckBox *chkSelect;
    QLabel *lblBeginDate, *lblEndDate;
    QPushButton *btnQuery, *btnOpen, *btnExport, *btnPrint, *btnHelp, *btnClose;
    QString OutputFolder; // where the file goes
    QString WrittenFile;  // the file of the last export

    // The dates of the query parent, then the condition box: cancelled closes the window and gives
    // false; otherwise the bills are listed.
    bool Open();
    void LoadList();
    void btnQueryClick();
    void btnOpenClick();
    void btnExportClick();
};

namespace uExportToJS {
// Dispatch entry 航天金穗数据导出: the window as an MDI child; True.
bool ShowExportToJS();
} // namespace uExportToJS
