#include "platform/files/RegularFile.h"

#include <QFile>
#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

UniqueFd Refused(int error)
{
    errno = error;
    return {};
}

} // namespace

UniqueFd OpenRegularFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat st {};
    if (name.isEmpty()) {
        return Refused(ENOENT);
    }
    if (::stat(name.constData(), &st) != 0) {
        return Refused(errno);
    }
    if (!S_ISREG(st.st_mode)) {
        return Refused(EINVAL);
    }
    UniqueFd fd(::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
    if (!fd.valid()) {
        return Refused(errno);
    }
    if (::fstat(fd.get(), &st) != 0 || !S_ISREG(st.st_mode)) {
        fd.Reset();
        return Refused(EINVAL);
    }
    // Reads of a regular file never wait anyway; readers get the usual blocking descriptor.
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
        const int error = errno;
        fd.Reset();
        return Refused(error);
    }
    return fd;
}

bool OpenRegularFile(const QString& path, QFile* file)
{
    UniqueFd fd = OpenRegularFile(path);
    if (!fd.valid() || !file->open(fd.get(), QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        return false;
    }
    fd.Release();
    return true;
}

bool IsRegularFile(const QString& path)
{
    struct stat st {};
    return !path.isEmpty() && ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISREG(st.st_mode);
}

bool ReadRegularFile(const QString& path, QByteArray* out, int64_t offset, int64_t maxBytes)
{
    out->clear();
    const UniqueFd fd = OpenRegularFile(path);
    struct stat st {};
    if (!fd.valid() || offset < 0 || maxBytes < 0 || ::fstat(fd.get(), &st) != 0) {
        return false;
    }
    const int64_t wanted = std::clamp<int64_t>(st.st_size - offset, 0, maxBytes);
    out->resize(qsizetype(wanted));
    int64_t done = 0;
    while (done < wanted) {
        const ssize_t n = ::pread(fd.get(), out->data() + done, size_t(wanted - done), off_t(offset + done));
        if (n < 0 && errno == EINTR) {
            continue;
        }
        if (n < 0) {
            out->clear();
            return false;
        }
        if (n == 0) {
            break; // the file shrank meanwhile: what is there is what we have
        }
        done += n;
    }
    out->resize(qsizetype(done));
    return true;
}
