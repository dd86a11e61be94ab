#include "Kvcontrols.h"

TKvToolButton::TKvToolButton(const QString &text, QWidget *parent) : QToolButton(parent)
{
    setText(text);
    setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
}

TKvStatusBar::TKvStatusBar(QWidget *parent) : QStatusBar(parent), FSimpleLabel(new QLabel(this))
{
    FSimpleLabel->setObjectName(QStringLiteral("lblSimpleText"));
    addWidget(FSimpleLabel, 1);
}
