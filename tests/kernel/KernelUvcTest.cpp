// The shipped V4L2 layer against the kernel's own uvcvideo driver, run inside the
// rig's VM (tests/kernel/rig) with the rig's camera program on dummy_hcd.
// Environment: PELORA_RIG_CAMERA (the camera program), PELORA_RIG_DATA (its folder).
#include "common/EmulatedUvc.h"
#include "common/UvcRig.h"
#include "kernel/RigCameraProcess.h"
#include "kernel/RigChecks.h"
#include "kernel/RigPattern.h"
#include "platform/camera/CameraReport.h"
#include "platform/camera/V4l2Backend.h"

#include <QCoreApplication>
#include <QFile>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/videodev2.h>
#include <sys/ioctl.h>
#include <turbojpeg.h>
#include <unistd.h>

namespace {
using namespace rig;

constexpr int kYuvTolerance = 6;   // rounding of the YUV to RGB conversion
constexpr int kJpegTolerance = 24; // per pixel, after JPEG's loss
constexpr double kJpegMeanTolerance = 3.0;
constexpr int kFramesPerCase = 4;
constexpr int kJpegQuality = 95;

struct Difference {
    int max = 0;
    double mean = 0;
};

std::uint8_t Clamp(double v)
{
    return std::uint8_t(std::clamp(v + 0.5, 0.0, 255.0));
}

// BT.601 limited range, as the converter reads YUYV.
Rgb RgbOfYuv(int y, int u, int v)
{
    const double c = 1.164 * (y - 16), d = u - 128, e = v - 128;
    return {Clamp(c + 1.596 * e), Clamp(c - 0.392 * d - 0.813 * e), Clamp(c + 2.017 * d)};
}

Rgb YuyvExpected(int x, int y, int w, int h)
{
    const Yuv pair = YuyvPair(x & ~1, y, w, h);
    return RgbOfYuv(x & 1 ? pair.y1 : pair.y0, pair.u, pair.v);
}

// Compares a converted picture (BGR, bottom-up) with what the camera was showing.
template <typename Expected>
Difference Compare(const std::vector<std::uint8_t>& bgr, int w, int h, Expected expected)
{
    Difference d;
    double sum = 0;
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = bgr.data() + std::size_t(h - 1 - y) * w * 3;
        for (int x = 0; x < w; ++x) {
            const Rgb want = expected(x, y, w, h);
            for (const auto& [got, wanted] :
                 {std::pair{row[x * 3 + 2], want.r}, std::pair{row[x * 3 + 1], want.g},
                  std::pair{row[x * 3], want.b}}) {
                const int diff = std::abs(int(got) - int(wanted));
                d.max = std::max(d.max, diff);
                sum += diff;
            }
        }
    }
    d.mean = sum / (double(w) * h * 3);
    return d;
}

std::vector<std::uint8_t> PatternJpeg(int w, int h, int subsampling)
{
    std::vector<std::uint8_t> rgb(std::size_t(w) * h * 3);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const Rgb p = MjpgPixel(x, y, w, h);
            std::uint8_t* q = &rgb[(std::size_t(y) * w + x) * 3];
            q[0] = p.r, q[1] = p.g, q[2] = p.b;
        }
    }
    return emu::JpegOfRgb(rgb, w, h, subsampling, kJpegQuality);
}

// TurboJPEG puts a restart marker after every N MCUs when TJ_RESTART says so.
std::vector<std::uint8_t> WithRestartMarkers(int w, int h)
{
    setenv("TJ_RESTART", "2", 1);
    auto jpeg = PatternJpeg(w, h, TJSAMP_422);
    unsetenv("TJ_RESTART");
    return jpeg;
}

bool HasMarker(const std::vector<std::uint8_t>& jpeg, std::uint8_t marker)
{
    for (std::size_t i = 0; i + 1 < jpeg.size(); ++i) {
        if (jpeg[i] == 0xFF && jpeg[i + 1] == marker) {
            return true;
        }
    }
    return false;
}

