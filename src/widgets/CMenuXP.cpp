#include "widgets/CMenuXP.h"

#include "widgets/Art.h"

namespace {
constexpr int kIconSide = 16;
constexpr QRgb kDefaultBackground = 0xEEEEEE;
} // namespace

CMenuXP::CMenuXP(const QString& title, QWidget* parent) : QMenu(title, parent)
{
    SetBackground(QColor(kDefaultBackground));
    connect(this, &QMenu::triggered, this, [this](QAction* action) {
        // Submenus re-emit their triggers through the parent; report each choice once.
        if (action->menu() == nullptr && action->parent() == this && CommandOf(action) >= 0) {
            emit commandChosen(CommandOf(action));
        }
    });
}

void CMenuXP::SetBackground(QColor colour)
{
    m_background = colour;
    setStyleSheet(QStringLiteral("QMenu { background-color: %1; color: black; }"
                                 "QMenu::item:selected { background-color: #c6d9f0; }"
                                 "QMenu::item:disabled { color: #8a8a8a; }")
                      .arg(colour.name()));
}

QAction* CMenuXP::AppendItem(int id, const QString& text)
{
    QAction* action = new QAction(text, this);
    action->setData(id);
    const QString art = QStringLiteral("menu_%1").arg(id);
    if (HasArt(art)) {
        action->setIcon(QIcon(ArtPixmap(art, QSize(kIconSide, kIconSide))));
    }
    addAction(action);
    return action;
}

void CMenuXP::AppendSeparator()
{
    addSeparator();
}

CMenuXP* CMenuXP::AppendPopup(const QString& text)
{
    auto* popup = new CMenuXP(text, this);
    popup->SetBackground(m_background);
    connect(popup, &CMenuXP::commandChosen, this, &CMenuXP::commandChosen);
    addMenu(popup);
    return popup;
}

QAction* CMenuXP::ItemAt(int position) const
{
    const QList<QAction*> items = actions();
    return position >= 0 && position < items.size() ? items[position] : nullptr;
}

QAction* CMenuXP::FindItem(int id) const
{
    for (QAction* action : actions()) {
        if (CommandOf(action) == id) {
            return action;
        }
        if (auto* sub = qobject_cast<CMenuXP*>(action->menu())) {
            if (QAction* found = sub->FindItem(id)) {
                return found;
            }
        }
    }
    return nullptr;
}

bool CMenuXP::SetItemText(int position, const QString& text)
{
    QAction* action = ItemAt(position);
    if (action == nullptr || action->isSeparator()) {
        return false;
    }
    action->setText(text);
    return true;
}

bool CMenuXP::SetItemTextById(int id, const QString& text)
{
    QAction* action = FindItem(id);
    if (action == nullptr) {
        return false;
    }
    action->setText(text);
    return true;
}

void CMenuXP::CheckItem(int id, bool checked)
{
    if (QAction* action = FindItem(id)) {
        action->setCheckable(checked);
        action->setChecked(checked);
    }
}

int CMenuXP::CommandOf(const QAction* action)
{
    if (action == nullptr || action->isSeparator() || action->menu() != nullptr) {
        return -1;
    }
    bool ok = false;
    const int id = action->data().toInt(&ok);
    return ok ? id : -1;
}
