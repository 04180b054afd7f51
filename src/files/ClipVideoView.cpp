#include "files/ClipVideoView.h"

#include <QPainter>

ClipVideoView::ClipVideoView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    // Clicks go to the player window, as on the video area itself.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ClipVideoView::SetPicture(const QImage& picture)
{
    m_picture = picture;
    update();
}

void ClipVideoView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (m_picture.isNull()) {
        painter.fillRect(rect(), Qt::black);
        return;
    }
    const QSize fitted = m_picture.size().scaled(size(), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), fitted);
    target.moveCenter(rect().center());
    // Only the bars are filled: the picture covers the rest.
    const QRegion bars = QRegion(rect()).subtracted(target);
    for (const QRect& bar : bars) {
        painter.fillRect(bar, Qt::black);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_picture);
}
