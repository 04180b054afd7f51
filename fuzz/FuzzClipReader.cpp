// The clip reader on arbitrary file content: open, read the pictures, seek about.
#include "platform/media/ClipReader.h"

extern "C" {
#include <libavutil/log.h>
}

#include <cstddef>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace {
// Enough pictures to reach past the first key picture of any seed.
constexpr int kMaxPictures = 64;
} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // FFmpeg's complaints about broken input would drown the fuzzer's own output.
    av_log_set_level(AV_LOG_QUIET);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // A memory file: no disk traffic, and still a regular file for the reader.
    const int fd = ::memfd_create("clip", 0);
    if (fd < 0) {
        return 0;
    }
    size_t written = 0;
    while (written < size) {
        const ssize_t n = ::write(fd, data + written, size - written);
        if (n <= 0) {
            break;
        }
        written += size_t(n);
    }
    {
        ClipReader reader;
        if (reader.Open(QStringLiteral("/proc/self/fd/%1").arg(fd))) {
            ClipFrame frame;
            for (int i = 0; i < kMaxPictures && reader.ReadFrame(frame); ++i) {
            }
            for (const double at : {reader.Duration() / 2, reader.Duration() + 1, 0.0}) {
                reader.Seek(at);
                reader.ReadFrame(frame);
            }
        }
    }
    ::close(fd);
    return 0;
}
