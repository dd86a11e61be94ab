#include "uPartStocksWarnSetUp.h"

#include <QHBoxLayout>
#include <QLayout>

#include "Kvtable.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uDllComm.h"

using namespace uWarnLimits;

namespace {
const QString kAllStocks = QStringLiteral("00000");
constexpr int kIdRole = Qt::UserRole;
constexpr int kCodeRole = Qt::UserRole + 1;
} // namespace

TfrmPartStocksWarnSetUp::TfrmPartStocksWarnSetUp(QWidget *parent) : TfrmWarnLimitForm(parent, true)
{
    setObjectName(QStringLiteral("frmPartStocksWarnSetUp"));
    SetTitle(QStringLiteral("库存分仓报警设置"));
    SetMoudleNo(2129);
    tvTree = new QTreeWidget(pnlEntry);
    tvTree->setObjectName(QStringLiteral("tvTree"));
    tvTree->setHeaderHidden(true);
    // The tree goes left of the grid.
    auto *outer = static_cast<QBoxLayout *>(pnlEntry->layout());
    outer->removeWidget(MainGrid);
    auto *row = new QHBoxLayout;
    row->addWidget(tvTree, 1);
    row->addWidget(MainGrid, 3);
    outer->addLayout(row, 1);
    connect(tvTree, &QTreeWidget::currentItemChanged, this,
            [this](QTreeWidgetItem *current, QTreeWidgetItem *previous) {
                Kvtable::RunGuarded([&] { tvTreeChange(current, previous); });
            });
    AddPrintButton();
}

void TfrmPartStocksWarnSetUp::LoadTree()
{
    const QSignalBlocker block(tvTree);
    tvTree->clear();
    auto *root = new QTreeWidgetItem(tvTree, {QStringLiteral("所有仓库")});
    root->setData(0, kIdRole, kAllStocks);
    TClientDataSet stocks;
    Udlldbservice::OpenSQL(QStringLiteral("SELECT typeId, UserCode, FullName FROM stock WHERE Sonnum = 0 AND "
                                          "Deleted = 0 ORDER BY UserCode"),
                           stocks);
    for (stocks.First(); !stocks.Eof(); stocks.Next()) {
        auto *node = new QTreeWidgetItem(root, {stocks.FieldByName(QStringLiteral("FullName")).AsString()});
        node->setData(0, kIdRole, stocks.FieldByName(QStringLiteral("typeId")).AsString());
        node->setData(0, kCodeRole, stocks.FieldByName(QStringLiteral("UserCode")).AsString());
    }
    root->setExpanded(true);
}

void TfrmPartStocksWarnSetUp::LoadData()
{
    LoadTree();
    FPtypeCollection.clear();
    TClientDataSet rows;
    Udlldbservice::OpenProcByName(QStringLiteral("P_KOVA_KPKuCunWarn"), {QStringLiteral("@OperatorID")},
                                  {Udllsystemintf::GetCurrentOperatorId()}, rows);
    for (rows.First(); !rows.Eof(); rows.Next()) {
        TPTypeWarn warn;
        warn.KTypeID = rows.FieldByName(QStringLiteral("KTypeID")).AsString();
        warn.PTypeID = rows.FieldByName(QStringLiteral("PtypeId")).AsString();
        warn.PUserCode = rows.FieldByName(QStringLiteral("PUSERCODE")).AsString();
        warn.PFullName = rows.FieldByName(QStringLiteral("PFULLNAME")).AsString();
        warn.WarnDown = rows.FieldByName(QStringLiteral("WarnDown")).AsFloat();
        warn.WarnUp = rows.FieldByName(QStringLiteral("WarnUp")).AsFloat();
        FPtypeCollection[warn.KTypeID] << warn;
    }
    QTreeWidgetItem *root = tvTree->topLevelItem(0);
    tvTree->setCurrentItem(root->childCount() > 0 ? root->child(0) : root);
    FIsShow = true;
}

QString TfrmPartStocksWarnSetUp::CurrentStockId() const
{
    const QTreeWidgetItem *node = tvTree->currentItem();
    return node ? node->data(0, kIdRole).toString() : kAllStocks;
}

bool TfrmPartStocksWarnSetUp::LimitsEditable() const
{
    return CurrentStockId() != kAllStocks;
}

