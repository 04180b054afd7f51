// The video settings dialog over the capture graph and the virtual microscope.
#include "GraphTestEnvironment.h"
#include "capture/CaptureResolutions.h"
#include "capture/PicturePropertyTable.h"
#include "capture/dialogs/CVideoSettingDlg.h"
#include "capture/dialogs/ExposureControls.h"
#include "capture/dialogs/FocusRow.h"
#include "capture/dialogs/VideoSettingIds.h"
#include "common/TestSupport.h"
#include "platform/camera/CameraHardwareIds.h"
#include "platform/camera/VirtualMicroscope.h"
#include "platform/desktop/MessageBox.h"
#include "platform/files/ProgramFolder.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <gtest/gtest.h>
#include <tuple>

namespace {

// The camera's picture properties, recorded; optionally with a coarser step, which
// the camera rounds every value to (as drivers do).
class RecordingProcAmp : public VideoProcAmp {
public:
    VideoProcAmp* inner = nullptr;
    int step = 0; // 0: the camera's own
    std::vector<std::tuple<int, int, int>> sets;

    int GetRange(int property, int* min, int* max, int* s, int* def, int* flags) override
    {
        const int result = inner->GetRange(property, min, max, s, def, flags);
        if (result == 0 && step > 0) {
            *s = step;
        }
        return result;
    }
    int Get(int property, int* value, int* flags) override { return inner->Get(property, value, flags); }
    int Set(int property, int value, int flags) override
    {
        sets.emplace_back(property, value, flags);
        if (step > 0) {
            value -= value % step;
        }
        return inner->Set(property, value, flags);
    }
};

class RecordingCamera : public CameraDevice {
public:
    RecordingCamera(std::unique_ptr<CameraDevice> camera, RecordingProcAmp& amp, int& starts)
        : m_camera(std::move(camera)), m_amp(amp), m_starts(starts)
    {
        m_amp.inner = m_camera->ProcAmp();
    }
    std::vector<CameraCapability> Capabilities() const override { return m_camera->Capabilities(); }
    bool HasStillButton() const override { return m_camera->HasStillButton(); }
    CameraFormat CurrentFormat() const override { return m_camera->CurrentFormat(); }
    CameraStatus SetFormat(const CameraFormat& format) override { return m_camera->SetFormat(format); }
    CameraStatus Start(CameraStreamSinks sinks) override
    {
        ++m_starts;
        return m_camera->Start(std::move(sinks));
    }
    void Stop() override { m_camera->Stop(); }
    bool IsStreaming() const override { return m_camera->IsStreaming(); }
    VideoProcAmp* ProcAmp() override { return &m_amp; }

private:
    std::unique_ptr<CameraDevice> m_camera;
    RecordingProcAmp& m_amp;
    int& m_starts;
};

class RecordingBackend : public CameraBackend {
public:
    explicit RecordingBackend(std::shared_ptr<VirtualMicroscope> microscope)
        : m_microscope(std::move(microscope))
    {
    }
    RecordingProcAmp amp;
    int starts = 0;

    std::vector<CameraDeviceInfo> EnumerateDevices() override { return m_microscope->EnumerateDevices(); }
    std::unique_ptr<CameraDevice> Open(const CameraDeviceInfo& device, CameraStatus* status) override
    {
        std::unique_ptr<CameraDevice> camera = m_microscope->Open(device, status);
        return camera ? std::make_unique<RecordingCamera>(std::move(camera), amp, starts) : nullptr;
    }
    bool IsUsbHardwareIdPresent(const QString& id) override
    {
        return m_microscope->IsUsbHardwareIdPresent(id);
    }
    void WatchDevices(DeviceChangeHandler handler) override
    {
        m_microscope->WatchDevices(std::move(handler));
    }

private:
    std::shared_ptr<VirtualMicroscope> m_microscope;
};

class VideoSettingTest : public ::testing::Test {
protected:
    void TearDown() override { graph.TearDown(); }
    bool Start(int deviceClass, int width, int height, VirtualSlideKind slide = VirtualSlideKind::Ruler)
    {
        microscope = std::make_shared<VirtualMicroscope>(deviceClass, 15);
        microscope->SetSlide(slide);
        backend = std::make_shared<RecordingBackend>(microscope);
        VideoInfoHeader format;
        format.bmiHeader.biWidth = width;
        format.bmiHeader.biHeight = height;
        WriteCapConfig(format);
        graph.SetBackend(backend);
        graph.SetNotifyWindow(&sink);
        graph.CreateDeviceEnumerator();
        return graph.FindDevices() && graph.InitCaptureFilters() && graph.BuildGraph() &&
               graph.StartPreview();
    }
    bool WaitForFrames(long count)
    {
        const long target = microscope->framesDelivered() + count;
        return WaitFor([&] { return microscope->framesDelivered() >= target; });
    }
    int CameraValue(int property)
    {
        int value = 0, flags = 0;
        backend->amp.Get(property, &value, &flags);
        return value;
    }

