#include "uDllMenuRegister.h"

#include "uStringConst.h"

void GetAllRegMenus(TMenuRegArray &menus)
{
    menus.clear();
    menus.resize(10);
    menus[0].ModuleName = uStringConst::ModuleFileName;
    menus[0].Pair = QStringLiteral("3") + QStringLiteral(",") + QStringLiteral("2");
    menus[1].ModuleName = uStringConst::ModuleFileName;
}
