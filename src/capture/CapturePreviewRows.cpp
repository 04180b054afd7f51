#include "capture/CapturePreviewRows.h"

#if defined(__x86_64__) || defined(__i386__)
#include "image/Bgr24Quads.h"
#define PELORA_PREVIEW_WIDE 1
#endif

namespace {

constexpr std::uint32_t kOpaque = 0xff000000u;
constexpr int kBytesPerPixel = 3;

inline std::uint32_t Pixel(const std::uint8_t* p)
{
    return kOpaque | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

#ifdef PELORA_PREVIEW_WIDE
__attribute__((target("avx2"))) int ConvertStepsAvx2(const std::uint8_t* source, std::uint32_t* target,
                                                     int width)
{
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(kOpaque));
    int x = 0;
    for (; x + kBgr24QuadPixels <= width; x += kBgr24QuadPixels, source += kBgr24QuadBytes) {
        const __m256i pixels = _mm256_or_si256(LoadBgr24Quads(source), opaque);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(target + x), pixels);
    }
    return x;
}

const bool kWide = __builtin_cpu_supports("avx2");
#endif

} // namespace

void StretchRow(const std::uint8_t* source, const int* columns, std::uint32_t* target, int targetWidth)
{
    for (int x = 0; x < targetWidth; ++x) {
        target[x] = Pixel(source + columns[x]);
    }
}

void ConvertRow(const std::uint8_t* source, std::uint32_t* target, int width)
{
    int x = 0;
#ifdef PELORA_PREVIEW_WIDE
    if (kWide) {
        x = ConvertStepsAvx2(source, target, width);
    }
#endif
    for (; x < width; ++x) {
        target[x] = Pixel(source + x * kBytesPerPixel);
    }
}
