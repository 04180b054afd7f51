#include "capture/dialogs/ExposureControls.h"

#include "capture/CaptureTexts.h"
#include "capture/dialogs/VideoSettingIds.h"
#include "platform/camera/CameraBackend.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

namespace {
TextKey ModeText(int mode)
{
    switch (mode) {
    case ExposureMode_Auto:
        return txt::ExposureAuto;
    case ExposureMode_Manual:
        return txt::ExposureManual;
    case ExposureMode_ShutterPriority:
        return txt::ExposureShutterPriority;
    default:
        return txt::ExposureAperturePriority;
    }
}

template <class T> T* Named(T* widget, int id)
{
    widget->setObjectName(QString::number(id));
    return widget;
}
} // namespace

ExposureControls::ExposureControls(QGridLayout& grid, int firstRow, ProcAmpSource camera,
                                   std::function<void()> changed)
    : m_camera(std::move(camera)), m_changed(std::move(changed))
{
    QWidget* parent = grid.parentWidget();
    m_modeLabel = Named(new QLabel(parent), IDC_EXPOSURE_LABEL);
    m_mode = Named(new QComboBox(parent), IDC_EXPOSURE_COMBO);
    m_timeLabel = Named(new QLabel(parent), IDC_EXPOSURE_TIME_LABEL);
    m_time = Named(new QSlider(Qt::Horizontal, parent), IDC_EXPOSURE_TIME_SLIDER);
    m_timeEdit = Named(new QLineEdit(parent), IDC_EXPOSURE_TIME_EDIT);
    m_timeEdit->setReadOnly(true);
    grid.addWidget(m_modeLabel, firstRow, 0);
    grid.addWidget(m_mode, firstRow, 1);
    grid.addWidget(m_timeLabel, firstRow + 1, 0);
    grid.addWidget(m_time, firstRow + 1, 1);
    grid.addWidget(m_timeEdit, firstRow + 1, 2);
    QObject::connect(m_mode, &QComboBox::activated, m_mode, [this] { OnMode(); });
    // Sent when the user lets go, or at once for a step from the keyboard.
    QObject::connect(m_time, &QSlider::sliderReleased, m_time, [this] { OnTime(); });
    QObject::connect(m_time, &QSlider::actionTriggered, m_time, [this](int action) {
        if (action != QAbstractSlider::SliderMove) {
            QMetaObject::invokeMethod(
                m_time, [this] { OnTime(); }, Qt::QueuedConnection);
        }
    });
}

void ExposureControls::SetTexts()
{
    m_modeLabel->setText(LoadText(txt::Exposure));
    m_timeLabel->setText(LoadText(txt::ExposureTime));
}

void ExposureControls::Fill()
{
    const std::shared_ptr<VideoProcAmp> camera = m_camera();
    const std::vector<int> modes = camera ? camera->ExposureModes() : std::vector<int>{};
    {
        const QSignalBlocker blocker(m_mode);
        m_mode->clear();
        for (const int mode : modes) {
            m_mode->addItem(LoadText(ModeText(mode)), mode);
        }
        int current = 0;
        if (camera && camera->GetExposureMode(&current) == 0) {
            m_mode->setCurrentIndex(m_mode->findData(current));
        }
    }
    m_modeLabel->setVisible(!modes.empty());
    m_mode->setVisible(!modes.empty());

    int min = 0, max = 0, step = 0, def = 0, flags = 0, value = 0;
    const bool hasTime = camera &&
                         camera->GetRange(VideoProcAmp_Exposure, &min, &max, &step, &def, &flags) == 0 &&
                         camera->Get(VideoProcAmp_Exposure, &value, &flags) == 0;
    if (hasTime) {
        const QSignalBlocker blocker(m_time);
        m_time->setRange(min, max);
        m_time->setSingleStep(step);
        m_time->setValue(value);
        m_timeEdit->setText(QString::number(value));
    }
    for (QWidget* widget : {static_cast<QWidget*>(m_timeLabel), static_cast<QWidget*>(m_time),
                            static_cast<QWidget*>(m_timeEdit)}) {
        widget->setVisible(hasTime);
    }
    RefreshAccess();
}

void ExposureControls::RefreshAccess()
{
    const std::shared_ptr<VideoProcAmp> camera = m_camera();
    const bool writable = camera && camera->Access(VideoProcAmp_Exposure) == PropertyAccess::Writable;
    for (QWidget* widget : {static_cast<QWidget*>(m_timeLabel), static_cast<QWidget*>(m_time),
                            static_cast<QWidget*>(m_timeEdit)}) {
        widget->setEnabled(writable);
    }
}

void ExposureControls::OnMode()
{
    const std::shared_ptr<VideoProcAmp> camera = m_camera();
    if (!camera || m_mode->currentIndex() < 0) {
        return;
    }
    camera->SetExposureMode(m_mode->currentData().toInt());
    Fill(); // shows what the camera took, and the time it has in the new mode
    m_changed();
}

void ExposureControls::OnTime()
{
    const std::shared_ptr<VideoProcAmp> camera = m_camera();
    if (!camera || !m_time->isEnabled()) {
        return;
    }
    int value = m_time->value(), flags = 0;
    camera->Set(VideoProcAmp_Exposure, value, VideoProcAmp_Flags_Manual);
    camera->Get(VideoProcAmp_Exposure, &value, &flags);
    m_timeEdit->setText(QString::number(value));
}
