#include "AllocationCounter.h"
#include "CaptureTestSupport.h"
#include "FakeCamera.h"
#include "GraphTestEnvironment.h"
#include "capture/FocusSeriesCollector.h"
#include "common/TestSupport.h"
#include "platform/camera/CameraHardwareIds.h"
#include "platform/desktop/MessageBox.h"
#include "platform/files/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

namespace {
const std::vector<CameraCapability> kClass2Caps = {{CameraSubtype::YUY2, 2592, 1944},
                                                   {CameraSubtype::MJPG, 2592, 1944},
                                                   {CameraSubtype::YUY2, 1600, 1200},
                                                   {CameraSubtype::YUY2, 640, 480},
                                                   {CameraSubtype::MJPG, 640, 480}};
const std::vector<CameraCapability> kClass0Caps = {{CameraSubtype::YUY2, 1280, 1024},
                                                   {CameraSubtype::YUY2, 640, 480}};

class CaptureGraphTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        backend->setup.capabilities = kClass2Caps;
        backend->devices = {FakeDevice(SupportedHardwareIds()[0], "1")};
        graph.SetBackend(backend);
    }
    void TearDown() override { graph.TearDown(); }
    bool Start() { return StartGraph(graph, sink); }
    void StoreSize(int width, int height)
    {
        VideoInfoHeader format;
        format.AvgTimePerFrame = 333333;
        format.bmiHeader.biWidth = width;
        format.bmiHeader.biHeight = height;
        ASSERT_TRUE(WriteCapConfig(format));
    }
    void Deliver(std::uint8_t luma)
    {
        const auto bytes = GreyYuyv(state.captureWidth, state.captureHeight, luma);
        backend->opened->Deliver(FrameOf(bytes, state.captureWidth, state.captureHeight));
    }
    // Vertical stripes 8 pixels wide, 128 +- amplitude: sharpness grows with the amplitude.
    void DeliverStripes(int amplitude, double sampleTime)
    {
        const int w = state.captureWidth, h = state.captureHeight;
        std::vector<std::uint8_t> bytes = GreyYuyv(w, h, 128);
        for (std::size_t i = 0; i < bytes.size(); i += 2) {
            bytes[i] = static_cast<std::uint8_t>(128 + ((i / 2 % w) / 8 % 2 ? -amplitude : amplitude));
        }
        CameraFrame frame = FrameOf(bytes, w, h);
        frame.sampleTime = sampleTime;
        backend->opened->Deliver(frame);
    }
    int StoredLuma()
    {
        std::vector<std::uint8_t> pixels;
        BitmapInfoHeader header;
        return state.FrameStore.TakeFrame(pixels, header) ? pixels[0] : -1;
    }

    GraphTestEnvironment environment;
    const testsupport::TempHome& home = environment.home;
    QStringList& messages = environment.messages;
    NotifySink sink;
    std::shared_ptr<FakeBackend> backend = std::make_shared<FakeBackend>();
    CCaptureGraph& graph = environment.graph;
    CaptureState& state = environment.state;
};

TEST(CaptureClass, DecidedFromTheLargestKnownSize)
{
    using S = CameraSubtype;
    EXPECT_EQ(DecideDeviceClass({{S::YUY2, 1280, 1024}, {S::MJPG, 2592, 1944}}), Class2592);
    EXPECT_EQ(DecideDeviceClass({{S::UYVY, 1600, 1200}, {S::YUY2, 640, 480}}), Class1600);
    EXPECT_EQ(DecideDeviceClass({{S::YUY2, 1280, 1024}}), Class1280);
    EXPECT_EQ(DecideDeviceClass({{S::YUY2, 1920, 1080}, {S::YUY2, 640, 480}}), -1);
    EXPECT_EQ(DecideDeviceClass({}), -1);
}

