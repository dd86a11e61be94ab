#pragma once
// What the two numbering windows share: the ten pattern parts joined by carriage returns, the radio
// group with an item index, and the sample of a pattern.

#include <QComboBox>
#include <QDateTime>
#include <QGroupBox>
#include <QList>

class QAbstractButton;
class QButtonGroup;

// A titled group of radio buttons addressed by index (0-based); clicked(index) only on user clicks.
class TRadioGroup : public QGroupBox
{
    Q_OBJECT
public:
    TRadioGroup(const QString &objectName, const QString &title, const QStringList &items, QWidget *parent);
    int ItemIndex() const;
    void SetItemIndex(int index);
    QAbstractButton *Item(int index) const;

signals:
    void clicked(int index);

private:
    QButtonGroup *FGroup;
};

namespace uNumberingCommon {
constexpr int PartCount = 10;
constexpr int MaxPatternLength = 200;
// The parts cb1 … cb10: odd parts (cb1, cb3, …) get the given items, even parts the separators; all
// editable. Each is named "cb<n>".
QList<QComboBox *> CreateParts(QWidget *parent, const QStringList &oddItems, const QStringList &evenItems);
// The stored pattern: the parts joined by one carriage return each.
QString JoinParts(const QStringList &parts);
// A stored pattern's ten parts (missing ones empty).
QStringList SplitParts(const QString &pattern);
// The number a pattern gives for a sequence after lastSequence on that date: the computer name, the
// bill type's number prefix (vchType 0 or none: no prefix) and the current operator filled in.
QString SampleNumber(const QString &pattern, int vchType, qint64 lastSequence, const QDateTime &date);
} // namespace uNumberingCommon
