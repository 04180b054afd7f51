// How the ruler is found:
//  1. Directions: a histogram of edge directions (half-degree bins, weighted by edge
//     strength) gives the strongest one and the one across it; the ticks' edges point
//     along the ruler, its base line across it, so the ruler's axis is among them.
//  2. For each direction the picture is projected onto the axis in half-pixel bins,
//     in strips 8 pixels wide across it. The power spectrum of the whole projection
//     gives the period of the ticks (the lowest strong whole fraction of the
//     strongest peak, since thin ticks have harmonics as strong as the fundamental);
//     the direction whose period stands highest above the spectrum's median wins.
//  3. The strips where that period is strong are the ruler's band. Its position in
//     the left and the right half of the picture corrects the direction, and the
//     band alone is projected again with every pixel, at the corrected angle.
//  4. Tick fit: in a window one period long around each expected tick, the phase of
//     the period's component gives the tick's position to a fraction of a pixel
//     (the profile's mean over one period is taken off first, which leaves the ticks
//     and drops the light's slow changes). A straight line through the positions of
//     all ticks against their division numbers has the pitch as its slope; ticks far
//     off the line (hidden by a cell, a label) are dropped. The 95 % interval comes
//     from the scatter about the line, widened for the correlation of neighbouring
//     ticks' errors.
//  5. Refusals: no direction with a clearly periodic projection, fewer than eight
//     ticks on the line, ticks scattered by more than an eighth of the pitch (not a
//     regular ruler), or an interval wider than kRulerMaxRelativeUncertainty.
#include "measure/RulerFinder.h"

#include "measure/RulerFit.h"
#include "measure/RulerProfile.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>