TEST_F(CaptureGraphTest, ClassChoosesSizeFormatAndFrameRate)
{
    backend->setup.capabilities = {{CameraSubtype::YUY2, 1600, 1200}, {CameraSubtype::MJPG, 1600, 1200}};
    state.mjpgByClass[1] = 1;
    ASSERT_TRUE(Start());
    EXPECT_EQ(state.CaptureDeviceClass.load(), Class1600);
    EXPECT_EQ(state.useMjpg.load(), 1);
    const CameraFormat lighter = backend->opened->CurrentFormat();
    EXPECT_TRUE(lighter.subtype == CameraSubtype::MJPG || lighter.width < 2592) << lighter.width;
    EXPECT_EQ(state.captureWidth.load(), lighter.width);
    EXPECT_EQ(state.captureWidth.load(), 1600);
    EXPECT_EQ(state.captureHeight.load(), 1200);
    EXPECT_EQ(state.recordFrameRate.load(), 4);

    // A camera of no known class keeps the class it had and runs at its own size.
    graph.TearDown();
    backend->setup.capabilities = {{CameraSubtype::YUY2, 800, 600}};
    ASSERT_TRUE(Start());
    EXPECT_EQ(state.CaptureDeviceClass.load(), Class1600);
    EXPECT_EQ(state.captureWidth.load(), 800);
}

TEST_F(CaptureGraphTest, DevicePriorityFollowsSupportedIdsAndKeepsTheChoice)
{
    const HardwareIdTable& ids = SupportedHardwareIds();
    backend->devices = {FakeDevice("vid_1234&pid_5678", "a"), FakeDevice(ids[1], "b"),
                        FakeDevice(ids[0], "c"), FakeDevice(ids[0], "d")};
    graph.CreateDeviceEnumerator();
    ASSERT_EQ(graph.FindDevices(), 1);
    EXPECT_EQ(graph.deviceCount(), 4);
    EXPECT_EQ(graph.currentDevice(), 2);
    EXPECT_EQ(graph.hardwareId(), ids[0]);
    EXPECT_EQ(graph.DeviceTable()[0].hardwareIdIndex, -1);
    EXPECT_EQ(graph.DeviceTable()[1].hardwareIdIndex, 1);

    // The user picks another row; re-detection in a new order keeps it.
    backend->opened = nullptr;
    graph.SelectDevice(1);
    EXPECT_EQ(graph.currentDevice(), 1);
    backend->devices = {FakeDevice(ids[0], "d"), FakeDevice(ids[1], "b"), FakeDevice(ids[0], "c")};
    ASSERT_EQ(graph.FindDevices(), 1);
    EXPECT_EQ(graph.currentDevice(), 1);
    EXPECT_EQ(graph.DeviceTable()[1].moniker->key, "b");
    int selected = 0;
    for (const CaptureDeviceEntry& row : graph.DeviceTable()) {
        selected += row.selected;
    }
    EXPECT_EQ(selected, 1);

    // Once it is gone, the best supported device is chosen again.
    backend->devices = {FakeDevice(ids[2], "e"), FakeDevice(ids[0], "c")};
    ASSERT_EQ(graph.FindDevices(), 1);
    EXPECT_EQ(graph.currentDevice(), 1);
}

TEST_F(CaptureGraphTest, UnsupportedDevicesAreListedButNeverChosen)
{
    backend->devices.clear();
    for (int i = 0; i < 30; ++i) {
        backend->devices.push_back(
            FakeDevice("vid_0bda&pid_58" + QString::number(10 + i), QString::number(i)));
    }
    graph.CreateDeviceEnumerator();
    EXPECT_EQ(graph.FindDevices(), 0);
    EXPECT_EQ(graph.deviceCount(), kCaptureDeviceRows);
    EXPECT_EQ(graph.currentDevice(), -1);
    EXPECT_TRUE(graph.hardwareId().isEmpty());
    EXPECT_EQ(graph.DeviceTable()[24].hardwareIdIndex, -1);
    EXPECT_EQ(graph.InitCaptureFilters(), 0);
    std::shared_ptr<VideoProcAmp> procAmp;
    EXPECT_EQ(graph.GetVideoProcAmp(&procAmp), 0);
    EXPECT_EQ(procAmp, nullptr);

    CaptureSession other(nullptr);
    CCaptureGraph& noEnumerator = other.Graph();
    EXPECT_EQ(noEnumerator.FindDevices(), 0);
}

TEST_F(CaptureGraphTest, DevicePresenceComparesUsbHardwareIds)
{
    ASSERT_TRUE(Start());
    backend->presentIds = {"USB\\" + SupportedHardwareIds()[0].toUpper()};
    EXPECT_EQ(graph.IsDevicePresent(), 1);
    backend->presentIds.clear();
    EXPECT_EQ(graph.IsDevicePresent(), 0);
    // The id stays, so the same device counts as present when it comes back.
    EXPECT_EQ(graph.hardwareId(), SupportedHardwareIds()[0]);
    backend->presentIds = {"USB\\" + SupportedHardwareIds()[0]};
    EXPECT_EQ(graph.IsDevicePresent(), 1);
}

