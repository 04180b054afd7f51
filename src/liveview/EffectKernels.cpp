#include "liveview/EffectKernels.h"

#include "liveview/EffectKernelsAvx2.h"
#include "liveview/EffectKernelsAvx512.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr int kBytesPerPixel = 3;
constexpr std::uint8_t kWhite = 255;
constexpr std::uint8_t kBlack = 0;
// Grey values computed, then counted, this many at a time.
constexpr std::size_t kGreyChunk = 4096;
const bool kWide = Avx2Available();
const bool kWidest = Avx512Available();

std::size_t PixelCount(int width, int height)
{
    return static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
}

// Reverses the order of `count` three-byte pixels in place.
void ReversePixels(std::uint8_t* first, std::size_t count)
{
    if (kWide) {
        // The outer steps are swapped; what lies between them is reversed below.
        const std::size_t done = ReverseStepsAvx2(first, count);
        first += done * kBytesPerPixel;
        count -= 2 * done;
    }
    if (count < 2) {
        return;
    }
    std::uint8_t* last = first + (count - 1) * kBytesPerPixel;
    for (; first < last; first += kBytesPerPixel, last -= kBytesPerPixel) {
        std::uint8_t held[kBytesPerPixel];
        std::memcpy(held, first, kBytesPerPixel);
        std::memcpy(first, last, kBytesPerPixel);
        std::memcpy(last, held, kBytesPerPixel);
    }
}

// Byte offsets within a pixel.
constexpr int kBlue = 0;
constexpr int kGreen = 1;
constexpr int kRed = 2;

// Every pixel's bytes become the byte at `source`.
void CopyChannel(std::uint8_t* p, std::size_t count, int source)
{
    for (std::size_t i = 0; i < count; ++i, p += kBytesPerPixel) {
        const std::uint8_t v = p[source];
        p[kBlue] = v;
        p[kGreen] = v;
        p[kRed] = v;
    }
}

void ClearChannel(std::uint8_t* p, std::size_t count, int channel)
{
    for (std::size_t i = 0; i < count; ++i) {
        p[i * kBytesPerPixel + channel] = 0;
    }
}

// The grey values of `count` pixels, the widest kernels first.
void GreyValues(const std::uint8_t* pixels, std::size_t count, std::uint8_t* grey)
{
    std::size_t done = kWidest ? GreyStepsAvx512(pixels, count, grey) : 0;
    if (kWide) {
        done += GreyStepsAvx2(pixels + done * kBytesPerPixel, count - done, grey + done);
    }
    for (std::size_t i = done; i < count; ++i) {
        const std::uint8_t* p = pixels + i * kBytesPerPixel;
        grey[i] = GreyOf(p[kBlue], p[kGreen], p[kRed]);
    }
}

} // namespace

void MirrorRows(std::uint8_t* pixels, int width, int height)
{
    if (!pixels || width <= 1 || height <= 0) {
        return;
    }
    const std::size_t stride = static_cast<std::size_t>(width) * kBytesPerPixel;
    for (int row = 0; row < height; ++row) {
        ReversePixels(pixels + stride * row, static_cast<std::size_t>(width));
    }
}

void HalfTurn(std::uint8_t* pixels, int width, int height)
{
    if (!pixels || width <= 0 || height <= 0) {
        return;
    }
    ReversePixels(pixels, PixelCount(width, height));
}

void Negative(std::uint8_t* pixels, int width, int height)
{
    if (!pixels || width <= 0 || height <= 0) {
        return;
    }
    const std::size_t bytes = PixelCount(width, height) * kBytesPerPixel;
    for (std::size_t i = 0; i < bytes; ++i) {
        pixels[i] = static_cast<std::uint8_t>(~pixels[i]);
    }
}

void KeepChannels(std::uint8_t* pixels, int width, int height, int channelMask)
{
    if (!pixels || width <= 0 || height <= 0) {
        return;
    }
    std::size_t count = PixelCount(width, height);
    if (kWide) {
        const std::size_t done = KeepChannelsAvx2(pixels, count, channelMask);
        pixels += done * kBytesPerPixel;
        count -= done;
    }
    switch (channelMask) {
    case kChannelRed:
        CopyChannel(pixels, count, kRed);
        break;
    case kChannelGreen:
        CopyChannel(pixels, count, kGreen);
        break;
    case kChannelBlue:
        CopyChannel(pixels, count, kBlue);
        break;
    case kChannelRed | kChannelGreen:
        ClearChannel(pixels, count, kBlue);
        break;
    case kChannelRed | kChannelBlue:
        ClearChannel(pixels, count, kGreen);
        break;
    case kChannelGreen | kChannelBlue:
        ClearChannel(pixels, count, kRed);
        break;
    default:
        break;
    }
}

void GreyHistogramOf(const std::uint8_t* pixels, std::size_t count, GreyHistogram& histogram)
{
    histogram.fill(0);
    CountGreys(pixels, count, histogram);
}

void CountGreys(const std::uint8_t* pixels, std::size_t count, GreyHistogram& histogram, std::uint8_t* grey)
{
    if (!pixels) {
        return;
    }
    // The grey values are counted in chunks while they are still in cache.
    GreyTables tables;
    std::array<std::uint8_t, kGreyChunk> chunk;
    for (std::size_t start = 0; start < count; start += kGreyChunk) {
        const std::size_t n = std::min(kGreyChunk, count - start);
        const std::uint8_t* p = pixels + start * kBytesPerPixel;
        std::uint8_t* values = grey ? grey + start : chunk.data();
        GreyValues(p, n, values);
        if (kWidest) {
            CountGreysAvx512(values, n, tables);
        } else if (kWide) {
            CountGreysAvx2(values, n, tables);
        } else {
            tables.Count(values, n);
        }
    }
    tables.AddTo(histogram);
}

int OtsuThreshold(const GreyHistogram& histogram)
{
    double total = 0.0;
    double sum = 0.0;
    for (int v = 0; v < 256; ++v) {
        total += histogram[v];
        sum += static_cast<double>(v) * histogram[v];
    }
    double count0 = 0.0;
    double sum0 = 0.0;
    double best = 0.0;
    int threshold = 0;
    for (int i = 0; i < 255; ++i) {
        count0 += histogram[i];
        sum0 += static_cast<double>(i) * histogram[i];
        const double count1 = total - count0;
        if (count0 == 0.0 || count1 == 0.0) {
            continue;
        }
        const float w0 = static_cast<float>(count0) / static_cast<float>(total);
        const double mean0 = sum0 / count0;
        const double mean1 = (sum - sum0) / count1;
        const double score = w0 * (1 - w0) * (mean1 - mean0) * (mean1 - mean0);
        if (score > best) {
            best = score;
            // White starts above the lower class: its top value stays black.
            threshold = i + 1;
        }
    }
    return threshold;
}

void ApplyThreshold(std::uint8_t* pixels, const std::uint8_t* grey, std::size_t count, int threshold)
{
    if (!pixels || !grey) {
        return;
    }
    std::size_t done = kWidest ? ThresholdStepsAvx512(pixels, grey, count, threshold) : 0;
    if (kWide) {
        done += ThresholdStepsAvx2(pixels + done * kBytesPerPixel, grey + done, count - done, threshold);
    }
    pixels += done * kBytesPerPixel;
    for (std::size_t i = done; i < count; ++i, pixels += kBytesPerPixel) {
        const std::uint8_t v = grey[i] >= threshold ? kWhite : kBlack;
        pixels[kBlue] = v;
        pixels[kGreen] = v;
        pixels[kRed] = v;
    }
}
