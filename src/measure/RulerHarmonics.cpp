#include "measure/RulerHarmonics.h"

#include "measure/RulerProfile.h"

#include <algorithm>

namespace ruler {

double StrengthRatio(const std::vector<double>& profile, double period, double factor)
{
    const int bins = static_cast<int>(profile.size());
    const std::vector<double> hp = HighPass(profile, period * std::max(1.0, factor));
    const double other = Amplitude(hp, Carrier(bins, period * factor), 0, bins);
    const double own = Amplitude(hp, Carrier(bins, period), 0, bins);
    return own > 0 ? other / own : 0.0;
}

} // namespace ruler
