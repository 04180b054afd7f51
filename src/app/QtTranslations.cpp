#include "app/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace {
const char* const kQtCatalogue = "qtbase";
const char* const kSeparator = "_";

QTranslator& Installed()
{
    static QTranslator translator;
    return translator;
}
} // namespace

bool InstallQtTranslation(const QString& localeName)
{
    QTranslator& translator = Installed();
    QCoreApplication::removeTranslator(&translator);
    const bool loaded =
        translator.load(QLocale(localeName), QString::fromLatin1(kQtCatalogue),
                        QString::fromLatin1(kSeparator), QLibraryInfo::path(QLibraryInfo::TranslationsPath));
    return loaded && QCoreApplication::installTranslator(&translator);
}
