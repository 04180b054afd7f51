// Names the program parses: the still counter after the last capital N and the
// nominal magnification in a picture name. Any name gives a number or nothing.
#include "capture/StillSaver.h"
#include "measure/Calibration.h"

#include <QString>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString name = QString::fromUtf8(reinterpret_cast<const char*>(data), qsizetype(size));
    if (StillCounterOfName(name) < 0) {
        __builtin_trap();
    }
    const QString magnification = MagnificationFromPictureName(name);
    if (magnification.size() > name.size()) {
        __builtin_trap();
    }
    return 0;
}
