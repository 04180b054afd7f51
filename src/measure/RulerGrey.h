#pragma once
// The ruler finder's grey picture: integer-weighted luma in one pass over the
// camera's formats, without colour management (the finder looks at edges and
// periods, not at tones).
#include <QImage>

namespace ruler {

// Grayscale8 of the same size; 8-bit RGB and 32-bit (A)RGB pictures are converted
// here, others through Qt.
QImage GreyPicture(const QImage& picture);

} // namespace ruler
