#pragma once
// 单据自由项选择设置: every free item and custom column of a bill type with its basic-information binding;
// a row's binding is set, cleared or copied to another bill from here.

#include <QTreeWidget>

#include "Kvggeneralgrid.h"
#include "uDialogParent.h"

class QPushButton;

class TfrmFreeDomBasicSelectSet : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmFreeDomBasicSelectSet(QWidget *parent = nullptr);

    QTreeWidget *tvList;
    TKvGGeneralGrid *MainGrid;
    QPushButton *btnSetBasic, *btnClearBasic, *btnOtherVchtype, *btnClose;
    int FVchtype = 0;

    // The bill-type filter of the tree for the edition and mode the host runs in.
    static QString TreeFilters();
    void tvListChange();
    void LoadGrid();
    void btnSetBasicClick();
    void btnClearBasicClick();
    void btnOtherVchtypeClick();

    // Entry 单据自由项选择设置.
    static bool Execute();

private:
    int CurrentInt(const QString &field) const;
};
