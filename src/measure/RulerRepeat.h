#pragma once
// Periods of a profile from its autocorrelation, for rulers whose spectrum misleads.
#include <vector>

namespace ruler {

// The lags (bins, ascending) at which the high-passed profile repeats most strongly
// between the two periods, each refined from its far multiples. Thin ticks have
// harmonics as strong as their fundamental, and seen askew on the pixel grid the
// strongest spectral peak can be a harmonic or an alias of one; the autocorrelation
// peaks at the pitch and its multiples whatever the ticks' shape.
std::vector<double> RepeatPeriods(const std::vector<double>& profile, double minPeriod, double maxPeriod);

} // namespace ruler
