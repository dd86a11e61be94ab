#pragma once
// 公式设置: the formula of one bill column over the bill's other columns, checked, saved (with its stored
// form and the list of columns it reads), deleted when emptied, or copied to the same column of another
// bill. The custom columns 41-45 and 80-84 may instead hold a free text ("非计算公式").

#include <QCheckBox>
#include <QGroupBox>
#include <QListWidget>
#include <QPlainTextEdit>

#include "uFormulaDlgBase.h"

class TfrmFormula : public TFormulaDlgBase
{
    Q_OBJECT
public:
    TfrmFormula(int vchType, int columnNo, int dataArea, const QString &caption, QWidget *parent = nullptr);

    QListWidget *lbDataField;
    QGroupBox *gbFormula;
    QPlainTextEdit *mFormula;
    QCheckBox *chkCalc;
    QList<QPushButton *> btnOperators; // + - * / ( )
    QPushButton *btnCon;
    // The usable columns (fieldname, ColumnName), without the column being edited.
    TClientDataSet FColumns;

    void lbDataFieldDblClick();
    void btn1Click(const QString &token);
    void chkCalcClick();
    bool btnConClick();
    void btnSaveClick();
    void btnOtherClick();

    // Opens the dialog modally; true when a formula was saved or deleted.
    static bool Execute(int vchType, int columnNo, int dataArea, const QString &caption);

private:
    void InsertToken(const QString &token);
};