void TfrmPartStocksWarnSetUp::StoreGrid(const QString &ktypeId)
{
    if (ktypeId == kAllStocks)
        return;
    QList<TPTypeWarn> list;
    for (int row = 0; row < MainGrid->rowCount(); ++row)
        if (IsGoodsRow(row))
            list << TPTypeWarn{PtypeId(row),
                               ktypeId,
                               WarnDown(row),
                               WarnUp(row),
                               MainGrid->CellText(row, QStringLiteral("PUSERCODE")),
                               MainGrid->CellText(row, QStringLiteral("PFULLNAME"))};
    FPtypeCollection[ktypeId] = list;
}

void TfrmPartStocksWarnSetUp::ShowStock(const QString &ktypeId)
{
    ClearGrid();
    for (const TPTypeWarn &warn : FPtypeCollection.value(ktypeId))
        SetGoodsRow(-1, warn.PTypeID, warn.PUserCode, warn.PFullName, warn.WarnDown, warn.WarnUp);
    const bool editable = ktypeId != kAllStocks;
    if (editable)
        AppendEmptyRow();
    for (QAction *action : {actInsertBefore, actInsertAfter, actDeleteRow, actImportSafeQty}) {
        action->setEnabled(editable);
        action->setVisible(editable);
    }
}

void TfrmPartStocksWarnSetUp::tvTreeChange(QTreeWidgetItem *current, QTreeWidgetItem *previous)
{
    if (previous)
        StoreGrid(previous->data(0, kIdRole).toString());
    FOldSelectNode = current;
    ShowStock(current ? current->data(0, kIdRole).toString() : kAllStocks);
}

QString TfrmPartStocksWarnSetUp::SaveDocument() const
{
    QHash<QString, QString> stockNames;
    if (const QTreeWidgetItem *root = tvTree->topLevelItem(0))
        for (int i = 0; i < root->childCount(); ++i)
            stockNames.insert(root->child(i)->data(0, kIdRole).toString(), root->child(i)->text(0));
    QList<TXmlAttributes> records;
    for (auto it = FPtypeCollection.cbegin(); it != FPtypeCollection.cend(); ++it) {
        if (it.key() == kAllStocks)
            continue;
        for (const TPTypeWarn &warn : it.value())
            if (!IsUnset(warn.WarnDown, warn.WarnUp))
                records << TXmlAttributes{{QStringLiteral("PTypeID"), warn.PTypeID},
                                          {QStringLiteral("PFullName"), warn.PFullName},
                                          {QStringLiteral("KTypeID"), it.key()},
                                          {QStringLiteral("KFullName"), stockNames.value(it.key())},
                                          {QStringLiteral("WarnDown"), XmlNumber(warn.WarnDown)},
                                          {QStringLiteral("WarnUp"), XmlNumber(warn.WarnUp)}};
    }
    return BuildXml(records);
}

bool TfrmPartStocksWarnSetUp::Save()
{
    StoreGrid(CurrentStockId());
    bool unset = false;
    for (auto it = FPtypeCollection.cbegin(); it != FPtypeCollection.cend(); ++it)
        for (const TPTypeWarn &warn : it.value())
            unset = unset || (it.key() != kAllStocks && IsUnset(warn.WarnDown, warn.WarnUp));
    if (!AskUnset(unset, QStringLiteral("有存货上下限均未设置，保存时不会保存未设置的数据，是否继续。")))
        return false;
    FIsError = !SendSave(QStringLiteral("P_JXC_SavePartStocksWarn"), SaveDocument());
    if (FIsError)
        return false;
    Udllmessageintf::ShowInfoMessage(QStringLiteral("所有仓库报警设置保存成功。"));
    FIsSave = true;
    done(mrOk);
    return true;
}

void TfrmPartStocksWarnSetUp::SetPrintHeaderValues(TPrintHeaderValues &values)
{
    TfrmWarnLimitForm::SetPrintHeaderValues(values);
    const QTreeWidgetItem *node = tvTree->currentItem();
    values << qMakePair(QStringLiteral("仓库编号"), node ? node->data(0, kCodeRole).toString() : QString())
           << qMakePair(QStringLiteral("仓库全名"), node ? node->text(0) : QString());
}

bool TfrmPartStocksWarnSetUp::Execute()
{
    TfrmPartStocksWarnSetUp form(uDllComm::DllParams.FparForm);
    form.LoadData();
    form.exec();
    return form.FIsSave;
}
