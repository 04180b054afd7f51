#include "image/JpegCodec.h"

#include "platform/files/RegularFile.h"

#include <memory>
#include <turbojpeg.h>

namespace {

// Decoded pictures above this many pixels are refused (1 GiB of RGB32).
constexpr qint64 kMaxPixels = qint64(1) << 28;

struct TjDeleter {
    void operator()(void* handle) const { tjDestroy(handle); }
};
using TjHandle = std::unique_ptr<void, TjDeleter>;

// One handle of each kind per thread: creating them costs more than a small decode.
tjhandle Decompressor()
{
    thread_local TjHandle handle(tjInitDecompress());
    return handle.get();
}

tjhandle Compressor()
{
    thread_local TjHandle handle(tjInitCompress());
    return handle.get();
}

// The smallest scaled size that still covers `atLeast` (full size without one).
QSize ScaledSize(int width, int height, QSize atLeast)
{
    int count = 0;
    const tjscalingfactor* factors = tjGetScalingFactors(&count);
    QSize best(width, height);
    if (!atLeast.isValid() || !factors) {
        return best;
    }
    for (int i = 0; i < count; ++i) {
        const int w = TJSCALED(width, factors[i]);
        const int h = TJSCALED(height, factors[i]);
        if (factors[i].num > factors[i].denom || w < atLeast.width() || h < atLeast.height()) {
            continue;
        }
        if (qint64(w) * h < qint64(best.width()) * best.height()) {
            best = QSize(w, h);
        }
    }
    return best;
}

bool Compress(const unsigned char* pixels, int width, int height, int stride, int pixelFormat, int flags,
              int quality, QByteArray* out)
{
    tjhandle tj = Compressor();
    if (!tj || !pixels || width <= 0 || height <= 0 || !out) {
        return false;
    }
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    const int rc =
        tjCompress2(tj, pixels, width, stride, height, pixelFormat, &jpeg, &size, TJSAMP_420, quality, flags);
    if (rc == 0) {
        *out = QByteArray(reinterpret_cast<const char*>(jpeg), qsizetype(size));
    }
    tjFree(jpeg);
    return rc == 0;
}

} // namespace

QImage DecodeJpeg(const QByteArray& data, QSize atLeast)
{
    tjhandle tj = Decompressor();
    if (!tj || data.isEmpty()) {
        return {};
    }
    auto* bytes = reinterpret_cast<const unsigned char*>(data.constData());
    int width = 0, height = 0, subsamp = 0, colorspace = 0;
    if (tjDecompressHeader3(tj, bytes, static_cast<unsigned long>(data.size()), &width, &height, &subsamp,
                            &colorspace) != 0 ||
        width <= 0 || height <= 0 || qint64(width) * height > kMaxPixels) {
        return {};
    }
    const QSize size = ScaledSize(width, height, atLeast);
    QImage image(size, QImage::Format_RGB32);
    if (image.isNull()) {
        return {};
    }
    // Small pictures are for thumbnails, where speed beats the last bit of accuracy.
    const int flags = atLeast.isValid() ? TJFLAG_FASTDCT | TJFLAG_FASTUPSAMPLE : 0;
    // Little-endian RGB32 is B, G, R, X in memory.
    if (tjDecompress2(tj, bytes, static_cast<unsigned long>(data.size()), image.bits(), size.width(),
                      int(image.bytesPerLine()), size.height(), TJPF_BGRX, flags) != 0) {
        // Warnings (such as a few missing bytes at the end) still leave a picture.
        if (tjGetErrorCode(tj) != TJERR_WARNING) {
            return {};
        }
    }
    return image;
}

QImage DecodeJpegFile(const QString& path, QSize atLeast)
{
    QByteArray bytes;
    if (!ReadRegularFile(path, &bytes)) {
        return {};
    }
    return DecodeJpeg(bytes, atLeast);
}

bool EncodeJpeg(const QImage& image, int quality, QByteArray* out)
{
    if (image.isNull()) {
        return false;
    }
    switch (image.format()) {
    case QImage::Format_BGR888:
        return Compress(image.constBits(), image.width(), image.height(), int(image.bytesPerLine()), TJPF_BGR,
                        0, quality, out);
    case QImage::Format_RGB888:
        return Compress(image.constBits(), image.width(), image.height(), int(image.bytesPerLine()), TJPF_RGB,
                        0, quality, out);
    case QImage::Format_RGB32:
        return Compress(image.constBits(), image.width(), image.height(), int(image.bytesPerLine()),
                        TJPF_BGRX, 0, quality, out);
    default:
        return EncodeJpeg(image.convertToFormat(QImage::Format_RGB32), quality, out);
    }
}

bool EncodeJpegBgr(const unsigned char* pixels, int width, int height, int stride, bool bottomUp, int quality,
                   QByteArray* out)
{
    return Compress(pixels, width, height, stride, TJPF_BGR, bottomUp ? TJFLAG_BOTTOMUP : 0, quality, out);
}
