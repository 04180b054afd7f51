#include "liveview/EffectKernelsAvx512.h"

#include "liveview/EffectKernels.h"

#if defined(__x86_64__)
#include <array>
// GCC 12's own 512-bit intrinsics start from an "undefined" register its
// uninitialised-use check then reports; nothing of ours is concerned.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif
#include <immintrin.h>

#define PELORA_AVX512 __attribute__((target("avx512f,avx512bw,avx512vbmi,avx512vnni,popcnt")))

namespace {

constexpr int kQuarterPixels = 16; // pixels per 512-bit register of 32-bit sums
constexpr int kQuarterBytes = 3 * kQuarterPixels;
constexpr int kStepPixels = 4 * kQuarterPixels;
constexpr int kStepBytes = 3 * kStepPixels;
constexpr int kLanes = 64;
constexpr __mmask64 kQuarterLoad = (__mmask64{1} << kQuarterBytes) - 1;

using ByteIndex = std::array<std::uint8_t, kLanes>;

template <typename Source> constexpr ByteIndex MakeIndex(Source source)
{
    ByteIndex index{};
    for (int b = 0; b < kLanes; ++b) {
        index[b] = static_cast<std::uint8_t>(source(b));
    }
    return index;
}

// Sixteen pixels of three bytes as four bytes each (the fourth, weighted 0, repeats red).
constexpr ByteIndex kQuads = MakeIndex([](int b) { return 3 * (b / 4) + (b % 4 == 3 ? 2 : b % 4); });
// The 64 bytes of one register spread over three: output register k, byte b takes
// byte (64 k + b) / 3.
constexpr ByteIndex kSpread[3] = {MakeIndex([](int b) { return b / 3; }),
                                  MakeIndex([](int b) { return (kLanes + b) / 3; }),
                                  MakeIndex([](int b) { return (2 * kLanes + b) / 3; })};

PELORA_AVX512 inline __m512i Index(const ByteIndex& index)
{
    return _mm512_loadu_si512(index.data());
}

// 11 B + 59 G + 30 R of sixteen pixels as 32-bit sums. A full 64-byte load reads
// 16 bytes past the pixels; `last` loads only the pixels' 48 (slower: masked loads
// that cross a cache line are).
template <bool Last> PELORA_AVX512 inline __m512i WeightedSums(const std::uint8_t* p)
{
    const __m512i weights = _mm512_set1_epi32(kGreyWeights);
    const __m512i bytes = Last ? _mm512_maskz_loadu_epi8(kQuarterLoad, p) : _mm512_loadu_si512(p);
    const __m512i quads = _mm512_permutexvar_epi8(Index(kQuads), bytes);
    return _mm512_dpbusd_epi32(_mm512_setzero_si512(), quads, weights);
}

PELORA_AVX512 inline __m512i Hundredths(__m512i sums)
{
    const __m512i rounded = _mm512_add_epi16(sums, _mm512_set1_epi16(kGreyHalf));
    return _mm512_srli_epi16(_mm512_mulhi_epu16(rounded, _mm512_set1_epi16(kGreyHundredthMultiplier)),
                             kGreyHundredthShift);
}

} // namespace

bool Avx512Available()
{
    return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
           __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vnni");
}

// The grey values of one step of 64 pixels.
template <bool Last> PELORA_AVX512 inline void GreyStep(const std::uint8_t* pixels, std::uint8_t* grey)
{
    // Packing works within 128-bit lanes: dword j of the packed bytes holds pixels
    // 4 (4 (j % 4) + j / 4) on, so it is taken from there.
    const __m512i order = _mm512_setr_epi32(0, 4, 8, 12, 1, 5, 9, 13, 2, 6, 10, 14, 3, 7, 11, 15);
    const __m512i first =
        _mm512_packus_epi32(WeightedSums<false>(pixels), WeightedSums<false>(pixels + kQuarterBytes));
    const __m512i second = _mm512_packus_epi32(WeightedSums<false>(pixels + 2 * kQuarterBytes),
                                               WeightedSums<Last>(pixels + 3 * kQuarterBytes));
    const __m512i packed = _mm512_packus_epi16(Hundredths(first), Hundredths(second));
    _mm512_storeu_si512(grey, _mm512_permutexvar_epi32(order, packed));
}

PELORA_AVX512 std::size_t GreyStepsAvx512(const std::uint8_t* pixels, std::size_t count, std::uint8_t* grey)
{
    const std::size_t steps = count / kStepPixels;
    if (steps == 0) {
        return 0;
    }
    for (std::size_t i = 0; i + 1 < steps; ++i, pixels += kStepBytes, grey += kStepPixels) {
        GreyStep<false>(pixels, grey);
    }
    GreyStep<true>(pixels, grey);
    return steps * kStepPixels;
}

// As CountGreysAvx2, with blocks of 64 values.
PELORA_AVX512 void CountGreysAvx512(const std::uint8_t* grey, std::size_t count, GreyTables& tables)
{
    constexpr int kWindow = 8;
    const __m512i outside = _mm512_set1_epi8(static_cast<char>(~(kWindow - 1)));
    std::size_t i = 0;
    int table = 0;
    for (; i + kStepPixels <= count; i += kStepPixels) {
        const int lowest = WindowStart(grey[i], kWindow);
        const __m512i offsets =
            _mm512_sub_epi8(_mm512_loadu_si512(grey + i), _mm512_set1_epi8(static_cast<char>(lowest)));
        if (_mm512_test_epi8_mask(offsets, outside) != 0) {
            tables.Count(grey + i, kStepPixels);
            continue;
        }
        std::uint32_t* bins = tables.Bin(table, lowest);
        table = (table + 1) % GreyTables::kTables;
        for (int level = 0; level < kWindow; ++level) {
            bins[level] += static_cast<std::uint32_t>(
                _mm_popcnt_u64(_mm512_cmpeq_epi8_mask(offsets, _mm512_set1_epi8(static_cast<char>(level)))));
        }
    }
    tables.Count(grey + i, count - i);
}

PELORA_AVX512 std::size_t ThresholdStepsAvx512(std::uint8_t* pixels, const std::uint8_t* grey,
                                               std::size_t count, int threshold)
{
    const std::size_t steps = count / kStepPixels;
    const __m512i level = _mm512_set1_epi8(static_cast<char>(threshold));
    for (std::size_t i = 0; i < steps; ++i, pixels += kStepBytes, grey += kStepPixels) {
        const __m512i white = _mm512_movm_epi8(_mm512_cmpge_epu8_mask(_mm512_loadu_si512(grey), level));
        for (int k = 0; k < 3; ++k) {
            _mm512_storeu_si512(pixels + k * kLanes, _mm512_permutexvar_epi8(Index(kSpread[k]), white));
        }
    }
    return steps * kStepPixels;
}

#else

bool Avx512Available()
{
    return false;
}
std::size_t GreyStepsAvx512(const std::uint8_t*, std::size_t, std::uint8_t*)
{
    return 0;
}
std::size_t ThresholdStepsAvx512(std::uint8_t*, const std::uint8_t*, std::size_t, int)
{
    return 0;
}
void CountGreysAvx512(const std::uint8_t* grey, std::size_t count, GreyTables& tables)
{
    tables.Count(grey, count);
}

#endif
