#include "platform/camera/DepthSlide.h"

#include "platform/threads/ParallelRows.h"

#include <QPainter>
#include <algorithm>
#include <cmath>
#include <random>

namespace {
constexpr double kReferenceWidth = 2592.0;
constexpr double kBlurPerUnit = 0.05; // pixels of disc radius per focus unit at 2592 wide
constexpr double kLowEnd = 12.0;      // the ruler's height at the left edge
constexpr double kHighEnd = 200.0;    // ... and at the right edge
constexpr unsigned kSeed = 20261208;
constexpr double kSeriesNear = 10.0;  // focus of the first frame of a series
constexpr double kSeriesFar = 245.0;  // ... and of the last
constexpr double kDriftScale = 0.002; // per frame
constexpr double kDriftX = 1.7;       // pixels per frame at 2592 wide
constexpr double kDriftY = -1.1;

struct Bead {
    double x, y, radius; // shares of the width / height / width
    double base, top;    // heights at the rim and the summit
    QColor colour;
};
const Bead kBeads[] = {
    {0.22, 0.30, 0.075, 150.0, 245.0, QColor(176, 92, 60)},
    {0.52, 0.72, 0.060, 20.0, 120.0, QColor(70, 120, 170)},
    {0.80, 0.32, 0.065, 60.0, 110.0, QColor(200, 170, 70)},
};

// Grain: random values on a coarse grid, smoothly enlarged, several scales summed.
QImage Grain(int width, int height, std::mt19937& random)
{
    QImage sum(width, height, QImage::Format_Grayscale8);
    sum.fill(0);
    std::vector<float> acc(static_cast<std::size_t>(width) * height, 0.0f);
    const int cells[] = {3, 9, 40};
    const float weights[] = {0.5f, 0.3f, 0.2f};
    for (int s = 0; s < 3; ++s) {
        QImage coarse(std::max(2, width / cells[s]), std::max(2, height / cells[s]),
                      QImage::Format_Grayscale8);
        std::uniform_int_distribution<int> value(0, 255);
        for (int y = 0; y < coarse.height(); ++y) {
            for (int x = 0; x < coarse.width(); ++x) {
                coarse.scanLine(y)[x] = static_cast<uchar>(value(random));
            }
        }
        const QImage big = coarse.scaled(width, height, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                acc[static_cast<std::size_t>(y) * width + x] += weights[s] * big.constScanLine(y)[x];
            }
        }
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            sum.scanLine(y)[x] = static_cast<uchar>(acc[static_cast<std::size_t>(y) * width + x]);
        }
    }
    return sum;
}

void DrawStage(QImage& img, const QImage& grain)
{
    for (int y = 0; y < img.height(); ++y) {
        auto* px = reinterpret_cast<QRgb*>(img.scanLine(y));
        const uchar* g = grain.constScanLine(y);
        for (int x = 0; x < img.width(); ++x) {
            const int v = 90 + (g[x] - 128) * 3 / 4 + 40;
            px[x] = qRgb(std::clamp(v, 0, 255), std::clamp(v + 4, 0, 255), std::clamp(v + 10, 0, 255));
        }
    }
}

void DrawRuler(QPainter& p, int width, int height)
{
    const double unit = width / kReferenceWidth;
    const QRectF strip(0, height * 0.44, width, height * 0.16);
    p.fillRect(strip, QColor(232, 228, 214));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(24, 26, 38));
    const double pitch = 26.0 * unit;
    for (int k = 0; k * pitch < width; ++k) {
        const double len = strip.height() * (k % 10 == 0 ? 0.6 : k % 5 == 0 ? 0.42 : 0.28);
        p.drawRect(QRectF(k * pitch + 6 * unit, strip.top(), 3.0 * unit, len));
    }
    QFont font("DejaVu Sans");
    font.setPixelSize(std::max(8, static_cast<int>(34 * unit)));
    p.setFont(font);
    p.setPen(QColor(24, 26, 38));
    for (int k = 0; k * pitch < width; k += 10) {
        p.drawText(QPointF(k * pitch + 12 * unit, strip.bottom() - 10 * unit), QString::number(k / 10));
    }
}

