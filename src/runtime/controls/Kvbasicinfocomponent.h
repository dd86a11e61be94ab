#pragma once
// Labelled input controls of the framework: a caption label in front of an edit. The window walks them
// for input checks (CheckInput), for base-data selection and to hand their values back to its open
// parameters (ParamIndex) when it closes.

#include <QComboBox>
#include <QDate>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QToolButton>
#include <QWidget>

#include "Kvcontrols.h"
#include "Udatastructure.h"
#include "quillcmrunstd_export.h"

class QHBoxLayout;

// Caption label + one editor. Not created on its own; the subclasses add the editor.
class QUILLCMRUNSTD_EXPORT TGLabelControl : public QWidget
{
    Q_OBJECT
public:
    QString Caption() const { return FLabel->text(); }
    void SetCaption(const QString &caption) { FLabel->setText(caption); }
    QLabel *Label() const { return FLabel; }
    // Pixels between the caption and the editor.
    int LabelSpacing() const;
    void SetLabelSpacing(int pixels);
    // A control that does not allow an empty value fails the window's CheckInput while empty.
    bool AllowEmpty() const { return FAllowEmpty; }
    void SetAllowEmpty(bool allow) { FAllowEmpty = allow; }
    virtual bool IsEmptyValue() const = 0;
    // Index of the window's open parameter that receives the value on close; -1 for none.
    int ParamIndex() const { return FParamIndex; }
    void SetParamIndex(int index) { FParamIndex = index; }

protected:
    explicit TGLabelControl(const QString &caption, QWidget *parent);
    void AddEditor(QWidget *editor, int stretch = 1);
    QHBoxLayout *FLayout;

private:
    QLabel *FLabel;
    bool FAllowEmpty = true;
    int FParamIndex = -1;
};

// Inner edit of the button edit: knows its data type and whether it refuses pasted text.
class QUILLCMRUNSTD_EXPORT TKVDatatypeEdit : public QLineEdit
{
    Q_OBJECT
public:
    explicit TKVDatatypeEdit(QWidget *parent = nullptr);
    TCMDataType DataType() const { return FDataType; }
    void SetDataType(TCMDataType type);
    bool RefusePaste() const { return FRefusePaste; }
    void SetRefusePaste(bool refuse) { FRefusePaste = refuse; }

private:
    TCMDataType FDataType = TCMDataType::cdtString;
    bool FRefusePaste = false;
};

// Labelled edit with a selection button. With a base-data kind ("Ptype", "Stock", ...) the button
// (or Enter on changed text, mode "KEYDOWN") asks the window to select a record; the record's full name
// is shown and its TypeId is the value.
class QUILLCMRUNSTD_EXPORT TGLabelBtnEdit : public TGLabelControl
{
    Q_OBJECT
public:
    explicit TGLabelBtnEdit(const QString &caption = QString(), QWidget *parent = nullptr);

    TKVDatatypeEdit *Edit() const { return FEdit; }
    QToolButton *Button() const { return FButton; }
    QString Text() const { return FEdit->text(); }
    void SetText(const QString &text);
    TCMDataType DataType() const { return FEdit->DataType(); }
    void SetDataType(TCMDataType type) { FEdit->SetDataType(type); }
    int MaxLength() const { return FEdit->maxLength(); }
    void SetMaxLength(int length) { FEdit->setMaxLength(length); }
    bool ReadOnly() const { return FEdit->isReadOnly(); }
    void SetReadOnly(bool readOnly) { FEdit->setReadOnly(readOnly); }
    // Base-data kind for selection; empty: a plain edit (the button stays hidden).
    QString BasicKind() const { return FBasicKind; }
    void SetBasicKind(const QString &kind);
    bool MultiSelect() const { return FMultiSelect; }
    void SetMultiSelect(bool multi) { FMultiSelect = multi; }

    bool HasRecord() const { return FHasRecord; }
    const TBaseRecord &Record() const { return FRecord; }
    void SetRecord(const TBaseRecord &record);
    void ClearRecord();
    // TypeId of the chosen record, or the typed text when none is chosen.
    QString Value() const { return FHasRecord ? FRecord.TypeId : Text(); }
    bool IsEmptyValue() const override { return Text().trimmed().isEmpty(); }

signals:
    // mode is "KEYDOWN" when the selection was started from the keyboard, empty from the button.
    void SelectRequested(const QString &mode);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TKVDatatypeEdit *FEdit;
    QToolButton *FButton;
    QString FBasicKind;
    bool FMultiSelect = false;
    bool FHasRecord = false;
    TBaseRecord FRecord;
};

// The module's variant of the button edit; its inner edit is guarded against pasted quotes.
class QUILLCMRUNSTD_EXPORT TCMGLabelBtnEdit : public TGLabelBtnEdit
{
    Q_OBJECT
public:
    explicit TCMGLabelBtnEdit(const QString &caption = QString(), QWidget *parent = nullptr)
        : TGLabelBtnEdit(caption, parent)
    {}
};

// Labelled multi-line text.
class QUILLCMRUNSTD_EXPORT TGLabelMemo : public TGLabelControl
{
    Q_OBJECT
public:
    explicit TGLabelMemo(const QString &caption = QString(), QWidget *parent = nullptr);
    QPlainTextEdit *Memo() const { return FMemo; }
    QString Text() const { return FMemo->toPlainText(); }
    void SetText(const QString &text) { FMemo->setPlainText(text); }
    bool IsEmptyValue() const override { return Text().trimmed().isEmpty(); }

private:
    QPlainTextEdit *FMemo;
};

// Labelled drop-down list.
class QUILLCMRUNSTD_EXPORT TGLabelComBox : public TGLabelControl
{
    Q_OBJECT
public:
    explicit TGLabelComBox(const QString &caption = QString(), QWidget *parent = nullptr);
    QComboBox *ComboBox() const { return FCombo; }
    int ItemIndex() const { return FCombo->currentIndex(); }
    void SetItemIndex(int index) { FCombo->setCurrentIndex(index); }
    bool IsEmptyValue() const override { return FCombo->currentIndex() < 0; }

private:
    QComboBox *FCombo;
};

// Labelled date that may be empty. The empty date is 1899-12-30 (day zero of the date type): it is
// shown blank and returned for "no date". MinDate / MaxDate bound the dates that may be set.
class QUILLCMRUNSTD_EXPORT TGLabelEmptyDate : public TGLabelControl
{
    Q_OBJECT
public:
    explicit TGLabelEmptyDate(const QString &caption = QString(), QWidget *parent = nullptr);
    static QDate EmptyDate() { return QDate(1899, 12, 30); }

    QDateEdit *DateEdit() const { return FEdit; }
    QDate Date() const { return FEdit->date(); } // EmptyDate() when empty
    // An invalid date or EmptyDate() empties the control.
    void SetDate(const QDate &date);
    bool IsEmptyDate() const { return FEdit->date() == EmptyDate(); }
    // "yyyy-MM-dd"; "1899-12-30" for the empty date.
    QString DateText() const { return Date().toString(QStringLiteral("yyyy-MM-dd")); }
    QDate MinDate() const { return FMinDate; }
    QDate MaxDate() const { return FMaxDate; }
    void SetMinDate(const QDate &date) { FMinDate = date; }
    void SetMaxDate(const QDate &date) { FMaxDate = date; }
    // True when the date lies inside MinDate..MaxDate (an unset bound does not limit).
    bool InRange(const QDate &date) const;
    bool IsEmptyValue() const override { return IsEmptyDate(); }

private:
    QDateEdit *FEdit;
    QDate FMinDate, FMaxDate;
};
