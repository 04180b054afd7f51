#pragma once
// What both test binaries in the rig's VM ask of the rig camera through the shipped
// V4L2 backend.
#include "common/UvcRig.h"
#include "kernel/RigCameraProcess.h"
#include "kernel/RigPattern.h"
#include "platform/camera/V4l2Backend.h"

#include <gtest/gtest.h>

namespace rig {

// The rig camera's capture node as the backend lists it.
inline bool FindRigCamera(V4l2Backend& backend, CameraDeviceInfo& found)
{
    for (const CameraDeviceInfo& info : backend.EnumerateDevices()) {
        if (info.displayName.contains(kHardwareId)) {
            found = info;
            return true;
        }
    }
    return false;
}

// Plugs the camera in again and starts its preview through the entry it had before the
// loss: it must come back in the same size and format. `again` gets its frames.
inline void ExpectPreviewResumes(V4l2Backend& backend, const CameraDeviceInfo& info,
                                 const CameraFormat& format, emu::Recorder& again)
{
    ASSERT_TRUE(PluggedCamera().Plug());
    CameraStatus status = CameraStatus::Failed;
    auto device = backend.Open(info, &status);
    ASSERT_TRUE(device) << CameraStatusName(status);
    ASSERT_EQ(device->SetFormat(format), CameraStatus::Ok);
    ASSERT_EQ(device->Start(again.Sinks()), CameraStatus::Ok);
    ASSERT_TRUE(emu::WaitFor([&] { return again.Frames() >= 2; }, 30));
    const CameraFormat resumed = device->CurrentFormat();
    EXPECT_EQ(resumed.subtype, format.subtype);
    EXPECT_EQ(resumed.width, format.width);
    EXPECT_EQ(resumed.height, format.height);
    device->Stop();
    EXPECT_TRUE(again.Ended().empty());
}

} // namespace rig
