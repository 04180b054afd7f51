#include "liveview/LivePreviewArea.h"

#include <algorithm>

namespace livearea {

bool ToPreview(QPoint client, QPoint& preview)
{
    const QPoint p = client - kOrigin;
    if (p.x() < 1 || p.x() > kWidth || p.y() < 1 || p.y() > kHeight) {
        return false;
    }
    preview = p;
    return true;
}

QPoint ClampToPreview(QPoint client)
{
    const QPoint p = client - kOrigin;
    return QPoint(std::clamp(p.x(), 1, kWidth), std::clamp(p.y(), 1, kHeight));
}

} // namespace livearea
