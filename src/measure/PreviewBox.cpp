#include "measure/PreviewBox.h"

#include <QPainter>

PreviewBox::PreviewBox(const QString& title, Painter painter, QWidget* parent)
    : QGroupBox(title, parent), m_painter(std::move(painter))
{
}

void PreviewBox::paintEvent(QPaintEvent* event)
{
    QGroupBox::paintEvent(event);
    QPainter painter(this);
    m_painter(painter, rect());
}
