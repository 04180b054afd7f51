// The strip's video reader: the first frame of a damaged AVI is either decoded or
// missing, never a crash or a hang.
#include "FuzzInput.h"
#include "files/VideoThumbnail.h"

#include <QImage>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QImage frame = DecodeFirstVideoFrame(WriteFuzzFile(data, size, QStringLiteral("fuzz.avi")));
    if (!frame.isNull() && (frame.width() <= 0 || frame.height() <= 0)) {
        __builtin_trap();
    }
    return 0;
}
