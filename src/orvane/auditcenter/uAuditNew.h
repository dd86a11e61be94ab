#pragma once
// TfrmAuditNew, the audit centre: the bills waiting for the operator's audit and those he audited, the
// bills he made (waiting, audited, rejected), several bills audited at once with a summary, a bill opened
// through the host, and the audit history of the current bill.

#include <QString>

#include "uMDIParent.h"

class QCheckBox;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;
class TKvGGeneralGrid;

class TfrmAuditNew : public TfrmMDIParent
{
    Q_OBJECT
public:
    explicit TfrmAuditNew(QWidget *parent = nullptr);

    QTreeWidget *tvLeft;
    TKvGGeneralGrid *MainGrid, *OtherGrid;
    QCheckBox *chkSelect, *chbSet;
    QPushButton *btnQuery, *btnAudit, *btnOpen, *btnRefresh, *btnHelp, *btnClose;

    // The query conditions: bill type (0 = all), unit, handling employee, maker, date range.
    struct TConditions
    {
        int VchType = 0;
        QString BtypeId, EtypeId, MtypeId, BeginDate, EndDate, ShowAll;
    };
    TConditions Conditions;

    // Selects the node of a group (1 I audit, 2 I made) and state (1 waiting, 2 audited, 3 rejected).
    bool SelectNode(int group, int state);
    void LoadList();
    void LoadHistory();
    void SetRowChecked(int row, bool checked);
    bool RowChecked(int row) const;
    void btnAuditClick();
    void btnOpenClick();
    void btnQueryClick();
    // The condition dialog on Conditions; false when cancelled.
    bool AskConditions();

    // Opens the centre (asking for the query conditions first when asked; cancel opens nothing).
    static TfrmAuditNew *ShowAuditNew(bool askConditions);
    // The month-end checkout's way to the audit query for its unaudited bills.
    static void InstallAuditQueryHook();

private:
    int FGroup = 1, FState = 1;
};
