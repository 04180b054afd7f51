#include "liveview/OverlayDrawing.h"

#include "measure/MeasureUnits.h"

#include <QPen>
#include <QString>
#include <algorithm>

namespace {

const QColor kCrosshairColour(255, 255, 255);
const QColor kGuideColour(255, 0, 0);
constexpr int kStillCrosshairWidth = 3;

constexpr double kFineFrom = 30.0; // magnifications above this tick finer
constexpr double kFineFactor = 0.05;
constexpr double kCoarseFactor = 0.25;
constexpr int kFineSpread = 20;
constexpr int kCoarseSpread = 4;

constexpr int kTickHalf = 6;
constexpr int kLabelBelow = 17;
constexpr int kLabelAbove = -34;
constexpr int kLabelAlong = -6;
constexpr int kLabelPixelSize = 13;
// Labels whose anchor lies further than this beyond an axis end cannot show; they
// are skipped (the alternation still counts them).
constexpr int kLabelReach = 200;
// A cache holding more texts than any scale line shows is started afresh.
constexpr qsizetype kMaxCachedLabels = 4096;
// A spacing beyond any picture: one tick at the centre, the next off the picture.
constexpr double kMaxSpacing = 1 << 20;

constexpr double kInchStep = 0.01;
constexpr double kMilStep = 10.0;
constexpr double kCentimetreStep = 0.1;
constexpr double kMillimetreStep = 1.0;

struct StillLayout {
    int width;
    int height;
    int centreY;
    double spacingFactor;
};
constexpr StillLayout kStillLayouts[] = {
    {320, 240, 120, 0.5},   {640, 480, 240, 1.0},   {1280, 960, 480, 2.0},   {1280, 1024, 480, 2.0},
    {1600, 1200, 600, 2.5}, {2048, 1536, 768, 3.2}, {2592, 1944, 972, 4.05},
};
// 1280 x 1024 frames show their top 960 rows in the preview; the still's crosshair
// stays where the preview showed it.
constexpr int kTallFrameCrosshairY = 480;

// trunc(value + 0.5) as a whole number of pixels; 0 when that makes no step
// forward (below 0.5, negative or not a number).
int PixelSpacing(double value)
{
    const double rounded = value + 0.5;
    if (!(rounded >= 1.0)) {
        return 0;
    }
    return static_cast<int>(std::min(rounded, kMaxSpacing));
}

// Alternates a label between below and above (or right and left of) its axis.
int NextLabelOffset(int& counter)
{
    if (counter % 2 != 0) {
        ++counter;
        return kLabelBelow;
    }
    --counter;
    return kLabelAbove;
}

class ScaleLabels {
public:
    ScaleLabels(QPainter& painter, const GuideGeometry& g, double step, OverlayLabelCache* cache)
        : m_painter(painter), m_g(g), m_step(step), m_ascent(LabelAscent(painter)), m_cache(cache)
    {
    }

    // The painter's font at a fixed pixel size: the off-screen picture and the
    // window paint the labels over each other, and their resolutions differ.
    static int LabelAscent(QPainter& painter)
    {
        QFont font = painter.font();
        font.setPixelSize(kLabelPixelSize);
        painter.setFont(font);
        return painter.fontMetrics().ascent();
    }

    // Text drawn with its top-left corner at (x, y).
    void Draw(int x, int y, const QString& text)
    {
        if (m_cache) {
            m_painter.drawStaticText(QPoint(x, y), m_cache->Text(m_painter.font(), text));
        } else {
            m_painter.drawText(x, y + m_ascent, text);
        }
    }

    void Horizontal(int spacing, int spread)
    {
        double value = -m_step;
        const int cx = m_g.centre.x();
        const int cy = m_g.centre.y();
        const int reach = std::max(cx - m_g.axisLeft, m_g.axisRight - cx) + kLabelReach;
        for (int k = 0; k < cx; k += spacing) {
            m_painter.drawLine(cx + k, cy - kTickHalf, cx + k, cy + kTickHalf);
            m_painter.drawLine(cx - k, cy - kTickHalf, cx - k, cy + kTickHalf);
            value += m_step;
            if (value == 0) {
                continue;
            }
            const long long along = static_cast<long long>(spread) * k;
            const int yPositive = cy + NextLabelOffset(m_positive);
            const int yNegative = cy + NextLabelOffset(m_negative);
            if (along <= reach) {
                const int offset = static_cast<int>(along);
                Draw(cx + offset + kLabelAlong, yPositive, QString::asprintf("%.2f", value));
                Draw(cx - offset + kLabelAlong, yNegative, QString::asprintf("-%.2f", value));
            }
        }
    }

