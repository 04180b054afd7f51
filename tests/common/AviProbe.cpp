// Prints what a player finds in a recording: "<header frames> <rate> <decoded>",
// exit code 1 when the file does not open as a video.
#include "common/AviReadBack.h"

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: avi_probe FILE.avi\n");
        return 2;
    }
    const AviReadBack back = ReadAvi(QString::fromLocal8Bit(argv[1]));
    if (!back.opened) {
        return 1;
    }
    std::printf("%lld %d %d\n", static_cast<long long>(back.headerFrames), back.rate, back.decoded);
    return 0;
}
