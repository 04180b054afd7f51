#include "platform/camera/FrameConverter.h"

#include "EmulatedUvc.h"

#include <array>
#include <gtest/gtest.h>
#include <vector>

namespace {
// Top half red, bottom half blue, in the packed 4:2:2 order given by `uyvy`.
std::vector<std::uint8_t> RedOverBlue(int w, int h, bool uyvy)
{
    std::vector<std::uint8_t> bytes(std::size_t(w) * h * 2);
    for (int y = 0; y < h; ++y) {
        const bool red = y < h / 2;
        const std::uint8_t Y = red ? 81 : 41, U = red ? 90 : 240, V = red ? 240 : 110;
        for (int x = 0; x < w; x += 2) {
            std::uint8_t* p = &bytes[(std::size_t(y) * w + x) * 2];
            if (uyvy) {
                p[0] = U, p[1] = Y, p[2] = V, p[3] = Y;
            } else {
                p[0] = Y, p[1] = U, p[2] = Y, p[3] = V;
            }
        }
    }
    return bytes;
}

// BGR of the pixel at memory row `row` (bottom-up: row 0 is the picture's bottom).
std::array<int, 3> At(const std::vector<std::uint8_t>& bgr, int w, int row, int x)
{
    const std::uint8_t* p = &bgr[(std::size_t(row) * w + x) * 3];
    return {p[0], p[1], p[2]};
}

void ExpectRedOverBlue(const std::vector<std::uint8_t>& bgr, int w, int h)
{
    const auto bottom = At(bgr, w, 0, w / 2), top = At(bgr, w, h - 1, w / 2);
    EXPECT_GT(bottom[0], 200) << "bottom of the picture is blue, stored first";
    EXPECT_LT(bottom[2], 40);
    EXPECT_GT(top[2], 200) << "top of the picture is red, stored last";
    EXPECT_LT(top[0], 40);
}

TEST(FrameConverter, PackedFormatsBecomeBottomUpBgr)
{
    const int w = 64, h = 32;
    FrameConverter converter;
    std::vector<std::uint8_t> out(FrameConverter::OutputSize(w, h));
    for (bool uyvy : {false, true}) {
        const auto frame = RedOverBlue(w, h, uyvy);
        const CameraFrame in{
            uyvy ? CameraSubtype::UYVY : CameraSubtype::YUY2, w, h, frame.data(), frame.size(), 0};
        ASSERT_TRUE(converter.Convert(in, out.data(), out.size()));
        ExpectRedOverBlue(out, w, h);
    }
}

TEST(FrameConverter, JpegBecomesBottomUpBgr)
{
    const int w = 96, h = 64;
    const auto jpeg = emu::RedOverBlueJpeg(w, h);
    FrameConverter converter;
    std::vector<std::uint8_t> out(FrameConverter::OutputSize(w, h));
    ASSERT_TRUE(
        converter.Convert({CameraSubtype::MJPG, w, h, jpeg.data(), jpeg.size(), 0}, out.data(), out.size()));
    ExpectRedOverBlue(out, w, h);
}

TEST(FrameConverter, BadFramesAreRefused)
{
    constexpr int w = 96, h = 64;
    FrameConverter converter;
    std::vector<std::uint8_t> out(FrameConverter::OutputSize(w, h));
    const auto jpeg = emu::RedOverBlueJpeg(w, h);
    auto convert = [&](CameraSubtype subtype, const std::uint8_t* data, std::size_t size, int fw = 96,
                       int fh = 64) {
        return converter.Convert({subtype, fw, fh, data, size, 0}, out.data(), out.size());
    };
    EXPECT_FALSE(convert(CameraSubtype::MJPG, jpeg.data(), jpeg.size() / 2)) << "truncated";
    std::vector<std::uint8_t> damaged = jpeg;
    for (std::size_t i = damaged.size() / 3; i < damaged.size() - 2; i += 7) {
        damaged[i] = 0xff;
    }
    EXPECT_FALSE(convert(CameraSubtype::MJPG, damaged.data(), damaged.size())) << "damaged";
    EXPECT_FALSE(convert(CameraSubtype::MJPG, jpeg.data(), jpeg.size(), 48, 32))
        << "other size than declared";
    EXPECT_FALSE(convert(CameraSubtype::MJPG, jpeg.data(), 0));
    EXPECT_FALSE(convert(CameraSubtype::MJPG, nullptr, 100));
    const std::vector<std::uint8_t> shortYuyv(std::size_t(w) * h * 2 - 1, 128);
    EXPECT_FALSE(convert(CameraSubtype::YUY2, shortYuyv.data(), shortYuyv.size()));
    EXPECT_FALSE(converter.Convert({CameraSubtype::MJPG, w, h, jpeg.data(), jpeg.size(), 0}, out.data(), 10))
        << "output too small";
    EXPECT_EQ(FrameConverter::OutputSize(0, 10), 0u);
    EXPECT_EQ(FrameConverter::OutputSize(-4, 10), 0u);
    // The converter stays usable after bad frames.
    EXPECT_TRUE(convert(CameraSubtype::MJPG, jpeg.data(), jpeg.size()));
}
} // namespace
