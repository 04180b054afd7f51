// The V4L2 backend's devices against the emulated UVC driver: what is listed and
// present, refusals, the camera button and the picture controls.
#include "common/EmulatedUvc.h"
#include "common/UvcRig.h"
#include "platform/camera/CameraReport.h"

#include <gtest/gtest.h>
#include <linux/videodev2.h>

namespace emu {
namespace {
TEST(UvcDevices, EveryClassIsListedByItsCaptureNodeOnly)
{
    Rig rig;
    rig.uvc->PlugKeyboard();
    for (int cls : {0, 1, 2}) {
        rig.uvc->Plug(cls);
    }
    // As in a container or the real-driver rig: no udev daemon to tell capture from metadata.
    rig.uvc->With(1, [](Camera& c) { c.udevProperties = false; });
    const auto devices = rig.backend.EnumerateDevices();
    ASSERT_EQ(devices.size(), 3u) << "the metadata nodes are not cameras";
    const std::pair<int, int> largest[] = {{1280, 1024}, {1600, 1200}, {2592, 1944}};
    for (int cls : {0, 1, 2}) {
        EXPECT_TRUE(devices[cls].displayName.contains(rig.uvc->Snapshot(cls).hardwareId));
        EXPECT_TRUE(devices[cls].displayName.endsWith(rig.uvc->CaptureNode(cls)));
        EXPECT_EQ(devices[cls].friendlyName, QString("Microscope class %1").arg(cls));
        auto camera = rig.backend.Open(devices[cls], nullptr);
        ASSERT_TRUE(camera);
        const auto caps = camera->Capabilities();
        ASSERT_FALSE(caps.empty());
        EXPECT_EQ(std::make_pair(caps[0].width, caps[0].height), largest[cls]);
    }
}

TEST(UvcDevices, PresenceMeansAVideoCaptureDeviceWithTheId)
{
    Rig rig;
    const int withNodes = rig.uvc->Plug(0);
    const int bare = rig.uvc->Plug(1);
    rig.uvc->With(bare, [](Camera& c) { c.videoNodes = false; }); // USB device without its driver's nodes
    EXPECT_TRUE(rig.backend.IsUsbHardwareIdPresent("USB\\Vid_A16E&Pid_3D00"));
    EXPECT_FALSE(rig.backend.IsUsbHardwareIdPresent("USB\\Vid_a16e&Pid_3d01"));
    rig.uvc->Unplug(withNodes);
    EXPECT_FALSE(rig.backend.IsUsbHardwareIdPresent("USB\\Vid_a16e&Pid_3d00"));
}

// The entry a camera was chosen by finds it again after a replug into another port, or
// after another camera took its node number; without a serial number only its port counts.
TEST(UvcDevices, CameraIsKnownBySerialNumberOrElseByPort)
{
    Rig rig;
    const int first = rig.uvc->Plug(0, "1");
    rig.uvc->With(first, [](Camera& c) { c.serial = "SN-42"; });
    const int bare = rig.uvc->Plug(0, "2");
    const auto before = rig.backend.EnumerateDevices();
    ASSERT_EQ(before.size(), 2u);
    EXPECT_FALSE(before[0].IsEqual(before[1])) << "same model, told apart by serial number and port";

    rig.uvc->Unplug(first);
    rig.uvc->Unplug(bare);
    const int other = rig.uvc->Plug(0, "1"); // another camera of the model takes the first port
    const int moved = rig.uvc->Plug(0, "3");
    rig.uvc->With(moved, [](Camera& c) { c.serial = "SN-42"; });
    const int bareMoved = rig.uvc->Plug(0, "4");
    CameraStatus status = CameraStatus::Failed;
    auto camera = rig.backend.Open(before[0], &status);
    ASSERT_TRUE(camera) << CameraStatusName(status);
    EXPECT_EQ(rig.uvc->Snapshot(moved).streamOns, 0);
    EXPECT_EQ(camera->Start({}), CameraStatus::Ok);
    camera->Stop();
    EXPECT_EQ(rig.uvc->Snapshot(moved).streamOns, 1) << "the camera with the serial number was opened";
    EXPECT_EQ(rig.uvc->Snapshot(other).streamOns, 0);
    EXPECT_FALSE(rig.backend.Open(before[1], &status))
        << "a camera without serial number in another port is another";
    EXPECT_EQ(status, CameraStatus::Gone);
    EXPECT_EQ(rig.uvc->Snapshot(bareMoved).streamOns, 0);
}

TEST(UvcDevices, ReportListsEachCameraWithIdentityNodeAndFormats)
{
    Rig rig;
    const int ready = rig.uvc->Plug(0, "1");
    rig.uvc->With(ready, [](Camera& c) { c.serial = "SN-7"; });
    rig.uvc->PlugButton(ready);
    const int locked = rig.uvc->Plug(1, "2");
    rig.uvc->With(locked, [](Camera& c) { c.nodeDenied = true; });
    QString text;
    QTextStream out(&text);
    EXPECT_EQ(WriteCameraReport(rig.backend, out), 2) << "metadata nodes are not cameras";
    out.flush();
    const QStringList lines = text.split('\n');
    ASSERT_GE(lines.size(), 10) << text.toStdString();
    EXPECT_EQ(lines[0], "cameras: 2");
    EXPECT_EQ(lines[1], "camera 1: Microscope class 0");
    EXPECT_EQ(lines[2], "  identity: vid_a16e&pid_3d00#SN-7#1.0#0");
    EXPECT_TRUE(lines[3].endsWith(" " + rig.uvc->CaptureNode(ready))) << lines[3].toStdString();
    EXPECT_TRUE(lines[4].startsWith("  formats: MJPG 1280x1024")) << lines[4].toStdString();
    EXPECT_TRUE(lines[4].contains("; YUY2 1280x1024")) << lines[4].toStdString();
    EXPECT_EQ(lines[5], "  button: yes");
    EXPECT_EQ(lines[9], QString("  not opened: ") + CameraStatusName(CameraStatus::Denied));
}

TEST(UvcDevices, RefusalsComeBackAsStatuses)
{
    Rig rig;
    const int cam = rig.uvc->Plug(0);
    rig.uvc->With(cam, [](Camera& c) { c.nodeDenied = true; });
    ASSERT_EQ(rig.backend.EnumerateDevices().size(), 1u) << "a node the user may not open is still listed";
    CameraStatus status = CameraStatus::Ok;
    EXPECT_EQ(rig.Open(cam, &status), nullptr);
    EXPECT_EQ(status, CameraStatus::Denied);
    rig.uvc->With(cam, [](Camera& c) { c.nodeDenied = false; });

    auto camera = rig.Open(cam);
    ASSERT_TRUE(camera);
    rig.uvc->With(cam, [](Camera& c) { c.refuseOnce[VIDIOC_S_FMT] = EBUSY; });
    EXPECT_EQ(camera->SetFormat({CameraSubtype::YUY2, 320, 240}), CameraStatus::Busy);
    ASSERT_EQ(camera->SetFormat({CameraSubtype::YUY2, 320, 240}), CameraStatus::Ok);
    Recorder recorder;
    rig.uvc->With(cam, [](Camera& c) { c.refuseOnce[VIDIOC_REQBUFS] = EBUSY; });
    EXPECT_EQ(camera->Start(recorder.Sinks()), CameraStatus::Busy);
    rig.uvc->With(cam, [](Camera& c) { c.refuseOnce[VIDIOC_STREAMON] = ENOSPC; });
    EXPECT_EQ(camera->Start(recorder.Sinks()), CameraStatus::Bandwidth);
    EXPECT_EQ(camera->Start(recorder.Sinks()), CameraStatus::Ok) << "a refused start leaves nothing behind";
    auto other = rig.Open(cam);
    ASSERT_TRUE(other);
    EXPECT_EQ(other->Start(recorder.Sinks()), CameraStatus::Busy) << "another program streams";
}

TEST(UvcDevices, RefusedSizeLeavesTheDeviceAsItWas)
{
    Rig rig;
    const int cam = rig.uvc->Plug(1);
    auto camera = rig.OpenAt(cam);
    ASSERT_TRUE(camera);
    EXPECT_EQ(camera->SetFormat({CameraSubtype::MJPG, 1000, 700}), CameraStatus::Refused);
    const Camera device = rig.uvc->Snapshot(cam);
    EXPECT_EQ(device.pixelFormat, V4L2_PIX_FMT_YUYV);
    EXPECT_EQ(std::make_pair(device.width, device.height), std::make_pair(320, 240));
}

TEST(UvcDevices, FailedBufferSetUpReleasesTheDevice)
{
    Rig rig;
    const int cam = rig.uvc->Plug(0);
    auto camera = rig.OpenAt(cam);
    ASSERT_TRUE(camera);
    Recorder recorder;
    for (auto fail : {&Camera::queryBufFailsAt, &Camera::mapFailsAt}) {
        for (int at : {0, 2}) {
            rig.uvc->With(cam, [&](Camera& c) { c.*fail = at; });
            EXPECT_NE(camera->Start(recorder.Sinks()), CameraStatus::Ok);
            rig.uvc->With(cam, [&](Camera& c) { c.*fail = -1; });
            auto other = rig.Open(cam);
            ASSERT_TRUE(other);
            EXPECT_EQ(other->Start(recorder.Sinks()), CameraStatus::Ok) << "no buffers were left allocated";
        }
    }
    rig.uvc->With(cam, [](Camera& c) { c.maxBuffers = 2; });
    EXPECT_EQ(camera->Start(recorder.Sinks()), CameraStatus::Ok) << "fewer buffers than asked for";
    ASSERT_TRUE(WaitFor([&] { return recorder.Frames() > 3; }));
}

TEST(UvcButton, LateButtonIsAttachedToTheOpenCamera)
{
    Rig rig;
    int changes = 0;
    rig.backend.WatchDevices([&](int, int) { ++changes; });
    const int cam = rig.uvc->Plug(2);
    rig.uvc->PlugKeyboard(); // an input device of another USB device
    auto camera = rig.OpenAt(cam);
    ASSERT_TRUE(camera);
    EXPECT_FALSE(camera->HasStillButton());
    Recorder recorder;
    ASSERT_EQ(camera->Start(recorder.Sinks()), CameraStatus::Ok);
    rig.uvc->PlugButton(cam); // the driver registers the input device after the video nodes
    ASSERT_TRUE(WaitFor([&] { return camera->HasStillButton(); }));
    EXPECT_EQ(recorder.Notices(), std::vector<CameraNotice>{CameraNotice::ButtonAttached});
    rig.uvc->Press(cam);
    rig.uvc->Release(cam);
    ASSERT_TRUE(WaitFor([&] { return recorder.Presses() == 1; }));
    rig.uvc->DropWhilePressed(cam); // the press itself was lost with the overflow
    ASSERT_TRUE(WaitFor([&] { return recorder.Presses() == 2; }));
    camera->Stop();
    EXPECT_FALSE(camera->StillButtonDenied());
    EXPECT_GT(changes, 0);
    rig.backend.WatchDevices(nullptr);
}

TEST(UvcButton, PressesWhileThePictureIsOffAreDiscarded)
{
    Rig rig;
    const int cam = rig.uvc->Plug(0);
    rig.uvc->PlugButton(cam);
    auto camera = rig.OpenAt(cam);
    ASSERT_TRUE(camera);
    ASSERT_TRUE(camera->HasStillButton());
    for (int i = 0; i < 3; ++i) {
        rig.uvc->Press(cam);
        rig.uvc->Release(cam);
    }
    Recorder recorder;
    ASSERT_EQ(camera->Start(recorder.Sinks()), CameraStatus::Ok);
    ASSERT_TRUE(WaitFor([&] { return recorder.Frames() > 3; }));
    rig.uvc->Press(cam);
    ASSERT_TRUE(WaitFor([&] { return recorder.Presses() >= 1; }));
    camera->Stop();
    EXPECT_EQ(recorder.Presses(), 1);
}

TEST(UvcButton, UnreadableButtonIsToldOnceAndThePictureGoesOn)
{
    Rig rig;
    rig.backend.WatchDevices([](int, int) {});
    const int early = rig.uvc->Plug(1);
    rig.uvc->With(early, [](Camera& c) { c.buttonDenied = true; });
    rig.uvc->PlugButton(early);
    auto camera = rig.OpenAt(early);
    ASSERT_TRUE(camera);
    EXPECT_FALSE(camera->HasStillButton());
    EXPECT_TRUE(camera->StillButtonDenied());
    Recorder recorder;
    for (int start = 0; start < 2; ++start) {
        ASSERT_EQ(camera->Start(recorder.Sinks()), CameraStatus::Ok);
        const std::size_t before = recorder.Frames();
        ASSERT_TRUE(WaitFor([&] { return recorder.Frames() > before + 2; }));
        camera->Stop();
    }
    EXPECT_EQ(recorder.Notices(), std::vector<CameraNotice>{CameraNotice::ButtonDenied});

    const int late = rig.uvc->Plug(2);
    rig.uvc->With(late, [](Camera& c) { c.buttonDenied = true; });
    auto second = rig.OpenAt(late);
    ASSERT_TRUE(second);
    Recorder told;
    ASSERT_EQ(second->Start(told.Sinks()), CameraStatus::Ok);
    rig.uvc->PlugButton(late);
    ASSERT_TRUE(WaitFor([&] { return !told.Notices().empty(); }));
    EXPECT_EQ(told.Notices(), std::vector<CameraNotice>{CameraNotice::ButtonDenied});
    ASSERT_TRUE(WaitFor([&] { return told.Frames() > 2; }));
    second->Stop();
    rig.backend.WatchDevices(nullptr);
}

TEST(UvcControls, ControlsAsTheDriverReportsThem)
{
    Rig rig;
    const int cam = rig.uvc->Plug(0);
    rig.uvc->With(cam, [](Camera& c) {
        c.controls[V4L2_CID_BRIGHTNESS].step = 0;
        c.controls[V4L2_CID_CONTRAST].flags = V4L2_CTRL_FLAG_READ_ONLY;
        c.controls[V4L2_CID_HUE].flags = V4L2_CTRL_FLAG_DISABLED;
        c.controls[V4L2_CID_SATURATION].flags = V4L2_CTRL_FLAG_INACTIVE;
        c.controls[V4L2_CID_SHARPNESS].flags = V4L2_CTRL_FLAG_GRABBED;
        c.controls.erase(V4L2_CID_GAMMA);
    });
    auto camera = rig.Open(cam);
    ASSERT_TRUE(camera);
    VideoProcAmp* amp = camera->ProcAmp();
    int min = 0, max = 0, step = 0, def = 0, flags = 0, value = 0;
    ASSERT_EQ(amp->GetRange(VideoProcAmp_Brightness, &min, &max, &step, &def, &flags), 0);
    EXPECT_EQ(step, 1) << "a step of 0 moves by 1";
    EXPECT_NE(amp->GetRange(VideoProcAmp_Hue, &min, &max, &step, &def, &flags), 0);
    EXPECT_NE(amp->GetRange(VideoProcAmp_Gamma, &min, &max, &step, &def, &flags), 0) << "missing";
    for (int property : {VideoProcAmp_Contrast, VideoProcAmp_Saturation, VideoProcAmp_Sharpness}) {
        EXPECT_NE(amp->Set(property, 17, VideoProcAmp_Flags_Manual), 0) << property;
    }
    EXPECT_EQ(amp->Access(VideoProcAmp_Brightness), PropertyAccess::Writable);
    EXPECT_EQ(amp->Access(VideoProcAmp_Contrast), PropertyAccess::ReadOnly);
    EXPECT_EQ(amp->Access(VideoProcAmp_Saturation), PropertyAccess::Inactive);
    EXPECT_EQ(amp->Access(VideoProcAmp_Sharpness), PropertyAccess::ReadOnly) << "grabbed";
    EXPECT_TRUE(amp->ExposureModes().empty()) << "this camera has no exposure menu";
    EXPECT_EQ(amp->Set(VideoProcAmp_Brightness, 77, VideoProcAmp_Flags_Manual), 0);
    ASSERT_EQ(amp->Get(VideoProcAmp_Brightness, &value, &flags), 0);
    EXPECT_EQ(value, 77);
    const Camera device = rig.uvc->Snapshot(cam);
    EXPECT_EQ(device.controls.at(V4L2_CID_CONTRAST).value, 128);
    EXPECT_EQ(device.controls.at(V4L2_CID_SATURATION).value, 128);
    EXPECT_EQ(device.controls.at(V4L2_CID_SHARPNESS).value, 128);
}

// Many cameras have no fully automatic exposure: the menu lists only their modes.
TEST(UvcControls, ExposureModesComeFromTheMenuAndGovernTheExposureTime)
{
    Rig rig;
    const int cam = rig.uvc->Plug(0);
    rig.uvc->With(cam, [](Camera& c) {
        c.controls[V4L2_CID_EXPOSURE_AUTO] = {0, 3, 1, 3, 3, 0, 0b1010}; // manual, aperture priority
        c.controls[V4L2_CID_EXPOSURE_ABSOLUTE] = {
            1, 5000, 1, 166, 166, 0, 0, V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_MANUAL};
    });
    auto camera = rig.Open(cam);
    ASSERT_TRUE(camera);
    VideoProcAmp& amp = *camera->ProcAmp();
    EXPECT_EQ(amp.ExposureModes(), (std::vector<int>{ExposureMode_Manual, ExposureMode_AperturePriority}));
    int mode = -1;
    ASSERT_EQ(amp.GetExposureMode(&mode), 0);
    EXPECT_EQ(mode, ExposureMode_AperturePriority);
    EXPECT_EQ(amp.Access(VideoProcAmp_Exposure), PropertyAccess::Inactive);
    EXPECT_NE(amp.Set(VideoProcAmp_Exposure, 300, VideoProcAmp_Flags_Manual), 0);
    EXPECT_NE(amp.SetExposureMode(ExposureMode_Auto), 0) << "a mode the camera does not list";

    ASSERT_EQ(amp.SetExposureMode(ExposureMode_Manual), 0);
    ASSERT_EQ(amp.GetExposureMode(&mode), 0);
    EXPECT_EQ(mode, ExposureMode_Manual);
    EXPECT_EQ(amp.Access(VideoProcAmp_Exposure), PropertyAccess::Writable);
    EXPECT_EQ(amp.Set(VideoProcAmp_Exposure, 300, VideoProcAmp_Flags_Manual), 0);
    const Camera device = rig.uvc->Snapshot(cam);
    EXPECT_EQ(device.controls.at(V4L2_CID_EXPOSURE_AUTO).value, V4L2_EXPOSURE_MANUAL);
    EXPECT_EQ(device.controls.at(V4L2_CID_EXPOSURE_ABSOLUTE).value, 300);
}

TEST(UvcControls, FocusIsReadAndSetWithAutofocusTurnedOff)
{
    Rig rig;
    const int cam = rig.uvc->Plug(0);
    auto camera = rig.Open(cam);
    ASSERT_TRUE(camera);
    int min = 0, max = 0, step = 0, def = 0, flags = 0, value = 0;
    EXPECT_NE(camera->ProcAmp()->GetRange(CameraControl_Focus, &min, &max, &step, &def, &flags), 0) << "none";
    rig.uvc->With(cam, [](Camera& c) {
        c.controls[V4L2_CID_FOCUS_AUTO] = {0, 1, 1, 1, 1, 0};
        c.controls[V4L2_CID_FOCUS_ABSOLUTE] = {0, 1023, 4, 300, 300, 0, 0, V4L2_CID_FOCUS_AUTO, 0};
    });
    VideoProcAmp* amp = camera->ProcAmp();
    ASSERT_EQ(amp->GetRange(CameraControl_Focus, &min, &max, &step, &def, &flags), 0);
    EXPECT_EQ(std::tie(min, max, step, def), std::make_tuple(0, 1023, 4, 300));
    EXPECT_EQ(amp->Set(CameraControl_Focus, 640, VideoProcAmp_Flags_Manual), 0);
    ASSERT_EQ(amp->Get(CameraControl_Focus, &value, &flags), 0);
    EXPECT_EQ(value, 640);
    EXPECT_EQ(rig.uvc->Snapshot(cam).controls.at(V4L2_CID_FOCUS_AUTO).value, 0);
}

TEST(UvcControls, HandleFollowsTheCameraThroughAReopen)
{
    Rig rig;
    const int cam = rig.uvc->Plug(2);
    auto camera = rig.OpenAt(cam);
    ASSERT_TRUE(camera);
    Recorder recorder;
    ASSERT_EQ(camera->Start(recorder.Sinks()), CameraStatus::Ok);
    ASSERT_TRUE(WaitFor([&] { return recorder.Frames() > 2; }));
    rig.uvc->With(cam, [](Camera& c) {
        c.broken = true;
        c.refuseOnce[VIDIOC_STREAMOFF] = EPROTO; // restarting in place fails: the node is opened again
    });
    const std::size_t before = recorder.Frames();
    ASSERT_TRUE(WaitFor([&] { return recorder.Frames() > before + 2; }));
    EXPECT_TRUE(recorder.Ended().empty());
    EXPECT_EQ(camera->ProcAmp()->Set(VideoProcAmp_Brightness, 90, VideoProcAmp_Flags_Manual), 0);
    EXPECT_EQ(rig.uvc->Snapshot(cam).controls.at(V4L2_CID_BRIGHTNESS).value, 90);
    const std::shared_ptr<VideoProcAmp> kept = camera->SharedProcAmp();
    camera.reset();
    auto other = rig.Open(cam); // may get the descriptor number the camera had
    ASSERT_TRUE(other);
    EXPECT_NE(kept->Set(VideoProcAmp_Brightness, 20, VideoProcAmp_Flags_Manual), 0);
    EXPECT_EQ(rig.uvc->Snapshot(cam).controls.at(V4L2_CID_BRIGHTNESS).value, 90);
    other.reset();
    EXPECT_EQ(rig.uvc->StrayIoctls(), 0);
    EXPECT_EQ(rig.uvc->OpenDescriptors(), 0);
}

} // namespace
} // namespace emu
