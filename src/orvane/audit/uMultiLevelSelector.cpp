#include "uMultiLevelSelector.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

#include "Kvtable.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"

namespace {
enum { colSelected, colUserCode, colFullName, colDFullName, colTypeId, colOperatorType };
}

TfrmMultiLevelSelector::TfrmMultiLevelSelector(QWidget *parent) : TfrmDialogParent(parent)
{
    setObjectName(QStringLiteral("frmMultiLevelSelector"));
    auto *root = new QVBoxLayout(pnlEntry);
    MainGrid = new QTableWidget(0, 6, pnlEntry);
    MainGrid->setObjectName(QStringLiteral("MainGrid"));
    MainGrid->setHorizontalHeaderLabels({QStringLiteral("选择"), QStringLiteral("编号"),
                                         QStringLiteral("全名"), QStringLiteral("类型"),
                                         QStringLiteral("TypeID"), QStringLiteral("OperatorType")});
    MainGrid->setColumnHidden(colTypeId, true);
    MainGrid->setColumnHidden(colOperatorType, true);
    MainGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MainGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    MainGrid->horizontalHeader()->setStretchLastSection(true);
    root->addWidget(MainGrid);
    btnSelected = AddBottomButton(QStringLiteral("btnSelected"), QStringLiteral("确定"));
    btnExit = AddBottomButton(QStringLiteral("btnExit"), QStringLiteral("退出"), mrCancel);
    connect(btnSelected, &QPushButton::clicked, this,
            [this] { Kvtable::RunGuarded([this] { btnSelectedClick(); }); });
    connect(MainGrid, &QTableWidget::cellClicked, this, [this](int row, int column) {
        if (column == colSelected)
            SelectedClick(row);
    });
    connect(MainGrid, &QTableWidget::cellDoubleClicked, this, [this] { GridDblClick(); });
}

void TfrmMultiLevelSelector::LoadData()
{
    TClientDataSet rows;
    Udlldbservice::OpenProcByName(QStringLiteral("P_Audit_AuditEmployeeSelector"),
                                  {QStringLiteral("@szEtypeID"), QStringLiteral("@VchType")},
                                  {Udllsystemintf::GetCurrentOperatorId(), FVchType}, rows);
    MainGrid->setRowCount(0);
    FEmployeeList.clear();
    for (rows.First(); !rows.Eof(); rows.Next()) {
        const int row = MainGrid->rowCount();
        MainGrid->insertRow(row);
        const QString id = rows.FieldByName(QStringLiteral("Typeid")).AsString();
        const int type = rows.FieldByName(QStringLiteral("OperatorType")).AsInteger();
        bool ticked = false;
        for (const TAuditorRec &r : std::as_const(FSelEmployeeList))
            ticked = ticked || (r.TypeId == id && r.OperatorType == type);
        auto *check = new QTableWidgetItem;
        check->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        check->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
        MainGrid->setItem(row, colSelected, check);
        const QStringList texts{rows.FieldByName(QStringLiteral("UserCode")).AsString(),
                                rows.FieldByName(QStringLiteral("FullName")).AsString(),
                                rows.FieldByName(QStringLiteral("DFullName")).AsString(), id,
                                QString::number(type)};
        for (int i = 0; i < texts.size(); ++i)
            MainGrid->setItem(row, colUserCode + i, new QTableWidgetItem(texts[i]));
        if (ticked)
            FEmployeeList << id;
    }
}

bool TfrmMultiLevelSelector::Ticked(int row) const
{
    return MainGrid->item(row, colSelected)->checkState() == Qt::Checked;
}

void TfrmMultiLevelSelector::SelectedClick(int row)
{
    QTableWidgetItem *check = MainGrid->item(row, colSelected);
    const bool ticked = !Ticked(row);
    check->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
    const QString id = MainGrid->item(row, colTypeId)->text();
    if (ticked)
        FEmployeeList << id;
    else
        FEmployeeList.removeOne(id);
}

void TfrmMultiLevelSelector::Take(const QList<int> &rows)
{
    FSelEmployeeList.clear();
    for (int row : rows)
        FSelEmployeeList.append(
            {MainGrid->item(row, colTypeId)->text(), MainGrid->item(row, colUserCode)->text(),
             MainGrid->item(row, colFullName)->text(), MainGrid->item(row, colOperatorType)->text().toInt()});
    done(mrOk);
}

void TfrmMultiLevelSelector::btnSelectedClick()
{
    QList<int> rows;
    for (int row = 0; row < MainGrid->rowCount(); ++row)
        if (Ticked(row))
            rows << row;
    Udllmessageintf::CheckError(rows.isEmpty(),
                                QStringLiteral("请至少选择一个") + windowTitle() + QStringLiteral("。"),
                                TMessageBoxType::mtWarning);
    Take(rows);
}

void TfrmMultiLevelSelector::GridDblClick()
{
    for (int row = 0; row < MainGrid->rowCount(); ++row)
        if (Ticked(row))
            return Kvtable::RunGuarded([this] { btnSelectedClick(); });
    if (MainGrid->currentRow() >= 0)
        Take({MainGrid->currentRow()});
}

void TfrmMultiLevelSelector::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return Kvtable::RunGuarded([this] { btnSelectedClick(); });
    TfrmDialogParent::keyPressEvent(event);
}

bool ShowAuditorSelector(TAuditorList &list, int vchType, const QString &caption)
{
    TfrmMultiLevelSelector form;
    form.SetTitle(caption);
    form.setWindowTitle(caption);
    form.FVchType = vchType;
    form.FSelEmployeeList = list;
    form.LoadData();
    const bool ok = AuditorSelectorHook ? AuditorSelectorHook(form) : form.exec() == mrOk;
    if (ok)
        list = form.FSelEmployeeList;
    return ok;
}
