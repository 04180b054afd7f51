#pragma once
// Replacing a file as a whole: the bytes go to a temporary file beside it, which
// is renamed over the old one only when every byte was written.
#include <QByteArray>
#include <QString>

// True when `path` now holds exactly `bytes`. On failure (full disk, no rights)
// the old file is left as it was and no temporary file stays behind.
bool WriteFileAtomically(const QString& path, const QByteArray& bytes);
