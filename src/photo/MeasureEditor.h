#pragma once
// The mouse-driven editor of the photo canvas: each tool's clicks turn into a
// measurement in the photo list, with rubber bands while the user drags and a
// label placed by a last click; selecting, moving, deleting and turning objects;
// text annotations; the calibration line. The canvas forwards its mouse events
// and timer ticks here and supplies what only a window has (see EditorHost).
#include "measure/ClickValues.h"
#include "measure/MeasureFactory.h"
#include "measure/MeasureList.h"
#include "photo/EditorFeedback.h"

#include <QPointF>
#include <QRect>
#include <QString>
#include <QStringList>
#include <array>

class QWidget;

// Drawing and value settings of the moment, asked for when an object is made.
struct EditorSettings {
    MeasureStyle style;
    ValueContext values; // scale s (with the display factor), magnification M, decimals, unit
};

class EditorHost {
public:
    virtual ~EditorHost() = default;
    // Owner of the message boxes.
    virtual QWidget* Owner() = 0;
    virtual double Zoom() const = 0;
    virtual QPoint Scroll() const = 0;
    // The client area cut to the picture's displayed size.
    virtual QRect VisiblePicture() const = 0;
    virtual EditorSettings Settings() const = 0;
    virtual void Repaint() = 0;
    virtual void RepaintRect(const QRect& rect) = 0;
    // Keeps the cursor inside `area` (window positions) until released.
    virtual void ConfineCursor(const QRect& area) = 0;
    virtual void ReleaseCursor() = 0;
    // Puts the cursor at a window position; returns where it is afterwards (the
    // desktop may refuse or round the move).
    virtual QPoint MoveCursorTo(QPoint window) = 0;
    // Height and width of a text line in the window's font.
    virtual QSize TextExtent(const QString& text) const = 0;
    virtual void ShowAdjustButtons(bool show) = 0;
    // Tells the photo window that a measurement changed: moved, turned, resized, or
    // a text placed.
    virtual void NotifyChanged() = 0;
    // Runs the calibration dialog with the canvas disabled; true on OK.
    virtual bool RunCalibrationDialog(const QString& unit) = 0;
    // Tells the photo window that a calibration was accepted.
    virtual void NotifyCalibrated() = 0;
};

class MeasureEditor {
public:
    MeasureEditor(EditorHost& host, PhotoMeasureList& list);
    ~MeasureEditor();
    MeasureEditor(const MeasureEditor&) = delete;
    MeasureEditor& operator=(const MeasureEditor&) = delete;

    // Mouse events at window positions.
    void OnLeftButtonDown(QPoint p);
    void OnMouseMove(QPoint p);
    void OnLeftDoubleClick(QPoint p);
    void OnRightButtonDown(QPoint p);

    void SetTool(MeasureTool tool, ToolMode mode);
    void TextEntry(const QString& text);
    void MoveSelected();
    void DeleteSelected();
    void ClearSelection();
    void SetTwoLinePickMode(bool on);
    void SetCalibrationFlag() { m_calibrating = true; }

    // One tick of adjust action 0 to 5 (first corner left, first corner up, second
    // corner down, second corner right, turn +1 degree, turn -1 degree).
    void AdjustTick(int action);

    MeasureTool Tool() const { return m_tool; }
    ToolMode Mode() const { return m_mode; }
    bool InProgress() const { return m_stage != Stage::Idle; }
    bool IsPlacingLabel() const { return m_stage == Stage::Placing; }
    bool IsMoving() const { return m_moving >= 0; }
    bool IsCalibrating() const { return m_calibrating; }
    bool TwoLinePickMode() const { return m_twoLinePick; }
    int AdjustTarget() const { return m_adjustTarget; }
    std::array<int, 2> PickSlots() const { return m_pick; }
    const QList<QPoint>& PendingPoints() const { return m_pendingPoints; }
    const QStringList& PendingValues() const { return m_pendingTexts.values; }
    const QString& PendingText() const { return m_pendingText; }
    // Rubber band or move outline (inverting) and the marks of the open tool.
    const FeedbackLayer& Band() const { return m_band; }
    const FeedbackLayer& Marks() const { return m_marks; }
    // Whether the cursor is confined, and to what.
    bool IsConfined() const { return m_confined; }
    QRect Confinement() const { return m_confinement; }

private:
    enum class Stage { Idle, Drawing, Placing };

    // Coordinates.
    QPoint ToImage(QPoint window) const;
    QPoint ToWindow(QPoint image) const;
    ClickValues Values(const EditorSettings& settings) const;

    // Tools (EditorTools.cpp).
    void Start(QPoint p);
    void Continue(QPoint p);
    void ContinueLine(QPoint p);
    void ContinueContinuousLine(QPoint p);
    void ContinuePolygon(QPoint p);
    bool MakeShape(QPoint p);
    void FinishContinuousLine(QPoint p);
    void FinishPolygon(QPoint p);
    void Append(PhotoKind kind, ToolMode mode, QList<QPoint> points, MeasureTexts texts);
    void CalibrateLastLine(double rawLength);
    void FollowLabel(QPoint p);
    void UpdateBand(QPoint p);
    void Finish();
    void Cancel();

    // Selection, moving, deleting, adjusting (EditorSelection.cpp).
    void Select(QPoint p);
    void PickTwoLine(QPoint p);
    bool Hits(PhotoKind kind, const CMeasureShape& shape, QPoint p) const;
    QList<QPoint> WindowPoints(const CMeasureShape& shape) const;
    void DrawMoveOutline(QPoint offset);
    void EndMove(QPoint p, bool apply);
    // Keeps every list position the editor holds on its object after a removal
    // made anywhere (the list dialog included).
    void FollowRemoval(int position);
    void AdjustEdge(CMeasureShape& shape, int action);

    // Text annotations.
    void FollowText(QPoint p);

    void ConfineTo(const QRect& area);
    void Release();

    EditorHost& m_host;
    PhotoMeasureList& m_list;

    MeasureTool m_tool = MeasureTool::Select;
    ToolMode m_mode = ToolMode::Measuring;
    Stage m_stage = Stage::Idle;
    ToolMode m_openMode = ToolMode::Measuring; // mode of the tool in progress
    QList<QPoint> m_clicks;                    // window positions of the open tool
    int m_placing = -1;                        // list index of the object whose label follows the mouse
    int m_placingAnchor = -1;
    QString m_placingText; // its first value line, for the area repainted around the label
    bool m_angleLabel = false;

    // Continuous line.
    QList<QPoint> m_pendingPoints; // image coordinates: vertices interleaved with anchors
    MeasureTexts m_pendingTexts;   // one value per finished segment
    bool m_expectVertex = true;
    // Polygon vertices collected so far (image coordinates).
    QList<QPoint> m_polygon;

    // Text.
    QString m_pendingText;
    QPoint m_textPosition; // window position of the last text-tool click

    // Selection.
    int m_adjustTarget = -1;
    std::array<int, 2> m_pick{-1, -1};
    bool m_twoLinePick = false;
    bool m_calibrating = false;

    // Move mode.
    int m_moving = -1;
    QList<QPoint> m_moveWindowPoints;
    QPoint m_moveStart; // where the cursor was when the move began: offsets count from it

    FeedbackLayer m_band;
    FeedbackLayer m_marks;
    bool m_confined = false;
    QRect m_confinement;
};
