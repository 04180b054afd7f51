#include "platform/media/MediaFileInput.h"

#include "platform/files/RegularFile.h"
#include "platform/media/AviHeaderCheck.h"

extern "C" {
#include <libavformat/avformat.h>
}

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace {
constexpr int kIoBufferBytes = 64 * 1024;
} // namespace

MediaFileInput::MediaFileInput(const QString& path) : m_fd(OpenRegularFile(path))
{
    struct stat st {};
    if (!m_fd.valid() || ::fstat(m_fd.get(), &st) != 0 || !AviHeaderFits(m_fd.get(), int64_t(st.st_size))) {
        return;
    }
    auto* buffer = static_cast<unsigned char*>(av_malloc(kIoBufferBytes));
    if (!buffer) {
        return;
    }
    m_io = avio_alloc_context(buffer, kIoBufferBytes, 0, this, &MediaFileInput::Read, nullptr,
                              &MediaFileInput::Seek);
    if (!m_io) {
        av_free(buffer);
        return;
    }
    AVFormatContext* format = avformat_alloc_context();
    if (!format) {
        return;
    }
    format->pb = m_io;
    format->flags |= AVFMT_FLAG_CUSTOM_IO;
    // The name is never opened. On failure the context is freed and the pointer
    // cleared.
    if (avformat_open_input(&format, path.toUtf8().constData(), av_find_input_format("avi"), nullptr) == 0) {
        m_format = format;
    }
}

MediaFileInput::~MediaFileInput()
{
    // The container first: closing it may still use the I/O context.
    avformat_close_input(&m_format);
    if (m_io) {
        av_freep(&m_io->buffer);
        avio_context_free(&m_io);
    }
}

int MediaFileInput::Read(void* opaque, unsigned char* buffer, int size)
{
    const int fd = static_cast<MediaFileInput*>(opaque)->m_fd.get();
    for (;;) {
        const ssize_t n = ::read(fd, buffer, size_t(size));
        if (n > 0) {
            return int(n);
        }
        if (n == 0) {
            return AVERROR_EOF;
        }
        if (errno != EINTR) {
            return AVERROR(errno);
        }
    }
}

int64_t MediaFileInput::Seek(void* opaque, int64_t offset, int whence)
{
    const int fd = static_cast<MediaFileInput*>(opaque)->m_fd.get();
    if (whence & AVSEEK_SIZE) {
        struct stat st {};
        return ::fstat(fd, &st) == 0 ? int64_t(st.st_size) : AVERROR(errno);
    }
    const off_t at = ::lseek(fd, off_t(offset), whence & ~AVSEEK_FORCE);
    return at < 0 ? AVERROR(errno) : int64_t(at);
}
