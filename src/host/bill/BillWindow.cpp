#include "BillWindow.h"

#include <QCloseEvent>
#include <QDate>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QVBoxLayout>

#include "AccountDatabase.h"
#include "AuditEngine.h"
#include "BaseSelectDialog.h"
#include "HostBillConfig.h"
#include "Kvbasicfun.h"

namespace {

constexpr int kGoodsRole = Qt::UserRole;      // goods id on the code cell
constexpr int kBatchRole = Qt::UserRole + 1;  // the goods keep batches
const char *const kTypeIdProperty = "typeId"; // base-data id of a header editor

// Base data behind the header fields, by DlyNdx column.
const QHash<QString, QString> kHeadKinds = {{QStringLiteral("BtypeId"), QStringLiteral("Btype")},
                                            {QStringLiteral("EtypeId"), QStringLiteral("Employee")},
                                            {QStringLiteral("KtypeId"), QStringLiteral("Stock")},
                                            {QStringLiteral("KTypeID2"), QStringLiteral("Stock")},
                                            {QStringLiteral("DtypeId"), QStringLiteral("Department")}};

const QHash<QString, QString> kHeadTables = {{QStringLiteral("BtypeId"), QStringLiteral("btype")},
                                             {QStringLiteral("EtypeId"), QStringLiteral("Employee")},
                                             {QStringLiteral("KtypeId"), QStringLiteral("stock")},
                                             {QStringLiteral("KTypeID2"), QStringLiteral("stock")},
                                             {QStringLiteral("DtypeId"), QStringLiteral("Department")}};

// Types whose lines take the goods' reference purchase price, and those taking the sale price.
bool BuysIn(int vchType)
{
    return vchType == 34 || vchType == 6 || vchType == 140 || vchType == 14 || vchType == 201;
}

bool IsEnter(const QKeyEvent *e)
{
    return e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter;
}

} // namespace

void TBillGrid::keyPressEvent(QKeyEvent *event)
{
    if (OnKey && OnKey(event))
        return;
    if (IsEnter(event) && state() != QAbstractItemView::EditingState && OnEnter) {
        OnEnter();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void TBillGrid::closeEditor(QWidget *editor, QAbstractItemDelegate::EndEditHint hint)
{
    QTableWidget::closeEditor(
        editor, hint == QAbstractItemDelegate::SubmitModelCache ? QAbstractItemDelegate::NoHint : hint);
    if (hint == QAbstractItemDelegate::SubmitModelCache && OnEnter)
        OnEnter(); // Enter committed the cell: on to the next one
}

bool BillWindow::Supports(int vchType)
{
    static const QSet<int> kTypes = {34, 6, 11, 45, 21, 140, 141, 14, 9, 201};
    return kTypes.contains(vchType);
}

BillWindow::BillWindow(TBillContext context, int vchType, QWidget *parent)
    : QWidget(parent), FContext(std::move(context)), FVchType(vchType)
{
    setObjectName(QStringLiteral("frmBill"));
    setProperty("BillPage", true);
    setAttribute(Qt::WA_DeleteOnClose);
    FLayout = TBillLayout::Load(Db(), vchType);

    auto *layout = new QVBoxLayout(this);
    auto *head = new QWidget(this);
    BuildHead(head);
    layout->addWidget(head);

    grdBill = new TBillGrid(0, int(FLayout.Columns.size()), this);
    grdBill->setObjectName(QStringLiteral("grdBill"));
    QStringList captions;
    for (const TBillColumn &c : FLayout.Columns)
        captions << c.Caption;
    grdBill->setHorizontalHeaderLabels(captions);
    grdBill->setSelectionMode(QAbstractItemView::SingleSelection);
    grdBill->setEditTriggers(QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked);
    grdBill->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    grdBill->OnEnter = [this] { MoveNext(); };
    grdBill->OnKey = [this](QKeyEvent *e) {
        if (e->key() == Qt::Key_F2)
            return SelectInGrid();
        if (e->key() == Qt::Key_Delete && grdBill->currentRow() >= 0 && FBill.State != TBillState::Posted &&
            FBill.State != TBillState::Waiting) {
            RemoveLine(grdBill->currentRow());
            return true;
        }
        return false;
    };
    connect(grdBill, &QTableWidget::cellChanged, this, &BillWindow::CellChanged);
    layout->addWidget(grdBill, 1);

    lblTotal = new QLabel(this);
    lblTotal->setObjectName(QStringLiteral("lblTotal"));
    layout->addWidget(lblTotal);
    lblState = new QLabel(this);
    lblState->setObjectName(QStringLiteral("lblState"));
    layout->addWidget(lblState);

    auto *buttons = new QHBoxLayout;
    const auto button = [&](const char *name, const QString &text, auto slot) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QString::fromLatin1(name));
        b->setAutoDefault(false);
        connect(b, &QPushButton::clicked, this, slot);
        buttons->addWidget(b);
        return b;
    };
    const bool flow = accountdb::audit::flowEnabled(Db(), vchType);
    btnNew = button("btnNew", QStringLiteral("新单"), [this] { NewBill(); });
    btnDraft = button("btnDraft", QStringLiteral("存草稿"), [this] { SaveDraft(); });
    btnPost =
        button("btnPost", flow ? QStringLiteral("提交审核") : QStringLiteral("保存过账"), [this] { Post(); });
    btnRedWord = button("btnRedWord", QStringLiteral("红字反冲"), [this] { RedWord(); });
    btnAudit = button("btnAudit", QStringLiteral("审核"), [this] { Audit(); });
    buttons->addStretch();
    button("btnClose", QStringLiteral("关闭"), [this] { close(); });
    layout->addLayout(buttons);
    auto *post = new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_S), this);
    connect(post, &QShortcut::activated, this, [this] { Post(); });

    NewBill();
}