    GraphTestEnvironment environment;
    NotifySink sink;
    std::shared_ptr<VirtualMicroscope> microscope;
    std::shared_ptr<RecordingBackend> backend;
    CaptureSession& session = environment.session;
    CCaptureGraph& graph = environment.graph;
    CaptureState& state = environment.state;
};

double MeanGrey(const QImage& image)
{
    double sum = 0;
    int count = 0;
    for (int y = 0; y < image.height(); y += 8) {
        for (int x = 0; x < image.width(); x += 8) {
            sum += qGray(image.pixel(x, y));
            ++count;
        }
    }
    return count ? sum / count : 0;
}

TEST_F(VideoSettingTest, FillsFromTheCameraAndSlidersReachTheLivePicture)
{
    ASSERT_TRUE(Start(Class1280, 640, 480));
    ASSERT_TRUE(WaitForFrames(2));
    CVideoSettingDlg dialog(session);
    EXPECT_EQ(dialog.windowTitle(), "Video Setting");
    EXPECT_EQ(CVideoSettingDlg::OpenDialog(), &dialog);
    EXPECT_EQ(dialog.DeviceCombo()->count(), 1);
    EXPECT_EQ(dialog.DeviceCombo()->currentIndex(), 0);
    EXPECT_EQ(dialog.FormatCombo()->currentText(), "YUY2");
    EXPECT_EQ(dialog.ResolutionCombo()->currentText(), "640*480");
    EXPECT_FALSE(dialog.Focus()->IsShown()) << "the ruler slide's camera has no focus control";

    // This camera has no exposure controls: their rows stay hidden.
    EXPECT_TRUE(dialog.Exposure().ModeCombo()->isHidden());
    EXPECT_TRUE(dialog.Exposure().TimeSlider()->isHidden());

    const PicturePropertyRows& table = PicturePropertyTable();
    const int order[] = {VideoProcAmp_Brightness, VideoProcAmp_Contrast, VideoProcAmp_Saturation,
                         VideoProcAmp_Sharpness,  VideoProcAmp_Gamma,    VideoProcAmp_Hue};
    for (int row = 0; row < kPicturePropertyRows; ++row) {
        const PictureProperty& p = table[size_t(row)];
        EXPECT_EQ(p.property, order[row]);
        EXPECT_TRUE(dialog.Slider(row)->isEnabled()) << row;
        EXPECT_EQ(dialog.Slider(row)->objectName(), QString::number(p.sliderId));
        EXPECT_EQ(dialog.Slider(row)->maximum(), p.maximum);
        EXPECT_EQ(dialog.ValueEdit(row)->text(), QString::asprintf("%3d", p.value));
        EXPECT_EQ(p.label, QString::fromLatin1(p.key.def));
        // Each property reaches the camera as soon as its slider is let go.
        const int wanted = p.value == p.maximum ? p.minimum : p.maximum;
        dialog.Slider(row)->setValue(wanted);
        dialog.OnSliderNotice(row);
        EXPECT_EQ(CameraValue(p.property), wanted) << row;
        EXPECT_EQ(dialog.ValueEdit(row)->text(), QString::asprintf("%3d", wanted));
    }

    // The live picture follows at once: darkest and brightest brightness.
    dialog.Slider(0)->setValue(table[0].minimum);
    dialog.OnSliderNotice(0);
    ASSERT_TRUE(WaitForFrames(2));
    const double dark = MeanGrey(graph.PreviewPicture());
    dialog.Slider(0)->setValue(table[0].maximum);
    dialog.OnSliderNotice(0);
    ASSERT_TRUE(WaitForFrames(2));
    EXPECT_GT(MeanGrey(graph.PreviewPicture()), dark + 20);
}

TEST_F(VideoSettingTest, FocusSliderOnlyForACameraWithFocusAndItFocuses)
{
    ASSERT_TRUE(Start(Class1280, 640, 480, VirtualSlideKind::Depth));
    CVideoSettingDlg dialog(session);
    ASSERT_TRUE(dialog.Focus()->IsShown());
    EXPECT_EQ(dialog.Focus()->Slider()->minimum(), kFocusMin);
    EXPECT_EQ(dialog.Focus()->Slider()->maximum(), kFocusMax);
    EXPECT_EQ(dialog.Focus()->Slider()->value(), kFocusDefault);
    dialog.Focus()->Slider()->setValue(kFocusMax - 5);
    EXPECT_EQ(CameraValue(CameraControl_Focus), kFocusMax - 5);
}

TEST_F(VideoSettingTest, StepBarsMoveByTheControlsStepAndStopAtTheEnds)
{
    ASSERT_TRUE(Start(Class1280, 640, 480));
    backend->amp.step = 10;
    CVideoSettingDlg dialog(session);
    const PictureProperty& contrast = PicturePropertyTable()[1];
    dialog.Slider(1)->setValue(30);
    dialog.OnSliderNotice(1);
    const int start = 30;
    dialog.OnStepBar(IDC_STEP_BAR_FIRST + 1, true);
    EXPECT_EQ(dialog.Slider(1)->value(), start + 10);
    EXPECT_EQ(CameraValue(VideoProcAmp_Contrast), start + 10);
    dialog.OnStepBar(IDC_STEP_BAR_FIRST + 1, false);
    EXPECT_EQ(CameraValue(VideoProcAmp_Contrast), start);

    dialog.Slider(1)->setValue(contrast.maximum);
    dialog.OnSliderNotice(1);
    const size_t sent = backend->amp.sets.size();
    dialog.OnStepBar(IDC_STEP_BAR_FIRST + 1, true);
    EXPECT_EQ(backend->amp.sets.size(), sent);
    EXPECT_EQ(dialog.Slider(1)->value(), contrast.maximum);
    dialog.OnStepBar(IDC_STEP_BAR_FIRST + 7, true); // not a step bar
    EXPECT_EQ(backend->amp.sets.size(), sent);

    // The camera taken away while the dialog is open is never reached.
    graph.TearDown();
    dialog.OnStepBar(IDC_STEP_BAR_FIRST + 1, false);
    dialog.OnSliderNotice(1);
    dialog.OnCommand(IDC_VIDEO_DEFAULT);
    EXPECT_EQ(backend->amp.sets.size(), sent);
}

TEST_F(VideoSettingTest, DefaultRestoresTheCameraAndTheLargestSize)
{
    ASSERT_TRUE(Start(Class1600, 640, 480));
    CVideoSettingDlg dialog(session);
    for (int row = 0; row < kPicturePropertyRows; ++row) {
        dialog.OnStepBar(IDC_STEP_BAR_FIRST + row, false);
    }
    backend->amp.sets.clear();
    dialog.OnCommand(IDC_VIDEO_DEFAULT);
    ASSERT_EQ(backend->amp.sets.size(), size_t(kPicturePropertyRows));
    for (const auto& [property, value, flags] : backend->amp.sets) {
        int min = 0, max = 0, step = 0, def = 0, f = 0;
        backend->amp.GetRange(property, &min, &max, &step, &def, &f);
        EXPECT_EQ(value, def);
        EXPECT_EQ(flags, 1);
        EXPECT_EQ(CameraValue(property), def);
    }
    EXPECT_EQ(dialog.ResolutionCombo()->currentText(), "1600*1200");
    EXPECT_EQ(dialog.FormatCombo()->currentIndex(), state.mjpgByClass[Class1600].load());
    EXPECT_EQ(state.captureWidth.load(), 1600);
    EXPECT_EQ(graph.format().bmiHeader.biWidth, 1600);
}

TEST_F(VideoSettingTest, OkRebuildsOnceAndTheSizeSurvivesARestart)
{
    ASSERT_TRUE(Start(Class2592, 1280, 1024));
    ASSERT_TRUE(WaitForFrames(2));
    ASSERT_TRUE(WaitFor([&] { return state.FrameStore.width.load() == 1280; }));
    {
        CVideoSettingDlg dialog(session);
        EXPECT_EQ(dialog.ResolutionCombo()->count(), 5);
        EXPECT_EQ(dialog.ResolutionCombo()->currentText(), "1280*1024");
        const int starts = backend->starts;
        dialog.OnCommand(IDC_VIDEO_OK);
        EXPECT_EQ(backend->starts, starts + 1);
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
    }
    EXPECT_EQ(CVideoSettingDlg::OpenDialog(), nullptr);
    {
        CVideoSettingDlg dialog(session);
        dialog.ResolutionCombo()->setCurrentIndex(2);
        dialog.OnCommand(IDC_RESOLUTION_COMBO);
        dialog.OnCommand(IDC_VIDEO_EXIT);
        EXPECT_EQ(dialog.result(), QDialog::Rejected);
    }
    graph.TearDown();
    CaptureSession again(nullptr);
    CCaptureGraph& restarted = again.Graph();
    restarted.SetBackend(backend);
    restarted.CreateDeviceEnumerator();
    ASSERT_TRUE(restarted.FindDevices() && restarted.InitCaptureFilters() && restarted.BuildGraph());
    EXPECT_EQ(restarted.format().bmiHeader.biWidth, 1600);
    EXPECT_EQ(restarted.format().bmiHeader.biHeight, 1200);
    restarted.TearDown();
}

TEST_F(VideoSettingTest, FormatChoiceRebuildsWithIt)
{
    ASSERT_TRUE(Start(Class1280, 640, 480));
    CVideoSettingDlg dialog(session);
    const int starts = backend->starts;
    dialog.FormatCombo()->setCurrentIndex(kFormatMjpegItem);
    dialog.OnCommand(IDC_FORMAT_COMBO);
    EXPECT_EQ(state.mjpgByClass[Class1280].load(), 1);
    EXPECT_EQ(state.useMjpg.load(), 1);
    EXPECT_EQ(backend->starts, starts + 1);
    ASSERT_TRUE(WaitForFrames(2));
    dialog.FormatCombo()->setCurrentIndex(kFormatYuy2Item);
    dialog.OnCommand(IDC_FORMAT_COMBO);
    EXPECT_EQ(state.mjpgByClass[Class1280].load(), 0);
}

TEST_F(VideoSettingTest, EmptyWithoutACameraAndRefilledOnTheDeviceNotice)
{
    CVideoSettingDlg dialog(session);
    EXPECT_EQ(dialog.DeviceCombo()->count(), 0);
    EXPECT_EQ(dialog.ResolutionCombo()->count(), 0);
    dialog.OnSliderNotice(0);
    dialog.OnStepBar(IDC_STEP_BAR_FIRST, true);
    dialog.OnCommand(IDC_VIDEO_DEFAULT);
    dialog.OnCommand(IDC_FORMAT_COMBO);

    ASSERT_TRUE(Start(Class1280, 640, 480));
    QEvent notice(kDeviceNoticeEvent);
    QCoreApplication::sendEvent(&dialog, &notice);
    EXPECT_EQ(dialog.DeviceCombo()->count(), 1);
    EXPECT_EQ(dialog.ResolutionCombo()->count(), 3);
}

TEST(CaptureResolutions, SelectionFollowsTheLastFrameWidth)
{
    EXPECT_EQ(ResolutionItemOfWidth(Class2592, 1280), 1);
    EXPECT_EQ(ResolutionItemOfWidth(Class2592, 800), -1);
    EXPECT_EQ(ResolutionItemOfWidth(Class1280, 320), 0);
    QSize size;
    EXPECT_FALSE(ResolutionForSelection(Class2592, -1, size));
    ASSERT_TRUE(ResolutionForSelection(Class1600, -1, size));
    EXPECT_EQ(size, QSize(1600, 1200));
    ASSERT_TRUE(ResolutionForSelection(Class1280, 7, size));
    EXPECT_EQ(size, QSize(1280, 1024));
    EXPECT_FALSE(ResolutionForSelection(9, 0, size));
}

} // namespace
