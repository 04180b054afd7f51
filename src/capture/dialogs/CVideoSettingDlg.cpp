#include "capture/dialogs/CVideoSettingDlg.h"

#include "capture/CaptureResolutions.h"
#include "capture/CaptureSession.h"
#include "capture/CaptureState.h"
#include "capture/CaptureTexts.h"
#include "capture/PicturePropertyTable.h"
#include "capture/PictureSettingsStore.h"
#include "capture/dialogs/ExposureControls.h"
#include "capture/dialogs/FocusRow.h"
#include "capture/dialogs/VideoSettingIds.h"
#include "platform/desktop/MessageBox.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int kDefaultButtonChars = 16;
constexpr int kDefaultFlags = 1;
constexpr int kStepBarMiddle = 1; // the bar rests here so both arrows always fire
constexpr int kSliderWidth = 220;

QPointer<CVideoSettingDlg> g_openDialog;

QString ValueText(int value)
{
    return QString::asprintf("%3d", value);
}

template <class T> T* Named(T* widget, int id)
{
    widget->setObjectName(QString::number(id));
    return widget;
}

// The graph hands out the camera's properties either as a shared handle or as a
// pointer it owns.
template <class Graph> std::shared_ptr<VideoProcAmp> ProcAmpOf(Graph& graph)
{
    if constexpr (requires(std::shared_ptr<VideoProcAmp>* shared) { graph.GetVideoProcAmp(shared); }) {
        std::shared_ptr<VideoProcAmp> shared;
        graph.GetVideoProcAmp(&shared);
        return shared;
    } else {
        VideoProcAmp* raw = nullptr;
        graph.GetVideoProcAmp(&raw);
        return std::shared_ptr<VideoProcAmp>(std::shared_ptr<void>(), raw);
    }
}

} // namespace

CVideoSettingDlg::CVideoSettingDlg(CaptureSession& session, QWidget* parent)
    : QDialog(parent), m_session(session)
{
    setObjectName(QString::number(IDD_VIDEO_SETTING));
    BuildControls();
    g_openDialog = this;
    FillDialog();
}

CVideoSettingDlg::~CVideoSettingDlg()
{
    if (g_openDialog == this) {
        g_openDialog = nullptr;
    }
}

CVideoSettingDlg* CVideoSettingDlg::OpenDialog()
{
    return g_openDialog.data();
}