namespace {

using namespace ruler;

constexpr double kMinPitch = 1.9;  // picture pixels
constexpr double kMaxPitch = 64.0; // picture pixels
// Power of the ticks' period over the spectrum's median; noise and clutter stay far below.
constexpr double kMinProminence = 20.0;
// Largest scatter of the ticks about the line, as a share of the pitch.
constexpr double kMaxScatter = 0.125;
// Strips belong to the band from this share of the strongest strip's amplitude.
constexpr double kBandShare = 0.25;
// Share of the windows between the first and the last tick that must hold one.
constexpr double kMinCoverage = 0.75;
// Rounds of straightening the axis by the ticks' tilt, and the share of the stronger
// half's amplitude the weaker one needs for it.
constexpr int kTiltRounds = 3;
constexpr double kTiltAmplitudeShare = 0.2;
// Largest correction of the edge direction from the band's course.
constexpr double kMaxTurn = 3.0 * std::numbers::pi / 180;
// Larger pictures are searched on every second line across the axis.
constexpr long kSearchFullPixels = 1500000;

struct Candidate {
    Projection projection;
    Periodicity periodicity;
    int strip = 0; // the strip where the period stands out most
};

// Takes the projection when one of its strips' profiles is more clearly periodic
// than the best so far.
void BestStrip(Projection&& p, Candidate& best)
{
    bool better = false;
    for (int s = 0; s < p.strips; ++s) {
        const Periodicity q =
            FindPeriodicity(Profile(p, s, s), kMinPitch * kBinsPerPixel, kMaxPitch * kBinsPerPixel);
        if (q.prominence > best.periodicity.prominence) {
            best.periodicity = q;
            best.strip = s;
            better = true;
        }
    }
    if (better) {
        best.projection = std::move(p);
    }
}

Candidate BestDirection(const QImage& grey)
{
    const int step = static_cast<long>(grey.width()) * grey.height() > kSearchFullPixels ? 2 : 1;
    constexpr double kEverywhere = std::numeric_limits<double>::max();
    Candidate best;
    for (const double angle : CandidateDirections(grey)) {
        BestStrip(Project(grey, angle, step, -kEverywhere, kEverywhere, kSearchStripWidth), best);
    }
    return best;
}

struct Band {
    double angle = 0.0;
    double sFrom = 0.0;
    double sTo = 0.0;
};

// The band of strips holding the ticks, with the axis turned to follow it.
Band FindBand(const Candidate& c)
{
    const Projection& p = c.projection;
    const std::vector<std::complex<double>> carrier = Carrier(p.bins, c.periodicity.period);
    const int mid = p.bins / 2;
    std::vector<double> left(p.strips), right(p.strips), both(p.strips);
    for (int s = 0; s < p.strips; ++s) {
        const std::vector<double> hp = HighPass(Profile(p, s, s), c.periodicity.period);
        left[s] = Amplitude(hp, carrier, 0, mid);
        right[s] = Amplitude(hp, carrier, mid, p.bins);
        both[s] = std::hypot(left[s], right[s]);
    }
    const int peak = c.strip;
    const double floor = kBandShare * both[peak];
    int lo = peak, hi = peak;
    // One weak strip (a cell, the base line) does not end the band.
    while (lo > 0 && (both[lo - 1] >= floor || (lo > 1 && both[lo - 2] >= floor))) {
        --lo;
    }
    while (hi + 1 < p.strips && (both[hi + 1] >= floor || (hi + 2 < p.strips && both[hi + 2] >= floor))) {
        ++hi;
    }
    double wl = 0, sl = 0, wr = 0, sr = 0;
    for (int s = lo; s <= hi; ++s) {
        wl += left[s] * left[s], sl += left[s] * left[s] * s;
        wr += right[s] * right[s], sr += right[s] * right[s] * s;
    }
    const double centreLeft = wl > 0 ? sl / wl : peak;
    const double centreRight = wr > 0 ? sr / wr : peak;
    const double leverArm = (p.bins / 2.0) / kBinsPerPixel;
    const double measuredTurn = std::atan((centreRight - centreLeft) * p.stripWidth / leverArm);
    // The edge directions are good to a fraction of a degree; a larger turn comes
    // from a band that is not one ruler.
    const double turn = std::fabs(measuredTurn) <= kMaxTurn ? measuredTurn : 0.0;
    Band band;
    band.angle = c.projection.angle + turn;
    // The band's middle as a picture point, then across the turned axis.
    const double t = p.tMin + (p.bins / 2.0) / kBinsPerPixel;
    const double s = p.sMin + ((centreLeft + centreRight) / 2 + 0.5) * p.stripWidth;
    const double ux = std::cos(p.angle), uy = std::sin(p.angle);
    const double x = t * ux - s * uy, y = t * uy + s * ux;
    const double across = -x * std::sin(band.angle) + y * std::cos(band.angle);
    const double half = ((hi - lo + 1) / 2.0 + 1.5) * p.stripWidth;
    band.sFrom = across - half;
    band.sTo = across + half;
    return band;
}

// The band turned to `angle` about the point of its middle line nearest to `pivot`.
Band Turned(const Band& band, double angle, QPointF pivot)
{
    const double ux = std::cos(band.angle), uy = std::sin(band.angle);
    const double s = (band.sFrom + band.sTo) / 2, half = (band.sTo - band.sFrom) / 2;
    const double t = pivot.x() * ux + pivot.y() * uy;
    const double x = t * ux - s * uy, y = t * uy + s * ux;
    const double across = -x * std::sin(angle) + y * std::cos(angle);
    return {angle, across - half, across + half};
}

// The band cut down to the fine strips where the period is strong.
Band Narrowed(const QImage& grey, Band band, double period)
{
    const Projection p = Project(grey, band.angle, 1, band.sFrom, band.sTo, kStripWidth / 2);
    const std::vector<std::complex<double>> carrier = Carrier(p.bins, period);
    std::vector<double> amplitude(p.strips);
    for (int s = 0; s < p.strips; ++s) {
        amplitude[s] = Amplitude(HighPass(Profile(p, s, s), period), carrier, 0, p.bins);
    }
    const auto strongest = std::max_element(amplitude.begin(), amplitude.end());
    if (strongest == amplitude.end() || *strongest <= 0) {
        return band;
    }
    int lo = int(strongest - amplitude.begin()), hi = lo;
    while (lo > 0 && amplitude[lo - 1] >= kBandShare * *strongest) {
        --lo;
    }
    while (hi + 1 < p.strips && amplitude[hi + 1] >= kBandShare * *strongest) {
        ++hi;
    }
    const double from = p.sMin + (lo - 1) * p.stripWidth, to = p.sMin + (hi + 2) * p.stripWidth;
    return {band.angle, std::max(band.sFrom, from), std::min(band.sTo, to)};
}

// The ticks' own tilt corrects the axis: the phase of the period in the band's two
// halves differs by the tilt times the distance between them.
Band Straightened(const QImage& grey, Band band, double period)
{
    for (int round = 0; round < kTiltRounds; ++round) {
        band = Narrowed(grey, band, period);
        const double halfWidth = (band.sTo - band.sFrom) / 2;
        const Projection p = Project(grey, band.angle, 1, band.sFrom, band.sTo, halfWidth + 1e-6);
        if (p.strips < 2) {
            return band;
        }
        const std::vector<std::complex<double>> carrier = Carrier(p.bins, period);
        double a0 = 0, a1 = 0;
        const double phase0 = Phase(HighPass(Profile(p, 0, 0), period), carrier, a0);
        const double phase1 = Phase(HighPass(Profile(p, 1, 1), period), carrier, a1);
        if (std::min(a0, a1) < kTiltAmplitudeShare * std::max(a0, a1)) {
            return band;
        }
        // A tick at bin b has phase -2 pi b / period.
        const double shift = -std::remainder(phase1 - phase0, 2 * std::numbers::pi) / (2 * std::numbers::pi) *
                             period / kBinsPerPixel;
        const double tilt = -std::atan(shift / halfWidth);
        if (std::fabs(tilt) > kMaxTurn) {
            return band;
        }
        band = Turned(band, band.angle + tilt, QPointF(grey.width() / 2.0, grey.height() / 2.0));
    }
    return band;
}

RulerFinding Finding(const Projection& p, const TickFit& fit, const Band& band)
{
    RulerFinding r;
    r.pitch = fit.pitch / kBinsPerPixel;
    r.pitchLow = (fit.pitch - fit.halfWidth95) / kBinsPerPixel;
    r.pitchHigh = (fit.pitch + fit.halfWidth95) / kBinsPerPixel;
    r.divisions = fit.index.back() - fit.index.front();
    r.angleDegrees = std::fmod(band.angle * 180 / std::numbers::pi + 360.0, 180.0);
    const double ux = std::cos(band.angle), uy = std::sin(band.angle);
    const double s = (band.sFrom + band.sTo) / 2;
    for (const double x : fit.positions) {
        const double t = p.tMin + x / kBinsPerPixel;
        r.ticks.emplace_back(t * ux - s * uy, t * uy + s * ux);
    }
    const double half = std::max(3.0, r.pitch / 2);
    r.tickHalfLength = QPointF(-uy * half, ux * half);
    r.status = r.RelativeUncertainty() <= kRulerMaxRelativeUncertainty ? RulerStatus::Found
                                                                       : RulerStatus::TooUncertain;
    return r;
}

// The tick fit at the period found and at a fifth and a tenth of it: the
// long ticks every 5 and 10 can outweigh the fine ones. The finest period whose
// windows nearly all hold a tick wins (a fraction of the true pitch leaves most
// windows empty).
TickFit BestFit(const std::vector<double>& profile, double period)
{
    TickFit chosen;
    for (const double factor : {1.0, 1.0 / 5, 1.0 / 10}) {
        const double candidate = period * factor;
        if (candidate < kMinPitch * kBinsPerPixel || candidate > kMaxPitch * kBinsPerPixel) {
            continue;
        }
        TickFit fit = FitTicks(profile, candidate);
        if (fit.positions.empty() || fit.residualRms > kMaxScatter * fit.pitch) {
            continue;
        }
        const double span = fit.index.back() - fit.index.front() + 1;
        if (fit.positions.size() >= kMinCoverage * span) {
            chosen = std::move(fit);
        }
    }
    return chosen;
}

} // namespace

RulerFinding FindRuler(const QImage& picture)
{
    RulerFinding none;
    if (picture.width() < 32 || picture.height() < 32) {
        return none;
    }
    const QImage grey = picture.convertToFormat(QImage::Format_Grayscale8);
    const Candidate best = BestDirection(grey);
    if (best.periodicity.prominence < kMinProminence) {
        return none;
    }
    const Band band = Straightened(grey, FindBand(best), best.periodicity.period);
    const Projection p = Project(grey, band.angle, 1, band.sFrom, band.sTo, band.sTo - band.sFrom + 1);
    const std::vector<double> profile = Profile(p, 0, 0);
    const Periodicity q = FindPeriodicity(profile, kMinPitch * kBinsPerPixel, kMaxPitch * kBinsPerPixel);
    const TickFit fit = BestFit(profile, q.prominence >= kMinProminence ? q.period : best.periodicity.period);
    if (fit.positions.empty()) {
        return none;
    }
    return Finding(p, fit, band);
}
