#pragma once
// The main window's client area (843 x 580 below the menu): paints the background
// and the picture of the file-list page shown; every control is its child.
//
// In a right-to-left language the body is mirrored like the menus and dialogs:
// the window places each control as usual, and the client shows it at the same
// distance from its right edge instead of the left.
#include <QHash>
#include <QPoint>
#include <QRect>
#include <QWidget>

class CMainDlg;

class MainDlgClient : public QWidget {
    Q_OBJECT
public:
    explicit MainDlgClient(CMainDlg& owner);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Where the window put a control, and where it is shown.
    struct Placement {
        QPoint placed;
        QPoint shown;
    };
    void Place(QWidget* child);
    void PlaceAll();

    CMainDlg& m_owner;
    QHash<QObject*, Placement> m_places; // the child controls
};

// A rectangle or point of the client as it is shown (mirrored in a right-to-left
// language); applied twice it gives the original back.
QRect MirroredInClient(const QWidget& client, const QRect& rect);
QPoint MirroredInClient(const QWidget& client, const QPoint& point);
