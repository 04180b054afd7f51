// Effect buttons and what they do to a frame, judged by the frame's bytes.
#include "liveview/ImageEffects.h"

#include "capture/AllocationCounter.h"
#include "liveview/EffectKernels.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

struct Pixel {
    std::uint8_t b, g, r;
    bool operator==(const Pixel&) const = default;
};

// A frame where every pixel differs from its neighbours and its colours differ.
struct Frame {
    int width;
    int height;
    std::vector<std::uint8_t> bytes;

    Frame(int w, int h) : width(w), height(h), bytes(std::size_t(w) * h * 3)
    {
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            bytes[i] = std::uint8_t(i * 7 + i / 3);
        }
    }
    Pixel At(int row, int column) const
    {
        const std::uint8_t* p = bytes.data() + (std::size_t(row) * width + column) * 3;
        return {p[0], p[1], p[2]};
    }
    void Set(int row, int column, Pixel v)
    {
        std::uint8_t* p = bytes.data() + (std::size_t(row) * width + column) * 3;
        p[0] = v.b;
        p[1] = v.g;
        p[2] = v.r;
    }
};

// Frames wide enough for whole 32-pixel steps and a remainder.
constexpr int kWide = 71;
constexpr int kWider = 165;

// Every pixel of `after` is `expected` of the same pixel of `before`.
template <typename Expected> void ExpectEachPixel(const Frame& after, const Frame& before, Expected expected)
{
    int wrong = 0;
    for (int row = 0; row < before.height; ++row) {
        for (int column = 0; column < before.width; ++column) {
            wrong += !(after.At(row, column) == expected(before.At(row, column)));
        }
    }
    EXPECT_EQ(wrong, 0);
}

Frame Applied(ImageEffects& effects, const Frame& original)
{
    Frame frame = original;
    effects.Apply(frame.bytes.data(), frame.width, frame.height);
    return frame;
}

void ExpectLatched(const ImageEffects& effects, std::initializer_list<EffectButton> latched)
{
    for (int i = 0; i < kEffectButtonCount; ++i) {
        const auto button = static_cast<EffectButton>(i);
        const bool expected = std::find(latched.begin(), latched.end(), button) != latched.end();
        EXPECT_EQ(effects.IsLatched(button), expected) << "button " << i;
    }
}

TEST(ImageEffects, MirrorTwiceGivesThePlainPictureAndOnceMirrorsEachRow)
{
    for (const int width : {1, 5, kWide, 96, kWider}) {
        ImageEffects effects;
        const Frame original(width, 3);
        effects.Press(EffectButton::Mirror);
        ExpectLatched(effects, {EffectButton::Mirror});
        const Frame mirrored = Applied(effects, original);
        int wrong = 0;
        for (int row = 0; row < original.height; ++row) {
            for (int column = 0; column < original.width; ++column) {
                wrong += !(mirrored.At(row, column) == original.At(row, original.width - 1 - column));
            }
        }
        EXPECT_EQ(wrong, 0) << width;
        effects.Press(EffectButton::Mirror);
        ExpectLatched(effects, {});
        EXPECT_EQ(Applied(effects, original).bytes, original.bytes);
    }
}

