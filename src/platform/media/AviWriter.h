#pragma once
// An AVI file with one compressed video stream, written in the steps of the
// platform's AVI services: create the file, create the stream, make the
// compressed stream, set its format, write frames, close. Results are 0 or one of
// the AVIERR codes below.
//
// Files larger than 1 GB continue in OpenDML "AVIX" parts with their own indexes,
// so they stay readable. When a write fails (full disk, the disk gone) every
// further write is refused, and Close cuts the file after its last whole frame and
// fixes its headers, so what was written stays playable.
//
// Not thread-safe: one thread writes at a time.
#include "platform/media/AviCompressors.h"

#include <cstddef>
#include <cstdint>
#include <memory>

// Error codes of the platform's AVI services.
enum AviErrorCode : std::uint32_t {
    AVIERR_OK = 0,
    AVIERR_UNSUPPORTED = 0x80044065,
    AVIERR_BADFORMAT = 0x80044066,
    AVIERR_MEMORY = 0x80044067,
    AVIERR_INTERNAL = 0x80044068,
    AVIERR_BADPARAM = 0x8004406A,
    AVIERR_FILEWRITE = 0x8004406E,
    AVIERR_FILEOPEN = 0x8004406F,
    AVIERR_COMPRESSOR = 0x80044070,
    AVIERR_NOCOMPRESSOR = 0x80044071,
};

inline constexpr std::uint32_t kStreamTypeVids = MakeFourCC('v', 'i', 'd', 's');

// The stream header of a recording.
struct AviStreamHeader {
    std::uint32_t fccType = kStreamTypeVids;
    std::uint32_t fccHandler = 0;
    std::uint32_t scale = 1;
    std::uint32_t rate = 0; // frames per second = rate / scale
    std::uint32_t suggestedBufferSize = 0;
    int width = 0; // frame rectangle (0, 0, width, height)
    int height = 0;
};

class AviWriter {
public:
    AviWriter();
    ~AviWriter(); // closes
    AviWriter(const AviWriter&) = delete;
    AviWriter& operator=(const AviWriter&) = delete;

    // Takes `fd` (open for writing, seekable; closed by the writer in every case).
    std::uint32_t CreateFile(int fd);
    std::uint32_t CreateStream(const AviStreamHeader& header);
    // The compressor of `options`; AVIERR_NOCOMPRESSOR when it is not installed.
    std::uint32_t MakeCompressedStream(const AviCompressOptions& options);
    // The input frames: `width` x `height`, `bitCount` bits (only 24 is taken),
    // bottom-up rows. Opens the compressor and writes the file's headers.
    std::uint32_t SetFormat(int width, int height, int bitCount);
    // Compresses the frame and writes it as frame `index` of the stream (0, 1, ...;
    // an index skipped is written as an empty frame: players show the one before).
    std::uint32_t WriteFrame(const std::uint8_t* pixels, std::size_t length, std::int64_t index);
    // Makes the stream `frames` long with empty frames after the last one written.
    std::uint32_t ExtendTo(std::int64_t frames);
    // Finishes and closes the file: 0 when it is complete, else the code of the
    // write that failed (the file then holds every frame written before it).
    std::uint32_t Close();

    bool IsOpen() const;
    // errno of the write that failed; 0 while writing works.
    int ioError() const;
    // Frames (with empty ones) in the file so far.
    std::int64_t framesWritten() const;

private:
    std::uint32_t SetJpegFormat(int width, int height);
    std::uint32_t WriteHeader();

    struct Impl;
    std::unique_ptr<Impl> m;
};
