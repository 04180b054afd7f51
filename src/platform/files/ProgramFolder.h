#pragma once
// Where the program's own files live.
#include <QString>

// Folder of read-only files shipped with the program (language files, manuals,
// supported device list): the executable's folder, else its installed data folder.
QString ProgramFolder();

// Folder for files the program writes "beside the program" (calibration, font
// files, CapConfig.dat, print.bmp, the e-mail picture): the executable's folder
// when it holds the program's files and is writable (a build tree or unpacked
// copy), else $XDG_DATA_HOME/Pelora (created on demand) — an installed program
// never writes beside its executable.
QString WritableProgramFolder();

// Tests point both folders somewhere else; an empty path restores the defaults.
void OverrideProgramFolders(const QString& readOnly, const QString& writable);
