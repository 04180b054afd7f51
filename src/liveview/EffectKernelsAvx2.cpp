#include "liveview/EffectKernelsAvx2.h"

#if defined(__x86_64__) || defined(__i386__)
#include "image/Bgr24Quads.h"

#include <array>
#include <immintrin.h>

#define PELORA_AVX2 __attribute__((target("avx2")))

namespace {

// A step is two blocks of 16 pixels (48 bytes); the three registers of a step
// hold the first block in their low halves and the second in their high halves,
// so the same 16-byte shuffles serve both.
constexpr int kBlockPixels = 16;
constexpr int kBlockBytes = 48;
constexpr int kStepPixels = 2 * kBlockPixels;
constexpr int kStepBytes = 2 * kBlockBytes;
constexpr int kLanes = 16;
constexpr std::uint8_t kZeroLane = 0x80;

// A permutation of one block (three 16-byte registers) as nine byte shuffles:
// output register k takes from input register r the lanes masks[k * 3 + r] names.
using BlockShuffle = std::array<std::array<std::uint8_t, kLanes>, 9>;

// `source(b)`: the input byte that output byte b takes, or -1 for zero.
template <typename Source> constexpr BlockShuffle MakeShuffle(Source source)
{
    BlockShuffle masks{};
    for (int b = 0; b < kBlockBytes; ++b) {
        const int s = source(b);
        for (int r = 0; r < 3; ++r) {
            const bool fromR = s >= 0 && s / kLanes == r;
            masks[(b / kLanes) * 3 + r][b % kLanes] = fromR ? std::uint8_t(s % kLanes) : kZeroLane;
        }
    }
    return masks;
}

constexpr BlockShuffle kReverse = MakeShuffle([](int b) { return 45 - 3 * (b / 3) + b % 3; });
template <int Channel>
constexpr BlockShuffle kCopyChannel = MakeShuffle([](int b) { return 3 * (b / 3) + Channel; });
template <int Channel>
constexpr BlockShuffle kClearChannel = MakeShuffle([](int b) { return b % 3 == Channel ? -1 : b; });
// One byte per pixel (register 0) spread over the pixel's three bytes.
constexpr BlockShuffle kSpread = MakeShuffle([](int b) { return b / 3; });

struct Step {
    __m256i r[3];
};

PELORA_AVX2 inline __m128i Load16(const std::uint8_t* p)
{
    return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

PELORA_AVX2 inline __m256i Pair(const std::uint8_t* low, const std::uint8_t* high)
{
    return _mm256_inserti128_si256(_mm256_castsi128_si256(Load16(low)), Load16(high), 1);
}

// `swapped`: the second block goes to the low halves.
PELORA_AVX2 inline Step Load(const std::uint8_t* p, bool swapped = false)
{
    const std::uint8_t* low = swapped ? p + kBlockBytes : p;
    const std::uint8_t* high = swapped ? p : p + kBlockBytes;
    return {{Pair(low, high), Pair(low + kLanes, high + kLanes), Pair(low + 2 * kLanes, high + 2 * kLanes)}};
}

PELORA_AVX2 inline void Store(std::uint8_t* p, const Step& step)
{
    for (int k = 0; k < 3; ++k) {
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + k * kLanes), _mm256_castsi256_si128(step.r[k]));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(p + kBlockBytes + k * kLanes),
                         _mm256_extracti128_si256(step.r[k], 1));
    }
}

PELORA_AVX2 inline __m256i Mask(const BlockShuffle& s, int index)
{
    return _mm256_broadcastsi128_si256(Load16(s[index].data()));
}

PELORA_AVX2 inline Step Permute(const Step& in, const BlockShuffle& s)
{
    Step out;
    for (int k = 0; k < 3; ++k) {
        const __m256i a = _mm256_shuffle_epi8(in.r[0], Mask(s, k * 3));
        const __m256i b = _mm256_shuffle_epi8(in.r[1], Mask(s, k * 3 + 1));
        const __m256i c = _mm256_shuffle_epi8(in.r[2], Mask(s, k * 3 + 2));
        out.r[k] = _mm256_or_si256(_mm256_or_si256(a, b), c);
    }
    return out;
}

