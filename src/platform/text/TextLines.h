#pragma once
// Splitting text files into lines the way a text-mode reader sees them.
#include <QString>
#include <QStringList>

// Lines of `text` without their line ends. "\r\n", "\n" and a lone "\r" each end a
// line; a final line without a line end still counts, an empty text has no lines.
QStringList SplitLines(const QString& text);
