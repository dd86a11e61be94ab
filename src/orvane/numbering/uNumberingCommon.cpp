#include "uNumberingCommon.h"

#include <QButtonGroup>
#include <QRadioButton>
#include <QSysInfo>
#include <QVBoxLayout>

#include "Udlldbservice.h"
#include "Udllsystemintf.h"
#include "uBillNumberFormat.h"

TRadioGroup::TRadioGroup(const QString &objectName, const QString &title, const QStringList &items,
                         QWidget *parent)
    : QGroupBox(title, parent), FGroup(new QButtonGroup(this))
{
    setObjectName(objectName);
    auto *layout = new QVBoxLayout(this);
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items[i], this);
        button->setObjectName(objectName + QStringLiteral("Item%1").arg(i));
        FGroup->addButton(button, i);
        layout->addWidget(button);
    }
    SetItemIndex(0);
    connect(FGroup, &QButtonGroup::idClicked, this, &TRadioGroup::clicked);
}

int TRadioGroup::ItemIndex() const
{
    return FGroup->checkedId();
}

void TRadioGroup::SetItemIndex(int index)
{
    if (QAbstractButton *button = FGroup->button(index))
        button->setChecked(true);
}

QAbstractButton *TRadioGroup::Item(int index) const
{
    return FGroup->button(index);
}

namespace uNumberingCommon {

QList<QComboBox *> CreateParts(QWidget *parent, const QStringList &oddItems, const QStringList &evenItems)
{
    QList<QComboBox *> parts;
    for (int i = 1; i <= PartCount; ++i) {
        auto *part = new QComboBox(parent);
        part->setObjectName(QStringLiteral("cb%1").arg(i));
        part->setEditable(true);
        part->setInsertPolicy(QComboBox::NoInsert);
        part->addItems(i % 2 ? oddItems : evenItems);
        part->setCurrentIndex(-1);
        part->setEditText(QString());
        parts << part;
    }
    return parts;
}

QString JoinParts(const QStringList &parts)
{
    return parts.join(QLatin1Char('\r'));
}

QStringList SplitParts(const QString &pattern)
{
    QStringList lines = pattern.split(QLatin1Char('\r'));
    for (QString &line : lines)
        line.remove(QLatin1Char('\n'));
    while (lines.size() < PartCount)
        lines << QString();
    return lines.mid(0, PartCount);
}

QString SampleNumber(const QString &pattern, int vchType, qint64 lastSequence, const QDateTime &date)
{
    const QString head =
        vchType > 0 && pattern.contains(QStringLiteral("单据前缀"))
            ? Udlldbservice::GetValueFromSQL(
                  QStringLiteral("SELECT NumberHead FROM GetVchtype WHERE Vchtype = ?"), {vchType})
                  .toString()
            : QString();
    const QString op =
        pattern.contains(QStringLiteral("操作员")) ? Udllsystemintf::GetCurrentOperatorName() : QString();
    return FormatBillNumber(pattern, lastSequence, date, QSysInfo::machineHostName(), head, op);
}

} // namespace uNumberingCommon