PELORA_AVX2 std::size_t PermuteSteps(std::uint8_t* pixels, std::size_t count, const BlockShuffle& s)
{
    const std::size_t steps = count / kStepPixels;
    for (std::size_t i = 0; i < steps; ++i, pixels += kStepBytes) {
        Store(pixels, Permute(Load(pixels), s));
    }
    return steps * kStepPixels;
}

// 11 B + 59 G + 30 R of eight pixels as 32-bit sums (at most 25500).
PELORA_AVX2 inline __m256i WeightedSums(const std::uint8_t* p)
{
    const __m256i weights = _mm256_set1_epi32(kGreyWeights);
    // Byte pairs to words (11 B + 59 G, 30 R + 0), then word pairs to one sum.
    return _mm256_madd_epi16(_mm256_maddubs_epi16(LoadBgr24Quads(p), weights), _mm256_set1_epi16(1));
}

PELORA_AVX2 inline __m256i Hundredths(__m256i sums)
{
    const __m256i rounded = _mm256_add_epi16(sums, _mm256_set1_epi16(kGreyHalf));
    return _mm256_srli_epi16(_mm256_mulhi_epu16(rounded, _mm256_set1_epi16(kGreyHundredthMultiplier)),
                             kGreyHundredthShift);
}

} // namespace

bool Avx2Available()
{
    return __builtin_cpu_supports("avx2");
}

PELORA_AVX2 std::size_t ReverseStepsAvx2(std::uint8_t* first, std::size_t count)
{
    std::uint8_t* end = first + count * 3;
    std::size_t done = 0;
    // A step loaded with its blocks swapped and each block reversed is the step reversed.
    for (; count - 2 * done >= 2 * kStepPixels; done += kStepPixels) {
        const Step front = Load(first, true);
        const Step back = Load(end - kStepBytes, true);
        Store(first, Permute(back, kReverse));
        Store(end - kStepBytes, Permute(front, kReverse));
        first += kStepBytes;
        end -= kStepBytes;
    }
    // One step left in the middle (an odd number of steps, as in 2592-pixel rows):
    // reversed where it is.
    if (count - 2 * done == kStepPixels) {
        Store(first, Permute(Load(first, true), kReverse));
        done += kStepPixels / 2;
    }
    return done;
}

std::size_t KeepChannelsAvx2(std::uint8_t* pixels, std::size_t count, int channelMask)
{
    switch (channelMask) {
    case kChannelRed:
        return PermuteSteps(pixels, count, kCopyChannel<2>);
    case kChannelGreen:
        return PermuteSteps(pixels, count, kCopyChannel<1>);
    case kChannelBlue:
        return PermuteSteps(pixels, count, kCopyChannel<0>);
    case kChannelRed | kChannelGreen:
        return PermuteSteps(pixels, count, kClearChannel<0>);
    case kChannelRed | kChannelBlue:
        return PermuteSteps(pixels, count, kClearChannel<1>);
    case kChannelGreen | kChannelBlue:
        return PermuteSteps(pixels, count, kClearChannel<2>);
    default:
        return 0;
    }
}