TEST_F(CaptureGraphTest, RedetectionWithoutDevicesKeepsTheChosenDevice)
{
    const HardwareIdTable& ids = SupportedHardwareIds();
    backend->devices = {FakeDevice(ids[0], "a"), FakeDevice(ids[1], "b")};
    ASSERT_TRUE(Start());
    ASSERT_EQ(graph.SelectDevice(1), 1);
    ASSERT_EQ(graph.hardwareId(), ids[1]);

    // Unplugged: the re-detection tears down and finds nothing.
    backend->devices.clear();
    backend->presentIds.clear();
    EXPECT_EQ(graph.IsDevicePresent(), 0);
    graph.TearDown();
    EXPECT_EQ(graph.FindDevices(), 0);
    EXPECT_EQ(graph.currentDevice(), 1);
    EXPECT_EQ(graph.hardwareId(), ids[1]);

    // Back, in another order: the user's device again, not the first supported one.
    backend->devices = {FakeDevice(ids[1], "b"), FakeDevice(ids[0], "a")};
    ASSERT_EQ(graph.FindDevices(), 1);
    EXPECT_EQ(graph.DeviceTable()[graph.currentDevice()].moniker->key, "b");
    EXPECT_EQ(graph.hardwareId(), ids[1]);
}

TEST_F(CaptureGraphTest, CameraThatRefusesToStartIsReportedWithItsCause)
{
    StoreSize(640, 480);
    backend->setup.startResults->assign({CameraStatus::Busy});
    graph.SetNotifyWindow(&sink);
    graph.CreateDeviceEnumerator();
    ASSERT_TRUE(graph.FindDevices() && graph.InitCaptureFilters() && graph.BuildGraph());
    EXPECT_EQ(graph.StartPreview(), 0);
    EXPECT_FALSE(graph.running());
    EXPECT_EQ(graph.startFailure(), CameraStatus::Busy);
    Deliver(100);
    EXPECT_EQ(state.frameShown.load(), 0);

    // The other program let go: the next start runs.
    EXPECT_EQ(graph.StartPreview(), 1);
    EXPECT_TRUE(graph.running());
    EXPECT_EQ(graph.startFailure(), CameraStatus::Ok);
    Deliver(100);
    EXPECT_EQ(state.frameShown.load(), 1);

    // A size the bus cannot carry in any mode: the change reports it and the preview stays stopped.
    backend->setup.startResults->assign(8, CameraStatus::Bandwidth);
    EXPECT_NE(graph.SetCaptureSize(2592, 1944), 0);
    EXPECT_FALSE(graph.running());
    EXPECT_EQ(graph.startFailure(), CameraStatus::Bandwidth);
    // Room for a lighter mode only: it runs.
    backend->setup.startResults->assign(1, CameraStatus::Bandwidth);
    EXPECT_EQ(graph.RestartPreview(), 1);
    const CameraFormat lighter = backend->opened->CurrentFormat();
    EXPECT_TRUE(lighter.subtype == CameraSubtype::MJPG || lighter.width < 2592) << lighter.width;
    EXPECT_EQ(state.captureWidth.load(), lighter.width);

    // No permission to open the device at all.
    graph.TearDown();
    EXPECT_EQ(graph.startFailure(), CameraStatus::Ok);
    backend->openStatus = CameraStatus::Denied;
    EXPECT_EQ(graph.InitCaptureFilters(), 0);
    EXPECT_EQ(graph.startFailure(), CameraStatus::Denied);
}

TEST_F(CaptureGraphTest, CameraBusyDeniedOrGoneWhenTheFormatIsSetFailsTheBuildWithItsCause)
{
    StoreSize(640, 480);
    graph.SetNotifyWindow(&sink);
    graph.CreateDeviceEnumerator();
    for (CameraStatus cause : {CameraStatus::Busy, CameraStatus::Denied, CameraStatus::Gone}) {
        backend->setup.formatStatus = cause;
        ASSERT_TRUE(graph.FindDevices() && graph.InitCaptureFilters());
        EXPECT_EQ(graph.BuildGraph(), 0) << CameraStatusName(cause);
        EXPECT_FALSE(graph.built());
        EXPECT_EQ(graph.startFailure(), cause);
        graph.TearDown();
    }
    // A mere refusal still falls back to what the camera has.
    backend->setup.formatStatus = CameraStatus::Refused;
    ASSERT_TRUE(Start());
}

