#include "platform/camera/CameraBackend.h"

#include <cerrno>

std::uint32_t FourCcOf(CameraSubtype subtype)
{
    switch (subtype) {
    case CameraSubtype::UYVY:
        return kFourCcUyvy;
    case CameraSubtype::MJPG:
        return kFourCcMjpg;
    case CameraSubtype::YUY2:
        break;
    }
    return kFourCcYuy2;
}

const char* CameraSubtypeName(CameraSubtype subtype)
{
    switch (subtype) {
    case CameraSubtype::UYVY:
        return "UYVY";
    case CameraSubtype::MJPG:
        return "MJPG";
    case CameraSubtype::YUY2:
        break;
    }
    return "YUY2";
}

CameraStatus CameraStatusFromErrno(int err)
{
    switch (err) {
    case 0:
        return CameraStatus::Ok;
    case EBUSY:
        return CameraStatus::Busy;
    case ENODEV:
    case ENXIO:
    case ENOENT:
    case EIO:
        return CameraStatus::Gone;
    case EINVAL:
    case ERANGE:
        return CameraStatus::Refused;
    case EACCES:
    case EPERM:
        return CameraStatus::Denied;
    case ENOMEM:
        return CameraStatus::NoMemory;
    case ENOSPC:
        return CameraStatus::Bandwidth;
    default:
        return CameraStatus::Failed;
    }
}

const char* CameraStatusName(CameraStatus status)
{
    switch (status) {
    case CameraStatus::Ok:
        return "ok";
    case CameraStatus::Busy:
        return "device busy";
    case CameraStatus::Gone:
        return "device gone";
    case CameraStatus::Refused:
        return "refused by the camera";
    case CameraStatus::Denied:
        return "permission denied";
    case CameraStatus::NoMemory:
        return "out of buffer memory";
    case CameraStatus::Bandwidth:
        return "not enough USB bandwidth";
    case CameraStatus::Failed:
        break;
    }
    return "failed";
}
