#pragma once
// --screenshot FILE: photographs the program without waiting for anybody. Optionally runs a menu
// entry (--open NAME) and presses buttons of the windows it opens by object name (--click NAME, in
// order, each once its window shows it enabled); then saves the window in front (the innermost
// dialog, else the main window) as PNG, answers every dialog still open with Cancel and ends the
// program. Without an operator the log-on window is what is photographed.

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <QTimer>

class HostMainWindow;

class HostScreenshot : public QObject
{
    Q_OBJECT
public:
    HostScreenshot(HostMainWindow &window, const QString &file, const QString &entryKey,
                   const QStringList &clicks);
    // The main window is shown: the entry may run and the window may be photographed.
    void MainWindowShown() { FMainShown = true; }
    bool Done() const { return FDone; }
    int ExitCode() const { return FExitCode; }

private:
    void Tick();
    void Finish(QWidget *target);
    void Fail(const QString &message);

    HostMainWindow &FWindow;
    QString FFile, FEntryKey;
    QStringList FClicks;
    QTimer FTimer;
    bool FMainShown = false, FEntryStarted = false, FEntryReturned = false;
    bool FClickReturned = true, FDone = false;
    QPointer<QWidget> FClickedIn, FLastTarget;
    int FStableTicks = 0, FWaitTicks = 0, FExitCode = 0;
};
