#pragma once
// The virtual microscope's second slide: a specimen with depth. A ruler lies tilted
// on a grained metal stage (its left end low, its right end high) and three beads
// stand up from it, so no focus setting shows all of it sharp.
//
// Optics model: every point of the specimen has a height h in focus-control units
// (0 .. 255, the same scale as the focus control). With the focus plane at f, a
// point is spread over a disc of confusion of radius
//     r = kBlurPerUnit * |h - f|   full-size pixels (scaled with the frame width),
// which grows linearly with the distance from the focus plane, as for a thin lens
// near focus. The disc is drawn as a blur with the disc's spread (variance r^2 / 4
// along each axis): two fractional box passes per axis. Each output pixel takes the
// blur of its own height (a gather model: occlusion at depth edges is left out), so
// the all-in-focus picture is exactly the specimen itself: `Truth()`.
// Blurred copies at a ladder of radii are made once per size; a frame at focus f
// interpolates, per pixel, between the two copies around its radius.
#include <QImage>
#include <vector>

inline constexpr int kFocusMin = 0;
inline constexpr int kFocusMax = 255;
inline constexpr int kFocusStep = 1;
inline constexpr int kFocusDefault = 113; // the fifth of ten even steps from near to far

class DepthSlide {
public:
    DepthSlide(int width, int height);
    int width() const { return m_truth.width(); }
    int height() const { return m_truth.height(); }
    // The specimen sharp everywhere (RGB32).
    const QImage& Truth() const { return m_truth; }
    // Height in focus units at a pixel.
    float HeightAt(int x, int y) const { return m_height[static_cast<std::size_t>(y) * width() + x]; }
    // Radius of the disc of confusion, in pixels, of a point `distance` focus units away.
    double BlurRadius(double distance) const;
    // The specimen as the camera sees it with the focus at `focus` (RGB32).
    QImage AtFocus(double focus) const;

private:
    void BuildLevels();

    QImage m_truth;
    std::vector<float> m_height;
    std::vector<double> m_radii;  // the ladder
    std::vector<QImage> m_levels; // m_truth blurred by each radius
};

// One frame of a focus series and where it was taken.
struct FocusSeriesFrame {
    QImage picture;
    double focus = 0.0;
    double scale = 1.0, dx = 0.0, dy = 0.0; // as ShiftedAndScaled applied them
};
// `count` frames from near to far, each moved a little further than the one before
// (drift of a hand-held microscope and breathing of its focus); the middle frame
// (count / 2) is not moved, so Truth() shows the specimen in its geometry.
std::vector<FocusSeriesFrame> FocusSeries(const DepthSlide& slide, int count);

// The picture scaled about its centre by `scale` and shifted by (dx, dy) pixels, as a
// camera sees it when the specimen moves or the focus breathes (bilinear; the edge
// pixels repeat where the picture runs out).
QImage ShiftedAndScaled(const QImage& rgb32, double scale, double dx, double dy);
