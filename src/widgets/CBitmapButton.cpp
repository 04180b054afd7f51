#include "widgets/CBitmapButton.h"

#include "widgets/Art.h"

#include <QEvent>
#include <QPainter>

CBitmapButton::CBitmapButton(int id, const QString& art, QSize size, QWidget* parent)
    : QAbstractButton(parent), m_id(id), m_art(art), m_size(size)
{
    setFixedSize(size);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
    connect(this, &QAbstractButton::clicked, this, [this] { OnClicked(); });
}

void CBitmapButton::SetActive(bool active)
{
    if (m_active == active) {
        return;
    }
    m_active = active;
    update();
}

QPixmap CBitmapButton::CurrentLook() const
{
    ArtState state = ArtState::Normal;
    if (!isEnabled()) {
        state = ArtState::Disabled;
    } else if (m_active || isDown()) {
        state = ArtState::Active;
    }
    return ArtPixmap(m_art, m_size, state);
}

void CBitmapButton::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const QPixmap look = CurrentLook();
    if (!look.isNull()) {
        painter.drawPixmap(rect(), look);
        return;
    }
    // Missing art still leaves a visible, clickable plate.
    painter.fillRect(rect(), m_active ? QColor(0x4a, 0x90, 0xd9) : QColor(0x60, 0x68, 0x70));
}

void CBitmapButton::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::EnabledChange) {
        update();
    }
    QAbstractButton::changeEvent(event);
}

CLatchButton::CLatchButton(int id, const QString& art, QSize size, QWidget* parent)
    : CBitmapButton(id, art, size, parent)
{
}

void CLatchButton::OnClicked()
{
    SetActive(!IsActive());
    CBitmapButton::OnClicked();
}