// Stray bytes between the image data and the end marker, as some cameras send.
std::vector<std::uint8_t> WithBytesBeforeEnd(std::vector<std::uint8_t> jpeg)
{
    const std::uint8_t stray[] = {0x12, 0x34, 0x56, 0x78};
    jpeg.insert(jpeg.end() - 2, std::begin(stray), std::end(stray));
    return jpeg;
}

std::vector<std::uint8_t> Truncated(std::vector<std::uint8_t> jpeg)
{
    jpeg.resize(jpeg.size() * 2 / 3);
    return jpeg;
}

class RealUvc : public ::testing::Test {
protected:
    bool Find(CameraDeviceInfo& found) { return FindRigCamera(backend, found); }

    std::unique_ptr<CameraDevice> OpenRig()
    {
        CameraDeviceInfo info;
        CameraStatus status = CameraStatus::Failed;
        auto device = Find(info) ? backend.Open(info, &status) : nullptr;
        EXPECT_EQ(status, CameraStatus::Ok);
        return device;
    }

    void ServeJpeg(int w, int h, const std::vector<std::uint8_t>& jpeg)
    {
        const QString path = QString("%1/mjpg-%2x%3.jpg").arg(PluggedCamera().DataDir()).arg(w).arg(h);
        QFile file(path + ".new");
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(jpeg.data()), qint64(jpeg.size()));
        file.close();
        std::rename(QFile::encodeName(path + ".new").constData(), QFile::encodeName(path).constData());
    }

    // Streams until `frames` frames came (or a bound passed) and returns what was seen.
    void Stream(CameraDevice& device, const CameraFormat& format, emu::Recorder& recorder, int frames)
    {
        ASSERT_EQ(device.SetFormat(format), CameraStatus::Ok);
        ASSERT_EQ(device.Start(recorder.Sinks()), CameraStatus::Ok);
        EXPECT_TRUE(emu::WaitFor([&] { return int(recorder.Frames()) >= frames; }, 30));
        device.Stop();
    }

    V4l2Backend backend;
};

TEST_F(RealUvc, DiscoveryListsTheCaptureNodeOnceWithItsFormats)
{
    std::vector<CameraDeviceInfo> rig;
    for (const CameraDeviceInfo& info : backend.EnumerateDevices()) {
        if (info.displayName.contains(kHardwareId)) {
            rig.push_back(info);
        }
    }
    ASSERT_EQ(rig.size(), 1u) << "the metadata node must not be listed";
    EXPECT_EQ(rig[0].friendlyName, kProductName);
    // The listed node is the capture node (index 0 of the driver's nodes), not metadata.
    const QString node = rig[0].displayName.section(' ', -1);
    QFile index("/sys/class/video4linux/" + node.section('/', -1) + "/index");
    ASSERT_TRUE(index.open(QIODevice::ReadOnly));
    EXPECT_EQ(index.readAll().trimmed(), "0");
    EXPECT_TRUE(backend.IsUsbHardwareIdPresent(QString("USB\\") + kHardwareId));

    auto device = OpenRig();
    ASSERT_TRUE(device);
    std::vector<CameraCapability> expected;
    for (const Size& s : kYuyvSizes) {
        expected.push_back({CameraSubtype::YUY2, s.width, s.height});
    }
    for (const Size& s : kMjpgSizes) {
        expected.push_back({CameraSubtype::MJPG, s.width, s.height});
    }
    EXPECT_EQ(device->Capabilities(), expected);
    EXPECT_TRUE(device->HasStillButton());
    device.reset();

    // What "pelora --list-cameras" prints: the camera by its serial number, its formats.
    QString report;
    QTextStream out(&report);
    EXPECT_EQ(WriteCameraReport(backend, out), 1);
    out.flush();
    std::printf("%s", qPrintable(report));
    EXPECT_TRUE(report.contains(QString("identity: %1#%2#").arg(kHardwareId, kSerialNumber)));
    EXPECT_TRUE(report.contains("formats: YUY2 320x240 160x120; MJPG 320x240\n"));
}

