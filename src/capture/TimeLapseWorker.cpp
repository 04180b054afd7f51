#include "capture/TimeLapseWorker.h"

#include <system_error>

namespace {
constexpr int kMsPerSecond = 1000;
constexpr int kMsPerMinute = 60000;
} // namespace

TimeLapseWorker::~TimeLapseWorker()
{
    StopAndWait();
}

bool TimeLapseWorker::Start(const TimeLapsePlan& plan, TimeLapseCallbacks callbacks)
{
    StopAndWait();
    m_running.store(true);
    try {
        m_thread = std::thread(&TimeLapseWorker::Run, this, plan, std::move(callbacks));
    } catch (const std::system_error&) {
        m_running.store(false);
        return false;
    }
    return true;
}

void TimeLapseWorker::Stop()
{
    m_running.store(false);
}

void TimeLapseWorker::StopAndWait()
{
    Stop();
    if (m_thread.joinable()) {
        m_thread.join();
    }
}

bool TimeLapseWorker::WaitForStart(const TimeFields& start)
{
    // The first picture is taken in the very second of the start time; a second
    // that passes unobserved (a suspended machine) is not caught up.
    while (m_running.load()) {
        m_clock.Sleep(kStartPollMs);
        if (FieldsOf(m_clock.Now()) == start) {
            return true;
        }
    }
    return false;
}

void TimeLapseWorker::SleepUntil(std::int64_t dueMs)
{
    // Each picture is due a whole number of intervals after the first. Counting
    // 10 ms sleeps instead would stretch every interval by the scheduler's delays
    // (3 s became 5 to 6 s on a busy machine).
    while (m_running.load() && m_clock.ElapsedMs() < dueMs) {
        m_clock.Sleep(kIntervalStepMs);
    }
}

void TimeLapseWorker::Run(TimeLapsePlan plan, TimeLapseCallbacks callbacks)
{
    if (!WaitForStart(plan.start)) {
        return;
    }
    const std::int64_t intervalMs =
        std::int64_t(plan.intervalSeconds) * kMsPerSecond + std::int64_t(plan.intervalMinutes) * kMsPerMinute;
    const std::int64_t firstMs = m_clock.ElapsedMs();
    for (int i = 1; i <= plan.count && m_running.load(); ++i) {
        callbacks.requestStill();
        callbacks.completed(i);
        SleepUntil(firstMs + i * intervalMs);
    }
    if (m_running.load()) {
        callbacks.seriesComplete();
    }
}
