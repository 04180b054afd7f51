#pragma once
// Picture properties mapped onto a camera's V4L2 controls.
#include "platform/camera/CameraBackend.h"
#include "platform/camera/V4l2Io.h"

#include <memory>
#include <mutex>

// The camera's open video node as its control handle sees it. The camera changes or
// clears the descriptor under the lock (reopen, teardown), so a handle never issues
// an ioctl on a descriptor that was closed or given to someone else.
struct V4l2NodeLink {
    explicit V4l2NodeLink(V4l2Io* io) : io(io) {}
    std::mutex lock;
    V4l2Io* io;
    int fd = -1;
};

class V4l2ProcAmp : public VideoProcAmp {
public:
    explicit V4l2ProcAmp(std::shared_ptr<V4l2NodeLink> link) : m_link(std::move(link)) {}
    // The step is at least 1; a disabled control is not found.
    int GetRange(int property, int* min, int* max, int* step, int* defaultValue, int* flags) override;
    int Get(int property, int* value, int* flags) override;
    // Read-only, grabbed and inactive controls are not written.
    int Set(int property, int value, int flags) override;
    PropertyAccess Access(int property) override;
    // The menu items QUERYMENU names; the driver leaves out the modes the camera lacks.
    std::vector<int> ExposureModes() override;
    int GetExposureMode(int* mode) override;
    int SetExposureMode(int mode) override;

private:
    std::shared_ptr<V4l2NodeLink> m_link;
};
