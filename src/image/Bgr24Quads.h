#pragma once
// Eight 24-bit pixels (blue, green, red) widened to four bytes each in one AVX2
// register: blue, green, red and a zero. The low half comes from a load at the
// pixels' start (pixels 0-3, bytes 0-11), the high half from a load 8 bytes on
// (pixels 4-7, bytes 4-15 of it), so nothing past the pixels' 24 bytes is read.
// For code compiled for AVX2 only; callers check the processor first.
#if defined(__x86_64__) || defined(__i386__)
#include <cstdint>
#include <immintrin.h>

inline constexpr int kBgr24QuadPixels = 8;
inline constexpr int kBgr24QuadBytes = 3 * kBgr24QuadPixels;

__attribute__((target("avx2"))) inline __m256i LoadBgr24Quads(const std::uint8_t* pixels)
{
    constexpr int kHighLoad = 8;
    constexpr char z = static_cast<char>(0x80); // a lane the shuffle clears
    const __m256i spread = _mm256_setr_epi8(0, 1, 2, z, 3, 4, 5, z, 6, 7, 8, z, 9, 10, 11, z, //
                                            4, 5, 6, z, 7, 8, 9, z, 10, 11, 12, z, 13, 14, 15, z);
    const __m128i low = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels));
    const __m128i high = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + kHighLoad));
    return _mm256_shuffle_epi8(_mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1), spread);
}
#endif
