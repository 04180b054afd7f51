#pragma once
// The platform's 88-byte video format record and "CapConfig.dat", the file beside
// the program that keeps the chosen capture size between runs.
#include "capture/CaptureState.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

struct VideoInfoHeader {
    std::int32_t rcSource[4] = {0, 0, 0, 0}; // left, top, right, bottom
    std::int32_t rcTarget[4] = {0, 0, 0, 0};
    std::uint32_t dwBitRate = 0;
    std::uint32_t dwBitErrorRate = 0;
    std::int64_t AvgTimePerFrame = 0; // 100-ns units
    BitmapInfoHeader bmiHeader;
};
static_assert(sizeof(VideoInfoHeader) == 88);

inline constexpr int kVideoInfoHeaderBytes = 88;

// Little-endian bytes of the record, exactly 88.
QByteArray SerializeVideoInfoHeader(const VideoInfoHeader& format);
// False unless `bytes` is exactly 88 bytes describing a usable size: width and height
// 1..16384, header size 40, no negative frame time or rectangle.
bool ParseVideoInfoHeader(const QByteArray& bytes, VideoInfoHeader& format);

QString CapConfigPath(); // "CapConfig.dat" in WritableProgramFolder()
// False when the file is missing, cannot be read in full or holds an absurd record.
bool ReadCapConfig(VideoInfoHeader& format);
// Creates or replaces the file atomically; false on failure.
bool WriteCapConfig(const VideoInfoHeader& format);

// Bit rate of a format: trunc(10 000 000 / average time per frame + 0.49999999)
// frames per second times image size times 8; 0 for a zero or negative frame time.
std::uint32_t BitRateOf(std::int64_t averageTimePerFrame, std::uint32_t imageSize);
