#include "measure/RulerRepeat.h"

#include "measure/RulerProfile.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace ruler {
namespace {

// Lags whose correlation reaches this share of the strongest one are candidates
// (the long ticks every 5 and 10 make the multiples of the pitch the strongest).
constexpr double kPeakShare = 0.5;
constexpr std::size_t kMaxCandidates = 4;
// The far multiples refining a lag lie within this share of the profile.
constexpr double kFarthestShare = 1.0 / 3;
// A multiple is looked for within this share of a period of where it is expected.
constexpr double kMultipleReach = 0.25;

// Mean product of the profile with itself shifted by each lag; NaN bins left out.
std::vector<double> Autocorrelation(const std::vector<double>& hp, std::size_t maxLag)
{
    std::vector<double> r(maxLag + 1, 0.0);
    for (std::size_t lag = 0; lag <= maxLag && lag < hp.size(); ++lag) {
        double sum = 0.0;
        int used = 0;
        for (std::size_t i = 0; i + lag < hp.size(); ++i) {
            const double product = hp[i] * hp[i + lag];
            if (!std::isnan(product)) {
                sum += product, ++used;
            }
        }
        r[lag] = used > 0 ? sum / used : 0.0;
    }
    return r;
}

// The strongest lag within `reach` of `around`, between bins from a parabola.
double PeakNear(const std::vector<double>& r, double around, double reach)
{
    const auto lo = static_cast<std::size_t>(std::max(1.0, std::floor(around - reach)));
    const auto hi = std::min(r.size() - 2, static_cast<std::size_t>(std::ceil(around + reach)));
    if (hi < lo) {
        return around;
    }
    std::size_t best = lo;
    for (std::size_t k = lo; k <= hi; ++k) {
        best = r[k] > r[best] ? k : best;
    }
    const double a = r[best - 1], b = r[best], c = r[best + 1];
    const double denominator = a - 2 * b + c;
    const double shift = denominator < 0 ? 0.5 * (a - c) / denominator : 0.0;
    return static_cast<double>(best) + std::clamp(shift, -0.5, 0.5);
}

// A lag refined by doubling: each multiple's peak sharpens the period by its factor.
double Refined(const std::vector<double>& r, double lag)
{
    double period = PeakNear(r, lag, 1.0);
    for (int m = 2; m * period < static_cast<double>(r.size()) - 2; m *= 2) {
        period = PeakNear(r, m * period, kMultipleReach * period) / m;
    }
    return period;
}

} // namespace

std::vector<double> RepeatPeriods(const std::vector<double>& profile, double minPeriod, double maxPeriod)
{
    const auto maxLag = static_cast<std::size_t>(kFarthestShare * static_cast<double>(profile.size()));
    if (maxLag < maxPeriod + 2) {
        return {};
    }
    const std::vector<double> r = Autocorrelation(HighPass(profile, maxPeriod), maxLag);
    const auto first = static_cast<std::size_t>(std::ceil(minPeriod));
    const auto last = static_cast<std::size_t>(maxPeriod);
    double strongest = 0.0;
    for (std::size_t k = first; k <= last; ++k) {
        strongest = std::max(strongest, r[k]);
    }
    std::vector<double> periods;
    for (std::size_t k = std::max<std::size_t>(first, 1); k <= last && periods.size() < kMaxCandidates; ++k) {
        if (r[k] >= kPeakShare * strongest && r[k] > 0 && r[k] >= r[k - 1] && r[k] > r[k + 1]) {
            periods.push_back(Refined(r, static_cast<double>(k)));
        }
    }
    return periods;
}

} // namespace ruler