TEST_F(RealUvc, PreviewFramesMatchWhatTheCameraSent)
{
    auto device = OpenRig();
    ASSERT_TRUE(device);
    for (const Size& s : kYuyvSizes) {
        emu::Recorder recorder;
        Stream(*device, {CameraSubtype::YUY2, s.width, s.height}, recorder, kFramesPerCase);
        const auto shown = recorder.Shown();
        std::printf("rig: YUYV %dx%d: %zu frames, %zd shown\n", s.width, s.height, shown.size(),
                    std::count(shown.begin(), shown.end(), true));
        ASSERT_FALSE(recorder.LastPicture().empty());
        const Difference d = Compare(recorder.LastPicture(), s.width, s.height, YuyvExpected);
        EXPECT_LE(d.max, kYuvTolerance) << "YUYV " << s.width << "x" << s.height;
        EXPECT_EQ(device->CurrentFormat().width, s.width);
    }
    for (const auto& [subsampling, name] : {std::pair{TJSAMP_422, "4:2:2"}, std::pair{TJSAMP_420, "4:2:0"}}) {
        for (const Size& s : kMjpgSizes) {
            ServeJpeg(s.width, s.height, PatternJpeg(s.width, s.height, subsampling));
            emu::Recorder recorder;
            Stream(*device, {CameraSubtype::MJPG, s.width, s.height}, recorder, kFramesPerCase);
            std::printf("rig: MJPG %s %dx%d: %zu frames\n", name, s.width, s.height, recorder.Frames());
            ASSERT_FALSE(recorder.LastPicture().empty()) << name;
            const Difference d = Compare(recorder.LastPicture(), s.width, s.height, MjpgPixel);
            EXPECT_LE(d.max, kJpegTolerance) << name << " " << s.width << "x" << s.height;
            EXPECT_LE(d.mean, kJpegMeanTolerance) << name << " " << s.width << "x" << s.height;
        }
    }
}

TEST_F(RealUvc, DamagedMjpgFramesAreShownOrDroppedAndCounted)
{
    const Size s = kMjpgSizes[0];
    const auto good = PatternJpeg(s.width, s.height, TJSAMP_422);
    const auto restarts = WithRestartMarkers(s.width, s.height);
    ASSERT_TRUE(HasMarker(restarts, 0xDD)) << "no restart interval in the test frame";
    struct Case {
        const char* name;
        std::vector<std::uint8_t> jpeg;
        bool shown;
    };
    const Case cases[] = {
        {"no Huffman tables", emu::WithoutHuffmanTables(good), true},
        {"restart markers", restarts, true},
        {"bytes before a marker", WithBytesBeforeEnd(good), true},
        {"truncated", Truncated(good), false},
    };
    auto device = OpenRig();
    ASSERT_TRUE(device);
    for (const Case& c : cases) {
        ServeJpeg(s.width, s.height, c.jpeg);
        emu::Recorder recorder;
        Stream(*device, {CameraSubtype::MJPG, s.width, s.height}, recorder, kFramesPerCase);
        const auto shown = recorder.Shown();
        const auto count = std::count(shown.begin(), shown.end(), true);
        std::printf("rig: MJPG %s: %zu frames, %zd shown, %zd dropped\n", c.name, shown.size(), count,
                    std::ptrdiff_t(shown.size()) - count);
        ASSERT_GE(int(shown.size()), kFramesPerCase) << c.name;
        // A bulk camera is never told that a stream stopped: the first frame of the next
        // one may still be the last of the previous stream. Judge the frames after it.
        const auto later = std::count(shown.begin() + 1, shown.end(), true);
        EXPECT_EQ(later, c.shown ? std::ptrdiff_t(shown.size()) - 1 : 0) << c.name;
        if (c.shown) {
            const Difference d = Compare(recorder.LastPicture(), s.width, s.height, MjpgPixel);
            EXPECT_LE(d.mean, kJpegMeanTolerance) << c.name;
        }
    }
}

