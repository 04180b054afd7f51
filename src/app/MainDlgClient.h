#pragma once
// The main window's client area (843 x 580 below the menu): paints the background
// and the picture of the file-list page shown; every control is its child.
#include <QWidget>

class CMainDlg;

class MainDlgClient : public QWidget {
    Q_OBJECT
public:
    explicit MainDlgClient(CMainDlg& owner);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CMainDlg& m_owner;
};
