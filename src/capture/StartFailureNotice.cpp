#include "capture/StartFailureNotice.h"

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

bool StartFailureNotice::TakeNew(CameraStatus cause)
{
    if (cause == CameraStatus::Ok || cause == m_shown) {
        return false;
    }
    m_shown = cause;
    return true;
}
