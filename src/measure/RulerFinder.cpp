// How the ruler is found:
//  1. Directions: a histogram of edge directions (half-degree bins, weighted by edge
//     strength) gives the strongest one and the one across it; the ticks' edges point
//     along the ruler, its base line across it, so the ruler's axis is among them.
//  2. For each direction the picture is projected onto the axis in half-pixel bins,
//     in strips 16 pixels wide across it. The power spectrum of a strip's profile
//     gives the period of the ticks (the lowest strong whole fraction of the
//     strongest peak, since thin ticks have harmonics as strong as the fundamental);
//     the direction and strip whose period stands highest above its spectral
//     surroundings win. In a large picture only the few strips with the most fine
//     detail (the steps between neighbouring bins) get a spectrum: the ticks' band
//     is among them, and the spectra are most of the search's time.
//  3. The strips where that period is strong are the ruler's band. The edge direction
//     can be a few degrees off, which shortens the pitch by the cosine of the error
//     and smears the ticks: the axis is turned, coarse to fine, to where the band's
//     projection is sharpest (the largest mean square of the profile less its slow
//     changes), to a few hundredths of a degree.
//  4. Tick fit: in a window one period long around each expected tick, the phase of
//     the period's component gives the tick's position to a fraction of a pixel
//     (the profile's mean over one period is taken off first, which leaves the ticks
//     and drops the light's slow changes). A straight line through the positions of
//     all ticks against their division numbers has the pitch as its slope; ticks far
//     off the line (hidden by a cell, a label) are dropped. The fit is tried at the
//     periods of the band's and the search's spectra and at a fifth and a tenth of
//     each (the long ticks every 5 and 10 can outweigh the fine ones); the finest
//     period whose ticks lie nearly as tightly on their line as the tightest fit's
//     is the pitch (multiples of the pitch fit as tightly, fractions much worse).
//     The 95 % interval comes from the scatter about the line, widened for the
//     correlation of neighbouring ticks' errors. When no period fits, the lags at
//     which the band's profile repeats (its autocorrelation's peaks) are tried as
//     periods, on the band and then each guiding a new band and straightening: the
//     spectrum of thin ticks seen askew can peak at a harmonic or its alias. Half
//     the pitch fits loosely enough to pass when noise fills the empty windows, but
//     every other window's tick is then much weaker, which gives it away; and a half
//     or a third of the pitch leaves the profile repeating at two or three of its
//     periods about as strongly as at one, which a ruler's own pitch never does. The
//     chosen pitch's half and fifth are tried too, as the spectra can peak at two and
//     a half divisions, whose fractions miss the pitch. A band straightened at
//     another period than the pitch found on it (a multiple standing out where the
//     long ticks are) can lie a few degrees off the ruler, which shortens the pitch:
//     it is straightened and measured again at the pitch. When the most prominent
//     direction's period leads to no ticks at all (a moire of the pixel grid along the
//     base line's edge), the runner-up direction's is tried before the repeats.
//  5. Refusals: no direction with a clearly periodic projection, fewer than eight
//     ticks on the line, ticks scattered by more than an eighth of the pitch or
//     missing from many windows (not a regular ruler), or an interval wider than
//     kRulerMaxRelativeUncertainty.
#include "measure/RulerFinder.h"

#include "measure/RulerFit.h"
#include "measure/RulerGrey.h"
#include "measure/RulerHarmonics.h"
#include "measure/RulerProfile.h"
#include "measure/RulerRepeat.h"
#include "platform/threads/ParallelRows.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <numeric>
#include <utility>

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
constexpr double kMinCoverage = 0.55;
// The search for the axis: reach and step in radians, coarse to fine.
constexpr double kDegree = std::numbers::pi / 180;
constexpr std::pair<double, double> kAngleSearch[] = {
    {8 * kDegree, 1 * kDegree}, {1 * kDegree, 0.2 * kDegree}, {0.2 * kDegree, 0.05 * kDegree}};
