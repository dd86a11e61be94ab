#pragma once
// The host's bill window: one bill of a bill type, drawn from the type's layout. The header holds the
// date, the number and the base data of the bill; the grid one goods item a line, recalculated by the
// type's column formulas as the user types; the footer the totals. Entry is by keyboard as accountants
// expect: Enter moves to the next field or cell (a new line after the last one), F2 opens the selection
// of the base data under the cursor, Del removes the current line, Ctrl+S posts.
//
// A new bill or a draft is edited and saved as a draft, posted, or handed to the type's audit flow; a
// posted bill or one waiting for its audit is shown read-only and can be reversed (red word) or
// audited from here. The widget carries "BillPage" = true.

#include <QHash>
#include <QTableWidget>
#include <QWidget>
#include <functional>

#include "BillLayout.h"
#include "BillStore.h"
#include "QuillInterfaces.h"

class QLabel;
class QLineEdit;
class QPushButton;

// What a bill window works with: the account set, the log-on, messages, the selection dialogs (none:
// codes must be typed exactly) and the audit step of the bill service.
struct TBillContext
{
    std::function<accountdb::AccountDatabase *()> Db;
    ISystemIntf *System = nullptr;
    IDllMessageCon *Messages = nullptr;
    IBaseSelect *Select = nullptr;
    std::function<bool(qint64 vchcode, int vchtype)> Audit;
};

// The grid of the bill's lines: Enter moves on after committing a cell.
class TBillGrid : public QTableWidget
{
    Q_OBJECT
public:
    using QTableWidget::QTableWidget;
    std::function<void()> OnEnter;
    std::function<bool(QKeyEvent *)> OnKey; // true when it handled the key

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint) override;
};

class BillWindow : public QWidget
{
    Q_OBJECT
public:
    BillWindow(TBillContext context, int vchType, QWidget *parent = nullptr);
    ~BillWindow() override;

    // Bill types whose bills the window enters.
    static bool Supports(int vchType);

    // Shows a saved bill; false (with the message shown) when it does not exist.
    bool LoadBill(qint64 vchcode);
    // Starts a new bill of the window's type.
    void NewBill();

    int VchType() const { return FVchType; }
    qint64 Vchcode() const { return FBill.Vchcode; }
    TBillState State() const { return FBill.State; }

    // The buttons' work; true when the bill was saved, reversed or audited.
    bool SaveDraft() { return Save(TSaveMode::Draft); }
    bool Post() { return Save(TSaveMode::Post); }
    bool RedWord();
    bool Audit();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    accountdb::AccountDatabase &Db() const { return *FContext.Db(); }
    void BuildHead(QWidget *parent);
    void ShowBill();
    void SetEditable(bool editable);
    void AddLine();
    void RemoveLine(int row);
    void MoveNext();
    bool SelectInGrid();
    void CellChanged(int row, int column);
    void SetGoods(int row, const TBaseRecord &goods);
    void ShowNumbers(int row, const QHash<QString, double> &numbers);
    QHash<QString, double> LineNumbers(int row) const;
    void UpdateTotals();
    // The record of the kind the text names: an exact code, else the only match, else the user's pick.
    std::optional<TBaseRecord> ResolveBase(const QString &kind, const QString &text, bool askAlways);
    void HeadBaseFinished(QLineEdit *edit);
    bool CollectBill(TBill &bill);
    bool Save(TSaveMode mode);
    void SetStateText();

    TBillContext FContext;
    int FVchType;
    TBillLayout FLayout;
    TBill FBill;
    bool FModified = false;
    bool FFilling = false; // cells being written by the window, not typed
    QHash<QString, QLineEdit *> FHead;
    QHash<QLineEdit *, QString> FHeadKinds; // base-data editors and their kind
    TBillGrid *grdBill = nullptr;
    QLabel *lblState = nullptr;
    QLabel *lblTotal = nullptr;
    QPushButton *btnDraft = nullptr;
    QPushButton *btnPost = nullptr;
    QPushButton *btnRedWord = nullptr;
    QPushButton *btnAudit = nullptr;
    QPushButton *btnNew = nullptr;
};
