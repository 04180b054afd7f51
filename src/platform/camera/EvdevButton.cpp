#include "platform/camera/EvdevButton.h"

#include <cerrno>
#include <climits>
#include <linux/input.h>

namespace {
constexpr std::size_t kLongBits = sizeof(unsigned long) * CHAR_BIT;
constexpr std::size_t kKeyWords = (KEY_MAX + kLongBits) / kLongBits;

bool BitSet(const unsigned long* words, unsigned bit)
{
    return (words[bit / kLongBits] >> (bit % kLongBits)) & 1UL;
}
} // namespace

void EvdevButton::Close()
{
    m_fd.Reset();
    m_down = false;
    m_dropped = false;
}

EvdevButton::OpenResult EvdevButton::Open(V4l2Io& io, const QString& devNode)
{
    Close();
    int err = 0;
    IoFd fd = OpenNode(io, devNode.toLocal8Bit().constData(), true, &err);
    if (!fd.valid()) {
        return (err == EACCES || err == EPERM) ? OpenResult::Denied : OpenResult::NoButton;
    }
    unsigned long keys[kKeyWords] = {};
    if (io.Ioctl(fd.get(), EVIOCGBIT(EV_KEY, sizeof keys), keys) != 0 || !BitSet(keys, KEY_CAMERA)) {
        return OpenResult::NoButton;
    }
    m_io = &io;
    m_fd = std::move(fd);
    m_down = KeyIsDown();
    return OpenResult::Opened;
}

bool EvdevButton::KeyIsDown()
{
    unsigned long keys[kKeyWords] = {};
    return m_io->Ioctl(m_fd.get(), EVIOCGKEY(sizeof keys), keys) == 0 && BitSet(keys, KEY_CAMERA);
}

int EvdevButton::ReadPresses()
{
    if (!IsOpen()) {
        return 0;
    }
    int presses = 0;
    input_event events[16];
    for (;;) {
        const long n = m_io->Read(m_fd.get(), events, sizeof events);
        if (n == -EAGAIN || n == -EINTR) {
            return presses;
        }
        if (n <= 0) {
            Close();
            return -1;
        }
        for (long i = 0; i < n / long(sizeof(input_event)); ++i) {
            const input_event& event = events[i];
            if (event.type == EV_SYN && event.code == SYN_DROPPED) {
                m_dropped = true;
            } else if (m_dropped && event.type == EV_SYN && event.code == SYN_REPORT) {
                // The kernel's queue overflowed: what was lost shows in the key state.
                m_dropped = false;
                const bool down = KeyIsDown();
                presses += (down && !m_down) ? 1 : 0;
                m_down = down;
            } else if (!m_dropped && event.type == EV_KEY && event.code == KEY_CAMERA && event.value != 2) {
                presses += event.value == 1 ? 1 : 0;
                m_down = event.value == 1;
            }
        }
    }
}

void EvdevButton::Discard()
{
    if (IsOpen()) {
        ReadPresses();
        if (IsOpen()) {
            m_down = KeyIsDown();
        }
    }
}
