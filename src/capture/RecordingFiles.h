#pragma once
// Names of recordings: "<video folder>/Video_YYYY-MM-DD_HHMMSS_N<counter>.avi",
// the counter one more than the largest of the folder's ".avi" files.
#include <QDateTime>
#include <QString>

// Shown for a folder named like a recording; a fixed text of the program.
inline constexpr const char* kAviErrorText = "AVI Error";

// Folders named like a recording are skipped; `skippedFolder` is then set, so the
// window can show "AVI Error".
int NextVideoCounter(const QString& videoFolder, bool* skippedFolder = nullptr);
QString VideoFileName(const QString& videoFolder, const QDateTime& localTime, int counter);

// Creates the recording's file under the first free name from `counter` on (an
// existing file is never replaced). The descriptor (open for reading and
// writing), or -1 with errno set; the name in `path`.
int CreateVideoFile(const QString& videoFolder, const QDateTime& localTime, int counter, QString* path);

// The scratch file the compressor preparation writes.
QString ScratchVideoPath(const QString& videoFolder);
