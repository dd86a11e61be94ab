#pragma once
// TfrmBillAuditConfigSet: one level of a bill type's audit flow — its name, one-of or all-of auditing,
// the auditors, and the condition on the bill's totals that decides whether the level applies.

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QTableWidget>
#include <functional>

#include "uAuditCondition.h"
#include "uDialogParent.h"

class TfrmBillAuditConfigSet : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmBillAuditConfigSet(QWidget *parent = nullptr);

    QLineEdit *edtAuditName;
    QGroupBox *grp1, *grp2, *grp3;
    QRadioButton *rbSingle, *rbWhole;
    QTableWidget *MainGrid1; // EtypeName, etypeid, OperatorType
    QComboBox *edtFooting;
    QTableWidget *MainGrid2; // factor, lower, upper, footing
    QPlainTextEdit *mPrompt;
    QLabel *lblHint;
    QPushButton *btnGBitbtn1, *btnGBitbtn2;
    QAction *actDeleteRow;

    int FVchtype = 0;
    int FLeveal = 0;
    QString FMode;            // "A" new, "M" modify
    QStringList FBillFactors; // of FVchtype
    bool FOk = false;
    QString lastInput; // the condition cell's value before editing

    // Sets up the window for the mode; false (after the message) when the level to modify is gone.
    bool Prepare();
    void SetAuditors(const QList<QStringList> &rows); // name, id, operator type
    void EditAuditors();
    void CellEdited(int row, int column);
    void DeleteConditionRow(int row);
    void FootingChanged();
    QList<uAuditCondition::TConditionRow> ConditionRows() const;
    void RebuildPrompt();
    void btnGBitbtn1Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void AppendConditionRow(const QString &factor = QString(), double lower = 0, double upper = 0,
                            const QString &footing = QString());
    QString FactorAt(int row) const;
    void Validate();
    void Store();
    bool FLoading = false;
};

// Runs the editor for a level; true when it stored. Tests set the hook to drive the window instead of
// showing it modally.
bool ShowAuditConfigSet(const QString &mode, int vchType, int level);
inline std::function<bool(TfrmBillAuditConfigSet &)> AuditConfigSetHook;

// Refuses (with the message, false) an auditor entry that was deleted or disabled meanwhile.
bool CheckAuditorValid(const QString &id, int operatorType, const QString &name);
