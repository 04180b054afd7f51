#include "files/VideoThumbnail.h"

#include "platform/media/ClipReader.h"

QImage DecodeFirstVideoFrame(const QString& path)
{
    ClipReader reader;
    ClipFrame first;
    if (!reader.Open(path) || !reader.ReadFrame(first)) {
        return {};
    }
    return first.image;
}
