#pragma once
// TFrmAutobackup: the small window shown while the automatic backup runs, and the automatic backup
// itself (DllAutoBackup and the exit entry): when the host says a backup is due, the open account
// set is backed up under the automatic name.

#include "uQuillForm.h"

class QProgressBar;
class QTimer;

class TFrmAutobackup : public TQuillForm
{
    Q_OBJECT
public:
    // mode "back": the caller runs the backup; any other mode runs it on the first timer tick.
    explicit TFrmAutobackup(const QString &mode, QWidget *parent = nullptr);
    ~TFrmAutobackup() override;

    QProgressBar *Bar1;
    QTimer *Timer1;

    // True when the backup run by the window succeeded (error code 0).
    bool Succeeded() const { return FSucceeded; }
    QString Mode() const { return FMode; }

public slots:
    void Timer1Timer();

protected:
    void showEvent(QShowEvent *event) override;

private:
    QString FMode;
    bool FRan = false;
    bool FSucceeded = false;
};

namespace uAutobackup {
// One backup under the automatic name (hourglass cursor); True when the host reports error code 0.
bool BackUpNow();
// DllAutoBackup: True when no backup is due; otherwise the window and the backup, and its result.
bool AutoBackup();
} // namespace uAutobackup
