#pragma once
// Small controls of the host package the module's windows place: data types of edits, the rights-aware
// control mix-in, the band button and tool button that carry a detail right, and the status bar.

#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

#include "quillcmrunstd_export.h"

// Kind of value an edit accepts; 2 is the price / amount kind the input box checks.
enum class TCMDataType : int {
    cdtString = 0,
    cdtInteger = 1,
    cdtFloat = 2,
    cdtDate = 3,
    cdtPassword = 4,
};

// A control that belongs to one detail (1..150) of the window's function right. The window enables or
// shows it only when the operator holds that detail.
class QUILLCMRUNSTD_EXPORT TKvLimitControl
{
public:
    virtual ~TKvLimitControl() = default;
    int LimitDetailNo() const { return FLimitDetailNo; }
    void SetLimitDetailNo(int detailNo) { FLimitDetailNo = detailNo; }
    virtual void ApplyLimit(bool allowed) = 0;

private:
    int FLimitDetailNo = 0; // 0: not bound to a detail
};

// Push button of the framework; a denied detail right disables it.
class QUILLCMRUNSTD_EXPORT TGKvBitbtn : public QPushButton, public TKvLimitControl
{
    Q_OBJECT
public:
    explicit TGKvBitbtn(const QString &text = QString(), QWidget *parent = nullptr)
        : QPushButton(text, parent)
    {}
    void ApplyLimit(bool allowed) override { setEnabled(allowed); }
};

// Tool-bar button of the framework; a denied detail right hides it.
class QUILLCMRUNSTD_EXPORT TKvToolButton : public QToolButton, public TKvLimitControl
{
    Q_OBJECT
public:
    explicit TKvToolButton(const QString &text = QString(), QWidget *parent = nullptr);
    void ApplyLimit(bool allowed) override { setVisible(allowed); }
};

// Status bar with one permanent simple text (showMessage texts are temporary, this one stays).
class QUILLCMRUNSTD_EXPORT TKvStatusBar : public QStatusBar
{
    Q_OBJECT
public:
    explicit TKvStatusBar(QWidget *parent = nullptr);
    QString SimpleText() const { return FSimpleLabel->text(); }
    void SetSimpleText(const QString &text) { FSimpleLabel->setText(text); }

private:
    QLabel *FSimpleLabel;
};
