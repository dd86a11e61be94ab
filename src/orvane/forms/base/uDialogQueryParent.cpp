#include "uDialogQueryParent.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "Kvcontrols.h"
#include "Kvggeneralgrid.h"
#include "uCondBox.h"

TfrmDialogQueryParent::TfrmDialogQueryParent(QWidget *parent) : TfrmDialogParent(parent)
{
    FNoDisplayCondition = QStringLiteral("00000");
    FConditionName = QStringLiteral("查询条件 ");

    FQueryLayout = new QVBoxLayout(pnlEntry);
    FQueryLayout->setContentsMargins(8, 0, 8, 0);
    ToolBar = new QToolBar(pnlEntry);
    ToolBar->setObjectName(QStringLiteral("ToolBar"));
    FQueryLayout->addWidget(ToolBar);
    ToolBar->addWidget(CreateGridExportButton(ToolBar, [this] { return findChild<TKvGGeneralGrid *>(); }));

    const uCondDefine::TConditionLine line = uCondDefine::BuildConditionLine(pnlEntry, FQueryLayout);
    PanelLeft = line.PanelLeft;
    PanelRight = line.PanelRight;
    allconditioninfo = line.allconditioninfo;

    sbStatus = new TKvStatusBar(this);
    sbStatus->setObjectName(QStringLiteral("sbStatus"));
    layout()->addWidget(sbStatus);
}

TfrmDialogQueryParent::~TfrmDialogQueryParent() = default;

void TfrmDialogQueryParent::SetStatusText(const QString &text)
{
    FStatusText = text;
    sbStatus->SetSimpleText(text);
}

void TfrmDialogQueryParent::ShowConditionInfo(const TCondition &condition)
{
    allconditioninfo->setText(uCondDefine::ConditionInfoText(condition, Params, FDisplayDateTitle));
}

bool TfrmDialogQueryParent::ShowCondition(const TCondition &condition, bool showSaveDate)
{
    if (!ShowCondBox(Params, condition, FUnitType, showSaveDate))
        return false;
    ShowConditionInfo(condition);
    return true;
}
