#include "photo/CMeasureCanvas.h"

#include "measure/CCalibrationDlg.h"
#include "measure/MeasureTexts.h"
#include "photo/PhotoIds.h"
#include "photo/PhotoPicture.h"
#include "platform/desktop/MessageBox.h"
#include "widgets/CBitmapButton.h"
#include "widgets/WindowTimers.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>
#include <cmath>

using namespace photo;

namespace {

constexpr QRgb kEraseGrey = qRgb(128, 128, 128);

// Adjust buttons: 25 x 25 at x 10, one below the other every 30 pixels.
constexpr int kAdjustX = 10;
constexpr int kAdjustTop = 10;
constexpr int kAdjustStep = 30;
constexpr QSize kAdjustSize(25, 25);
constexpr int kAdjustPeriods[kAdjustButtons] = {60, 60, 60, 100, 60, 60};

// Number of measurements at the last change notice; one canvas at a time.
int g_lastNotifiedCount = 0;

QCursor CanvasCursor()
{
    // 32 x 32 crosshair: one-pixel black lines bordered in white, hot spot (15, 15).
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(Qt::white);
    painter.drawRect(14, 0, 2, 31);
    painter.drawRect(0, 14, 31, 2);
    painter.setPen(Qt::black);
    painter.drawLine(15, 0, 15, 31);
    painter.drawLine(0, 15, 31, 15);
    painter.end();
    return QCursor(pixmap, 15, 15);
}

int RunCalibration(QWidget* parent, const QString& unit)
{
    CCalibrationDlg dialog(unit, parent);
    dialog.setEnabled(true);
    return dialog.DoModal();
}

} // namespace

CMeasureCanvas::CMeasureCanvas(const CanvasSetup& setup, QWidget* parent)
    : QWidget(parent), m_setup(setup), m_mode(setup.mode), m_zoom(setup.zoom > 0 ? setup.zoom : 1.0),
      m_magnification(setup.magnification), m_editor(*this, SharedPhotoList())
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFocusPolicy(Qt::ClickFocus);
    setCursor(CanvasCursor());
    if (m_setup.settings) {
        m_stored = m_setup.settings();
    }
    m_timers = new WindowTimers(this, [this](int id) { OnTimer(id); });
    m_hbar = new QScrollBar(Qt::Horizontal, this);
    m_vbar = new QScrollBar(Qt::Vertical, this);
    m_hbar->hide();
    m_vbar->hide();
    connect(m_hbar, &QScrollBar::valueChanged, this, [this] { OnScroll(); });
    connect(m_vbar, &QScrollBar::valueChanged, this, [this] { OnScroll(); });
    m_editor.SetTool(setup.tool, ToolMode::Measuring);
    Load(setup.path);
}

CMeasureCanvas::~CMeasureCanvas()
{
    ReleaseCursor();
    PhotoMeasureList& list = SharedPhotoList();
    list.ResetSerial();
    list.Clear();
    m_picture.Destroy();
}

void CMeasureCanvas::Load(const QString& path)
{
    m_baseName = PictureBaseName(path);
    m_caption = PictureCaption(m_baseName);
    m_tag = PictureMagnificationTag(path);
    if (PictureTypeOf(path) == CXIMAGE_FORMAT_UNKNOWN) {
        return; // not a picture name: nothing to load, nothing to say
    }
    if (!LoadPicture(path, m_picture)) {
        m_picture.Destroy();
        ShowMessage(Owner(), LoadText(txt::OpenFileFail), LoadText(txt::MsgTitle), MB_OK);
        return;
    }
    m_pictureSize = QSize(int(m_picture.GetWidth()), int(m_picture.GetHeight()));
    m_displaySize = FittedDisplaySize(m_pictureSize);
    m_saveRatio = PictureSaveRatio(m_mode, m_pictureSize);
    m_surface = QImage(m_mode == DisplayMode::Fitted ? m_displaySize : m_pictureSize, QImage::Format_RGB32);
    if (m_surface.isNull()) {
        m_picture.Destroy(); // too large to hold
        return;
    }
    if (m_mode == DisplayMode::ActualSize) {
        m_scroll = QPoint();
        SetUpScrollBars();
    }
}

