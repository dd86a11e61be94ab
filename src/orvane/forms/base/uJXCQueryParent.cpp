#include "uJXCQueryParent.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "ClientDataSet.h"
#include "Kvcontrols.h"
#include "Kvggeneralgrid.h"
#include "Udlldbservice.h"
#include "uCondBox.h"
#include "uOrvaneCommon.h"

TfrmJXCQueryParent::TfrmJXCQueryParent(QWidget *parent) : TfrmMDIParent(parent)
{
    FNoDisplayCondition = QStringLiteral("00000");
    FConditionName = QStringLiteral("查询条件 ");

    FQueryLayout = new QVBoxLayout(pnlEntry);
    FQueryLayout->setContentsMargins(0, 0, 0, 0);
    const uCondDefine::TConditionLine line = uCondDefine::BuildConditionLine(pnlEntry, FQueryLayout);
    PanelLeft = line.PanelLeft;
    PanelRight = line.PanelRight;
    allconditioninfo = line.allconditioninfo;
    CMGridTools = new QToolBar(PanelRight);
    CMGridTools->setObjectName(QStringLiteral("CMGridTools"));
    PanelRight->layout()->addWidget(CMGridTools);
    btnGridFilter = new TKvToolButton(QStringLiteral("过滤"), CMGridTools);
    btnGridFilter->setObjectName(QStringLiteral("btnGridFilter"));
    btnGridLocation = new TKvToolButton(QStringLiteral("定位"), CMGridTools);
    btnGridLocation->setObjectName(QStringLiteral("btnGridLocation"));
    btnGridRef = new TKvToolButton(QStringLiteral("刷新"), CMGridTools);
    btnGridRef->setObjectName(QStringLiteral("btnGridRef"));
    for (TKvToolButton *button : {btnGridFilter, btnGridLocation, btnGridRef})
        CMGridTools->addWidget(button);
    CMGridTools->addWidget(CreateGridExportButton(CMGridTools, [this] { return Grid(); }));
    connect(btnGridFilter, &QToolButton::clicked, this, &TfrmJXCQueryParent::btnGridFilterClick);
    connect(btnGridLocation, &QToolButton::clicked, this, &TfrmJXCQueryParent::btnGridLocationClick);
    connect(btnGridRef, &QToolButton::clicked, this, &TfrmJXCQueryParent::btnGridRefClick);

    // With base-data rights in force the totals may leave out rows the operator cannot see.
    if (uOrvaneCommon::AnySysCon134To138())
        SetStatusText(QStringLiteral("由于系统管理了基本信息权限，表格可能没有统计所有数据。"));
}

TfrmJXCQueryParent::~TfrmJXCQueryParent() = default;

TKvGGeneralGrid *TfrmJXCQueryParent::Grid() const
{
    if (FGridOperation)
        return FGridOperation;
    return findChild<TKvGGeneralGrid *>();
}

void TfrmJXCQueryParent::ShowConditionInfo(const TCondition &condition)
{
    allconditioninfo->setText(uCondDefine::ConditionInfoText(condition, Params, FDisplayDateTitle));
}

bool TfrmJXCQueryParent::ShowCondition(const TCondition &condition, bool showSaveDate)
{
    if (!ShowCondBox(Params, condition, FUnitType, showSaveDate))
        return false;
    ShowConditionInfo(condition);
    return true;
}

void TfrmJXCQueryParent::LoadFreeDomCaptions(int vchType, int dataArea)
{
    TKvGGeneralGrid *grid = Grid();
    if (!grid)
        return;
    TClientDataSet ds;
    Udlldbservice::OpenSQL(
        QStringLiteral(
            "SELECT columnname, FreeDomIndex, CASE fieldnameo WHEN '' THEN fieldname ELSE fieldnameo END "
            "AS Caption FROM t_jxc_vchcolumn WHERE vchtype = ? AND dataarea = ? "
            "AND FreeDomIndex BETWEEN 1 AND 16 ORDER BY FreeDomIndex"),
        {vchType, dataArea}, ds);
    for (ds.First(); !ds.Eof(); ds.Next())
        grid->SetFreeDomCaption(ds.FieldByName(QStringLiteral("FreeDomIndex")).AsInteger(),
                                ds.FieldByName(QStringLiteral("Caption")).AsString());
}

void TfrmJXCQueryParent::btnGridFilterClick()
{
    if (TKvGGeneralGrid *grid = Grid())
        grid->ShowFilterDialog();
}

void TfrmJXCQueryParent::btnGridLocationClick()
{
    if (TKvGGeneralGrid *grid = Grid())
        grid->ShowLocateDialog();
}

void TfrmJXCQueryParent::btnGridRefClick()
{
    RefreshData();
}
