#include "measure/RulerProfile.h"

#include "platform/threads/ParallelRows.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <numbers>

namespace ruler {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kAngleBins = 360; // half a degree each over [0, 180)
// Edges fainter than this (squared grey difference of neighbours) are noise.
constexpr int kMinEdge2 = 96 * 96;
// Pictures larger than this are looked at on every second row and column for the
// directions.
constexpr long kDirectionFullPixels = 1500000;
// Spacing of the directions tried around the strongest one.
constexpr double kDirectionStep = 3.0 * kPi / 180;
// Edges this close to the strongest direction refine it.
constexpr double kRefineReach = 4.0 * kPi / 180;
// A sub-multiple of the strongest frequency is the fundamental when its power is at
// least this share (a regular row of thin ticks has harmonics as strong as its
// fundamental; the long ticks every 5 or 10 add much weaker sub-multiples).
constexpr double kFundamentalShare = 0.25;
constexpr double kFundamentalStandOut = 8.0;
// Blocks of spectrum bins on each side of a peak that judge how far it stands out,
// and the peak's own half width.
constexpr int kBlocks = 3;
constexpr std::size_t kBlock = 8;
constexpr std::size_t kPeakHalfWidth = 6;

// Profiles of this many lengths keep their window.
constexpr std::size_t kKeptWindows = 8;

using Complex = std::complex<double>;

// The plain product: std::complex's operator* checks for infinities and NaN on
// every call, which the spectrum's finite values never need.
Complex Multiply(Complex a, Complex b)
{
    return {a.real() * b.real() - a.imag() * b.imag(), a.real() * b.imag() + a.imag() * b.real()};
}

// The twiddles of every stage of a transform of n points (a power of two), one stage
// after the other so that each stage reads its own in order: exp(-2 pi i k / len)
// for k < len / 2 from offset len / 2 - 1. Made once per size and kept.
const std::vector<Complex>& Twiddles(std::size_t n)
{
    static std::mutex mutex;
    static std::map<std::size_t, std::vector<Complex>> tables;
    const std::lock_guard lock(mutex);
    std::vector<Complex>& w = tables[n];
    if (w.empty()) {
        std::vector<Complex> last(n / 2);
        for (std::size_t k = 0; k < n / 2; ++k) {
            last[k] = std::polar(1.0, -2 * kPi * static_cast<double>(k) / static_cast<double>(n));
        }
        for (std::size_t len = 2; len <= n; len <<= 1) {
            for (std::size_t k = 0; k < len / 2; ++k) {
                w.push_back(last[k * (n / len)]);
            }
        }
    }
    return w;
}

// The Hann window over `count` samples. The profiles of one picture share a few
// lengths, so the last few windows are kept.
std::shared_ptr<const std::vector<double>> HannWindow(std::size_t count)
{
    static std::mutex mutex;
    static std::map<std::size_t, std::shared_ptr<const std::vector<double>>> windows;
    const std::lock_guard lock(mutex);
    if (const auto found = windows.find(count); found != windows.end()) {
        return found->second;
    }
    if (windows.size() >= kKeptWindows) {
        windows.clear();
    }
    auto window = std::make_shared<std::vector<double>>(count);
    for (std::size_t i = 0; i < count; ++i) {
        (*window)[i] = 0.5 - 0.5 * std::cos(2 * kPi * (i + 0.5) / static_cast<double>(count));
    }
    windows.emplace(count, window);
    return window;
}

// Radix-2 in place; n is a power of two.
void Fft(std::vector<Complex>& a)
{
    const std::size_t n = a.size();
    for (std::size_t i = 1, j = 0; i < n; ++i) {
        std::size_t bit = n >> 1;
        for (; j & bit; bit >>= 1) {
            j ^= bit;
        }
        j ^= bit;
        if (i < j) {
            std::swap(a[i], a[j]);
        }
    }
    const std::vector<Complex>& twiddles = Twiddles(n);
    for (std::size_t len = 2; len <= n; len <<= 1) {
        const Complex* stage = twiddles.data() + len / 2 - 1;
        for (std::size_t i = 0; i < n; i += len) {
            for (std::size_t k = 0; k < len / 2; ++k) {
                const Complex u = a[i + k];
                const Complex v = Multiply(a[i + k + len / 2], stage[k]);
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
        }
    }
}

// Power of the windowed profile, zero-padded to n (a power of two, at least twice its
// length), at the frequencies 0 .. n/2 - 1. The real samples go in pairs into one
// complex transform of half the length, which is then split into the even and odd
// samples' spectra and combined.
std::vector<double> PowerSpectrum(const std::vector<double>& profile, std::size_t& n)
{
    n = 2;
    while (n < profile.size() * 2) {
        n <<= 1;
    }
    const std::size_t half = n / 2;
    std::vector<Complex> z(half);
    const std::shared_ptr<const std::vector<double>> hann = HannWindow(profile.size());
    for (std::size_t i = 0; i < profile.size(); ++i) {
        const double v = std::isnan(profile[i]) ? 0.0 : profile[i] * (*hann)[i];
        if (i % 2 == 0) {
            z[i / 2].real(v);
        } else {
            z[i / 2].imag(v);
        }
    }
    Fft(z);
    // The last stage's twiddles of an n-point transform: exp(-2 pi i k / n).
    const Complex* twiddles = Twiddles(n).data() + half - 1;
    std::vector<double> power(half);
    power[0] = (z[0].real() + z[0].imag()) * (z[0].real() + z[0].imag());
    for (std::size_t k = 1; k < half; ++k) {
        const Complex a = z[k], b = std::conj(z[half - k]);
        const Complex even = 0.5 * (a + b);
        const Complex d = a - b; // odd = d / 2i
        const Complex odd(0.5 * d.imag(), -0.5 * d.real());
        power[k] = std::norm(even + Multiply(twiddles[k], odd));
    }
    return power;
}

// Index of the largest value in [from, to].
std::size_t PeakIn(const std::vector<double>& power, std::size_t from, std::size_t to)
{
    std::size_t best = from;
    for (std::size_t k = from; k <= to && k < power.size(); ++k) {
        if (power[k] > power[best]) {
            best = k;
        }
    }
    return best;
}

// Peak position between bins from a parabola through the logarithms around it.
double Refined(const std::vector<double>& power, std::size_t k)
{
    if (k == 0 || k + 1 >= power.size()) {
        return static_cast<double>(k);
    }
    const double a = std::log(power[k - 1] + 1e-300);
    const double b = std::log(power[k] + 1e-300);
    const double c = std::log(power[k + 1] + 1e-300);
    const double denominator = a - 2 * b + c;
    const double shift = denominator < 0 ? 0.5 * (a - c) / denominator : 0.0;
    return k + std::clamp(shift, -0.5, 0.5);
}

// Cumulative sum of the profile with NaN counted as 0, and the count of real values.
void Prefix(const std::vector<double>& v, std::vector<double>& sum, std::vector<double>& count)
{
    sum.assign(v.size() + 1, 0.0);
    count.assign(v.size() + 1, 0.0);
    for (std::size_t i = 0; i < v.size(); ++i) {
        const bool real = !std::isnan(v[i]);
        sum[i + 1] = sum[i] + (real ? v[i] : 0.0);
        count[i + 1] = count[i] + (real ? 1.0 : 0.0);
    }
}

// A cumulative sum at a point between bin edges.
double At(const std::vector<double>& prefix, double x)
{
    const double clamped = std::clamp(x, 0.0, static_cast<double>(prefix.size() - 1));
    const std::size_t i = std::min(static_cast<std::size_t>(clamped), prefix.size() - 2);
    return prefix[i] + (prefix[i + 1] - prefix[i]) * (clamped - static_cast<double>(i));
}

// One end of a window at a fixed offset from bin i, read from the cumulative sums.
class WindowEnd {
public:
    WindowEnd(double offset, std::size_t bins)
        : m_offset(offset), m_whole(static_cast<long>(std::floor(offset))),
          m_fraction(offset - std::floor(offset)), m_bins(static_cast<long>(bins))
    {
    }
    double At(const std::vector<double>& prefix, std::size_t i) const
    {
        const long j = static_cast<long>(i) + m_whole;
        return j < 0 || j >= m_bins ? ::ruler::At(prefix, static_cast<double>(i) + m_offset)
                                    : Inside(prefix, i);
    }
    // For i in [FirstInside(), EndInside()) only.
    double Inside(const std::vector<double>& prefix, std::size_t i) const
    {
        const auto j = static_cast<std::size_t>(static_cast<long>(i) + m_whole);
        return prefix[j] + (prefix[j + 1] - prefix[j]) * m_fraction;
    }
    std::size_t FirstInside() const { return static_cast<std::size_t>(std::max(0L, -m_whole)); }
    std::size_t EndInside() const { return static_cast<std::size_t>(std::max(0L, m_bins - m_whole)); }

private:
    double m_offset;
    long m_whole;
    double m_fraction;
    long m_bins;
};

// Sobel gradient of pixel x in row b, with a above and c below: the edge's normal,
// the same on both flanks of a thin line.
struct Gradient {
    int x, y;
};
Gradient Sobel(const std::uint8_t* a, const std::uint8_t* b, const std::uint8_t* c, int x)
{
    return {(a[x + 1] + 2 * b[x + 1] + c[x + 1]) - (a[x - 1] + 2 * b[x - 1] + c[x - 1]),
            (c[x - 1] + 2 * c[x] + c[x + 1]) - (a[x - 1] + 2 * a[x] + a[x + 1])};
}

// The squared gradient strength along a row, for every pixel but the first and the
// last: a plain loop over the whole row runs as vector code, and the caller picks
// the pixels it samples.
void SobelStrength(const std::uint8_t* __restrict a, const std::uint8_t* __restrict b,
                   const std::uint8_t* __restrict c, int width, int* __restrict strength)
{
    for (int x = 1; x + 1 < width; ++x) {
        const Gradient g = Sobel(a, b, c, x);
        strength[x] = g.x * g.x + g.y * g.y;
    }
}

struct Edge {
    double angle, weight;
};
// Strong edges of some rows: their directions and strengths, and a histogram of the
// directions (half-degree bins, weighted by strength).
struct EdgeParts {
    std::vector<Edge> edges;
    std::vector<double> histogram = std::vector<double>(kAngleBins, 0.0);
};

// The edges of rows yFrom, yFrom + step, ... before yTo, on every step-th pixel.
EdgeParts FindEdges(const QImage& grey, int yFrom, int yTo, int step)
{
    EdgeParts parts;
    const int width = grey.width(), height = grey.height();
    std::vector<int> strength(width);
    for (int y = yFrom; y < yTo && y + 1 < height; y += step) {
        const std::uint8_t* a = grey.constScanLine(y - 1);
        const std::uint8_t* b = grey.constScanLine(y);
        const std::uint8_t* c = grey.constScanLine(y + 1);
        SobelStrength(a, b, c, width, strength.data());
        for (int x = 1; x + 1 < width; x += step) {
            const int edge2 = strength[x];
            if (edge2 < kMinEdge2) {
                continue;
            }
            const Gradient g = Sobel(a, b, c, x);
            double angle = std::atan2(g.y, g.x);
            if (angle < 0) {
                angle += kPi;
            }
            const double weight = std::sqrt(static_cast<double>(edge2));
            const int bin = std::min(kAngleBins - 1, static_cast<int>(angle / kPi * kAngleBins));
            parts.histogram[bin] += weight;
            parts.edges.push_back({angle, weight});
        }
    }
    return parts;
}

// A position in bins or strips with 32 fractional bits; steps along a row add up
// without rounding and the whole part is a shift away.
constexpr double kFixedOne = 4294967296.0;
constexpr int kFixedShift = 32;
std::int64_t Fixed(double v)
{
    return static_cast<std::int64_t>(std::llround(v * kFixedOne));
}
struct Ramp {
    std::int64_t start, step;
};

// The cell of a pixel: its strip's row and its bin. `Edge` pixels may lie outside by
// rounding and are then kept on the edge.
template <bool Edge> std::int64_t CellAt(const Projection& p, std::int64_t b, std::int64_t s)
{
    std::int64_t bin = b >> kFixedShift, strip = s >> kFixedShift;
    if constexpr (Edge) {
        bin = std::clamp<std::int64_t>(bin, 0, p.bins - 1);
        strip = std::clamp<std::int64_t>(strip, 0, p.strips - 1);
    }
    return strip * p.bins + bin;
}

// Adds `n` pixels, `columnStep` apart, of one row to their bins and strips. Where
// the axis runs down the picture, neighbouring pixels share a cell: their sum is
// kept here until the cell changes. The sums are whole numbers, exact in float at
// any order.
template <bool Edge>
void AddPixels(Projection& p, const std::uint8_t* row, int n, int columnStep, Ramp bin, Ramp strip)
{
    float* const sums = p.sum.data();
    std::uint16_t* const counts = p.count.data();
    std::int64_t b = bin.start, s = strip.start;
    if (std::abs(bin.step) >= static_cast<std::int64_t>(kFixedOne)) {
        // Every pixel has a bin of its own.
        for (int k = 0; k < n; ++k, row += columnStep, b += bin.step, s += strip.step) {
            const std::int64_t i = CellAt<Edge>(p, b, s);
            sums[i] += *row;
            ++counts[i];
        }
        return;
    }
    std::int64_t cell = CellAt<Edge>(p, b, s);
    unsigned sum = 0, count = 0;
    for (int k = 0; k < n; ++k, row += columnStep, b += bin.step, s += strip.step) {
        if (const std::int64_t i = CellAt<Edge>(p, b, s); i != cell) {
            sums[cell] += static_cast<float>(sum);
            counts[cell] += static_cast<std::uint16_t>(count);
            cell = i, sum = 0, count = 0;
        }
        sum += *row, ++count;
    }
    sums[cell] += static_cast<float>(sum);
    counts[cell] += static_cast<std::uint16_t>(count);
}

// Adds the pixels x0, x0 + columnStep, ... x1 of one row. Bin and strip change
// linearly along the row, so when both ends lie inside the projection every pixel
// between them does.
void AddRun(Projection& p, const std::uint8_t* row, int x0, int x1, int columnStep, Ramp bin, Ramp strip)
{
    const int n = (x1 - x0) / columnStep + 1;
    const auto inside = [](std::int64_t v, int size) { return v >= 0 && (v >> kFixedShift) < size; };
    const std::int64_t lastB = bin.start + (n - 1) * bin.step, lastS = strip.start + (n - 1) * strip.step;
    if (inside(bin.start, p.bins) && inside(lastB, p.bins) && inside(strip.start, p.strips) &&
        inside(lastS, p.strips)) {
        AddPixels<false>(p, row + x0, n, columnStep, bin, strip);
    } else {
        AddPixels<true>(p, row + x0, n, columnStep, bin, strip);
    }
}

} // namespace

std::vector<double> CandidateDirections(const QImage& grey)
{
    const int step = static_cast<long>(grey.width()) * grey.height() > kDirectionFullPixels ? 2 : 1;
    // Bands of rows are measured side by side and joined in their order.
    std::mutex mutex;
    std::vector<std::pair<int, EdgeParts>> parts;
    const int rows = (grey.height() - 2 + step - 1) / step;
    ParallelRows(rows, [&](int begin, int end) {
        EdgeParts part = FindEdges(grey, 1 + begin * step, 1 + end * step, step);
        const std::lock_guard lock(mutex);
        parts.emplace_back(begin, std::move(part));
    });
    std::sort(parts.begin(), parts.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<Edge> edges;
    std::vector<double> histogram(kAngleBins, 0.0);
    for (const auto& [begin, part] : parts) {
        edges.insert(edges.end(), part.edges.begin(), part.edges.end());
        for (int i = 0; i < kAngleBins; ++i) {
            histogram[i] += part.histogram[i];
        }
    }
    // Smoothed over +-1.5 degrees, around the circle of directions.
    std::vector<double> smooth(kAngleBins, 0.0);
    for (int i = 0; i < kAngleBins; ++i) {
        for (int d = -3; d <= 3; ++d) {
            smooth[i] += histogram[(i + d + kAngleBins) % kAngleBins] * (4 - std::abs(d));
        }
    }
    const int best = static_cast<int>(std::max_element(smooth.begin(), smooth.end()) - smooth.begin());
    if (smooth[best] <= 0) {
        return {};
    }
    // The mean direction (doubled angles) of the edges within a few degrees of the peak.
    const double peak = (best + 0.5) * kPi / kAngleBins;
    double sc = 0.0, ss = 0.0;
    for (const Edge& e : edges) {
        if (std::fabs(std::remainder(e.angle - peak, kPi)) <= kRefineReach) {
            sc += e.weight * std::cos(2 * e.angle);
            ss += e.weight * std::sin(2 * e.angle);
        }
    }
    const double angle = std::fmod(std::atan2(ss, sc) / 2 + kPi, kPi);
    // The strongest edges' direction can be a few degrees off for thin, blurred or
    // compressed ticks: the neighbouring directions are tried too.
    std::vector<double> directions;
    for (const double base : {angle, angle + kPi / 2}) {
        for (const double offset : {0.0, -kDirectionStep, kDirectionStep}) {
            directions.push_back(std::fmod(base + offset + kPi, kPi));
        }
    }
    return directions;
}

Projection Project(const QImage& grey, double angle, int step, double sFrom, double sTo, double stripWidth)
{
    Projection p;
    p.angle = angle;
    p.stripWidth = stripWidth;
    const double ux = std::cos(angle), uy = std::sin(angle);
    const double nx = -uy, ny = ux;
    const double w = grey.width() - 1, h = grey.height() - 1;
    const double ts[4] = {0, w * ux, h * uy, w * ux + h * uy};
    const double ss[4] = {0, w * nx, h * ny, w * nx + h * ny};
    p.tMin = *std::min_element(ts, ts + 4);
    const double tMax = *std::max_element(ts, ts + 4);
    const double sLow = std::max(sFrom, *std::min_element(ss, ss + 4));
    const double sHigh = std::min(sTo, *std::max_element(ss, ss + 4) + 1e-9);
    if (sHigh <= sLow) {
        return p;
    }
    p.sMin = sLow;
    p.bins = static_cast<int>((tMax - p.tMin) * kBinsPerPixel) + 1;
    p.strips = static_cast<int>((sHigh - sLow) / stripWidth) + 1;
    p.sum.assign(static_cast<std::size_t>(p.bins) * p.strips, 0.0f);
    p.count.assign(p.sum.size(), 0);
    // Skipping rows or columns across the axis keeps the bins along it dense.
    const int rowStep = std::fabs(ux) >= std::fabs(uy) ? step : 1;
    const int columnStep = rowStep == 1 ? step : 1;
    for (int y = 0; y < grey.height(); y += rowStep) {
        // The run of x on this row whose s lies in [sLow, sHigh).
        int x0 = 0, x1 = grey.width() - 1;
        if (std::fabs(nx) > 1e-12) {
            const double a = (sLow - y * ny) / nx, b = (sHigh - y * ny) / nx;
            x0 = std::max(x0, static_cast<int>(std::ceil(std::min(a, b))));
            x1 = std::min(x1, static_cast<int>(std::floor(std::max(a, b))));
        } else if (y * ny < sLow || y * ny >= sHigh) {
            continue;
        }
        x0 += (columnStep - x0 % columnStep) % columnStep;
        if (x0 > x1) {
            continue;
        }
        // Bin and strip grow by fixed steps along the row: carried in fixed point.
        const double bin0 = (x0 * ux + y * uy - p.tMin) * kBinsPerPixel;
        const double strip0 = (x0 * nx + y * ny - sLow) / stripWidth;
        AddRun(p, grey.constScanLine(y), x0, x1, columnStep,
               {Fixed(bin0), Fixed(columnStep * ux * kBinsPerPixel)},
               {Fixed(strip0), Fixed(columnStep * nx / stripWidth)});
    }
    return p;
}

std::vector<double> Profile(const Projection& projection, int first, int last)
{
    const int bins = projection.bins;
    std::vector<double> profile(bins, std::numeric_limits<double>::quiet_NaN());
    for (int b = 0; b < bins; ++b) {
        double sum = 0.0;
        int count = 0;
        for (int s = std::max(0, first); s <= last && s < projection.strips; ++s) {
            const std::size_t i = static_cast<std::size_t>(s) * bins + b;
            sum += projection.sum[i];
            count += projection.count[i];
        }
        if (count > 0) {
            profile[b] = sum / count;
        }
    }
    // Pictures lined up with the axis leave every other bin empty: fill such gaps.
    int previous = -1;
    for (int b = 0; b < bins; ++b) {
        if (std::isnan(profile[b])) {
            continue;
        }
        if (previous >= 0 && b - previous > 1 && b - previous <= 4) {
            for (int g = previous + 1; g < b; ++g) {
                const double f = double(g - previous) / (b - previous);
                profile[g] = profile[previous] * (1 - f) + profile[b] * f;
            }
        }
        previous = b;
    }
    return profile;
}

Periodicity FindPeriodicity(const std::vector<double>& profile, double minPeriod, double maxPeriod)
{
    Periodicity result;
    if (profile.size() < 16) {
        return result;
    }
    std::size_t n = 0;
    const std::vector<double> power = PowerSpectrum(HighPass(profile, maxPeriod), n);
    const auto lowest = static_cast<std::size_t>(std::max(2.0, std::floor(n / maxPeriod)));
    const auto highest = std::min(power.size() - 2, static_cast<std::size_t>(std::ceil(n / minPeriod)));
    if (highest <= lowest + 4) {
        return result;
    }
    // Power over the mean of its neighbourhood (the peak itself left out): clutter
    // such as cells and uneven light has most power at low frequencies, and a peak
    // must stand out of its own surroundings.
    std::vector<double> prefix(power.size() + 1, 0.0);
    for (std::size_t k = 0; k < power.size(); ++k) {
        prefix[k + 1] = prefix[k] + power[k];
    }
    std::vector<double> ratio(power.size(), 0.0);
    const auto blockMean = [&](long from) {
        const long lo = std::clamp<long>(from, 0, long(power.size())),
                   hi = std::clamp<long>(from + kBlock, 0, long(power.size()));
        return hi > lo ? (prefix[hi] - prefix[lo]) / double(hi - lo) : 0.0;
    };
    // Each block's mean serves six bins: all of them are taken once, from the lowest
    // block left of the lowest bin to the highest block right of the highest.
    const long before = long(kPeakHalfWidth) + long(kBlock) * kBlocks;
    const long first = long(lowest) - before;
    std::vector<double> means(highest - lowest + 1 + 2 * before);
    for (std::size_t j = 0; j < means.size(); ++j) {
        means[j] = blockMean(first + long(j));
    }
    for (std::size_t k = lowest; k <= highest; ++k) {
        // The median of block means on both sides: other peaks nearby (the long
        // ticks' weaker period) do not raise it.
        const std::size_t at = k - lowest + before;
        std::array<double, 2 * kBlocks> blocks{};
        for (int b = 0; b < kBlocks; ++b) {
            blocks[2 * b] = means[at - kPeakHalfWidth - kBlock * (b + 1)];
            blocks[2 * b + 1] = means[at + kPeakHalfWidth + 1 + kBlock * b];
        }
        std::sort(blocks.begin(), blocks.end());
        ratio[k] = blocks[kBlocks] > 0 ? power[k] / blocks[kBlocks] : 0.0;
    }
    std::size_t peak = PeakIn(ratio, lowest, highest);
    // A thin-ticked ruler's harmonics stand out as much as its fundamental: take the
    // lowest whole fraction of the peak's frequency that still stands out.
    const double top = Refined(power, peak);
    const std::size_t strongest = peak;
    for (int m = 2; top / m >= lowest; ++m) {
        const double k = top / m;
        const std::size_t reach = std::max<std::size_t>(1, static_cast<std::size_t>(k * 0.01));
        const std::size_t candidate =
            PeakIn(ratio, static_cast<std::size_t>(std::max(1.0, std::round(k) - reach)),
                   static_cast<std::size_t>(std::round(k) + reach));
        // It must stand out, and carry power like the peak's: the long ticks every 5
        // and 10 stand out too, but with a small part of the power.
        if (ratio[candidate] >= kFundamentalStandOut &&
            power[candidate] >= kFundamentalShare * power[strongest]) {
            peak = candidate;
        }
    }
    result.period = n / Refined(power, peak);
    result.prominence = ratio[peak];
    return result;
}

std::vector<double> HighPass(const std::vector<double>& profile, double period)
{
    std::vector<double> sum, count;
    Prefix(profile, sum, count);
    const std::size_t size = profile.size();
    std::vector<double> out(size, std::numeric_limits<double>::quiet_NaN());
    // The window [i + 0.5 - period / 2, i + 0.5 + period / 2) slides by whole bins,
    // so its ends keep their fractions; only near the profile's ends are they clamped.
    const WindowEnd lo(0.5 - period / 2, size), hi(0.5 + period / 2, size);
    const auto one = [&](std::size_t i, auto at) {
        if (!std::isnan(profile[i])) {
            const double n = at(hi, count, i) - at(lo, count, i);
            if (n > 0) {
                out[i] = profile[i] - (at(hi, sum, i) - at(lo, sum, i)) / n;
            }
        }
    };
    const auto clamped = [](const WindowEnd& end, const std::vector<double>& prefix, std::size_t i) {
        return end.At(prefix, i);
    };
    const auto inside = [](const WindowEnd& end, const std::vector<double>& prefix, std::size_t i) {
        return end.Inside(prefix, i);
    };
    // Both ends inside the profile for i in [from, to).
    const std::size_t from = std::min(size, std::max(lo.FirstInside(), hi.FirstInside()));
    const std::size_t to = std::clamp(std::min(lo.EndInside(), hi.EndInside()), from, size);
    for (std::size_t i = 0; i < from; ++i) {
        one(i, clamped);
    }
    for (std::size_t i = from; i < to; ++i) {
        one(i, inside);
    }
    for (std::size_t i = to; i < size; ++i) {
        one(i, clamped);
    }
    return out;
}

double Phase(const std::vector<double>& highPassed, const std::vector<Complex>& carrier, double& amplitude)
{
    Complex z(0.0);
    int used = 0;
    const std::size_t end = std::min(highPassed.size(), carrier.size());
    for (std::size_t i = 0; i < end; ++i) {
        if (!std::isnan(highPassed[i])) {
            z += highPassed[i] * carrier[i];
            ++used;
        }
    }
    amplitude = used > 0 ? std::abs(z) / std::sqrt(static_cast<double>(used)) : 0.0;
    return std::arg(z);
}

std::vector<Complex> Carrier(int bins, double period)
{
    std::vector<Complex> carrier(bins);
    for (int j = 0; j < bins; ++j) {
        carrier[j] = std::polar(1.0, -2 * kPi * j / period);
    }
    return carrier;
}

double Amplitude(const std::vector<double>& highPassed, const std::vector<Complex>& carrier, int from, int to)
{
    Complex z(0.0);
    int used = 0;
    const int end = std::min({to, static_cast<int>(highPassed.size()), static_cast<int>(carrier.size())});
    for (int i = std::max(0, from); i < end; ++i) {
        if (!std::isnan(highPassed[i])) {
            z += highPassed[i] * carrier[i];
            ++used;
        }
    }
    return used > 0 ? std::abs(z) / std::sqrt(static_cast<double>(used)) : 0.0;
}

} // namespace ruler
