#pragma once
// The snapshot button of a UVC camera: its input device reports KEY_CAMERA. Read with
// the evdev protocol directly (through V4l2Io) so it runs against the emulated driver too.
#include "platform/camera/V4l2Io.h"

#include <QString>

class EvdevButton {
public:
    enum class OpenResult { Opened, Denied, NoButton };

    EvdevButton() = default;
    EvdevButton(const EvdevButton&) = delete;
    EvdevButton& operator=(const EvdevButton&) = delete;

    // Opens the input node; Denied when the user may not read it, NoButton when it
    // cannot be opened or has no camera key.
    OpenResult Open(V4l2Io& io, const QString& devNode);
    bool IsOpen() const { return m_fd.valid(); }
    int fd() const { return m_fd.get(); }
    // Reads what is waiting and returns the number of presses (key down events);
    // closes the device and returns -1 when it is gone.
    int ReadPresses();
    // Throws away what is waiting (presses made while nobody was looking).
    void Discard();
    void Close();

private:
    bool KeyIsDown();

    V4l2Io* m_io = nullptr;
    IoFd m_fd;
    bool m_down = false;
    bool m_dropped = false; // events were lost; skip to the next report
};