QSize CMeasureCanvas::ClientSize() const
{
    return QSize(width() - (m_vbar->isHidden() ? 0 : m_vbar->width()),
                 height() - (m_hbar->isHidden() ? 0 : m_hbar->height()));
}

void CMeasureCanvas::SetUpScrollBars()
{
    if (m_mode != DisplayMode::ActualSize || !HasPicture()) {
        return;
    }
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int shownWidth = int(m_pictureSize.width() * m_zoom);
    const int shownHeight = int(m_pictureSize.height() * m_zoom);
    // A bar takes room from the other direction, so decide both together.
    bool horizontal = shownWidth > width();
    bool vertical = shownHeight > height() - (horizontal ? extent : 0);
    horizontal = shownWidth > width() - (vertical ? extent : 0);
    const QSize client(width() - (vertical ? extent : 0), height() - (horizontal ? extent : 0));
    m_hbar->setGeometry(0, height() - extent, client.width(), extent);
    m_vbar->setGeometry(width() - extent, 0, extent, client.height());
    m_hbar->setVisible(horizontal);
    m_vbar->setVisible(vertical);
    m_hbar->setRange(0, horizontal ? shownWidth - client.width() : 0);
    m_vbar->setRange(0, vertical ? shownHeight - client.height() : 0);
    m_hbar->setPageStep(std::max(1, client.width()));
    m_vbar->setPageStep(std::max(1, client.height()));
    // One arrow click moves by the size of a scroll arrow.
    m_hbar->setSingleStep(extent);
    m_vbar->setSingleStep(extent);
    OnScroll();
}

void CMeasureCanvas::OnScroll()
{
    m_scroll = QPoint(int(m_hbar->value() / m_zoom), int(m_vbar->value() / m_zoom));
    update();
}

void CMeasureCanvas::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    SetUpScrollBars();
}

QRect CMeasureCanvas::VisiblePicture() const
{
    const QSize client = ClientSize();
    const QSize shown = m_mode == DisplayMode::Fitted ? m_displaySize
                                                      : QSize(int(m_pictureSize.width() * m_zoom),
                                                              int(m_pictureSize.height() * m_zoom));
    return QRect(0, 0, std::min(client.width(), shown.width()), std::min(client.height(), shown.height()));
}

EditorSettings CMeasureCanvas::Settings() const
{
    EditorSettings settings;
    settings.style.penWidth = m_stored.penWidth;
    settings.style.penStyle = m_stored.penStyle;
    settings.style.lineColor = m_stored.lineColor;
    settings.style.labelColor = m_stored.labelColor;
    settings.style.labelFont = m_stored.labelFont;
    settings.style.labelFontSize = m_stored.labelFontSize;
    settings.style.textColor = m_stored.textColor;
    settings.style.textFont = m_stored.textFont;
    PhotoDrawingSettings now = m_setup.settings ? m_setup.settings() : m_stored;
    settings.values.unit = now.unit;
    settings.values.decimals = now.decimals;
    settings.values.magnification = m_magnification;
    settings.values.scale =
        unitsPerPixel(now.unit, now.cameraClass, m_pictureSize) * PictureDisplayFactor(m_mode, m_pictureSize);
    return settings;
}

void CMeasureCanvas::SetPen(int width, int style, ColorRef lineColor, ColorRef labelColor)
{
    m_stored.penWidth = width;
    m_stored.penStyle = style;
    m_stored.lineColor = lineColor & 0xFFFFFF;
    m_stored.labelColor = labelColor & 0xFFFFFF;
}

void CMeasureCanvas::SetLabelFont(const LogFontRecord& font, int fontSize)
{
    m_stored.labelFont = font;
    m_stored.labelFontSize = fontSize;
}

void CMeasureCanvas::SetTextStyle(ColorRef color, const LogFontRecord& font)
{
    m_stored.textColor = color;
    m_stored.textFont = font;
}

