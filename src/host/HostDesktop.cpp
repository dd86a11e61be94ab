#include "HostDesktop.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

HostDesktop::HostDesktop(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frmDesktop"));
    setWindowTitle(QStringLiteral("我的桌面"));
    auto *lblTitle = new QLabel(QStringLiteral("Orvane 系统维护"), this);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    QFont titleFont = lblTitle->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 2);
    titleFont.setBold(true);
    lblTitle->setFont(titleFont);
    lblAccountSet = new QLabel(this);
    lblAccountSet->setObjectName(QStringLiteral("lblAccountSet"));
    FLayout = new QVBoxLayout(this);
    FLayout->addWidget(lblTitle);
    FLayout->addWidget(lblAccountSet);
    FLayout->addStretch(1);
}

void HostDesktop::SetAccountText(const QString &text)
{
    lblAccountSet->setText(text);
}

void HostDesktop::SetEntries(const QList<THostMenuEntry> &entries, const QList<bool> &allowed)
{
    if (FShortcuts) {
        // The click that asked for new shortcuts may still be running in one of the old buttons.
        FLayout->removeWidget(FShortcuts);
        FShortcuts->hide();
        FShortcuts->setParent(nullptr);
        FShortcuts->deleteLater();
    }
    FShortcuts = new QWidget(this);
    auto *grid = new QGridLayout(FShortcuts);
    const QStringList paths = HostFunctionMenu::MenuPaths(entries);
    constexpr int kGroupsPerRow = 3;
    for (int p = 0; p < paths.size(); ++p) {
        auto *box = new QGroupBox(paths[p], FShortcuts);
        auto *boxLayout = new QGridLayout(box);
        int n = 0;
        for (int i = 0; i < entries.size(); ++i) {
            if (entries[i].MenuPath != paths[p])
                continue;
            auto *button = new QToolButton(box);
            button->setObjectName(QStringLiteral("btn%1").arg(entries[i].FunctionNo));
            button->setText(entries[i].Caption);
            button->setEnabled(i < allowed.size() && allowed[i]);
            button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            const QString key = entries[i].Key;
            connect(button, &QToolButton::clicked, this, [this, key] { emit EntryClicked(key); });
            boxLayout->addWidget(button, n / 3, n % 3);
            ++n;
        }
        grid->addWidget(box, p / kGroupsPerRow, p % kGroupsPerRow, Qt::AlignTop);
    }
    FLayout->insertWidget(2, FShortcuts);
}

void HostDesktop::closeEvent(QCloseEvent *event)
{
    if (FCanClose)
        event->accept();
    else
        event->ignore();
}
