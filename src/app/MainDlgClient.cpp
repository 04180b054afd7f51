#include "app/MainDlgClient.h"

#include "app/CMainDlg.h"
#include "widgets/Art.h"

#include <QChildEvent>
#include <QEvent>
#include <QPaintEvent>
#include <QPainter>

using namespace maindlg;

MainDlgClient::MainDlgClient(CMainDlg& owner) : QWidget(&owner), m_owner(owner)
{
    resize(kClientSize);
}

void MainDlgClient::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect dirty = event->rect();
    if (m_owner.IsFullScreen()) {
        painter.fillRect(dirty, Qt::black);
        return;
    }
    QPixmap background = ArtPixmap(QStringLiteral("background_main"), kClientSize);
    if (background.isNull()) {
        painter.fillRect(dirty, QColor(0x2b, 0x31, 0x3a));
    } else {
        if (isRightToLeft()) {
            background = background.transformed(QTransform::fromScale(-1, 1));
        }
        painter.drawPixmap(dirty, background, dirty);
    }
    const QString page =
        m_owner.Page() == kPagePictures ? QStringLiteral("page_147") : QStringLiteral("page_146");
    painter.drawPixmap(MirroredInClient(*this, QRect(kPageBitmapPos, kPageBitmapSize)),
                       ArtPixmap(page, kPageBitmapSize));
    // Whoever changed the capture size (keys, recording, video settings), the
    // next repaint shows it.
    m_owner.UpdateResolutionText();
}

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
