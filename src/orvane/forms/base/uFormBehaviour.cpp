#include "uFormBehaviour.h"

#include <QAbstractSpinBox>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QEvent>
#include <QFile>
#include <QLineEdit>
#include <QMdiSubWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSettings>
#include <QTextEdit>

#include "Kvggeneralgrid.h"
#include "Udllsystemintf.h"

namespace {
const QStringList &ConfirmNames()
{
    static const QStringList names = {QStringLiteral("btnOK"),   QStringLiteral("btnConfirm"),
                                      QStringLiteral("btnSure"), QStringLiteral("btnSave"),
                                      QStringLiteral("btnNext"), QStringLiteral("btnComplete")};
    return names;
}

std::unique_ptr<QSettings> WindowSettings()
{
    return std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("orvane"),
                                       QStringLiteral("windows"));
}

bool IsInput(const QWidget *w)
{
    if (const auto *edit = qobject_cast<const QLineEdit *>(w))
        return !edit->isReadOnly();
    if (const auto *spin = qobject_cast<const QAbstractSpinBox *>(w))
        return !spin->isReadOnly();
    if (const auto *text = qobject_cast<const QTextEdit *>(w))
        return !text->isReadOnly();
    if (const auto *plain = qobject_cast<const QPlainTextEdit *>(w))
        return !plain->isReadOnly();
    return qobject_cast<const QComboBox *>(w) || qobject_cast<const QRadioButton *>(w);
}

bool IsDestructive(const QPushButton *button)
{
    return button->property("Destructive").toBool() ||
           TFormBehaviour::IsDestructiveButton(button->objectName());
}

bool Focusable(const QWidget *w, const QWidget *form)
{
    return w->isVisibleTo(form) && w->isEnabled() && (w->focusPolicy() & Qt::TabFocus) && w->window() == form;
}

bool IsMdiChild(const QWidget *form)
{
    return qobject_cast<const QMdiSubWindow *>(form->parentWidget()) != nullptr;
}
} // namespace

void TFormBehaviour::Attach(QDialog *form)
{
    form->installEventFilter(new TFormBehaviour(form));
}

TFormBehaviour::TFormBehaviour(QDialog *form) : QObject(form), FForm(form)
{
    setObjectName(QStringLiteral("FormBehaviour"));
}

bool TFormBehaviour::IsConfirmButton(const QString &objectName)
{
    return ConfirmNames().contains(objectName);
}

bool TFormBehaviour::IsDestructiveButton(const QString &objectName)
{
    static const QStringList names = {QStringLiteral("btnDelete"), QStringLiteral("btnDel"),
                                      QStringLiteral("btnRestore"), QStringLiteral("btnClear")};
    return names.contains(objectName);
}

QString TFormBehaviour::SettingsKey(const QWidget *form)
{
    const QString operatorId =
        Udllsystemintf::SystemIntf ? Udllsystemintf::GetCurrentOperatorId().trimmed() : QString();
    QString name = QString::fromLatin1(form->metaObject()->className());
    if (!form->objectName().isEmpty())
        name += u'.' + form->objectName();
    return (operatorId.isEmpty() ? QStringLiteral("-") : operatorId) + u'/' + name;
}

bool TFormBehaviour::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FForm) {
        if (event->type() == QEvent::Show && !FShown) {
            FShown = true;
            FirstShow();
        } else if (event->type() == QEvent::Hide && FShown &&
                   !static_cast<QWidget *>(watched)->isMinimized()) {
            Save();
        }
    }
    return QObject::eventFilter(watched, event);
}

void TFormBehaviour::FirstShow()
{
    Restore();
    ChooseDefaultButton();
    ChooseFirstFocus();
}

void TFormBehaviour::Restore()
{
    const auto settings = WindowSettings();
    settings->beginGroup(SettingsKey(FForm));
    const QByteArray geometry = settings->value(QStringLiteral("geometry")).toByteArray();
    if (!IsMdiChild(FForm)) {
        if (geometry.isEmpty() || !FForm->restoreGeometry(geometry)) {
            // The first time: as large as the contents (a grid shows its columns), within the screen.
            QSize wanted = FForm->size().expandedTo(FForm->sizeHint());
            if (const QScreen *screen = FForm->screen())
                wanted = wanted.boundedTo(screen->availableGeometry().size() * 0.9);
            FForm->resize(wanted);
        }
    }
    for (TKvGGeneralGrid *grid : FForm->findChildren<TKvGGeneralGrid *>()) {
        if (grid->objectName().isEmpty())
            continue;
        const QVariantMap stored = settings->value(QStringLiteral("columns/") + grid->objectName()).toMap();
        QHash<QString, int> widths;
        for (auto it = stored.begin(); it != stored.end(); ++it)
            widths.insert(it.key(), it.value().toInt());
        grid->SetColumnWidths(widths);
    }
}

void TFormBehaviour::Save()
{
    const auto settings = WindowSettings();
    settings->beginGroup(SettingsKey(FForm));
    if (!IsMdiChild(FForm))
        settings->setValue(QStringLiteral("geometry"), FForm->saveGeometry());
    for (const TKvGGeneralGrid *grid : FForm->findChildren<TKvGGeneralGrid *>()) {
        if (grid->objectName().isEmpty() || grid->columnCount() == 0)
            continue;
        QVariantMap widths;
        const QHash<QString, int> current = grid->ColumnWidths();
        for (auto it = current.begin(); it != current.end(); ++it)
            widths.insert(it.key(), it.value());
        settings->setValue(QStringLiteral("columns/") + grid->objectName(), widths);
    }
    settings->endGroup();
    settings->sync();
    // The file says who worked with which windows: the owner's only.
    QFile::setPermissions(settings->fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
}

void TFormBehaviour::ChooseDefaultButton()
{
    const QList<QPushButton *> buttons = FForm->findChildren<QPushButton *>();
    QPushButton *chosen = nullptr;
    for (QPushButton *b : buttons) {
        if (b->window() != FForm)
            continue;
        // Enter on a focused button presses it; a button that destroys data is pressed deliberately.
        b->setAutoDefault(!IsDestructive(b));
        if (b->isDefault())
            chosen = b;
    }
    if (chosen)
        return;
    for (const QString &name : ConfirmNames())
        for (QPushButton *b : buttons)
            if (b->objectName() == name && Focusable(b, FForm) && !IsDestructive(b)) {
                b->setDefault(true);
                return;
            }
}

void TFormBehaviour::ChooseFirstFocus()
{
    const QWidget *current = FForm->focusWidget();
    if (current && IsInput(current) && Focusable(current, FForm))
        return;
    for (QWidget *w = FForm->nextInFocusChain(); w && w != FForm; w = w->nextInFocusChain())
        if (IsInput(w) && Focusable(w, FForm)) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
    // No field to fill: the confirming button, never a setting's check box or a destructive button.
    for (QPushButton *b : FForm->findChildren<QPushButton *>())
        if (b->isDefault() && Focusable(b, FForm)) {
            b->setFocus(Qt::OtherFocusReason);
            return;
        }
    // Nor a setting's check box: the first button that does no harm.
    const auto *button = qobject_cast<const QPushButton *>(current);
    if (current && Focusable(current, FForm) && !qobject_cast<const QCheckBox *>(current) &&
        !(button && IsDestructive(button)))
        return;
    for (QPushButton *b : FForm->findChildren<QPushButton *>())
        if (Focusable(b, FForm) && !IsDestructive(b)) {
            b->setFocus(Qt::OtherFocusReason);
            return;
        }
}
