#include "capture/dialogs/CRecorderSettingDlg.h"

#include "capture/CaptureResolutions.h"
#include "capture/CaptureState.h"
#include "capture/CaptureTexts.h"
#include "capture/VideoRecorder.h"
#include "capture/dialogs/RecorderSettingIds.h"
#include "platform/desktop/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {
// Texts of the dialog hold at most this many characters.
constexpr int kRecorderTextChars = 128;
constexpr QSize kOpeningSize(640, 480);

template <class T> T* Named(T* widget, int id)
{
    widget->setObjectName(QString::number(id));
    return widget;
}
} // namespace

CRecorderSettingDlg::CRecorderSettingDlg(VideoRecorder& recorder, QString videoFolder, Parts parts,
                                         QWidget* parent)
    : QDialog(parent), m_recorder(recorder), m_videoFolder(std::move(videoFolder)), m_parts(std::move(parts))
{
    setObjectName(QString::number(IDD_RECORDER_SETTING));
    BuildControls();
    EnableButtons(false);
    if (m_parts.format) {
        const CaptureFormat format = m_parts.format();
        m_deviceClass = format.CaptureDeviceClass;
        m_sizeBefore = QSize(format.captureWidth, format.captureHeight);
    }
    for (const QSize size : ResolutionsOfClass(m_deviceClass)) {
        m_sizes->addItem(ResolutionText(size));
    }
    m_sizes->setCurrentIndex(ResolutionItemOfWidth(m_deviceClass, kOpeningSize.width()));
    if (m_parts.setCaptureSize && m_parts.setCaptureSize(kOpeningSize.width(), kOpeningSize.height())) {
        EnableButtons(true);
    }
}

void CRecorderSettingDlg::BuildControls()
{
    setWindowTitle(LoadText(txt::RecorderSetting, kRecorderTextChars));
    auto* grid = new QGridLayout(this);
    m_rate = Named(new QLineEdit(QString::number(kRecordRateInitial), this), IDC_RECORD_FRAME_RATE);
    m_limit = Named(new QLineEdit(QString::number(kRecordLimitInitial), this), IDC_RECORD_TIME_LIMIT);
    m_limitBox =
        Named(new QCheckBox(LoadText(txt::TimerLimit, kRecorderTextChars), this), IDC_RECORD_LIMIT_CHECK);
    m_limitBox->setChecked(true);
    m_sizes = Named(new QComboBox(this), IDC_RECORD_SIZE);
    grid->addWidget(
        Named(new QLabel(LoadText(txt::FrameRate, kRecorderTextChars), this), IDC_RECORD_RATE_LABEL), 0, 0);
    grid->addWidget(m_rate, 0, 1);
    grid->addWidget(m_limitBox, 1, 0);
    grid->addWidget(m_limit, 1, 1);
    grid->addWidget(
        Named(new QLabel(LoadText(txt::Second, kRecorderTextChars), this), IDC_RECORD_SECOND_LABEL), 1, 2);
    grid->addWidget(m_sizes, 2, 0, 1, 3);
    auto* buttons = new QHBoxLayout;
    const std::pair<int, TextKey> texts[] = {
        {IDC_RECORD_COMPRESS, txt::Compress}, {IDC_RECORD_OK, txt::OK}, {IDC_RECORD_CANCEL, txt::Cancel}};
    for (const auto& [id, key] : texts) {
        auto* button = Named(new QPushButton(LoadText(key, kRecorderTextChars), this), id);
        button->setAutoDefault(false);
        button->setDefault(id == IDC_RECORD_OK);
        connect(button, &QPushButton::clicked, this, [this, id = id] { OnCommand(id); });
        buttons->addWidget(button);
    }
    grid->addLayout(buttons, 3, 0, 1, 3);
    connect(m_limitBox, &QCheckBox::clicked, this, [this] { OnCommand(IDC_RECORD_LIMIT_CHECK); });
    connect(m_sizes, &QComboBox::activated, this, [this] { OnCommand(IDC_RECORD_SIZE); });
}

QPushButton* CRecorderSettingDlg::Button(int id) const
{
    return findChild<QPushButton*>(QString::number(id));
}

void CRecorderSettingDlg::EnableButtons(bool enable)
{
    for (const int id : {IDC_RECORD_OK, IDC_RECORD_CANCEL, IDC_RECORD_COMPRESS}) {
        Button(id)->setEnabled(enable);
    }
}

int CRecorderSettingDlg::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CRecorderSettingDlg::OnCommand(int id)
{
    switch (id) {
    case IDC_RECORD_LIMIT_CHECK:
        m_limitTicked = m_limitBox->isChecked();
        m_limit->setEnabled(m_limitTicked);
        break;
    case IDC_RECORD_SIZE:
        OnSizeChosen();
        break;
    case IDC_RECORD_COMPRESS:
        OnCompress();
        break;
    case IDC_RECORD_OK:
        OnOk();
        break;
    case IDC_RECORD_CANCEL:
        OnCancel();
        break;
    default:
        break;
    }
}

void CRecorderSettingDlg::OnSizeChosen()
{
    const std::vector<QSize>& sizes = ResolutionsOfClass(m_deviceClass);
    const int item = m_sizes->currentIndex();
    if (item < 0 || std::size_t(item) >= sizes.size() || !m_parts.setCaptureSize) {
        return;
    }
    const QSize size = sizes[std::size_t(item)];
    if (m_parts.setCaptureSize(size.width(), size.height())) {
        EnableButtons(true);
    }
}

void CRecorderSettingDlg::OnCompress()
{
    m_compressorChosen = true;
    AviCompressOptions options = m_recorder.CompressorOptions();
    if (m_parts.chooseCompressor && m_parts.chooseCompressor(&options)) {
        const QSize size = FrameSize();
        m_recorder.PrepareCompressor(m_videoFolder, options, size.width(), size.height());
    }
}

bool CRecorderSettingDlg::ReadField(QLineEdit* edit, int minimum, int maximum, int* value)
{
    bool ok = false;
    const int number = edit->text().trimmed().toInt(&ok);
    if (ok && number >= minimum && number <= maximum) {
        *value = number;
        return true;
    }
    ShowMessage(this, LoadText(txt::IntegerRange).arg(minimum).arg(maximum), LoadText(txt::MsgTitle),
                MB_OK | MB_ICONWARNING);
    edit->setFocus();
    edit->selectAll();
    return false;
}

void CRecorderSettingDlg::OnOk()
{
    if (!m_compressorChosen) {
        const QSize size = FrameSize();
        m_recorder.PrepareDefaultCompressor(m_videoFolder, size.width(), size.height());
    }
    m_compressorChosen = false;
    if (!ReadField(m_rate, kRecordRateMin, kRecordRateMax, &m_frameRate) ||
        !ReadField(m_limit, kRecordLimitMin, kRecordLimitMax, &m_limitSeconds)) {
        return;
    }
    accept();
}

QSize CRecorderSettingDlg::FrameSize() const
{
    if (!m_parts.format) {
        return {};
    }
    const CaptureFormat format = m_parts.format();
    return {format.captureWidth, format.captureHeight};
}

void CRecorderSettingDlg::OnCancel()
{
    if (m_parts.setCaptureSize && m_sizeBefore.isValid()) {
        m_parts.setCaptureSize(m_sizeBefore.width(), m_sizeBefore.height());
    }
    QDialog::reject();
}

void CRecorderSettingDlg::reject()
{
    // Escape and the window's close box cancel like the Cancel button.
    OnCancel();
}
