#pragma once
// What the main window reads and makes before it builds itself: the user's
// picture and video folders, the language, and the drawing settings.
#include "app/LanguageTable.h"

#include <QString>

struct AppSettings;

struct UserFolders {
    QString pictures;
    QString videos;
};

// "Pelora files/Picture" and "/Video" in the user's documents, made when missing.
UserFolders CreateUserFolders();
// The language the program starts in, with its text files chosen.
lang::LanguagePair ReadStartupLanguage(AppSettings& settings);
// Unit, decimals, colours, pen, picture format, the snapshot switch and the focus
// stack's steps.
void ReadStartupSettings(AppSettings& settings);
