#include "image/stack/PictureQuality.h"

#include "image/stack/GreyPlane.h"

#include <cmath>

namespace {
constexpr int kSsimRadius = 3;
constexpr double kC1 = (0.01 * 255) * (0.01 * 255);
constexpr double kC2 = (0.03 * 255) * (0.03 * 255);

GreyPlane Luma(const QImage& picture)
{
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    GreyPlane out{rgb.width(), rgb.height(), std::vector<float>(std::size_t(rgb.width()) * rgb.height())};
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* px = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x) {
            out.row(y)[x] = (77 * qRed(px[x]) + 150 * qGreen(px[x]) + 29 * qBlue(px[x])) / 256.0f;
        }
    }
    return out;
}
} // namespace

double Tenengrad(const QImage& picture, QRect area)
{
    const GreyPlane l = Luma(picture);
    const QRect inner =
        QRect(1, 1, l.width - 2, l.height - 2).intersected(area.isEmpty() ? picture.rect() : area);
    double sum = 0.0;
    for (int y = inner.top(); y <= inner.bottom(); ++y) {
        for (int x = inner.left(); x <= inner.right(); ++x) {
            const double gx = (l.at(x + 1, y - 1) + 2 * l.at(x + 1, y) + l.at(x + 1, y + 1)) -
                              (l.at(x - 1, y - 1) + 2 * l.at(x - 1, y) + l.at(x - 1, y + 1));
            const double gy = (l.at(x - 1, y + 1) + 2 * l.at(x, y + 1) + l.at(x + 1, y + 1)) -
                              (l.at(x - 1, y - 1) + 2 * l.at(x, y - 1) + l.at(x + 1, y - 1));
            sum += gx * gx + gy * gy;
        }
    }
    const double count = double(inner.width()) * inner.height();
    return count > 0 ? sum / count : 0.0;
}

double StructuralSimilarity(const QImage& a, const QImage& b)
{
    if (a.size() != b.size() || a.isNull()) {
        return -1.0;
    }
    GreyPlane mx = Luma(a), my = Luma(b);
    GreyPlane xx = mx, yy = my, xy = mx;
    for (std::size_t i = 0; i < mx.pixels.size(); ++i) {
        xx.pixels[i] = mx.pixels[i] * mx.pixels[i];
        yy.pixels[i] = my.pixels[i] * my.pixels[i];
        xy.pixels[i] = mx.pixels[i] * my.pixels[i];
    }
    for (GreyPlane* p : {&mx, &my, &xx, &yy, &xy}) {
        BoxBlur(*p, kSsimRadius);
    }
    double sum = 0.0;
    for (std::size_t i = 0; i < mx.pixels.size(); ++i) {
        const double ux = mx.pixels[i], uy = my.pixels[i];
        const double vx = xx.pixels[i] - ux * ux, vy = yy.pixels[i] - uy * uy, cxy = xy.pixels[i] - ux * uy;
        sum += ((2 * ux * uy + kC1) * (2 * cxy + kC2)) / ((ux * ux + uy * uy + kC1) * (vx + vy + kC2));
    }
    return sum / mx.pixels.size();
}