TEST_F(CaptureGraphTest, StoredSizeIsUsedAndRefusedSizesFallBackToTheClassDefault)
{
    StoreSize(640, 480);
    ASSERT_TRUE(Start());
    EXPECT_EQ(backend->opened->CurrentFormat().width, 640);
    EXPECT_EQ(state.recordFrameRate.load(), 11);

    // The camera refuses 1600 x 1200 as MJPG: stored, then the default at the rebuild.
    EXPECT_NE(graph.SetCaptureSize(1600, 1200), 0);
    VideoInfoHeader stored;
    ASSERT_TRUE(ReadCapConfig(stored));
    EXPECT_EQ(stored.bmiHeader.biWidth, 1600);
    EXPECT_EQ(QFileInfo(CapConfigPath()).size(), 88);
    EXPECT_TRUE(graph.running());
    EXPECT_EQ(state.captureWidth.load(), 2592);
    EXPECT_EQ(backend->opened->CurrentFormat().width, 2592);

    EXPECT_EQ(graph.SetCaptureSize(640, 480), 0);
    EXPECT_EQ(backend->opened->CurrentFormat().width, 640);
    EXPECT_EQ(state.captureHeight.load(), 480);
}

TEST_F(CaptureGraphTest, SizeThatCannotBeStoredIsReported)
{
    ASSERT_TRUE(Start());
    // The rebuild reads the size from CapConfig.dat; here a folder stands in its way.
    ASSERT_TRUE(QDir().mkpath(CapConfigPath()));
    EXPECT_NE(graph.SetCaptureSize(640, 480), 0);
    EXPECT_TRUE(graph.running());
}

TEST_F(CaptureGraphTest, AbsurdStoredRecordMeansTheClassDefault)
{
    // A usable size with a negative frame time: the whole record is distrusted.
    VideoInfoHeader hostile;
    hostile.AvgTimePerFrame = -1;
    hostile.bmiHeader.biWidth = 640;
    hostile.bmiHeader.biHeight = 480;
    ASSERT_TRUE(testsupport::WriteFile(CapConfigPath(), SerializeVideoInfoHeader(hostile)));
    ASSERT_TRUE(Start());
    EXPECT_EQ(state.captureWidth.load(), 2592);
    EXPECT_EQ(backend->opened->CurrentFormat().height, 1944);
}

TEST_F(CaptureGraphTest, CameraWithoutButtonStillGetsItsLiveBranch)
{
    backend->setup.hasButton = false;
    StoreSize(640, 480);
    state.snapshotEnabled = 1;
    ASSERT_TRUE(Start());
    EXPECT_TRUE(messages.isEmpty()) << "the button's device may come a moment after the camera";
    ASSERT_TRUE(WaitFor([&] { return !messages.isEmpty(); }));
    EXPECT_EQ(messages, QStringList{"Init 'PIN_CATEGORY_STILL' fail"});
    EXPECT_FALSE(graph.hasStillPin());
    Deliver(120);
    EXPECT_EQ(state.frameShown.load(), 1);
    EXPECT_EQ(state.FrameStore.width.load(), 640);
    backend->opened->Press();
    EXPECT_EQ(state.StillRequest.pending.load(), 0);

    // Retries of a camera that does not start repeat the box only after it ran.
    graph.TearDown();
    backend->setup.startResults->assign({CameraStatus::Busy, CameraStatus::Busy});
    EXPECT_FALSE(Start());
    graph.TearDown();
    EXPECT_FALSE(Start());
    graph.TearDown();
    EXPECT_TRUE(Start());
    ASSERT_TRUE(WaitFor([&] { return messages.size() == 2; }));
}

TEST_F(CaptureGraphTest, StillRequestIsAnsweredByTheNextFrameWhichIsNotStored)
{
    StoreSize(640, 480);
    ASSERT_TRUE(Start());
    Deliver(60);
    const int first = state.FrameStore.pixels[0];
    state.StillRequest.Request(StillOriginUser);
    Deliver(200);
    EXPECT_EQ(state.StillRequest.pending.load(), 0);
    QCoreApplication::sendPostedEvents(&sink);
    EXPECT_EQ(sink.stills, std::vector<int>{0});
    // Frames arriving before the notice is handled leave the stored frame alone.
    Deliver(220);
    EXPECT_EQ(StoredLuma(), first);
    Deliver(200);
    EXPECT_GT(StoredLuma(), first + 100);
}

