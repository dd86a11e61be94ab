#include "uFreeDomBasicSelectSet.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uDllComm.h"
#include "uLayoutsCommon.h"
#include "uSetUpBasicSelect.h"

TfrmFreeDomBasicSelectSet::TfrmFreeDomBasicSelectSet(QWidget *parent) : TfrmDialogParent(parent)
{
    setObjectName(QStringLiteral("frmFreeDomBasicSelectSet"));
    SetTitle(QStringLiteral("单据自由项选择设置"));
    auto *root = new QHBoxLayout(pnlEntry);
    auto *left = new QVBoxLayout;
    left->addWidget(new QLabel(QStringLiteral("选择单据："), pnlEntry));
    tvList = new QTreeWidget(pnlEntry);
    tvList->setObjectName(QStringLiteral("tvList"));
    tvList->setHeaderHidden(true);
    left->addWidget(tvList);
    root->addLayout(left);
    MainGrid = new TKvGGeneralGrid(pnlEntry);
    MainGrid->setObjectName(QStringLiteral("MainGrid"));
    MainGrid->SetColumns({{QStringLiteral("FieldName"), QStringLiteral("自由项"), QString(), 0, true},
                          {QStringLiteral("BasicFullName"), QStringLiteral("选择类型"), QString(), 0, true},
                          {QStringLiteral("ReturnTypeName"), QStringLiteral("返回信息"), QString(), 0, true},
                          {QStringLiteral("BasicType"), QString(), QString(), 0, false},
                          {QStringLiteral("CMKvColumnNo"), QString(), QString(), 0, false},
                          {QStringLiteral("VchType"), QString(), QString(), 0, false},
                          {QStringLiteral("DataArea"), QString(), QString(), 0, false}});
    for (const char *field : {"BasicType", "CMKvColumnNo", "VchType", "DataArea"})
        MainGrid->SetColumnKind(QString::fromLatin1(field), TGridColumnKind::Text);
    MainGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    MainGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    root->addWidget(MainGrid, 1);
    btnSetBasic = AddBottomButton(QStringLiteral("btnSetBasic"), QStringLiteral("设置"));
    btnClearBasic = AddBottomButton(QStringLiteral("btnClearBasic"), QStringLiteral("清除选项"));
    btnOtherVchtype = AddBottomButton(QStringLiteral("btnOtherVchtype"), QStringLiteral("应用到其他单据"));
    btnClose = AddBottomButton(QStringLiteral("btnClose"), QStringLiteral("退出"), mrCancel);

    uLayoutsCommon::LoadVchtypeTree(tvList, QStringLiteral("单据类型"), TreeFilters(), false);
    connect(tvList, &QTreeWidget::currentItemChanged, this, &TfrmFreeDomBasicSelectSet::tvListChange);
    connect(btnSetBasic, &QPushButton::clicked, this, &TfrmFreeDomBasicSelectSet::btnSetBasicClick);
    connect(btnClearBasic, &QPushButton::clicked, this, &TfrmFreeDomBasicSelectSet::btnClearBasicClick);
    connect(btnOtherVchtype, &QPushButton::clicked, this, &TfrmFreeDomBasicSelectSet::btnOtherVchtypeClick);
}

QString TfrmFreeDomBasicSelectSet::TreeFilters()
{
    const TDllParams &params = uDllComm::DllParams;
    QString filters =
        QStringLiteral(" VchType not in (37, 38, 82, 81, 19, -5006, 4, 36, 66, 77, 83, 93, 170, 175, "
                       "191, 180, 185, 186, 144, 187) AND ");
    if (params.IsCMSQ)
        filters +=
            QStringLiteral(" VchType not in (-5009, -5010, -5011, 206, 207,211, 212, 213, 214, 178) and ");
    if (params.PubVersion2 < 2681)
        filters += QStringLiteral("VchType not in (4, 19, 66, 81, 82, 83, 170, 180, 46, 47, 48,") +
                   QStringLiteral("83, 144, 145, 142, 143, 202, 203, -5004, -5007, -5008) and ");
    if (params.PubVersion2 != 6680)
        filters += QStringLiteral(" VchType not in (190, 191, 192) and ");
    if (params.PubVersion2 == 4680)
        filters +=
            QStringLiteral(" VchType not in (180,181,182,183,184,185,186,187,188,-5010,117,-5008,46,47,48, "
                           "202, 207, -5007) and ");
    return filters;
}

void TfrmFreeDomBasicSelectSet::tvListChange()
{
    FVchtype = uLayoutsCommon::NodeVchtype(tvList->currentItem());
    LoadGrid();
}

