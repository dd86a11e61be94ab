#pragma once
// 打开账套: the host's log-on dialog (another account set or operator), then the initialisation check
// (the wizard for an account set not yet set up), the menus, the warning book and the audit centre
// when the operator has them and the switches ask for them, the desktop.

namespace uOpenAccount {
using TWarnList = bool (*)(int mode);
using TAuditCentre = void (*)(bool flag);
// True when an account set was opened. A null routine skips its step.
bool OpenAccountSet(TWarnList warnList, TAuditCentre auditCentre);
} // namespace uOpenAccount
