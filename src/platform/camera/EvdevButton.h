#pragma once
// The snapshot button of a UVC camera: its input device reports KEY_CAMERA.
#include "platform/camera/V4l2Fd.h"

#include <QString>

struct libevdev;

class EvdevButton {
public:
    EvdevButton() = default;
    ~EvdevButton();
    EvdevButton(const EvdevButton&) = delete;
    EvdevButton& operator=(const EvdevButton&) = delete;

    // Opens the input node; false when it cannot be read or has no camera key.
    bool Open(const QString& devNode);
    bool IsOpen() const { return m_device != nullptr; }
    int fd() const { return m_fd.get(); }
    // Reads what is waiting and returns the number of presses (key down events);
    // closes the device and returns -1 when it is gone.
    int ReadPresses();

    void Close();

    static bool HasCameraKey(const QString& devNode);

private:
    UniqueFd m_fd;
    libevdev* m_device = nullptr;
};
