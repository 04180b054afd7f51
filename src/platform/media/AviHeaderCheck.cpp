#include "platform/media/AviHeaderCheck.h"

#include <cstring>
#include <unistd.h>

namespace {

// Headers hold a few dozen chunks; more is not a recording.
constexpr int kMaxChunks = 4096;
constexpr int kMaxDepth = 4;
constexpr int64_t kRiffHeaderBytes = 12; // "RIFF", size, "AVI "
constexpr int64_t kChunkHeaderBytes = 8; // id, size

struct Walk {
    int fd;
    int64_t fileSize;
    int chunks = 0;
    bool sawPictures = false;

    bool ReadAt(int64_t at, char* out, size_t n) const
    {
        return ::pread(fd, out, n, off_t(at)) == ssize_t(n);
    }

    static uint32_t Le32(const char* p)
    {
        const auto* b = reinterpret_cast<const unsigned char*>(p);
        return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
    }

    // Checks the chunks from `at` up to `end`; stops at the picture list.
    bool Chunks(int64_t at, int64_t end, int depth)
    {
        while (!sawPictures && at + kChunkHeaderBytes <= end) {
            if (++chunks > kMaxChunks) {
                return false;
            }
            char header[12];
            if (!ReadAt(at, header, kChunkHeaderBytes)) {
                return false;
            }
            const int64_t size = Le32(header + 4);
            const bool list = std::memcmp(header, "LIST", 4) == 0;
            if (list && ReadAt(at + kChunkHeaderBytes, header + 8, 4) &&
                std::memcmp(header + 8, "movi", 4) == 0) {
                // The pictures may be cut short: damaged, but still worth showing.
                sawPictures = true;
                return true;
            }
            const int64_t next = at + kChunkHeaderBytes + size;
            if (next > fileSize || next > end) {
                return false;
            }
            if (list && depth < kMaxDepth && !Chunks(at + kChunkHeaderBytes + 4, next, depth + 1)) {
                return false;
            }
            at = next + (size & 1);
        }
        return true;
    }
};

} // namespace

bool AviHeaderFits(int fd, int64_t fileSize)
{
    char riff[kRiffHeaderBytes];
    Walk walk{fd, fileSize};
    if (!walk.ReadAt(0, riff, sizeof riff) || std::memcmp(riff, "RIFF", 4) != 0 ||
        std::memcmp(riff + 8, "AVI ", 4) != 0) {
        return false;
    }
    // The file's own size bounds the walk: a recording cut short claims more.
    return walk.Chunks(kRiffHeaderBytes, fileSize, 0);
}
