#include "platform/camera/V4l2Camera.h"
#include "platform/camera/V4l2Fd.h"

#include <linux/videodev2.h>

namespace {
constexpr int kErrorNotFound = static_cast<int>(0x80070490);

// Control id of each picture property, in the platform's property-code order.
unsigned ControlOf(int property)
{
    static const unsigned controls[] = {V4L2_CID_BRIGHTNESS, V4L2_CID_CONTRAST,  V4L2_CID_HUE,
                                        V4L2_CID_SATURATION, V4L2_CID_SHARPNESS, V4L2_CID_GAMMA};
    return (property >= VideoProcAmp_Brightness && property <= VideoProcAmp_Gamma) ? controls[property] : 0;
}
} // namespace

int V4l2ProcAmp::GetRange(int property, int* min, int* max, int* step, int* defaultValue, int* flags)
{
    v4l2_queryctrl query{};
    query.id = ControlOf(property);
    if (!query.id || !min || !max || !step || !defaultValue || !flags) {
        return kErrorNotFound;
    }
    if (const int err = V4l2Ioctl(m_fd, VIDIOC_QUERYCTRL, &query)) {
        return err;
    }
    if (query.flags & V4L2_CTRL_FLAG_DISABLED) {
        return kErrorNotFound;
    }
    *min = query.minimum, *max = query.maximum, *step = query.step, *defaultValue = query.default_value;
    *flags = VideoProcAmp_Flags_Manual;
    return 0;
}

int V4l2ProcAmp::Get(int property, int* value, int* flags)
{
    v4l2_control control{};
    control.id = ControlOf(property);
    if (!control.id || !value || !flags) {
        return kErrorNotFound;
    }
    if (const int err = V4l2Ioctl(m_fd, VIDIOC_G_CTRL, &control)) {
        return err;
    }
    *value = control.value;
    *flags = VideoProcAmp_Flags_Manual;
    return 0;
}

int V4l2ProcAmp::Set(int property, int value, int /*flags*/)
{
    v4l2_control control{};
    control.id = ControlOf(property);
    control.value = value;
    if (!control.id) {
        return kErrorNotFound;
    }
    return V4l2Ioctl(m_fd, VIDIOC_S_CTRL, &control);
}
