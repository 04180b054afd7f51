#include "widgets/WindowTimers.h"

#include <QTimer>

WindowTimers::WindowTimers(QObject* owner, Handler handler) : QObject(owner), m_handler(std::move(handler)) {}

WindowTimers::~WindowTimers() = default;

void WindowTimers::SetTimer(int id, int ms)
{
    QTimer*& timer = m_timers[id];
    if (timer == nullptr) {
        timer = new QTimer(this);
        connect(timer, &QTimer::timeout, this, [this, id] { m_handler(id); });
    }
    timer->start(ms);
}

void WindowTimers::KillTimer(int id)
{
    const auto it = m_timers.find(id);
    if (it != m_timers.end()) {
        it->second->stop();
    }
}

bool WindowTimers::IsActive(int id) const
{
    const auto it = m_timers.find(id);
    return it != m_timers.end() && it->second->isActive();
}

int WindowTimers::Interval(int id) const
{
    return IsActive(id) ? m_timers.at(id)->interval() : 0;
}
