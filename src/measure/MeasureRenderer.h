#pragma once
// Drawing of the photo measurement list: on the canvas surface at every repaint
// (screen rendering) and onto the full-size picture when it is saved with its
// measurements (save rendering).
#include "measure/MeasureList.h"
#include "measure/MeasurePainting.h"

#include <QList>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QStringList>

class QPainter;

// The continuous line the user is still drawing on the canvas.
struct PendingContinuousLine {
    const QList<QPoint>* points = nullptr;   // vertices interleaved with segment anchors
    const QStringList* valueTexts = nullptr; // one per finished segment
    int32_t penStyle = kPenSolid;
    int32_t penWidth = 1;
    ColorRef lineColor = kPureRed;
};

struct ScreenRenderInput {
    QPoint scroll;    // scroll offsets in image pixels
    QSize clientSize; // canvas client area: Text objects wrap at its edges, the caption sits at its foot
    PendingContinuousLine pending;
    LogFontRecord labelFont{}; // the canvas's label font and colour, for the pending texts
    ColorRef labelColor = kPureRed;
    QString caption;
};

struct SaveRenderInput {
    double ratio = 1.0;                   // stored points to picture pixels
    QSize pictureSize;                    // Text objects wrap at its edges
    ColorRef canvasLabelColor = kPureRed; // diameter circle labels take it in saved pictures
};

// Keeps fonts and text buffers between repaints; one renderer per drawing thread.
class MeasureRenderer {
public:
    // Pending continuous line, every object in list order, then the caption.
    void DrawScreen(QPainter& painter, const PhotoMeasureList& list, const ScreenRenderInput& input);
    // Every object at the save ratio, its fonts and pen widths grown by the same
    // factor; selection in red.
    void DrawSaved(QPainter& painter, const PhotoMeasureList& list, const SaveRenderInput& input);

private:
    struct Placement;
    void DrawPending(QPainter& painter, const ScreenRenderInput& input);
    void DrawShape(QPainter& painter, PhotoKind kind, const CMeasureShape& shape, const Placement& place);
    void DrawFigure(QPainter& painter, PhotoKind kind, const CMeasureShape& shape, const Placement& place);
    void DrawText(QPainter& painter, const CMeasureShape& shape, const Placement& place);
    void DrawLabel(QPainter& painter, PhotoKind kind, const CMeasureShape& shape, const Placement& place);
    void DrawContinuousLabels(QPainter& painter, const CMeasureShape& shape, const Placement& place,
                              FontCache::Entry& font, const QColor& color);
    void DrawCaption(QPainter& painter, const ScreenRenderInput& input);
    const QString& NameLine(const CMeasureShape& shape);
    const QString& ValueLine(const char* symbol, const QString& value, const QString& unit);

    FontCache m_fonts;
    QString m_line; // reused for every label line
};
