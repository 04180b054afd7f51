#pragma once
// Popup menu that shows an icon beside each item (art "menu_<command id>") on a
// flat background. Items carry their command id; choosing one emits it.
#include <QColor>
#include <QMenu>

class CMenuXP : public QMenu {
    Q_OBJECT
public:
    explicit CMenuXP(const QString& title = {}, QWidget* parent = nullptr);

    void SetBackground(QColor colour);
    QColor Background() const { return m_background; }

    QAction* AppendItem(int id, const QString& text);
    void AppendSeparator();
    CMenuXP* AppendPopup(const QString& text);

    // Positions count separators and submenus, as the menu shows them.
    int ItemCount() const { return static_cast<int>(actions().size()); }
    QAction* ItemAt(int position) const;
    // First item with this command id, searching submenus too.
    QAction* FindItem(int id) const;

    bool SetItemText(int position, const QString& text);
    bool SetItemTextById(int id, const QString& text);
    void CheckItem(int id, bool checked);

    // Command id of an item; -1 for separators and submenus.
    static int CommandOf(const QAction* action);

signals:
    void commandChosen(int id);

private:
    QColor m_background;
};
