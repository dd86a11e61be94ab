#include "uWarnSetUp.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "Kvtable.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uDllComm.h"
#include "uOrvaneCommon.h"
#include "uWarnLimitForm.h"

namespace {
constexpr int kWarnRight = 1317;
enum { colName, colDays, colType };
constexpr int kCommitted = Qt::UserRole + 1;
} // namespace

TfrmWarnSetUp::TfrmWarnSetUp(QWidget *parent) : TfrmDialogParent(parent)
{
    setObjectName(QStringLiteral("frmWarnSetUp"));
    SetTitle(QStringLiteral("报警提前期设置"));
    SetMoudleNo(131700);
    auto *root = new QVBoxLayout(pnlEntry);
    MainGrid = new TKvGGeneralWGrid(pnlEntry);
    MainGrid->setObjectName(QStringLiteral("MainGrid"));
    MainGrid->SetColumns(
        GridColumns({{"TreeFullName", "报警项目"}, {"EarlyDays", "提前天数"}, {"TreeType", ""}}));
    MainGrid->setColumnWidth(colDays, 100);
    root->addWidget(MainGrid);
    btnSave1 = AddBottomButton(QStringLiteral("btnSave1"), QStringLiteral("保存"));
    btnClose = AddBottomButton(QStringLiteral("btnClose"), QStringLiteral("关闭"));
    connect(btnSave1, &QPushButton::clicked, this,
            [this] { Kvtable::RunGuarded([this] { btnSave1Click(); }); });
    connect(btnClose, &QPushButton::clicked, this, [this] { done(mrCancel); });
    connect(MainGrid, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (!FLoading)
            Kvtable::RunGuarded([this, item] { CellEdited(item->row(), item->column()); });
    });
}

void TfrmWarnSetUp::LoadData()
{
    TClientDataSet rows;
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT TreeType, TreeFullName, EarlyDays, DetailNo FROM T_Inf_WarnList_TreeView "
                       "WHERE Visible = 1 AND TreeType NOT IN (1, 2) AND TreeType <= 9 ORDER BY RowNo"),
        rows);
    FLoading = true;
    MainGrid->setRowCount(0);
    for (rows.First(); !rows.Eof(); rows.Next()) {
        const int detail = rows.FieldByName(QStringLiteral("DetailNo")).AsInteger();
        if (detail > 0 && !uOrvaneCommon::HasLimitPowerAt(kWarnRight, detail))
            continue;
        const int row = MainGrid->rowCount();
        MainGrid->insertRow(row);
        const QStringList texts = {rows.FieldByName(QStringLiteral("TreeFullName")).AsString(),
                                   rows.FieldByName(QStringLiteral("EarlyDays")).AsString(),
                                   rows.FieldByName(QStringLiteral("TreeType")).AsString()};
        for (int column = 0; column < texts.size(); ++column) {
            auto *item = new QTableWidgetItem(texts[column]);
            if (column != colDays)
                item->setFlags(item->flags() & ~Qt::ItemIsEditable);
            item->setData(kCommitted, texts[column]);
            MainGrid->setItem(row, column, item);
        }
        if (texts[colType].toInt() == FTreeType)
            MainGrid->setCurrentCell(row, colDays);
    }
    FLoading = false;
}

// Days in advance are whole numbers from 0 to 999; anything else gets the former value back.
void TfrmWarnSetUp::CellEdited(int row, int column)
{
    QTableWidgetItem *item = MainGrid->item(row, column);
    if (!item || column != colDays)
        return;
    bool number = false;
    const int days = item->text().trimmed().toInt(&number);
    FLoading = true;
    const bool valid = number && days >= 0 && days <= 999;
    item->setText(valid ? QString::number(days) : item->data(kCommitted).toString());
    if (valid)
        item->setData(kCommitted, item->text());
    FLoading = false;
    Udllmessageintf::CheckError(!valid, QStringLiteral("提前天数必须是0到999之间的整数。"));
    FIsChange = true;
}

void TfrmWarnSetUp::btnSave1Click()
{
    {
        Udlldbservice::TTransaction transaction;
        for (int row = 0; row < MainGrid->rowCount(); ++row)
            Udlldbservice::ExecuteSQL(
                QStringLiteral("UPDATE T_Inf_WarnList_TreeView SET EarlyDays = ? WHERE TreeType = ?"),
                {MainGrid->item(row, colDays)->text().toInt(), MainGrid->item(row, colType)->text().toInt()});
        transaction.Commit();
    }
    Udllmessageintf::ShowInfoMessage(QStringLiteral("保存成功。"));
    FIsChange = false;
    FIsSave = true;
    done(mrOk);
}

void TfrmWarnSetUp::done(int result)
{
    if (FClosing || result == mrOk || !FIsChange ||
        uWarnLimits::CloseWithoutSaving(
            QStringLiteral("数据已经发生改变，是否存盘？按[取消]键将不做任何处理返回录入窗口。"),
            [this] { btnSave1Click(); })) {
        FClosing = true;
        TfrmDialogParent::done(result);
    }
}

bool TfrmWarnSetUp::Execute(int treeType)
{
    TfrmWarnSetUp form(uDllComm::DllParams.FparForm);
    form.FTreeType = treeType;
    form.LoadData();
    form.exec();
    return form.FIsSave;
}
