#pragma once
// What one capture session shares between the capture graph, the live callback,
// still saving and the recorder: the capture format, the frame store, the still
// request and the capture lock. The session owns one; code outside capture reads
// a copy of the format (CaptureFormat) instead.
#include "capture/FrameStore.h"

#include <array>
#include <atomic>
#include <mutex>

// Sensor classes of the connected microscope.
enum CaptureDeviceClassValue : int { Class1280 = 0, Class1600 = 1, Class2592 = 2 };
inline constexpr int kCaptureClasses = 3;

struct CaptureClassSizes {
    int defaultWidth, defaultHeight; // also the high size
    int lowWidth, lowHeight;
};
// Sizes of a class; an unknown class gives Class2592's.
const CaptureClassSizes& SizesOfClass(int deviceClass);

// recordFrameRate for a capture width: 320 -> 19, 640 -> 11, 1280 -> 5, 1600 -> 4,
// 2048 -> 3, 2592 -> 2; other widths give `current`.
int RecordFrameRateOfWidth(int width, int current);

// A copy of the capture format, for readers outside the capture session.
struct CaptureFormat {
    int CaptureDeviceClass = Class2592; // 0, 1 or 2
    int captureWidth = 2592;
    int captureHeight = 1944;
    int recordFrameRate = 11; // AVI stream rate
    int useMjpg = 1;          // 1 asks the camera for MJPG, else YUY2
    std::array<int, kCaptureClasses> mjpgByClass{0, 0, 1};
    int snapshotEnabled = 0;
};

// The session's live values. Atomics: the streaming thread reads them while the
// window thread changes them.
class CaptureState {
public:
    std::atomic<int> CaptureDeviceClass{Class2592};
    std::atomic<int> captureWidth{2592};
    std::atomic<int> captureHeight{1944};
    std::atomic<int> recordFrameRate{11};
    std::atomic<int> useMjpg{1};
    std::array<std::atomic<int>, kCaptureClasses> mjpgByClass{0, 0, 1}; // this run only
    std::atomic<int> snapshotEnabled{0}; // change through CCaptureGraph::SetSnapshot
    std::atomic<int> frameShown{0};      // the preview painted a frame
    std::atomic<int> frameBusy{0};       // the live callback is inside a frame

    FrameStoreData FrameStore;
    StillRequestData StillRequest;
    // Held around every AVI stream write (streaming thread) and while the streams
    // are released (window thread).
    std::mutex captureLock;

    CaptureFormat Format() const;
    // The MJPG choice of the current class (false for an unknown class).
    bool MjpgForClass() const;
    void UpdateRecordFrameRate(int width)
    {
        recordFrameRate = RecordFrameRateOfWidth(width, recordFrameRate);
    }
};
