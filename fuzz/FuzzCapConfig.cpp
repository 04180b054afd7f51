// CapConfig.dat of any content: a parse either fails or yields a format that
// serializes back to the same bytes it came from.
#include "capture/CapConfig.h"

#include <QByteArray>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    VideoInfoHeader format{};
    if (ParseVideoInfoHeader(bytes, format)) {
        if (SerializeVideoInfoHeader(format) != bytes) {
            __builtin_trap();
        }
    }
    return 0;
}
