#include "uAutobackup.h"

#include <QApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QTimer>
#include <QVBoxLayout>

#include "Udllaccountintf.h"
#include "Udllsystemintf.h"
#include "uSqlFileCommon.h"

TFrmAutobackup::TFrmAutobackup(const QString &mode, QWidget *parent) : TQuillForm(parent), FMode(mode)
{
    setObjectName(QStringLiteral("FrmAutobackup"));
    // No border icons: the backup cannot be closed half-way.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    setWindowTitle(QStringLiteral("正在备份文件"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 16, 20, 16);
    const QStringList texts{QStringLiteral("正在备份文件"),
                            QStringLiteral("系统正在做自动备份，将您目前的数据压缩到"),
                            QStringLiteral("服务器端的BACKUP目录下。"), QStringLiteral("请耐心等候!")};
    for (int i = 0; i < texts.size(); ++i) {
        auto *label = new QLabel(texts[i], this);
        label->setObjectName(QStringLiteral("Label%1").arg(i + 1));
        layout->addWidget(label);
    }
    Bar1 = new QProgressBar(this);
    Bar1->setObjectName(QStringLiteral("Bar1"));
    Bar1->setRange(0, 100);
    Bar1->setValue(0);
    layout->addWidget(Bar1);
    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(10);
    connect(Timer1, &QTimer::timeout, this, &TFrmAutobackup::Timer1Timer);
}

TFrmAutobackup::~TFrmAutobackup() = default;

void TFrmAutobackup::showEvent(QShowEvent *event)
{
    TQuillForm::showEvent(event);
    if (const QScreen *screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    if (FMode != QLatin1String("back"))
        Timer1->start();
}

void TFrmAutobackup::Timer1Timer()
{
    Bar1->setValue(Bar1->value() < Bar1->maximum() ? Bar1->value() + 1 : Bar1->minimum());
    if (FRan)
        return;
    FRan = true;
    FSucceeded = uAutobackup::BackUpNow();
    Timer1->stop();
    done(FSucceeded ? QDialog::Accepted : QDialog::Rejected);
}

namespace uAutobackup {

bool BackUpNow()
{
    const QString ztName = Udllsystemintf::GetPubZtName();
    const QString name = uSqlFileCommon::AutoBackupName(ztName, QDateTime::currentDateTime());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    struct TRestoreCursor
    {
        ~TRestoreCursor() { QApplication::restoreOverrideCursor(); }
    } restoreCursor;
    return Udllaccountintf::BackUpDataBase(name, ztName) == 0;
}

bool AutoBackup()
{
    if (!Udllaccountintf::CheckBackUp())
        return true;
    TFrmAutobackup form(QStringLiteral("back"));
    form.show();
    form.Bar1->setValue(form.Bar1->value() + 1);
    QCoreApplication::processEvents();
    const bool ok = BackUpNow();
    form.hide();
    return ok;
}

} // namespace uAutobackup
