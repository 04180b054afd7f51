#include "common/TestSupport.h"
#include "platform/camera/CameraBackendFactory.h"
#include "platform/camera/CameraHardwareIds.h"
#include "platform/camera/UdevDevices.h"
#include "platform/camera/V4l2Backend.h"
#include "platform/camera/V4l2Camera.h"
#include "platform/camera/VirtualMicroscope.h"
#include "platform/files/ProgramFolder.h"

#include <cerrno>
#include <gtest/gtest.h>
#include <linux/videodev2.h>

namespace {
TEST(CameraStatus, ErrnoValuesMapToClearStates)
{
    EXPECT_EQ(CameraStatusFromErrno(0), CameraStatus::Ok);
    EXPECT_EQ(CameraStatusFromErrno(EBUSY), CameraStatus::Busy);
    EXPECT_EQ(CameraStatusFromErrno(ENODEV), CameraStatus::Gone);
    EXPECT_EQ(CameraStatusFromErrno(ENOENT), CameraStatus::Gone);
    EXPECT_EQ(CameraStatusFromErrno(EINVAL), CameraStatus::Refused);
    EXPECT_EQ(CameraStatusFromErrno(EACCES), CameraStatus::Denied);
    EXPECT_EQ(CameraStatusFromErrno(ENOTTY), CameraStatus::Failed);
    EXPECT_STREQ(CameraStatusName(CameraStatus::Busy), "device busy");
}

TEST(SupportedHardwareIds, ReadFromTheFileBesideTheProgram)
{
    const HardwareIdTable parsed =
        ParseSupportedHardwareIds("# models\nVID_ABCD&PID_00EF  # ours\n"
                                  "garbage\nvid_12&pid_3456\n\nVid_0001&Pid_0002\n");
    EXPECT_EQ(parsed[0], "Vid_abcd&Pid_00ef");
    EXPECT_EQ(parsed[1], "Vid_0001&Pid_0002");
    EXPECT_TRUE(IsHardwareIdText(parsed[2])) << "missing entries keep a built-in id";
    EXPECT_FALSE(IsHardwareIdText("Vid_abcd&Pid_00e"));

    testsupport::TempHome home;
    OverrideProgramFolders(home.path(), home.path());
    ASSERT_TRUE(testsupport::WriteFile(home.sub("SupportedHardwareIds.conf"), "Vid_1111&Pid_2222\n"));
    ReloadSupportedHardwareIds();
    EXPECT_EQ(SupportedHardwareIds()[0], "Vid_1111&Pid_2222");
    OverrideProgramFolders({}, {});
    ReloadSupportedHardwareIds();
}

TEST(V4l2Backend, WorksWithoutCamerasAndRefusesNonCameras)
{
    V4l2Backend backend;
    for (const CameraDeviceInfo& device : backend.EnumerateDevices()) {
        EXPECT_TRUE(device.displayName.contains("vid_"));
    }
    CameraStatus status = CameraStatus::Ok;
    EXPECT_EQ(backend.Open({"usb#vid_ffff&pid_ffff#x /dev/video99", "none", "nothing"}, &status), nullptr);
    EXPECT_EQ(status, CameraStatus::Gone);
    EXPECT_FALSE(backend.IsUsbHardwareIdPresent("USB\\Vid_ffff&Pid_fffe"));

    EXPECT_EQ(V4l2Camera::Open(SystemV4l2Io(), "/dev/video-not-there", {}, &status), nullptr);
    EXPECT_EQ(status, CameraStatus::Gone);
    EXPECT_EQ(V4l2Camera::Open(SystemV4l2Io(), "/dev/null", {}, &status), nullptr);
    EXPECT_NE(status, CameraStatus::Ok);
}

TEST(V4l2Backend, FormatsAndIdsAreTranslated)
{
    CameraSubtype subtype;
    ASSERT_TRUE(SubtypeOfPixelFormat(V4L2_PIX_FMT_MJPEG, subtype));
    EXPECT_EQ(subtype, CameraSubtype::MJPG);
    ASSERT_TRUE(SubtypeOfPixelFormat(PixelFormatOf(CameraSubtype::UYVY), subtype));
    EXPECT_EQ(subtype, CameraSubtype::UYVY);
    EXPECT_FALSE(SubtypeOfPixelFormat(V4L2_PIX_FMT_NV12, subtype));
    EXPECT_EQ(FormatHardwareId("A16E", "3d01\n"), "vid_a16e&pid_3d01");
    EXPECT_EQ(FormatHardwareId("a16", "3d01"), "");
}

TEST(CameraBackendFactory, ChoosesTheBackendFromTheCommandLine)
{
    auto virtualOf = [](const QStringList& args) {
        return std::dynamic_pointer_cast<VirtualMicroscope>(CreateCameraBackendFromArguments(args));
    };
    EXPECT_EQ(virtualOf({"pelora"}), nullptr);
    ASSERT_NE(virtualOf({"pelora", "--virtual-microscope"}), nullptr);
    EXPECT_EQ(virtualOf({"pelora", "--virtual-microscope"})->deviceClass(), 2);
    EXPECT_EQ(virtualOf({"pelora", "--virtual-microscope=0"})->deviceClass(), 0);
    EXPECT_EQ(virtualOf({"pelora", "--virtual-microscope=7"})->deviceClass(), 2);
    EXPECT_EQ(virtualOf({"pelora", "--virtual-microscope=x"})->deviceClass(), 2);
    // The slide's magnification: 60 unless chosen; nonsense neither hangs nor blanks it.
    EXPECT_EQ(virtualOf({"pelora", "--virtual-microscope"})->magnification(), 60);
    const auto zoomed = virtualOf({"pelora", "--virtual-microscope=1,magnification=200"});
    EXPECT_EQ(zoomed->deviceClass(), 1);
    EXPECT_EQ(zoomed->magnification(), 200);
    EXPECT_EQ(virtualOf({"pelora", "--virtual-microscope=,magnification=400"})->deviceClass(), 2);
    EXPECT_EQ(virtualOf({"pelora", "--virtual-microscope=,magnification=400"})->magnification(), 400);
    EXPECT_EQ(virtualOf({"pelora", "--virtual-microscope=2,magnification=abc"})->magnification(), 60);
    EXPECT_EQ(virtualOf({"pelora", "--virtual-microscope=2,magnification=0.0001"})->magnification(), 10);
    EXPECT_EQ(virtualOf({"pelora", "--virtual-microscope=2,magnification=1e300"})->magnification(), 2000);
}
} // namespace
