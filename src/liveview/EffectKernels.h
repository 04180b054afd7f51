#pragma once
// The picture effects as plain functions on a 24-bit frame: pixels of three bytes
// (blue, green, red), rows of exactly width x 3 bytes. Each works in place and
// touches every pixel once.
#include "liveview/GreyTables.h"

#include <cstddef>
#include <cstdint>

// Channel buttons as bits of the channel mask.
inline constexpr int kChannelRed = 0x001;
inline constexpr int kChannelGreen = 0x010;
inline constexpr int kChannelBlue = 0x100;

// Left-right mirror of every row.
void MirrorRows(std::uint8_t* pixels, int width, int height);

// Half-turn: the last pixel of the frame becomes the first.
void HalfTurn(std::uint8_t* pixels, int width, int height);

// Every byte becomes 255 minus itself.
void Negative(std::uint8_t* pixels, int width, int height);

// One channel as a grey picture (mask of one bit) or one channel dropped (two
// bits); any other mask leaves the frame alone.
void KeepChannels(std::uint8_t* pixels, int width, int height, int channelMask);

// trunc(0.59 G + 0.30 R + 0.11 B + 0.5), evaluated exactly.
inline std::uint8_t GreyOf(std::uint8_t blue, std::uint8_t green, std::uint8_t red)
{
    return static_cast<std::uint8_t>((59u * green + 30u * red + 11u * blue + 50u) / 100u);
}

// GreyOf in wide registers: the byte weights of blue, green and red as one 32-bit
// lane, then trunc((sum + 50) / 100) as ((sum + 50) * 41944) >> 22 on 16-bit
// lanes (a high-half multiply, then a shift), exact for every sum up to 255 x 100.
inline constexpr int kGreyWeights = 11 | 59 << 8 | 30 << 16;
inline constexpr short kGreyHalf = 50;
inline constexpr short kGreyHundredthMultiplier = short(41944 - 65536);
inline constexpr int kGreyHundredthShift = 6;

// The histogram of the grey values of `count` pixels.
void GreyHistogramOf(const std::uint8_t* pixels, std::size_t count, GreyHistogram& histogram);
// The same counts added to what `histogram` holds; with `grey`, each pixel's grey
// value is also kept there (`count` bytes).
void CountGreys(const std::uint8_t* pixels, std::size_t count, GreyHistogram& histogram,
                std::uint8_t* grey = nullptr);

// Otsu's split of a histogram: the first grey value of the upper class of the best
// split (class 0 = 0..i, class 1 = i+1..255; single-precision class weight; the
// first of equal scores wins; splits with an empty class never count). 0 when no
// split has two non-empty classes, so a one-level picture is all upper class.
int OtsuThreshold(const GreyHistogram& histogram);

// Pixels whose grey value (`grey`, as CountGreys keeps them) is at least
// `threshold` become white, the others black.
void ApplyThreshold(std::uint8_t* pixels, const std::uint8_t* grey, std::size_t count, int threshold);
