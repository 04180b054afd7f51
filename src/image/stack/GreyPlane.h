#pragma once
// Grey pictures the stacker measures with: half-size luma of a frame, smaller
// levels of it, bilinear sampling and box blurs.
#include <QImage>
#include <cstdint>
#include <vector>

struct GreyPlane {
    int width = 0;
    int height = 0;
    std::vector<float> pixels;

    float at(int x, int y) const { return pixels[static_cast<std::size_t>(y) * width + x]; }
    float* row(int y) { return pixels.data() + static_cast<std::size_t>(y) * width; }
    const float* row(int y) const { return pixels.data() + static_cast<std::size_t>(y) * width; }
    // Bilinear sample; false when (x, y) lies outside the plane.
    bool Sample(float x, float y, float* value) const;
};

// Luma of an RGB32 frame averaged over 2 x 2 blocks (half width, half height).
GreyPlane HalfSizeLuma(const QImage& rgb32);
// The plane averaged over 2 x 2 blocks.
GreyPlane HalfSize(const GreyPlane& plane);
// Box blur of radius r along rows then columns, in place (edges clamp).
void BoxBlur(GreyPlane& plane, int radius);
