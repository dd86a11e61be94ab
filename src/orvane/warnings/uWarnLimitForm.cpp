#include "uWarnLimitForm.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QSet>
#include <QVBoxLayout>

#include "Kvbasicfun.h"
#include "Kvtable.h"
#include "Udllbaseselect.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uMessageComm.h"

namespace uWarnLimits {

QString EscapeXml(const QString &text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    escaped.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    escaped.replace(QLatin1Char('\''), QLatin1String("&apos;"));
    return escaped;
}

QString BuildXml(const QList<TXmlAttributes> &records)
{
    QString xml = QStringLiteral("<Root>");
    for (const TXmlAttributes &record : records) {
        QString attributes;
        for (const auto &[name, value] : record)
            attributes += QStringLiteral("%1=\"%2\" ").arg(name, value);
        xml += QStringLiteral("<Record ") + EscapeXml(attributes) + QStringLiteral("/>");
    }
    return xml + QStringLiteral("</Root> ");
}

QString XmlNumber(double value)
{
    return QString::asprintf("%.4f", value);
}

double UpperValue(const QString &text)
{
    const QString t = text.trimmed();
    if (t.isEmpty() || t == QStringLiteral("+∞") || t == QStringLiteral("＋∞"))
        return NoUpper;
    const double value = t.toDouble();
    return value == 0 ? NoUpper : value;
}

bool CloseWithoutSaving(const QString &question, const std::function<void()> &save)
{
    const TMessageBoxButton answer = Udllmessageintf::SuperMessageBox(
        question, QStringLiteral("信息"), TMessageBoxType::mtConfirmation,
        ButtonSet({TMessageBoxButton::mbYes, TMessageBoxButton::mbNo, TMessageBoxButton::mbCancel}));
    if (answer == TMessageBoxButton::mbYes)
        Kvtable::RunGuarded(save);
    return answer == TMessageBoxButton::mbNo;
}

} // namespace uWarnLimits

using namespace uWarnLimits;

namespace {
const QString kLimitOrder = QStringLiteral("报警上限必须大于报警下限，上限和下限都不能为负数。");
const QString kLimitRange = QStringLiteral("报警上下限必须在0到100000000之间。");
constexpr int kCommitted = Qt::UserRole + 1; // the last accepted text of a limit cell
} // namespace

TfrmWarnLimitForm::TfrmWarnLimitForm(QWidget *parent, bool fullWidthInfinity)
    : TfrmDialogParent(parent), FInfinity(fullWidthInfinity ? QStringLiteral("＋∞") : QStringLiteral("+∞"))
{
    auto *root = new QVBoxLayout(pnlEntry);
    root->setContentsMargins(0, 0, 0, 0);
    MainGrid = new TKvGGeneralWGrid(pnlEntry);
    MainGrid->setObjectName(QStringLiteral("MainGrid"));
    QList<TGridColumn> columns;
    const QList<QPair<QString, QString>> fields = {{QStringLiteral("PUSERCODE"), QStringLiteral("存货编号")},
                                                   {QStringLiteral("PFULLNAME"), QStringLiteral("存货全名")},
                                                   {QStringLiteral("WarnDown"), QStringLiteral("库存下限")},
                                                   {QStringLiteral("WarnUp"), QStringLiteral("库存上限")},
                                                   {QStringLiteral("ptypeid"), QStringLiteral("存货ID")},
                                                   {QStringLiteral("sonnum"), QStringLiteral("子项数")}};
    for (int i = 0; i < fields.size(); ++i) {
        TGridColumn column;
        column.FieldName = fields[i].first;
        column.Caption = fields[i].second;
        column.Visible = i < colPtypeId;
        columns << column;
    }
    MainGrid->SetColumns(columns);
    MainGrid->setColumnHidden(colPtypeId, true);
    MainGrid->setColumnHidden(colSonnum, true);
    MainGrid->setContextMenuPolicy(Qt::ActionsContextMenu);
    root->addWidget(MainGrid, 1);

    pmGrid = new QMenu(this);
    pmGrid->setObjectName(QStringLiteral("pmGrid"));
    const auto action = [this](const char *name, const QString &text, std::function<void()> run) {
        auto *a = new QAction(text, this);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, [run] { Kvtable::RunGuarded(run); });
        pmGrid->addAction(a);
        MainGrid->addAction(a);
        return a;
    };
    actInsertBefore = action("actInsertBefore", QStringLiteral("前插一行"),
                             [this] { InsertRow(qMax(0, MainGrid->currentRow())); });
    actInsertAfter = action("actInsertAfter", QStringLiteral("后插一行"),
                            [this] { InsertRow(MainGrid->currentRow() + 1); });
    actDeleteRow =
        action("actDeleteRow", QStringLiteral("删除一行"), [this] { DeleteRow(MainGrid->currentRow()); });
    actImportSafeQty =
        action("actImportSafeQty", QStringLiteral("导入安全库存"), [this] { ImportSafeQty(); });

    btnSave = AddBottomButton(QStringLiteral("btnSave"), QStringLiteral("保存"));
    btnClose = AddBottomButton(QStringLiteral("btnClose"), QStringLiteral("关闭"));
    connect(btnSave, &QPushButton::clicked, this, [this] { Kvtable::RunGuarded([this] { Save(); }); });
    connect(btnClose, &QPushButton::clicked, this, [this] { done(mrCancel); });
    // A double-click on a row without goods picks goods for it.
    connect(MainGrid, &QTableWidget::cellDoubleClicked, this, [this](int row) {
        if (!IsGoodsRow(row) && LimitsEditable())
            Kvtable::RunGuarded([this, row] { SelectGoods(row, QString()); });
    });
    connect(MainGrid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (!FLoading)
            Kvtable::RunGuarded([this, item] { CellEdited(item->row(), item->column()); });
    });
}