// A bead: a dome with a speckled glaze, shaded from the upper left.
void DrawBead(QImage& img, const Bead& b, const QImage& grain, std::vector<float>& heights)
{
    const int w = img.width(), h = img.height();
    const double cx = b.x * w, cy = b.y * h, r = b.radius * w;
    for (int y = std::max(0, int(cy - r)); y < std::min(h, int(cy + r + 1)); ++y) {
        auto* px = reinterpret_cast<QRgb*>(img.scanLine(y));
        const uchar* g = grain.constScanLine(h - 1 - y);
        for (int x = std::max(0, int(cx - r)); x < std::min(w, int(cx + r + 1)); ++x) {
            const double d2 = ((x - cx) * (x - cx) + (y - cy) * (y - cy)) / (r * r);
            if (d2 > 1.0) {
                continue;
            }
            const double dome = std::sqrt(1.0 - d2);
            heights[static_cast<std::size_t>(y) * w + x] =
                static_cast<float>(b.base + (b.top - b.base) * dome);
            const double light = 0.55 + 0.45 * std::clamp(dome - 0.4 * ((x - cx) + (y - cy)) / r, 0.0, 1.0);
            const double speckle = (g[w - 1 - x] - 128) * 0.9;
            const auto shade = [&](int c) {
                return std::clamp(static_cast<int>(c * light + speckle), 0, 255);
            };
            px[x] = qRgb(shade(b.colour.red()), shade(b.colour.green()), shade(b.colour.blue()));
        }
    }
}

// One pass of a box of half-width radius + fraction along `count` values `stride` apart,
// written contiguously to `dst`.
void FractionalBox(const float* src, float* dst, int count, std::ptrdiff_t stride, int radius, float fraction)
{
    const auto at = [&](int i) { return src[std::clamp(i, 0, count - 1) * stride]; };
    const float scale = 1.0f / (2 * radius + 1 + 2 * fraction);
    float sum = 0.0f;
    for (int i = -radius; i <= radius; ++i) {
        sum += at(i);
    }
    for (int i = 0; i < count; ++i) {
        dst[i] = (sum + fraction * (at(i - radius - 1) + at(i + radius + 1))) * scale;
        sum += at(i + radius + 1) - at(i - radius);
    }
}

// Half-width and end weight of a box pass with the variance `v`.
std::pair<int, float> BoxFor(double v)
{
    int r = 0;
    while ((r + 1.0) * (r + 2.0) / 3.0 < v) { // the variance of the full box one wider
        ++r;
    }
    const double s = r * (r + 1.0) * (2 * r + 1.0) / 3.0;
    const double f = (v * (2 * r + 1) - s) / (2.0 * (r + 1) * (r + 1) - 2 * v);
    return {r, static_cast<float>(std::clamp(f, 0.0, 1.0))};
}

// The picture blurred like a disc of radius `radius`: two box passes along each axis.
QImage DiscBlur(const QImage& rgb32, double radius)
{
    if (radius <= 0.0) {
        return rgb32;
    }
    // Plain names rather than a structured binding: the passes below capture them.
    const std::pair<int, float> box = BoxFor(radius * radius / 8.0);
    const int r = box.first;
    const float f = box.second;
    const int w = rgb32.width(), h = rgb32.height();
    std::vector<float> planes[3];
    for (auto& p : planes) {
        p.resize(static_cast<std::size_t>(w) * h);
    }
    for (int y = 0; y < h; ++y) {
        const auto* px = reinterpret_cast<const QRgb*>(rgb32.constScanLine(y));
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            planes[0][i] = qRed(px[x]), planes[1][i] = qGreen(px[x]), planes[2][i] = qBlue(px[x]);
        }
    }
    for (auto& p : planes) {
        for (int pass = 0; pass < 2; ++pass) {
            ParallelRows(h, [&](int begin, int end) {
                std::vector<float> line(w);
                for (int y = begin; y < end; ++y) {
                    FractionalBox(p.data() + std::size_t(y) * w, line.data(), w, 1, r, f);
                    std::copy(line.begin(), line.end(), p.begin() + std::size_t(y) * w);
                }
            });
            ParallelRows(w, [&](int begin, int end) {
                std::vector<float> column(h);
                for (int x = begin; x < end; ++x) {
                    FractionalBox(p.data() + x, column.data(), h, w, r, f);
                    for (int y = 0; y < h; ++y) {
                        p[std::size_t(y) * w + x] = column[y];
                    }
                }
            });
        }
    }
    QImage out(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y) {
        auto* px = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < w; ++x) {
            const std::size_t i = static_cast<std::size_t>(y) * w + x;
            px[x] = qRgb(int(planes[0][i] + 0.5f), int(planes[1][i] + 0.5f), int(planes[2][i] + 0.5f));
        }
    }
    return out;
}

QRgb Mix(QRgb a, QRgb b, float t)
{
    const auto m = [t](int u, int v) { return static_cast<int>(u + (v - u) * t + 0.5f); };
    return qRgb(m(qRed(a), qRed(b)), m(qGreen(a), qGreen(b)), m(qBlue(a), qBlue(b)));
}
} // namespace

