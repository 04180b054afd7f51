#pragma once
// Owner of one file descriptor: closed when the owner goes, moved but never copied.
// Descriptors opened through a layer of ours (the V4L2 device seam) are closed
// through that layer; all others with close().
#include <utility>

// What closes a descriptor that was not opened with the plain system calls.
class FdCloser {
public:
    virtual void Close(int fd) = 0;

protected:
    ~FdCloser() = default;
};

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd, FdCloser* closer = nullptr) : m_fd(fd), m_closer(closer) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept
        : m_fd(std::exchange(other.m_fd, -1)), m_closer(std::exchange(other.m_closer, nullptr))
    {
    }
    UniqueFd& operator=(UniqueFd&& other) noexcept
    {
        if (this != &other) {
            Reset();
            m_fd = std::exchange(other.m_fd, -1);
            m_closer = std::exchange(other.m_closer, nullptr);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }
    // Closes the descriptor held (if any) and takes `fd`, closed with close().
    void Reset(int fd = -1);
    // Gives up the descriptor without closing it.
    int Release()
    {
        m_closer = nullptr;
        return std::exchange(m_fd, -1);
    }

private:
    int m_fd = -1;
    FdCloser* m_closer = nullptr;
};