TfrmWarnLimitForm::~TfrmWarnLimitForm() = default;

void TfrmWarnLimitForm::SetCell(int row, int column, const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    const bool goods = IsGoodsRow(row) || column == colPtypeId;
    const bool editable = column == colWarnDown || column == colWarnUp     ? goods && LimitsEditable()
                          : column == colUserCode || column == colFullName ? !goods && LimitsEditable()
                                                                           : false;
    item->setFlags(editable ? item->flags() | Qt::ItemIsEditable : item->flags() & ~Qt::ItemIsEditable);
    item->setData(kCommitted, text);
    MainGrid->setItem(row, column, item);
}

void TfrmWarnLimitForm::SetLimitCell(int row, int column, const QString &text)
{
    FLoading = true;
    if (QTableWidgetItem *item = MainGrid->item(row, column)) {
        item->setText(text);
        item->setData(kCommitted, text);
    }
    FLoading = false;
}

void TfrmWarnLimitForm::SetGoodsRow(int row, const QString &ptypeId, const QString &userCode,
                                    const QString &fullName, double warnDown, double warnUp, int sonnum)
{
    FLoading = true;
    if (row < 0) {
        row = qMax(0, MainGrid->rowCount() - 1);
        if (MainGrid->rowCount() == 0 || IsGoodsRow(row))
            row = MainGrid->rowCount();
        MainGrid->insertRow(row);
    }
    // The id first: the other cells' editability follows from it.
    SetCell(row, colPtypeId, ptypeId);
    SetCell(row, colSonnum, QString::number(sonnum));
    SetCell(row, colUserCode, userCode);
    SetCell(row, colFullName, fullName);
    SetCell(row, colWarnDown, Kvbasicfun::FloatToStringBit(warnDown, 4));
    SetCell(row, colWarnUp,
            UpperValue(QString::number(warnUp, 'f', 4)) == NoUpper ? FInfinity
                                                                   : Kvbasicfun::FloatToStringBit(warnUp, 4));
    FLoading = false;
}

void TfrmWarnLimitForm::AppendEmptyRow()
{
    FLoading = true;
    const int row = MainGrid->rowCount();
    MainGrid->insertRow(row);
    for (int column = 0; column < colCount; ++column)
        SetCell(row, column, QString());
    FLoading = false;
}

void TfrmWarnLimitForm::ClearGrid()
{
    FLoading = true;
    MainGrid->setRowCount(0);
    FLoading = false;
}

bool TfrmWarnLimitForm::IsGoodsRow(int row) const
{
    const QTableWidgetItem *item = MainGrid->item(row, colPtypeId);
    return item && !item->text().trimmed().isEmpty();
}

