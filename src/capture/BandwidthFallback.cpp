#include "capture/BandwidthFallback.h"

#include <algorithm>

namespace {
long long Area(int width, int height)
{
    return static_cast<long long>(width) * height;
}

bool Offers(const std::vector<CameraCapability>& offered, CameraSubtype subtype, int width, int height)
{
    return std::find(offered.begin(), offered.end(), CameraCapability{subtype, width, height}) !=
           offered.end();
}
} // namespace

std::vector<CameraFormat> LighterModes(const std::vector<CameraCapability>& offered, const CameraFormat& from)
{
    std::vector<CameraFormat> modes;
    const auto add = [&](CameraSubtype subtype, int width, int height) {
        modes.push_back({subtype, width, height, from.averageTimePerFrame});
    };
    if (from.subtype != CameraSubtype::MJPG &&
        Offers(offered, CameraSubtype::MJPG, from.width, from.height)) {
        add(CameraSubtype::MJPG, from.width, from.height);
    }
    std::vector<CameraCapability> smaller;
    for (const CameraCapability& c : offered) {
        const bool seen = std::any_of(smaller.begin(), smaller.end(), [&](const CameraCapability& s) {
            return s.width == c.width && s.height == c.height;
        });
        if (!seen && Area(c.width, c.height) < Area(from.width, from.height)) {
            smaller.push_back(c);
        }
    }
    // Largest first; the sizes are distinct, so the wider one goes first at equal areas.
    std::sort(smaller.begin(), smaller.end(), [](const CameraCapability& a, const CameraCapability& b) {
        const auto areaA = Area(a.width, a.height), areaB = Area(b.width, b.height);
        return areaA != areaB ? areaA > areaB : a.width > b.width;
    });
    for (const CameraCapability& c : smaller) {
        add(Offers(offered, CameraSubtype::MJPG, c.width, c.height) ? CameraSubtype::MJPG : c.subtype,
            c.width, c.height);
    }
    return modes;
}

QString ModeName(const CameraFormat& mode)
{
    return QStringLiteral("%1 x %2 %3")
        .arg(mode.width)
        .arg(mode.height)
        .arg(QLatin1String(CameraSubtypeName(mode.subtype)));
}
