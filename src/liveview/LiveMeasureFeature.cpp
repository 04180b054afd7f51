#include "liveview/LiveMeasureFeature.h"

#include "liveview/LiveToolIds.h"
#include "measure/MeasureUnits.h"
#include "widgets/CBitmapButton.h"

#include <QMouseEvent>
#include <QWidget>

namespace {

// The last live frame the capture stored, upright; null when there is none.
QImage StoredFrame(FrameStoreData* store)
{
    // While the preview is small the store holds the camera's bytes: it converts them.
    return store ? store->CopyPicture() : QImage();
}

} // namespace

LiveMeasureFeature::LiveMeasureFeature(const Parts& parts)
    : m_parts(parts), m_calibration(parts.window, parts.nominal, parts.calibrated, parts.calibrationFile)
{
    LiveHostHooks hooks;
    hooks.settings = parts.settings;
    hooks.showPressedButton = [this](int id) { ShowPressed(id); };
    hooks.confineCursor = [this](bool on) { Confine(on); };
    hooks.releaseEffectButtons = parts.releaseEffectButtons;
    m_host = std::make_unique<CLiveMeasureHost>(m_calibration, std::move(hooks));
}

bool LiveMeasureFeature::IsCommand(int id)
{
    return liveids::ToolOfButton(id) != 0 || id == liveids::kCalibrationButton ||
           id == liveids::kSlideCalibrationCommand ||
           (id >= liveids::kUndoCommand && id <= liveids::kDeleteAllCommand);
}

void LiveMeasureFeature::OnCommand(int id)
{
    switch (id) {
    case liveids::kCalibrationButton:
        m_host->StartCalibration();
        break;
    case liveids::kSlideCalibrationCommand:
        CalibrateFromSlide();
        break;
    case liveids::kUndoCommand:
        m_host->Undo();
        break;
    case liveids::kRedoCommand:
        m_host->Redo();
        break;
    case liveids::kDeleteAllCommand:
        m_host->DeleteAll();
        break;
    default:
        m_host->SelectTool(id);
        break;
    }
}

bool LiveMeasureFeature::OnMouseEvent(const QMouseEvent& event)
{
    const QPoint client = m_parts.client->mapFromGlobal(event.globalPosition().toPoint());
    switch (event.type()) {
    case QEvent::MouseMove:
        return m_host->OnMouseMove(client);
    case QEvent::MouseButtonPress:
        if (event.button() == Qt::LeftButton) {
            return m_host->OnLeftButtonDown(client);
        }
        return event.button() == Qt::RightButton && m_host->OnRightButtonDown(client);
    case QEvent::MouseButtonDblClick:
        return event.button() == Qt::LeftButton && m_host->OnLeftDoubleClick(client);
    default:
        return false;
    }
}

GuideScale LiveMeasureFeature::ReadGuideScale()
{
    GuideScale scale;
    if (!m_calibration.ReadMagnification()) {
        return scale;
    }
    scale.magnification = m_calibration.Magnification();
    scale.unit = m_parts.settings ? m_parts.settings().unit : LiveMeasureSettings().unit;
    const CaptureFormat format = m_parts.captureFormat ? m_parts.captureFormat() : CaptureFormat{};
    scale.cameraClass = format.CaptureDeviceClass;
    scale.frame = QSize(format.captureWidth, format.captureHeight);
    return scale;
}

LiveMeasureFeature::Painter LiveMeasureFeature::PreviewPainter() const
{
    return [drawing = m_host->Drawing()](QPainter& painter, double fx, double fy) {
        drawing->PaintPreview(painter, fx, fy);
    };
}

LiveMeasureFeature::Painter LiveMeasureFeature::StillPainter() const
{
    return [drawing = m_host->Drawing()](QPainter& painter, double fx, double fy) {
        drawing->PaintStill(painter, fx, fy);
    };
}

void LiveMeasureFeature::CalibrateFromSlide()
{
    const QImage frame = StoredFrame(m_parts.frameStore);
    const LiveMeasureSettings settings = m_parts.settings();
    m_calibration.CalibrateFromSlide(frame, DisplayFactor(DisplayMode::ActualSize, frame.size()),
                                     settings.unitsPerPixel, settings.unit);
}

void LiveMeasureFeature::ShowPressed(int pressedId)
{
    if (!m_parts.button) {
        return;
    }
    for (const int id : liveids::kLatchingButtons) {
        if (CBitmapButton* button = m_parts.button(id)) {
            button->SetActive(id == pressedId);
        }
    }
}

void LiveMeasureFeature::Confine(bool on)
{
    if (on) {
        m_parts.client->grabMouse();
    } else {
        m_parts.client->releaseMouse();
    }
}
