#pragma once
// Small AVI clips written with the encoders a recording may use, for the clip
// reader and player tests. Each picture has a colour of its own, so a test can
// tell from a decoded picture which one it is.
#include <QColor>
#include <QRgb>
#include <QString>
#include <optional>

namespace testclips {

enum class Codec { Mjpeg, MsVideo1, Raw };

struct ClipPlan {
    Codec codec = Codec::Mjpeg;
    int width = 32; // MS Video 1 needs multiples of 4
    int height = 24;
    int frames = 10;
    int fps = 10;
    int keyInterval = 1;          // 1: every picture a key picture
    std::optional<QColor> colour; // one colour for every picture instead
};

// A 32 x 24 clip of `frames` pictures.
inline ClipPlan Clip(Codec codec, int frames, int fps = 10, int keyInterval = 1)
{
    ClipPlan plan;
    plan.codec = codec;
    plan.frames = frames;
    plan.fps = fps;
    plan.keyInterval = keyInterval;
    return plan;
}

bool WriteClip(const QString& path, const ClipPlan& plan);

// The colour of picture `index`, and the picture a decoded colour belongs to
// (-1 when it is none of them).
QColor ColourOf(int index);
int IndexOf(QRgb colour);

} // namespace testclips
