#include "image/stack/FocusFusion.h"

#include "platform/threads/ParallelRows.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr int kFocusRadius = 2; // half-size pixels, two passes
constexpr int kDepthRadius = 3; // half-size pixels, two passes
constexpr float kBlendSteepness = 2.5f;
constexpr float kNoConfidence = 1e-6f;

// Full-size transform in half-size pixel units (half pixel u stands for full 2u + 0.5).
FrameTransform HalfSizeOf(const FrameTransform& t)
{
    return {t.scale, t.dx / 2.0, t.dy / 2.0};
}

// The cubic convolution kernel's free parameter: -0.75 rather than Catmull-Rom's -0.5.
// A frame that is not the reference is resampled at a fraction of a pixel, which
// softens it; this kernel keeps the sharpest frame's detail as strong as in the frame
// itself, where Catmull-Rom lost a few percent of its gradient energy. At whole pixels
// both give the pixel itself.
constexpr float kCubicA = -0.75f;

float CubicKernel(float x)
{
    x = std::abs(x);
    if (x <= 1.0f) {
        return ((kCubicA + 2) * x - (kCubicA + 3)) * x * x + 1;
    }
    if (x < 2.0f) {
        return kCubicA * (((x - 5) * x + 8) * x - 4);
    }
    return 0.0f;
}

// Weights of the four taps for a sample at fraction t past the second.
void CubicWeights(float t, float w[4])
{
    w[0] = CubicKernel(1 + t), w[1] = CubicKernel(t), w[2] = CubicKernel(1 - t), w[3] = CubicKernel(2 - t);
}

// Bicubic RGB32 sample (taps clamp at the edges), which keeps fine detail that a
// bilinear one would soften; false outside the picture.
bool SampleRgb(const QImage& img, float x, float y, float rgb[3])
{
    if (!(x >= 0.0f && y >= 0.0f && x <= img.width() - 1.0f && y <= img.height() - 1.0f)) {
        return false;
    }
    const int x0 = static_cast<int>(x), y0 = static_cast<int>(y);
    float wx[4], wy[4];
    CubicWeights(x - x0, wx);
    CubicWeights(y - y0, wy);
    int xs[4];
    for (int i = 0; i < 4; ++i) {
        xs[i] = std::clamp(x0 - 1 + i, 0, img.width() - 1);
    }
    rgb[0] = rgb[1] = rgb[2] = 0.0f;
    for (int j = 0; j < 4; ++j) {
        const auto* row =
            reinterpret_cast<const QRgb*>(img.constScanLine(std::clamp(y0 - 1 + j, 0, img.height() - 1)));
        float r = 0, g = 0, b = 0;
        for (int i = 0; i < 4; ++i) {
            const QRgb p = row[xs[i]];
            r += wx[i] * qRed(p), g += wx[i] * qGreen(p), b += wx[i] * qBlue(p);
        }
        rgb[0] += wy[j] * r, rgb[1] += wy[j] * g, rgb[2] += wy[j] * b;
    }
    return true;
}

int Round8(float v)
{
    return std::clamp(static_cast<int>(v + 0.5f), 0, 255);
}
} // namespace

GreyPlane FocusMeasure(const GreyPlane& halfLuma, const FrameTransform& toFrame)
{
    const FrameTransform t = HalfSizeOf(toFrame);
    const int w = halfLuma.width, h = halfLuma.height;
    GreyPlane energy{w, h, std::vector<float>(halfLuma.pixels.size(), 0.0f)};
    ParallelRows(h, [&](int begin, int end) {
        for (int y = std::max(1, begin); y < std::min(h - 1, end); ++y) {
            const float* c = halfLuma.row(y);
            float* e = energy.row(y);
            for (int x = 1; x < w - 1; ++x) {
                const float lap = 4 * c[x] - c[x - 1] - c[x + 1] - c[x - w] - c[x + w];
                e[x] = lap * lap;
            }
        }
    });
    BoxBlur(energy, kFocusRadius);
    BoxBlur(energy, kFocusRadius);
    const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0;
    GreyPlane warped{w, h, std::vector<float>(energy.pixels.size(), -1.0f)};
    ParallelRows(h, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const auto fy = static_cast<float>(cy + t.scale * (y - cy) + t.dy);
            float* dst = warped.row(y);
            for (int x = 0; x < w; ++x) {
                energy.Sample(static_cast<float>(cx + t.scale * (x - cx) + t.dx), fy, &dst[x]);
            }
        }
    });
    return warped;
}

