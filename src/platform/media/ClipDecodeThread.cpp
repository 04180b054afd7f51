#include "platform/media/ClipDecodeThread.h"

namespace {
// Pictures decoded ahead of the playback. A few are enough to ride out one slow
// picture; each full-size picture takes about 20 MB.
constexpr size_t kQueueDepth = 3;
// Pictures starting this little after the time asked for count as due (the
// times are sums of frame lengths, never exact).
constexpr double kSlackSeconds = 1e-6;
} // namespace

ClipDecodeThread::ClipDecodeThread(std::unique_ptr<ClipReader> reader) : m_reader(std::move(reader))
{
    m_reader->SetInterrupt([this] { return m_interrupt.load(); });
    m_worker = std::thread([this] { Work(); });
}

ClipDecodeThread::~ClipDecodeThread()
{
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        m_quit = true;
        m_interrupt = true;
    }
    m_wake.notify_all();
    m_worker.join();
}

void ClipDecodeThread::SeekTo(double seconds)
{
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        m_queue.clear();
        m_seekWanted = true;
        m_seekTarget = seconds;
        m_atEnd = false;
        ++m_generation;
        m_interrupt = true;
    }
    m_wake.notify_all();
}

bool ClipDecodeThread::TakeFrameAt(double seconds, ClipFrame& out, bool orFirst)
{
    bool taken = false;
    {
        const std::lock_guard<std::mutex> guard(m_lock);
        if (orFirst && !m_queue.empty() && m_queue.front().seconds > seconds) {
            seconds = m_queue.front().seconds;
        }
        while (!m_queue.empty() && m_queue.front().seconds <= seconds + kSlackSeconds) {
            out = std::move(m_queue.front());
            m_queue.pop_front();
            taken = true;
        }
    }
    if (taken) {
        m_wake.notify_all();
    }
    return taken;
}

bool ClipDecodeThread::Finished() const
{
    const std::lock_guard<std::mutex> guard(m_lock);
    return m_atEnd && !m_seekWanted && m_queue.empty();
}

void ClipDecodeThread::Work()
{
    std::unique_lock<std::mutex> lock(m_lock);
    while (!m_quit) {
        if (m_seekWanted) {
            m_seekWanted = false;
            m_interrupt = false;
            const double target = m_seekTarget;
            lock.unlock();
            m_reader->Seek(target);
            lock.lock();
            continue;
        }
        if (m_atEnd || m_queue.size() >= kQueueDepth) {
            m_wake.wait(lock);
            continue;
        }
        const uint64_t generation = m_generation;
        lock.unlock();
        ClipFrame frame;
        const bool read = m_reader->ReadFrame(frame);
        lock.lock();
        // A seek asked for meanwhile makes this picture stale (or cut the read short).
        if (generation != m_generation) {
            continue;
        }
        if (read) {
            m_queue.push_back(std::move(frame));
        } else {
            m_atEnd = true;
        }
    }
}
