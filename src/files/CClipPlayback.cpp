#include "files/CClipPlayback.h"

#include "files/ClipVideoView.h"
#include "files/VideoPlayerIds.h"
#include "platform/media/ClipDecodeThread.h"

#include <QCoreApplication>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cmath>

using namespace player;

namespace {

// How often the picture due is looked for; finer than any clip's frame rate.
constexpr int kPresentMs = 10;
// Positions this close count as the same.
constexpr double kSlackSeconds = 1e-6;

double SteadySeconds()
{
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

CClipPlayback::CClipPlayback() : m_clock(&SteadySeconds)
{
    m_presentTimer.setInterval(kPresentMs);
    connect(&m_presentTimer, &QTimer::timeout, this, [this] { Present(); });
}

CClipPlayback::~CClipPlayback()
{
    Release();
}

void CClipPlayback::SetWindows(QWidget* notifyWindow, QWidget* videoArea)
{
    m_notifyWindow = notifyWindow;
    m_videoArea = videoArea;
}

void CClipPlayback::SetClock(Clock clock)
{
    // The position stays where it is on the new clock.
    const double position = PositionNow();
    m_clock = std::move(clock);
    m_base = position;
    m_baseTime = Now();
}

bool CClipPlayback::Open(const QString& path)
{
    Release();
    auto reader = std::make_unique<ClipReader>();
    if (!reader->Open(path)) {
        return false;
    }
    m_duration = reader->Duration();
    m_frameSeconds = reader->FrameSeconds();
    m_decoder = std::make_unique<ClipDecodeThread>(std::move(reader));
    if (m_videoArea) {
        m_view = new ClipVideoView(m_videoArea);
        m_view->setGeometry(m_videoArea->rect());
        m_view->show();
    }
    m_state = State::Stopped;
    m_base = 0;
    m_baseTime = Now();
    // The decoder starts at the first picture.
    m_awaitedSeconds = 0;
    m_presentTimer.start();
    return true;
}

void CClipPlayback::Release()
{
    m_presentTimer.stop();
    m_decoder.reset();
    delete m_view.data();
    m_state = State::Stopped;
    m_duration = 0;
    m_frameSeconds = 0;
    m_base = 0;
    m_notify = false;
    m_completeQueued = false;
    m_events.clear();
    m_shownSeconds = -1;
    m_awaitedSeconds = -1;
}

bool CClipPlayback::IsOpen() const
{
    return m_decoder != nullptr;
}

ClipVideoView* CClipPlayback::VideoWindow() const
{
    return m_view;
}

bool CClipPlayback::Run()
{
    if (!IsOpen()) {
        return false;
    }
    if (m_state != State::Running) {
        m_baseTime = Now();
        m_state = State::Running;
        m_completeQueued = false;
    }
    return true;
}

bool CClipPlayback::Pause()
{
    if (!IsOpen()) {
        return false;
    }
    if (m_state != State::Paused) {
        m_base = PositionNow();
        m_baseTime = Now();
        m_state = State::Paused;
    }
    return true;
}

bool CClipPlayback::RunWithNotify()
{
    if (!IsOpen()) {
        return false;
    }
    m_notify = true;
    return Run();
}

bool CClipPlayback::Duration(double* seconds) const
{
    if (!IsOpen()) {
        return false;
    }
    *seconds = m_duration;
    return true;
}

bool CClipPlayback::Position(double* seconds) const
{
    if (!IsOpen()) {
        return false;
    }
    *seconds = PositionNow();
    return true;
}

double CClipPlayback::PositionNow() const
{
    if (m_state != State::Running) {
        return m_base;
    }
    return std::min(m_duration, m_base + std::max(0.0, Now() - m_baseTime));
}

bool CClipPlayback::Seek(double seconds)
{
    if (!IsOpen()) {
        return false;
    }
    m_base = std::isfinite(seconds) ? std::clamp(seconds, 0.0, m_duration) : 0.0;
    m_baseTime = Now();
    m_completeQueued = false;
    SeekDecoder(m_base);
    return true;
}

bool CClipPlayback::StepBack()
{
    return IsOpen() && Seek(std::max(0.0, PositionNow() - kStepSeconds));
}

bool CClipPlayback::StepForward()
{
    return IsOpen() && Seek(std::min(m_duration, PositionNow() + kStepSeconds));
}

bool CClipPlayback::Refresh()
{
    if (!IsOpen()) {
        return false;
    }
    if (m_state == State::Paused) {
        Present();
        if (m_awaitedSeconds < 0 && !ShowsPictureAt(m_base)) {
            SeekDecoder(m_base);
        }
    } else if (m_state == State::Stopped) {
        Seek(0);
    }
    return true;
}

bool CClipPlayback::NextEvent(int* code)
{
    if (!IsOpen() || m_events.empty()) {
        return false;
    }
    *code = m_events.front();
    m_events.pop_front();
    return true;
}

void CClipPlayback::Present()
{
    if (!IsOpen()) {
        return;
    }
    const double position = PositionNow();
    ClipFrame frame;
    if (m_decoder->TakeFrameAt(position, frame, m_awaitedSeconds >= 0)) {
        m_shownSeconds = frame.seconds;
        m_awaitedSeconds = -1;
        if (m_view) {
            m_view->SetPicture(frame.image);
        }
    }
    // The clip ends when its time is up, or earlier when its pictures run out
    // (a file shorter than its header says).
    const bool picturesDone = m_awaitedSeconds < 0 && m_decoder->Finished() &&
                              position + kSlackSeconds >= m_shownSeconds + m_frameSeconds;
    if (m_state == State::Running && !m_completeQueued &&
        (position + kSlackSeconds >= m_duration || picturesDone)) {
        m_completeQueued = true;
        QueueEvent(EC_COMPLETE);
    }
}

void CClipPlayback::SeekDecoder(double seconds)
{
    // A paused picture that already shows this position needs no decoding.
    if (m_state != State::Running && m_awaitedSeconds < 0 && ShowsPictureAt(seconds)) {
        return;
    }
    m_decoder->SeekTo(seconds);
    m_awaitedSeconds = seconds;
}

void CClipPlayback::QueueEvent(int code)
{
    m_events.push_back(code);
    if (m_notify && m_notifyWindow) {
        QCoreApplication::postEvent(m_notifyWindow, new QEvent(WM_PLAYER_NOTIFY));
    }
}

bool CClipPlayback::ShowsPictureAt(double seconds) const
{
    if (m_shownSeconds < 0 || seconds + kSlackSeconds < m_shownSeconds) {
        return false;
    }
    return seconds <= m_shownSeconds + m_frameSeconds + kSlackSeconds;
}
