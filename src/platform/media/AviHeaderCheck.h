#pragma once
// A look at an AVI file's header before FFmpeg reads it. FFmpeg trusts the sizes
// the header's chunks claim and allocates (and clears) that much memory: a few
// hundred damaged bytes can cost gigabytes and many seconds. Every chunk before
// the pictures must fit in the file.
#include <cstdint>

// True when `fd` starts as an AVI file ("RIFF" … "AVI ") whose header chunks up to
// the picture list ("movi") all lie within its `fileSize` bytes. Reads with pread,
// so the file position stays where it is.
bool AviHeaderFits(int fd, int64_t fileSize);
