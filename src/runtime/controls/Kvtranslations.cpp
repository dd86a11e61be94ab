#include "Kvtranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace Kvtranslations {
bool InstallChineseTranslations()
{
    // Owned by the application; gone with it.
    static QPointer<QTranslator> installed;
    if (installed)
        return true;
    if (!QCoreApplication::instance())
        return false;
    const QLocale chinese(QLocale::Chinese, QLocale::China);
    auto translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(chinese, QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    QLocale::setDefault(chinese);
    installed = translator;
    return true;
}
} // namespace Kvtranslations
