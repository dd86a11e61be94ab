#pragma once
// What every window of the module does the way users of business software expect, attached once to
// each form by the base class:
// - it opens where and as large as the operator left it (per operator and window class), and the
//   first time large enough for its grid; the grids keep the column widths the operator chose;
// - the first focus is on the first field a person fills, never on a check box that writes a setting
//   or on a button that destroys data;
// - Enter confirms (the focused button, else the window's confirming button) and Esc cancels.
// The settings live in the user's configuration folder ("orvane/windows.ini", owner only).

#include <QObject>
#include <QString>

class QDialog;
class QWidget;

class TFormBehaviour : public QObject
{
    Q_OBJECT
public:
    // Attaches the behaviour to the form (owned by it).
    static void Attach(QDialog *form);

    // Object names of buttons that confirm a window, in order of preference; and of buttons whose
    // action destroys or replaces data (never focused or made default by the window itself).
    static bool IsConfirmButton(const QString &objectName);
    static bool IsDestructiveButton(const QString &objectName);
    // The settings key of the form for the current operator.
    static QString SettingsKey(const QWidget *form);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit TFormBehaviour(QDialog *form);
    void FirstShow();
    void Restore();
    void Save();
    void ChooseDefaultButton();
    void ChooseFirstFocus();

    QDialog *FForm;
    bool FShown = false;
};
