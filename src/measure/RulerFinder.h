#pragma once
// Finds a stage micrometer's ruler in a picture: its direction, the ticks it has
// and their pitch in picture pixels, with a 95 % interval. Refuses, rather than
// guess, when the picture holds no regular ruler or the pitch is too uncertain
// to calibrate with.
#include <QImage>
#include <QPointF>
#include <vector>

enum class RulerStatus {
    Found,
    NoRuler,      // no regular row of ticks in the picture
    TooUncertain, // ticks found, but the pitch is not known well enough
};

struct RulerFinding {
    RulerStatus status = RulerStatus::NoRuler;
    double pitch = 0.0;    // picture pixels per division
    double pitchLow = 0.0; // 95 % interval of the pitch
    double pitchHigh = 0.0;
    int divisions = 0;          // divisions between the first and the last tick used
    double angleDegrees = 0.0;  // direction of the ruler, clockwise from the picture's x axis
    std::vector<QPointF> ticks; // centres of the ticks used, picture coordinates
    QPointF tickHalfLength;     // from a tick's centre to one of its ends

    // Half the 95 % interval as a share of the pitch.
    double RelativeUncertainty() const { return pitch > 0 ? (pitchHigh - pitchLow) / (2 * pitch) : 0.0; }
};

// Finds tick pitches of about 2 to 60 pixels at any angle.
RulerFinding FindRuler(const QImage& picture);

// Largest share of the pitch (half the 95 % interval) a calibration may carry.
inline constexpr double kRulerMaxRelativeUncertainty = 0.005;
