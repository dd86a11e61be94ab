#include "uOpenAccount.h"

#include "Udllsystemintf.h"
#include "uDllComm.h"
#include "uIniConfig.h"
#include "uOperationFunc.h"
#include "uOrvaneCommon.h"
#include "uUsersCommon.h"

namespace uOpenAccount {

bool OpenAccountSet(TWarnList warnList, TAuditCentre auditCentre)
{
    const uUsersCommon::TDisabledWhile disabled(uDllComm::DllParams.FparForm);
    if (!uOrvaneCommon::ConfirmCloseOtherWindows())
        return false;
    if (!Udllsystemintf::ShowLoginOn(false))
        return false;
    try {
        Udllsystemintf::RefreshMainStatusBar(RefreshSet({TRefreshSB::rsbAccount}));
    } catch (...) {
        // The status bar is cosmetic; the account set is open all the same.
    }
    if (!uIniConfig::IniConfigShow(false))
        Udllsystemintf::RefreshWindows();
    Udllsystemintf::ReLoadAtypeClass();
    Udllsystemintf::LoadMenu(true);
    if (warnList && Udllsystemintf::CheckSysCon(80) &&
        uOrvaneCommon::HasRightByClickName(QStringLiteral("报警簿")))
        warnList(-1);
    if (auditCentre && uOrvaneCommon::HasRightByClickName(QStringLiteral("单据审核中心")) &&
        Udllsystemintf::CheckSysCon(113))
        auditCentre(false);
    if (uDllComm::DllParams.PubVersion2 > 880 &&
        uOperationFunc::ReadServerConfig(QStringLiteral("AutoDesktop"), QStringLiteral("False"))
                .compare(QLatin1String("True"), Qt::CaseInsensitive) == 0)
        Udllsystemintf::ShowMyDesktop();
    Udllsystemintf::MainFormActiveTab();
    return true;
}

} // namespace uOpenAccount
