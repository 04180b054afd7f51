#pragma once
// The Help menu's messages: the manual in the desktop's browser, and where the
// program's updates come from.
#include <QString>

class QWidget;

// Without a browser (or a program for HTML files) the user still learns where
// the manual is.
void OpenHelpManual(QWidget* parent, const QString& caption);
void ShowUpdateInfo(QWidget* parent, const QString& caption, const QString& version);
