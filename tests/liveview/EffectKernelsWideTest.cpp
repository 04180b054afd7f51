// The wide grey and threshold kernels each on their own: the program takes the
// widest the processor has, so the narrower ones would otherwise go untested on a
// machine that has them all.
#include "liveview/EffectKernels.h"
#include "liveview/EffectKernelsAvx2.h"
#include "liveview/EffectKernelsAvx512.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <vector>

namespace {

struct WideKernels {
    const char* name;
    bool available;
    std::size_t (*grey)(const std::uint8_t*, std::size_t, std::uint8_t*);
    std::size_t (*threshold)(std::uint8_t*, const std::uint8_t*, std::size_t, int);
    void (*count)(const std::uint8_t*, std::size_t, GreyTables&);
};

const WideKernels kKernels[] = {
    {"avx2", Avx2Available(), &GreyStepsAvx2, &ThresholdStepsAvx2, &CountGreysAvx2},
    {"avx512", Avx512Available(), &GreyStepsAvx512, &ThresholdStepsAvx512, &CountGreysAvx512},
};

// Every blue, green and red mix whose weighted sum differs, then a remainder that
// fills no whole step.
std::vector<std::uint8_t> EveryMix(std::size_t& count)
{
    std::vector<std::uint8_t> pixels;
    for (int green = 0; green < 256; ++green) {
        for (int i = 0; i < 256 * 11; ++i) {
            pixels.insert(pixels.end(), {std::uint8_t(i % 11), std::uint8_t(green), std::uint8_t(i / 11)});
        }
    }
    count = pixels.size() / 3 - 37;
    return pixels;
}

TEST(EffectKernelsWide, GreyValuesMatchTheFormula)
{
    std::size_t count = 0;
    const std::vector<std::uint8_t> pixels = EveryMix(count);
    for (const WideKernels& kernels : kKernels) {
        if (!kernels.available) {
            continue;
        }
        std::vector<std::uint8_t> grey(count + 1, 0xab);
        const std::size_t done = kernels.grey(pixels.data(), count, grey.data());
        EXPECT_GT(done, count - 64) << kernels.name;
        EXPECT_LE(done, count) << kernels.name;
        int wrong = 0;
        for (std::size_t i = 0; i < done; ++i) {
            wrong += grey[i] != GreyOf(pixels[i * 3], pixels[i * 3 + 1], pixels[i * 3 + 2]);
        }
        EXPECT_EQ(wrong, 0) << kernels.name;
        EXPECT_EQ(grey[done], 0xab) << kernels.name << ": wrote past the pixels it handled";
    }
}

TEST(EffectKernelsWide, ThresholdWhitensFromTheLevelOn)
{
    constexpr std::size_t kCount = 64 * 5 + 17;
    std::vector<std::uint8_t> grey(kCount);
    for (std::size_t i = 0; i < kCount; ++i) {
        grey[i] = std::uint8_t(i * 7 + i / 3);
    }
    for (const WideKernels& kernels : kKernels) {
        if (!kernels.available) {
            continue;
        }
        for (const int level : {0, 1, 127, 128, 200, 255}) {
            std::vector<std::uint8_t> pixels(kCount * 3, 0x5a);
            const std::size_t done = kernels.threshold(pixels.data(), grey.data(), kCount, level);
            EXPECT_GT(done, kCount - 64) << kernels.name;
            int wrong = 0;
            for (std::size_t i = 0; i < kCount * 3; ++i) {
                const std::uint8_t expected = i / 3 >= done ? 0x5a : grey[i / 3] >= level ? 255 : 0;
                wrong += pixels[i] != expected;
            }
            EXPECT_EQ(wrong, 0) << kernels.name << " level " << level;
        }
    }
}

// Slow ramps with a little noise down to black and up to white (counted a few
// levels at a time, their windows reaching past 0 and 255), steps, and noise.
TEST(EffectKernelsWide, CountsMatchOneByOne)
{
    std::vector<std::uint8_t> grey;
    for (int i = 0; i < 40000; ++i) {
        const int ramp = i / 60 % 300 - 20;
        const int noise = (i * 2654435761u >> 13) % 5 - 2;
        grey.push_back(std::uint8_t(std::clamp(ramp + noise, 0, 255)));
    }
    for (int i = 0; i < 3000; ++i) {
        grey.push_back(std::uint8_t(i / 100 % 2 ? 255 : 0));
    }
    for (int i = 0; i < 3001; ++i) {
        grey.push_back(std::uint8_t(i * 2654435761u >> 11));
    }
    GreyHistogram expected{};
    for (const std::uint8_t v : grey) {
        ++expected[v];
    }
    for (const WideKernels& kernels : kKernels) {
        if (!kernels.available) {
            continue;
        }
        GreyTables tables;
        kernels.count(grey.data(), grey.size(), tables);
        GreyHistogram counted{};
        tables.AddTo(counted);
        EXPECT_EQ(counted, expected) << kernels.name;
    }
}

} // namespace