void CMeasureCanvas::ComposeSurface(const QRect& area)
{
    QPainter painter(&m_surface);
    painter.setClipRect(area);
    const QSize pictureArea = m_mode == DisplayMode::Fitted ? m_displaySize : m_pictureSize;
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    m_picture.Stretch(&painter, -m_scroll.x(), -m_scroll.y(), pictureArea.width(), pictureArea.height());
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    ScreenRenderInput input;
    input.scroll = m_scroll;
    input.clientSize = m_mode == DisplayMode::Fitted ? m_displaySize : ClientSize();
    input.pending.points = &m_editor.PendingPoints();
    input.pending.valueTexts = &m_editor.PendingValues();
    input.pending.penStyle = m_stored.penStyle;
    input.pending.penWidth = m_stored.penWidth;
    input.pending.lineColor = m_stored.lineColor;
    input.labelFont = m_stored.labelFont;
    input.labelColor = m_stored.labelColor;
    input.caption = m_caption;
    m_renderer.DrawScreen(painter, SharedPhotoList(), input);
}

void CMeasureCanvas::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor(kEraseGrey));
    if (!HasPicture()) {
        return;
    }
    const double scale = m_mode == DisplayMode::Fitted ? 1.0 : m_zoom;
    const QRect area = QRectF(QRectF(event->rect()).topLeft() / scale, QRectF(event->rect()).size() / scale)
                           .toAlignedRect()
                           .intersected(m_surface.rect());
    ComposeSurface(area);
    NotifyCountChange();
    const QSize target = m_mode == DisplayMode::Fitted ? m_displaySize
                                                       : QSize(int(m_pictureSize.width() * m_zoom),
                                                               int(m_pictureSize.height() * m_zoom));
    painter.setClipRect(QRect(QPoint(0, 0), ClientSize()).intersected(event->rect()));
    painter.drawImage(QRect(QPoint(0, 0), target), m_surface);
    DrawFeedback(painter, m_editor.Marks(), false);
    DrawFeedback(painter, m_editor.Band(), true);
}

void CMeasureCanvas::NotifyCountChange()
{
    const int count = SharedPhotoList().Count();
    if (count != g_lastNotifiedCount) {
        g_lastNotifiedCount = count;
        NotifyChanged();
    }
}

void CMeasureCanvas::NotifyChanged()
{
    if (parentWidget() != nullptr) {
        QCoreApplication::postEvent(parentWidget(), new QEvent(WM_CANVAS_CHANGED));
    }
}

void CMeasureCanvas::NotifyCalibrated()
{
    if (parentWidget() != nullptr) {
        QCoreApplication::postEvent(parentWidget(), new QEvent(WM_PHOTO_CALIBRATED));
    }
}

bool CMeasureCanvas::RunCalibrationDialog(const QString& unit)
{
    setEnabled(false);
    const auto run = m_setup.calibrationDialog ? m_setup.calibrationDialog : RunCalibration;
    const int result = run(Owner(), unit);
    setEnabled(true);
    return result == IDOK;
}

QPoint CMeasureCanvas::Confined(QPoint p) const
{
    if (!m_editor.IsConfined()) {
        return p;
    }
    const QRect area = m_editor.Confinement();
    return QPoint(std::clamp(p.x(), area.left(), std::max(area.left(), area.right())),
                  std::clamp(p.y(), area.top(), std::max(area.top(), area.bottom())));
}

void CMeasureCanvas::ConfineCursor(const QRect&)
{
    // The desktop cannot clip the cursor: the canvas keeps the mouse and takes
    // every position outside the area as the nearest point on its edge.
    if (!m_grabbed && isVisible()) {
        grabMouse();
        m_grabbed = true;
    }
}

void CMeasureCanvas::ReleaseCursor()
{
    if (m_grabbed) {
        releaseMouse();
        m_grabbed = false;
    }
}

QPoint CMeasureCanvas::MoveCursorTo(QPoint window)
{
    QCursor::setPos(mapToGlobal(window));
    return mapFromGlobal(QCursor::pos());
}

