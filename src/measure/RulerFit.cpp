#include "measure/RulerFit.h"

#include "measure/RulerProfile.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace ruler {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kMinTicks = 8;
// A window sees a tick when its amplitude reaches this share of the strong windows'.
constexpr double kAmplitudeShare = 0.3;
constexpr double kStrongQuantile = 0.9;
// A window must lie this much inside the picture.
constexpr double kMinCoverage = 0.9;
// Ticks further from the line than this many robust deviations are hidden or broken.
constexpr double kRejectDeviations = 4.0;
constexpr double kMadToDeviation = 1.4826;
constexpr double kMaxCorrelation = 0.8;
constexpr double kSystematicShare = 0.0008;
// Mean strength of the odd windows' ticks below this share of the even ones' (or the
// other way round): the period is half the pitch.
constexpr double kAlternation = 0.7;

struct Tick {
    int k;
    double x;
    double amplitude;
};

// One window per period from the profile's first real bin; each gives the position
// of the tick inside it from the phase of the period's component.
std::vector<Tick> MeasureTicks(const std::vector<double>& hp, double period, double sign, int& windows)
{
    const auto first = std::find_if(hp.begin(), hp.end(), [](double v) { return !std::isnan(v); });
    const double origin = static_cast<double>(first - hp.begin());
    std::vector<Tick> ticks;
    windows = 0;
    const std::complex<double> turn = std::polar(1.0, -2 * kPi / period);
    for (int k = 0;; ++k) {
        const double centre = origin + (k + 0.5) * period;
        const double lo = centre - period / 2, hi = centre + period / 2;
        if (hi > static_cast<double>(hp.size())) {
            break;
        }
        std::complex<double> z(0.0);
        double covered = 0.0;
        // The carrier turns by a fixed step from bin to bin.
        const int j0 = static_cast<int>(std::floor(lo));
        std::complex<double> carrier = std::polar(1.0, -2 * kPi * (j0 + 0.5 - centre) / period);
        for (int j = j0; j < hi; ++j, carrier *= turn) {
            const double w = std::min<double>(j + 1, hi) - std::max<double>(j, lo);
            if (j < 0 || w <= 0 || std::isnan(hp[j])) {
                continue;
            }
            covered += w;
            z += w * sign * hp[j] * carrier;
        }
        if (covered < kMinCoverage * period) {
            continue;
        }
        ++windows;
        ticks.push_back({k, centre - std::arg(z) * period / (2 * kPi), std::abs(z) / period});
    }
    return ticks;
}

// Keeps the windows that hold a tick, and brings every position into the window
// around the ticks' common phase: the period is known well enough that the phase
// drifts by only a small part of a period along the whole ruler.
void KeepAndAlign(std::vector<Tick>& ticks, double period)
{
    if (ticks.empty()) {
        return;
    }
    std::vector<double> amplitudes;
    for (const Tick& t : ticks) {
        amplitudes.push_back(t.amplitude);
    }
    const auto q = amplitudes.begin() + static_cast<long>(kStrongQuantile * (amplitudes.size() - 1));
    std::nth_element(amplitudes.begin(), q, amplitudes.end());
    const double floor = kAmplitudeShare * *q;
    std::erase_if(ticks, [floor](const Tick& t) { return t.amplitude < floor; });
    std::complex<double> mean(0.0);
    for (const Tick& t : ticks) {
        mean += t.amplitude * std::polar(1.0, 2 * kPi * (t.x - t.k * period) / period);
    }
    const double common = std::arg(mean) * period / (2 * kPi);
    for (Tick& t : ticks) {
        const double offset = t.x - t.k * period - common;
        t.x -= std::round(offset / period) * period;
    }
}

struct Line {
    double a = 0.0, b = 0.0;
};

Line FitLine(const std::vector<Tick>& ticks, const std::vector<bool>& keep)
{
    double n = 0, sk = 0, sx = 0;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        if (keep[i]) {
            n += 1, sk += ticks[i].k, sx += ticks[i].x;
        }
    }
    const double mk = sk / n, mx = sx / n;
    double skk = 0, skx = 0;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        if (keep[i]) {
            skk += (ticks[i].k - mk) * (ticks[i].k - mk);
            skx += (ticks[i].k - mk) * (ticks[i].x - mx);
        }
    }
    const double b = skk > 0 ? skx / skk : 0.0;
    return {mx - b * mk, b};
}

// Student's t for 95 % (two-sided) with `dof` degrees of freedom, within 1 % from 3 up.
double Student95(double dof)
{
    return 1.96 + 2.37 / dof + 2.8 / (dof * dof);
}

