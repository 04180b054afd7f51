#include "app/HelpCommands.h"

#include "app/AppTexts.h"
#include "app/LanguageTable.h"
#include "platform/desktop/DocumentOpener.h"
#include "platform/desktop/MessageBox.h"

#include <QDir>
#include <QUrl>
#include <QWidget>

void OpenHelpManual(QWidget* parent, const QString& caption)
{
    const QString manual = lang::HelpFilePath();
    OpenDocument(QUrl::fromLocalFile(manual), parent, [parent, caption, manual] {
        ShowMessage(parent, LoadText(txt::HelpNotOpened) + "\n" + QDir::toNativeSeparators(manual), caption,
                    MB_OK | MB_ICONWARNING);
    });
}

void ShowUpdateInfo(QWidget* parent, const QString& caption, const QString& version)
{
    // The program is installed as a system package: its updates come the same way.
    ShowMessage(parent, LoadText(txt::UpdateInfo).arg(caption, version), caption, MB_OK | MB_ICONINFORMATION);
}
