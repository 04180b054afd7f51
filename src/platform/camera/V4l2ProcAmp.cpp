#include "platform/camera/V4l2ProcAmp.h"

#include <algorithm>
#include <cerrno>
#include <linux/videodev2.h>

namespace {
// Control id of each property, in the platform's property-code order, then focus.
unsigned ControlOf(int property)
{
    static const unsigned controls[] = {V4L2_CID_BRIGHTNESS,        V4L2_CID_CONTRAST,      V4L2_CID_HUE,
                                        V4L2_CID_SATURATION,        V4L2_CID_SHARPNESS,     V4L2_CID_GAMMA,
                                        V4L2_CID_EXPOSURE_ABSOLUTE, V4L2_CID_FOCUS_ABSOLUTE};
    return (property >= VideoProcAmp_Brightness && property <= CameraControl_Focus) ? controls[property] : 0;
}

// QUERYCTRL of a control on the linked node (held locked); 0 or an error code.
int Query(V4l2NodeLink& link, unsigned id, v4l2_queryctrl& query)
{
    query = {};
    query.id = id;
    if (!query.id) {
        return kProcAmpNotFound;
    }
    if (link.fd < 0) {
        return ENODEV;
    }
    if (const int err = link.io->Ioctl(link.fd, VIDIOC_QUERYCTRL, &query)) {
        return err;
    }
    return (query.flags & V4L2_CTRL_FLAG_DISABLED) ? kProcAmpNotFound : 0;
}

PropertyAccess AccessOf(const v4l2_queryctrl& query)
{
    if (query.flags & (V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_GRABBED)) {
        return PropertyAccess::ReadOnly;
    }
    return (query.flags & V4L2_CTRL_FLAG_INACTIVE) ? PropertyAccess::Inactive : PropertyAccess::Writable;
}

int Read(V4l2NodeLink& link, unsigned id, int* value)
{
    v4l2_queryctrl query;
    if (const int err = Query(link, id, query)) {
        return err;
    }
    v4l2_control control{id, 0};
    if (const int err = link.io->Ioctl(link.fd, VIDIOC_G_CTRL, &control)) {
        return err;
    }
    *value = control.value;
    return 0;
}

// A camera focusing by itself greys out its manual focus: setting the focus turns that off.
void StopAutofocus(V4l2NodeLink& link, v4l2_queryctrl& query)
{
    v4l2_control automatic{V4L2_CID_FOCUS_AUTO, 0};
    if (link.io->Ioctl(link.fd, VIDIOC_S_CTRL, &automatic) == 0) {
        link.io->Ioctl(link.fd, VIDIOC_QUERYCTRL, &query);
    }
}

int Write(V4l2NodeLink& link, unsigned id, int value)
{
    v4l2_queryctrl query;
    if (const int err = Query(link, id, query)) {
        return err;
    }
    if (query.flags & V4L2_CTRL_FLAG_GRABBED) {
        return EBUSY;
    }
    if (id == V4L2_CID_FOCUS_ABSOLUTE && (query.flags & V4L2_CTRL_FLAG_INACTIVE)) {
        StopAutofocus(link, query);
    }
    // An inactive control is governed by another one (an automatic mode) for now.
    if (AccessOf(query) != PropertyAccess::Writable) {
        return EACCES;
    }
    v4l2_control control{id, value};
    return link.io->Ioctl(link.fd, VIDIOC_S_CTRL, &control);
}
} // namespace

int V4l2ProcAmp::GetRange(int property, int* min, int* max, int* step, int* defaultValue, int* flags)
{
    if (!min || !max || !step || !defaultValue || !flags) {
        return kProcAmpNotFound;
    }
    std::lock_guard guard(m_link->lock);
    v4l2_queryctrl query;
    if (const int err = Query(*m_link, ControlOf(property), query)) {
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
        return kProcAmpNotFound;
    }
    std::lock_guard guard(m_link->lock);
    const int err = Read(*m_link, ControlOf(property), value);
    *flags = VideoProcAmp_Flags_Manual;
    return err;
}

int V4l2ProcAmp::Set(int property, int value, int /*flags*/)
{
    std::lock_guard guard(m_link->lock);
    return Write(*m_link, ControlOf(property), value);
}

PropertyAccess V4l2ProcAmp::Access(int property)
{
    std::lock_guard guard(m_link->lock);
    v4l2_queryctrl query;
    return Query(*m_link, ControlOf(property), query) == 0 ? AccessOf(query) : PropertyAccess::ReadOnly;
}

std::vector<int> V4l2ProcAmp::ExposureModes()
{
    std::lock_guard guard(m_link->lock);
    v4l2_queryctrl query;
    std::vector<int> modes;
    if (Query(*m_link, V4L2_CID_EXPOSURE_AUTO, query) != 0 || query.type != V4L2_CTRL_TYPE_MENU) {
        return modes;
    }
    for (int index = std::max(query.minimum, 0);
         index <= std::min(query.maximum, int(ExposureMode_AperturePriority)); ++index) {
        v4l2_querymenu item{};
        item.id = V4L2_CID_EXPOSURE_AUTO;
        item.index = unsigned(index);
        if (m_link->io->Ioctl(m_link->fd, VIDIOC_QUERYMENU, &item) == 0) {
            modes.push_back(index);
        }
    }
    return modes;
}

int V4l2ProcAmp::GetExposureMode(int* mode)
{
    if (!mode) {
        return kProcAmpNotFound;
    }
    std::lock_guard guard(m_link->lock);
    return Read(*m_link, V4L2_CID_EXPOSURE_AUTO, mode);
}

int V4l2ProcAmp::SetExposureMode(int mode)
{
    std::lock_guard guard(m_link->lock);
    return Write(*m_link, V4L2_CID_EXPOSURE_AUTO, mode);
}
