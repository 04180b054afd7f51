#include "capture/FocusSeriesCollector.h"

#include "capture/CaptureSession.h"
#include "image/stack/PictureQuality.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <utility>

namespace {
constexpr int kTickMs = 40;
constexpr int kSettleMs = 400;   // a focus motor's travel and the exposure after it
constexpr int kSettleFrames = 2; // frames after the move: the first may have started before it
constexpr int kManualTickMs = 150;
constexpr double kDistinctShare = 0.06; // sharpness differing by this share makes a frame new
constexpr int kSharpnessWidth = 480;    // frames are measured at about this width
} // namespace

FocusSeriesCollector::FocusSeriesCollector(CaptureSession& session, QObject* parent)
    : QObject(parent), m_session(session)
{
    connect(&m_timer, &QTimer::timeout, this, &FocusSeriesCollector::OnTick);
}

bool FocusSeriesCollector::Start(int steps)
{
    if (IsCollecting()) {
        return false;
    }
    m_frames.clear();
    m_sharpness.clear();
    m_camera.reset();
    m_seenTime = -1.0;
    std::shared_ptr<VideoProcAmp> camera;
    m_session.Graph().GetVideoProcAmp(&camera);
    int defaultValue = 0, flags = 0;
    if (camera &&
        camera->GetRange(CameraControl_Focus, &m_minimum, &m_maximum, &m_step, &defaultValue, &flags) == 0 &&
        m_minimum < m_maximum && camera->Get(CameraControl_Focus, &m_original, &flags) == 0) {
        m_camera = camera;
        m_steps = std::clamp(steps, kFocusStepsMin, kFocusStepsMax);
        MoveFocus(0);
        m_timer.start(kTickMs);
    } else {
        m_steps = 0;
        m_timer.start(kManualTickMs);
    }
    emit progress(0, m_steps);
    return true;
}

void FocusSeriesCollector::Finish()
{
    if (IsCollecting()) {
        Stop();
        emit collected();
    }
}

void FocusSeriesCollector::Cancel()
{
    Stop();
    m_frames.clear();
    m_sharpness.clear();
}

std::vector<QImage> FocusSeriesCollector::TakeFrames()
{
    m_sharpness.clear();
    return std::exchange(m_frames, {});
}

void FocusSeriesCollector::Stop()
{
    m_timer.stop();
    if (m_camera) {
        m_camera->Set(CameraControl_Focus, m_original, VideoProcAmp_Flags_Manual);
        m_camera.reset();
    }
}

void FocusSeriesCollector::OnTick()
{
    if (m_camera) {
        SweepTick();
    } else {
        ManualTick();
    }
}

double FocusSeriesCollector::StoredFrameTime()
{
    FrameStoreData& store = m_session.State().FrameStore;
    std::lock_guard guard(store.lock);
    return store.sampleTime;
}

bool FocusSeriesCollector::NewFrameArrived()
{
    const double time = StoredFrameTime();
    if (time == m_seenTime) {
        return false;
    }
    m_seenTime = time;
    return true;
}

QImage FocusSeriesCollector::LatestFrame()
{
    return m_session.State().FrameStore.CopyPicture();
}

void FocusSeriesCollector::MoveFocus(int index)
{
    const double share = m_steps > 1 ? double(index) / (m_steps - 1) : 0.0;
    int value = m_minimum + static_cast<int>(std::lround((m_maximum - m_minimum) * share / m_step)) * m_step;
    m_camera->Set(CameraControl_Focus, std::clamp(value, m_minimum, m_maximum), VideoProcAmp_Flags_Manual);
    m_index = index;
    // Only frames stored from now on count towards settling: one that came in since the
    // last look (while the window thread was busy) was taken at the old focus.
    m_seenTime = StoredFrameTime();
    m_newFrames = 0;
    m_sinceMove.restart();
}

void FocusSeriesCollector::SweepTick()
{
    if (NewFrameArrived()) {
        ++m_newFrames;
    }
    if (m_newFrames < kSettleFrames || m_sinceMove.elapsed() < kSettleMs) {
        return;
    }
    QImage frame = LatestFrame();
    if (frame.isNull()) {
        return;
    }
    m_frames.push_back(std::move(frame));
    emit progress(int(m_frames.size()), m_steps);
    if (m_index + 1 < m_steps) {
        MoveFocus(m_index + 1);
        return;
    }
    Stop();
    emit collected();
}

void FocusSeriesCollector::ManualTick()
{
    if (!NewFrameArrived()) {
        return;
    }
    QImage frame = LatestFrame();
    if (frame.isNull()) {
        return;
    }
    const double sharpness = Tenengrad(frame.scaledToWidth(kSharpnessWidth, Qt::FastTransformation));
    const bool distinct = std::all_of(m_sharpness.begin(), m_sharpness.end(), [&](double kept) {
        return std::abs(sharpness - kept) > kDistinctShare * std::max(sharpness, kept);
    });
    if (!distinct) {
        return;
    }
    m_frames.push_back(std::move(frame));
    m_sharpness.push_back(sharpness);
    emit progress(int(m_frames.size()), 0);
    if (int(m_frames.size()) >= kManualFramesMax) {
        Finish();
    }
}
