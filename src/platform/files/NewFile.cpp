#include "platform/files/NewFile.h"

#include "platform/files/UniqueFd.h"

#include <QFile>
#include <QRandomGenerator>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Names only collide within one second of the same folder; this many tries is
// far more than a folder could fill.
constexpr int kMaxTries = 100000;
constexpr int kMaxTempTries = 100;
constexpr mode_t kNewFileMode = 0666; // less the umask, like any other new file

int MoveByRename(const char* from, const char* to)
{
    return ::renameat2(AT_FDCWD, from, AT_FDCWD, to, RENAME_NOREPLACE) == 0 ? 0 : errno;
}

int MoveByLink(const char* from, const char* to)
{
    if (::link(from, to) != 0) {
        return errno;
    }
    ::unlink(from); // a leftover second name of the same file loses nothing
    return 0;
}

int MoveOntoPlaceholder(const char* from, const char* to)
{
    const int claim = ::open(to, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode);
    if (claim < 0) {
        return errno;
    }
    ::close(claim);
    if (::rename(from, to) != 0) {
        const int error = errno;
        ::unlink(to);
        return error;
    }
    return 0;
}

// The file system cannot do this kind of move (as opposed to: the name is taken).
bool Unsupported(int error)
{
    return error == EINVAL || error == ENOSYS || error == EOPNOTSUPP || error == EPERM;
}

bool WriteAll(int fd, const QByteArray& bytes)
{
    qsizetype done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n <= 0) {
            return false;
        }
        done += n;
    }
    return ::fsync(fd) == 0;
}

} // namespace

int RenameNoReplaceWith(NoReplaceMethod method, const QString& from, const QString& to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    switch (method) {
    case NoReplaceMethod::Rename:
        return MoveByRename(source.constData(), target.constData());
    case NoReplaceMethod::Link:
        return MoveByLink(source.constData(), target.constData());
    case NoReplaceMethod::Placeholder:
        return MoveOntoPlaceholder(source.constData(), target.constData());
    }
    return EINVAL;
}

int RenameNoReplace(const QString& from, const QString& to)
{
    int error = RenameNoReplaceWith(NoReplaceMethod::Rename, from, to);
    if (Unsupported(error)) {
        error = RenameNoReplaceWith(NoReplaceMethod::Link, from, to);
    }
    if (Unsupported(error)) {
        error = RenameNoReplaceWith(NoReplaceMethod::Placeholder, from, to);
    }
    return error;
}

bool PublishNumbered(const QString& temp, int number, const NumberedName& nameOf, QString* finalPath)
{
    int n = number < 1 ? 1 : number;
    for (int tries = 0; tries < kMaxTries; ++tries) {
        const QString name = nameOf(n);
        const int error = RenameNoReplace(temp, name);
        if (error == 0) {
            *finalPath = name;
            return true;
        }
        if (error != EEXIST) {
            return false;
        }
        n = n == INT_MAX ? 1 : n + 1;
    }
    return false;
}

namespace {

UniqueFd CreateTemp(const QString& folder, QString* path)
{
    for (int tries = 0; tries < kMaxTempTries; ++tries) {
        const QString name = QString::asprintf("/.pelora-%08x.part", QRandomGenerator::global()->generate());
        UniqueFd fd(::open(QFile::encodeName(folder + name).constData(),
                           O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, kNewFileMode));
        if (fd.valid()) {
            *path = folder + name;
            return fd;
        }
        if (errno != EEXIST) {
            break;
        }
    }
    return {};
}

} // namespace

QString CreateTempFileIn(const QString& folder)
{
    QString path;
    return CreateTemp(folder, &path).valid() ? path : QString();
}

bool WriteNumberedFile(const QString& folder, const QByteArray& bytes, int number, const NumberedName& nameOf,
                       QString* finalPath)
{
    QString temp;
    const UniqueFd fd = CreateTemp(folder, &temp);
    if (!fd.valid()) {
        return false;
    }
    const QByteArray tempName = QFile::encodeName(temp);
    if (!WriteAll(fd.get(), bytes) || !PublishNumbered(temp, number, nameOf, finalPath)) {
        ::unlink(tempName.constData());
        return false;
    }
    return true;
}
