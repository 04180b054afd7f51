#include "capture/CapturePreviewRows.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
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
// Eight pixels a step: the low half of the register holds pixels 0-3 (bytes 0-11
// of a load at the step's start), the high half pixels 4-7 (bytes 4-15 of a load
// 8 bytes further on), so no load reaches past the step's 24 bytes.
constexpr int kStepPixels = 8;
constexpr int kStepBytes = kStepPixels * kBytesPerPixel;
constexpr int kHighLoadOffset = 8;

__attribute__((target("avx2"))) int ConvertStepsAvx2(const std::uint8_t* source, std::uint32_t* target,
                                                     int width)
{
    constexpr char z = static_cast<char>(0x80); // a zero byte, made opaque below
    const __m256i spread = _mm256_setr_epi8(0, 1, 2, z, 3, 4, 5, z, 6, 7, 8, z, 9, 10, 11, z, //
                                            4, 5, 6, z, 7, 8, 9, z, 10, 11, 12, z, 13, 14, 15, z);
    const __m256i opaque = _mm256_set1_epi32(static_cast<int>(kOpaque));
    int x = 0;
    for (; x + kStepPixels <= width; x += kStepPixels, source += kStepBytes) {
        const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source));
        const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + kHighLoadOffset));
        const __m256i bytes = _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
        const __m256i pixels = _mm256_or_si256(_mm256_shuffle_epi8(bytes, spread), opaque);
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
