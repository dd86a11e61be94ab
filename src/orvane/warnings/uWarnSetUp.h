#pragma once
// 报警提前期设置: how many days in advance each date item of the warning book warns.

#include "Kvggeneralgrid.h"
#include "uDialogParent.h"

class TfrmWarnSetUp : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmWarnSetUp(QWidget *parent = nullptr);

    TKvGGeneralWGrid *MainGrid;
    QPushButton *btnSave1, *btnClose;
    int FTreeType = 0; // the item the window was opened for
    bool FIsChange = false;
    bool FIsSave = false;

    void LoadData();
    void CellEdited(int row, int column);
    void btnSave1Click();
    void done(int result) override;

    static bool Execute(int treeType);

private:
    bool FLoading = false;
    bool FClosing = false;
};
