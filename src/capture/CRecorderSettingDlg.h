#pragma once
// Recorder setting dialog (375): recording size, time limit and compressor of the
// next recording. Opening switches the camera to 640 x 480; the size list switches
// it to the chosen size; Cancel takes it back to the class's high size. OK
// prepares the default compressor unless Compress prepared one this time.
#include <QDialog>
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
        // Switches the camera: 0 when it took the size (CCaptureGraph::SetCaptureSize).
        std::function<int(int width, int height)> setCaptureSize;
        // The platform's compressor choice; false when the user cancelled.
        std::function<bool(AviCompressOptions* options)> chooseCompressor;
        // Size of the frames the prepared compressor is tried on.
        std::function<QSize()> frameSize;
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

    VideoRecorder& m_recorder;
    QString m_videoFolder;
    Parts m_parts;
    QLineEdit* m_rate = nullptr;
    QLineEdit* m_limit = nullptr;
    QCheckBox* m_limitBox = nullptr;
    QComboBox* m_sizes = nullptr;
    bool m_compressorChosen = false;
    bool m_limitTicked = true;
    int m_limitSeconds = 0;
    int m_frameRate = 0;
};
