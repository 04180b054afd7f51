#pragma once
// Names of recordings: "<video folder>/Video_YYYY-MM-DD_HHMMSS_N<counter>.avi",
// the counter one more than the largest of the folder's ".avi" files.
#include <QDateTime>
#include <QString>

class QWidget;

// Folders named like a recording are reported with "AVI Error" and skipped.
int NextVideoCounter(QWidget* owner, const QString& videoFolder);
QString VideoFileName(const QString& videoFolder, const QDateTime& localTime, int counter);

// Creates the recording's file under the first free name from `counter` on (an
// existing file is never replaced). The descriptor (open for reading and
// writing), or -1 with errno set; the name in `path`.
int CreateVideoFile(const QString& videoFolder, const QDateTime& localTime, int counter, QString* path);

// The scratch file the compressor preparation writes.
QString ScratchVideoPath(const QString& videoFolder);