// A series collected while a still notice waits must not let a newer frame into the
// store: the still is the frame that was current when it was asked for.
TEST_F(CaptureGraphTest, FocusSeriesLeavesTheFrameHeldForAStill)
{
    StoreSize(640, 480);
    ASSERT_TRUE(Start());
    FocusSeriesCollector collector(environment.session);
    QSignalSpy progress(&collector, &FocusSeriesCollector::progress);
    ASSERT_TRUE(collector.Start(kFocusStepsDefault));
    DeliverStripes(40, 1.0);
    const int asked = StoredLuma();
    state.StillRequest.Request(StillOriginUser);
    DeliverStripes(90, 2.0);          // answers the request; the store keeps the frame before it
    ASSERT_TRUE(progress.wait(5000)); // the series has taken the held frame
    DeliverStripes(90, 3.0);
    EXPECT_EQ(StoredLuma(), asked);
    collector.Cancel();
}

// Without a focus control the user turns the wheel: a frame is kept when its sharpness
// differs from every kept one, up to 30, and the same command stops the series early.
TEST_F(CaptureGraphTest, HandTurnedFocusSeriesKeepsDistinctFramesUpToThirty)
{
    StoreSize(640, 480);
    ASSERT_TRUE(Start());
    FocusSeriesCollector collector(environment.session);
    QSignalSpy progress(&collector, &FocusSeriesCollector::progress);
    QSignalSpy collected(&collector, &FocusSeriesCollector::collected);
    ASSERT_TRUE(collector.Start(kFocusStepsDefault));
    EXPECT_FALSE(collector.Sweeps());
    EXPECT_EQ(progress.takeFirst(), (QList<QVariant>{0, 0}));

    double time = 1.0;
    const auto keep = [&](int amplitude) {
        DeliverStripes(amplitude, time++);
        return progress.wait(5000);
    };
    int amplitude = 10;
    ASSERT_TRUE(keep(amplitude));
    progress.clear();
    DeliverStripes(amplitude, time++); // as sharp as the kept one
    QTest::qWait(400);
    EXPECT_TRUE(progress.isEmpty());
    EXPECT_TRUE(collector.IsCollecting());

    for (int kept = 2; kept <= kManualFramesMax; ++kept) {
        amplitude = static_cast<int>(std::ceil(amplitude * 1.05)); // at least 10 % more gradient energy
        ASSERT_TRUE(keep(amplitude)) << kept;
        EXPECT_EQ(progress.takeFirst(), (QList<QVariant>{kept, 0}));
    }
    EXPECT_EQ(collected.count(), 1);
    EXPECT_FALSE(collector.IsCollecting());
    EXPECT_EQ(collector.TakeFrames().size(), std::size_t(kManualFramesMax));

    // Stopped by hand after two frames; a cancelled series keeps nothing.
    ASSERT_TRUE(collector.Start(kFocusStepsDefault));
    ASSERT_TRUE(keep(30));
    ASSERT_TRUE(keep(60));
    collector.Finish();
    EXPECT_EQ(collected.count(), 2);
    EXPECT_EQ(collector.TakeFrames().size(), 2u);
    ASSERT_TRUE(collector.Start(kFocusStepsDefault));
    ASSERT_TRUE(keep(30));
    collector.Cancel();
    EXPECT_FALSE(collector.IsCollecting());
    EXPECT_TRUE(collector.TakeFrames().empty());
    EXPECT_EQ(collected.count(), 2);
}

// A focus motor (0 .. 90) on a camera with a frame always in flight: each frame shows
// the focus as it was when the frame before it came, and the one in flight arrives
// just as the motor is told to move, after the collector last looked at the store.
class LaggingFocus : public VideoProcAmp {
public:
    int focus = 45;
    std::function<void()> finishFrame; // delivers the frame in flight, starts the next
    int GetRange(int property, int* min, int* max, int* step, int* defaultValue, int* flags) override
    {
        *min = 0, *max = 90, *step = 1, *defaultValue = 45, *flags = VideoProcAmp_Flags_Manual;
        return property == CameraControl_Focus ? 0 : kProcAmpNotFound;
    }
    int Get(int property, int* value, int* flags) override
    {
        *value = focus, *flags = VideoProcAmp_Flags_Manual;
        return property == CameraControl_Focus ? 0 : kProcAmpNotFound;
    }
    int Set(int property, int value, int /*flags*/) override
    {
        if (property != CameraControl_Focus) {
            return kProcAmpNotFound;
        }
        if (finishFrame) { // the frame in flight arrives as the motor starts
            finishFrame();
        }
        focus = value;
        return 0;
    }
};

