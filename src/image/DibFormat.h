#pragma once
// Device-independent bitmaps: the 40-byte info header, packed DIBs (header then
// pixels) and BMP files. Everything that reads a header from a file checks it
// against the bytes really present.
#include <QByteArray>
#include <QImage>
#include <QString>
#include <cstddef>
#include <cstdint>

inline constexpr int kBmpFileHeaderSize = 14;
inline constexpr int kDibHeaderSize = 40;
inline constexpr uint32_t kBiRgb = 0; // uncompressed

struct DibHeader {
    uint32_t size = kDibHeaderSize;
    int32_t width = 0;
    int32_t height = 0; // positive: bottom-up rows
    uint16_t planes = 1;
    uint16_t bitCount = 24;
    uint32_t compression = kBiRgb;
    uint32_t sizeImage = 0;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t clrUsed = 0;
    uint32_t clrImportant = 0;
};

// The header of a 24-bit bottom-up frame of width x height.
DibHeader MakeDibHeader24(int width, int height);

// Reads / writes the 40 little-endian bytes of a header.
bool ParseDibHeader(const unsigned char* bytes, size_t length, DibHeader* out);
void StoreDibHeader(const DibHeader& header, unsigned char* out);

// Bytes per row of a DIB (rows are padded to 4 bytes).
int64_t DibStride(int64_t width, int bitCount);

// A 24-bit bottom-up packed DIB of the image.
QByteArray PackedDibFromImage(const QImage& image);

// A complete BMP file (file header, info header, 24-bit pixels) of the image.
QByteArray BmpFileFromImage(const QImage& image);

// Decodes an uncompressed 24- or 32-bit packed DIB whose pixels follow the
// 40-byte header. A header claiming more pixel bytes than `capacity` gives a null
// image; rows missing from a short buffer stay black, so a truncated file shows
// what it holds. Other bit depths and compressions give a null image.
QImage ImageFromPackedDib(const unsigned char* dib, size_t length, size_t capacity);

// Reads a BMP file raw, as the strip does for thumbnails: everything after the
// 14-byte file header, at most `capacity` bytes, decoded as a packed DIB. Files
// of 40 bytes or less give a null image.
QImage ReadRawBmp(const QString& path, size_t capacity);

// Decodes a BMP file of any layout the image reader knows (palettes, compression).
// Only a regular file is read, like every picture file.
QImage DecodeBmpFile(const QString& path);
