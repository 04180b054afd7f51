#pragma once
// The measurement list's column titles in the user's language.
#include <QStringList>

// Each title with every word the language file translates ("Length", "Area", ...)
// replaced by its text; units and other words stay as they are.
QStringList LocalizedColumnTitles(const QStringList& titles);