// Most of a picture changes slowly: 64 neighbouring grey values mostly lie within
// a few levels of the first. Such a block is counted a level at a time (compare,
// then count the matching lanes), eight counter updates instead of 64; any other
// block is counted value by value.
PELORA_AVX2 __attribute__((target("popcnt"))) void CountGreysAvx2(const std::uint8_t* grey, std::size_t count,
                                                                  GreyTables& tables)
{
    constexpr int kWindow = 8;
    constexpr std::size_t kBlock = 2 * kStepPixels;
    const __m256i outside = _mm256_set1_epi8(static_cast<char>(~(kWindow - 1)));
    std::size_t i = 0;
    int table = 0;
    for (; i + kBlock <= count; i += kBlock) {
        const int lowest = WindowStart(grey[i], kWindow);
        const __m256i start = _mm256_set1_epi8(static_cast<char>(lowest));
        const __m256i low =
            _mm256_sub_epi8(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(grey + i)), start);
        const __m256i high = _mm256_sub_epi8(
            _mm256_loadu_si256(reinterpret_cast<const __m256i*>(grey + i + kStepPixels)), start);
        if (!_mm256_testz_si256(_mm256_or_si256(low, high), outside)) {
            tables.Count(grey + i, kBlock);
            continue;
        }
        std::uint32_t* bins = tables.Bin(table, lowest);
        table = (table + 1) % GreyTables::kTables;
        for (int level = 0; level < kWindow; ++level) {
            const __m256i wanted = _mm256_set1_epi8(static_cast<char>(level));
            const auto lowMatches =
                static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(low, wanted)));
            const auto highMatches =
                static_cast<std::uint32_t>(_mm256_movemask_epi8(_mm256_cmpeq_epi8(high, wanted)));
            bins[level] +=
                static_cast<std::uint32_t>(_mm_popcnt_u64(lowMatches | std::uint64_t{highMatches} << 32));
        }
    }
    tables.Count(grey + i, count - i);
}

PELORA_AVX2 std::size_t GreyStepsAvx2(const std::uint8_t* pixels, std::size_t count, std::uint8_t* grey)
{
    const std::size_t steps = count / kStepPixels;
    // Packing works within halves: the four groups of eight come out interleaved.
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    for (std::size_t i = 0; i < steps; ++i, pixels += kStepBytes, grey += kStepPixels) {
        const __m256i first =
            _mm256_packs_epi32(WeightedSums(pixels), WeightedSums(pixels + kBgr24QuadBytes));
        const __m256i second = _mm256_packs_epi32(WeightedSums(pixels + 2 * kBgr24QuadBytes),
                                                  WeightedSums(pixels + 3 * kBgr24QuadBytes));
        const __m256i values = _mm256_packus_epi16(Hundredths(first), Hundredths(second));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(grey), _mm256_permutevar8x32_epi32(values, order));
    }
    return steps * kStepPixels;
}

PELORA_AVX2 std::size_t ThresholdStepsAvx2(std::uint8_t* pixels, const std::uint8_t* grey, std::size_t count,
                                           int threshold)
{
    const std::size_t steps = count / kStepPixels;
    const __m256i level = _mm256_set1_epi8(static_cast<char>(threshold));
    for (std::size_t i = 0; i < steps; ++i, pixels += kStepBytes, grey += kStepPixels) {
        const __m256i values = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(grey));
        // value >= threshold exactly when the larger of the two is the value.
        const __m256i white = _mm256_cmpeq_epi8(_mm256_max_epu8(values, level), values);
        Store(pixels,
              {{_mm256_shuffle_epi8(white, Mask(kSpread, 0)), _mm256_shuffle_epi8(white, Mask(kSpread, 3)),
                _mm256_shuffle_epi8(white, Mask(kSpread, 6))}});
    }
    return steps * kStepPixels;
}

#else

bool Avx2Available()
{
    return false;
}
std::size_t ReverseStepsAvx2(std::uint8_t*, std::size_t)
{
    return 0;
}
std::size_t KeepChannelsAvx2(std::uint8_t*, std::size_t, int)
{
    return 0;
}
void CountGreysAvx2(const std::uint8_t* grey, std::size_t count, GreyTables& tables)
{
    tables.Count(grey, count);
}
std::size_t GreyStepsAvx2(const std::uint8_t*, std::size_t, std::uint8_t*)
{
    return 0;
}
std::size_t ThresholdStepsAvx2(std::uint8_t*, const std::uint8_t*, std::size_t, int)
{
    return 0;
}

#endif
