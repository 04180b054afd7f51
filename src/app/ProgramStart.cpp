#include "app/ProgramStart.h"

#include "app/SettingsStore.h"

#include <QColor>
#include <QDir>
#include <QStandardPaths>

namespace {
constexpr QRgb kColourMask = 0xFFFFFF;
} // namespace

UserFolders CreateUserFolders()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QDir().mkpath(documents);
    const QString root = documents + "/Pelora files";
    const UserFolders folders{root + "/Picture", root + "/Video"};
    // Failures are ignored: the folders usually exist already.
    QDir().mkdir(root);
    QDir().mkdir(folders.videos);
    QDir().mkdir(folders.pictures);
    return folders;
}

lang::LanguagePair ReadStartupLanguage(AppSettings& settings)
{
    settings.ReadLanID();
    settings.ReadSubLanIDD();
    lang::LanguagePair language = lang::StartupLanguage(settings);
    lang::ChooseFiles(language);
    return language;
}

void ReadStartupSettings(AppSettings& settings)
{
    settings.ReadUnit();
    settings.ReadDecimal();
    settings.ReadMeasureTxtColor();
    settings.MeasureTxtColor &= kColourMask;
    settings.ReadLineColor();
    settings.LineColor &= kColourMask;
    settings.ReadLineWidth();
    settings.ReadLineType();
    settings.ReadImageFormat();
    settings.ReadSwitch();
    settings.ReadFocusSteps();
}
