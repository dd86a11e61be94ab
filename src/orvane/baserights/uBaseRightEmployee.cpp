#include "uBaseRightEmployee.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "ClientDataSet.h"
#include "Kvggeneralgrid.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uBaseRightKinds.h"

TfrmBaseRightEmployee::TfrmBaseRightEmployee(QChar kind, const QString &etypeId, const QString &operatorName,
                                             QWidget *parent)
    : TfrmDialogParent(parent), FKind(kind), FEtypeId(etypeId), FName(operatorName)
{
    setObjectName(QStringLiteral("frmBaseRightEmployee"));
    const uBaseRightKinds::TBaseRightKind &k = uBaseRightKinds::KindOf(kind);
    auto *layout = new QVBoxLayout(pnlEntry);
    DataGrid = new TKvGGeneralGrid(pnlEntry);
    DataGrid->setObjectName(QStringLiteral("DataGrid"));
    DataGrid->SetColumns({uBaseRightKinds::IdColumn(QStringLiteral("ID")),
                          TGridColumn{QStringLiteral("selected"), QStringLiteral("选择"), {}, 0, true},
                          TGridColumn{QStringLiteral("RightName"), QStringLiteral("权限组"), {}, 0, true}});
    layout->addWidget(DataGrid);
    btnOK = AddBottomButton(QStringLiteral("btnOK"), QStringLiteral("确定"));
    btnCancel = AddBottomButton(QStringLiteral("btnCancel"), QStringLiteral("取消"), mrCancel);
    connect(btnOK, &QPushButton::clicked, this, &TfrmBaseRightEmployee::btnOKClick);
    SetTitle(QStringLiteral("权限组(") + k.Name + u')');

    TClientDataSet groups;
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT g.%1 AS ID, g.RightName, CASE WHEN t1.%1 IS NULL THEN 0 ELSE 1 END "
                       "AS selected FROM %2 g LEFT JOIN (SELECT * FROM %3 WHERE EtypeID = ?) t1 "
                       "ON g.%1 = t1.%1 WHERE g.%1 <> 1 ORDER BY g.%1")
            .arg(k.GroupColumn, k.GroupTable, k.MemberTable),
        {etypeId}, groups);
    DataGrid->LoadFromDataSet(groups);
    const int column = DataGrid->ColumnOfField(QStringLiteral("selected"));
    for (int row = 0; row < DataGrid->rowCount(); ++row) {
        QTableWidgetItem *item = DataGrid->item(row, column);
        const bool on = item->text() == u"1";
        item->setText({});
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    }
    connect(DataGrid, &QTableWidget::itemChanged, this, [this, column](QTableWidgetItem *item) {
        if (item->column() == column && item->checkState() == Qt::Checked)
            SetRowSelected(item->row(), true);
    });
}

void TfrmBaseRightEmployee::SetRowSelected(int row, bool selected)
{
    const int column = DataGrid->ColumnOfField(QStringLiteral("selected"));
    const QSignalBlocker block(DataGrid);
    for (int r = 0; r < DataGrid->rowCount(); ++r)
        DataGrid->item(r, column)->setCheckState(r == row && selected ? Qt::Checked : Qt::Unchecked);
}

void TfrmBaseRightEmployee::btnOKClick()
{
    const int column = DataGrid->ColumnOfField(QStringLiteral("selected"));
    int group = 0;
    for (int r = 0; r < DataGrid->rowCount(); ++r)
        if (DataGrid->item(r, column)->checkState() == Qt::Checked)
            group = DataGrid->CellText(r, QStringLiteral("ID")).toInt();
    const int result = Udlldbservice::ExecuteProcByName(
        QStringLiteral("P_SetEBeyondBaseRightGroup;1"),
        {QStringLiteral("@cMode"), QStringLiteral("@EtypeID"), QStringLiteral("@GroupId")},
        {QString(FKind), FEtypeId, group});
    if (result >= 1) {
        bRet = true;
        done(mrOk);
        return;
    }
    Udllmessageintf::ShowWarningMsg(
        result == -4 ? QStringLiteral("不能将操作员\"%1\"设置为超级组成员，设置失败。").arg(FName)
        : result == -3 ? QStringLiteral("设置的权限组已不存在，设置失败。")
        : result == -2 ? QStringLiteral("操作员\"%1\"为会计主管，不能设置权限组。").arg(FName)
        : result == -1 ? QStringLiteral("操作员\"%1\"已经不存在，设置失败。").arg(FName)
                       : QStringLiteral("操作员\"%1\"设置失败，请重试。").arg(FName));
}
