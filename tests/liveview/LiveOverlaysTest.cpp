// Crosshair, scale line and circle grid, judged by the pixels they leave on a
// black picture.
#include "liveview/LiveOverlays.h"

#include <QImage>
#include <QPainter>
#include <atomic>
#include <cmath>
#include <gtest/gtest.h>
#include <random>
#include <thread>

namespace {

constexpr QSize kPreview(640, 480);
constexpr int kPreviewCx = 321; // the preview's guides cross one pixel right of
constexpr int kPreviewCy = 241; // and below the middle

bool IsRed(QRgb p)
{
    return qRed(p) > 100 && qGreen(p) < 80 && qBlue(p) < 80;
}
bool IsWhite(QRgb p)
{
    return qRed(p) == 255 && qGreen(p) == 255 && qBlue(p) == 255;
}

QImage Black(QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}

QImage Preview(const LiveOverlays& overlays, QSize size = kPreview)
{
    QImage image = Black(size);
    QPainter painter(&image);
    overlays.PaintPreview(painter, size);
    return image;
}

QImage Still(const LiveOverlays& overlays, QSize capture)
{
    QImage image = Black(capture);
    QPainter painter(&image);
    overlays.PaintStill(painter, capture);
    return image;
}

// Whether `picture` shows `text` in red with its top-left corner at `at`: every
// pixel the text covers when drawn alone in the same font is red.
bool ShowsLabel(const QImage& picture, const QString& text, QPoint at)
{
    QImage alone = Black(picture.size());
    {
        QPainter painter(&alone);
        QFont font = painter.font();
        font.setPixelSize(13);
        painter.setFont(font);
        painter.setPen(Qt::white);
        painter.drawText(at.x(), at.y() + painter.fontMetrics().ascent(), text);
    }
    int covered = 0;
    for (int y = 0; y < alone.height(); ++y) {
        for (int x = 0; x < alone.width(); ++x) {
            if (qRed(alone.pixel(x, y)) > 200) {
                ++covered;
                if (!IsRed(picture.pixel(x, y))) {
                    return false;
                }
            }
        }
    }
    return covered > 0;
}

GuideScale Scale(double magnification, const QString& unit, int sensorClass, QSize capture)
{
    return {magnification, unit, sensorClass, capture};
}

GuideScaleReader Reads(GuideScale scale)
{
    return [scale] { return scale; };
}

TEST(LiveOverlays, ScaleLineInMillimetresAtMagnificationTen)
{
    LiveOverlays overlays;
    overlays.ToggleScaleLine(Reads(Scale(10, "mm", 2, {2592, 1944})));
    EXPECT_NEAR(overlays.Snapshot().pixelsPerUnit, 15.0, 1e-6);
    const QImage image = Preview(overlays);

    EXPECT_TRUE(IsRed(image.pixel(5, kPreviewCy)));
    EXPECT_TRUE(IsRed(image.pixel(kPreviewCx, 5)));
    // Ticks every 4 pixels, from 6 pixels before the axis up to 6 after it.
    for (int k = 4; k <= 40; k += 4) {
        EXPECT_TRUE(IsRed(image.pixel(kPreviewCx + k, kPreviewCy - 6))) << k;
        EXPECT_TRUE(IsRed(image.pixel(kPreviewCx - k, kPreviewCy + 5))) << k;
        EXPECT_TRUE(IsRed(image.pixel(kPreviewCx + 5, kPreviewCy + k))) << k;
        EXPECT_FALSE(IsRed(image.pixel(kPreviewCx + k - 2, kPreviewCy - 6))) << k;
    }
    // Labels every 16 pixels, alternately below and above the axis.
    EXPECT_TRUE(ShowsLabel(image, "1.00", {kPreviewCx + 16 - 6, kPreviewCy + 17}));
    EXPECT_TRUE(ShowsLabel(image, "2.00", {kPreviewCx + 32 - 6, kPreviewCy - 34}));
    EXPECT_TRUE(ShowsLabel(image, "3.00", {kPreviewCx + 48 - 6, kPreviewCy + 17}));
    EXPECT_TRUE(ShowsLabel(image, "-1.00", {kPreviewCx - 16 - 6, kPreviewCy + 17}));
    EXPECT_TRUE(ShowsLabel(image, "-2.00", {kPreviewCx - 32 - 6, kPreviewCy - 34}));
    EXPECT_FALSE(ShowsLabel(image, "1.00", {kPreviewCx + 16 - 6, kPreviewCy - 34}));
    EXPECT_FALSE(ShowsLabel(image, "2.00", {kPreviewCx + 32 - 6, kPreviewCy + 17}));
}

// The labels kept between frames draw exactly what drawing them afresh draws: over
// a noisy picture (their smoothed edges blend with it), in several units, spacings
// and fonts, the first time and from the cache.
TEST(LiveOverlays, CachedLabelsDrawTheSamePixelsAsFreshOnes)
{
    QImage noise(kPreview, QImage::Format_RGB32);
    std::mt19937 random(3);
    for (int y = 0; y < noise.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(noise.scanLine(y));
        for (int x = 0; x < noise.width(); ++x) {
            line[x] = 0xff000000u | (random() & 0xffffffu);
        }
    }
    OverlayLabelCache cache;
    for (const auto& [magnification, unit] :
         {std::pair(10.0, "mm"), std::pair(40.0, "mm"), std::pair(10.0, "cm"), std::pair(25.0, "inch"),
          std::pair(300.0, "mil")}) {
        for (const int pixelSize : {9, 13, 17}) {
            OverlayParams params;
            params.crosshairOn = params.scaleLineOn = params.circleGridOn = true;
            params.overlayMagnification = magnification;
            params.pixelsPerUnit = magnification * 1.5 / LabelStepOfUnit(unit);
            params.labelStep = LabelStepOfUnit(unit);
            const auto draw = [&](OverlayLabelCache* labels) {
                QImage image = noise;
                QPainter painter(&image);
                QFont font = painter.font();
                font.setPixelSize(pixelSize);
                painter.setFont(font);
                DrawPreviewOverlays(painter, kPreview, params, labels);
                return image;
            };
            const QImage fresh = draw(nullptr);
            ASSERT_NE(fresh, noise);
            EXPECT_EQ(draw(&cache), fresh) << unit << " " << magnification << " " << pixelSize;
            EXPECT_EQ(draw(&cache), fresh) << unit << " " << magnification << " " << pixelSize;
        }
    }
}

TEST(LiveOverlays, AboveMagnificationThirtyTheTicksAreFiner)
{
    LiveOverlays overlays;
    // 40 x: 60 pixels per millimetre; ticks every 3 pixels, labels every 60.
    overlays.ToggleScaleLine(Reads(Scale(40, "mm", 2, {2592, 1944})));
    const QImage image = Preview(overlays);
    EXPECT_TRUE(IsRed(image.pixel(kPreviewCx + 12, kPreviewCy - 5)));
    EXPECT_TRUE(IsRed(image.pixel(kPreviewCx + 15, kPreviewCy - 5)));
    EXPECT_FALSE(IsRed(image.pixel(kPreviewCx + 13, kPreviewCy - 5)));
    EXPECT_TRUE(ShowsLabel(image, "1.00", {kPreviewCx + 60 - 6, kPreviewCy + 17}));

    // Exactly 30 still ticks coarsely: 45 pixels per millimetre, ticks every 11.
    LiveOverlays at30;
    at30.ToggleScaleLine(Reads(Scale(30, "mm", 2, {2592, 1944})));
    const QImage coarse = Preview(at30);
    EXPECT_TRUE(IsRed(coarse.pixel(kPreviewCx + 22, kPreviewCy - 5)));
    EXPECT_FALSE(IsRed(coarse.pixel(kPreviewCx + 15, kPreviewCy - 5)));
}

TEST(LiveOverlays, MilAtOrdinaryMagnificationDrawsTheAxesAlone)
{
    LiveOverlays overlays;
    const GuideScale mil = Scale(10, "mil", 0, {1280, 1024});
    overlays.ToggleScaleLine(Reads(mil));
    overlays.ToggleCircleGrid(Reads(mil));
    ASSERT_LT(overlays.Snapshot().pixelsPerUnit, 0.5);
    const QImage image = Preview(overlays);
    int wrong = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const bool onAxis = x == kPreviewCx || y == kPreviewCy;
            wrong += IsRed(image.pixel(x, y)) != onAxis;
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST(LiveOverlays, CircleGridCirclesOneUnitApart)
{
    LiveOverlays overlays;
    overlays.ToggleCircleGrid(Reads(Scale(10, "mm", 2, {2592, 1944}))); // 15 pixels per mm
    const QImage image = Preview(overlays);
    for (const int radius : {15, 30, 45}) {
        EXPECT_TRUE(IsRed(image.pixel(kPreviewCx + radius, kPreviewCy + 1))) << radius;
        EXPECT_TRUE(IsRed(image.pixel(kPreviewCx - 1, kPreviewCy - radius))) << radius;
        EXPECT_FALSE(IsRed(image.pixel(kPreviewCx + radius - 3, kPreviewCy + 1))) << radius;
    }
    // No labels and no ticks.
    EXPECT_FALSE(IsRed(image.pixel(kPreviewCx + 4, kPreviewCy - 6)));
}

TEST(LiveOverlays, CrosshairThroughTheMiddleOfPreviewAndStill)
{
    LiveOverlays overlays;
    overlays.ToggleCrosshair();
    const QImage preview = Preview(overlays);
    EXPECT_TRUE(IsWhite(preview.pixel(10, 240)));
    EXPECT_TRUE(IsWhite(preview.pixel(320, 470)));
    EXPECT_FALSE(IsWhite(preview.pixel(10, 241)));

    // 3 pixels wide in a still.
    const QImage still = Still(overlays, {2592, 1944});
    EXPECT_TRUE(IsWhite(still.pixel(100, 971)));
    EXPECT_TRUE(IsWhite(still.pixel(100, 972)));
    EXPECT_TRUE(IsWhite(still.pixel(100, 973)));
    EXPECT_FALSE(IsWhite(still.pixel(100, 975)));
    EXPECT_TRUE(IsWhite(still.pixel(1296, 1900)));

    overlays.ToggleCrosshair();
    EXPECT_FALSE(IsWhite(Preview(overlays).pixel(10, 240)));
}

// The preview shows the top 960 rows of such a frame: its middle is row 480.
TEST(LiveOverlays, TallStillHasItsGuidesAtRow480)
{
    LiveOverlays overlays;
    overlays.ToggleCrosshair();
    overlays.ToggleScaleLine(Reads(Scale(10, "mm", 0, {1280, 1024})));
    const QImage still = Still(overlays, {1280, 1024});
    EXPECT_TRUE(IsWhite(still.pixel(100, 479)));
    EXPECT_TRUE(IsWhite(still.pixel(100, 481)));
    EXPECT_FALSE(IsWhite(still.pixel(100, 512)));
    // The scale line's axes, drawn after the crosshair, and their ticks.
    EXPECT_TRUE(IsRed(still.pixel(2, 480)));
    EXPECT_TRUE(IsRed(still.pixel(640, 900)));
    const int spacing = int(overlays.Snapshot().pixelsPerUnit * 2 * 0.25 + 0.5);
    ASSERT_GT(spacing, 1);
    EXPECT_TRUE(IsRed(still.pixel(640 + spacing, 480 - 6)));
    EXPECT_TRUE(IsRed(still.pixel(640 + 5, 480 + spacing)));
}

TEST(LiveOverlays, SwitchingOnNeedsAMagnificationAndSharesTheSpacing)
{
    LiveOverlays overlays;
    int reads = 0;
    overlays.ToggleScaleLine([&] {
        ++reads;
        return GuideScale{};
    });
    EXPECT_FALSE(overlays.Snapshot().scaleLineOn);

    overlays.ToggleCircleGrid(Reads(Scale(10, "mm", 2, {2592, 1944})));
    overlays.ToggleScaleLine(Reads(Scale(40, "cm", 2, {2592, 1944})));
    OverlayParams params = overlays.Snapshot();
    EXPECT_TRUE(params.circleGridOn);
    EXPECT_TRUE(params.scaleLineOn);
    EXPECT_NEAR(params.pixelsPerUnit, 600.0, 1e-4); // 40 / (0.0066666667 x 10)
    EXPECT_EQ(params.overlayMagnification, 40.0);
    EXPECT_EQ(params.labelStep, 0.1);

    // Switching off reads nothing and keeps the spacing.
    overlays.ToggleScaleLine([&] {
        ++reads;
        return GuideScale{};
    });
    params = overlays.Snapshot();
    EXPECT_FALSE(params.scaleLineOn);
    EXPECT_TRUE(params.circleGridOn);
    EXPECT_NEAR(params.pixelsPerUnit, 600.0, 1e-4);
    EXPECT_EQ(reads, 1);
}

TEST(LiveOverlays, LabelStepsOfTheUnits)
{
    EXPECT_EQ(LabelStepOfUnit("inch"), 0.01);
    EXPECT_EQ(LabelStepOfUnit("mil"), 10.0);
    EXPECT_EQ(LabelStepOfUnit("cm"), 0.1);
    EXPECT_EQ(LabelStepOfUnit("mm"), 1.0);
    EXPECT_EQ(LabelStepOfUnit("furlong"), 1.0);
}

// Magnifications the box lets through but no spacing comes of: the guide still
// draws its axes and returns.
TEST(LiveOverlays, NegativeOrHugeMagnificationsStop)
{
    for (const double magnification : {-20.0, 1e300}) {
        LiveOverlays overlays;
        overlays.ToggleScaleLine(Reads(Scale(magnification, "mm", 2, {2592, 1944})));
        overlays.ToggleCircleGrid(Reads(Scale(magnification, "mm", 2, {2592, 1944})));
        const QImage image = Preview(overlays);
        EXPECT_TRUE(IsRed(image.pixel(5, kPreviewCy))) << magnification;
        const QImage still = Still(overlays, {2592, 1944});
        EXPECT_TRUE(IsRed(still.pixel(5, 972))) << magnification;
    }
}

// Painting threads never see the spacing of one switch-on with the magnification
// of another.
TEST(LiveOverlays, SnapshotsAreNeverTorn)
{
    LiveOverlays overlays;
    overlays.ToggleScaleLine(Reads(Scale(1.0, "mm", 2, {2592, 1944})));
    std::atomic<bool> done{false};
    std::atomic<int> torn{0};
    std::thread reader([&] {
        while (!done.load()) {
            const OverlayParams p = overlays.Snapshot();
            // Every setting below has pixelsPerUnit = magnification x 1.5.
            if (std::abs(p.pixelsPerUnit - p.overlayMagnification * 1.5) > 1e-3) {
                ++torn;
            }
        }
    });
    for (int i = 0; i < 20000; ++i) {
        const double magnification = 1 + i % 97;
        overlays.ToggleScaleLine(Reads(Scale(magnification, "mm", 2, {2592, 1944})));
        overlays.ToggleScaleLine(Reads(Scale(magnification, "mm", 2, {2592, 1944})));
    }
    done = true;
    reader.join();
    EXPECT_EQ(torn.load(), 0);
}

} // namespace