BillWindow::~BillWindow()
{
    // An open cell editor commits while the children go: nothing of this window may answer then.
    disconnect(grdBill, nullptr, this, nullptr);
    grdBill->OnEnter = nullptr;
    grdBill->OnKey = nullptr;
}

void BillWindow::BuildHead(QWidget *parent)
{
    auto *grid = new QGridLayout(parent);
    int i = 0;
    for (const TBillField &f : FLayout.Fields) {
        auto *label = new QLabel(f.Caption + (f.Required ? QStringLiteral("*") : QString()), parent);
        auto *edit = new QLineEdit(parent);
        edit->setObjectName(QStringLiteral("edt") + f.Field);
        label->setBuddy(edit);
        if (f.Field == QLatin1String("Number"))
            edit->setPlaceholderText(QStringLiteral("保存时自动编号"));
        if (kHeadKinds.contains(f.Field)) {
            FHeadKinds.insert(edit, kHeadKinds.value(f.Field));
            edit->setPlaceholderText(QStringLiteral("编号或名称，F2 选择"));
            connect(edit, &QLineEdit::textEdited, edit,
                    [edit] { edit->setProperty(kTypeIdProperty, QString()); });
        }
        connect(edit, &QLineEdit::textEdited, this, [this] { FModified = true; });
        edit->installEventFilter(this);
        FHead.insert(f.Field, edit);
        grid->addWidget(label, i / 3, (i % 3) * 2);
        grid->addWidget(edit, i / 3, (i % 3) * 2 + 1);
        ++i;
    }
}

bool BillWindow::eventFilter(QObject *watched, QEvent *event)
{
    auto *edit = qobject_cast<QLineEdit *>(watched);
    if (!edit || event->type() != QEvent::KeyPress || edit->isReadOnly())
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_F2 && FHeadKinds.contains(edit)) {
        if (const std::optional<TBaseRecord> r = ResolveBase(FHeadKinds.value(edit), edit->text(), true)) {
            edit->setText(r->FullName);
            edit->setProperty(kTypeIdProperty, r->TypeId);
            FModified = true;
        }
        return true;
    }
    if (!IsEnter(key))
        return QWidget::eventFilter(watched, event);
    if (FHeadKinds.contains(edit))
        HeadBaseFinished(edit);
    // Enter walks the header in its order, then goes to the first line's goods.
    const QList<QLineEdit *> order = [this] {
        QList<QLineEdit *> l;
        for (const TBillField &f : FLayout.Fields)
            l << FHead.value(f.Field);
        return l;
    }();
    const qsizetype at = order.indexOf(edit);
    if (at + 1 < order.size()) {
        order[at + 1]->setFocus();
        order[at + 1]->selectAll();
    } else {
        grdBill->setFocus();
        grdBill->setCurrentCell(0, qMax(0, FLayout.ColumnIndex(QStringLiteral("PUserCode"))));
    }
    return true;
}

