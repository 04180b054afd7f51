#include "capture/RecordingFiles.h"

#include "capture/StillSaver.h"

#include <QDir>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <climits>
#include <fcntl.h>

namespace {
constexpr int kMaxNameTries = 100000;
constexpr mode_t kNewFileMode = 0666;
} // namespace

int NextVideoCounter(const QString& videoFolder, bool* skippedFolder)
{
    QDir dir(videoFolder);
    dir.setNameFilters({QStringLiteral("*.avi")});
    dir.setFilter(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System);
    int largest = 0;
    for (const QFileInfo& entry : dir.entryInfoList()) {
        if (entry.isDir()) {
            if (skippedFolder != nullptr) {
                *skippedFolder = true;
            }
            continue;
        }
        largest = std::max(largest, StillCounterOfName(entry.fileName()));
    }
    return largest + 1;
}

QString VideoFileName(const QString& videoFolder, const QDateTime& localTime, int counter)
{
    const QDate d = localTime.date();
    const QTime t = localTime.time();
    return videoFolder + QString::asprintf("/Video_%4d-%02d-%02d_%02d%02d%02d_N%04d.avi", d.year(), d.month(),
                                           d.day(), t.hour(), t.minute(), t.second(), counter);
}

int CreateVideoFile(const QString& videoFolder, const QDateTime& localTime, int counter, QString* path)
{
    int n = std::max(counter, 1);
    for (int tries = 0; tries < kMaxNameTries; ++tries) {
        const QString name = VideoFileName(videoFolder, localTime, n);
        const int fd =
            ::open(QFile::encodeName(name).constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
        if (fd >= 0) {
            *path = name;
            return fd;
        }
        if (errno != EEXIST) {
            return -1;
        }
        n = n == INT_MAX ? 1 : n + 1;
    }
    errno = EEXIST;
    return -1;
}

QString ScratchVideoPath(const QString& videoFolder)
{
    return videoFolder + QStringLiteral("/test.avi");
}
