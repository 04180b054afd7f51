#pragma once
// The tick fit: each tick's position from the phase of the ruler's period in a
// window one period long around it, and the pitch as the slope of a straight line
// through all of them.
#include <vector>

namespace ruler {

struct TickFit {
    double pitch = 0.0;            // bins per division
    double halfWidth95 = 0.0;      // half the 95 % interval of the pitch, bins
    double residualRms = 0.0;      // scatter of the ticks about the line, bins
    std::vector<double> positions; // ticks kept, bins along the axis
    std::vector<int> index;        // their division numbers
    int windows = 0;               // windows that saw the ruler
};

// Fits the ticks of a profile whose period is known to within a small fraction.
// `positions` stays empty when fewer than a handful of ticks agree.
TickFit FitTicks(const std::vector<double>& profile, double period);

} // namespace ruler