void CVideoSettingDlg::BuildControls()
{
    auto* layout = new QVBoxLayout(this);
    auto* deviceGroup = Named(new QGroupBox(this), IDC_DEVICE_GROUP);
    auto* deviceLayout = new QHBoxLayout(deviceGroup);
    auto* deviceLabel = Named(new QLabel(deviceGroup), IDC_DEVICE_LABEL);
    m_device = Named(new QComboBox(deviceGroup), IDC_DEVICE_COMBO);
    m_device->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    deviceLayout->addWidget(deviceLabel);
    deviceLayout->addWidget(m_device, 1);
    layout->addWidget(deviceGroup);

    auto* settingGroup = Named(new QGroupBox(this), IDC_SETTING_GROUP);
    auto* settingLayout = new QGridLayout(settingGroup);
    auto* formatLabel = Named(new QLabel(settingGroup), IDC_FORMAT_LABEL);
    auto* resolutionLabel = Named(new QLabel(settingGroup), IDC_RESOLUTION_LABEL);
    m_format = Named(new QComboBox(settingGroup), IDC_FORMAT_COMBO);
    m_resolution = Named(new QComboBox(settingGroup), IDC_RESOLUTION_COMBO);
    settingLayout->addWidget(formatLabel, 0, 0);
    settingLayout->addWidget(m_format, 0, 1);
    settingLayout->addWidget(resolutionLabel, 1, 0);
    settingLayout->addWidget(m_resolution, 1, 1);
    layout->addWidget(settingGroup);
    // Combo handlers run on the user's choices only, never on the dialog's own.
    connect(m_device, &QComboBox::activated, this, [this] { OnCommand(IDC_DEVICE_COMBO); });
    connect(m_format, &QComboBox::activated, this, [this] { OnCommand(IDC_FORMAT_COMBO); });
    connect(m_resolution, &QComboBox::activated, this, [this] { OnCommand(IDC_RESOLUTION_COMBO); });

    auto* propertyGroup = Named(new QGroupBox(this), IDC_PROPERTY_GROUP);
    auto* propertyLayout = new QGridLayout(propertyGroup);
    const PicturePropertyRows& table = PicturePropertyTable();
    for (int row = 0; row < kPicturePropertyRows; ++row) {
        const PictureProperty& property = table[size_t(row)];
        RowControls& controls = m_rows[size_t(row)];
        controls.label = Named(new QLabel(propertyGroup), property.labelId);
        controls.slider = Named(new QSlider(Qt::Horizontal, propertyGroup), property.sliderId);
        controls.slider->setMinimumWidth(kSliderWidth);
        controls.slider->installEventFilter(this);
        connect(controls.slider, &QSlider::sliderReleased, this, [this, row] { OnSliderNotice(row); });
        controls.edit = Named(new QLineEdit(propertyGroup), property.editId);
        controls.edit->setReadOnly(true);
        controls.edit->setMaximumWidth(
            controls.edit->fontMetrics().horizontalAdvance(QStringLiteral("-00000")) * 2);
        const int barId = IDC_STEP_BAR_FIRST + row;
        controls.stepBar = Named(new QScrollBar(Qt::Vertical, propertyGroup), barId);
        controls.stepBar->setRange(0, 2 * kStepBarMiddle);
        controls.stepBar->setValue(kStepBarMiddle);
        controls.stepBar->setFixedHeight(controls.edit->sizeHint().height());
        connect(controls.stepBar, &QScrollBar::actionTriggered, this, [this, barId](int action) {
            if (action == QAbstractSlider::SliderSingleStepSub ||
                action == QAbstractSlider::SliderSingleStepAdd) {
                OnStepBar(barId, action == QAbstractSlider::SliderSingleStepSub);
            }
        });
        connect(controls.stepBar, &QScrollBar::valueChanged, controls.stepBar, [bar = controls.stepBar] {
            const QSignalBlocker blocker(bar);
            bar->setValue(kStepBarMiddle);
        });
        propertyLayout->addWidget(controls.label, row, 0);
        propertyLayout->addWidget(controls.slider, row, 1);
        propertyLayout->addWidget(controls.edit, row, 2);
        propertyLayout->addWidget(controls.stepBar, row, 3);
    }
    m_exposure = std::make_unique<ExposureControls>(
        *propertyLayout, kPicturePropertyRows, [this] { return ProcAmp(); }, [this] { RefreshAccess(); });
    m_focus = new FocusRow(propertyGroup, propertyLayout, kPicturePropertyRows + ExposureControls::kRows,
                           [this] { return ProcAmp(); });
    layout->addWidget(propertyGroup);

    auto* buttons = new QHBoxLayout;
    for (const int id : {IDC_VIDEO_DEFAULT, IDC_VIDEO_OK, IDC_VIDEO_EXIT}) {
        auto* button = Named(new QPushButton(this), id);
        connect(button, &QPushButton::clicked, this, [this, id] { OnCommand(id); });
        buttons->addWidget(button);
    }
    layout->addLayout(buttons);
    SetTexts();
}

void CVideoSettingDlg::SetTexts()
{
    setWindowTitle(LoadText(txt::VideoSetting));
    const std::pair<int, TextKey> texts[] = {
        {IDC_DEVICE_LABEL, txt::DeviceName},
        {IDC_DEVICE_GROUP, txt::VideoCaptionDevice},
        {IDC_SETTING_GROUP, txt::DeviceSetting},
        {IDC_FORMAT_LABEL, txt::VideoNorm},
        {IDC_RESOLUTION_LABEL, txt::VideoResolution},
        {IDC_PROPERTY_GROUP, txt::VideoProperies},
        {IDC_VIDEO_EXIT, txt::Exit},
        {IDC_VIDEO_OK, txt::OK_VideoSetting},
    };
    for (const auto& [id, key] : texts) {
        QWidget* widget = findChild<QWidget*>(QString::number(id));
        const QString text = LoadText(key);
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            label->setText(text);
        } else if (auto* group = qobject_cast<QGroupBox*>(widget)) {
            group->setTitle(text);
        } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
            button->setText(text);
        }
    }
    findChild<QPushButton*>(QString::number(IDC_VIDEO_DEFAULT))
        ->setText(LoadText(txt::Default, kDefaultButtonChars));
    m_exposure->SetTexts();
}

int CVideoSettingDlg::DoModal()
{
    return exec() == QDialog::Accepted ? IDOK : IDCANCEL;
}

