#include "platform/camera/VirtualCamera.h"

#include <algorithm>
#include <turbojpeg.h>

namespace {
constexpr int kErrorInvalidArg = static_cast<int>(0x80070057);
constexpr int kJpegQuality = 85;

struct PropertyRange {
    int min, max, step, def;
    int SlideLook::*member;
};

constexpr int kPicturePropertyCount = 6;

// The property's range; focus only on a slide with depth.
const PropertyRange* RangeOf(int property, VirtualSlideKind slide)
{
    static const PropertyRange ranges[] = {
        {-64, 64, 1, 0, &SlideLook::brightness},                              // VideoProcAmp_Brightness
        {0, 64, 1, 32, &SlideLook::contrast},                                 // VideoProcAmp_Contrast
        {-40, 40, 1, 0, &SlideLook::hue},                                     // VideoProcAmp_Hue
        {0, 128, 1, 64, &SlideLook::saturation},                              // VideoProcAmp_Saturation
        {0, 6, 1, 3, &SlideLook::sharpness},                                  // VideoProcAmp_Sharpness
        {72, 500, 1, 100, &SlideLook::gamma},                                 // VideoProcAmp_Gamma
        {kFocusMin, kFocusMax, kFocusStep, kFocusDefault, &SlideLook::focus}, // CameraControl_Focus
    };
    // The virtual microscope has no exposure control.
    if (property == CameraControl_Focus) {
        return slide == VirtualSlideKind::Depth ? &ranges[kPicturePropertyCount] : nullptr;
    }
    if (property < VideoProcAmp_Brightness || property > VideoProcAmp_Gamma) {
        return nullptr;
    }
    return &ranges[property];
}

// Focus breathing: the picture grows by this share per focus unit past the default.
constexpr double kBreathingPerUnit = 0.00004;

int DefaultIntervalMs(int width)
{
    return width <= 1280 ? 66 : 125;
}
} // namespace

int VirtualProcAmp::GetRange(int property, int* min, int* max, int* step, int* defaultValue, int* flags)
{
    const PropertyRange* r = RangeOf(property, m_state->slide.load());
    if (!r || !min || !max || !step || !defaultValue || !flags) {
        return kErrorInvalidArg;
    }
    *min = r->min, *max = r->max, *step = r->step, *defaultValue = r->def;
    *flags = VideoProcAmp_Flags_Manual;
    return 0;
}

int VirtualProcAmp::Get(int property, int* value, int* flags)
{
    const PropertyRange* r = RangeOf(property, m_state->slide.load());
    if (!r || !value || !flags) {
        return kErrorInvalidArg;
    }
    std::lock_guard guard(m_state->lock);
    *value = m_state->look.*(r->member);
    *flags = VideoProcAmp_Flags_Manual;
    return 0;
}

int VirtualProcAmp::Set(int property, int value, int /*flags*/)
{
    const PropertyRange* r = RangeOf(property, m_state->slide.load());
    if (!r || value < r->min || value > r->max) {
        return kErrorInvalidArg;
    }
    std::lock_guard guard(m_state->lock);
    if (m_state->look.*(r->member) != value) {
        m_state->look.*(r->member) = value;
        ++m_state->lookVersion;
    }
    return 0;
}

VirtualCamera::VirtualCamera(std::shared_ptr<VirtualMicroscopeState> state,
                             std::vector<CameraCapability> capabilities)
    : m_state(std::move(state)), m_capabilities(std::move(capabilities)), m_procAmp(m_state),
      m_generation(m_state->generation.load())
{
    const CameraCapability& largest = m_capabilities.front();
    m_format = {CameraSubtype::YUY2, largest.width, largest.height, 333333};
}

VirtualCamera::~VirtualCamera()
{
    Stop();
    if (m_encoder) {
        tjDestroy(static_cast<tjhandle>(m_encoder));
    }
}

bool VirtualCamera::Present() const
{
    return m_state->plugged.load() && m_state->generation.load() == m_generation;
}

CameraStatus VirtualCamera::SetFormat(const CameraFormat& format)
{
    if (!Present()) {
        return CameraStatus::Gone;
    }
    if (IsStreaming()) {
        return CameraStatus::Busy;
    }
    const CameraCapability wanted{format.subtype, format.width, format.height};
    const int limit = m_state->maxWidth.load();
    if (std::find(m_capabilities.begin(), m_capabilities.end(), wanted) == m_capabilities.end() ||
        (limit > 0 && format.width > limit)) {
        return CameraStatus::Refused;
    }
    m_format = format;
    return CameraStatus::Ok;
}

CameraStatus VirtualCamera::Start(CameraStreamSinks sinks)
{
    if (!Present()) {
        return CameraStatus::Gone;
    }
    Stop();
    m_sinks = std::move(sinks);
    m_stop = false;
    m_finished = false;
    m_state->buttonPresses = 0;
    m_thread = std::thread([this] { Run(); });
    return CameraStatus::Ok;
}

