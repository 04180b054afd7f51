#pragma once
// The video compressors a recording can use: the AVI-capable encoders of the
// installed codec library, and the options record that says which one a
// recording uses and how.
#include <QString>
#include <cstdint>
#include <vector>

constexpr std::uint32_t MakeFourCC(char a, char b, char c, char d)
{
    return std::uint32_t(std::uint8_t(a)) | std::uint32_t(std::uint8_t(b)) << 8 |
           std::uint32_t(std::uint8_t(c)) << 16 | std::uint32_t(std::uint8_t(d)) << 24;
}

inline constexpr std::uint32_t kStreamTypeVideo = MakeFourCC('v', 'i', 'd', 'c');
inline constexpr std::uint32_t kHandlerMsVideo1 = MakeFourCC('M', 'S', 'V', 'C');
inline constexpr std::uint32_t kOptionsValid = 8; // flags: the record holds a prepared compressor
inline constexpr int kQualityBest = 10000;

// The compression options of a recording, in the roles of the platform's 44-byte
// record: stream type, compressor code, key frame interval (0: the compressor's
// own), quality (0 ... 10000), bytes per second, flags, format, the compressor's
// parameters and the interleave interval.
struct AviCompressOptions {
    std::uint32_t fccType = 0;
    std::uint32_t fccHandler = 0;
    std::uint32_t keyFrameEvery = 0;
    std::uint32_t quality = 0;
    std::uint32_t bytesPerSecond = 0;
    std::uint32_t flags = 0;
    std::vector<std::uint8_t> format;
    std::vector<std::uint8_t> parameters; // the chosen compressor's state
    std::uint32_t interleaveEvery = 0;

    bool IsPrepared() const { return (flags & kOptionsValid) != 0 && fccType == kStreamTypeVideo; }
    bool operator==(const AviCompressOptions&) const = default;
};

// One compressor the recorder offers.
struct AviCompressor {
    QString name;          // shown in the choice
    const char* encoder;   // the codec library's encoder
    std::uint32_t handler; // compressor code in the stream header (0: uncompressed)
    int defaultQuality;    // what the compressor answers when asked for its default
    bool takesQuality;     // false: the quality setting changes nothing
};

// The compressors whose encoders are installed, the default (MS Video 1) first
// when present.
std::vector<AviCompressor> InstalledCompressors();
// The compressor of an options record (its handler, and its encoder name kept in
// the parameters); nullptr when it is not installed.
const AviCompressor* CompressorOf(const AviCompressOptions& options);
// Options for a compressor at a quality: type "vidc", key frame interval 0,
// flags valid, the encoder's name as the parameters.
AviCompressOptions OptionsFor(const AviCompressor& compressor, int quality);
// The default compressor's options (MS Video 1 at its default quality); false
// when it is not installed.
bool DefaultCompressorOptions(AviCompressOptions* options);
