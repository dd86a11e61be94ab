#pragma once
// 日期公式设置: the formula of a date free item (自由项12 or 自由项13) as another date item plus or minus a
// number of days ("自由项11+30"), saved, copied to another bill or to all bills.

#include <QLineEdit>

#include "uFormulaDlgBase.h"

class TfrmDateFormula : public TFormulaDlgBase
{
    Q_OBJECT
public:
    TfrmDateFormula(int vchType, int columnNo, int dataArea, const QString &caption,
                    QWidget *parent = nullptr);

    QLineEdit *mFormula;
    QPushButton *btnItem11, *btnItem12, *btnPlus, *btnMinus, *btnAll;

    // The check before a save or a copy (messages shown): pattern, day limit, the bill's date columns.
    bool CheckDateFormula(const QString &text);
    // The check before copying: an empty text cannot be copied.
    bool CheckForCopy(const QString &text);
    void btnSaveClick();
    void btnAllClick();
    void btnOtherClick();

    // The date columns a formula of the bill may name (fieldname, ColumnName).
    static void LoadDateColumns(int vchType, int dataArea, TClientDataSet &columns);
    static bool Execute(int vchType, int columnNo, int dataArea, const QString &caption);

private:
    TClientDataSet FColumns;
};
