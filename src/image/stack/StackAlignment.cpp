#include "image/stack/StackAlignment.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace {
constexpr int kMinLevelWidth = 64;
constexpr int kCoarseSearch = 6;    // pixels each way on the smallest level
constexpr int kIterations = 8;      // Gauss-Newton steps per level at most
constexpr double kConverged = 0.01; // level pixels
constexpr double kBorder = 0.04;    // share of each side left out of the fit

// One level's geometry: level pixel u stands for full pixel factor * u + (factor - 1) / 2,
// so the centre stays the centre and shifts divide by the factor.
struct Level {
    const GreyPlane& ref;
    const GreyPlane& mov;
    double factor;
    double cx() const { return (ref.width - 1) / 2.0; }
    double cy() const { return (ref.height - 1) / 2.0; }
};

double MeanAbsDifference(const Level& l, int sx, int sy)
{
    double sum = 0.0;
    long count = 0;
    const int bx = std::max(kCoarseSearch, static_cast<int>(l.ref.width * kBorder));
    const int by = std::max(kCoarseSearch, static_cast<int>(l.ref.height * kBorder));
    for (int y = by; y < l.ref.height - by; ++y) {
        for (int x = bx; x < l.ref.width - bx; ++x) {
            sum += std::abs(l.ref.at(x, y) - l.mov.at(x + sx, y + sy));
            ++count;
        }
    }
    return count ? sum / count : std::numeric_limits<double>::max();
}

FrameTransform CoarseShift(const Level& l)
{
    double best = std::numeric_limits<double>::max();
    FrameTransform t;
    for (int sy = -kCoarseSearch; sy <= kCoarseSearch; ++sy) {
        for (int sx = -kCoarseSearch; sx <= kCoarseSearch; ++sx) {
            const double d = MeanAbsDifference(l, sx, sy);
            if (d < best) {
                best = d, t.dx = sx * l.factor, t.dy = sy * l.factor;
            }
        }
    }
    return t;
}

// Solves the 3 x 3 system a * x = b; false when it is singular.
bool Solve3(std::array<double, 9> a, std::array<double, 3> b, std::array<double, 3>& x)
{
    for (int c = 0; c < 3; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 3; ++r) {
            if (std::abs(a[r * 3 + c]) > std::abs(a[pivot * 3 + c])) {
                pivot = r;
            }
        }
        if (std::abs(a[pivot * 3 + c]) < 1e-12) {
            return false;
        }
        for (int k = 0; k < 3; ++k) {
            std::swap(a[c * 3 + k], a[pivot * 3 + k]);
        }
        std::swap(b[c], b[pivot]);
        for (int r = 0; r < 3; ++r) {
            if (r == c) {
                continue;
            }
            const double f = a[r * 3 + c] / a[c * 3 + c];
            for (int k = 0; k < 3; ++k) {
                a[r * 3 + k] -= f * a[c * 3 + k];
            }
            b[r] -= f * b[c];
        }
    }
    for (int c = 0; c < 3; ++c) {
        x[c] = b[c] / a[c * 4];
    }
    return true;
}

// Gauss-Newton on one level; parameters in level units are (scale, dx / factor, dy / factor).
void Refine(const Level& l, FrameTransform& t)
{
    const int step = l.ref.width > 1000 ? 3 : 1; // the largest level is sampled sparsely
    const int bx = std::max(1, static_cast<int>(l.ref.width * kBorder));
    const int by = std::max(1, static_cast<int>(l.ref.height * kBorder));
    for (int it = 0; it < kIterations; ++it) {
        std::array<double, 9> h{};
        std::array<double, 3> g{};
        const double tx = t.dx / l.factor, ty = t.dy / l.factor;
        for (int y = by; y < l.ref.height - by; y += step) {
            const double ry = y - l.cy();
            const float my = static_cast<float>(l.cy() + t.scale * ry + ty);
            for (int x = bx; x < l.ref.width - bx; x += step) {
                const double rx = x - l.cx();
                float moved = 0.0f;
                if (!l.mov.Sample(static_cast<float>(l.cx() + t.scale * rx + tx), my, &moved)) {
                    continue;
                }
                const double gx = 0.5 * (l.ref.at(x + 1, y) - l.ref.at(x - 1, y));
                const double gy = 0.5 * (l.ref.at(x, y + 1) - l.ref.at(x, y - 1));
                const double j[3] = {gx * rx + gy * ry, gx, gy};
                const double e = moved - l.ref.at(x, y);
                for (int r = 0; r < 3; ++r) {
                    g[r] += j[r] * e;
                    for (int c = 0; c < 3; ++c) {
                        h[r * 3 + c] += j[r] * j[c];
                    }
                }
            }
        }
        std::array<double, 3> d{};
        if (!Solve3(h, g, d)) {
            return;
        }
        t.scale -= d[0];
        t.dx -= d[1] * l.factor;
        t.dy -= d[2] * l.factor;
        if (std::abs(d[0]) * l.ref.width < kConverged && std::hypot(d[1], d[2]) < kConverged) {
            return;
        }
    }
}
} // namespace

FrameTransform Compose(const FrameTransform& first, const FrameTransform& after)
{
    return {after.scale * first.scale, after.scale * first.dx + after.dx, after.scale * first.dy + after.dy};
}

GreyPyramid BuildPyramid(GreyPlane halfSize)
{
    GreyPyramid levels;
    levels.push_back(std::move(halfSize));
    while (levels.back().width / 2 >= kMinLevelWidth && levels.back().height / 2 >= kMinLevelWidth / 2) {
        levels.push_back(HalfSize(levels.back()));
    }
    return levels;
}

FrameTransform AlignPair(const GreyPyramid& reference, const GreyPyramid& moving, int fullWidth,
                         int fullHeight)
{
    const auto factorOf = [&](std::size_t i) {
        return 0.5 * (static_cast<double>(fullWidth) / reference[i].width +
                      static_cast<double>(fullHeight) / reference[i].height);
    };
    const std::size_t top = reference.size() - 1;
    FrameTransform t = CoarseShift({reference[top], moving[top], factorOf(top)});
    for (std::size_t i = top + 1; i-- > 0;) {
        Refine({reference[i], moving[i], factorOf(i)}, t);
    }
    return t;
}
