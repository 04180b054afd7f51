#pragma once
// Telling the user why the microscope did not start. Re-detection retries every
// few seconds while the cause lasts, so the box is shown once per cause: again
// only when the cause changes or after the camera has run.
#include "platform/camera/CameraBackend.h"
#include "platform/text/TextLookup.h"

class QString;
class QWidget;

// The text naming `cause` (another program, permission, unplugged, USB bandwidth,
// anything else); short enough for the preview's status line.
const TextKey& StartFailureText(CameraStatus cause);

class StartFailureNotice {
public:
    // Shows the cause's box unless it is the one shown last; true when shown.
    bool Show(QWidget* owner, CameraStatus cause, const QString& caption);
    // The camera runs, or no camera is there: the next failure is shown again.
    void Reset() { m_shown = CameraStatus::Ok; }

private:
    CameraStatus m_shown = CameraStatus::Ok;
};