void BillWindow::HeadBaseFinished(QLineEdit *edit)
{
    if (edit->text().trimmed().isEmpty() || !edit->property(kTypeIdProperty).toString().isEmpty())
        return;
    if (const std::optional<TBaseRecord> r = ResolveBase(FHeadKinds.value(edit), edit->text(), false)) {
        edit->setText(r->FullName);
        edit->setProperty(kTypeIdProperty, r->TypeId);
    }
}

std::optional<TBaseRecord> BillWindow::ResolveBase(const QString &kind, const QString &text, bool askAlways)
{
    const QString typed = text.trimmed();
    if (!askAlways && !typed.isEmpty()) {
        // The operator's base-data rights limit the rows, as in the selection dialog.
        BaseSelectDialog rows(Db(), kind, typed, false, this);
        rows.SetOperator(FContext.System ? FContext.System->GetCurrentOperatorId() : QString());
        rows.Search();
        for (const TBaseRecord &r : rows.Rows())
            if (r.UserCode == typed)
                return r;
        if (rows.Rows().size() == 1)
            return rows.Rows().first();
    }
    TBaseRecordList picked;
    if (FContext.Select &&
        FContext.Select->SelectBaseData(kind, askAlways ? QString() : typed, false, picked) &&
        !picked.isEmpty())
        return picked.first();
    if (!askAlways && FContext.Messages)
        FContext.Messages->ShowWarningMsg(
            QStringLiteral("没有编号为“%1”的%2。")
                .arg(typed, BaseSelectDialog(Db(), kind, QString(), false).Kind().Caption));
    return std::nullopt;
}

void BillWindow::NewBill()
{
    FBill = TBill();
    FBill.Vchtype = FVchType;
    const auto [first, last] = BillStore::OpenDates(Db());
    const QString today = FContext.System ? FContext.System->GetLogOnDate() : QString();
    FBill.Head.insert(QStringLiteral("Date"),
                      !today.isEmpty() && today >= first && today <= last ? today : first);
    ShowBill();
    FModified = false;
}

bool BillWindow::LoadBill(qint64 vchcode)
{
    std::optional<TBill> bill = BillStore::Load(Db(), vchcode);
    if (!bill) {
        if (FContext.Messages)
            FContext.Messages->ShowWarningMsg(QStringLiteral("该单据已经不存在。"));
        return false;
    }
    FBill = *bill;
    ShowBill();
    FModified = false;
    return true;
}

void BillWindow::ShowBill()
{
    const QString name = HostBillConfig([this] { return &Db(); }).GetBillName(FVchType);
    setWindowTitle(FBill.Head.value(QStringLiteral("Number")).isEmpty()
                       ? name
                       : name + QStringLiteral(" ") + FBill.Head.value(QStringLiteral("Number")));
    for (auto it = FHead.cbegin(); it != FHead.cend(); ++it) {
        const QString value = FBill.Head.value(it.key());
        if (kHeadTables.contains(it.key())) {
            it.value()->setProperty(kTypeIdProperty, value);
            it.value()->setText(value.isEmpty()
                                    ? QString()
                                    : Db().value(QStringLiteral("SELECT FullName FROM %1 WHERE TypeId = ?")
                                                     .arg(kHeadTables.value(it.key())),
                                                 {value})
                                          .toString());
        } else {
            it.value()->setText(value);
        }
    }
    FFilling = true;
    grdBill->setRowCount(0);
    for (const TBillLine &line : std::as_const(FBill.Lines)) {
        AddLine();
        const int row = grdBill->rowCount() - 1;
        for (int c = 0; c < FLayout.Columns.size(); ++c) {
            const TBillColumn &col = FLayout.Columns[c];
            grdBill->item(row, c)->setText(
                col.Number
                    ? Kvbasicfun::FloatToStringBit(line.Numbers.value(col.Column.toLower()), col.Decimals)
                    : line.Texts.value(col.Column));
        }
        const int goods = FLayout.ColumnIndex(QStringLiteral("PUserCode"));
        if (goods >= 0) {
            grdBill->item(row, goods)->setData(kGoodsRole, line.PtypeId);
            grdBill->item(row, goods)
                ->setData(kBatchRole, line.Texts.value(QStringLiteral("KeepBatch")) == u'1');
        }
    }
    const bool editable = FBill.State == TBillState::New || FBill.State == TBillState::Draft ||
                          FBill.State == TBillState::Returned;
    if (editable)
        AddLine();
    FFilling = false;
    SetEditable(editable);
    UpdateTotals();
    SetStateText();
}

