#pragma once
// An AVI file opened for FFmpeg through a descriptor we opened and checked
// ourselves: FFmpeg's own open of the name would wait for ever on a named pipe,
// and its header is checked before FFmpeg trusts it (AviHeaderCheck.h). Only the
// AVI reader of FFmpeg is used: the program plays its own recordings.
// For the strip's video thumbnails and the clip player.
#include "platform/files/UniqueFd.h"

#include <QString>
#include <cstdint>

struct AVFormatContext;
struct AVIOContext;

class MediaFileInput {
public:
    // Opens `path` when it is a regular AVI file and reads its container header.
    explicit MediaFileInput(const QString& path);
    ~MediaFileInput();
    MediaFileInput(const MediaFileInput&) = delete;
    MediaFileInput& operator=(const MediaFileInput&) = delete;

    // The opened container; null when the file is not a regular file or not an
    // AVI file FFmpeg can read.
    AVFormatContext* Format() const { return m_format; }

private:
    static int Read(void* opaque, unsigned char* buffer, int size);
    static int64_t Seek(void* opaque, int64_t offset, int whence);

    UniqueFd m_fd;
    AVIOContext* m_io = nullptr;
    AVFormatContext* m_format = nullptr;
};