TEST_F(RealUvc, PictureControlsReachTheDevice)
{
    auto device = OpenRig();
    ASSERT_TRUE(device);
    VideoProcAmp& amp = *device->ProcAmp();
    int min = 0, max = 0, step = 0, def = 0, flags = 0, value = 0;
    ASSERT_EQ(amp.GetRange(VideoProcAmp_Brightness, &min, &max, &step, &def, &flags), 0);
    EXPECT_EQ(min, 0);
    EXPECT_EQ(max, 255);
    EXPECT_EQ(def, kBrightnessDefault);
    ASSERT_EQ(amp.Set(VideoProcAmp_Brightness, 200, VideoProcAmp_Flags_Manual), 0);
    // The camera notes the value once the transfer is done, a moment after the call returns.
    EXPECT_TRUE(emu::WaitFor([] { return PluggedCamera().DeviceValue(kBrightnessFile) == 200; }));
    ASSERT_EQ(amp.Get(VideoProcAmp_Brightness, &value, &flags), 0);
    EXPECT_EQ(value, 200);
    EXPECT_EQ(amp.Access(VideoProcAmp_Brightness), PropertyAccess::Writable);

    // Contrast is read-only on this camera: never written, and its value is the device's.
    EXPECT_EQ(amp.Access(VideoProcAmp_Contrast), PropertyAccess::ReadOnly);
    EXPECT_NE(amp.Set(VideoProcAmp_Contrast, 50, VideoProcAmp_Flags_Manual), 0);
    ASSERT_EQ(amp.Get(VideoProcAmp_Contrast, &value, &flags), 0);
    EXPECT_EQ(value, kContrastValue);
    // The camera has no saturation control at all.
    EXPECT_NE(amp.GetRange(VideoProcAmp_Saturation, &min, &max, &step, &def, &flags), 0);
    std::printf("rig: brightness set to 200, device has %d; contrast read-only at %d\n",
                PluggedCamera().DeviceValue(kBrightnessFile), value);
    amp.Set(VideoProcAmp_Brightness, kBrightnessDefault, VideoProcAmp_Flags_Manual);
}

