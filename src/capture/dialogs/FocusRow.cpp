#include "capture/dialogs/FocusRow.h"

#include "capture/CaptureTexts.h"
#include "capture/dialogs/VideoSettingIds.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

FocusRow::FocusRow(QWidget* parent, QGridLayout* layout, int row, CameraSource camera)
    : QObject(parent), m_camera(std::move(camera))
{
    m_label = new QLabel(LoadText(txt::Focus), parent);
    m_label->setObjectName(QString::number(IDC_FOCUS_LABEL));
    m_slider = new QSlider(Qt::Horizontal, parent);
    m_slider->setObjectName(QString::number(IDC_FOCUS_SLIDER));
    m_edit = new QLineEdit(parent);
    m_edit->setObjectName(QString::number(IDC_FOCUS_EDIT));
    m_edit->setReadOnly(true);
    m_edit->setMaximumWidth(m_edit->fontMetrics().horizontalAdvance(QStringLiteral("-00000")) * 2);
    layout->addWidget(m_label, row, 0);
    layout->addWidget(m_slider, row, 1);
    layout->addWidget(m_edit, row, 2);
    connect(m_slider, &QSlider::valueChanged, this, &FocusRow::Apply);
    Fill(nullptr);
}

void FocusRow::Fill(VideoProcAmp* camera)
{
    int minimum = 0, maximum = 0, step = 0, defaultValue = 0, flags = 0, value = 0;
    const bool has =
        camera &&
        camera->GetRange(CameraControl_Focus, &minimum, &maximum, &step, &defaultValue, &flags) == 0 &&
        minimum < maximum && camera->Get(CameraControl_Focus, &value, &flags) == 0;
    for (QWidget* widget :
         {static_cast<QWidget*>(m_label), static_cast<QWidget*>(m_slider), static_cast<QWidget*>(m_edit)}) {
        widget->setVisible(has);
    }
    if (!has) {
        return;
    }
    const QSignalBlocker blocker(m_slider);
    m_slider->setRange(minimum, maximum);
    m_slider->setSingleStep(step);
    m_slider->setPageStep(std::max(step, (maximum - minimum) / 10));
    m_slider->setValue(value);
    m_edit->setText(QString::number(value));
}

bool FocusRow::IsShown() const
{
    return !m_slider->isHidden();
}

void FocusRow::Apply(int value)
{
    if (const std::shared_ptr<VideoProcAmp> camera = m_camera()) {
        camera->Set(CameraControl_Focus, value, VideoProcAmp_Flags_Manual);
    }
    m_edit->setText(QString::number(value));
}
