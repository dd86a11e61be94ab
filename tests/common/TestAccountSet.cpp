#include "TestAccountSet.h"

TestAccountSet::TestAccountSet()
{
    FPath = FDir.filePath(QStringLiteral("test.orv"));
    FSession = HostSession::Create(FPath, &FMessages);
    FSession->Install();
}

TestAccountSet::~TestAccountSet()
{
    FSession.reset();
}

void TestAccountSet::ActAs(const QString &operatorId, bool isManager)
{
    TLogOnState &s = FSession->System().State();
    s.OperatorId = operatorId;
    s.OperatorCode = operatorId;
    s.IsManager = isManager;
}
