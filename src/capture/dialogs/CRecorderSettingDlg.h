#pragma once
// Recorder setting dialog (375): recording size, time limit and compressor of the
// next recording. Opening switches the camera to 640 x 480; the size list switches
// it to the chosen size; Cancel, Escape and the close box take it back to the size
// it had before. OK prepares the default compressor unless Compress prepared one
// this time.
#include "capture/CaptureState.h"

#include <QDialog>
#include <QSize>
#include <functional>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class VideoRecorder;
struct AviCompressOptions;

class CRecorderSettingDlg : public QDialog {
    Q_OBJECT
public:
    struct Parts {
        // Switches the camera: true when it took the size.
        std::function<bool(int width, int height)> setCaptureSize;
        // The platform's compressor choice; false when the user cancelled.
        std::function<bool(AviCompressOptions* options)> chooseCompressor;
        // The capture format now: the sensor class and the size of the frames the
        // prepared compressor is tried on.
        std::function<CaptureFormat()> format;
    };
    CRecorderSettingDlg(VideoRecorder& recorder, QString videoFolder, Parts parts, QWidget* parent = nullptr);

    // Runs modally: IDOK or IDCANCEL.
    int DoModal();
    // Buttons, the check box and the size list, by control id.
    void OnCommand(int id);

    bool timeLimitTicked() const { return m_limitTicked; }
    int timeLimitSeconds() const { return m_limitSeconds; }
    int frameRate() const { return m_frameRate; }

    QComboBox* SizeList() const { return m_sizes; }
    QLineEdit* FrameRateEdit() const { return m_rate; }
    QLineEdit* TimeLimitEdit() const { return m_limit; }
    QCheckBox* TimeLimitBox() const { return m_limitBox; }
    QPushButton* Button(int id) const;

protected:
    void reject() override;

private:
    void BuildControls();
    void EnableButtons(bool enable);
    void OnSizeChosen();
    void OnCompress();
    void OnOk();
    void OnCancel();
    bool ReadField(QLineEdit* edit, int minimum, int maximum, int* value);

    QSize FrameSize() const;

    VideoRecorder& m_recorder;
    QString m_videoFolder;
    Parts m_parts;
    int m_deviceClass = Class2592;
    QSize m_sizeBefore; // the capture size when the dialog opened
    QLineEdit* m_rate = nullptr;
    QLineEdit* m_limit = nullptr;
    QCheckBox* m_limitBox = nullptr;
    QComboBox* m_sizes = nullptr;
    bool m_compressorChosen = false;
    bool m_limitTicked = true;
    int m_limitSeconds = 0;
    int m_frameRate = 0;
};
