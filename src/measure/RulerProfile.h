#pragma once
// The ruler finder's view of a picture: edge directions, the picture projected
// onto an axis in half-pixel bins (strips across the axis kept apart), and the
// strongest regular period of a profile.
#include <QImage>
#include <complex>
#include <cstddef>
#include <cstdint>
#include <vector>

namespace ruler {

// Profiles are sampled at two bins per picture pixel.
inline constexpr double kBinsPerPixel = 2.0;
// Width of the strips across the axis, in picture pixels: narrow where the band of
// ticks is measured, wider where the picture is searched for it.
inline constexpr double kStripWidth = 8.0;
inline constexpr double kSearchStripWidth = 16.0;

// Axis directions (radians in [0, pi)) worth trying: those of the strongest edges
// and the ones across them, each followed by a neighbour on either side.
inline constexpr std::size_t kDirectionsPerEdge = 3;
std::vector<double> CandidateDirections(const QImage& grey);

// The picture's pixels summed into bins of t (position along the axis, half a pixel
// each) and strips of s (position across it). Only pixels with s in [sFrom, sTo) and
// on every `step`-th line across the axis take part.
struct Projection {
    double angle = 0.0;
    double tMin = 0.0;
    double sMin = 0.0;
    double stripWidth = kStripWidth;
    int bins = 0;
    int strips = 0;
    std::vector<float> sum;           // strips x bins
    std::vector<std::uint16_t> count; // strips x bins
};
Projection Project(const QImage& grey, double angle, int step, double sFrom, double sTo, double stripWidth);

// Mean grey value per bin over the strips [first, last]; NaN where no pixel fell,
// except inside runs of pixels, where gaps are filled from their neighbours.
std::vector<double> Profile(const Projection& projection, int first, int last);

struct Periodicity {
    double period = 0.0;     // in bins
    double prominence = 0.0; // peak power over the median power of the searched band
};
// The fundamental period of a profile between the two periods (bins).
Periodicity FindPeriodicity(const std::vector<double>& profile, double minPeriod, double maxPeriod);

// The profile less its mean over one period around each bin: keeps the ticks, drops
// the slow changes of light. NaN stays NaN.
std::vector<double> HighPass(const std::vector<double>& profile, double period);

// exp(-2 pi i j / period) for every bin j, shared by the amplitudes of many strips.
std::vector<std::complex<double>> Carrier(int bins, double period);
// Phase of the carrier's period over the whole high-passed profile, with its strength.
double Phase(const std::vector<double>& highPassed, const std::vector<std::complex<double>>& carrier,
             double& amplitude);
// Strength of the carrier's period in the high-passed profile's bins [from, to).
double Amplitude(const std::vector<double>& highPassed, const std::vector<std::complex<double>>& carrier,
                 int from, int to);

} // namespace ruler
