#include "HostHelp.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "Kvbasicfun.h"

HostHelpWindow::HostHelpWindow(QWidget *parent) : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    resize(720, 560);
    txtHelp = new QTextBrowser(this);
    txtHelp->setObjectName(QStringLiteral("txtHelp"));
    txtHelp->setOpenLinks(true);
    auto *btnContents = new QPushButton(QStringLiteral("目录(&C)"), this);
    btnContents->setObjectName(QStringLiteral("btnContents"));
    auto *btnBack = new QPushButton(QStringLiteral("后退(&B)"), this);
    btnBack->setObjectName(QStringLiteral("btnBack"));
    auto *btnClose = new QPushButton(QStringLiteral("关闭"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setShortcut(QKeySequence(Qt::Key_Escape));
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(btnContents);
    buttons->addWidget(btnBack);
    buttons->addStretch(1);
    buttons->addWidget(btnClose);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(txtHelp, 1);
    connect(btnContents, &QPushButton::clicked, this, [this] { ShowPage(HostHelp::ContentsPage()); });
    connect(btnBack, &QPushButton::clicked, txtHelp, &QTextBrowser::backward);
    connect(txtHelp, &QTextBrowser::backwardAvailable, btnBack, &QPushButton::setEnabled);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(txtHelp, &QTextBrowser::sourceChanged, this,
            [this] { setWindowTitle(QStringLiteral("帮助 - ") + txtHelp->documentTitle()); });
    btnBack->setEnabled(false);
}

void HostHelpWindow::ShowPage(const QString &file)
{
    txtHelp->setSource(QUrl::fromLocalFile(file));
    setWindowTitle(QStringLiteral("帮助 - ") + txtHelp->documentTitle());
}

QString HostHelpWindow::CurrentPage() const
{
    return txtHelp->source().toLocalFile();
}

HostHelp::HostHelp(QWidget *mainWindow) : QObject(mainWindow), FMainWindow(mainWindow)
{
    QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "OpenUrl");
}

HostHelp::~HostHelp()
{
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
    delete FWindow;
}

QString HostHelp::HelpFolder()
{
    return QDir(Kvbasicfun::GetSystemPath()).filePath(QStringLiteral("help"));
}

QString HostHelp::ContentsPage()
{
    return QDir(HelpFolder()).filePath(QStringLiteral("welcome.htm"));
}

void HostHelp::ShowPage(const QString &file)
{
    // Over a modal window the help must be its child, or the modal window would block it.
    QWidget *owner = QApplication::activeModalWidget();
    if (!owner)
        owner = FMainWindow;
    if (FWindow && FWindow->parentWidget() != owner)
        delete FWindow;
    if (!FWindow)
        FWindow = new HostHelpWindow(owner);
    FWindow->ShowPage(QFileInfo(file).isFile() ? file : ContentsPage());
    FWindow->show();
    FWindow->raise();
    FWindow->activateWindow();
}

void HostHelp::OpenUrl(const QUrl &url)
{
    const QString file = url.toLocalFile();
    const QString folder = QDir::cleanPath(QFileInfo(HelpFolder()).absoluteFilePath());
    const QString suffix = QFileInfo(file).suffix().toLower();
    const bool helpPage = (suffix == u"htm" || suffix == u"html") &&
                          QDir::cleanPath(QFileInfo(file).absoluteFilePath()).startsWith(folder + u'/');
    if (helpPage)
        ShowPage(file);
    else
        QDesktopServices::openUrl(url); // inside the handler: the desktop's own way
}
