#include "HostSession.h"

#include <QSqlQuery>

#include "AccountDatabase.h"
#include "EventLog.h"
#include "HostConfig.h"
#include "SqlErrors.h"
#include "Udllaccountintf.h"
#include "Udllbaseselect.h"
#include "Udllbillconfig.h"
#include "Udllbillinterface.h"
#include "Udlldbservice.h"
#include "Udllexistintf.h"
#include "Udllmessageintf.h"
#include "Udllserverobject.h"
#include "Udllsystemintf.h"
#include "session/LogOnToken.h"

namespace {
QVariant Output(const accountdb::ProcParams &params, QLatin1String name)
{
    for (const accountdb::ProcParam &p : params) {
        if (p.name.compare(name, Qt::CaseInsensitive) == 0)
            return p.value;
    }
    return {};
}

int LogOnGuard(accountdb::AccountDatabase &db, const QString &mode, const QString &operatorId,
               int *wait = nullptr)
{
    accountdb::ProcParams params{{QStringLiteral("@cMode"), mode},
                                 {QStringLiteral("@szOperatorID"), operatorId},
                                 {QStringLiteral("@nWait"), 0}};
    const int result = db.callProc(QStringLiteral("P_GBL_LogOnGuard"), params);
    if (wait)
        *wait = Output(params, QLatin1String("@nWait")).toInt();
    return result;
}
} // namespace

HostSession::HostSession(std::unique_ptr<accountdb::AccountDatabase> db, IDllMessageCon *messages)
    : FDb(std::move(db)), FPath(FDb->path())
{
    FDbService = std::make_unique<HostDatabaseService>(*FDb);
    FSystem = std::make_unique<HostSystemService>(*FDb);
    if (!messages) {
        FOwnMessages = std::make_unique<HostMessageService>();
        messages = FOwnMessages.get();
    }
    FMessages = messages;
    FSystem->SetMessages(FMessages);
    if (const QString keyFile = HostConfig::TokenKeyFile(); !keyFile.isEmpty())
        FSystem->SetTokenReader(std::make_unique<TKeyFileTokenReader>(keyFile));
    FParams.PubVersion = QStringLiteral("V17.0");
    FParams.PubDataBaseName = FDb->path();
    FParams.DllMessage = FMessages;
    FParams.DataBaseService = FDbService.get();
    FParams.SystemIntf = FSystem.get();
    FAccount = std::make_unique<HostAccountService>(TAccountSetAccess{
        [this]() -> accountdb::AccountDatabase & { return *FDb; }, [this] { CloseDatabase(); },
        [this] { Reopen(); }, [this] { return FSystem->State().OperatorId; }});
    FParams.AccountIntf = FAccount.get();
    FServer = std::make_unique<HostServerObject>(*FDbService, *FSystem);
    FParams.vmrSvr = FServer.get();
    FBills = std::make_unique<HostAudit>([this] { return FDb.get(); }, *FSystem, *FMessages);
    FParams.BillInterface = FBills.get();
}

void HostSession::CloseDatabase()
{
    FDb.reset();
}

void HostSession::Reopen()
{
    FDb.reset();
    FDb = accountdb::AccountDatabase::open(FPath);
    FDbService->SetDatabase(*FDb);
    FSystem->SetDatabase(*FDb);
}

HostSession::~HostSession()
{
    Uninstall();
}

std::unique_ptr<HostSession> HostSession::Create(const QString &path, IDllMessageCon *messages)
{
    return std::unique_ptr<HostSession>(new HostSession(accountdb::AccountDatabase::create(path), messages));
}

std::unique_ptr<HostSession> HostSession::Open(const QString &path, IDllMessageCon *messages)
{
    return std::unique_ptr<HostSession>(new HostSession(accountdb::AccountDatabase::open(path), messages));
}

void HostSession::Install()
{
    Udllmessageintf::DllMessage = FParams.DllMessage;
    Udlldbservice::DatabaseSvr = FParams.DataBaseService;
    Udllexistintf::ExistsData = FParams.ExistsData;
    Udllbaseselect::BaseSelect = FParams.BaseSelect;
    Udllbillinterface::BillInterface = FParams.BillInterface;
    Udllaccountintf::AccountIntf = FParams.AccountIntf;
    Udllsystemintf::SystemIntf = FParams.SystemIntf;
    Udllbillconfig::BillConfigIntf = FParams.BillConfigIntf;
    Udllserverobject::vmrSvr = FParams.vmrSvr;
}