void BillWindow::SetStateText()
{
    static const QHash<int, QString> kStates = {
        {int(TBillState::New), QStringLiteral("新单据")},
        {int(TBillState::Draft), QStringLiteral("草稿")},
        {int(TBillState::Waiting), QStringLiteral("等待审核")},
        {int(TBillState::Returned), QStringLiteral("审核驳回，可修改后重新提交")},
        {int(TBillState::Posted), QStringLiteral("已过账")}};
    QString text = kStates.value(int(FBill.State));
    if (FBill.Red)
        text += QStringLiteral("（红字）");
    lblState->setText(text);
}

void BillWindow::SetEditable(bool editable)
{
    for (QLineEdit *e : std::as_const(FHead))
        e->setReadOnly(!editable);
    grdBill->setEditTriggers(editable ? QAbstractItemView::AnyKeyPressed | QAbstractItemView::DoubleClicked
                                      : QAbstractItemView::NoEditTriggers);
    btnDraft->setEnabled(editable);
    btnPost->setEnabled(editable);
    btnRedWord->setEnabled(FBill.State == TBillState::Posted && !FBill.Red && FVchType != 201);
    btnAudit->setEnabled(FBill.State == TBillState::Waiting && FContext.Audit);
}

void BillWindow::AddLine()
{
    const bool filling = FFilling;
    FFilling = true;
    const int row = grdBill->rowCount();
    grdBill->insertRow(row);
    for (int c = 0; c < FLayout.Columns.size(); ++c) {
        auto *item = new QTableWidgetItem;
        if (FLayout.Columns[c].ReadOnly)
            item->setFlags(item->flags() & ~Qt::ItemIsEditable);
        if (FLayout.Columns[c].Number)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        grdBill->setItem(row, c, item);
    }
    FFilling = filling;
}

void BillWindow::RemoveLine(int row)
{
    grdBill->removeRow(row);
    if (grdBill->rowCount() == 0)
        AddLine();
    FModified = true;
    UpdateTotals();
}

void BillWindow::MoveNext()
{
    if (grdBill->editTriggers() == QAbstractItemView::NoEditTriggers)
        return;
    const int goods = FLayout.ColumnIndex(QStringLiteral("PUserCode"));
    int row = qMax(0, grdBill->currentRow());
    int col = grdBill->currentColumn();
    const auto editable = [&](int r, int c) {
        const TBillColumn &column = FLayout.Columns[c];
        if (column.ReadOnly)
            return false;
        if (column.Column == QLatin1String("BlockNo"))
            return grdBill->item(r, goods) && grdBill->item(r, goods)->data(kBatchRole).toBool();
        return true;
    };
    // A line without goods ends the entry: the cursor stays on its goods cell.
    if (goods >= 0 && grdBill->item(row, goods)->data(kGoodsRole).toString().isEmpty()) {
        grdBill->setCurrentCell(row, goods);
        return;
    }
    for (++col; col < FLayout.Columns.size(); ++col)
        if (editable(row, col))
            break;
    if (col >= FLayout.Columns.size()) {
        ++row;
        if (row >= grdBill->rowCount())
            AddLine();
        col = qMax(0, goods);
    }
    grdBill->setCurrentCell(row, col);
}

bool BillWindow::SelectInGrid()
{
    const int goods = FLayout.ColumnIndex(QStringLiteral("PUserCode"));
    const int row = grdBill->currentRow();
    if (row < 0 || grdBill->currentColumn() != goods ||
        grdBill->editTriggers() == QAbstractItemView::NoEditTriggers)
        return false;
    if (const std::optional<TBaseRecord> r = ResolveBase(QStringLiteral("Ptype"), QString(), true))
        SetGoods(row, *r);
    return true;
}

