#pragma once
// The recorder: the open recording (its AVI writer and the frames on their way to
// it), the compressor options prepared last and the seconds counter of the main
// window's timer 1002.
//
// Threads: the window thread prepares compressors, opens and closes; the live
// callback hands frames in on the camera's streaming thread. A frame is copied
// into one of a few buffers (under the capture lock) and compressed on the
// recorder's own thread, so the camera never waits for the compressor. When every
// buffer is still taken the frame is dropped and counted; the file then shows the
// frame before in its place.
//
// Frames are placed on the stream's time line by when they arrive: a camera
// faster than the stream rate gives up the frames in between, a slower one leaves
// empty frames (players show the frame before), so the recording plays at the
// speed it was taken.
#include "platform/media/AviCompressors.h"
#include "platform/media/AviWriter.h"

#include <QString>
#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

// Caption of the recording's error boxes (a fixed text), shown by the window.
inline constexpr const char* kAviCaptureCaption = "AVI Capture";
// 0x7FFFFFFF: a recording without a time limit.
inline constexpr int kNoTimeLimit = 0x7FFFFFFF;

// What the seconds timer does on a tick.
enum class SecondsStep {
    Count,    // show the counter
    LastTick, // the limit is reached: show it, end the recording, tick once more after 500 ms
    Done,     // the tick after the last: the end sound, the timer stops
};

// The outcome of opening a recording.
struct RecorderOpenResult {
    std::uint32_t code = 0;     // AVIERR_OK (0) when the recording is open
    QString message;            // otherwise why not, for an "AVI Capture" box
    bool skippedFolder = false; // a folder named like a recording was passed over ("AVI Error")
    bool ok() const { return code == 0; }
};

struct RecordingResult {
    QString path;            // the file that was open; empty when none was
    std::uint32_t error = 0; // 0, or the code of the write that failed
    int ioError = 0;         // errno of that write
    std::int64_t frames = 0;
    std::int64_t dropped = 0; // frames lost because the compressor was behind
};

class VideoRecorder {
public:
    using Clock = std::function<std::int64_t()>; // milliseconds, never going back

    // Without a clock the steady clock is used. `captureLock` is the session's lock
    // around stream writes; without one the recorder uses a lock of its own.
    explicit VideoRecorder(Clock clock = {}, std::mutex* captureLock = nullptr);
    ~VideoRecorder();

    // The options prepared last (cleared at start-up; kept until the program ends).
    const AviCompressOptions& CompressorOptions() const { return m_options; }
    void ClearCompressorOptions() { m_options = {}; }

    // Tries `candidate` on the scratch file "test.avi" in the folder with frames of
    // `width` x `height`; only when the compressor takes them it becomes the
    // recording's options. The scratch file is removed again.
    bool PrepareCompressor(const QString& videoFolder, const AviCompressOptions& candidate, int width,
                           int height);
    // The same with MS Video 1 at its default quality.
    bool PrepareDefaultCompressor(const QString& videoFolder, int width, int height);

    // Opens the next recording file of the folder for frames of `width` x
    // `height` at `rate` frames per second, with the prepared options. On failure
    // the partial file is gone and the result says why.
    RecorderOpenResult Open(const QString& videoFolder, int rate, int width, int height);
    // Streaming thread: one bottom-up 24-bit frame of the live picture.
    void WriteFrame(const std::uint8_t* pixels, std::size_t length, int width, int height);
    // Ends the recording at this moment: the frames handed in are written and the
    // file finished (a file whose writing failed is cut after its last whole frame).
    RecordingResult Close();

    bool IsOpen() const { return m_open.load(); }
    // Frames handed in and not yet compressed.
    int pendingFrames();
    QString path() const { return m_path; }
    // Called once, on the recorder's thread, when writing the file fails; the
    // recording should then be ended from the window thread.
    void SetWriteFailedHandler(std::function<void()> handler) { m_onWriteFailed = std::move(handler); }

    // The seconds counter.
    void StartSeconds(int timeLimit);
    void StopSeconds();
    SecondsStep Tick();
    int seconds() const { return m_seconds; }
    int timeLimit() const { return m_timeLimit; }

private:
    struct Slot {
        std::unique_ptr<std::uint8_t[]> pixels;
        std::int64_t index = 0;
    };
    RecorderOpenResult Fail(const char* format, std::uint32_t code);
    std::unique_lock<std::mutex> HoldCaptureLock();
    bool AllocateSlots(std::size_t bytes);
    void WriterLoop();

    Clock m_clock;
    std::mutex* m_captureLock = nullptr;
    RecorderOpenResult m_openResult;
    AviCompressOptions m_options;
    std::unique_ptr<AviWriter> m_writer;
    QString m_path;
    std::atomic<bool> m_open{false};
    std::function<void()> m_onWriteFailed;

    // Frame hand-over. Free and ready slots are fixed-size rings, so the streaming
    // thread never allocates.
    int m_width = 0;
    int m_height = 0;
    int m_rate = 0;
    std::size_t m_frameBytes = 0;
    std::vector<Slot> m_slots;
    std::vector<int> m_free;  // stack of free slot numbers
    std::vector<int> m_ready; // ring of filled slots, oldest first
    std::size_t m_readyHead = 0;
    std::size_t m_readyCount = 0;
    std::mutex m_ownLock; // stands in for a missing capture lock
    std::mutex m_queueLock;
    std::condition_variable m_wake;
    bool m_stopping = false;
    std::int64_t m_startMs = -1;
    std::int64_t m_lastIndex = -1;
    std::int64_t m_dropped = 0;
    std::atomic<bool> m_writeFailed{false};
    std::thread m_thread;

    int m_seconds = 0;
    int m_timeLimit = 0;
};