// Largest correction of the edge direction from the band's course.
constexpr double kMaxTurn = 10.0 * std::numbers::pi / 180;
// A fit is nearly as tight as the tightest when its scatter is at most this many
// times the tightest one's plus the slack (bins).
constexpr double kLooserFit = 1.5;
constexpr double kFitSlack = 0.05;
// A period is a fraction of the pitch when the profile's component at two or three
// times it is at least this share of its own (the pitch's stays below a third; a
// half's or a third's is above one).
constexpr double kFractionStrength = 0.6;
// Reach of the search for a sharper period about a fraction of the coarse one.
constexpr double kNearPeriod = 0.05;
// Larger pictures are searched more sparsely.
constexpr long kSearchFullPixels = 1500000;
// How many of a large picture's strips the search takes the spectrum of, and the
// lines across the axis it projects: every fourth, as the ticks are many lines long
// and the band found is measured on every line.
constexpr int kSearchedStrips = 4;
constexpr int kLargeSearchStep = 4;
// A period this prominent leaves no doubt about the direction.
constexpr double kClearProminence = 3 * kMinProminence;

struct Candidate {
    Projection projection;
    Periodicity periodicity;
    int strip = 0; // the strip where the period stands out most
};

// The strips worth a spectrum: all of them in a small picture; in a large one only
// those with the most fine detail (the ticks' band stands out, while blank field,
// the light's slow changes and faint noise do not).
std::vector<int> StripsToSearch(const Projection& p, bool large)
{
    std::vector<int> strips(p.strips);
    std::iota(strips.begin(), strips.end(), 0);
    if (!large || p.strips <= kSearchedStrips) {
        return strips;
    }
    // Fine detail: the mean square of the steps between neighbouring bins.
    std::vector<double> detail(p.strips, 0.0);
    for (int s = 0; s < p.strips; ++s) {
        const std::size_t row = static_cast<std::size_t>(s) * p.bins;
        double previous = std::numeric_limits<double>::quiet_NaN();
        int used = 0;
        for (int b = 0; b < p.bins; ++b) {
            if (p.count[row + b] == 0) {
                continue;
            }
            const double v = p.sum[row + b] / p.count[row + b];
            if (!std::isnan(previous)) {
                detail[s] += (v - previous) * (v - previous), ++used;
            }
            previous = v;
        }
        detail[s] = used > 0 ? detail[s] / used : 0.0;
    }
    std::partial_sort(strips.begin(), strips.begin() + kSearchedStrips, strips.end(),
                      [&detail](int a, int b) { return detail[a] > detail[b]; });
    strips.resize(kSearchedStrips);
    return strips;
}

