#pragma once
// Tooltip window shared by a row of buttons: each tool is a widget with its own
// text; the owner relays the cursor position and the tip follows it after a short
// delay.
#include <QObject>
#include <QPoint>
#include <QString>
#include <QTimer>
#include <QVector>

class QWidget;

class CToolTipCtrl : public QObject {
    Q_OBJECT
public:
    explicit CToolTipCtrl(QWidget* owner);

    void SetDelay(int ms) { m_delay.setInterval(ms); }
    void AddTool(QWidget* tool, const QString& text);
    void DelAllTools();

    int ToolCount() const { return static_cast<int>(m_tools.size()); }
    // Text of the tool for this widget; empty when it is not a tool.
    QString ToolText(const QWidget* tool) const;

    // Called with the cursor's screen position on every mouse move or click.
    void TrackPosition(QPoint global);
    // The cursor left the tools: no tip, and none pending.
    void Pop();
    // The tip shown at the moment (empty when none).
    QString ShownText() const { return m_shown; }

private:
    struct Tool {
        QWidget* widget;
        QString text;
    };
    const Tool* ToolAt(QPoint global) const;
    void ShowPending();
    void Hide();

    QWidget* m_owner;
    QVector<Tool> m_tools;
    QTimer m_delay;
    QPoint m_pendingPos;
    QString m_pendingText;
    QString m_shown;
};