// Fits the line with outliers dropped; false when too few ticks stay.
bool RobustFit(const std::vector<Tick>& ticks, std::vector<bool>& keep, Line& line)
{
    keep.assign(ticks.size(), true);
    for (int round = 0; round < 4; ++round) {
        if (std::count(keep.begin(), keep.end(), true) < kMinTicks) {
            return false;
        }
        line = FitLine(ticks, keep);
        std::vector<double> deviations;
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            if (keep[i]) {
                deviations.push_back(std::fabs(ticks[i].x - line.a - line.b * ticks[i].k));
            }
        }
        std::nth_element(deviations.begin(), deviations.begin() + deviations.size() / 2, deviations.end());
        const double limit = kRejectDeviations * kMadToDeviation * deviations[deviations.size() / 2] + 1e-9;
        for (std::size_t i = 0; i < ticks.size(); ++i) {
            keep[i] = std::fabs(ticks[i].x - line.a - line.b * ticks[i].k) <= limit;
        }
    }
    line = FitLine(ticks, keep);
    return std::count(keep.begin(), keep.end(), true) >= kMinTicks;
}

// At half the pitch every other window holds a tick and the rest only noise, some of
// whose phases fall near the line by chance: the two halves' strengths give it away.
// (At the pitch itself the long ticks every 5 and 10 fall on both halves alike.)
bool Alternates(const std::vector<Tick>& ticks)
{
    double sum[2] = {0.0, 0.0};
    int count[2] = {0, 0};
    for (const Tick& t : ticks) {
        sum[t.k % 2] += t.amplitude, ++count[t.k % 2];
    }
    if (count[0] == 0 || count[1] == 0) {
        return false;
    }
    const double even = sum[0] / count[0], odd = sum[1] / count[1];
    return std::min(even, odd) < kAlternation * std::max(even, odd);
}

} // namespace

TickFit FitTicks(const std::vector<double>& profile, double period)
{
    TickFit fit;
    const std::vector<double> hp = HighPass(profile, period);
    double skew = 0.0;
    for (const double v : hp) {
        skew += std::isnan(v) ? 0.0 : v * v * v;
    }
    // Narrow dark ticks on a light field pull the profile down in short dips.
    const double sign = skew < 0 ? -1.0 : 1.0;
    std::vector<Tick> ticks;
    std::vector<bool> keep;
    Line line;
    // The first pass's slope corrects the period; the second measures with it.
    for (int pass = 0; pass < 2; ++pass) {
        ticks = MeasureTicks(hp, period, sign, fit.windows);
        if (pass == 1 && Alternates(ticks)) {
            return fit;
        }
        KeepAndAlign(ticks, period);
        if (!RobustFit(ticks, keep, line)) {
            return fit;
        }
        period = line.b;
    }
    double n = 0, mk = 0;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        if (keep[i]) {
            n += 1, mk += ticks[i].k;
            fit.positions.push_back(ticks[i].x);
            fit.index.push_back(ticks[i].k);
        }
    }
    mk /= n;
    double skk = 0, rr = 0, lag = 0;
    double previous = 0.0;
    int previousK = -2;
    for (std::size_t i = 0; i < ticks.size(); ++i) {
        if (!keep[i]) {
            continue;
        }
        const double r = ticks[i].x - line.a - line.b * ticks[i].k;
        skk += (ticks[i].k - mk) * (ticks[i].k - mk);
        rr += r * r;
        lag += ticks[i].k == previousK + 1 ? r * previous : 0.0;
        previous = r, previousK = ticks[i].k;
    }
    // Neighbouring ticks' errors go together (pixel grid, compression blocks): fewer
    // independent ticks than it seems, so a wider interval.
    const double rho = rr > 0 ? std::clamp(lag / rr, 0.0, kMaxCorrelation) : 0.0;
    const double dof = n - 2;
    const double sigma = std::sqrt(rr / dof);
    const double standardError = sigma / std::sqrt(skk) * std::sqrt((1 + rho) / (1 - rho));
    fit.pitch = line.b;
    fit.residualRms = sigma;
    // The axis is known to a fraction of a degree and the ticks' shape varies: a
    // small share of the pitch is uncertain whatever the scatter says.
    const double statistical = Student95(std::max(2.0, dof * (1 - rho) / (1 + rho))) * standardError;
    fit.halfWidth95 = std::hypot(statistical, kSystematicShare * line.b);
    return fit;
}

} // namespace ruler
