#include "platform/camera/V4l2ProcAmp.h"

#include <algorithm>
#include <cerrno>
#include <linux/videodev2.h>

namespace {
constexpr int kErrorNotFound = static_cast<int>(0x80070490);

// Control id of each picture property, in the platform's property-code order, then focus.
unsigned ControlOf(int property)
{
    static const unsigned controls[] = {V4L2_CID_BRIGHTNESS,    V4L2_CID_CONTRAST,  V4L2_CID_HUE,
                                        V4L2_CID_SATURATION,    V4L2_CID_SHARPNESS, V4L2_CID_GAMMA,
                                        V4L2_CID_FOCUS_ABSOLUTE};
    return (property >= VideoProcAmp_Brightness && property <= CameraControl_Focus) ? controls[property] : 0;
}

// A camera focusing by itself greys out its manual focus: setting the focus turns that off.
void StopAutofocus(V4l2NodeLink& link, v4l2_queryctrl& query)
{
    v4l2_control automatic{V4L2_CID_FOCUS_AUTO, 0};
    if (link.io->Ioctl(link.fd, VIDIOC_S_CTRL, &automatic) == 0) {
        link.io->Ioctl(link.fd, VIDIOC_QUERYCTRL, &query);
    }
}

// QUERYCTRL of the property's control on the linked node (held locked); 0 or an error code.
int Query(V4l2NodeLink& link, int property, v4l2_queryctrl& query)
{
    query = {};
    query.id = ControlOf(property);
    if (!query.id) {
        return kErrorNotFound;
    }
    if (link.fd < 0) {
        return ENODEV;
    }
    if (const int err = link.io->Ioctl(link.fd, VIDIOC_QUERYCTRL, &query)) {
        return err;
    }
    return (query.flags & V4L2_CTRL_FLAG_DISABLED) ? kErrorNotFound : 0;
}
} // namespace

int V4l2ProcAmp::GetRange(int property, int* min, int* max, int* step, int* defaultValue, int* flags)
{
    if (!min || !max || !step || !defaultValue || !flags) {
        return kErrorNotFound;
    }
    std::lock_guard guard(m_link->lock);
    v4l2_queryctrl query;
    if (const int err = Query(*m_link, property, query)) {
        return err;
    }
    *min = query.minimum, *max = query.maximum, *defaultValue = query.default_value;
    *step = std::max(1, query.step); // some cameras report 0 for "any value"
    *flags = VideoProcAmp_Flags_Manual;
    return 0;
}

int V4l2ProcAmp::Get(int property, int* value, int* flags)
{
    if (!value || !flags) {
        return kErrorNotFound;
    }
    std::lock_guard guard(m_link->lock);
    v4l2_queryctrl query;
    if (const int err = Query(*m_link, property, query)) {
        return err;
    }
    v4l2_control control{query.id, 0};
    if (const int err = m_link->io->Ioctl(m_link->fd, VIDIOC_G_CTRL, &control)) {
        return err;
    }
    *value = control.value;
    *flags = VideoProcAmp_Flags_Manual;
    return 0;
}

int V4l2ProcAmp::Set(int property, int value, int /*flags*/)
{
    std::lock_guard guard(m_link->lock);
    v4l2_queryctrl query;
    if (const int err = Query(*m_link, property, query)) {
        return err;
    }
    if (query.flags & V4L2_CTRL_FLAG_GRABBED) {
        return EBUSY;
    }
    if (property == CameraControl_Focus && (query.flags & V4L2_CTRL_FLAG_INACTIVE)) {
        StopAutofocus(*m_link, query);
    }
    // An inactive control is governed by another one (an automatic mode) for now.
    if (query.flags & (V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_INACTIVE)) {
        return EACCES;
    }
    v4l2_control control{query.id, value};
    return m_link->io->Ioctl(m_link->fd, VIDIOC_S_CTRL, &control);
}
