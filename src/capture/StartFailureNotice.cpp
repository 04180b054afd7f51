#include "capture/StartFailureNotice.h"

#include "platform/desktop/MessageBox.h"
#include "platform/text/TextCatalogue.h"

const TextKey& StartFailureText(CameraStatus cause)
{
    switch (cause) {
    case CameraStatus::Busy:
        return txt::CameraBusy;
    case CameraStatus::Denied:
        return txt::CameraDenied;
    case CameraStatus::Gone:
        return txt::CameraGone;
    case CameraStatus::Bandwidth:
        return txt::CameraBandwidth;
    default:
        return txt::CameraFailed;
    }
}

bool StartFailureNotice::Show(QWidget* owner, CameraStatus cause, const QString& caption)
{
    if (cause == CameraStatus::Ok || cause == m_shown) {
        return false;
    }
    m_shown = cause;
    ShowMessage(owner, LoadText(StartFailureText(cause)), caption, MB_OK | MB_ICONWARNING);
    return true;
}
