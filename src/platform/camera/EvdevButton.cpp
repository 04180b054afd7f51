#include "platform/camera/EvdevButton.h"

#include <cerrno>
#include <fcntl.h>
#include <libevdev/libevdev.h>

EvdevButton::~EvdevButton()
{
    Close();
}

void EvdevButton::Close()
{
    if (m_device) {
        libevdev_free(m_device);
    }
    m_device = nullptr;
    m_fd.Reset();
}

bool EvdevButton::Open(const QString& devNode)
{
    Close();
    m_fd.Reset(::open(devNode.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    if (!m_fd.valid() || libevdev_new_from_fd(m_fd.get(), &m_device) < 0) {
        m_device = nullptr;
        Close();
        return false;
    }
    if (!libevdev_has_event_code(m_device, EV_KEY, KEY_CAMERA)) {
        Close();
        return false;
    }
    return true;
}

int EvdevButton::ReadPresses()
{
    if (!m_device) {
        return 0;
    }
    int presses = 0;
    input_event event{};
    unsigned flags = LIBEVDEV_READ_FLAG_NORMAL;
    for (;;) {
        const int rc = libevdev_next_event(m_device, flags, &event);
        if (rc == LIBEVDEV_READ_STATUS_SYNC) {
            flags = LIBEVDEV_READ_FLAG_SYNC; // catch up after a dropped buffer
            continue;
        }
        if (rc == -EAGAIN && flags == LIBEVDEV_READ_FLAG_SYNC) {
            flags = LIBEVDEV_READ_FLAG_NORMAL;
            continue;
        }
        if (rc == -EAGAIN) {
            return presses;
        }
        if (rc != LIBEVDEV_READ_STATUS_SUCCESS) {
            Close();
            return -1;
        }
        if (event.type == EV_KEY && event.code == KEY_CAMERA && event.value == 1) {
            ++presses;
        }
    }
}

bool EvdevButton::HasCameraKey(const QString& devNode)
{
    EvdevButton button;
    return button.Open(devNode);
}