// Every frame a sweep keeps was taken at its step's focus, even when frames lag the
// motor and come slower than the settling pause.
TEST_F(CaptureGraphTest, FocusSweepKeepsFramesTakenAtEachStepsFocus)
{
    StoreSize(640, 480);
    auto lens = std::make_shared<LaggingFocus>();
    backend->setup.procAmp = lens;
    ASSERT_TRUE(Start());
    int shown = lens->focus; // the focus of the frame in flight
    double time = 1.0;
    lens->finishFrame = [&] {
        DeliverStripes(10 + shown, time++); // stripes as strong as the focus shown
        shown = lens->focus;
    };
    FocusSeriesCollector collector(environment.session);
    QSignalSpy collected(&collector, &FocusSeriesCollector::collected);
    ASSERT_TRUE(collector.Start(3));
    ASSERT_TRUE(collector.Sweeps());
    for (int frame = 0; frame < 40 && collected.isEmpty(); ++frame) {
        QTest::qWait(450);
        lens->finishFrame();
    }
    ASSERT_EQ(collected.count(), 1);
    EXPECT_EQ(lens->focus, 45);
    const std::vector<QImage> frames = collector.TakeFrames();
    ASSERT_EQ(frames.size(), 3u);
    // Focus 0, 45, 90: stripes of 128 +- 10, 55, 100 in video-range luma (a stale frame
    // shows the focus before its step).
    const auto stripes = [](const QImage& frame) {
        return qGray(frame.pixel(0, 0)) - qGray(frame.pixel(8, 0));
    };
    EXPECT_NEAR(stripes(frames[0]), 2 * 10 * 255 / 219, 4);
    EXPECT_NEAR(stripes(frames[1]), 2 * 55 * 255 / 219, 4);
    EXPECT_NEAR(stripes(frames[2]), 2 * 100 * 255 / 219, 4);
}

TEST_F(CaptureGraphTest, SessionSavesRequestedStillsAndReportsThemBySignal)
{
    CaptureSession& session = environment.session;
    QTemporaryDir pictures;
    QString folder = pictures.path();
    session.SetStillTarget([&] { return StillTarget{folder, 0, QString(40, '7')}; });
    QStringList saved, failed;
    std::vector<int> origins;
    QObject::connect(&session, &CaptureSession::stillSaved, [&](const QString& path, int origin) {
        saved << path;
        origins.push_back(origin);
    });
    QObject::connect(&session, &CaptureSession::stillFailed, [&](const QString& text) { failed << text; });
    StoreSize(640, 480);
    graph.SetBackend(backend);
    graph.CreateDeviceEnumerator();
    ASSERT_TRUE(graph.FindDevices() && graph.InitCaptureFilters() && graph.BuildGraph() &&
                graph.StartPreview());
    const int starts = *backend->setup.starts;

    // The user's still: the next frame answers, the session saves it and says where.
    Deliver(60);
    session.RequestStill();
    Deliver(200);
    ASSERT_TRUE(WaitFor([&] { return saved.size() == 1; }));
    EXPECT_TRUE(saved[0].contains("_" + QString(31, '7') + "X_N0001.jpg")) << saved[0].toStdString();
    EXPECT_TRUE(QFile::exists(saved[0]));
    EXPECT_EQ(*backend->setup.starts, starts) << "a user's still leaves the stream alone";

    // The camera button's still restarts the stream for its still grabber.
    session.RequestStill(StillOriginCameraButton);
    Deliver(200);
    ASSERT_TRUE(WaitFor([&] { return saved.size() == 2; }));
    EXPECT_EQ(origins, (std::vector<int>{StillOriginUser, StillOriginCameraButton}));
    EXPECT_EQ(*backend->setup.starts, starts + 1);

    // A folder that cannot take the file is reported with the text the window shows.
    folder = pictures.filePath("gone");
    Deliver(60);
    session.RequestStill();
    Deliver(200);
    ASSERT_TRUE(WaitFor([&] { return failed.size() == 1; }));
    EXPECT_EQ(failed, QStringList{"Save fail"});
    EXPECT_EQ(saved.size(), 2);
    EXPECT_TRUE(messages.isEmpty()) << "capture shows no box itself";
}