void CVideoSettingDlg::FillDialog()
{
    m_device->clear();
    m_format->clear();
    m_resolution->clear();
    const std::shared_ptr<VideoProcAmp> camera = ProcAmp();
    m_exposure->Fill();
    m_focus->Fill(camera.get());
    if (!camera) {
        return;
    }
    FillProperties(*camera);
    FillDevices();
    FillFormats();
    FillResolutions();
}

std::shared_ptr<VideoProcAmp> CVideoSettingDlg::ProcAmp() const
{
    return ProcAmpOf(m_session.Graph());
}

void CVideoSettingDlg::FillProperties(VideoProcAmp& camera)
{
    PicturePropertyRows& table = PicturePropertyTable();
    for (int row = 0; row < kPicturePropertyRows; ++row) {
        PictureProperty& property = table[size_t(row)];
        ReadPictureProperty(camera, property);
        property.label = LoadText(property.key, kPropertyTextChars);
        RowControls& controls = m_rows[size_t(row)];
        const QSignalBlocker blocker(controls.slider);
        controls.slider->setRange(property.minimum, property.maximum);
        controls.slider->setSingleStep(std::max(1, property.step));
        controls.slider->setValue(property.value);
        controls.edit->setText(ValueText(property.value));
        controls.label->setText(property.label);
        for (QWidget* widget :
             {static_cast<QWidget*>(controls.slider), static_cast<QWidget*>(controls.label),
              static_cast<QWidget*>(controls.edit), static_cast<QWidget*>(controls.stepBar)}) {
            widget->setVisible(true);
        }
    }
    RefreshAccess();
}

void CVideoSettingDlg::RefreshAccess()
{
    const std::shared_ptr<VideoProcAmp> camera = ProcAmp();
    for (int row = 0; row < kPicturePropertyRows; ++row) {
        const int property = PicturePropertyTable()[size_t(row)].property;
        const bool writable = camera && camera->Access(property) == PropertyAccess::Writable;
        RowControls& controls = m_rows[size_t(row)];
        for (QWidget* widget :
             {static_cast<QWidget*>(controls.slider), static_cast<QWidget*>(controls.label),
              static_cast<QWidget*>(controls.edit), static_cast<QWidget*>(controls.stepBar)}) {
            widget->setEnabled(writable);
        }
    }
    m_exposure->RefreshAccess();
}

void CVideoSettingDlg::FillDevices()
{
    const CaptureDeviceTable& devices = m_session.Graph().DeviceTable();
    for (int row = 0; row < kCaptureDeviceRows; ++row) {
        const CaptureDeviceEntry& entry = devices[size_t(row)];
        if (entry.hardwareIdIndex < 0 || entry.friendlyName.isEmpty()) {
            continue;
        }
        m_device->addItem(entry.friendlyName, row);
        if (entry.selected) {
            m_device->setCurrentIndex(m_device->count() - 1);
        }
    }
}

void CVideoSettingDlg::FillFormats()
{
    m_format->addItems({QStringLiteral("YUY2"), QStringLiteral("MJPEG")});
    const bool mjpg = m_session.State().MjpgForClass();
    m_format->setCurrentIndex(mjpg ? kFormatMjpegItem : kFormatYuy2Item);
    m_format->setEnabled(true);
}

void CVideoSettingDlg::FillResolutions()
{
    const int deviceClass = m_session.Format().CaptureDeviceClass;
    for (const QSize size : ResolutionsOfClass(deviceClass)) {
        m_resolution->addItem(ResolutionText(size));
    }
    m_resolution->setCurrentIndex(
        ResolutionItemOfWidth(deviceClass, m_session.State().FrameStore.width.load()));
}

void CVideoSettingDlg::OnCommand(int id)
{
    switch (id) {
    case IDC_DEVICE_COMBO:
        OnDeviceChanged();
        break;
    case IDC_FORMAT_COMBO:
        OnFormatChanged();
        break;
    case IDC_RESOLUTION_COMBO:
        ApplyResolution();
        break;
    case IDC_VIDEO_DEFAULT:
        OnDefault();
        break;
    case IDC_VIDEO_OK:
        ApplyResolution();
        accept();
        break;
    case IDC_VIDEO_EXIT:
        reject();
        break;
    default:
        break;
    }
}