void HostSession::Uninstall()
{
    if (Udlldbservice::DatabaseSvr == FDbService.get())
        Udlldbservice::DatabaseSvr = nullptr;
    if (Udllsystemintf::SystemIntf == FSystem.get())
        Udllsystemintf::SystemIntf = nullptr;
    if (Udllmessageintf::DllMessage == FMessages)
        Udllmessageintf::DllMessage = nullptr;
    if (Udllserverobject::vmrSvr == FParams.vmrSvr)
        Udllserverobject::vmrSvr = nullptr;
    if (Udllaccountintf::AccountIntf == FParams.AccountIntf)
        Udllaccountintf::AccountIntf = nullptr;
    if (Udllbaseselect::BaseSelect == FParams.BaseSelect)
        Udllbaseselect::BaseSelect = nullptr;
    if (Udllbillinterface::BillInterface == FParams.BillInterface)
        Udllbillinterface::BillInterface = nullptr;
    if (Udllbillconfig::BillConfigIntf == FParams.BillConfigIntf)
        Udllbillconfig::BillConfigIntf = nullptr;
    if (Udllexistintf::ExistsData == FParams.ExistsData)
        Udllexistintf::ExistsData = nullptr;
}

QString HostSession::CheckFile()
{
    // The server keeps its own files sound; the quick check reads an SQLite file's pages.
    if (FDb->isServer())
        return QString();
    QStringList problems;
    try {
        QSqlQuery q = FDb->exec(QStringLiteral("PRAGMA quick_check(10)"));
        while (q.next())
            problems << q.value(0).toString();
    } catch (const accountdb::DbError &e) {
        problems = {accountdb::readableFailure(e.message())};
    }
    return problems == QStringList{QStringLiteral("ok")} ? QString() : problems.join(u'\n');
}

bool HostSession::WarnWhenDamaged()
{
    const QString problems = CheckFile();
    if (problems.isEmpty())
        return true;
    const QString text = QStringLiteral("账套文件检查发现问题，账套可能已损坏：\n") + problems +
                         QStringLiteral("\n\n是否现在进行“账套修复”？（修复前建议先做数据备份。）");
    if (!FMessages->ConfirmYesNo(text, TMessageBoxType::mtWarning, QStringLiteral("提示")))
        return false;
    // The repair reports what it checked and found itself.
    try {
        if (!FSystem->RepairSystem(4))
            return false;
        if (CheckFile().isEmpty())
            return true;
    } catch (const accountdb::DbError &) {
        // A page the repair cannot even read: the file stays as damaged as it was.
    }
    FMessages->ShowWarningMsg(QStringLiteral("账套修复没有成功，请用备份恢复这个账套，或与开发商联系解决。"));
    return false;
}

bool HostSession::LogOn(const QString &operatorId, const QString &password, const QDate &logOnDate,
                        QString *error)
{
    const auto refuse = [&](const QString &reason) {
        accountdb::writeEvent(*FDb, operatorId, accountdb::event::LogOnRefused.arg(reason));
        if (error)
            *error = reason;
        return false;
    };
    // Wrong passwords in a row make the next try wait longer each time.
    if (int wait = 0; LogOnGuard(*FDb, QStringLiteral("C"), operatorId, &wait) < 0)
        return refuse(QStringLiteral("密码错误次数过多，请%1秒后再试。").arg(wait));
    accountdb::ProcParams params{{QStringLiteral("@szUserId"), operatorId},
                                 {QStringLiteral("@szPassword"), password},
                                 {QStringLiteral("@szUserName"), QString()},
                                 {QStringLiteral("@bManager"), 0}};
    const int result = FDb->callProc(QStringLiteral("P_GBL_CheckLogin"), params);
    if (result == -1)
        return refuse(QStringLiteral("操作员不存在。"));
    if (result < 0) {
        LogOnGuard(*FDb, QStringLiteral("F"), operatorId);
        return refuse(QStringLiteral("密码错误，登录失败。"));
    }
    LogOnGuard(*FDb, QStringLiteral("S"), operatorId);
    const TTokenBinding binding = LogOnToken::Binding(*FDb, operatorId);
    if (const QString refusal = LogOnToken::Refusal(*FDb, binding, FSystem->TokenReader());
        !refusal.isEmpty())
        return refuse(refusal);

    TLogOnState &s = FSystem->State();
    s.OperatorId = operatorId;
    s.OperatorCode = operatorId;
    s.OperatorName = Output(params, QLatin1String("@szUserName")).toString();
    s.IsManager = Output(params, QLatin1String("@bManager")).toInt() != 0;
    FSystem->SetPubTKCode(binding.Have ? binding.Code : QString());
    FSystem->SetPubTKHave(binding.Have);
    FSystem->SetPubTKLeveal(binding.Have ? binding.Level : -1);
    s.LogOnDate = logOnDate;
    FSystem->ReloadSysCon();
    accountdb::writeEvent(*FDb, s.OperatorId, accountdb::event::LogOn, s.OperatorName);
    return true;
}
