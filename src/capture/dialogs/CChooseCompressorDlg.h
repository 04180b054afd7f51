#pragma once
// The choice of a video compressor for the next recording: the installed
// compressors and a quality setting for those that take one.
#include "platform/media/AviCompressors.h"

#include <QDialog>
#include <vector>

class QComboBox;
class QSlider;

class CChooseCompressorDlg : public QDialog {
    Q_OBJECT
public:
    // Opens at the compressor of `current` (the first one when it is not installed).
    explicit CChooseCompressorDlg(const AviCompressOptions& current, QWidget* parent = nullptr);

    // The chosen compressor at the chosen quality.
    AviCompressOptions Chosen() const;

    QComboBox* CompressorList() const { return m_list; }
    QSlider* Quality() const { return m_quality; }

private:
    void OnCompressorChanged();

    std::vector<AviCompressor> m_compressors;
    QComboBox* m_list = nullptr;
    QSlider* m_quality = nullptr;
};

// Runs the choice modally; false when the user cancelled (then `options` is unchanged).
bool ChooseCompressor(QWidget* parent, AviCompressOptions* options);
