#pragma once
// The main window's input before it reaches the control under it: the menus'
// keys, Escape out of full screen (Escape and Enter never close the window),
// live measuring's clicks on the preview, tooltips following the pointer, the
// preview's own cursor, and the clicks of the files strip and of the page tabs
// painted on the window's background.
#include <QCursor>
#include <QObject>
#include <QPoint>
#include <functional>

class CToolTipCtrl;
class FilesStripController;
class LiveMeasureFeature;
class QMenu;
class QMouseEvent;
class QWidget;

class MainWindowInput : public QObject {
public:
    struct Parts {
        QWidget* window = nullptr;
        QWidget* client = nullptr;
        QWidget* preview = nullptr;
        FilesStripController* strip = nullptr;
        LiveMeasureFeature* liveMeasure = nullptr;
        CToolTipCtrl* toolTips = nullptr;
        std::function<bool()> fullScreen;
        std::function<bool()> closing;
        // A key the menus take (then it goes no further).
        std::function<bool(int key, Qt::KeyboardModifiers)> offerKey;
        std::function<void()> leaveFullScreen;
        // Escape ends what is running first (a focus stack); true when it did.
        std::function<bool()> cancelRunning;
        std::function<QMenu*()> fileListMenu;
        std::function<void()> pageSwitched;
    };
    // Watches every event of the application for the window's own.
    explicit MainWindowInput(Parts parts);
    ~MainWindowInput() override;

    void SetPreviewCursor(const QCursor& cursor) { m_previewCursor = cursor; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool OnMouseEvent(QObject* watched, QMouseEvent& event);
    bool OnKeyDown(int key);
    void TrackPreviewHover(QPoint global);
    void OnLeftButtonDown(QObject* watched, QPoint global);
    void OnLeftDoubleClick(QObject* watched, QPoint global);
    void OnRightButtonDown(QObject* watched, QPoint global);
    void SwitchPage(int page);
    // Ignored mouse events travel up to the parents and reach the filter again;
    // the window acts on each input event once.
    bool AlreadySeen(const QMouseEvent& event);

    Parts m_parts;
    QCursor m_previewCursor;
    bool m_previewHover = false;
    struct SeenEvent {
        int type = 0;
        quint64 timestamp = 0;
        QPointF global;
    } m_lastSeen;
};