QString TfrmWarnLimitForm::PtypeId(int row) const
{
    return MainGrid->CellText(row, QStringLiteral("ptypeid")).trimmed();
}

double TfrmWarnLimitForm::WarnDown(int row) const
{
    return MainGrid->CellText(row, QStringLiteral("WarnDown")).trimmed().toDouble();
}

double TfrmWarnLimitForm::WarnUp(int row) const
{
    return UpperValue(MainGrid->CellText(row, QStringLiteral("WarnUp")));
}

bool TfrmWarnLimitForm::HasUnsetRows() const
{
    for (int row = 0; row < MainGrid->rowCount(); ++row)
        if (IsGoodsRow(row) && IsUnset(WarnDown(row), WarnUp(row)))
            return true;
    return false;
}

void TfrmWarnLimitForm::SelectGoods(int row, const QString &searchText)
{
    TBaseRecordList picked;
    if (!Udllbaseselect::SelectBaseData(QStringLiteral("Ptype"), searchText, true, picked))
        return;
    QSet<QString> present;
    for (int r = 0; r < MainGrid->rowCount(); ++r)
        present.insert(PtypeId(r));
    int target = row;
    int first = -1;
    for (const TBaseRecord &goods : picked) {
        if (present.contains(goods.TypeId))
            continue;
        present.insert(goods.TypeId);
        if (target >= 0 && target < MainGrid->rowCount() && !IsGoodsRow(target)) {
            SetGoodsRow(target, goods.TypeId, goods.UserCode, goods.FullName, 0, NoUpper);
            first = first < 0 ? target : first;
            target = -1;
        } else {
            SetGoodsRow(-1, goods.TypeId, goods.UserCode, goods.FullName, 0, NoUpper);
            first = first < 0 ? MainGrid->rowCount() - 1 : first;
        }
    }
    if (MainGrid->rowCount() == 0 || IsGoodsRow(MainGrid->rowCount() - 1))
        AppendEmptyRow();
    if (first >= 0) {
        FIsChange = true;
        MainGrid->setCurrentCell(first, colWarnDown);
    }
}

// After an edit: a typed code or name on an empty row opens the goods selector with the text; on a goods
// row the limit must be a number from 0 to 100000000, and with an upper limit set the lower one must stay
// below it, else the cell gets its former value back and the error is raised.
void TfrmWarnLimitForm::CellEdited(int row, int column)
{
    QTableWidgetItem *item = MainGrid->item(row, column);
    if (!item)
        return;
    if (column == colUserCode || column == colFullName) {
        if (IsGoodsRow(row))
            return;
        const QString text = item->text().trimmed();
        SetLimitCell(row, column, QString());
        SetLimitCell(row, colWarnDown, QString());
        SetLimitCell(row, colWarnUp, QString());
        FIsChange = true;
        if (!text.isEmpty())
            SelectGoods(row, text);
        return;
    }
    if (column != colWarnDown && column != colWarnUp)
        return;
    if (!IsGoodsRow(row)) {
        SetLimitCell(row, colWarnDown, QString());
        SetLimitCell(row, colWarnUp, QString());
        FIsChange = true;
        return;
    }
    const QString former = item->data(kCommitted).toString();
    QString text = item->text().trimmed();
    if (column == colWarnUp && (text.isEmpty() || text == FInfinity || text == QStringLiteral("999999999")))
        text = FInfinity;
    if (column == colWarnDown && text.isEmpty())
        text = QStringLiteral("0");
    bool number = true;
    const double value = text == FInfinity ? NoUpper : text.toDouble(&number);
    if (!number || (text != FInfinity && (value < 0 || value > MaxLimit))) {
        SetLimitCell(row, column, former);
        Udllmessageintf::CheckError(true, kLimitRange);
    }
    SetLimitCell(row, column, text);
    const QString up = MainGrid->item(row, colWarnUp)->text().trimmed();
    const bool upperSet = !up.isEmpty() && up != FInfinity;
    if (upperSet && WarnDown(row) >= up.toDouble()) {
        SetLimitCell(row, column, former);
        Udllmessageintf::CheckError(true, kLimitOrder);
    }
    FIsChange = true;
}

