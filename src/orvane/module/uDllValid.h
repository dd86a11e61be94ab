#pragma once
// Version check of the module against the host.

#include "uDllComm.h"

// True when the host's version text equals the module's version (both trimmed, case-sensitive);
// otherwise False with the message the host shows.
ORVANE_EXPORT bool CheckValid(const QString &version, QString &message);
