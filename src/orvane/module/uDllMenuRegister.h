#pragma once
// The module's menu registrations for the host.

#include "Udatastructure.h"
#include "uDllComm.h"

// Always ten records; the first two carry the module's file name, the first also the pair "3,2".
ORVANE_EXPORT void GetAllRegMenus(TMenuRegArray &menus);