// Takes the projection when one of its strips' profiles is more clearly periodic
// than the best so far.
void BestStrip(Projection&& p, bool large, Candidate& best)
{
    bool better = false;
    for (const int s : StripsToSearch(p, large)) {
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

// The two most prominent periods of different directions.
struct Leaders {
    Candidate best;
    Candidate second;
};

// The directions' projections and spectra, side by side on the cores; the first
// direction with the most prominent period wins, as in a plain loop.
void Search(const QImage& grey, const std::vector<double>& directions, bool large, Leaders& leaders)
{
    constexpr double kEverywhere = std::numeric_limits<double>::max();
    std::vector<Candidate> found(directions.size());
    ParallelEach(static_cast<int>(directions.size()), [&](int i) {
        BestStrip(Project(grey, directions[i], large ? kLargeSearchStep : 1, -kEverywhere, kEverywhere,
                          kSearchStripWidth),
                  large, found[i]);
    });
    for (Candidate& c : found) {
        if (c.periodicity.prominence > leaders.best.periodicity.prominence) {
            leaders.second = std::move(leaders.best);
            leaders.best = std::move(c);
        } else if (c.periodicity.prominence > leaders.second.periodicity.prominence) {
            leaders.second = std::move(c);
        }
    }
}

Leaders BestDirections(const QImage& grey)
{
    const bool large = static_cast<long>(grey.width()) * grey.height() > kSearchFullPixels;
    const std::vector<double> directions = CandidateDirections(grey);
    Leaders leaders;
    if (!large) {
        Search(grey, directions, large, leaders);
        return leaders;
    }
    // A large picture tries the edge directions themselves first; their neighbours
    // only when neither shows the ticks clearly (the axis is straightened later).
    std::vector<double> edges, neighbours;
    for (std::size_t i = 0; i < directions.size(); ++i) {
        (i % kDirectionsPerEdge == 0 ? edges : neighbours).push_back(directions[i]);
    }
    Search(grey, edges, large, leaders);
    if (leaders.best.periodicity.prominence < kClearProminence) {
        Search(grey, neighbours, large, leaders);
    }
    return leaders;
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
    // The strips' amplitudes are measured as the walk along the band reaches them.
    std::vector<double> left(p.strips, -1.0), right(p.strips, -1.0);
    const auto both = [&](int s) {
        if (left[s] < 0) {
            const std::vector<double> hp = HighPass(Profile(p, s, s), c.periodicity.period);
            left[s] = Amplitude(hp, carrier, 0, mid);
            right[s] = Amplitude(hp, carrier, mid, p.bins);
        }
        return std::hypot(left[s], right[s]);
    };
    const int peak = c.strip;
    const double floor = kBandShare * both(peak);
    int lo = peak, hi = peak;
    // One weak strip (a cell, the base line) does not end the band.
    while (lo > 0 && (both(lo - 1) >= floor || (lo > 1 && both(lo - 2) >= floor))) {
        --lo;
    }
    while (hi + 1 < p.strips && (both(hi + 1) >= floor || (hi + 2 < p.strips && both(hi + 2) >= floor))) {
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
    ParallelEach(p.strips, [&](int s) {
        amplitude[s] = Amplitude(HighPass(Profile(p, s, s), period), carrier, 0, p.bins);
    });
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

// How sharply the band's ticks stand out when projected along `band.angle`: the
// mean square of the profile less its slow changes. Seen askew, each tick is smeared
// over its length times the tilt and the band drifts off the ruler at its ends, so
// the sharpness peaks where the axis follows the ruler.
double Sharpness(const QImage& grey, const Band& band, double period)
{
    const Projection p = Project(grey, band.angle, 1, band.sFrom, band.sTo, band.sTo - band.sFrom + 1);
    const std::vector<double> hp = HighPass(Profile(p, 0, 0), period);
    // Lined up with the pixel grid a projection is sharper by itself: a running mean
    // over up to two pixels (never more than a quarter of the period) hides that.
    const int smooth = std::clamp(static_cast<int>(period / 4), 1, static_cast<int>(2 * kBinsPerPixel));
    double sum = 0;
    int count = 0;
    for (std::size_t i = 0; i + smooth <= hp.size(); ++i) {
        double v = 0;
        for (int j = 0; j < smooth; ++j) {
            v += hp[i + j];
        }
        if (!std::isnan(v)) {
            sum += v * v, ++count;
        }
    }
    return count > 0 ? sum / count : 0.0;
}

// The band's course can mislead (a cell or the labels over one half of it): the turn
// it suggests is kept only when it makes the ticks sharper than the search's axis.
Band SharperStart(const QImage& grey, const Band& turned, const Band& plain, double period)
{
    Band bands[2] = {turned, plain};
    double sharpness[2] = {};
    ParallelEach(2, [&](int i) {
        bands[i] = Narrowed(grey, bands[i], period);
        sharpness[i] = Sharpness(grey, bands[i], period);
    });
    return sharpness[0] >= sharpness[1] ? bands[0] : bands[1];
}

// The axis turned, coarse to fine, to where the ticks are sharpest, a few degrees
// either side of the edge direction.
Band Straightened(const QImage& grey, const Band& found, double searchAngle, double period)
{
    const QPointF pivot(grey.width() / 2.0, grey.height() / 2.0);
    Band band = SharperStart(grey, found, Turned(found, searchAngle, pivot), period);
    for (const auto& [reach, step] : kAngleSearch) {
        const double from = band.angle;
        std::vector<double> angles;
        for (double a = from - reach; a <= from + reach + 1e-9; a += step) {
            angles.push_back(a);
        }
        // The band as it is first, then each turn; the first sharpest wins.
        std::vector<double> scores(angles.size() + 1);
        ParallelEach(static_cast<int>(scores.size()), [&](int i) {
            scores[i] = Sharpness(grey, i == 0 ? band : Turned(band, angles[i - 1], pivot), period);
        });
        const auto sharpest = std::max_element(scores.begin(), scores.end());
        const double bestAngle = sharpest == scores.begin() ? from : angles[sharpest - scores.begin() - 1];
        band = Narrowed(grey, Turned(band, bestAngle, pivot), period);
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

// The tick fit at a period and at a fifth and a tenth of it (the long ticks every 5
// and 10 can outweigh the fine ones); empty when the ticks do not fit a regular ruler.
TickFit FitAt(const std::vector<double>& profile, double period)
{
    if (period < kMinPitch * kBinsPerPixel || period > kMaxPitch * kBinsPerPixel) {
        return {};
    }
    // A fraction of a coarse period carries its error over many more ticks: the
    // profile's own peak near it is the sharper estimate.
    const Periodicity near = FindPeriodicity(profile, period * (1 - kNearPeriod), period * (1 + kNearPeriod));
    TickFit fit = FitTicks(profile, near.prominence >= kMinProminence ? near.period : period);
    if (fit.positions.empty() || fit.residualRms > kMaxScatter * fit.pitch) {
        return {};
    }
    // A fraction of the true pitch leaves many windows without a tick.
    const double span = fit.index.back() - fit.index.front() + 1;
    if (fit.positions.size() < kMinCoverage * span) {
        return {};
    }
    // Nor does a ruler repeat at two or three divisions nearly as strongly as at one
    // (the long ticks every 5 and 10 add little there): such a period is a half or a
    // third of the pitch, whose ticks can fit a line as tightly as the pitch's.
    for (const double multiple : {2.0, 3.0}) {
        if (StrengthRatio(profile, fit.pitch, multiple) >= kFractionStrength) {
            return {};
        }
    }
    return fit;
}

// Adds the period to those tried unless one of them is as good as the same; true
// when it was added.
bool Untried(std::vector<double>& tried, double period)
{
    if (std::any_of(tried.begin(), tried.end(),
                    [period](double t) { return std::fabs(period / t - 1) < kNearPeriod / 4; })) {
        return false;
    }
    tried.push_back(period);
    return true;
}

// The fit at the finest fraction of the chosen pitch that no spectrum suggested and
// whose ticks lie as tightly on their line (the band's spectrum can peak at two and a
// half divisions, whose fifth and tenth miss the pitch).
TickFit Finer(const std::vector<double>& profile, TickFit chosen, double tightest, std::vector<double>& tried)
{
    for (bool finer = true; finer;) {
        finer = false;
        for (const double factor : {1.0 / 2, 1.0 / 5}) {
            const double candidate = chosen.pitch * factor;
            if (!Untried(tried, candidate)) {
                continue;
            }
            TickFit fit = FitAt(profile, candidate);
            if (!fit.positions.empty() && fit.residualRms <= kLooserFit * tightest + kFitSlack) {
                chosen = std::move(fit);
                finer = true;
                break;
            }
        }
    }
    return chosen;
}

// The ruler's pitch among the periods the spectra suggest, their doubles, fifths and
// tenths (a thin-ticked ruler's second harmonic can stand out most).
// Every whole multiple of the pitch fits the ticks as tightly as the pitch itself,
// a fraction of it much more loosely: the finest period fitting nearly as tightly as
// the tightest one is the pitch.
TickFit BestFit(const std::vector<double>& profile, const std::vector<double>& periods)
{
    std::vector<double> tried;
    for (const double period : periods) {
        for (const double factor : {1.0, 2.0, 1.0 / 5, 1.0 / 10}) {
            Untried(tried, period * factor);
        }
    }
    std::vector<TickFit> fits(tried.size());
    ParallelEach(static_cast<int>(tried.size()), [&](int i) { fits[i] = FitAt(profile, tried[i]); });
    std::erase_if(fits, [](const TickFit& fit) { return fit.positions.empty(); });
    if (fits.empty()) {
        return {};
    }
    double tightest = fits.front().residualRms;
    for (const TickFit& fit : fits) {
        tightest = std::min(tightest, fit.residualRms);
    }
    std::size_t chosen = fits.size();
    for (std::size_t i = 0; i < fits.size(); ++i) {
        const bool tight = fits[i].residualRms <= kLooserFit * tightest + kFitSlack;
        if (tight && (chosen == fits.size() || fits[i].pitch < fits[chosen].pitch)) {
            chosen = i;
        }
    }
    return Finer(profile, std::move(fits[chosen]), tightest, tried);
}

// The ruler measured along the band the search's candidate leads to, with the
// search's period guiding the band and the straightening.
struct Measured {
    Projection projection;
    std::vector<double> profile;
    Band band;
    TickFit fit;
    double guide = 0.0; // the period the band was straightened at
};

Measured MeasureAlong(const QImage& grey, const Candidate& found)
{
    Measured m;
    const double period = found.periodicity.period;
    m.guide = period;
    m.band = Straightened(grey, FindBand(found), found.projection.angle, period);
    m.projection = Project(grey, m.band.angle, 1, m.band.sFrom, m.band.sTo, m.band.sTo - m.band.sFrom + 1);
    m.profile = Profile(m.projection, 0, 0);
    const Periodicity q = FindPeriodicity(m.profile, kMinPitch * kBinsPerPixel, kMaxPitch * kBinsPerPixel);
    // The band alone shows the period at the straightened axis; the search's period,
    // seen askew, is a little short but sometimes the band's spectrum is cluttered.
    m.fit = BestFit(m.profile, {q.period, period});
    return m;
}

Candidate Guided(const Candidate& found, double period)
{
    Candidate guided = found;
    guided.periodicity.period = period;
    return guided;
}

// A band straightened at another period than the pitch found on it (a multiple of the
// pitch standing out where the long ticks are, or a stray period) can be turned a few
// degrees off the ruler, which shortens the pitch: it is measured again, straightened
// at the pitch.
RulerFinding Checked(const QImage& grey, const Candidate& best, Measured m)
{
    if (std::fabs(m.fit.pitch / m.guide - 1) > kNearPeriod) {
        Measured again = MeasureAlong(grey, Guided(best, m.fit.pitch));
        if (!again.fit.positions.empty()) {
            m = std::move(again);
        }
    }
    return Finding(m.projection, m.fit, m.band);
}

} // namespace

RulerFinding FindRuler(const QImage& picture)
{
    if (picture.width() < 32 || picture.height() < 32) {
        return {};
    }
    const QImage grey = GreyPicture(picture);
    const Leaders leaders = BestDirections(grey);
    const Candidate& best = leaders.best;
    if (best.periodicity.prominence < kMinProminence) {
        return {};
    }
    Measured m = MeasureAlong(grey, best);
    if (!m.fit.positions.empty()) {
        return Checked(grey, best, std::move(m));
    }
    // The most prominent period can be a moire of the pixel grid along a strong edge
    // (the base line seen a little askew): the next direction's period is tried.
    if (leaders.second.periodicity.prominence >= kMinProminence) {
        Measured other = MeasureAlong(grey, leaders.second);
        if (!other.fit.positions.empty()) {
            return Checked(grey, leaders.second, std::move(other));
        }
    }
    // The strongest spectral peak can be a harmonic of thin ticks, or its alias on the
    // pixel grid, which misleads the band's straightening too: the periods at which the
    // band repeats are tried, first on the band as it is, then each guiding its own.
    const std::vector<double> repeats =
        RepeatPeriods(m.profile, kMinPitch * kBinsPerPixel, kMaxPitch * kBinsPerPixel);
    m.fit = BestFit(m.profile, repeats);
    for (std::size_t i = 0; i < repeats.size() && m.fit.positions.empty(); ++i) {
        m = MeasureAlong(grey, Guided(best, repeats[i]));
    }
    if (m.fit.positions.empty()) {
        return {};
    }
    return Checked(grey, best, std::move(m));
}
