#pragma once
// What the two stock-limit windows share: the goods grid with its lower and upper limits (display of
// the unset upper limit, the checks after an edit, picking goods, the row actions), the documents sent
// to the procedures and the closing question.

#include <QAction>
#include <QList>
#include <QMenu>
#include <QPair>
#include <functional>

#include "Kvggeneralgrid.h"
#include "uDialogParent.h"

using TXmlAttributes = QList<QPair<QString, QString>>;

namespace uWarnLimits {
constexpr double NoUpper = 999999999; // the stored "no upper limit"
constexpr double MaxLimit = 100000000;
// Grid columns.
enum TColumn { colUserCode, colFullName, colWarnDown, colWarnUp, colPtypeId, colSonnum, colCount };
// The attribute text escaped for the documents: "&", "<" and "'" (the double quote stays as it is).
QString EscapeXml(const QString &text);
// One element per row: <Record name="value" ... />, each attribute followed by a blank, inside
// "<Root>" … "</Root> ".
QString BuildXml(const QList<TXmlAttributes> &records);
// Numbers of the documents: four decimals.
QString XmlNumber(double value);
// The stored value of an upper-limit text: the infinity text, "999999999", 0 and empty are "no upper".
double UpperValue(const QString &text);
// The question when a changed window closes (caption "信息"): Yes runs the save (a save that succeeds
// closes the window itself), Cancel keeps the window. True only for No: close without saving.
bool CloseWithoutSaving(const QString &question, const std::function<void()> &save);
} // namespace uWarnLimits

class TfrmWarnLimitForm : public TfrmDialogParent
{
    Q_OBJECT
public:
    // fullWidthInfinity: "＋∞" (per warehouse) instead of "+∞".
    TfrmWarnLimitForm(QWidget *parent, bool fullWidthInfinity);
    ~TfrmWarnLimitForm() override;

    TKvGGeneralWGrid *MainGrid;
    QMenu *pmGrid;
    QAction *actInsertBefore, *actInsertAfter, *actDeleteRow, *actImportSafeQty;
    QPushButton *btnSave, *btnClose;

    bool FIsChange = false;
    bool FIsSave = false;

    QString Infinity() const { return FInfinity; }
    // Puts a goods row (code, name, id, limits, class flag) at the row, or appends it before the empty
    // last row when row is -1.
    void SetGoodsRow(int row, const QString &ptypeId, const QString &userCode, const QString &fullName,
                     double warnDown, double warnUp, int sonnum = 0);
    void AppendEmptyRow();
    void ClearGrid();
    bool IsGoodsRow(int row) const;
    QString PtypeId(int row) const;
    double WarnDown(int row) const;
    double WarnUp(int row) const;
    // Goods rows whose lower limit is 0 and whose upper limit is unset.
    bool HasUnsetRows() const;
    static bool IsUnset(double warnDown, double warnUp)
    {
        return warnDown == 0 && warnUp == uWarnLimits::NoUpper;
    }
    // The goods selector for the row; every picked item not yet in the grid gets a row with the lower
    // limit 0 and no upper limit; the cursor moves to the lower limit.
    void SelectGoods(int row, const QString &searchText);
    // The checks after a limit cell was edited (see the .cpp).
    void CellEdited(int row, int column);
    // The document of the grid's goods rows (PTypeID, PFullName, WarnDown, WarnUp, RowNo): every row for
    // the import of safe stock, only those that warn for a save.
    QString GoodsDocument(bool withUnset) const;
    void ImportSafeQty();
    // Save the window's data; True when it was saved.
    virtual bool Save() = 0;
    void done(int result) override;

protected:
    // The limits are editable on goods rows unless the window says otherwise.
    virtual bool LimitsEditable() const { return true; }
    void InsertRow(int row);
    void DeleteRow(int row);
    void SetCell(int row, int column, const QString &text);
    void SetLimitCell(int row, int column, const QString &text);
    // Sends a save document; the Msg lines of a failure are shown as an error batch. True when there
    // were none.
    bool SendSave(const QString &procName, const QString &xml);
    // The question before a save that leaves unset rows out; True to go on.
    bool AskUnset(bool hasUnset, const QString &question);

private:
    QString FInfinity;
    bool FLoading = false;
    bool FClosing = false;
};
