#pragma once
// The start-up prompt: two hints and a "show again" box that decides "sys_date".
#include <QDialog>

class QCheckBox;
class QLabel;

class CPromptDlg : public QDialog {
    Q_OBJECT
public:
    enum Control : int {
        IDD = 303,
        IDC_TIP_CALIBRATION = 1198,
        IDC_TIP_SNAPSHOT = 32837,
        IDC_SHOW_AGAIN = 32839,
    };

    explicit CPromptDlg(QWidget* parent = nullptr);

    QCheckBox* ShowAgainBox() const { return m_showAgain; }
    void accept() override;

private:
    QLabel* m_calibrationTip = nullptr;
    QLabel* m_snapshotTip = nullptr;
    QCheckBox* m_showAgain = nullptr;
};