DepthAccumulator::DepthAccumulator(int width, int height)
    : m_width(width), m_height(height), m_best(static_cast<std::size_t>(width) * height, -1.0f),
      m_below(m_best.size(), -1.0f), m_above(m_best.size(), -1.0f), m_min(m_best.size(), 0.0f),
      m_previous(m_best.size(), -1.0f), m_index(m_best.size(), 0)
{
}

void DepthAccumulator::Add(const GreyPlane& focus)
{
    const int index = m_added++;
    ParallelRows(m_height, [&](int begin, int end) {
        for (std::size_t p = std::size_t(begin) * m_width; p < std::size_t(end) * m_width; ++p) {
            const float f = focus.pixels[p];
            if (f < 0) {
                continue;
            }
            if (m_best[p] >= 0 && m_index[p] == index - 1) {
                m_above[p] = f;
            }
            if (f > m_best[p]) {
                m_min[p] = m_best[p] < 0 ? f : std::min(m_min[p], m_best[p]);
                m_best[p] = f, m_index[p] = static_cast<std::uint8_t>(index);
                m_below[p] = m_previous[p], m_above[p] = -1.0f;
            } else {
                m_min[p] = std::min(m_min[p], f);
            }
        }
    });
    m_previous = focus.pixels;
}

GreyPlane DepthAccumulator::DepthMap(float fallback) const
{
    GreyPlane weighted{m_width, m_height, std::vector<float>(m_best.size())};
    GreyPlane weight{m_width, m_height, std::vector<float>(m_best.size())};
    for (std::size_t p = 0; p < m_best.size(); ++p) {
        float depth = m_index[p];
        const float b = m_below[p], c = m_best[p], a = m_above[p];
        const float curvature = b - 2 * c + a;
        if (b >= 0 && a >= 0 && curvature < 0) {
            depth += std::clamp(0.5f * (b - a) / curvature, -0.5f, 0.5f);
        }
        const float confidence = std::max(0.0f, c - m_min[p]);
        weighted.pixels[p] = confidence * depth;
        weight.pixels[p] = confidence;
    }
    for (int pass = 0; pass < 2; ++pass) {
        BoxBlur(weighted, kDepthRadius);
        BoxBlur(weight, kDepthRadius);
    }
    for (std::size_t p = 0; p < m_best.size(); ++p) {
        weighted.pixels[p] =
            weight.pixels[p] > kNoConfidence ? weighted.pixels[p] / weight.pixels[p] : fallback;
    }
    return weighted;
}

QImage Composite(const std::vector<QImage>& frames, const std::vector<FrameTransform>& toFrame,
                 const GreyPlane& depth, int referenceIndex)
{
    const int w = frames.front().width(), h = frames.front().height();
    const int last = static_cast<int>(frames.size()) - 1;
    const double cx = (w - 1) / 2.0, cy = (h - 1) / 2.0;
    QImage out(w, h, QImage::Format_RGB32);
    if (out.isNull()) {
        return out;
    }
    const auto sample = [&](int i, int x, int y, float rgb[3]) {
        const FrameTransform& t = toFrame[i];
        return SampleRgb(frames[i], static_cast<float>(cx + t.scale * (x - cx) + t.dx),
                         static_cast<float>(cy + t.scale * (y - cy) + t.dy), rgb);
    };
    ParallelRows(h, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            auto* dst = reinterpret_cast<QRgb*>(out.scanLine(y));
            const float hy = std::clamp((y - 0.5f) / 2.0f, 0.0f, depth.height - 1.0f);
            for (int x = 0; x < w; ++x) {
                float d = static_cast<float>(referenceIndex);
                depth.Sample(std::clamp((x - 0.5f) / 2.0f, 0.0f, depth.width - 1.0f), hy, &d);
                const int k = std::clamp(static_cast<int>(std::floor(d)), 0, last);
                const float f =
                    std::clamp((d - k - 0.5f) * kBlendSteepness + 0.5f, 0.0f, k < last ? 1.0f : 0.0f);
                float a[3] = {}, b[3] = {};
                const bool hasA = f < 1.0f && sample(k, x, y, a);
                const bool hasB = f > 0.0f && sample(k + 1, x, y, b);
                if (hasA && hasB) {
                    for (int c = 0; c < 3; ++c) {
                        a[c] += (b[c] - a[c]) * f;
                    }
                } else if (hasB) {
                    std::copy(b, b + 3, a);
                } else if (!hasA) {
                    sample(referenceIndex, x, y, a); // the frames at this depth do not reach here
                }
                dst[x] = qRgb(Round8(a[0]), Round8(a[1]), Round8(a[2]));
            }
        }
    });
    return out;
}
