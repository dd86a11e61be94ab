#pragma once
// The main window of the host tests: on a fresh account set, with the built module loaded from the
// test's own folder, menus read; and the pages the tests open in it.

#include <QCloseEvent>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <memory>

#include "HostMainWindow.h"
#include "ModuleLoader.h"
#include "TestAccountSet.h"

// A page that refuses to close, like a window with unsaved work.
class StubbornPage : public QWidget
{
protected:
    void closeEvent(QCloseEvent *event) override { event->ignore(); }
};

inline std::unique_ptr<HostMainWindow> OpenMainWindow(TestAccountSet &set, ModuleLoader &loader)
{
    auto window = std::make_unique<HostMainWindow>();
    window->AttachSession(set.Session());
    window->SetModule(&loader);
    loader.InitLoadDll(set.Session().Params());
    window->LoadMenu(true);
    return window;
}

// A page of the main window that is deleted when closed, as the module's MDI windows are.
inline QMdiSubWindow *AddPage(HostMainWindow &window, QWidget *widget)
{
    QMdiSubWindow *page = window.MdiArea()->addSubWindow(widget);
    page->setAttribute(Qt::WA_DeleteOnClose);
    page->show();
    return page;
}
