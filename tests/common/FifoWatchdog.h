#pragma once
// Named pipes and links for tests, and a watchdog for a test that reads near a
// pipe: should the code under test block on one (waiting for a writer that never
// comes), the watchdog opens the pipe for writing after a while and closes it
// again, so the reader gets an end of file and the test fails on Fired() instead
// of hanging.
#include <QFile>
#include <QString>
#include <QStringList>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <fcntl.h>
#include <mutex>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace testsupport {

inline bool MakeFifo(const QString& path)
{
    return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
}

inline bool MakeSymlink(const QString& target, const QString& link)
{
    return ::symlink(QFile::encodeName(target).constData(), QFile::encodeName(link).constData()) == 0;
}

class FifoWatchdog {
public:
    explicit FifoWatchdog(const QStringList& fifos, std::chrono::seconds patience = std::chrono::seconds(20))
        : m_thread([this, patience] { Watch(patience); })
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const QString& fifo : fifos) {
            m_fifos.push_back(QFile::encodeName(fifo));
        }
    }
    ~FifoWatchdog()
    {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_stopped = true;
        }
        m_wake.notify_all();
        m_thread.join();
    }
    FifoWatchdog(const FifoWatchdog&) = delete;
    FifoWatchdog& operator=(const FifoWatchdog&) = delete;

    // True once it had to free a reader.
    bool Fired() const { return m_fired.load(); }

private:
    void Watch(std::chrono::seconds patience)
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        if (m_wake.wait_for(lock, patience, [this] { return m_stopped; })) {
            return;
        }
        // Every open by a reader is answered until the test is over.
        while (!m_wake.wait_for(lock, std::chrono::milliseconds(20), [this] { return m_stopped; })) {
            for (const QByteArray& fifo : m_fifos) {
                const int fd = ::open(fifo.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
                if (fd >= 0) {
                    m_fired = true;
                    ::close(fd);
                }
            }
        }
    }

    std::mutex m_mutex;
    std::vector<QByteArray> m_fifos;
    std::condition_variable m_wake;
    bool m_stopped = false;
    std::atomic<bool> m_fired{false};
    std::thread m_thread;
};

} // namespace testsupport
