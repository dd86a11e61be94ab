#pragma once
// The desktop page of the main window: the account set and shortcuts to the module's entries,
// grouped by menu. It stays open as long as the main window lives.

#include <QWidget>

#include "HostFunctionMenu.h"

class QLabel;
class QVBoxLayout;

class HostDesktop : public QWidget
{
    Q_OBJECT
public:
    explicit HostDesktop(QWidget *parent = nullptr);

    void SetAccountText(const QString &text);
    // One shortcut button per entry (object name "btn" + function number), disabled when not allowed.
    void SetEntries(const QList<THostMenuEntry> &entries, const QList<bool> &allowed);
    // Lets the page close (the main window is closing).
    void AllowClose() { FCanClose = true; }

signals:
    void EntryClicked(const QString &key);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool FCanClose = false;
    QLabel *lblAccountSet;
    QWidget *FShortcuts = nullptr;
    QVBoxLayout *FLayout;
};