QSize CMeasureCanvas::TextExtent(const QString& text) const
{
    const QFontMetrics metrics(font());
    return QSize(metrics.horizontalAdvance(text), metrics.height());
}

void CMeasureCanvas::mousePressEvent(QMouseEvent* event)
{
    const QPoint p = Confined(event->position().toPoint());
    if (event->button() == Qt::LeftButton) {
        m_editor.OnLeftButtonDown(p);
    } else if (event->button() == Qt::RightButton) {
        m_editor.OnRightButtonDown(p);
    }
}

void CMeasureCanvas::mouseMoveEvent(QMouseEvent* event)
{
    m_editor.OnMouseMove(Confined(event->position().toPoint()));
}

void CMeasureCanvas::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton) {
        m_editor.OnLeftDoubleClick(Confined(event->position().toPoint()));
    }
}

void CMeasureCanvas::keyPressEvent(QKeyEvent* event)
{
    // Escape never closes the canvas or its window.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool CMeasureCanvas::event(QEvent* event)
{
    if (event->type() == WM_MEASURE_LIST_CHANGED) {
        update();
        return true;
    }
    return QWidget::event(event);
}

void CMeasureCanvas::ShowAdjustButtons(bool show)
{
    if (!show) {
        for (int k = 0; k < kAdjustButtons; ++k) {
            m_timers->KillTimer(kAdjustTimerFirst + k);
            delete m_adjust[size_t(k)];
            m_adjust[size_t(k)] = nullptr;
        }
        return;
    }
    for (int k = 0; k < kAdjustButtons; ++k) {
        if (m_adjust[size_t(k)] != nullptr) {
            continue;
        }
        const int id = IDC_ADJUST_FIRST + k;
        auto* button = new CBitmapButton(id, QStringLiteral("adjust_%1").arg(id), kAdjustSize, this);
        button->setGeometry(QRect(QPoint(kAdjustX, kAdjustTop + k * kAdjustStep), kAdjustSize));
        button->setCursor(Qt::ArrowCursor);
        // A click is one step at once; held, the row's timer repeats it until release.
        connect(button, &QAbstractButton::pressed, this, [this, k] {
            OnTimer(kAdjustTimerFirst + k);
            m_timers->SetTimer(kAdjustTimerFirst + k, kAdjustPeriods[k]);
        });
        connect(button, &QAbstractButton::released, this,
                [this, k] { m_timers->KillTimer(kAdjustTimerFirst + k); });
        button->show();
        m_adjust[size_t(k)] = button;
    }
}

CBitmapButton* CMeasureCanvas::AdjustButton(int index) const
{
    return index >= 0 && index < kAdjustButtons ? m_adjust[size_t(index)] : nullptr;
}

bool CMeasureCanvas::IsTimerRunning(int id) const
{
    return m_timers->IsActive(id);
}

int CMeasureCanvas::TimerPeriod(int id) const
{
    return m_timers->Interval(id);
}

void CMeasureCanvas::OnTimer(int id)
{
    if (id >= kAdjustTimerFirst && id <= kAdjustTimerLast) {
        m_editor.AdjustTick(id - kAdjustTimerFirst);
    }
}

int CMeasureCanvas::SaveWithMeasurements(const QString& path)
{
    const uint32_t type = PictureTypeOf(path);
    if (!HasPicture() || type == CXIMAGE_FORMAT_UNKNOWN) {
        return 0;
    }
    QImage full(m_pictureSize, QImage::Format_RGB32);
    if (full.isNull()) {
        return 0;
    }
    QPainter painter(&full);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    m_picture.Stretch(&painter, 0, 0, m_pictureSize.width(), m_pictureSize.height());
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    SaveRenderInput input;
    input.ratio = m_saveRatio;
    input.pictureSize = m_pictureSize;
    input.canvasLabelColor = m_stored.labelColor;
    MeasureRenderer renderer;
    renderer.DrawSaved(painter, SharedPhotoList(), input);
    painter.end();
    CxImage out;
    return out.CreateFromBitmap(full) && out.Save(path, type) ? 1 : 0;
}
