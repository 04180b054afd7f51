#pragma once
// Fusing aligned frames by local sharpness.
//
// Model: the specimen has one depth per point, and a point is sharpest in the frame
// whose focus plane passes through it. Sharpness is measured per frame at half size,
// on the frame's own pixels: the squared Laplacian of luma, averaged over about 9 x 9
// full-size pixels (two box passes). Only that smooth measure is carried into the
// reference's geometry; resampling the frame itself first would soften every frame
// but the reference (a fraction of a pixel off, fine grain loses most of its
// Laplacian) and pull the depth towards the reference. Per pixel the frame with the largest
// measure wins; a parabola through the winner and its two neighbours in the series
// places the depth between frames. That depth map is smoothed with each point
// weighted by its confidence (how far the winner stands above the weakest frame),
// so flat areas take the depth of the textured ones around them instead of noise.
// The picture then takes each pixel from the frame at that depth, blended with the
// next frame by the fractional part (steepened, so most pixels come from one frame):
// neighbouring frames look alike, so the change from one frame to the next is
// gradual and leaves no seams, and a depth edge moves from one frame to another
// within a few pixels, so no halo of the blurred frames grows around raised objects.
#include "image/stack/GreyPlane.h"
#include "image/stack/StackAlignment.h"

#include <QImage>
#include <cstdint>
#include <vector>

// The sharpness of one frame (half-size luma), measured on its own pixels and carried
// into the reference's geometry; -1 where the frame does not cover the reference.
GreyPlane FocusMeasure(const GreyPlane& halfLuma, const FrameTransform& toFrame);

// Collects the frames' focus measures in series order (0, 1, ...) without keeping them.
class DepthAccumulator {
public:
    DepthAccumulator(int width, int height);
    void Add(const GreyPlane& focus);
    // Fractional frame index per half-size pixel, smoothed by confidence; `fallback`
    // where no frame is sharper than another.
    GreyPlane DepthMap(float fallback) const;

private:
    int m_width, m_height, m_added = 0;
    std::vector<float> m_best, m_below, m_above, m_min, m_previous;
    std::vector<std::uint8_t> m_index;
};

// The fused RGB32 picture: each pixel from the frames around its depth.
QImage Composite(const std::vector<QImage>& frames, const std::vector<FrameTransform>& toFrame,
                 const GreyPlane& depth, int referenceIndex);
