#pragma once
// A window's timers by id: SetTimer restarts the timer with a new period,
// KillTimer stops it, and every expiry calls the handler with the id.
#include <QObject>
#include <functional>
#include <map>
#include <memory>

class QTimer;

class WindowTimers : public QObject {
    Q_OBJECT
public:
    using Handler = std::function<void(int id)>;

    WindowTimers(QObject* owner, Handler handler);
    ~WindowTimers() override;

    void SetTimer(int id, int ms);
    void KillTimer(int id);
    bool IsActive(int id) const;
    // Period of a running timer; 0 when it is not running.
    int Interval(int id) const;

private:
    Handler m_handler;
    std::map<int, QTimer*> m_timers;
};
