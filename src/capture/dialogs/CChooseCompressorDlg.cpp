#include "capture/dialogs/CChooseCompressorDlg.h"

#include "capture/dialogs/RecorderSettingIds.h"
#include "platform/text/TextCatalogue.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSlider>

namespace {
// The slider shows percent; the options keep 0 ... 10000.
constexpr int kQualityPerStep = kQualityBest / 100;
} // namespace

CChooseCompressorDlg::CChooseCompressorDlg(const AviCompressOptions& current, QWidget* parent)
    : QDialog(parent), m_compressors(InstalledCompressors())
{
    setWindowTitle(LoadText(txt::ChooseCompressor));
    auto* form = new QFormLayout(this);
    m_list = new QComboBox(this);
    m_list->setObjectName(QString::number(IDC_COMPRESSOR_LIST));
    m_quality = new QSlider(Qt::Horizontal, this);
    m_quality->setObjectName(QString::number(IDC_COMPRESSOR_QUALITY));
    m_quality->setRange(0, kQualityBest / kQualityPerStep);
    form->addRow(LoadText(txt::CompressorName), m_list);
    form->addRow(LoadText(txt::CompressQuality), m_quality);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(LoadText(txt::OK));
    buttons->button(QDialogButtonBox::Cancel)->setText(LoadText(txt::Cancel));
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    const AviCompressor* selected = CompressorOf(current);
    int at = 0;
    for (std::size_t i = 0; i < m_compressors.size(); ++i) {
        m_list->addItem(m_compressors[i].name);
        if (selected != nullptr && selected->encoder == m_compressors[i].encoder) {
            at = int(i);
        }
    }
    m_list->setCurrentIndex(at);
    OnCompressorChanged();
    if (selected != nullptr && selected->takesQuality) {
        m_quality->setValue(int(current.quality) / kQualityPerStep);
    }
    connect(m_list, &QComboBox::currentIndexChanged, this, [this] { OnCompressorChanged(); });
}

void CChooseCompressorDlg::OnCompressorChanged()
{
    const int at = m_list->currentIndex();
    if (at < 0 || std::size_t(at) >= m_compressors.size()) {
        return;
    }
    const AviCompressor& compressor = m_compressors[std::size_t(at)];
    m_quality->setValue(compressor.defaultQuality / kQualityPerStep);
    m_quality->setEnabled(compressor.takesQuality);
}

AviCompressOptions CChooseCompressorDlg::Chosen() const
{
    const int at = m_list->currentIndex();
    if (at < 0 || std::size_t(at) >= m_compressors.size()) {
        return {};
    }
    return OptionsFor(m_compressors[std::size_t(at)], m_quality->value() * kQualityPerStep);
}

bool ChooseCompressor(QWidget* parent, AviCompressOptions* options)
{
    CChooseCompressorDlg dialog(*options, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return false;
    }
    const AviCompressOptions chosen = dialog.Chosen();
    if (!chosen.IsPrepared()) {
        return false;
    }
    *options = chosen;
    return true;
}
