#pragma once
// Asks for the real length of the calibration line, in millimetres, and keeps it in
// the display unit as the shared actual distance.
#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;

class CCalibrationDlg : public QDialog {
    Q_OBJECT
public:
    // `unit`: the display unit the entered millimetres are converted to.
    explicit CCalibrationDlg(const QString& unit, QWidget* parent = nullptr);

    // Runs modally; IDOK with the shared actual distance set, or IDCANCEL.
    int DoModal();
    // Command entry of the dialog's buttons (IDOK, IDCANCEL).
    void OnCommand(int id);

    QLineEdit* DistanceEdit() const { return m_distance; }

private:
    void OnOK();

    QString m_unit;
    QLabel* m_prompt = nullptr;
    QLineEdit* m_distance = nullptr;
};
