#pragma once
// What the three formula dialogs share: the column they edit (bill type, column number, data area, its
// database name and caption), the tables of the bill type (system or plug-in), reading, saving and deleting
// the column's formula, and copying a formula to the same column of another bill.

#include <QLabel>
#include <functional>

#include "ClientDataSet.h"
#include "uDialogParent.h"

class QPushButton;

struct TSavedFormula
{
    QString Content; // as written, with captions
    QString Formula; // stored form
    int Calc = 1;
    bool Exists = false;
};

class TFormulaDlgBase : public TfrmDialogParent
{
    Q_OBJECT
public:
    TFormulaDlgBase(int vchType, int columnNo, int dataArea, const QString &caption,
                    QWidget *parent = nullptr);

    QLabel *lblBill;
    QPushButton *btnSave, *btnOther, *btnExit;

    int nVchtype, nFreeItem, nDataArea;
    QString FDataBaseName, FFieldName, szVchtype;
    bool bChange = false;
    QString FVchtypeTableName, FVchtypeColumnTableName;

    // The column's saved formula in the bill type (another bill: its column of the same database name).
    TSavedFormula SavedFormula(int vchType) const;
    // Stores a formula for the column of a bill type (P_KOVA_SaveBillFormula); false when refused.
    bool SaveFormula(int vchType, const QString &content, const QString &formula, bool calc,
                     const QString &detailXml);
    // Stores a formula written with the captions of "columns": its stored form and column list with it.
    bool SaveConverted(int vchType, const QString &text, const TClientDataSet &columns, bool calc);
    // 保存: an empty text deletes the column's formula after a question; any other is checked first
    // ("check" shows its message) and stored. "公式保存成功。" and bChange after either.
    void SaveOrDelete(const QString &text, const TClientDataSet &columns, bool calc,
                      const std::function<bool(const QString &)> &check);
    // An empty formula: asks first, then deletes the column's formula. False when the user declined.
    bool DeleteAfterQuestion();
    // Asks "当前操作将会覆盖已有的设置，请确认继续。" and writes the formula to every bill; the number
    // written.
    int SaveAsAll(const QString &content, const QString &formula, bool calc, const QString &detailXml);

    // 应用到其他单据: the target bill type from the host, then its columns "condition" selects (an SQL
    // condition on the target's column table); "prepare" refuses a target (message shown) or returns the
    // formula to store there; an existing formula is replaced after "overwrite" confirms. Returns the
    // target's name after a save, empty otherwise.
    struct TCopyTexts
    {
        QString ColumnCondition; // e.g. " and display = 1 and CMKvColumnNo in (112, 113) "
        QString Missing;         // the target lacks the column (%1 = bill)
        std::function<QString(const QString &bill, const QString &existing)> Overwrite;
    };
    using TPrepare = std::function<bool(int vchType, const QString &bill, TClientDataSet &columns)>;
    QString CopyToOther(const TCopyTexts &texts, const TPrepare &prepare,
                        const std::function<bool(int vchType)> &save);

    // The texts of copying this column's formula to other bills, whose columns pass columnCondition.
    TCopyTexts CopyTexts(const QString &columnCondition) const;
    // The self-copy refusal names the bill and column twice.
    QString SelfCopyText() const;
};