DepthSlide::DepthSlide(int width, int height) : m_truth(width, height, QImage::Format_RGB32)
{
    std::mt19937 random(kSeed);
    const QImage grain = Grain(width, height, random);
    DrawStage(m_truth, grain);
    {
        QPainter p(&m_truth);
        p.setRenderHint(QPainter::Antialiasing);
        DrawRuler(p, width, height);
    }
    m_height.resize(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            m_height[static_cast<std::size_t>(y) * width + x] =
                static_cast<float>(kLowEnd + (kHighEnd - kLowEnd) * x / std::max(1, width - 1));
        }
    }
    for (const Bead& b : kBeads) {
        DrawBead(m_truth, b, grain, m_height);
    }
    BuildLevels();
}

double DepthSlide::BlurRadius(double distance) const
{
    return kBlurPerUnit * std::abs(distance) * width() / kReferenceWidth;
}

void DepthSlide::BuildLevels()
{
    const double largest = BlurRadius(kFocusMax - kFocusMin);
    for (double r = 0.0; r < largest + 1.0; r = r < 2.0 ? r + 0.5 : r * 1.35) {
        m_radii.push_back(r);
    }
    m_levels.resize(m_radii.size());
    for (std::size_t i = 0; i < m_radii.size(); ++i) {
        m_levels[i] = DiscBlur(m_truth, m_radii[i]);
    }
}

QImage DepthSlide::AtFocus(double focus) const
{
    QImage out(width(), height(), QImage::Format_RGB32);
    const int w = width();
    ParallelRows(height(), [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
            for (int x = 0; x < w; ++x) {
                const double r = BlurRadius(HeightAt(x, y) - focus);
                const auto upper = std::upper_bound(m_radii.begin(), m_radii.end(), r);
                const std::size_t hi = std::min<std::size_t>(upper - m_radii.begin(), m_radii.size() - 1);
                const std::size_t lo = hi > 0 ? hi - 1 : 0;
                const double span = m_radii[hi] - m_radii[lo];
                const float t =
                    span > 0 ? static_cast<float>(std::clamp((r - m_radii[lo]) / span, 0.0, 1.0)) : 0.f;
                const QRgb a = reinterpret_cast<const QRgb*>(m_levels[lo].constScanLine(y))[x];
                const QRgb b = reinterpret_cast<const QRgb*>(m_levels[hi].constScanLine(y))[x];
                dst[x] = Mix(a, b, t);
            }
        }
    });
    return out;
}

QImage ShiftedAndScaled(const QImage& rgb32, double scale, double dx, double dy)
{
    const int w = rgb32.width(), h = rgb32.height();
    const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0;
    QImage out(w, h, QImage::Format_RGB32);
    ParallelRows(h, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
            const double sy = std::clamp(cy + (y - cy - dy) / scale, 0.0, h - 1.0);
            const int y0 = std::min(static_cast<int>(sy), h - 2);
            const float fy = static_cast<float>(sy - y0);
            const auto* r0 = reinterpret_cast<const QRgb*>(rgb32.constScanLine(y0));
            const auto* r1 = reinterpret_cast<const QRgb*>(rgb32.constScanLine(y0 + 1));
            for (int x = 0; x < w; ++x) {
                const double sx = std::clamp(cx + (x - cx - dx) / scale, 0.0, w - 1.0);
                const int x0 = std::min(static_cast<int>(sx), w - 2);
                const float fx = static_cast<float>(sx - x0);
                dst[x] = Mix(Mix(r0[x0], r0[x0 + 1], fx), Mix(r1[x0], r1[x0 + 1], fx), fy);
            }
        }
    });
    return out;
}

std::vector<FocusSeriesFrame> FocusSeries(const DepthSlide& slide, int count)
{
    std::vector<FocusSeriesFrame> frames;
    const double unit = slide.width() / kReferenceWidth;
    for (int k = 0; k < count; ++k) {
        const int j = k - count / 2;
        FocusSeriesFrame f;
        f.focus = count > 1 ? kSeriesNear + (kSeriesFar - kSeriesNear) * k / (count - 1) : kFocusDefault;
        f.scale = 1.0 + kDriftScale * j;
        f.dx = (kDriftX * j + 0.3 * (j % 2)) * unit;
        f.dy = kDriftY * j * unit;
        f.picture =
            j == 0 ? slide.AtFocus(f.focus) : ShiftedAndScaled(slide.AtFocus(f.focus), f.scale, f.dx, f.dy);
        frames.push_back(std::move(f));
    }
    return frames;
}
