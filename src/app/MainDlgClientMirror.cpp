// The main window's body in a right-to-left language: controls shown mirrored.
#include "app/MainDlgClient.h"

#include <QChildEvent>
#include <QEvent>

QRect MirroredInClient(const QWidget& client, const QRect& rect)
{
    if (!client.isRightToLeft()) {
        return rect;
    }
    return QRect(QPoint(client.width() - rect.x() - rect.width(), rect.y()), rect.size());
}

QPoint MirroredInClient(const QWidget& client, const QPoint& point)
{
    return client.isRightToLeft() ? QPoint(client.width() - 1 - point.x(), point.y()) : point;
}

bool MainDlgClient::event(QEvent* event)
{
    switch (event->type()) {
    case QEvent::ChildAdded:
        if (auto* child = qobject_cast<QWidget*>(static_cast<QChildEvent*>(event)->child())) {
            child->installEventFilter(this);
            m_places.insert(child, {child->pos(), child->pos()});
            Place(child);
        }
        break;
    case QEvent::ChildRemoved:
        m_places.remove(static_cast<QChildEvent*>(event)->child());
        break;
    case QEvent::LayoutDirectionChange:
    case QEvent::Resize:
        PlaceAll();
        update();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool MainDlgClient::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Move || event->type() == QEvent::Resize) {
        auto* child = static_cast<QWidget*>(watched);
        if (child->parentWidget() == this && !child->isWindow()) {
            Place(child);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void MainDlgClient::Place(QWidget* child)
{
    const auto it = m_places.find(child);
    if (it == m_places.end()) {
        return;
    }
    // A position other than the one shown is the window placing the control anew.
    if (child->pos() != it->shown) {
        it->placed = child->pos();
    }
    it->shown = MirroredInClient(*this, QRect(it->placed, child->size())).topLeft();
    if (child->pos() != it->shown) {
        child->move(it->shown);
    }
}

void MainDlgClient::PlaceAll()
{
    for (auto it = m_places.begin(); it != m_places.end(); ++it) {
        Place(static_cast<QWidget*>(it.key()));
    }
}
