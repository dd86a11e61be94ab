#include "Kvbasicinfocomponent.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QRegularExpressionValidator>

TGLabelControl::TGLabelControl(const QString &caption, QWidget *parent)
    : QWidget(parent), FLayout(new QHBoxLayout(this)), FLabel(new QLabel(caption, this))
{
    FLayout->setContentsMargins(0, 0, 0, 0);
    FLayout->setSpacing(2);
    FLayout->addWidget(FLabel);
}

int TGLabelControl::LabelSpacing() const
{
    return FLayout->spacing();
}

void TGLabelControl::SetLabelSpacing(int pixels)
{
    FLayout->setSpacing(pixels);
}

void TGLabelControl::AddEditor(QWidget *editor, int stretch)
{
    FLayout->addWidget(editor, stretch);
    FLabel->setBuddy(editor);
    setFocusProxy(editor);
}

TKVDatatypeEdit::TKVDatatypeEdit(QWidget *parent) : QLineEdit(parent) {}

void TKVDatatypeEdit::SetDataType(TCMDataType type)
{
    FDataType = type;
    setEchoMode(type == TCMDataType::cdtPassword ? QLineEdit::Password : QLineEdit::Normal);
    // Numbers are typed freely but only as sign, digits and one decimal point.
    switch (type) {
    case TCMDataType::cdtInteger:
        setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?\\d*")), this));
        break;
    case TCMDataType::cdtFloat:
        setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("-?\\d*\\.?\\d*")), this));
        break;
    default:
        setValidator(nullptr);
        break;
    }
}

TGLabelBtnEdit::TGLabelBtnEdit(const QString &caption, QWidget *parent)
    : TGLabelControl(caption, parent), FEdit(new TKVDatatypeEdit(this)), FButton(new QToolButton(this))
{
    FEdit->setObjectName(QStringLiteral("edtInner"));
    FButton->setObjectName(QStringLiteral("btnSelect"));
    FButton->setText(QStringLiteral("…"));
    FButton->setFocusPolicy(Qt::NoFocus);
    FButton->setVisible(false);
    AddEditor(FEdit);
    FLayout->addWidget(FButton);
    FLayout->setSpacing(2);
    connect(FButton, &QToolButton::clicked, this, [this] { emit SelectRequested(QString()); });
    // Typing over a chosen record drops the choice: the value is the text again.
    connect(FEdit, &QLineEdit::textEdited, this, [this] { ClearRecord(); });
    FEdit->installEventFilter(this);
}

void TGLabelBtnEdit::SetText(const QString &text)
{
    FEdit->setText(text);
    FHasRecord = false;
    FRecord = TBaseRecord();
}

void TGLabelBtnEdit::SetBasicKind(const QString &kind)
{
    FBasicKind = kind;
    FButton->setVisible(!kind.isEmpty());
}

void TGLabelBtnEdit::SetRecord(const TBaseRecord &record)
{
    FEdit->setText(record.FullName);
    FRecord = record;
    FHasRecord = true;
}

void TGLabelBtnEdit::ClearRecord()
{
    FHasRecord = false;
    FRecord = TBaseRecord();
}

bool TGLabelBtnEdit::eventFilter(QObject *watched, QEvent *event)
{
    // Enter on typed text of a base-data edit searches for it; Enter on a chosen record passes on.
    if (watched == FEdit && event->type() == QEvent::KeyPress && !FBasicKind.isEmpty() &&
        !FEdit->isReadOnly()) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_F2 || ((key == Qt::Key_Return || key == Qt::Key_Enter) && !FHasRecord &&
                                  !FEdit->text().trimmed().isEmpty())) {
            emit SelectRequested(QStringLiteral("KEYDOWN"));
            return true;
        }
    }
    return TGLabelControl::eventFilter(watched, event);
}

TGLabelMemo::TGLabelMemo(const QString &caption, QWidget *parent)
    : TGLabelControl(caption, parent), FMemo(new QPlainTextEdit(this))
{
    FMemo->setObjectName(QStringLiteral("memInner"));
    FMemo->setTabChangesFocus(true);
    Label()->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    AddEditor(FMemo);
}

TGLabelComBox::TGLabelComBox(const QString &caption, QWidget *parent)
    : TGLabelControl(caption, parent), FCombo(new QComboBox(this))
{
    FCombo->setObjectName(QStringLiteral("cbxInner"));
    AddEditor(FCombo);
}

TGLabelEmptyDate::TGLabelEmptyDate(const QString &caption, QWidget *parent)
    : TGLabelControl(caption, parent), FEdit(new QDateEdit(this))
{
    FEdit->setObjectName(QStringLiteral("dtpInner"));
    FEdit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    FEdit->setCalendarPopup(true);
    // The lowest date is the empty date and shows as blank.
    FEdit->setMinimumDate(EmptyDate());
    FEdit->setSpecialValueText(QStringLiteral(" "));
    FEdit->setDate(EmptyDate());
    AddEditor(FEdit);
}

void TGLabelEmptyDate::SetDate(const QDate &date)
{
    FEdit->setDate(date.isValid() ? date : EmptyDate());
}

bool TGLabelEmptyDate::InRange(const QDate &date) const
{
    if (FMinDate.isValid() && date < FMinDate)
        return false;
    if (FMaxDate.isValid() && date > FMaxDate)
        return false;
    return true;
}