void CVideoSettingDlg::SetRowValue(int row, int value, int flags)
{
    PictureProperty& property = PicturePropertyTable()[size_t(row)];
    property.value = value;
    const std::shared_ptr<VideoProcAmp> camera = ProcAmp();
    if (camera && camera->Set(property.property, value, flags) == 0) {
        StorePictureValue(m_session.Graph().cameraIdentity(), row, value);
    }
    m_rows[size_t(row)].edit->setText(ValueText(value));
    RefreshAccess();
}

void CVideoSettingDlg::OnSliderNotice(int row)
{
    if (row < 0 || row >= kPicturePropertyRows || !ProcAmp() || !m_rows[size_t(row)].slider->isEnabled()) {
        return;
    }
    SetRowValue(row, m_rows[size_t(row)].slider->value(), PicturePropertyTable()[size_t(row)].flags);
}

void CVideoSettingDlg::OnStepBar(int barId, bool lineUp)
{
    const int row = barId - IDC_STEP_BAR_FIRST;
    if (row < 0 || row >= kPicturePropertyRows || !ProcAmp()) {
        return;
    }
    // The driver rounds every value to the control's step, so a move smaller than
    // the step would never change the picture.
    QSlider* slider = m_rows[size_t(row)].slider;
    const int step = std::max(1, PicturePropertyTable()[size_t(row)].step);
    const long long wanted = (long long)slider->value() + (lineUp ? step : -step);
    const int position = int(std::clamp<long long>(wanted, slider->minimum(), slider->maximum()));
    if (position == slider->value()) {
        return;
    }
    {
        const QSignalBlocker blocker(slider);
        slider->setValue(position);
    }
    SetRowValue(row, position, PicturePropertyTable()[size_t(row)].flags);
}

void CVideoSettingDlg::OnDeviceChanged()
{
    if (m_device->currentIndex() < 0) {
        return;
    }
    m_session.Graph().SelectDevice(m_device->currentData().toInt());
    FillDialog();
}

void CVideoSettingDlg::OnFormatChanged()
{
    m_session.SetCompression(m_format->currentIndex() != kFormatYuy2Item);
}

void CVideoSettingDlg::ApplyResolution()
{
    QSize size;
    if (!ResolutionForSelection(m_session.Format().CaptureDeviceClass, m_resolution->currentIndex(), size)) {
        return;
    }
    // Applied even when unchanged: the graph is rebuilt and CapConfig.dat rewritten.
    if (m_session.SetCaptureSize(size.width(), size.height()) == SizeChange::RefusedWhileRecording) {
        ShowMessage(this, LoadText(txt::RecordSizeLocked), LoadText(txt::MsgTitle), MB_OK | MB_ICONWARNING);
        FillDialog();
    }
}

void CVideoSettingDlg::OnDefault()
{
    if (!ProcAmp()) {
        return;
    }
    PicturePropertyRows& table = PicturePropertyTable();
    for (int row = 0; row < kPicturePropertyRows; ++row) {
        PictureProperty& property = table[size_t(row)];
        property.flags = kDefaultFlags;
        {
            const QSignalBlocker blocker(m_rows[size_t(row)].slider);
            m_rows[size_t(row)].slider->setValue(property.defaultValue);
        }
        SetRowValue(row, property.defaultValue, kDefaultFlags);
    }
    ForgetPictureValues(m_session.Graph().cameraIdentity());
    m_resolution->setCurrentIndex(LargestResolutionItem(m_session.Format().CaptureDeviceClass));
    // The format combo shows the class's current choice again; the format itself is
    // left as it is.
    const bool mjpg = m_session.State().MjpgForClass();
    if (m_format->count() > 0) {
        m_format->setCurrentIndex(mjpg ? kFormatMjpegItem : kFormatYuy2Item);
    }
    ApplyResolution();
}

bool CVideoSettingDlg::event(QEvent* event)
{
    if (event->type() == kDeviceNoticeEvent) {
        FillDialog();
        return true;
    }
    return QDialog::event(event);
}

bool CVideoSettingDlg::eventFilter(QObject* watched, QEvent* event)
{
    // Each repaint of a slider sends its position again, as the camera may have
    // been replaced or reset meanwhile.
    if (event->type() == QEvent::Paint) {
        for (int row = 0; row < kPicturePropertyRows; ++row) {
            if (watched == m_rows[size_t(row)].slider) {
                OnSliderNotice(row);
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}
