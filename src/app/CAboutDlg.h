#pragma once
// The about box: program name, version and icon.
#include <QDialog>

// Text of the about item ("&About Pelora..."), a fixed program text.
inline constexpr const char* kAboutItemText = "&About Pelora...";

class CAboutDlg : public QDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};