TEST_F(CaptureGraphTest, CameraButtonGivesOneNoticePerPaintedFrame)
{
    backend->setup.capabilities = kClass0Caps;
    StoreSize(640, 480);
    ASSERT_TRUE(Start());
    Deliver(100);
    backend->opened->Press();
    EXPECT_EQ(state.StillRequest.pending.load(), 0) << "the snapshot switch is off";

    graph.SetSnapshot(1);
    EXPECT_TRUE(graph.running());
    backend->opened->Press();
    backend->opened->Press(); // no frame painted in between: ignored
    Deliver(100);
    backend->opened->Press();
    Deliver(100);
    QCoreApplication::sendPostedEvents(&sink);
    EXPECT_EQ(sink.stills, (std::vector<int>{1, 1}));
}

TEST_F(CaptureGraphTest, LargeSensorButtonTakesOnePicturePerRun)
{
    StoreSize(640, 480);
    state.snapshotEnabled = 1;
    ASSERT_TRUE(Start());
    for (int i = 0; i < 2; ++i) {
        Deliver(100);
        backend->opened->Press();
        Deliver(100);
    }
    graph.RestartPreview();
    Deliver(100);
    backend->opened->Press();
    Deliver(100);
    QCoreApplication::sendPostedEvents(&sink);
    EXPECT_EQ(sink.stills, (std::vector<int>{1, 1}));
}

TEST_F(CaptureGraphTest, LargeSensorButtonIsArmedAgainWhenItsRequestIsAnsweredOrReplaced)
{
    StoreSize(640, 480);
    state.snapshotEnabled = 1;
    ASSERT_TRUE(Start());
    auto pressAndAnswer = [&] {
        Deliver(100);
        backend->opened->Press();
        Deliver(100);
        QCoreApplication::sendPostedEvents(&sink); // handled without a restart
    };
    // The saving failed, so the window did not restart the preview.
    pressAndAnswer();
    pressAndAnswer();
    EXPECT_EQ(sink.stills, (std::vector<int>{1, 1}));

    // F2 replaces the button's request before the next frame.
    Deliver(100);
    backend->opened->Press();
    state.StillRequest.Request(StillOriginUser);
    Deliver(100);
    QCoreApplication::sendPostedEvents(&sink);
    pressAndAnswer();
    EXPECT_EQ(sink.stills, (std::vector<int>{1, 1, 0, 1}));
}

TEST_F(CaptureGraphTest, LiveCallbackRunsEffectsStoreRecorderThenPainting)
{
    StoreSize(640, 480);
    std::vector<std::string> calls;
    int recordedFirstByte = -1;
    LiveFrameHooks hooks;
    hooks.applyEffects = [&](std::uint8_t* pixels, int, int) {
        calls.push_back("effects");
        pixels[0] = 7;
    };
    hooks.recordFrame = [&](const std::uint8_t* pixels, std::size_t length, int w, int h) {
        calls.push_back("record");
        recordedFirstByte = pixels[0];
        EXPECT_EQ(length, std::size_t(w) * h * 3);
    };
    hooks.paintMeasurements = [&](QPainter&, double sx, double sy) {
        calls.push_back("measure");
        EXPECT_EQ(sx, 1.0);
        EXPECT_EQ(sy, 1.0);
    };
    hooks.paintOverlays = [&](QPainter&, const QSize& size) {
        calls.push_back("overlays");
        EXPECT_EQ(size, QSize(640, 480));
    };
    graph.SetLiveFrameHooks(hooks);
    ASSERT_TRUE(Start());
    Deliver(150);
    EXPECT_EQ(calls, (std::vector<std::string>{"effects", "record", "measure", "overlays"}));
    EXPECT_EQ(recordedFirstByte, 7);
    EXPECT_EQ(StoredLuma(), 7);
    EXPECT_EQ(state.frameBusy.load(), 0);
}

