#pragma once
// The program's own help: Chinese HTML pages beside the program (help/ under the system folder), one
// per window, shown in a help window of the program. Windows ask for their page by opening its file
// (the module's OpenHelpTopic); the host takes those requests over while its main window lives, so
// help works the same on every machine, with or without a browser. A topic without a page of its own
// opens the contents page.

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QWidget>

class QTextBrowser;

class HostHelpWindow : public QWidget
{
    Q_OBJECT
public:
    explicit HostHelpWindow(QWidget *parent = nullptr);
    void ShowPage(const QString &file);
    QString CurrentPage() const;
    QTextBrowser *Browser() const { return txtHelp; }

private:
    QTextBrowser *txtHelp;
};

class HostHelp : public QObject
{
    Q_OBJECT
public:
    // Takes over the opening of local help files for as long as the object lives.
    explicit HostHelp(QWidget *mainWindow);
    ~HostHelp() override;

    static QString HelpFolder();
    // The contents page.
    static QString ContentsPage();
    // Shows the page in the help window (over the modal window that asked, when there is one).
    void ShowPage(const QString &file);
    HostHelpWindow *Window() const { return FWindow; }

public slots:
    // The handler of file URLs: help pages here, every other file as the desktop opens it.
    void OpenUrl(const QUrl &url);

private:
    QWidget *FMainWindow;
    QPointer<HostHelpWindow> FWindow;
};
