#include "capture/CapturePreview.h"

#include "capture/CapturePreviewRows.h"
#include "capture/CaptureState.h"
#include "capture/PreviewPlanning.h"

#include <QPaintEvent>
#include <QPainter>
#include <QSocketNotifier>
#include <algorithm>
#include <sys/eventfd.h>
#include <unistd.h>

namespace {
const QColor kStatusColour(0, 255, 0);
const QColor kHintColour(255, 0, 0);
constexpr int kHintRightMargin = 4;
constexpr int kHintTop = 2;
constexpr int kStatusFontHeight = 20;
constexpr int kStatusFontWidth = 10;

// Fixed pitch, 20 pixels high and 10 wide per character.
QFont StatusFont()
{
    QFont font("Monospace");
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(kStatusFontHeight);
    font.setWeight(QFont::Normal);
    const int natural = QFontMetrics(font).horizontalAdvance(QLatin1Char('0'));
    if (natural > 0) {
        font.setStretch(std::clamp(100 * kStatusFontWidth / natural, 50, 200));
    }
    return font;
}
} // namespace

CapturePreview::CapturePreview(QWidget* parent) : QWidget(parent), m_statusFont(StatusFont())
{
    resize(kLivePreviewWidth, kLivePreviewHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The streaming thread asks for repaints through an eventfd: it never blocks
    // and never allocates, and several requests fold into one repaint.
    m_repaintFd.Reset(::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC));
    if (m_repaintFd.valid()) {
        m_repaintNotifier = new QSocketNotifier(m_repaintFd.get(), QSocketNotifier::Read, this);
        connect(m_repaintNotifier, &QSocketNotifier::activated, this, [this] { OnRepaintRequested(); });
    }
}

CapturePreview::~CapturePreview()
{
    delete m_repaintNotifier;
}

void CapturePreview::SetPainters(const LiveFrameHooks& hooks)
{
    m_painters.paintMeasurements = hooks.paintMeasurements;
    m_painters.paintOverlays = hooks.paintOverlays;
}

void CapturePreview::RequestRepaint()
{
    if (!m_repaintFd.valid() || m_repaintQueued.exchange(true)) {
        return;
    }
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_repaintFd.get(), &one, sizeof one);
}

void CapturePreview::OnRepaintRequested()
{
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(m_repaintFd.get(), &count, sizeof count);
    m_repaintQueued = false;
    update();
}