    void Vertical(int spacing, int spread)
    {
        double value = -m_step;
        const int cx = m_g.centre.x();
        const int cy = m_g.centre.y();
        const int reach = std::max(cy - m_g.axisTop, m_g.axisBottom - cy) + kLabelReach;
        for (int k = 0; k < cy; k += spacing) {
            m_painter.drawLine(cx - kTickHalf, cy + k, cx + kTickHalf, cy + k);
            m_painter.drawLine(cx - kTickHalf, cy - k, cx + kTickHalf, cy - k);
            value += m_step;
            if (value == 0) {
                continue;
            }
            const long long along = static_cast<long long>(spread) * k;
            const int xPositive = cx + NextLabelOffset(m_positive);
            const int xNegative = cx + NextLabelOffset(m_negative);
            if (along <= reach) {
                const int offset = static_cast<int>(along);
                Draw(xPositive, cy + offset + kLabelAlong, QString::asprintf("%.2f", value));
                Draw(xNegative, cy - offset + kLabelAlong, QString::asprintf("-%.2f", value));
            }
        }
    }

private:
    QPainter& m_painter;
    const GuideGeometry& m_g;
    double m_step;
    int m_ascent;
    OverlayLabelCache* m_cache;
    int m_positive = 1; // alternation of the labels right of / below the centre
    int m_negative = 1; // and left of / above it, kept across both axes
};

void DrawAxes(QPainter& painter, const GuideGeometry& g)
{
    painter.drawLine(g.axisLeft, g.centre.y(), g.axisRight, g.centre.y());
    painter.drawLine(g.centre.x(), g.axisTop, g.centre.x(), g.axisBottom);
}

void PrepareGuidePen(QPainter& painter)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(kGuideColour, 1, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    painter.setBackgroundMode(Qt::TransparentMode);
}

void DrawSwitchedOn(QPainter& painter, const GuideGeometry& g, QSize size, const OverlayParams& params,
                    OverlayLabelCache* labels)
{
    painter.save();
    if (params.crosshairOn) {
        DrawCrosshair(painter, g, size);
    }
    if (params.scaleLineOn) {
        DrawScaleLine(painter, g, params, labels);
    }
    if (params.circleGridOn) {
        DrawCircleGrid(painter, g);
    }
    painter.restore();
}

} // namespace

const QStaticText& OverlayLabelCache::Text(const QFont& font, const QString& text)
{
    if (font != m_font || m_texts.size() >= kMaxCachedLabels) {
        m_font = font;
        m_texts.clear();
    }
    auto found = m_texts.find(text);
    if (found == m_texts.end()) {
        QStaticText laidOut(text);
        laidOut.setPerformanceHint(QStaticText::AggressiveCaching);
        laidOut.prepare(QTransform(), font);
        found = m_texts.insert(text, laidOut);
    }
    return *found;
}

double LabelStepOfUnit(const QString& unit)
{
    if (unit == QLatin1String(kUnitInch)) {
        return kInchStep;
    }
    if (unit == QLatin1String(kUnitMil)) {
        return kMilStep;
    }
    if (unit == QLatin1String(kUnitCentimetre)) {
        return kCentimetreStep;
    }
    return kMillimetreStep;
}

GuideGeometry PreviewGeometry(QSize size, double pixelsPerUnit)
{
    GuideGeometry g;
    g.axisRight = size.width();
    g.axisBottom = size.height();
    g.centre = QPoint(size.width() / 2 + 1, size.height() / 2 + 1);
    g.spacingBase = pixelsPerUnit;
    g.crosshair = QPoint(size.width() / 2, size.height() / 2);
    return g;
}

GuideGeometry StillGeometry(QSize capture, double pixelsPerUnit)
{
    const int w = capture.width();
    const int h = capture.height();
    int centreY = h / 2;
    double factor = 1.0;
    for (const StillLayout& layout : kStillLayouts) {
        if (layout.width == w && layout.height == h) {
            centreY = layout.centreY;
            factor = layout.spacingFactor;
        }
    }
    GuideGeometry g;
    g.centre = QPoint(w / 2, centreY);
    g.axisRight = 2 * g.centre.x();
    g.axisBottom = 2 * centreY;
    g.spacingBase = pixelsPerUnit * factor;
    g.crosshair = QPoint(w / 2, capture == QSize(1280, 1024) ? kTallFrameCrosshairY : h / 2);
    g.crosshairWidth = kStillCrosshairWidth;
    return g;
}

void DrawCrosshair(QPainter& painter, const GuideGeometry& g, QSize size)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(kCrosshairColour, g.crosshairWidth, Qt::SolidLine, Qt::FlatCap));
    painter.drawLine(0, g.crosshair.y(), size.width(), g.crosshair.y());
    painter.drawLine(g.crosshair.x(), 0, g.crosshair.x(), size.height());
}

void DrawScaleLine(QPainter& painter, const GuideGeometry& g, const OverlayParams& params,
                   OverlayLabelCache* labels)
{
    PrepareGuidePen(painter);
    DrawAxes(painter, g);
    const bool fine = params.overlayMagnification > kFineFrom;
    const int spacing = PixelSpacing(g.spacingBase * (fine ? kFineFactor : kCoarseFactor));
    if (spacing == 0) {
        return; // ticks closer than a pixel: the axes alone
    }
    const int spread = fine ? kFineSpread : kCoarseSpread;
    ScaleLabels texts(painter, g, params.labelStep, labels);
    texts.Horizontal(spacing, spread);
    texts.Vertical(spacing, spread);
}

void DrawCircleGrid(QPainter& painter, const GuideGeometry& g)
{
    PrepareGuidePen(painter);
    DrawAxes(painter, g);
    const int step = PixelSpacing(g.spacingBase);
    if (step == 0) {
        return; // circles closer than a pixel: the axes alone
    }
    const int cx = g.centre.x();
    const int cy = g.centre.y();
    for (int radius = step; radius < cy; radius += step) {
        painter.drawEllipse(QRect(cx - radius, cy - radius, 2 * radius, 2 * radius));
    }
}

void DrawPreviewOverlays(QPainter& painter, QSize size, const OverlayParams& params,
                         OverlayLabelCache* labels)
{
    DrawSwitchedOn(painter, PreviewGeometry(size, params.pixelsPerUnit), size, params, labels);
}

void DrawStillOverlays(QPainter& painter, QSize capture, const OverlayParams& params)
{
    DrawSwitchedOn(painter, StillGeometry(capture, params.pixelsPerUnit), capture, params, nullptr);
}