void TfrmFreeDomBasicSelectSet::LoadGrid()
{
    const int row = MainGrid->currentRow();
    TClientDataSet items;
    if (FVchtype != 0)
        Udlldbservice::OpenProcByName(QStringLiteral("P_KOVA_FreeDomBasicSelectSet"),
                                      {QStringLiteral("@VchType"), QStringLiteral("@Version")},
                                      {FVchtype, uBasicSelectCommon::Version}, items);
    MainGrid->LoadFromDataSet(items);
    if (row >= 0 && row < MainGrid->rowCount())
        MainGrid->setCurrentCell(row, 0);
}

int TfrmFreeDomBasicSelectSet::CurrentInt(const QString &field) const
{
    const int row = MainGrid->currentRow();
    return row < 0 ? -1 : MainGrid->CellText(row, field).toInt();
}

void TfrmFreeDomBasicSelectSet::btnSetBasicClick()
{
    const int row = MainGrid->currentRow();
    if (row < 0)
        return;
    if (TfrmSetUpBasicSelect::Execute(FVchtype, CurrentInt(QStringLiteral("CMKvColumnNo")),
                                      CurrentInt(QStringLiteral("DataArea")),
                                      MainGrid->CellText(row, QStringLiteral("FieldName"))))
        LoadGrid();
}

void TfrmFreeDomBasicSelectSet::btnClearBasicClick()
{
    if (MainGrid->currentRow() < 0 ||
        !Udllmessageintf::ConfirmOKCancel(QStringLiteral("数据清空后不能恢复，请确认继续。")))
        return;
    Udlldbservice::ExecuteProcByName(QStringLiteral("P_KOVA_UpdateFreeDomBasicSelect"),
                                     {QStringLiteral("@VchType"), QStringLiteral("@CMKvColumnNo"),
                                      QStringLiteral("@BasicType"), QStringLiteral("@ReturnTypeName"),
                                      QStringLiteral("@DataArea"), QStringLiteral("@Version")},
                                     {FVchtype, CurrentInt(QStringLiteral("CMKvColumnNo")), -1, QString(),
                                      CurrentInt(QStringLiteral("DataArea")), uBasicSelectCommon::Version});
    Udllmessageintf::ShowInfoMessage(QStringLiteral("清空成功。"));
    LoadGrid();
}

void TfrmFreeDomBasicSelectSet::btnOtherVchtypeClick()
{
    const int row = MainGrid->currentRow();
    if (row < 0)
        return;
    const int basicType = CurrentInt(QStringLiteral("BasicType"));
    if (basicType == -1) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("自由项选择内容为空，不能应用到其他单据。"));
        return;
    }
    const int columnNo = CurrentInt(QStringLiteral("CMKvColumnNo"));
    const int dataArea = CurrentInt(QStringLiteral("DataArea"));
    const QString returnName = MainGrid->CellText(row, QStringLiteral("ReturnTypeName"));
    const QString areaCondition = dataArea == 0 ? QStringLiteral(" and dataarea = 0 and display = 1 ")
                                                : QStringLiteral(" and dataarea = 1 and display = 1 ");
    uBasicSelectCommon::CopyToOtherBill(
        FVchtype, MainGrid->CellText(row, QStringLiteral("FieldName")),
        [&](int target) {
            return !Udlldbservice::GetValueFromSQL(
                        QStringLiteral("select CMKvColumnNo from t_jxc_vchcolumn where "
                                       "vchtype = ? and CMKvColumnNo = ?") +
                            areaCondition,
                        {target, columnNo})
                        .isNull();
        },
        [&](int target) {
            return !Udlldbservice::GetValueFromSQL(
                        QStringLiteral(
                            "Select BasicType From T_GBL_FreeDomBasicSelect Where (coalesce(Version, '') "
                            "= '' OR Version = 'CS') and Vchtype = ? and CMKvColumnNo = ? and DataArea = ? "
                            "and BasicType <> -1"),
                        {target, columnNo, dataArea})
                        .isNull();
        },
        [&](int target) {
            return Udlldbservice::ExecuteProcByName(
                       QStringLiteral("P_KOVA_UpdateFreeDomBasicSelect"),
                       {QStringLiteral("@VchType"), QStringLiteral("@CMKvColumnNo"),
                        QStringLiteral("@BasicType"), QStringLiteral("@ReturnTypeName"),
                        QStringLiteral("@DataArea"), QStringLiteral("@Version")},
                       {target, columnNo, basicType, returnName, dataArea, uBasicSelectCommon::Version}) >= 0;
        },
        QStringLiteral("已经将设置成功复制到【"));
}

bool TfrmFreeDomBasicSelectSet::Execute()
{
    TfrmFreeDomBasicSelectSet form;
    form.exec();
    return true;
}