void CapturePreview::RecreatePicture()
{
    std::lock_guard guard(m_pictureLock);
    m_picture = QImage(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    m_picture.fill(Qt::black);
    m_pictureWidth = m_picture.width();
    m_pictureHeight = m_picture.height();
}

void CapturePreview::PreparePicture()
{
    if (m_picture.isNull()) {
        RecreatePicture();
    }
}

void CapturePreview::ReleasePicture()
{
    std::lock_guard guard(m_pictureLock);
    m_picture = QImage();
    m_pictureWidth = 0;
    m_pictureHeight = 0;
}

QImage CapturePreview::PreviewPicture() const
{
    std::lock_guard guard(m_pictureLock);
    return m_picture.copy();
}

// Nearest-neighbour stretch of a BGR bottom-up frame to the picture's width and
// `targetHeight`; rows below the picture are cut. A frame as wide as the picture
// is converted row by row without the column table.
void CapturePreview::StretchIntoPicture(const std::uint8_t* pixels, int width, int height, int targetHeight)
{
    const int targetWidth = m_picture.width();
    const bool sameWidth = width == targetWidth;
    if (!sameWidth && (m_stretchKey[0] != width || m_stretchKey[1] != targetWidth)) {
        m_stretchColumns.resize(targetWidth);
        for (int x = 0; x < targetWidth; ++x) {
            m_stretchColumns[x] = static_cast<int>(static_cast<long long>(x) * width / targetWidth) * 3;
        }
        m_stretchKey[0] = width;
        m_stretchKey[1] = targetWidth;
    }
    const std::size_t stride = static_cast<std::size_t>(width) * 3;
    const int rows = std::min(targetHeight, m_picture.height());
    for (int y = 0; y < rows; ++y) {
        const int sourceRow =
            height - 1 - static_cast<int>(static_cast<long long>(y) * height / targetHeight);
        const std::uint8_t* src = pixels + stride * sourceRow;
        auto* dst = reinterpret_cast<std::uint32_t*>(m_picture.scanLine(y));
        if (sameWidth) {
            ConvertRow(src, dst, width);
        } else {
            StretchRow(src, m_stretchColumns.data(), dst, targetWidth);
        }
    }
}

int CapturePreview::PaintFrame(const std::uint8_t* pixels, int width, int height)
{
    return PaintFrame(pixels, width, height, QSize(width, height));
}

int CapturePreview::PaintFrame(const std::uint8_t* pixels, int width, int height, QSize frameSize)
{
    if (!pixels || width <= 0 || height <= 0) {
        return 0;
    }
    {
        std::lock_guard guard(m_pictureLock);
        if (m_picture.isNull()) {
            return 0;
        }
        const int stretched = StretchedHeight(frameSize.width(), frameSize.height(), m_picture.height());
        StretchIntoPicture(pixels, width, height, stretched);
        if (m_painters.paintMeasurements || m_painters.paintOverlays) {
            QPainter painter(&m_picture);
            if (m_painters.paintMeasurements) {
                m_painters.paintMeasurements(painter, m_measureScaleX.load(), m_measureScaleY.load());
            }
            if (m_painters.paintOverlays) {
                m_painters.paintOverlays(painter, m_picture.size());
            }
        }
    }
    RequestRepaint();
    return 1;
}

void CapturePreview::paintEvent(QPaintEvent* event)
{
    PreparePicture();
    QPainter painter(this);
    {
        std::lock_guard guard(m_pictureLock);
        painter.drawImage(event->rect(), m_picture, event->rect());
    }
    DrawStatusTexts(painter);
    if (m_painters.paintOverlays) {
        m_painters.paintOverlays(painter, size());
    }
}

void CapturePreview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!m_picture.isNull() && m_picture.size() != size()) {
        RecreatePicture();
    }
}

void CapturePreview::DrawStatusTexts(QPainter& painter) const
{
    QString status, hint;
    {
        std::lock_guard guard(m_textLock);
        status = m_statusMessage;
        hint = m_fullScreen ? m_fullScreenHint : QString();
    }
    painter.setFont(m_statusFont);
    painter.setBackgroundMode(Qt::TransparentMode);
    const QFontMetrics metrics(m_statusFont);
    if (!status.isEmpty()) {
        const int textWidth = metrics.horizontalAdvance(status);
        const int x = textWidth > width() ? 0 : (width() - textWidth) / 2;
        const int y = (height() - metrics.height()) / 2;
        painter.setPen(kStatusColour);
        painter.drawText(QPoint(x, y + metrics.ascent()), status);
    }
    if (!hint.isEmpty()) {
        const int x = std::max(0, width() - kHintRightMargin - metrics.horizontalAdvance(hint));
        painter.setPen(kHintColour);
        painter.drawText(QPoint(x, kHintTop + metrics.ascent()), hint);
    }
}

void CapturePreview::EnterFullScreen()
{
    RecreatePicture();
    {
        std::lock_guard guard(m_textLock);
        m_fullScreen = true;
    }
    update();
}

void CapturePreview::LeaveFullScreen()
{
    RecreatePicture(); // filled black
    {
        std::lock_guard guard(m_textLock);
        m_fullScreen = false;
    }
    update();
}

void CapturePreview::SetStatusMessage(const QString& text)
{
    {
        std::lock_guard guard(m_textLock);
        m_statusMessage = text.left(kStatusTextCapacity - 1);
    }
    update();
}

QString CapturePreview::statusMessage() const
{
    std::lock_guard guard(m_textLock);
    return m_statusMessage;
}

void CapturePreview::SetFullScreenHint(const QString& text)
{
    std::lock_guard guard(m_textLock);
    m_fullScreenHint = text.left(kStatusTextCapacity - 1);
}

void CapturePreview::SetMeasureScale(double x, double y)
{
    m_measureScaleX = x;
    m_measureScaleY = y;
}
