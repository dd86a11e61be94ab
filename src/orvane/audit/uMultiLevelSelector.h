#pragma once
// TfrmMultiLevelSelector: ticks the people who may audit a bill type — operators and departments with a
// responsible employee — for the auditors of a level (caption "审核人") or the special auditors ("特审人").

#include <QTableWidget>
#include <functional>

#include "uDialogParent.h"

struct TAuditorRec
{
    QString TypeId;
    QString UserCode;
    QString FullName;
    int OperatorType = 0; // 0 operator, 1 department
};
using TAuditorList = QList<TAuditorRec>;

class TfrmMultiLevelSelector : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmMultiLevelSelector(QWidget *parent = nullptr);

    QTableWidget *MainGrid;
    QPushButton *btnSelected, *btnExit;
    int FVchType = 0;
    QStringList FEmployeeList;     // ticked ids
    TAuditorList FSelEmployeeList; // in: the current entries; out: the ticked rows

    void LoadData();
    void SelectedClick(int row); // the 选择 cell of a row was clicked
    void btnSelectedClick();
    void GridDblClick();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void Take(const QList<int> &rows);
    bool Ticked(int row) const;
};

// Runs the selector; true on OK with `list` replaced by the choice. Tests set the hook to drive the
// window instead of showing it modally.
bool ShowAuditorSelector(TAuditorList &list, int vchType, const QString &caption);
inline std::function<bool(TfrmMultiLevelSelector &)> AuditorSelectorHook;
