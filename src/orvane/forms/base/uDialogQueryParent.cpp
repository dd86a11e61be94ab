#include "uDialogQueryParent.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

#include "Kvcontrols.h"
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

    auto *conditionRow = new QHBoxLayout;
    PanelLeft = new QWidget(pnlEntry);
    PanelLeft->setObjectName(QStringLiteral("PanelLeft"));
    auto *leftLayout = new QHBoxLayout(PanelLeft);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    allconditioninfo = new QLabel(PanelLeft);
    allconditioninfo->setObjectName(QStringLiteral("allconditioninfo"));
    allconditioninfo->setWordWrap(true);
    leftLayout->addWidget(allconditioninfo);
    PanelRight = new QWidget(pnlEntry);
    PanelRight->setObjectName(QStringLiteral("PanelRight"));
    new QHBoxLayout(PanelRight);
    PanelRight->layout()->setContentsMargins(0, 0, 0, 0);
    conditionRow->addWidget(PanelLeft, 1);
    conditionRow->addWidget(PanelRight);
    FQueryLayout->addLayout(conditionRow);

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
