#include "TestAccountSet.h"

#include <QSettings>

#include "Kvtranslations.h"

TestAccountSet::TestAccountSet()
{
    // The windows read like the program's: Qt's buttons and dialogs in Chinese.
    Kvtranslations::InstallChineseTranslations();
    // Remembered window sizes go to the test's folder, not to the user's configuration.
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, FDir.path());
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
