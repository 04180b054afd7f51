// The live preview converts large frames only as far as it shows them; what is kept
// (stills, the frame store) must still be the whole frame, exactly as before.
#include "../capture/FakeCamera.h"
#include "../capture/GraphTestEnvironment.h"
#include "liveview/ImageEffects.h"

#include <QTemporaryDir>
#include <algorithm>
#include <cstring>
#include <gtest/gtest.h>
#include <optional>
#include <turbojpeg.h>

namespace {

constexpr int kWidth = 2592;
constexpr int kHeight = 1944;

// Camera-like texture: a gradient with grain and colour that vary over the picture.
std::vector<std::uint8_t> TexturedYuyv(int w, int h)
{
    std::vector<std::uint8_t> bytes(std::size_t(w) * h * 2);
    std::uint32_t seed = 12345;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const std::size_t i = (std::size_t(y) * w + x) * 2;
            bytes[i] = std::uint8_t(16 + (x * 150 / w + y * 50 / h) + (seed >> 27));
            bytes[i + 1] = std::uint8_t((x & 1) ? 128 + (y * 90 / h) - 45 : 128 + (x * 90 / w) - 45);
        }
    }
    return bytes;
}

std::vector<std::uint8_t> JpegOf(const std::vector<std::uint8_t>& yuyv, int w, int h)
{
    const std::size_t pixels = std::size_t(w) * h;
    std::vector<std::uint8_t> y(pixels), u(pixels / 2), v(pixels / 2);
    for (std::size_t p = 0; p < pixels; p += 2) {
        y[p] = yuyv[p * 2], u[p / 2] = yuyv[p * 2 + 1], y[p + 1] = yuyv[p * 2 + 2],
        v[p / 2] = yuyv[p * 2 + 3];
    }
    const unsigned char* planes[3] = {y.data(), u.data(), v.data()};
    unsigned char* jpeg = nullptr;
    unsigned long size = 0;
    tjhandle tj = tjInitCompress();
    tjCompressFromYUVPlanes(tj, planes, w, nullptr, h, TJSAMP_422, &jpeg, &size, 85, 0);
    std::vector<std::uint8_t> bytes(jpeg, jpeg + size);
    tjFree(jpeg);
    tjDestroy(tj);
    return bytes;
}

class PreviewScaleTest : public ::testing::TestWithParam<CameraSubtype> {
protected:
    void SetUp() override
    {
        backend->setup.capabilities = {{GetParam(), kWidth, kHeight}, {GetParam(), 1600, 1200}};
        backend->devices = {FakeDevice(SupportedHardwareIds()[0], "1")};
        graph.SetBackend(backend);
        state.mjpgByClass[Class2592] = GetParam() == CameraSubtype::MJPG ? 1 : 0;
        LiveFrameHooks hooks;
        hooks.applyEffects = [this](std::uint8_t* pixels, int w, int h) { effects->Apply(pixels, w, h); };
        hooks.recording = [this] { return wholeFrames; };
        graph.SetLiveFrameHooks(hooks);
        graph.Preview()->show(); // a hidden widget gets its resizes only when shown
        ASSERT_TRUE(StartGraph(graph, sink));
        ASSERT_EQ(state.captureWidth.load(), kWidth);
        ASSERT_EQ(backend->opened->CurrentFormat().subtype, GetParam());
        SetFrameSize(kWidth, kHeight);
    }
    void TearDown() override { graph.TearDown(); }

    void SetFrameSize(int w, int h)
    {
        yuyv = TexturedYuyv(w, h);
        bytes = GetParam() == CameraSubtype::MJPG ? JpegOf(yuyv, w, h) : yuyv;
    }
    void Deliver()
    {
        backend->opened->Deliver({GetParam(), state.captureWidth.load(), state.captureHeight.load(),
                                  bytes.data(), bytes.size(), 0.5});
    }
    std::vector<std::uint8_t> Taken()
    {
        std::vector<std::uint8_t> pixels;
        BitmapInfoHeader header;
        EXPECT_TRUE(state.FrameStore.TakeFrame(pixels, header));
        EXPECT_EQ(header.biWidth, state.captureWidth.load());
        EXPECT_EQ(header.biHeight, state.captureHeight.load());
        return pixels;
    }
    QSize PreviewFrame() const
    {
        return {graph.Counters().previewWidth.load(), graph.Counters().previewHeight.load()};
    }

    GraphTestEnvironment environment;
    NotifySink sink;
    std::shared_ptr<FakeBackend> backend = std::make_shared<FakeBackend>();
    CCaptureGraph& graph = environment.graph;
    CaptureState& state = environment.state;
    std::shared_ptr<ImageEffects> effects = std::make_shared<ImageEffects>();
    std::vector<std::uint8_t> yuyv, bytes;
    bool wholeFrames = false; // as while recording: every frame converted whole
};

// Largest difference of one colour channel between two pictures of one size.
int LargestDifference(const QImage& a, const QImage& b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({largest, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                                std::abs(qBlue(p) - qBlue(q))});
        }
    }
    return largest;
}

