#pragma once
// Telling the user why the microscope did not start. Re-detection retries every
// few seconds while the cause lasts, so the window shows the box once per cause:
// again only when the cause changes or after the camera has run.
#include "platform/camera/CameraBackend.h"
#include "platform/text/TextLookup.h"

// The text naming `cause` (another program, permission, unplugged, USB bandwidth,
// anything else); short enough for the preview's status line.
const TextKey& StartFailureText(CameraStatus cause);

class StartFailureNotice {
public:
    // True when the cause's box should be shown: it is not the one shown last.
    bool TakeNew(CameraStatus cause);
    // The camera runs, or no camera is there: the next failure is shown again.
    void Reset() { m_shown = CameraStatus::Ok; }

private:
    CameraStatus m_shown = CameraStatus::Ok;
};
