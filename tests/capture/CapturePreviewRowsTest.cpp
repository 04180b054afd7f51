#include "capture/CapturePreviewRows.h"

#include "capture/CapturePreview.h"

#include <gtest/gtest.h>
#include <random>
#include <vector>

namespace {

std::vector<std::uint8_t> RandomBytes(std::size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    std::vector<std::uint8_t> bytes(count);
    for (std::uint8_t& b : bytes) {
        b = static_cast<std::uint8_t>(random());
    }
    return bytes;
}

// What the nearest-neighbour stretch gives at (x, y) of a picture of `target` for a
// bottom-up BGR frame of w x h, straight from its rule.
std::uint32_t Expected(const std::vector<std::uint8_t>& frame, int w, int h, QSize target, int x, int y)
{
    const int row = h - 1 - static_cast<int>(static_cast<long long>(y) * h / target.height());
    const int column = static_cast<int>(static_cast<long long>(x) * w / target.width());
    const std::uint8_t* p = frame.data() + (std::size_t(row) * w + column) * 3;
    return 0xff000000u | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[1]) << 8) | p[0];
}

TEST(PreviewRows, ConvertingAtOwnWidthMatchesTheIdentityTable)
{
    for (int width : {1, 2, 7, 8, 9, 15, 16, 17, 31, 33, 639, 640, 641, 2593}) {
        const std::vector<std::uint8_t> row = RandomBytes(std::size_t(width) * 3, unsigned(width));
        std::vector<int> identity(static_cast<std::size_t>(width));
        for (int x = 0; x < width; ++x) {
            identity[std::size_t(x)] = x * 3;
        }
        // One spare pixel past the end on both sides: neither may write there.
        std::vector<std::uint32_t> byTable(std::size_t(width) + 1, 0x12345678u);
        std::vector<std::uint32_t> direct(std::size_t(width) + 1, 0x12345678u);
        StretchRow(row.data(), identity.data(), byTable.data(), width);
        ConvertRow(row.data(), direct.data(), width);
        EXPECT_EQ(direct, byTable) << width;
        EXPECT_EQ(direct.back(), 0x12345678u) << width;
    }
}

// Frames as wide as the picture take the direct rows; other widths the table. Both
// must give what the stretch rule gives, at odd sizes and with rows dropped or
// repeated.
TEST(PreviewRows, PaintedPictureFollowsTheStretchRuleForEveryFrameSize)
{
    const QSize picture(643, 479);
    CapturePreview preview;
    preview.resize(picture);
    preview.PreparePicture();
    for (const QSize frameSize : {QSize(643, 479), QSize(643, 517), QSize(643, 241), QSize(1289, 479),
                                  QSize(321, 960), QSize(17, 13)}) {
        const int w = frameSize.width(), h = frameSize.height();
        const std::vector<std::uint8_t> frame = RandomBytes(std::size_t(w) * h * 3, unsigned(w * h));
        ASSERT_EQ(preview.PaintFrame(frame.data(), w, h), 1);
        const QImage shown = preview.PreviewPicture();
        ASSERT_EQ(shown.size(), picture);
        for (int y = 0; y < picture.height(); ++y) {
            const auto* line = reinterpret_cast<const std::uint32_t*>(shown.constScanLine(y));
            for (int x = 0; x < picture.width(); ++x) {
                ASSERT_EQ(line[x], Expected(frame, w, h, picture, x, y))
                    << w << "x" << h << " at " << x << "," << y;
            }
        }
    }
}

} // namespace
