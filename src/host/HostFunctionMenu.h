#pragma once
// The host's menus of the module: the account set's function list, reduced to the entries the
// module dispatches. The module has no "is registered" export, so the host keeps the names of the
// module's entries itself and shows only function-list rows whose click name is one of them.

#include <QKeySequence>
#include <QList>
#include <QString>
#include <QStringList>

namespace accountdb {
class AccountDatabase;
}

struct THostMenuEntry
{
    int FunctionNo = 0;
    QString Caption;   // menu text
    QString EntryName; // the module's entry name (OnClick)
    QString Key;       // dispatch key: module file name + entry name
    QString MenuPath;  // top-level menu the entry belongs to
    QString HelpName;
};

namespace HostFunctionMenu {
// The module file whose entries the host offers.
inline const QString ModuleFileName = QStringLiteral("Orvane.dll");
// Menu for entries whose function-list row names none.
inline const QString DefaultMenu = QStringLiteral("系统维护");

// The 27 entry names the module dispatches, in its registration order.
const QStringList &ModuleEntryNames();
// Entries every operator may run whatever his rights: leaving, changing operator, own password.
bool IsAlwaysAllowed(const QString &entryName);

// Function-list rows of the module that map to a dispatched entry, in menu order (ShowOrder, then
// function number). An account set without a function list gives no entries.
QList<THostMenuEntry> ReadEntries(accountdb::AccountDatabase &db);
// Top-level menus in the order their first entry appears.
QStringList MenuPaths(const QList<THostMenuEntry> &entries);
// The title a menu shows, with its Alt key ("文件(&F)"); menus the host does not know keep their name.
QString MenuTitle(const QString &menuPath);
// Entries that belong together (log-on, data safety, rights, ...) share a group; a menu shows its
// entries group by group with separators between them, and 退出 always last.
int EntryGroup(const QString &entryName);
QList<THostMenuEntry> InMenuOrder(const QList<THostMenuEntry> &entries);
// The shortcut key of an entry; empty for most.
QKeySequence EntryShortcut(const QString &entryName);
inline const QString ExitEntryName = QStringLiteral("退出");
// The operator holds the right through one of his groups. The manager flag is the caller's business.
bool OperatorHasRight(accountdb::AccountDatabase &db, const QString &operatorId, int functionNo);
} // namespace HostFunctionMenu