TEST(ImageEffects, MirrorThenHalfTurnLeavesOnlyTheHalfTurn)
{
    ImageEffects effects;
    const Frame original(kWide, 7);
    effects.Press(EffectButton::Mirror);
    effects.Press(EffectButton::HalfTurn);
    ExpectLatched(effects, {EffectButton::HalfTurn});
    EXPECT_EQ(effects.switches().mirrorOn.load(), 0);
    EXPECT_EQ(effects.switches().rotateOn.load(), 1);
    const Frame turned = Applied(effects, original);
    int wrong = 0;
    for (int row = 0; row < original.height; ++row) {
        for (int column = 0; column < original.width; ++column) {
            wrong += !(turned.At(row, column) ==
                       original.At(original.height - 1 - row, original.width - 1 - column));
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(ImageEffects, NegativeInvertsEveryByteAndAnEffectClearsTheChannels)
{
    ImageEffects effects;
    effects.Press(EffectButton::Red);
    effects.Press(EffectButton::Negative);
    ExpectLatched(effects, {EffectButton::Negative});
    EXPECT_EQ(effects.switches().channelMask.load(), 0);
    const Frame original(kWide, 2);
    const Frame negative = Applied(effects, original);
    for (std::size_t i = 0; i < original.bytes.size(); ++i) {
        EXPECT_EQ(negative.bytes[i], 255 - original.bytes[i]);
    }
}

TEST(ImageEffects, RedThenGreenThenBlue)
{
    ImageEffects effects;
    const Frame original(kWider, 2);

    effects.Press(EffectButton::Red);
    ExpectLatched(effects, {EffectButton::Red});
    ExpectEachPixel(Applied(effects, original), original, [](Pixel p) { return Pixel{p.r, p.r, p.r}; });

    effects.Press(EffectButton::Green);
    ExpectLatched(effects, {EffectButton::Red, EffectButton::Green});
    EXPECT_EQ(effects.switches().channelMask.load(), kChannelRed | kChannelGreen);
    ExpectEachPixel(Applied(effects, original), original, [](Pixel p) { return Pixel{0, p.g, p.r}; });

    effects.Press(EffectButton::Blue);
    ExpectLatched(effects, {EffectButton::Blue});
    EXPECT_EQ(effects.switches().channelMask.load(), kChannelBlue);
    ExpectEachPixel(Applied(effects, original), original, [](Pixel p) { return Pixel{p.b, p.b, p.b}; });

    // A latched channel pressed again goes off; the other stays.
    effects.Press(EffectButton::Green);
    ExpectEachPixel(Applied(effects, original), original, [](Pixel p) { return Pixel{p.b, p.g, 0}; });
    effects.Press(EffectButton::Blue);
    ExpectLatched(effects, {EffectButton::Green});
    ExpectEachPixel(Applied(effects, original), original, [](Pixel p) { return Pixel{p.g, p.g, p.g}; });

    effects.Press(EffectButton::Red);
    ExpectLatched(effects, {EffectButton::Red, EffectButton::Green});
    ExpectEachPixel(Applied(effects, original), original, [](Pixel p) { return Pixel{0, p.g, p.r}; });
}

TEST(ImageEffects, RgbTurnsEverythingOff)
{
    ImageEffects effects;
    const Frame original(3, 2);
    effects.Press(EffectButton::Green);
    effects.Press(EffectButton::Blue);
    effects.Press(EffectButton::Rgb);
    ExpectLatched(effects, {EffectButton::Rgb});
    EXPECT_EQ(Applied(effects, original).bytes, original.bytes);

    effects.Press(EffectButton::Threshold);
    effects.Press(EffectButton::Rgb);
    EXPECT_EQ(effects.switches().thresholdOn.load(), 0);
    EXPECT_EQ(Applied(effects, original).bytes, original.bytes);
}

TEST(ImageEffects, OneGreyLevelThresholdsAllWhite)
{
    for (const std::uint8_t level : {std::uint8_t(0), std::uint8_t(90), std::uint8_t(255)}) {
        ImageEffects effects;
        effects.Press(EffectButton::Threshold);
        Frame frame(4, 4);
        std::fill(frame.bytes.begin(), frame.bytes.end(), level);
        effects.Apply(frame.bytes.data(), frame.width, frame.height);
        EXPECT_EQ(frame.bytes, std::vector<std::uint8_t>(frame.bytes.size(), 255)) << int(level);
    }
}

// Black print on white paper stays black on white: the lower class of the split,
// its top grey value included, is black.
TEST(ImageEffects, TwoGreyLevelsKeepTheirSides)
{
    ImageEffects effects;
    effects.Press(EffectButton::Threshold);
    Frame frame(6, 2);
    for (int column = 0; column < frame.width; ++column) {
        frame.Set(0, column, {20, 20, 20});
        frame.Set(1, column, {200, 200, 200});
    }
    effects.Apply(frame.bytes.data(), frame.width, frame.height);
    EXPECT_EQ(frame.At(0, 3), (Pixel{0, 0, 0}));
    EXPECT_EQ(frame.At(1, 3), (Pixel{255, 255, 255}));
}

TEST(EffectKernels, GreyWeightsGreenMostAndRoundsHalfUp)
{
    EXPECT_EQ(GreyOf(0, 100, 0), 59);
    EXPECT_EQ(GreyOf(0, 0, 100), 30);
    EXPECT_EQ(GreyOf(100, 0, 0), 11);
    EXPECT_EQ(GreyOf(255, 255, 255), 255);
    EXPECT_EQ(GreyOf(0, 0, 5), 2); // 1.5 + 0.5
    EXPECT_EQ(GreyOf(0, 0, 4), 1); // 1.2 + 0.5
}

// Every blue, green and red mix whose weighted sum differs: the grey values are
// the formula's, exactly, in whole steps and in the remainder, both when counted
// and when compared with a threshold (the split falls on the rounding edge).
TEST(EffectKernels, GreyOfEveryMixMatchesTheFormula)
{
    Frame frame(256 * 11, 256);
    for (int g = 0; g < 256; ++g) {
        for (int i = 0; i < frame.width; ++i) {
            frame.Set(g, i, {std::uint8_t(i % 11), std::uint8_t(g), std::uint8_t(i / 11)});
        }
    }
    const std::size_t count = frame.bytes.size() / 3 - 5; // leave a remainder
    GreyHistogram histogram;
    GreyHistogramOf(frame.bytes.data(), count, histogram);
    GreyHistogram expected{};
    for (std::size_t i = 0; i < count; ++i) {
        ++expected[GreyOf(frame.bytes[i * 3], frame.bytes[i * 3 + 1], frame.bytes[i * 3 + 2])];
    }
    EXPECT_EQ(histogram, expected);

    GreyHistogram counted{};
    std::vector<std::uint8_t> grey(count);
    CountGreys(frame.bytes.data(), count, counted, grey.data());
    EXPECT_EQ(counted, expected);
    for (const int t : {0, 1, 2, 59, 128, 254, 255}) {
        Frame split = frame;
        ApplyThreshold(split.bytes.data(), grey.data(), count, t);
        int wrong = 0;
        for (std::size_t i = 0; i < split.bytes.size(); ++i) {
            const std::size_t first = i - i % 3;
            const std::uint8_t grey =
                GreyOf(frame.bytes[first], frame.bytes[first + 1], frame.bytes[first + 2]);
            const std::uint8_t v = i / 3 >= count ? frame.bytes[i] : grey >= t ? 255 : 0;
            wrong += split.bytes[i] != v;
        }
        EXPECT_EQ(wrong, 0) << "threshold " << t;
    }
}

TEST(ImageEffects, ThresholdWhitensTheUpperClass)
{
    ImageEffects effects;
    effects.Press(EffectButton::Threshold);
    const Frame original(kWider, 5);
    const Frame result = Applied(effects, original);
    const std::size_t count = std::size_t(original.width) * original.height;
    GreyHistogram histogram;
    GreyHistogramOf(original.bytes.data(), count, histogram);
    const int t = OtsuThreshold(histogram);
    ASSERT_GT(t, 0);
    int wrong = 0;
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = original.bytes.data() + i * 3;
        const std::uint8_t v = GreyOf(p[0], p[1], p[2]) >= t ? 255 : 0;
        for (int c = 0; c < 3; ++c) {
            wrong += result.bytes[i * 3 + c] != v;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(EffectKernels, OtsuTakesTheFirstOfEqualSplitsAndSkipsEmptyClasses)
{
    GreyHistogram histogram{};
    histogram[50] = 10;
    histogram[200] = 10;
    // Every split from 50 to 199 scores the same: the first wins, 50 stays black.
    EXPECT_EQ(OtsuThreshold(histogram), 51);

    // A heavy dark class and a light one: the split lies between them.
    GreyHistogram spread{};
    for (int v = 10; v < 40; ++v) {
        spread[v] = 100;
    }
    for (int v = 180; v < 230; ++v) {
        spread[v] = 20;
    }
    const int t = OtsuThreshold(spread);
    EXPECT_GE(t, 40);
    EXPECT_LE(t, 180);

    GreyHistogram top{};
    top[255] = 7; // only the top value: no split has two classes
    EXPECT_EQ(OtsuThreshold(top), 0);
}

// The threshold written out plainly, one pixel at a time: grey by the formula, the
// histogram, Otsu's split (single-precision class weight, first best split, no
// empty class), white from the split's upper class on.
std::vector<std::uint8_t> PlainThreshold(const Frame& frame)
{
    const std::size_t count = std::size_t(frame.width) * frame.height;
    std::vector<int> grey(count);
    std::vector<double> histogram(256, 0.0);
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint8_t* p = frame.bytes.data() + i * 3;
        grey[i] = (59 * p[1] + 30 * p[2] + 11 * p[0] + 50) / 100;
        histogram[grey[i]] += 1;
    }
    double best = 0.0;
    int threshold = 0;
    for (int i = 0; i < 255; ++i) {
        double n0 = 0, s0 = 0, n1 = 0, s1 = 0;
        for (int v = 0; v < 256; ++v) {
            (v <= i ? n0 : n1) += histogram[v];
            (v <= i ? s0 : s1) += v * histogram[v];
        }
        if (n0 == 0 || n1 == 0) {
            continue;
        }
        const float w0 = float(n0) / float(count);
        const double score = w0 * (1 - w0) * (s1 / n1 - s0 / n0) * (s1 / n1 - s0 / n0);
        if (score > best) {
            best = score;
            threshold = i + 1;
        }
    }
    std::vector<std::uint8_t> out(frame.bytes.size());
    for (std::size_t i = 0; i < count; ++i) {
        std::fill_n(out.begin() + std::ptrdiff_t(i * 3), 3, grey[i] >= threshold ? 255 : 0);
    }
    return out;
}

// Noise, runs of equal values (as on a slide), one grey level and two, a slow ramp
// with a little noise that reaches black and white (counted a few levels at a
// time), at sizes that leave every kind of remainder after the wide steps.
TEST(ImageEffects, ThresholdMatchesThePlainRuleOnManyPictures)
{
    std::mt19937 random(7);
    const auto fill = [&](Frame& frame, int kind) {
        const std::uint8_t a = std::uint8_t(random()), b = std::uint8_t(random());
        std::uint8_t run = a;
        for (std::size_t i = 0; i < frame.bytes.size(); i += 3) {
            if (kind == 0) {
                for (int c = 0; c < 3; ++c) {
                    frame.bytes[i + c] = std::uint8_t(random());
                }
                continue;
            }
            if (kind == 4) {
                const int position = int(i / 3 / 40 % 600);
                const int ramp = std::min(255, std::max(0, position < 300 ? position - 20 : 580 - position));
                const int noisy = std::clamp(ramp + int(random() % 7) - 3, 0, 255);
                std::fill_n(frame.bytes.begin() + std::ptrdiff_t(i), 3, std::uint8_t(noisy));
                continue;
            }
            if (kind == 1 && random() % 9 == 0) {
                run = std::uint8_t(random());
            }
            const std::uint8_t v = kind == 1 ? run : kind == 2 ? a : (random() % 3 ? a : b);
            frame.bytes[i] = v;
            frame.bytes[i + 1] = std::uint8_t(v / 2 + 40);
            frame.bytes[i + 2] = std::uint8_t(255 - v);
        }
    };
    // One effects object serves every picture, as in a live view: its kept grey
    // values grow and shrink with the frames.
    const std::pair<int, int> sizes[] = {{1, 1},      {31, 1},   {33, 3},   {kWide, 5},
                                         {kWider, 7}, {640, 48}, {333, 61}, {1001, 17}};
    ImageEffects effects;
    effects.Press(EffectButton::Threshold);
    for (const auto& [width, height] : sizes) {
        for (int kind = 0; kind < 5; ++kind) {
            Frame frame(width, height);
            fill(frame, kind);
            const std::size_t count = std::size_t(width) * height;
            GreyHistogram histogram, counted{};
            GreyHistogramOf(frame.bytes.data(), count, histogram);
            for (std::size_t i = 0; i < count; ++i) {
                ++counted[GreyOf(frame.bytes[i * 3], frame.bytes[i * 3 + 1], frame.bytes[i * 3 + 2])];
            }
            EXPECT_EQ(histogram, counted) << width << "x" << height << " kind " << kind;
            const std::vector<std::uint8_t> expected = PlainThreshold(frame);
            effects.Apply(frame.bytes.data(), frame.width, frame.height);
            EXPECT_EQ(frame.bytes, expected) << width << "x" << height << " kind " << kind;
        }
    }
}

TEST(ImageEffects, FramesAfterTheFirstAllocateNothing)
{
    ImageEffects effects;
    Frame frame(64, 48);
    for (const EffectButton button : {EffectButton::Threshold, EffectButton::Mirror, EffectButton::HalfTurn,
                                      EffectButton::Negative, EffectButton::Red}) {
        effects.Press(button);
        effects.Apply(frame.bytes.data(), frame.width, frame.height);
        StartCountingAllocations();
        effects.Apply(frame.bytes.data(), frame.width, frame.height);
        effects.Apply(frame.bytes.data(), frame.width, frame.height);
        const long allocations = StopCountingAllocations();
        if (allocations == kAllocationsNotCounted) {
            GTEST_SKIP() << "allocations are not counted under ThreadSanitizer";
        }
        EXPECT_EQ(allocations, 0) << static_cast<int>(button);
    }
}

} // namespace
