#pragma once
// A long session of the live path, minutes of camera frames fed as fast as the
// path takes them: every frame is decoded, run through the effects, stored and
// composed into the preview with the guides and live measurements; every minute a
// recording is opened and closed again, two stills are saved and the effect
// buttons are pressed in turn. Resident memory is read at the end of the warm-up
// and at the end.
#include <QSize>
#include <QString>
#include <cstdint>

struct EnduranceOptions {
    int minutes = 30;
    int warmupMinutes = 2;
    QSize frame{2592, 1944};
};

struct EnduranceFigures {
    std::int64_t rssWarmupKb = 0;
    std::int64_t rssEndKb = 0;
    std::int64_t frames = 0;
    int stills = 0;
    int recordings = 0;
    std::int64_t recordedFrames = 0;
    double seconds = 0.0; // wall time of the whole run
    QString failure;      // empty when every still and recording came out whole
};

// Runs the session on the window thread of a running QApplication.
EnduranceFigures RunEndurance(const EnduranceOptions& options);

// Resident set of this process in kilobytes (0 when it cannot be read).
std::int64_t ResidentKb();
