#include "measure/CMeasureShape.h"

namespace {

struct HeightStep {
    int lastSize; // inclusive upper end of the size range
    int lineHeight;
};

constexpr HeightStep kHeightSteps[] = {
    {13, 13}, {15, 15}, {16, 17}, {19, 19}, {21, 21}, {24, 23}, {27, 25},
    {29, 27}, {32, 29}, {35, 31}, {37, 33}, {48, 35}, {64, 37}, {96, 72},
};
constexpr int kOutOfRangeHeight = 12;

} // namespace

int labelLineHeightFor(int fontSize)
{
    if (fontSize <= 0) {
        return kOutOfRangeHeight;
    }
    for (const HeightStep& step : kHeightSteps) {
        if (fontSize <= step.lastSize) {
            return step.lineHeight;
        }
    }
    return kOutOfRangeHeight;
}