// The exposure menu uvcvideo makes of the camera's mode bitmap (manual and aperture
// priority), item by item through QUERYMENU, and the exposure time it governs.
TEST_F(RealUvc, ExposureModesComeFromTheMenuAndGovernTheExposureTime)
{
    auto device = OpenRig();
    ASSERT_TRUE(device);
    VideoProcAmp& amp = *device->ProcAmp();
    CameraDeviceInfo info;
    ASSERT_TRUE(Find(info));
    const int fd = ::open(QFile::encodeName(info.displayName.section(' ', -1)).constData(), O_RDWR);
    ASSERT_GE(fd, 0);
    v4l2_queryctrl menu{};
    menu.id = V4L2_CID_EXPOSURE_AUTO;
    ASSERT_EQ(ioctl(fd, VIDIOC_QUERYCTRL, &menu), 0);
    std::printf("rig: exposure menu: type %u, items %d..%d, default %d\n", menu.type, menu.minimum,
                menu.maximum, menu.default_value);
    for (int index = menu.minimum; index <= menu.maximum; ++index) {
        v4l2_querymenu item{};
        item.id = V4L2_CID_EXPOSURE_AUTO;
        item.index = unsigned(index);
        const int result = ioctl(fd, VIDIOC_QUERYMENU, &item) == 0 ? 0 : errno;
        std::printf("rig: QUERYMENU %d: %s\n", index,
                    result ? std::strerror(result) : reinterpret_cast<const char*>(item.name));
    }
    EXPECT_EQ(amp.ExposureModes(), (std::vector<int>{ExposureMode_Manual, ExposureMode_AperturePriority}));
    int mode = -1;
    ASSERT_EQ(amp.GetExposureMode(&mode), 0);
    EXPECT_EQ(mode, ExposureMode_AperturePriority);
    int min = 0, max = 0, step = 0, def = 0, flags = 0, value = 0;
    ASSERT_EQ(amp.GetRange(VideoProcAmp_Exposure, &min, &max, &step, &def, &flags), 0);
    EXPECT_EQ(max, kExposureMax);
    EXPECT_EQ(def, kExposureDefault);
    EXPECT_EQ(amp.Access(VideoProcAmp_Exposure), PropertyAccess::Inactive) << "governed by aperture priority";
    ASSERT_EQ(amp.Get(VideoProcAmp_Exposure, &value, &flags), 0) << "the greyed row still shows the time";
    EXPECT_EQ(value, kExposureDefault);

    // What the driver itself does with a write of the inactive control, and with a mode
    // the camera does not have.
    v4l2_control direct{V4L2_CID_EXPOSURE_ABSOLUTE, 250};
    const int directResult = ioctl(fd, VIDIOC_S_CTRL, &direct) == 0 ? 0 : errno;
    v4l2_control unlisted{V4L2_CID_EXPOSURE_AUTO, V4L2_EXPOSURE_AUTO};
    const int unlistedResult = ioctl(fd, VIDIOC_S_CTRL, &unlisted) == 0 ? 0 : errno;
    v4l2_queryctrl time{};
    time.id = V4L2_CID_EXPOSURE_ABSOLUTE;
    ioctl(fd, VIDIOC_QUERYCTRL, &time);
    std::printf("rig: flags: exposure menu %#x, exposure time %#x; S_CTRL of mode 0: %s\n", menu.flags,
                time.flags, unlistedResult ? std::strerror(unlistedResult) : "accepted");
    ::close(fd);
    const bool reached = emu::WaitFor([] { return PluggedCamera().DeviceValue(kExposureFile) == 250; }, 1);
    std::printf("rig: S_CTRL of the inactive exposure time: %s, %s the device\n",
                directResult ? std::strerror(directResult) : "accepted",
                reached ? "reached" : "did not reach");
    EXPECT_NE(amp.Set(VideoProcAmp_Exposure, 300, VideoProcAmp_Flags_Manual), 0);
    EXPECT_NE(amp.SetExposureMode(ExposureMode_Auto), 0) << "a mode the camera does not have";

    ASSERT_EQ(amp.SetExposureMode(ExposureMode_Manual), 0);
    EXPECT_TRUE(emu::WaitFor([] { return PluggedCamera().DeviceValue(kAeModeFile) == 0x01; }))
        << "the manual mode's bit did not reach the camera";
    ASSERT_EQ(amp.GetExposureMode(&mode), 0);
    EXPECT_EQ(mode, ExposureMode_Manual);
    EXPECT_EQ(amp.Access(VideoProcAmp_Exposure), PropertyAccess::Writable);
    ASSERT_EQ(amp.Set(VideoProcAmp_Exposure, 300, VideoProcAmp_Flags_Manual), 0);
    EXPECT_TRUE(emu::WaitFor([] { return PluggedCamera().DeviceValue(kExposureFile) == 300; }));
    ASSERT_EQ(amp.Get(VideoProcAmp_Exposure, &value, &flags), 0);
    EXPECT_EQ(value, 300);
    std::printf("rig: exposure mode manual reached the device (%#x), exposure time %d\n",
                PluggedCamera().DeviceValue(kAeModeFile), PluggedCamera().DeviceValue(kExposureFile));
    ASSERT_EQ(amp.SetExposureMode(ExposureMode_AperturePriority), 0);
    EXPECT_TRUE(emu::WaitFor([] { return PluggedCamera().DeviceValue(kAeModeFile) == kAeDefault; }));
    EXPECT_EQ(amp.Access(VideoProcAmp_Exposure), PropertyAccess::Inactive);
}

