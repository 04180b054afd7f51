#include "image/stack/GreyPlane.h"

#include "platform/threads/ParallelRows.h"

#include <algorithm>
#include <cmath>

bool GreyPlane::Sample(float x, float y, float* value) const
{
    if (!(x >= 0.0f && y >= 0.0f && x <= width - 1.0f && y <= height - 1.0f)) {
        return false;
    }
    const int x0 = std::min(static_cast<int>(x), width - 2);
    const int y0 = std::min(static_cast<int>(y), height - 2);
    const float fx = x - x0, fy = y - y0;
    const float* r0 = row(y0) + x0;
    const float* r1 = r0 + width;
    const float top = r0[0] + (r0[1] - r0[0]) * fx;
    const float bottom = r1[0] + (r1[1] - r1[0]) * fx;
    *value = top + (bottom - top) * fy;
    return true;
}

GreyPlane HalfSizeLuma(const QImage& rgb32)
{
    GreyPlane out{rgb32.width() / 2, rgb32.height() / 2, {}};
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height);
    ParallelRows(out.height, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const auto* a = reinterpret_cast<const QRgb*>(rgb32.constScanLine(2 * y));
            const auto* b = reinterpret_cast<const QRgb*>(rgb32.constScanLine(2 * y + 1));
            float* dst = out.row(y);
            for (int x = 0; x < out.width; ++x) {
                const QRgb p[4] = {a[2 * x], a[2 * x + 1], b[2 * x], b[2 * x + 1]};
                int sum = 0;
                for (QRgb c : p) {
                    sum += 77 * qRed(c) + 150 * qGreen(c) + 29 * qBlue(c);
                }
                dst[x] = sum * (1.0f / 1024.0f);
            }
        }
    });
    return out;
}

GreyPlane HalfSize(const GreyPlane& plane)
{
    GreyPlane out{plane.width / 2, plane.height / 2, {}};
    out.pixels.resize(static_cast<std::size_t>(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        const float* a = plane.row(2 * y);
        const float* b = plane.row(2 * y + 1);
        float* dst = out.row(y);
        for (int x = 0; x < out.width; ++x) {
            dst[x] = 0.25f * (a[2 * x] + a[2 * x + 1] + b[2 * x] + b[2 * x + 1]);
        }
    }
    return out;
}

namespace {
// Running-sum box filter along a row.
void BoxLine(const float* src, float* dst, int count, int radius)
{
    const float scale = 1.0f / (2 * radius + 1);
    float sum = 0.0f;
    const auto at = [&](int i) { return src[std::clamp(i, 0, count - 1)]; };
    for (int i = -radius; i <= radius; ++i) {
        sum += at(i);
    }
    for (int i = 0; i < count; ++i) {
        dst[i] = sum * scale;
        sum += at(i + radius + 1) - at(i - radius);
    }
}
} // namespace

void BoxBlur(GreyPlane& plane, int radius)
{
    if (radius <= 0 || plane.pixels.empty()) {
        return;
    }
    ParallelRows(plane.height, [&](int begin, int end) {
        std::vector<float> line(plane.width);
        for (int y = begin; y < end; ++y) {
            BoxLine(plane.row(y), line.data(), plane.width, radius);
            std::copy(line.begin(), line.end(), plane.row(y));
        }
    });
    // Down the columns with one running sum per column, a row at a time, so memory is read in order.
    const std::vector<float> source = plane.pixels;
    const int h = plane.height, w = plane.width;
    const float scale = 1.0f / (2 * radius + 1);
    ParallelRows(w, [&](int begin, int end) {
        std::vector<float> sum(end - begin, 0.0f);
        const auto row = [&](int y) {
            return source.data() + std::size_t(std::clamp(y, 0, h - 1)) * w + begin;
        };
        for (int y = -radius; y <= radius; ++y) {
            const float* r = row(y);
            for (int x = 0; x < end - begin; ++x) {
                sum[x] += r[x];
            }
        }
        for (int y = 0; y < h; ++y) {
            float* dst = plane.row(y) + begin;
            const float* add = row(y + radius + 1);
            const float* drop = row(y - radius);
            for (int x = 0; x < end - begin; ++x) {
                dst[x] = sum[x] * scale;
                sum[x] += add[x] - drop[x];
            }
        }
    });
}
