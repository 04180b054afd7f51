#include "widgets/CToolTipCtrl.h"

#include <QToolTip>
#include <QWidget>

namespace {
constexpr int kAutomaticDelayMs = 100;
constexpr QPoint kTipOffset(12, 18);
} // namespace

CToolTipCtrl::CToolTipCtrl(QWidget* owner) : QObject(owner), m_owner(owner)
{
    m_delay.setSingleShot(true);
    m_delay.setInterval(kAutomaticDelayMs);
    connect(&m_delay, &QTimer::timeout, this, &CToolTipCtrl::ShowPending);
}

void CToolTipCtrl::AddTool(QWidget* tool, const QString& text)
{
    if (tool != nullptr) {
        m_tools.push_back({tool, text});
    }
}

void CToolTipCtrl::DelAllTools()
{
    m_tools.clear();
    Hide();
}

QString CToolTipCtrl::ToolText(const QWidget* tool) const
{
    for (const Tool& t : m_tools) {
        if (t.widget == tool) {
            return t.text;
        }
    }
    return {};
}

const CToolTipCtrl::Tool* CToolTipCtrl::ToolAt(QPoint global) const
{
    for (const Tool& t : m_tools) {
        // Hidden buttons have no place on screen, so they never show a tip.
        if (t.widget->isVisible() && t.widget->rect().contains(t.widget->mapFromGlobal(global))) {
            return &t;
        }
    }
    return nullptr;
}

void CToolTipCtrl::TrackPosition(QPoint global)
{
    const Tool* tool = ToolAt(global);
    if (tool == nullptr || tool->text.isEmpty()) {
        Pop();
        return;
    }
    m_pendingPos = global;
    if (tool->text == m_shown) {
        QToolTip::showText(global + kTipOffset, m_shown, m_owner);
        return;
    }
    m_pendingText = tool->text;
    m_delay.start();
}

void CToolTipCtrl::Pop()
{
    m_delay.stop();
    Hide();
}

void CToolTipCtrl::ShowPending()
{
    m_shown = m_pendingText;
    QToolTip::showText(m_pendingPos + kTipOffset, m_shown, m_owner);
}

void CToolTipCtrl::Hide()
{
    if (!m_shown.isEmpty()) {
        QToolTip::hideText();
    }
    m_shown.clear();
}
