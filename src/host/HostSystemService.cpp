#include "HostSystemService.h"

#include "AccountRepair.h"
#include "EventLog.h"

#include "AccountDatabase.h"

#include <QCoreApplication>
#include <QFileInfo>

HostSystemService::HostSystemService(accountdb::AccountDatabase &db) : FDb(&db)
{
    SetDatabase(db);
}

void HostSystemService::SetDatabase(accountdb::AccountDatabase &db)
{
    FDb = &db;
    FState.ZtName = QFileInfo(db.path()).completeBaseName();
    const QString today = QDate::currentDate().toString(QStringLiteral("yyyy-MM-dd"));
    FDefaultDate = FDefaultEndDate = FDefaultProDate = today;
    FDefaultBeginDate = QDate(QDate::currentDate().year(), QDate::currentDate().month(), 1)
                            .toString(QStringLiteral("yyyy-MM-dd"));
    ReloadSysCon();
}

void HostSystemService::ReloadSysCon()
{
    FSysCon.clear();
    QSqlQuery q = FDb->exec(QStringLiteral("SELECT ConId, Stats FROM T_Gbl_SysCon"));
    while (q.next())
        FSysCon.insert(q.value(0).toInt(), q.value(1).toInt() == 1);
}

bool HostSystemService::CheckToken(QString &code, QString &info, int &level)
{
    const std::optional<TPassToken> token = FTokenReader ? FTokenReader->Read(*FDb) : std::nullopt;
    if (!token)
        return false;
    code = token->Code;
    info = token->Info;
    level = token->Level;
    return true;
}

void HostSystemService::SetPubTKHave(bool have)
{
    FState.TokenHave = have;
    FState.NormalToken = FState.TokenHave && FState.TokenLevel == 0;
}

void HostSystemService::SetPubTKLeveal(int level)
{
    FState.TokenLevel = level;
    FState.NormalToken = FState.TokenHave && FState.TokenLevel == 0;
}

QDateTime HostSystemService::GetLogOnDateTime()
{
    return QDateTime(FState.LogOnDate, QTime::currentTime());
}

void HostSystemService::RefreshMainStatusBar(TRefreshSBSet parts)
{
    if (FShell)
        FShell->RefreshMainStatusBar(parts);
}

void HostSystemService::LoadMenu(bool reload)
{
    if (FShell)
        FShell->LoadMenu(reload);
}

void HostSystemService::CloseAllPage()
{
    if (FShell)
        FShell->CloseAllPage();
}

void HostSystemService::CloseAllBillPage()
{
    if (FShell)
        FShell->CloseAllBillPage();
}

bool HostSystemService::HasOpenBill()
{
    return FShell && FShell->HasOpenBill();
}

bool HostSystemService::ShowLoginOn(bool first)
{
    return FShell && FShell->ShowLoginOn(first);
}

void HostSystemService::DisConnect()
{
    // The connection stays with the session object; disconnecting ends the operator's log-on.
    if (!FState.OperatorId.isEmpty())
        accountdb::writeEvent(*FDb, FState.OperatorId, accountdb::event::LogOff, FState.OperatorName);
    FState.OperatorName.clear();
}

void HostSystemService::RefreshWindows()
{
    if (FShell)
        FShell->RefreshWindows();
}

void HostSystemService::ReLoadAtypeClass()
{
    // Account classes are read on demand by the selection dialogs; nothing is cached here.
}

void HostSystemService::ShowMyDesktop()
{
    if (FShell)
        FShell->ShowMyDesktop();
}

void HostSystemService::MainFormActiveTab()
{
    if (FShell)
        FShell->MainFormActiveTab();
}

bool HostSystemService::RepairSystem(int)
{
    const accountdb::RepairReport report = accountdb::repairAccountSet(*FDb);
    if (FMessages) {
        const QString text =
            (report.ok ? QStringLiteral("账套修复完成。\n") : QStringLiteral("账套修复失败。\n")) +
            report.lines.join(u'\n');
        report.ok ? FMessages->ShowInfoMessage(text) : FMessages->ShowErrorMsg(text);
    }
    return report.ok;
}

QStringList HostSystemService::GetStrings(int)
{
    return {};
}

void HostSystemService::Terminate()
{
    if (FShell)
        FShell->Terminate();
    else if (QCoreApplication::instance())
        QCoreApplication::exit(0);
}
