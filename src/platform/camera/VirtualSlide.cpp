#include "platform/camera/VirtualSlide.h"

#include <QPainter>
#include <QRadialGradient>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

namespace {
constexpr double kDivisionUm = 10.0; // 0.01 mm
// The program's nominal scale: micrometres per pixel of the 640-pixel-wide preview at
// magnification 10, by sensor class (class 1 at 1280 x 960 as class 0).
constexpr double kNominalUmPerPreviewPixel[3] = {63.829787234, 80.0, 66.666667};
constexpr double kPreviewWidth = 640.0;
// Below this many pixels per division the ticks are drawn thinner than their gaps.
constexpr double kFineRuler = 10.0;

std::uint8_t Clamp8(double v)
{
    return static_cast<std::uint8_t>(std::lround(std::clamp(v, 0.0, 255.0)));
}

void DrawRuler(QPainter& p, int width, int height, double ppd)
{
    const QColor ink(28, 30, 44);
    const double axisY = height * 0.55;
    const double lineWidth = ppd < kFineRuler ? ppd * 0.3 : std::max(2.0, ppd / 22.0);
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRect(QRectF(0, axisY - lineWidth / 2, width, std::max(1.5, lineWidth)));
    QFont font("DejaVu Sans");
    font.setPixelSize(std::max(9, static_cast<int>(std::min(ppd, 60.0) * 0.45)));
    p.setFont(font);
    const double origin = width * 0.08;
    for (int k = 0; origin + k * ppd < width; ++k) {
        const double x = origin + k * ppd;
        // Fine rulers get ticks several divisions long, as on a real micrometer.
        const double unit = ppd < kFineRuler ? std::max(ppd * 2.5, 8.0) / 0.6 : ppd;
        const double len = (k % 10 == 0) ? unit * 1.4 : (k % 5 == 0 ? unit * 0.95 : unit * 0.6);
        p.setPen(Qt::NoPen);
        p.drawRect(QRectF(x - lineWidth / 2, axisY - len, lineWidth, len));
        const bool roomForNumbers = ppd * 10 >= 2 * font.pixelSize();
        if ((k % 10 == 0 && roomForNumbers) || (ppd >= 60 && k % 5 == 0)) {
            p.setPen(ink);
            p.drawText(QPointF(x + lineWidth * 2, axisY - len + font.pixelSize()), QString::number(k));
        }
    }
    p.setPen(ink);
    p.drawText(QPointF(width * 0.05, height * 0.9), "1 DIV = 0.01 mm");
}

void ApplyTone(QImage& img, const SlideLook& look)
{
    std::array<std::uint8_t, 256> lut{};
    const double contrast = look.contrast / 32.0;
    const double gamma = look.gamma / 100.0;
    for (int i = 0; i < 256; ++i) {
        double v = (i - 128.0) * contrast + 128.0 + look.brightness * 1.5;
        v = 255.0 * std::pow(std::clamp(v, 0.0, 255.0) / 255.0, 1.0 / gamma);
        lut[i] = Clamp8(v);
    }
    const double sat = look.saturation / 64.0;
    const double angle = look.hue * M_PI / 180.0;
    const double c = std::cos(angle), s = std::sin(angle);
    for (int y = 0; y < img.height(); ++y) {
        std::uint8_t* px = img.scanLine(y);
        for (int x = 0; x < img.width(); ++x, px += 3) {
            const double r = lut[px[0]], g = lut[px[1]], b = lut[px[2]];
            // Hue turns and saturation scales the chroma around the luma axis.
            const double luma = 0.299 * r + 0.587 * g + 0.114 * b;
            const double i0 = 0.596 * r - 0.274 * g - 0.322 * b;
            const double q0 = 0.211 * r - 0.523 * g + 0.312 * b;
            const double i1 = (i0 * c - q0 * s) * sat;
            const double q1 = (i0 * s + q0 * c) * sat;
            px[0] = Clamp8(luma + 0.956 * i1 + 0.621 * q1);
            px[1] = Clamp8(luma - 0.272 * i1 - 0.647 * q1);
            px[2] = Clamp8(luma - 1.106 * i1 + 1.703 * q1);
        }
    }
}

QImage Blurred(const QImage& img, int factor)
{
    return img
        .scaled(std::max(1, img.width() / factor), std::max(1, img.height() / factor), Qt::IgnoreAspectRatio,
                Qt::SmoothTransformation)
        .scaled(img.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
        .convertToFormat(QImage::Format_RGB888);
}

void ApplySharpness(QImage& img, int sharpness)
{
    if (sharpness < 3) {
        img = Blurred(img, 1 + 2 * (3 - sharpness));
        return;
    }
    if (sharpness == 3) {
        return;
    }
    const QImage soft = Blurred(img, 3);
    const double amount = (sharpness - 3) * 0.6;
    for (int y = 0; y < img.height(); ++y) {
        std::uint8_t* px = img.scanLine(y);
        const std::uint8_t* sp = soft.constScanLine(y);
        for (int x = 0; x < img.width() * 3; ++x) {
            px[x] = Clamp8(px[x] + (px[x] - sp[x]) * amount);
        }
    }
}

struct Yuv {
    std::uint8_t y, u, v;
};

Yuv ToYuv(int r, int g, int b)
{
    return {static_cast<std::uint8_t>(16 + ((66 * r + 129 * g + 25 * b + 128) >> 8)),
            static_cast<std::uint8_t>(128 + ((-38 * r - 74 * g + 112 * b + 128) >> 8)),
            static_cast<std::uint8_t>(128 + ((112 * r - 94 * g - 18 * b + 128) >> 8))};
}

// The cell: a stained membrane with a darker nucleus.
constexpr Yuv kMembrane{96, 150, 150};
constexpr Yuv kNucleus{52, 160, 140};

// Visits every even-aligned pixel pair the disc covers, with the colour to use.
template <typename Fn> void ForEachCellPair(int cx, int cy, int radius, int width, int height, Fn fn)
{
    const int nucleus = radius * 2 / 5;
    for (int dy = -radius; dy <= radius; ++dy) {
        const int y = cy + dy;
        if (y < 0 || y >= height) {
            continue;
        }
        const int half = static_cast<int>(std::sqrt(double(radius) * radius - double(dy) * dy));
        const int inner =
            std::abs(dy) < nucleus ? static_cast<int>(std::sqrt(double(nucleus) * nucleus - dy * dy)) : -1;
        const int x0 = std::max(0, (cx - half) & ~1);
        const int x1 = std::min(width - 2, cx + half);
        for (int x = x0; x <= x1; x += 2) {
            fn(x, y, std::abs(x - cx) <= inner ? kNucleus : kMembrane);
        }
    }
}
} // namespace

double PixelsPerDivision(int deviceClass, int width, int height, double magnification)
{
    const int cls = std::clamp(deviceClass, 0, 2);
    const bool crop1280 = cls == 1 && width == 1280 && height == 960;
    const double umPerPreviewPixel = kNominalUmPerPreviewPixel[crop1280 ? 0 : cls] * 10.0 / magnification;
    const double previewPixels = kDivisionUm / umPerPreviewPixel;
    return previewPixels * width / kPreviewWidth * kSlideMagnificationError;
}

QImage RenderSlide(int deviceClass, int width, int height, const SlideLook& look, double magnification)
{
    QImage img(width, height, QImage::Format_RGB888);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QRadialGradient light(width / 2.0, height / 2.0, std::hypot(width, height) / 2.0);
    light.setColorAt(0.0, QColor(236, 240, 232));
    light.setColorAt(1.0, QColor(150, 160, 150));
    p.fillRect(img.rect(), light);
    DrawRuler(p, width, height, PixelsPerDivision(deviceClass, width, height, magnification));
    p.end();
    ApplyLook(img, look);
    return img;
}

void ApplyLook(QImage& rgb888, const SlideLook& look)
{
    ApplySharpness(rgb888, look.sharpness);
    ApplyTone(rgb888, look);
}

void SlideFrames::Prepare(const QImage& slide, bool withCell)
{
    m_withCell = withCell;
    const QImage rgb = slide.convertToFormat(QImage::Format_RGB888);
    m_width = rgb.width() & ~1;
    m_height = rgb.height();
    const std::size_t pixels = static_cast<std::size_t>(m_width) * m_height;
    m_yuyv.resize(pixels * 2);
    m_y.resize(pixels);
    m_u.resize(pixels / 2);
    m_v.resize(pixels / 2);
    for (int y = 0; y < m_height; ++y) {
        const std::uint8_t* px = rgb.constScanLine(y);
        for (int x = 0; x < m_width; x += 2) {
            const Yuv a = ToYuv(px[x * 3], px[x * 3 + 1], px[x * 3 + 2]);
            const Yuv b = ToYuv(px[x * 3 + 3], px[x * 3 + 4], px[x * 3 + 5]);
            const std::size_t i = static_cast<std::size_t>(y) * m_width + x;
            const std::uint8_t u = static_cast<std::uint8_t>((a.u + b.u) / 2);
            const std::uint8_t v = static_cast<std::uint8_t>((a.v + b.v) / 2);
            std::uint8_t* q = &m_yuyv[i * 2];
            q[0] = a.y, q[1] = u, q[2] = b.y, q[3] = v;
            m_y[i] = a.y, m_y[i + 1] = b.y;
            m_u[i / 2] = u, m_v[i / 2] = v;
        }
    }
}

SlideFrames::Disc SlideFrames::CellAt(double seconds) const
{
    if (!m_withCell) {
        return {0, 0, -1}; // covers no pixel
    }
    const int radius = std::max(4, m_height / 14);
    const int cx = static_cast<int>(m_width * (0.5 + 0.32 * std::sin(seconds * 0.21)));
    const int cy = static_cast<int>(m_height * (0.5 + 0.28 * std::sin(seconds * 0.29 + 1.0)));
    return {cx, cy, radius};
}

void SlideFrames::ComposeYuyv(double seconds, std::uint8_t* out) const
{
    std::memcpy(out, m_yuyv.data(), m_yuyv.size());
    const Disc d = CellAt(seconds);
    ForEachCellPair(d.cx, d.cy, d.radius, m_width, m_height, [&](int x, int y, Yuv c) {
        std::uint8_t* q = out + (static_cast<std::size_t>(y) * m_width + x) * 2;
        q[0] = c.y, q[1] = c.u, q[2] = c.y, q[3] = c.v;
    });
}

void SlideFrames::ComposePlanes(double seconds, std::uint8_t* y, std::uint8_t* u, std::uint8_t* v) const
{
    std::memcpy(y, m_y.data(), m_y.size());
    std::memcpy(u, m_u.data(), m_u.size());
    std::memcpy(v, m_v.data(), m_v.size());
    const Disc d = CellAt(seconds);
    ForEachCellPair(d.cx, d.cy, d.radius, m_width, m_height, [&](int x, int row, Yuv c) {
        const std::size_t i = static_cast<std::size_t>(row) * m_width + x;
        y[i] = c.y, y[i + 1] = c.y;
        u[i / 2] = c.u, v[i / 2] = c.v;
    });
}
