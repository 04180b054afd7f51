#pragma once
// The preview area of the main window that live measurements live in: 640 x 480
// client pixels whose origin sits at client (193, 33), one row above the preview
// window itself. Live points are positions in this area; the area's own pixels run
// from 1 to 640 and 1 to 480.
#include <QPoint>

namespace livearea {

inline constexpr QPoint kOrigin(193, 33);
inline constexpr int kWidth = 640;
inline constexpr int kHeight = 480;

// Client position to preview position; false (nothing written) outside the area.
bool ToPreview(QPoint client, QPoint& preview);

// Client position to the nearest preview position inside the area.
QPoint ClampToPreview(QPoint client);

} // namespace livearea
