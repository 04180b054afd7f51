#pragma once
// Playback of one clip for the video player: the clip's reader and its decoding
// worker, the picture window over the player's video area, the play state and
// clock, and the events the player is told about. Every operation does nothing
// and gives false while no clip is open (nothing opened, or the open failed).
#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <deque>
#include <functional>
#include <memory>

class ClipDecodeThread;
class ClipVideoView;
class QWidget;

class CClipPlayback : public QObject {
public:
    // Monotonic seconds; tests drive playback with a clock of their own.
    using Clock = std::function<double()>;
    enum class State { Stopped, Paused, Running };

    CClipPlayback();
    ~CClipPlayback() override;

    // The window told about events, and the area the picture is shown in.
    void SetWindows(QWidget* notifyWindow, QWidget* videoArea);
    void SetClock(Clock clock);

    // Drops any clip open before; opens `path` and puts its picture window over
    // the whole video area, stopped at the start. On failure nothing stays open.
    bool Open(const QString& path);
    // Closes the clip and its picture window.
    void Release();
    bool IsOpen() const;

    // Runs unless running already.
    bool Run();
    // Pauses unless paused already.
    bool Pause();
    // Runs, and from now on posts WM_PLAYER_NOTIFY to the notify window when an
    // event waits.
    bool RunWithNotify();

    bool Duration(double* seconds) const;
    bool Position(double* seconds) const;
    // Goes to `seconds`, kept within the clip.
    bool Seek(double seconds);
    // Two seconds back (not before the start) or on (not past the end).
    bool StepBack();
    bool StepForward();
    // Keep-alive: a paused clip keeps the picture of its position, a stopped one
    // goes back to the start.
    bool Refresh();
    // Takes the oldest waiting event; false when there is none.
    bool NextEvent(int* code);

    State GetState() const { return m_state; }
    // The picture window; null while no clip is open.
    ClipVideoView* VideoWindow() const;

    // Shows the picture due now and notices the end of the clip. A timer calls it
    // while a clip is open.
    void Present();

private:
    double Now() const { return m_clock(); }
    double PositionNow() const;
    void SeekDecoder(double seconds);
    void QueueEvent(int code);
    // True when the picture shown is the one for `seconds`.
    bool ShowsPictureAt(double seconds) const;

    Clock m_clock;
    QPointer<QWidget> m_notifyWindow;
    QPointer<QWidget> m_videoArea;
    QPointer<ClipVideoView> m_view;
    std::unique_ptr<ClipDecodeThread> m_decoder;
    QTimer m_presentTimer;

    State m_state = State::Stopped;
    double m_duration = 0;
    double m_frameSeconds = 0;
    // The position is m_base at clock time m_baseTime, and moves on with the clock
    // while running.
    double m_base = 0;
    double m_baseTime = 0;
    bool m_notify = false;
    bool m_completeQueued = false;
    std::deque<int> m_events;

    // The picture on screen: where it starts, or negative when none. And the
    // position the decoder was last sent to, until its picture is shown.
    double m_shownSeconds = -1;
    double m_awaitedSeconds = -1;
};
