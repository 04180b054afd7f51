#pragma once
// How strongly a profile repeats at a period and at its multiples and fractions:
// the evidence that a period which fits the ticks is a fraction or a multiple of the
// ruler's pitch.
#include <vector>

namespace ruler {

// Strength of the profile's component at `period` times `factor` over that of its
// component at `period` (bins). The profile's mean over the longer of the two periods
// is taken off first, which keeps both components whole.
double StrengthRatio(const std::vector<double>& profile, double period, double factor);

} // namespace ruler
