#pragma once
// "pelora --list-data": where the program looks for its shipped files and which
// language files and manuals it finds there, for packagers and support.
#include <QStringList>

inline constexpr char kListDataOption[] = "--list-data";

// Prints the report to standard output. Returns the process exit code: 0 when the
// English language file is present, 1 otherwise.
int PrintProgramDataReport();
