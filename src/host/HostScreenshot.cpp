#include "HostScreenshot.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QTextStream>

#include "HostMainWindow.h"

namespace {
constexpr int kTickMs = 50;
constexpr int kStableTicks = 4;    // the window in front has settled (layouts, first paint)
constexpr int kMaxWaitTicks = 600; // 30 s without the next button is a failure, not a wait
} // namespace

HostScreenshot::HostScreenshot(HostMainWindow &window, const QString &file, const QString &entryKey,
                               const QStringList &clicks)
    : FWindow(window), FFile(file), FEntryKey(entryKey), FClicks(clicks)
{
    connect(&FTimer, &QTimer::timeout, this, &HostScreenshot::Tick);
    FTimer.start(kTickMs);
}

void HostScreenshot::Tick()
{
    QWidget *modal = QApplication::activeModalWidget();
    if (FDone) {
        // Unwind: every dialog answered with Cancel, then the program ends.
        if (auto *dialog = qobject_cast<QDialog *>(modal))
            dialog->reject();
        else if (modal)
            modal->close();
        else
            QCoreApplication::exit(FExitCode);
        return;
    }
    // Nobody is there to log on: the log-on window itself is the picture.
    if (modal && modal->objectName() == u"frmLogOn")
        return Finish(modal);
    if (!FMainShown)
        return;
    if (!FEntryKey.isEmpty() && !FEntryStarted) {
        FEntryStarted = true;
        QTimer::singleShot(0, this, [this] {
            FWindow.RunEntry(FEntryKey);
            FEntryReturned = true;
        });
        return;
    }
    QWidget *target = modal ? modal : (FEntryKey.isEmpty() || FEntryReturned ? &FWindow : nullptr);
    if (!target || (target == FClickedIn && !FClickReturned))
        return; // the entry or the last click is still at work in this window
    if (!FClicks.isEmpty()) {
        for (QAbstractButton *button : target->findChildren<QAbstractButton *>(FClicks.first()))
            if (button->isVisible() && button->isEnabled()) {
                FClicks.removeFirst();
                FClickedIn = target;
                FClickReturned = false;
                FWaitTicks = 0;
                // Clicked from its own event: a click that opens a dialog must not hold this timer.
                QTimer::singleShot(0, button, [this, button] {
                    button->click();
                    FClickReturned = true;
                });
                return;
            }
        if (++FWaitTicks > kMaxWaitTicks)
            Fail(QStringLiteral("找不到可用的按钮：") + FClicks.first());
        return;
    }
    if (target != FLastTarget) {
        FLastTarget = target;
        FStableTicks = 0;
        return;
    }
    if (++FStableTicks >= kStableTicks)
        Finish(target);
}

void HostScreenshot::Finish(QWidget *target)
{
    FDone = true;
    if (!target->grab().save(FFile, "PNG"))
        return Fail(QStringLiteral("无法写入截图文件：") + FFile);
    QTextStream(stdout) << FFile << Qt::endl;
}

void HostScreenshot::Fail(const QString &message)
{
    FDone = true;
    FExitCode = 7;
    QTextStream(stderr) << message << Qt::endl;
}