void BillWindow::CellChanged(int row, int column)
{
    if (FFilling)
        return;
    FModified = true;
    const TBillColumn &c = FLayout.Columns[column];
    const QString text = grdBill->item(row, column)->text().trimmed();
    if (c.Column == QLatin1String("PUserCode")) {
        if (text.isEmpty())
            return;
        if (const std::optional<TBaseRecord> r = ResolveBase(QStringLiteral("Ptype"), text, false)) {
            SetGoods(row, *r);
        } else {
            FFilling = true;
            grdBill->item(row, column)->setText(QString());
            grdBill->item(row, column)->setData(kGoodsRole, QString());
            FFilling = false;
        }
        return;
    }
    if (!c.Number)
        return;
    bool ok = false;
    const double typed = text.isEmpty() ? 0 : text.toDouble(&ok);
    QHash<QString, double> numbers = LineNumbers(row);
    numbers[c.Column.toLower()] = ok ? Kvbasicfun::FloatToFloatBit(typed, c.Decimals) : 0;
    FLayout.Recalculate(numbers, c.Column);
    ShowNumbers(row, numbers);
    UpdateTotals();
}

void BillWindow::SetGoods(int row, const TBaseRecord &goods)
{
    const QHash<QString, QString> texts = BillStore::GoodsTexts(Db(), goods.TypeId);
    FFilling = true;
    for (int c = 0; c < FLayout.Columns.size(); ++c) {
        const TBillColumn &col = FLayout.Columns[c];
        if (texts.contains(col.Column))
            grdBill->item(row, c)->setText(texts.value(col.Column));
    }
    const int code = FLayout.ColumnIndex(QStringLiteral("PUserCode"));
    grdBill->item(row, code)->setData(kGoodsRole, goods.TypeId);
    grdBill->item(row, code)->setData(kBatchRole, texts.value(QStringLiteral("KeepBatch")) == u'1');
    FFilling = false;
    QHash<QString, double> numbers = LineNumbers(row);
    if (numbers.value(QStringLiteral("price")) == 0) {
        numbers[QStringLiteral("price")] =
            texts.value(BuysIn(FVchType) ? QStringLiteral("RecPrice") : QStringLiteral("SalePrice"))
                .toDouble();
        FLayout.Recalculate(numbers, QStringLiteral("price"));
        ShowNumbers(row, numbers);
    }
    FModified = true;
    UpdateTotals();
}

QHash<QString, double> BillWindow::LineNumbers(int row) const
{
    QHash<QString, double> numbers;
    for (int c = 0; c < FLayout.Columns.size(); ++c)
        if (FLayout.Columns[c].Number)
            numbers.insert(FLayout.Columns[c].Column.toLower(), grdBill->item(row, c)->text().toDouble());
    return numbers;
}

void BillWindow::ShowNumbers(int row, const QHash<QString, double> &numbers)
{
    FFilling = true;
    for (int c = 0; c < FLayout.Columns.size(); ++c) {
        const TBillColumn &col = FLayout.Columns[c];
        if (col.Number && numbers.contains(col.Column.toLower()))
            grdBill->item(row, c)->setText(
                Kvbasicfun::FloatToStringBit(numbers.value(col.Column.toLower()), col.Decimals));
    }
    FFilling = false;
}

void BillWindow::UpdateTotals()
{
    double qty = 0, total = 0;
    for (int r = 0; r < grdBill->rowCount(); ++r) {
        const QHash<QString, double> n = LineNumbers(r);
        qty += n.value(QStringLiteral("qty"));
        total += n.value(QStringLiteral("total"));
    }
    lblTotal->setText(QStringLiteral("合计  数量：%1  金额：%2")
                          .arg(Kvbasicfun::FloatToStringBit(qty, 4), Kvbasicfun::FloatToStringBit(total, 2)));
}