// The small picture shows what the whole frame showed, the right way up: a packed
// frame the very same pixels (the colours rounded alike within a few steps), a JPEG decoded smaller the same
// picture, smoothed. With the mirror on, the small picture's grid is mirrored too, a fraction of a pixel
// away.
TEST_P(PreviewScaleTest, ThePreviewShowsWhatTheWholeFrameShowed)
{
    const auto pictures = [&] {
        wholeFrames = true;
        Deliver();
        EXPECT_EQ(PreviewFrame(), QSize(kWidth, kHeight));
        const QImage whole = graph.PreviewPicture();
        wholeFrames = false;
        Deliver();
        EXPECT_LT(PreviewFrame().width(), kWidth);
        return std::pair{graph.PreviewPicture(), whole};
    };
    const auto smoothed = [](const QImage& image) {
        return image.scaled(80, 60, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    };
    const auto [plain, plainWhole] = pictures();
    ASSERT_EQ(plain.size(), plainWhole.size());
    if (GetParam() == CameraSubtype::YUY2) {
        EXPECT_LE(LargestDifference(plain, plainWhole), 4); // rounding of the colour conversion
    }
    EXPECT_LE(LargestDifference(smoothed(plain), smoothed(plainWhole)), 12);
    effects->Press(EffectButton::Mirror);
    const auto [mirrored, mirroredWhole] = pictures();
    EXPECT_LE(LargestDifference(smoothed(mirrored), smoothed(mirroredWhole)), 12);
    EXPECT_GT(LargestDifference(smoothed(mirrored), smoothed(plain)), 40) << "the mirror shows";
}

// A preview as large as the frame takes the full path of old; 640 x 480 takes the
// small one. The frame either hands out must be the same to the last bit, with each
// effect (the threshold sets its level from the whole picture).
TEST_P(PreviewScaleTest, KeptFramesAreIdenticalToTheFullPathWithEveryEffect)
{
    const std::vector<std::optional<EffectButton>> cases = {
        std::nullopt,           EffectButton::Mirror, EffectButton::HalfTurn, EffectButton::Threshold,
        EffectButton::Negative, EffectButton::Red,    EffectButton::Green,    EffectButton::Blue};
    CapturePreview* preview = graph.Preview();
    for (const auto& button : cases) {
        const int name = button ? int(*button) : -1;
        effects = std::make_shared<ImageEffects>();
        if (button) {
            effects->Press(*button);
        }
        preview->resize(kWidth, kHeight);
        Deliver();
        ASSERT_FALSE(state.FrameStore.HoldsCodedFrame()) << name;
        const std::vector<std::uint8_t> full = Taken();

        preview->resize(640, 480);
        Deliver();
        ASSERT_TRUE(state.FrameStore.HoldsCodedFrame()) << name;
        EXPECT_LT(PreviewFrame().width(), kWidth) << name;
        const std::vector<std::uint8_t> kept = Taken();
        ASSERT_EQ(kept.size(), full.size()) << name;
        EXPECT_EQ(std::memcmp(kept.data(), full.data(), full.size()), 0) << "effect " << name;
        // Taken twice: converted once, the effects not applied a second time.
        EXPECT_EQ(Taken(), kept) << name;
    }
}

// Full screen, a resized window and another capture size each choose the picture
// again with the next frame; the still stays whole.
TEST_P(PreviewScaleTest, ThePictureFollowsThePreviewAndTheCaptureSize)
{
    const bool jpeg = GetParam() == CameraSubtype::MJPG;
    CapturePreview* preview = graph.Preview();
    const auto expectPicture = [&](QSize expected, int stillWidth) {
        Deliver();
        EXPECT_EQ(PreviewFrame(), expected);
        EXPECT_EQ(graph.PreviewPicture().size(), preview->size());
        EXPECT_EQ(Taken().size(), std::size_t(stillWidth) * (stillWidth * 3 / 4) * 3);
    };
    expectPicture(jpeg ? QSize(648, 486) : QSize(640, 480), kWidth);
    graph.EnterFullScreen();
    preview->resize(1280, 1024);
    expectPicture(jpeg ? QSize(1296, 972) : QSize(1280, 1024), kWidth);
    preview->resize(320, 240); // a smaller window
    expectPicture(jpeg ? QSize(324, 243) : QSize(320, 240), kWidth);
    graph.LeaveFullScreen();
    preview->resize(640, 480);

    ASSERT_EQ(graph.SetCaptureSize(1600, 1200), 0);
    ASSERT_EQ(state.captureWidth.load(), 1600);
    SetFrameSize(1600, 1200);
    expectPicture(jpeg ? QSize(800, 600) : QSize(640, 480), 1600);
    // A frame of the old size that was still on its way is not shown.
    const std::vector<std::uint8_t> stale = TexturedYuyv(kWidth, kHeight);
    const std::int64_t shown = graph.Counters().shown.load();
    backend->opened->Deliver({CameraSubtype::YUY2, kWidth, kHeight, stale.data(), stale.size(), 1.0});
    EXPECT_EQ(graph.Counters().shown.load(), shown);
}

INSTANTIATE_TEST_SUITE_P(BothFormats, PreviewScaleTest,
                         ::testing::Values(CameraSubtype::MJPG, CameraSubtype::YUY2),
                         [](const auto& info) { return std::string(CameraSubtypeName(info.param)); });

} // namespace
