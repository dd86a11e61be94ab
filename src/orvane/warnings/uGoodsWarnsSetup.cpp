#include "uGoodsWarnsSetup.h"

#include <QPushButton>

#include "Kvbasicfun.h"
#include "Kvtable.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uCondBox.h"
#include "uDllComm.h"

using namespace uWarnLimits;

namespace {
constexpr int kUpperParam = 20; // Params entries of the single-item dialog
constexpr int kLowerParam = 21;
const QString kTopClass = QStringLiteral("00000");

// The two-value input of the single-item dialog.
TCondition ConWarnSetupQty(const QString &goodsName)
{
    TCondition condition;
    condition.Title = QStringLiteral("报警限量设置 存货：") + goodsName;
    for (const auto &[type, caption] :
         {std::pair{kUpperParam, "库存上限"}, std::pair{kLowerParam, "库存下限"}}) {
        TConditionSet item;
        item.ConditionType = type;
        item.Caption = QString::fromUtf8(caption);
        item.ControlType = TControlType::ctEdit;
        item.DataType = TCMDataType::cdtFloat;
        item.DataDecimal = 4;
        condition.ConditionSet << item;
    }
    return condition;
}

// Both 0 (no warning), upper above 0 with lower 0, or upper above lower above 0; never negative.
bool ValidPair(double upper, double lower)
{
    if (upper < 0 || lower < 0)
        return false;
    return (upper == 0 && lower == 0) || (upper > 0 && lower == 0) || (upper > lower && lower > 0);
}
} // namespace

TfrmGoodsWarnSetup::TfrmGoodsWarnSetup(QWidget *parent) : TfrmWarnLimitForm(parent, false)
{
    setObjectName(QStringLiteral("frmGoodsWarnSetup"));
    SetTitle(QStringLiteral("库存总仓报警设置"));
    FHelpName = QStringLiteral("业务查询/库存报警");
    SetMoudleNo(1638);
    btnPre = AddBottomButton(QStringLiteral("btnPre"), QStringLiteral("上一层"));
    btnSetQty = AddBottomButton(QStringLiteral("btnSetQty"), QStringLiteral("单品设置"));
    connect(btnPre, &QPushButton::clicked, this, [this] { Kvtable::RunGuarded([this] { btnPreClick(); }); });
    connect(btnSetQty, &QPushButton::clicked, this,
            [this] { Kvtable::RunGuarded([this] { SetItemLimits(MainGrid->currentRow()); }); });
    connect(MainGrid, &QTableWidget::cellDoubleClicked, this,
            [this](int row) { Kvtable::RunGuarded([this, row] { MainGridDblClick(row); }); });
    AddPrintButton();
}

void TfrmGoodsWarnSetup::LoadData()
{
    TClientDataSet rows;
    Udlldbservice::OpenProcByName(QStringLiteral("P_KOVA_PKuCunWarn"), {QStringLiteral("@OperatorID")},
                                  {Udllsystemintf::GetCurrentOperatorId()}, rows);
    ClearGrid();
    for (rows.First(); !rows.Eof(); rows.Next())
        SetGoodsRow(-1, rows.FieldByName(QStringLiteral("ptypeid")).AsString(),
                    rows.FieldByName(QStringLiteral("PUSERCODE")).AsString(),
                    rows.FieldByName(QStringLiteral("PFULLNAME")).AsString(),
                    rows.FieldByName(QStringLiteral("WarnDown")).AsFloat(),
                    rows.FieldByName(QStringLiteral("WarnUp")).AsFloat(),
                    rows.FieldByName(QStringLiteral("sonnum")).AsInteger());
    AppendEmptyRow();
    ShowClass(szPtypeID);
}

void TfrmGoodsWarnSetup::ShowClass(const QString &ptypeId)
{
    szPtypeID = ptypeId;
    for (int row = 0; row < MainGrid->rowCount(); ++row)
        MainGrid->setRowHidden(row, IsGoodsRow(row) && szPtypeID != kTopClass &&
                                        !(PtypeId(row).startsWith(szPtypeID) && PtypeId(row) != szPtypeID));
}

void TfrmGoodsWarnSetup::btnPreClick()
{
    ShowClass(szPtypeID.size() <= 5 ? kTopClass : szPtypeID.left(szPtypeID.size() - 5));
}

void TfrmGoodsWarnSetup::MainGridDblClick(int row)
{
    if (!IsGoodsRow(row))
        return;
    if (MainGrid->CellText(row, QStringLiteral("sonnum")).toInt() >= 1)
        ShowClass(PtypeId(row));
    else
        SetItemLimits(row);
}

void TfrmGoodsWarnSetup::SetItemLimits(int row)
{
    if (uDllComm::DllParams.IsQuery) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("查询版不能使用此功能。"));
        return;
    }
    if (row < 0 || !IsGoodsRow(row))
        return;
    if (MainGrid->CellText(row, QStringLiteral("sonnum")).toInt() >= 1) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("不能对某类存货设置报警上下限。"));
        return;
    }
    const double up = WarnUp(row);
    TOpenParams params;
    params[kUpperParam] = up == NoUpper ? QStringLiteral("0.0000") : Kvbasicfun::FloatToStringBit(up, 4);
    params[kLowerParam] = Kvbasicfun::FloatToStringBit(WarnDown(row), 4);
    const TCondition condition = ConWarnSetupQty(MainGrid->CellText(row, QStringLiteral("PFULLNAME")));
    double upper = 0, lower = 0;
    for (;;) {
        if (!ShowCondBox(params, condition, UnitType(), false))
            return;
        upper = params[kUpperParam].toString().trimmed().toDouble(); // an empty answer counts as 0
        lower = params[kLowerParam].toString().trimmed().toDouble();
        if (ValidPair(upper, lower))
            break;
        Udllmessageintf::ShowWarningMsg(
            QStringLiteral("库存上限不能为零，上限必须大于库存下限，上限和下限都不能为负数。"));
    }
    const int result =
        Udlldbservice::ExecuteProcByName(QStringLiteral("p_jxc_InsertWarn"),
                                         {QStringLiteral("@szPTypeID"), QStringLiteral("@szKTypeID"),
                                          QStringLiteral("@Custom1"), QStringLiteral("@Custom2")},
                                         {PtypeId(row), kTopClass, upper, lower});
    if (result == -100) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("该存货已经被分类或删除，请重新选择存货。"));
        FIsChange = false;
        done(mrCancel);
        return;
    }
    LoadData();
}

bool TfrmGoodsWarnSetup::Save()
{
    if (!AskUnset(HasUnsetRows(),
                  QStringLiteral("有存货上下限均未设置，保存时不会保存未设置的数据，是否继续？")))
        return false;
    if (!SendSave(QStringLiteral("P_JXC_SavePtypeWarn"), GoodsDocument(false)))
        return false;
    Udllmessageintf::ShowInfoMessage(QStringLiteral("总仓报警设置保存成功。"));
    FIsSave = true;
    done(mrOk);
    return true;
}

bool TfrmGoodsWarnSetup::Execute()
{
    TfrmGoodsWarnSetup form(uDllComm::DllParams.FparForm);
    form.LoadData();
    form.exec();
    return form.FIsSave;
}