void TfrmWarnLimitForm::InsertRow(int row)
{
    if (!LimitsEditable())
        return;
    FLoading = true;
    row = qBound(0, row, MainGrid->rowCount());
    MainGrid->insertRow(row);
    for (int column = 0; column < colCount; ++column)
        SetCell(row, column, QString());
    FLoading = false;
    FIsChange = true;
}

void TfrmWarnLimitForm::DeleteRow(int row)
{
    if (!LimitsEditable() || row < 0 || row >= MainGrid->rowCount())
        return;
    MainGrid->removeRow(row);
    if (MainGrid->rowCount() == 0 || IsGoodsRow(MainGrid->rowCount() - 1))
        AppendEmptyRow();
    FIsChange = true;
}

QString TfrmWarnLimitForm::GoodsDocument(bool withUnset) const
{
    QList<TXmlAttributes> records;
    for (int row = 0; row < MainGrid->rowCount(); ++row)
        if (IsGoodsRow(row) && (withUnset || !IsUnset(WarnDown(row), WarnUp(row))))
            records << TXmlAttributes{
                {QStringLiteral("PTypeID"), PtypeId(row)},
                {QStringLiteral("PFullName"), MainGrid->CellText(row, QStringLiteral("PFULLNAME"))},
                {QStringLiteral("WarnDown"), XmlNumber(WarnDown(row))},
                {QStringLiteral("WarnUp"), XmlNumber(WarnUp(row))},
                {QStringLiteral("RowNo"), QString::number(row + 1)}};
    return BuildXml(records);
}

void TfrmWarnLimitForm::ImportSafeQty()
{
    if (!LimitsEditable())
        return;
    TClientDataSet rows;
    Udlldbservice::OpenProcByName(QStringLiteral("P_JXC_ImportPtypeSaleQty"), {QStringLiteral("@PTypeXML")},
                                  {GoodsDocument(true)}, rows);
    TBatchMessage failures;
    ClearGrid();
    for (rows.First(); !rows.Eof(); rows.Next()) {
        const QString error = rows.FieldByName(QStringLiteral("ErrorMsg")).AsString();
        if (!error.isEmpty())
            failures.AddMsg(error);
        SetGoodsRow(-1, rows.FieldByName(QStringLiteral("ptypeid")).AsString(),
                    rows.FieldByName(QStringLiteral("PUSERCODE")).AsString(),
                    rows.FieldByName(QStringLiteral("PFULLNAME")).AsString(),
                    rows.FieldByName(QStringLiteral("WarnDown")).AsFloat(),
                    rows.FieldByName(QStringLiteral("WarnUp")).AsFloat());
    }
    AppendEmptyRow();
    FIsChange = true;
    if (failures.HasMsg())
        failures.ShowWarningBatchMsg();
}

bool TfrmWarnLimitForm::AskUnset(bool hasUnset, const QString &question)
{
    return !hasUnset ||
           Udllmessageintf::SuperMessageBox(question, QStringLiteral("信息"), TMessageBoxType::mtConfirmation,
                                            ButtonSet({TMessageBoxButton::mbYes, TMessageBoxButton::mbNo})) ==
               TMessageBoxButton::mbYes;
}

bool TfrmWarnLimitForm::SendSave(const QString &procName, const QString &xml)
{
    TClientDataSet rows;
    Udlldbservice::OpenProcByName(procName, {QStringLiteral("@PTypeXML")}, {xml}, rows);
    TBatchMessage failures;
    if (rows.HasField(QStringLiteral("Msg")))
        for (rows.First(); !rows.Eof(); rows.Next())
            if (const QString msg = rows.FieldByName(QStringLiteral("Msg")).AsString(); !msg.isEmpty())
                failures.AddMsg(msg);
    if (failures.HasMsg()) {
        failures.ShowErrorBatchMsg();
        return false;
    }
    return true;
}

void TfrmWarnLimitForm::done(int result)
{
    if (FClosing || result == mrOk || !FIsChange ||
        CloseWithoutSaving(
            QStringLiteral("报警设置已经发生改变，是否存盘？按[取消]键将不做任何处理返回录入窗口。"),
            [this] { Save(); })) {
        FClosing = true;
        TfrmDialogParent::done(result);
    }
}
