#pragma once
// Decodes a clip ahead of its playback on a thread of its own, so large pictures
// never hold up the window. The window thread asks for the picture due at a time;
// a seek drops what was decoded and starts again from the new place.
#include "platform/media/ClipReader.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

class ClipDecodeThread {
public:
    // Takes over an open reader and starts decoding from where it stands.
    explicit ClipDecodeThread(std::unique_ptr<ClipReader> reader);
    // Stops the worker and waits for it.
    ~ClipDecodeThread();
    ClipDecodeThread(const ClipDecodeThread&) = delete;
    ClipDecodeThread& operator=(const ClipDecodeThread&) = delete;

    // Drops the pictures decoded so far; decoding goes on from the picture shown
    // at `seconds`.
    void SeekTo(double seconds);
    // The latest decoded picture starting at or before `seconds`; the ones before
    // it are dropped. When none starts that early, `orFirst` takes the first one
    // (a seek's picture that starts a little after its target). False when there
    // is none to take (or none decoded yet).
    bool TakeFrameAt(double seconds, ClipFrame& out, bool orFirst = false);
    // True once the worker has reached the end of the clip and handed out every picture.
    bool Finished() const;

private:
    void Work();

    std::unique_ptr<ClipReader> m_reader;
    mutable std::mutex m_lock;
    std::condition_variable m_wake;
    std::deque<ClipFrame> m_queue;
    bool m_quit = false;
    bool m_atEnd = false;
    bool m_seekWanted = false;
    double m_seekTarget = 0;
    uint64_t m_generation = 0; // counts seeks; pictures of an older one are dropped
    // Cuts a read or seek short when a new seek or the end is asked for: a long
    // way between key pictures must not hold up either.
    std::atomic<bool> m_interrupt{false};
    std::thread m_worker;
};
