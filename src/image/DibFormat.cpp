#include "image/DibFormat.h"

#include "platform/files/RegularFile.h"

#include <QFile>
#include <QImageReader>
#include <algorithm>
#include <cstring>

namespace {

// Wider or taller than this is not a picture anyone took; it also keeps every
// size product below 2^63.
constexpr int64_t kMaxDimension = 1 << 16;

uint32_t ReadU32(const unsigned char* p)
{
    return p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24);
}
uint16_t ReadU16(const unsigned char* p)
{
    return uint16_t(p[0] | (p[1] << 8));
}

void PutU32(unsigned char* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i) {
        p[i] = uint8_t(v >> (8 * i));
    }
}
void PutU16(unsigned char* p, uint16_t v)
{
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}

// Copies BGR(X) rows of a DIB into an RGB32 image; rows or parts of rows past
// `available` bytes stay as they are.
void CopyDibRows(const unsigned char* pixels, int64_t available, int64_t stride, int bytesPerPixel,
                 bool bottomUp, QImage* image)
{
    const int width = image->width();
    const int height = image->height();
    for (int row = 0; row < height; ++row) {
        const int64_t offset = int64_t(row) * stride;
        if (offset >= available) {
            break;
        }
        const int64_t rowBytes = std::min<int64_t>(int64_t(width) * bytesPerPixel, available - offset);
        const int pixelsInRow = int(rowBytes / bytesPerPixel);
        const unsigned char* src = pixels + offset;
        auto* dst = reinterpret_cast<QRgb*>(image->scanLine(bottomUp ? height - 1 - row : row));
        for (int x = 0; x < pixelsInRow; ++x, src += bytesPerPixel) {
            dst[x] = qRgb(src[2], src[1], src[0]);
        }
    }
}

} // namespace

DibHeader MakeDibHeader24(int width, int height)
{
    DibHeader h;
    h.width = width;
    h.height = height;
    // Only 32 bits are stored; unsigned arithmetic wraps where an absurd size would overflow.
    h.sizeImage = uint32_t(uint64_t(int64_t(width) * height) * 3u);
    return h;
}

bool ParseDibHeader(const unsigned char* bytes, size_t length, DibHeader* out)
{
    if (!bytes || length < size_t(kDibHeaderSize)) {
        return false;
    }
    out->size = ReadU32(bytes);
    out->width = int32_t(ReadU32(bytes + 4));
    out->height = int32_t(ReadU32(bytes + 8));
    out->planes = ReadU16(bytes + 12);
    out->bitCount = ReadU16(bytes + 14);
    out->compression = ReadU32(bytes + 16);
    out->sizeImage = ReadU32(bytes + 20);
    out->xPelsPerMeter = int32_t(ReadU32(bytes + 24));
    out->yPelsPerMeter = int32_t(ReadU32(bytes + 28));
    out->clrUsed = ReadU32(bytes + 32);
    out->clrImportant = ReadU32(bytes + 36);
    return true;
}

void StoreDibHeader(const DibHeader& h, unsigned char* out)
{
    PutU32(out, h.size);
    PutU32(out + 4, uint32_t(h.width));
    PutU32(out + 8, uint32_t(h.height));
    PutU16(out + 12, h.planes);
    PutU16(out + 14, h.bitCount);
    PutU32(out + 16, h.compression);
    PutU32(out + 20, h.sizeImage);
    PutU32(out + 24, uint32_t(h.xPelsPerMeter));
    PutU32(out + 28, uint32_t(h.yPelsPerMeter));
    PutU32(out + 32, h.clrUsed);
    PutU32(out + 36, h.clrImportant);
}

int64_t DibStride(int64_t width, int bitCount)
{
    return ((width * bitCount + 31) / 32) * 4;
}

QByteArray PackedDibFromImage(const QImage& source)
{
    if (source.isNull()) {
        return {};
    }
    const QImage image =
        source.format() == QImage::Format_BGR888 ? source : source.convertToFormat(QImage::Format_BGR888);
    const int width = image.width();
    const int height = image.height();
    const int64_t stride = DibStride(width, 24);
    QByteArray dib(qsizetype(kDibHeaderSize + stride * height), '\0');
    auto* out = reinterpret_cast<unsigned char*>(dib.data());
    DibHeader header = MakeDibHeader24(width, height);
    header.sizeImage = uint32_t(stride * height);
    StoreDibHeader(header, out);
    for (int row = 0; row < height; ++row) {
        std::memcpy(out + kDibHeaderSize + int64_t(height - 1 - row) * stride, image.constScanLine(row),
                    size_t(width) * 3);
    }
    return dib;
}

QByteArray BmpFileFromImage(const QImage& image)
{
    const QByteArray dib = PackedDibFromImage(image);
    if (dib.isEmpty()) {
        return {};
    }
    QByteArray file(kBmpFileHeaderSize, '\0');
    auto* h = reinterpret_cast<unsigned char*>(file.data());
    h[0] = 'B';
    h[1] = 'M';
    PutU32(h + 2, uint32_t(kBmpFileHeaderSize + dib.size()));
    PutU32(h + 10, uint32_t(kBmpFileHeaderSize + kDibHeaderSize));
    return file + dib;
}

QImage ImageFromPackedDib(const unsigned char* dib, size_t length, size_t capacity)
{
    DibHeader h;
    if (!ParseDibHeader(dib, length, &h)) {
        return {};
    }
    if (h.compression != kBiRgb || (h.bitCount != 24 && h.bitCount != 32)) {
        return {};
    }
    const int64_t width = h.width;
    const int64_t height = h.height < 0 ? -int64_t(h.height) : int64_t(h.height);
    if (width <= 0 || height <= 0 || width > kMaxDimension || height > kMaxDimension) {
        return {};
    }
    const int64_t stride = DibStride(width, h.bitCount);
    if (stride * height > int64_t(capacity)) {
        return {};
    }
    QImage image(int(width), int(height), QImage::Format_RGB32);
    if (image.isNull()) {
        return {};
    }
    image.fill(Qt::black);
    const int64_t available = int64_t(length) - kDibHeaderSize;
    CopyDibRows(dib + kDibHeaderSize, available, stride, h.bitCount / 8, h.height > 0, &image);
    return image;
}

QImage ReadRawBmp(const QString& path, size_t capacity)
{
    QByteArray bytes;
    if (!ReadRegularFile(path, &bytes, kBmpFileHeaderSize, int64_t(capacity) + kDibHeaderSize) ||
        bytes.size() + kBmpFileHeaderSize <= kDibHeaderSize) {
        return {};
    }
    return ImageFromPackedDib(reinterpret_cast<const unsigned char*>(bytes.constData()), size_t(bytes.size()),
                              capacity);
}

QImage DecodeBmpFile(const QString& path)
{
    QFile file;
    if (!OpenRegularFile(path, &file)) {
        return {};
    }
    QImageReader reader(&file, "bmp");
    reader.setDecideFormatFromContent(false);
    return reader.read();
}
