// The strip's picture readers: BMP through the raw reader and JPEG through the
// codec, fed truncated and hostile files. A thumbnail is either null or sane.
#include "FuzzInput.h"
#include "files/Thumbnails.h"

#include <QImage>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    for (const char* name : {"fuzz.bmp", "fuzz.jpg"}) {
        const QImage thumb = DecodeThumbnail(WriteFuzzFile(data, size, QString::fromLatin1(name)), false);
        if (!thumb.isNull() && (thumb.width() <= 0 || thumb.height() <= 0)) {
            __builtin_trap();
        }
    }
    return 0;
}