TEST_F(RealUvc, ButtonPressReachesTheStream)
{
    auto device = OpenRig();
    ASSERT_TRUE(device);
    ASSERT_TRUE(device->HasStillButton());
    emu::Recorder recorder;
    ASSERT_EQ(device->SetFormat({CameraSubtype::YUY2, kYuyvSizes[1].width, kYuyvSizes[1].height}),
              CameraStatus::Ok);
    ASSERT_EQ(device->Start(recorder.Sinks()), CameraStatus::Ok);
    ASSERT_TRUE(emu::WaitFor([&] { return recorder.Frames() > 0; }, 30));
    PluggedCamera().PressButton();
    EXPECT_TRUE(emu::WaitFor([&] { return recorder.Presses() == 1; }, 10));
    device->Stop();
    EXPECT_EQ(recorder.Presses(), 1) << "one press, one still";
}

// uvcvideo registers the button's input device after the video nodes. Without the evdev
// module it has no event node yet; loading it makes one while the preview runs.
TEST_F(RealUvc, ButtonWhoseInputNodeComesAfterTheVideoNode)
{
    ASSERT_EQ(std::system("rmmod evdev"), 0);
    auto device = OpenRig();
    ASSERT_TRUE(device);
    EXPECT_FALSE(device->HasStillButton());
    backend.WatchDevices([](int, int) {});
    emu::Recorder recorder;
    ASSERT_EQ(device->SetFormat({CameraSubtype::YUY2, kYuyvSizes[1].width, kYuyvSizes[1].height}),
              CameraStatus::Ok);
    ASSERT_EQ(device->Start(recorder.Sinks()), CameraStatus::Ok);
    ASSERT_EQ(std::system("modprobe evdev"), 0);
    const auto pumped = [](const std::function<bool()>& done) {
        return emu::WaitFor([&] {
            QCoreApplication::processEvents();
            return done();
        });
    };
    ASSERT_TRUE(pumped([&] { return device->HasStillButton(); })) << "the late input node was not taken";
    PluggedCamera().PressButton();
    EXPECT_TRUE(pumped([&] { return recorder.Presses() == 1; }));
    device->Stop();
    backend.WatchDevices(nullptr);
    const auto notices = recorder.Notices();
    EXPECT_NE(std::find(notices.begin(), notices.end(), CameraNotice::ButtonAttached), notices.end());
}

TEST_F(RealUvc, UnplugEndsThePreviewAndReplugResumesIt)
{
    CameraDeviceInfo info;
    ASSERT_TRUE(Find(info));
    CameraStatus status = CameraStatus::Failed;
    auto device = backend.Open(info, &status);
    ASSERT_TRUE(device);
    const CameraFormat format{CameraSubtype::YUY2, kYuyvSizes[1].width, kYuyvSizes[1].height};
    ASSERT_EQ(device->SetFormat(format), CameraStatus::Ok);
    emu::Recorder recorder;
    ASSERT_EQ(device->Start(recorder.Sinks()), CameraStatus::Ok);
    ASSERT_TRUE(emu::WaitFor([&] { return recorder.Frames() >= 2; }, 30));

    const auto unplugged = std::chrono::steady_clock::now();
    PluggedCamera().Unplug();
    ASSERT_TRUE(emu::WaitFor([&] { return !recorder.Ended().empty(); }, 10)) << "the loss was never reported";
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - unplugged);
    std::printf("rig: unplug reported after %lld ms (%zu frames before)\n",
                static_cast<long long>(ms.count()), recorder.Frames());
    EXPECT_EQ(recorder.Ended(), std::vector<CameraStatus>{CameraStatus::Gone});
    device.reset(); // must not hang on the vanished node
    CameraDeviceInfo gone;
    EXPECT_FALSE(Find(gone));

    emu::Recorder again;
    ExpectPreviewResumes(backend, info, format, again);
    ASSERT_FALSE(again.LastPicture().empty());
    const Difference d = Compare(again.LastPicture(), format.width, format.height, YuyvExpected);
    EXPECT_LE(d.max, kYuvTolerance);
}
} // namespace
