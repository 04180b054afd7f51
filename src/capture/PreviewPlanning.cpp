#include "capture/PreviewPlanning.h"

#include <algorithm>

namespace {
constexpr int kTallFrameWidth = 1280;
constexpr int kTallFrameHeight = 1024;
constexpr int kTallFrameExtra = 32;
// The decoder's fast scales, smallest first.
constexpr int kJpegDenominators[] = {8, 4, 2};

int ScaledSide(int side, int denominator)
{
    return (side + denominator - 1) / denominator;
}

PreviewPlan PlanJpeg(int frameWidth, int frameHeight, int targetWidth, int targetHeight)
{
    const auto atWidth =
        static_cast<int>((static_cast<long long>(targetWidth) * frameHeight + frameWidth - 1) / frameWidth);
    const int neededHeight = std::min(targetHeight, atWidth);
    for (const int denominator : kJpegDenominators) {
        const int w = ScaledSide(frameWidth, denominator);
        const int h = ScaledSide(frameHeight, denominator);
        if (w >= targetWidth && h >= neededHeight) {
            return PreviewPlan{w, h, denominator, false};
        }
    }
    return PreviewPlan{frameWidth, frameHeight, 1, false};
}
} // namespace

int StretchedHeight(int frameWidth, int frameHeight, int pictureHeight)
{
    const bool tall = frameWidth == kTallFrameWidth && frameHeight == kTallFrameHeight;
    return pictureHeight + (tall ? kTallFrameExtra : 0);
}

PreviewPlan PlanPreview(CameraSubtype subtype, int frameWidth, int frameHeight, QSize picture)
{
    const PreviewPlan full{frameWidth, frameHeight, 1, false};
    if (frameWidth <= 0 || frameHeight <= 0 || picture.width() <= 0 || picture.height() <= 0) {
        return full;
    }
    const int targetWidth = picture.width();
    const int targetHeight = StretchedHeight(frameWidth, frameHeight, picture.height());
    if (subtype == CameraSubtype::MJPG) {
        return PlanJpeg(frameWidth, frameHeight, targetWidth, targetHeight);
    }
    const bool smaller = targetWidth <= frameWidth && targetHeight <= frameHeight &&
                         (targetWidth < frameWidth || targetHeight < frameHeight);
    return smaller ? PreviewPlan{targetWidth, targetHeight, 1, true} : full;
}
