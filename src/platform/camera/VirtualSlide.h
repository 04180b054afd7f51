#pragma once
// The picture of the virtual microscope: a stage-micrometer slide (a ruler with
// 0.01 mm divisions) seen at a chosen magnification, with a small cell drifting
// across it. Its optics are those the program's nominal scale assumes, but 3 %
// stronger, as a real microscope is a little off its nominal magnification: a
// calibration has something to correct.
// The slide is rendered once per size and picture-property set; each frame copies
// it and draws only the cell, so even 2592 x 1944 frames are cheap.
#include "platform/camera/DepthSlide.h"

#include <QImage>
#include <cstddef>
#include <cstdint>
#include <vector>

// Picture-property values the slide is rendered with.
struct SlideLook {
    int brightness = 0;        // -64 .. 64
    int contrast = 32;         // 0 .. 64, 32 neutral
    int saturation = 64;       // 0 .. 128, 64 neutral
    int sharpness = 3;         // 0 .. 6, 3 neutral
    int gamma = 100;           // 72 .. 500, 100 neutral
    int hue = 0;               // -40 .. 40 degrees
    int focus = kFocusDefault; // only the depth slide has depth
    friend bool operator==(const SlideLook&, const SlideLook&) = default;
};

inline constexpr double kSlideNominalMagnification = 60.0;
// How much stronger the virtual optics are than the nominal magnification says.
inline constexpr double kSlideMagnificationError = 1.03;

// Picture pixels per 0.01 mm division in a width x height frame of a sensor class
// at a nominal magnification.
double PixelsPerDivision(int deviceClass, int width, int height, double magnification);

// The slides the virtual microscope can show.
enum class VirtualSlideKind { Ruler, Depth };

// The slide as RGB, with the look applied.
QImage RenderSlide(int deviceClass, int width, int height, const SlideLook& look,
                   double magnification = kSlideNominalMagnification);
// Applies the look's sharpness and tone to an RGB888 picture.
void ApplyLook(QImage& rgb888, const SlideLook& look);

// One frame size's pre-rendered slide in packed YUYV and planar 4:2:2 forms.
class SlideFrames {
public:
    // `withCell`: the ruler slide's drifting cell is drawn over the picture.
    void Prepare(const QImage& slide, bool withCell = true);
    int width() const { return m_width; }
    int height() const { return m_height; }
    // The slide with the cell at its position for `seconds`, as YUYV (width * height * 2 bytes).
    void ComposeYuyv(double seconds, std::uint8_t* out) const;
    // The same as planar Y, U, V (U and V at half width) for the JPEG encoder.
    void ComposePlanes(double seconds, std::uint8_t* y, std::uint8_t* u, std::uint8_t* v) const;

private:
    struct Disc {
        int cx, cy, radius;
    };
    Disc CellAt(double seconds) const;

    int m_width = 0;
    int m_height = 0;
    bool m_withCell = true;
    std::vector<std::uint8_t> m_yuyv;
    std::vector<std::uint8_t> m_y, m_u, m_v;
};
