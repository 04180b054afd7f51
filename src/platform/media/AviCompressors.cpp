#include "platform/media/AviCompressors.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

#include <cstring>

namespace {

// Every encoder the recorder knows, in the order the choice lists them.
const std::vector<AviCompressor>& KnownCompressors()
{
    static const std::vector<AviCompressor> known = {
        {QStringLiteral("Microsoft Video 1"), "msvideo1", kHandlerMsVideo1, 7500, false},
        {QStringLiteral("Motion JPEG"), "mjpeg", MakeFourCC('M', 'J', 'P', 'G'), 7500, true},
        {QStringLiteral("FFV1 (lossless)"), "ffv1", MakeFourCC('F', 'F', 'V', '1'), kQualityBest, false},
        {QStringLiteral("Huffyuv (lossless)"), "huffyuv", MakeFourCC('H', 'F', 'Y', 'U'), kQualityBest,
         false},
        {QStringLiteral("MPEG-4 Part 2"), "mpeg4", MakeFourCC('F', 'M', 'P', '4'), 7500, true},
        {QStringLiteral("H.264"), "libx264", MakeFourCC('H', '2', '6', '4'), 7500, true},
        {QStringLiteral("Full Frames (Uncompressed)"), "rawvideo", 0, kQualityBest, false},
    };
    return known;
}

QByteArray EncoderNameOf(const AviCompressOptions& options)
{
    if (options.parameters.empty()) {
        return QByteArray(); // no parameters, no name (and no pointer to scan)
    }
    const auto* bytes = reinterpret_cast<const char*>(options.parameters.data());
    return QByteArray(bytes, qsizetype(strnlen(bytes, options.parameters.size())));
}

} // namespace

std::vector<AviCompressor> InstalledCompressors()
{
    std::vector<AviCompressor> installed;
    for (const AviCompressor& compressor : KnownCompressors()) {
        if (avcodec_find_encoder_by_name(compressor.encoder) != nullptr) {
            installed.push_back(compressor);
        }
    }
    return installed;
}

const AviCompressor* CompressorOf(const AviCompressOptions& options)
{
    const QByteArray encoder = EncoderNameOf(options);
    for (const AviCompressor& compressor : KnownCompressors()) {
        const bool named = encoder.isEmpty() || encoder == compressor.encoder;
        if (compressor.handler == options.fccHandler && named) {
            return avcodec_find_encoder_by_name(compressor.encoder) != nullptr ? &compressor : nullptr;
        }
    }
    return nullptr;
}

AviCompressOptions OptionsFor(const AviCompressor& compressor, int quality)
{
    AviCompressOptions options;
    options.fccType = kStreamTypeVideo;
    options.fccHandler = compressor.handler;
    options.quality = std::uint32_t(quality < 0 ? 0 : quality > kQualityBest ? kQualityBest : quality);
    options.flags = kOptionsValid;
    const std::size_t length = std::strlen(compressor.encoder);
    options.parameters.assign(compressor.encoder, compressor.encoder + length);
    options.parameters.push_back(0);
    return options;
}

bool DefaultCompressorOptions(AviCompressOptions* options)
{
    for (const AviCompressor& compressor : InstalledCompressors()) {
        if (compressor.handler == kHandlerMsVideo1) {
            *options = OptionsFor(compressor, compressor.defaultQuality);
            // The default way carries no parameters.
            options->parameters.clear();
            return true;
        }
    }
    return false;
}
