#include "capture/CaptureState.h"

const CaptureClassSizes& SizesOfClass(int deviceClass)
{
    static const CaptureClassSizes sizes[kCaptureClasses] = {
        {1280, 1024, 640, 480},
        {1600, 1200, 1280, 960},
        {2592, 1944, 2048, 1536},
    };
    return sizes[(deviceClass >= Class1280 && deviceClass <= Class2592) ? deviceClass : Class2592];
}

int RecordFrameRateOfWidth(int width, int current)
{
    static const int table[][2] = {{320, 19}, {640, 11}, {1280, 5}, {1600, 4}, {2048, 3}, {2592, 2}};
    for (const auto& [w, rate] : table) {
        if (w == width) {
            return rate;
        }
    }
    return current;
}

CaptureFormat CaptureState::Format() const
{
    CaptureFormat f;
    f.CaptureDeviceClass = CaptureDeviceClass.load();
    f.captureWidth = captureWidth.load();
    f.captureHeight = captureHeight.load();
    f.recordFrameRate = recordFrameRate.load();
    f.useMjpg = useMjpg.load();
    for (int c = 0; c < kCaptureClasses; ++c) {
        f.mjpgByClass[std::size_t(c)] = mjpgByClass[std::size_t(c)].load();
    }
    f.snapshotEnabled = snapshotEnabled.load();
    return f;
}

bool CaptureState::MjpgForClass() const
{
    const int deviceClass = CaptureDeviceClass.load();
    return deviceClass >= Class1280 && deviceClass <= Class2592 &&
           mjpgByClass[std::size_t(deviceClass)].load() == 1;
}
