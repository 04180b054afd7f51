#pragma once
// The system's V4L2 calls, noted once armed: what the kernel's driver answers the V4L2
// layer after the camera vanished, to set beside what the emulated driver answers.
#include "platform/camera/V4l2Io.h"

#include <cstdio>
#include <linux/videodev2.h>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace rig {

class TracingV4l2Io : public V4l2Io {
public:
    void Arm()
    {
        std::lock_guard guard(m_lock);
        m_armed = true;
    }
    std::vector<std::string> Trace()
    {
        std::lock_guard guard(m_lock);
        return m_trace;
    }
    // The errno values of the calls that failed once armed.
    std::set<int> Errors()
    {
        std::lock_guard guard(m_lock);
        return m_errors;
    }
    // Buffers dequeued flagged as damaged once armed.
    int Flagged()
    {
        std::lock_guard guard(m_lock);
        return m_flagged;
    }

    int Open(const char* path, int flags, int* err) override
    {
        const int fd = m_system->Open(path, flags, err);
        Note("open " + std::string(path) + (fd < 0 ? " errno " + std::to_string(*err) : ""));
        return fd;
    }
    void Close(int fd) override { m_system->Close(fd); }
    int Ioctl(int fd, unsigned long request, void* argument) override
    {
        const int err = m_system->Ioctl(fd, request, argument);
        std::string text = Name(request) + " errno " + std::to_string(err);
        bool flagged = false;
        if (request == VIDIOC_DQBUF && err == 0) {
            const auto* buffer = static_cast<const v4l2_buffer*>(argument);
            flagged = buffer->flags & V4L2_BUF_FLAG_ERROR;
            text += " bytesused " + std::to_string(buffer->bytesused) + (flagged ? " flagged damaged" : "");
        }
        {
            std::lock_guard guard(m_lock);
            if (m_armed && err != 0) {
                m_errors.insert(err);
            }
            m_flagged += m_armed && flagged;
        }
        Note(text);
        return err;
    }
    void* Map(int fd, std::size_t length, long offset, int* err) override
    {
        return m_system->Map(fd, length, offset, err);
    }
    void Unmap(void* address, std::size_t length) override { m_system->Unmap(address, length); }
    int Poll(pollfd* fds, unsigned count, int timeoutMs) override
    {
        const int ready = m_system->Poll(fds, count, timeoutMs);
        std::string text = "poll " + std::to_string(ready);
        for (unsigned i = 0; i < count; ++i) {
            char events[16];
            std::snprintf(events, sizeof events, " %#x", unsigned(fds[i].revents));
            text += events;
        }
        Note(text);
        return ready;
    }
    long Read(int fd, void* buffer, std::size_t size) override { return m_system->Read(fd, buffer, size); }

private:
    static std::string Name(unsigned long request)
    {
        switch (request) {
        case VIDIOC_DQBUF:
            return "DQBUF";
        case VIDIOC_QBUF:
            return "QBUF";
        case VIDIOC_STREAMON:
            return "STREAMON";
        case VIDIOC_STREAMOFF:
            return "STREAMOFF";
        case VIDIOC_REQBUFS:
            return "REQBUFS";
        default:
            char hex[24];
            std::snprintf(hex, sizeof hex, "ioctl %#lx", request);
            return hex;
        }
    }
    void Note(std::string text)
    {
        std::lock_guard guard(m_lock);
        // A repeat of the call before is counted, not noted again.
        if (!m_armed) {
            return;
        }
        if (!m_trace.empty() && m_trace.back().rfind(text, 0) == 0) {
            m_trace.back() = text + " (again " + std::to_string(++m_repeats) + ")";
            return;
        }
        m_repeats = 0;
        m_trace.push_back(std::move(text));
    }

    std::shared_ptr<V4l2Io> m_system = SystemV4l2Io();
    std::mutex m_lock;
    bool m_armed = false;
    std::vector<std::string> m_trace;
    int m_repeats = 0;
    std::set<int> m_errors;
    int m_flagged = 0;
};

} // namespace rig