bool BillWindow::CollectBill(TBill &bill)
{
    bill = FBill;
    for (auto it = FHead.cbegin(); it != FHead.cend(); ++it) {
        QLineEdit *edit = it.value();
        if (FHeadKinds.contains(edit)) {
            HeadBaseFinished(edit);
            if (!edit->text().trimmed().isEmpty() && edit->property(kTypeIdProperty).toString().isEmpty())
                return false; // the lookup has said why
            bill.Head.insert(it.key(), edit->text().trimmed().isEmpty()
                                           ? QString()
                                           : edit->property(kTypeIdProperty).toString());
        } else {
            bill.Head.insert(it.key(), edit->text());
        }
    }
    bill.Lines.clear();
    const int goods = FLayout.ColumnIndex(QStringLiteral("PUserCode"));
    for (int r = 0; r < grdBill->rowCount() && goods >= 0; ++r) {
        const QString ptype = grdBill->item(r, goods)->data(kGoodsRole).toString();
        if (ptype.isEmpty())
            continue;
        TBillLine line;
        line.PtypeId = ptype;
        line.Numbers = LineNumbers(r);
        for (int c = 0; c < FLayout.Columns.size(); ++c)
            if (!FLayout.Columns[c].Number)
                line.Texts.insert(FLayout.Columns[c].Column, grdBill->item(r, c)->text().trimmed());
        bill.Lines.append(line);
    }
    return true;
}

bool BillWindow::Save(TSaveMode mode)
{
    TBill bill;
    if (!btnPost->isEnabled() || !CollectBill(bill))
        return false;
    const QString op = FContext.System ? FContext.System->GetCurrentOperatorId() : QString();
    const QString opName = FContext.System ? FContext.System->GetCurrentOperatorName() : QString();
    TSaveResult r;
    try {
        r = BillStore::Save(Db(), bill, mode, false, op, opName);
        if (r.Code == -12 && FContext.Messages &&
            FContext.Messages->ConfirmYesNo(r.Message + QStringLiteral("\n是否继续保存？"),
                                            TMessageBoxType::mtWarning, QString()))
            r = BillStore::Save(Db(), bill, mode, true, op, opName);
        else if (r.Code == -12)
            return false;
    } catch (const accountdb::DbError &e) {
        if (FContext.Messages)
            FContext.Messages->ShowErrorMsg(e.message());
        return false;
    }
    if (r.Code < 0) {
        if (FContext.Messages)
            FContext.Messages->ShowWarningMsg(r.Message);
        return false;
    }
    static const QStringList kDone = {QStringLiteral("单据已过账"), QStringLiteral("单据已提交审核"),
                                      QStringLiteral("单据已存为草稿")};
    if (FVchType == 201)
        NewBill(); // the opening stock is kept with the opening balances, not among the bills
    else
        LoadBill(r.Vchcode);
    FModified = false;
    lblState->setText(lblState->text() + QStringLiteral("  ") + kDone.value(r.Code) + QStringLiteral("：") +
                      r.Number);
    return true;
}

bool BillWindow::RedWord()
{
    if (FBill.State != TBillState::Posted || FBill.Red || !FContext.Messages ||
        !FContext.Messages->ConfirmYesNo(QStringLiteral("确定要红字反冲这张单据吗？"),
                                         TMessageBoxType::mtWarning, QString()))
        return false;
    TSaveResult r;
    try {
        r = BillStore::RedWord(Db(), FBill.Vchcode,
                               FContext.System ? FContext.System->GetCurrentOperatorId() : QString());
    } catch (const accountdb::DbError &e) {
        FContext.Messages->ShowErrorMsg(e.message());
        return false;
    }
    if (r.Code < 0) {
        FContext.Messages->ShowWarningMsg(r.Message);
        return false;
    }
    LoadBill(FBill.Vchcode);
    return true;
}

bool BillWindow::Audit()
{
    if (FBill.State != TBillState::Waiting || !FContext.Audit || !FContext.Audit(FBill.Vchcode, FVchType))
        return false;
    LoadBill(FBill.Vchcode);
    return true;
}

void BillWindow::closeEvent(QCloseEvent *event)
{
    if (FModified && FContext.Messages &&
        !FContext.Messages->ConfirmYesNo(QStringLiteral("单据还没有保存，确定要关闭吗？"),
                                         TMessageBoxType::mtWarning, QString())) {
        event->ignore();
        return;
    }
    event->accept();
}
