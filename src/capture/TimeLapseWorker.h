#pragma once
// The time-lapse worker thread: waits for the start second, then asks for one
// still per interval. It polls with short sleeps, so Stop and Cancel take effect
// within 10 ms.
#include "capture/TimeLapseSchedule.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <thread>

struct TimeLapsePlan {
    TimeFields start;
    int intervalMinutes = 0;
    int intervalSeconds = 0;
    int count = 0;
};

// Called on the worker thread; they must not wait for the window thread.
struct TimeLapseCallbacks {
    std::function<void()> requestStill;      // one picture now
    std::function<void(int done)> completed; // pictures asked for so far
    std::function<void()> seriesComplete;    // the last interval has passed
};

class TimeLapseWorker {
public:
    static constexpr int kStartPollMs = 5;
    static constexpr int kIntervalStepMs = 10;

    explicit TimeLapseWorker(TimeLapseClock& clock) : m_clock(clock) {}
    // Stops and waits for the thread: it never outlives its owner.
    ~TimeLapseWorker();
    TimeLapseWorker(const TimeLapseWorker&) = delete;
    TimeLapseWorker& operator=(const TimeLapseWorker&) = delete;

    // Starts a series. A thread of an earlier, stopped series is waited for first,
    // so two series never run at once. False when no thread could be created.
    bool Start(const TimeLapsePlan& plan, TimeLapseCallbacks callbacks);
    // Clears the running flag; the thread ends at its next poll.
    void Stop();
    // Stop, then wait until the thread has ended.
    void StopAndWait();
    bool IsRunning() const { return m_running.load(); }

private:
    void Run(TimeLapsePlan plan, TimeLapseCallbacks callbacks);
    bool WaitForStart(const TimeFields& start);
    void SleepUntil(std::int64_t dueMs);

    TimeLapseClock& m_clock;
    std::atomic<bool> m_running{false};
    std::thread m_thread;
};
