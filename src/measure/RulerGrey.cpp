#include "measure/RulerGrey.h"

#include "platform/threads/ParallelRows.h"

#include <cstdint>

namespace ruler {
namespace {

// The luminance weights of the sRGB primaries in 256ths (the green-heavy ones of
// colour-managed grey), applied to the encoded values.
constexpr unsigned kRed = 57, kGreen = 184, kBlue = 15;
constexpr unsigned kRound = 128;
constexpr int kShift = 8;

// Byte offsets of red, green and blue within a pixel of `Size` bytes.
template <int Size, int Red, int Green, int Blue>
[[gnu::always_inline]] inline void LumaRow(const std::uint8_t* __restrict in, std::uint8_t* __restrict out,
                                           int width)
{
    // Indexed from the row's start, which the compiler turns into vector code.
    for (int x = 0; x < width; ++x) {
        const std::uint8_t* px = in + Size * x;
        out[x] = static_cast<std::uint8_t>(
            (kRed * px[Red] + kGreen * px[Green] + kBlue * px[Blue] + kRound) >> kShift);
    }
}

// Three-byte pixels need byte shuffles to run as vector code, which the basic x86-64
// set lacks: an AVX2 copy of each row function is picked when the program loads,
// where the processor has it.
[[gnu::target_clones("avx2", "default")]] void RgbRow(const std::uint8_t* in, std::uint8_t* out, int width)
{
    LumaRow<3, 0, 1, 2>(in, out, width);
}
[[gnu::target_clones("avx2", "default")]] void BgrRow(const std::uint8_t* in, std::uint8_t* out, int width)
{
    LumaRow<3, 2, 1, 0>(in, out, width);
}
// 0xAARRGGBB in a little-endian word: blue comes first.
[[gnu::target_clones("avx2", "default")]] void XrgbRow(const std::uint8_t* in, std::uint8_t* out, int width)
{
    LumaRow<4, 2, 1, 0>(in, out, width);
}

using RowFunction = void (*)(const std::uint8_t*, std::uint8_t*, int);

RowFunction RowFor(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB888:
        return RgbRow;
    case QImage::Format_BGR888:
        return BgrRow;
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
        return XrgbRow;
    default:
        return nullptr;
    }
}

} // namespace

QImage GreyPicture(const QImage& picture)
{
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the 32-bit pixels are read as bytes");
    if (picture.format() == QImage::Format_Grayscale8) {
        return picture;
    }
    const RowFunction row = RowFor(picture.format());
    if (row == nullptr) {
        return picture.convertToFormat(QImage::Format_Grayscale8);
    }
    QImage grey(picture.size(), QImage::Format_Grayscale8);
    // The bands write through one pointer taken here (scanLine() on the image
    // itself is not safe from several threads).
    std::uint8_t* const bits = grey.bits();
    const qsizetype stride = grey.bytesPerLine();
    ParallelRows(picture.height(), [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            row(picture.constScanLine(y), bits + y * stride, picture.width());
        }
    });
    return grey;
}

} // namespace ruler