void VirtualCamera::Stop()
{
    {
        std::lock_guard guard(m_state->lock);
        m_stop = true;
    }
    m_state->wake.notify_all();
    if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) {
        m_thread.join();
    }
}

bool VirtualCamera::WaitForNextFrame(std::chrono::steady_clock::time_point due)
{
    std::unique_lock guard(m_state->lock);
    m_state->wake.wait_until(guard, due, [this] { return m_stop.load() || !Present(); });
    return !m_stop.load() && Present();
}

void VirtualCamera::RefreshSlide(int& lookVersion)
{
    SlideLook look;
    int version = 0;
    {
        std::lock_guard guard(m_state->lock);
        look = m_state->look;
        version = m_state->lookVersion;
    }
    if (version == lookVersion && m_slide.width() == (m_format.width & ~1) &&
        m_slide.height() == m_format.height) {
        return;
    }
    if (m_state->slide.load() == VirtualSlideKind::Depth) {
        m_slide.Prepare(RenderDepthSlide(look), false); // a still specimen: nothing drifts across it
    } else {
        m_slide.Prepare(
            RenderSlide(m_state->deviceClass, m_format.width, m_format.height, look, m_state->magnification));
    }
    lookVersion = version;
}

QImage VirtualCamera::RenderDepthSlide(const SlideLook& look)
{
    if (!m_depth || m_depth->width() != m_format.width || m_depth->height() != m_format.height) {
        m_depth.reset(); // one slide's blur ladder at a time
        m_depth = std::make_unique<DepthSlide>(m_format.width, m_format.height);
    }
    const double scale = 1.0 + kBreathingPerUnit * (look.focus - kFocusDefault);
    QImage picture = ShiftedAndScaled(m_depth->AtFocus(look.focus), scale, 0.0, 0.0)
                         .convertToFormat(QImage::Format_RGB888);
    SlideLook neutral;
    neutral.focus = look.focus;
    if (!(look == neutral)) { // the neutral look changes no value beyond rounding: save the time
        ApplyLook(picture, look);
    }
    return picture;
}

bool VirtualCamera::Produce(double seconds, CameraFrame& frame)
{
    const std::size_t pixels = static_cast<std::size_t>(m_slide.width()) * m_slide.height();
    frame = {m_format.subtype, m_slide.width(), m_slide.height(), nullptr, 0, seconds};
    if (m_format.subtype != CameraSubtype::MJPG) {
        m_out.resize(pixels * 2);
        m_slide.ComposeYuyv(seconds, m_out.data());
        frame.data = m_out.data(), frame.length = m_out.size();
        return true;
    }
    m_y.resize(pixels), m_u.resize(pixels / 2), m_v.resize(pixels / 2);
    m_slide.ComposePlanes(seconds, m_y.data(), m_u.data(), m_v.data());
    if (!m_encoder) {
        m_encoder = tjInitCompress();
    }
    m_out.resize(tjBufSize(frame.width, frame.height, TJSAMP_422));
    const unsigned char* planes[3] = {m_y.data(), m_u.data(), m_v.data()};
    unsigned char* dest = m_out.data();
    unsigned long size = m_out.size();
    if (tjCompressFromYUVPlanes(static_cast<tjhandle>(m_encoder), planes, frame.width, nullptr, frame.height,
                                TJSAMP_422, &dest, &size, kJpegQuality,
                                TJFLAG_NOREALLOC | TJFLAG_FASTDCT) != 0) {
        return false;
    }
    frame.data = m_out.data(), frame.length = size;
    return true;
}

void VirtualCamera::Run()
{
    const auto start = std::chrono::steady_clock::now();
    const int interval =
        m_state->frameIntervalMs > 0 ? m_state->frameIntervalMs : DefaultIntervalMs(m_format.width);
    auto due = start;
    int lookVersion = -1;
    while (WaitForNextFrame(due)) {
        // A slow frame must not make the next ones come in a burst.
        due = std::max(due + std::chrono::milliseconds(interval), std::chrono::steady_clock::now());
        const int presses = m_state->buttonPresses.exchange(0);
        for (int i = 0; i < presses && m_state->hasButton.load() && m_sinks.button; ++i) {
            m_sinks.button();
        }
        RefreshSlide(lookVersion);
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        CameraFrame frame;
        if (Produce(seconds, frame) && m_sinks.frame) {
            m_sinks.frame(frame);
            ++m_state->frames;
        }
    }
    m_finished = true;
    if (!m_stop.load() && m_sinks.streamEnded) {
        m_sinks.streamEnded(CameraStatus::Gone);
    }
}
