#pragma once
// 日期间隔公式设置: the day count between two of the date free items 自由项11, 自由项12 and 自由项13
// (column 117): exactly two are checked; the later one less the earlier one is stored.

#include <QCheckBox>

#include "uFormulaDlgBase.h"

class TfrmDateIntervalFormula : public TFormulaDlgBase
{
    Q_OBJECT
public:
    TfrmDateIntervalFormula(int vchType, int columnNo, int dataArea, const QString &caption,
                            QWidget *parent = nullptr);

    QList<QCheckBox *> chkItems; // chkFreeDom11 .. chkFreeDom13
    QPushButton *btnAll;

    // The checked items' numbers (11..13); shows the refusal unless exactly two are checked.
    bool CheckedItems(QList<int> &items) const;
    // Stored form, text and column list of two items.
    static QString FormulaOf(const QList<int> &items);
    static QString ContentOf(const QList<int> &items);
    static QString DetailXMLOf(const QList<int> &items);
    void btnSaveClick();
    void btnAllClick();
    void btnOtherClick();

    static bool Execute(int vchType, int columnNo, int dataArea, const QString &caption);
};