TEST_F(CaptureGraphTest, LiveFramesAfterTheFirstAllocateNothing)
{
    StoreSize(640, 480);
    ASSERT_TRUE(Start());
    const auto bytes = GreyYuyv(640, 480, 90);
    const CameraFrame frame = FrameOf(bytes, 640, 480);
    backend->opened->Deliver(frame);
    StartCountingAllocations();
    for (int i = 0; i < 5; ++i) {
        backend->opened->Deliver(frame);
    }
    const long allocations = StopCountingAllocations();
    if (allocations == kAllocationsNotCounted) {
        GTEST_SKIP() << "allocations are not counted under ThreadSanitizer";
    }
    EXPECT_EQ(allocations, 0);
    EXPECT_EQ(state.FrameStore.width.load(), 640);
}

TEST_F(CaptureGraphTest, TallFramesAreStretchedPastTheBottom)
{
    backend->setup.capabilities = kClass0Caps;
    ASSERT_TRUE(Start());
    // Bottom-up BGR: the first memory rows are the picture's bottom rows; paint them red.
    auto paint = [&](int w, int h, int redRows) {
        std::vector<std::uint8_t> frame(std::size_t(w) * h * 3, 0);
        for (std::size_t i = 0; i < frame.size(); i += 3) {
            frame[i] = 255; // blue
        }
        for (std::size_t i = 0; i < std::size_t(w) * redRows * 3; i += 3) {
            frame[i] = 0, frame[i + 2] = 255;
        }
        EXPECT_EQ(graph.PaintFrame(frame.data(), w, h), 1);
        return graph.PreviewPicture();
    };
    const QImage tall = paint(1280, 1024, 60);
    for (int x = 0; x < tall.width(); x += 7) {
        ASSERT_EQ(tall.pixelColor(x, tall.height() - 1), QColor(Qt::blue));
    }
    const QImage normal = paint(640, 480, 2);
    EXPECT_EQ(normal.pixelColor(320, 479), QColor(Qt::red));
    EXPECT_EQ(normal.pixelColor(320, 477), QColor(Qt::blue));
    EXPECT_EQ(state.frameShown.load(), 1);
}

TEST_F(CaptureGraphTest, CorruptJpegFramesAreDropped)
{
    StoreSize(640, 480);
    state.mjpgByClass[2] = 1;
    ASSERT_TRUE(Start());
    ASSERT_EQ(backend->opened->CurrentFormat().subtype, CameraSubtype::MJPG);
    const std::vector<std::uint8_t> junk = {0xff, 0xd8, 0xff, 0xe0, 0x00, 0x10, 'J',
                                            'F',  'I',  'F',  0,    1,    2,    3};
    backend->opened->Deliver(FrameOf(junk, 640, 480, CameraSubtype::MJPG));
    const std::vector<std::uint8_t> empty;
    backend->opened->Deliver(FrameOf(empty, 640, 480, CameraSubtype::MJPG));
    EXPECT_EQ(state.frameShown.load(), 0);
    EXPECT_EQ(state.FrameStore.width.load(), 0);
}

TEST_F(CaptureGraphTest, StatusMessageAndFullScreenHintArePainted)
{
    graph.SetStatusMessage("Please connect the microscope");
    QImage shot = graph.Preview()->grab().toImage();
    QRect green;
    for (int y = 0; y < shot.height(); ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (shot.pixelColor(x, y) == QColor(0, 255, 0)) {
                green |= QRect(x, y, 1, 1);
            }
        }
    }
    ASSERT_FALSE(green.isNull());
    EXPECT_NEAR(green.center().x(), 320, 6);
    EXPECT_NEAR(green.center().y(), 240, 12);
    // The status font is 10 pixels a character: 29 characters take about 290.
    EXPECT_NEAR(green.width(), 290, 20);

    graph.SetStatusMessage({});
    graph.SetFullScreenHint("ESC Restore");
    graph.Preview()->resize(800, 600);
    graph.EnterFullScreen();
    shot = graph.Preview()->grab().toImage();
    QRect red;
    for (int y = 0; y < 60; ++y) {
        for (int x = 0; x < shot.width(); ++x) {
            if (shot.pixelColor(x, y) == QColor(255, 0, 0)) {
                red |= QRect(x, y, 1, 1);
            }
        }
    }
    ASSERT_FALSE(red.isNull());
    EXPECT_LE(red.right(), 800 - 4);
    EXPECT_GT(red.left(), 500);
    EXPECT_GE(red.top(), 2);
    graph.LeaveFullScreen();
    EXPECT_EQ(graph.PreviewPicture().pixelColor(10, 10), QColor(Qt::black));
}
} // namespace
