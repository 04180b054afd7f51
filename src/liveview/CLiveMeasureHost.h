#pragma once
// Measuring on the live picture: the ten tools and their clicks over the preview
// area, the live list and its redo list, and the drawing of both onto preview frames
// and stills. The main window routes its tool commands and preview mouse events
// here and carries out the few things only it can do (button looks, mouse grab).
//
// While a measurement is open the cursor stays in the preview area: the window
// grabs the mouse on request, and every position outside the area is taken as the
// nearest point on its edge (the desktop cannot clip the cursor itself).
#include "liveview/LiveDrawing.h"
#include "measure/MeasureFactory.h"
#include "measure/MeasureList.h"

#include <QPointF>
#include <functional>
#include <memory>

class LiveCalibration;
class QPainter;

// Drawing and value settings of the moment, asked for whenever a tool needs them.
struct LiveMeasureSettings {
    MeasureStyle style;
    QString unit = QStringLiteral("mm");
    int decimals = 3;
    double unitsPerPixel = 0.0; // s of the current unit, camera class and capture size
};

struct LiveHostHooks {
    std::function<LiveMeasureSettings()> settings;
    // The tool button drawn pressed (0: all released).
    std::function<void(int buttonId)> showPressedButton;
    // The effect buttons drawn released (the effects stay on): the host's own
    // commands release every latched button of the window.
    std::function<void()> releaseEffectButtons;
    // Grab (true) or release the mouse for an open measurement.
    std::function<void(bool confine)> confineCursor;
};

class CLiveMeasureHost {
public:
    CLiveMeasureHost(LiveCalibration& calibration, LiveHostHooks hooks);
    ~CLiveMeasureHost();

    // Commands.
    void SelectTool(int buttonId); // 1136, 1138 ... 1146
    void StartCalibration();       // 1197
    void Undo();                   // 1114
    void Redo();                   // 1115
    void DeleteAll();              // 1116
    // Right-click in the preview, and leaving the window for full screen: every tool
    // back to idle, no tool selected; the live list stays.
    void Reset();
    // The effect and guide commands: every tool button released, the current tool
    // and an open measurement kept. The host owns the pressed state; the button
    // looks follow it.
    void ReleaseButtons() { PressButton(0); }

    // Mouse events at client positions of the main window; false when the event
    // was not for the live host.
    bool OnLeftButtonDown(QPoint client);
    bool OnMouseMove(QPoint client);
    bool OnLeftDoubleClick(QPoint client);
    bool OnRightButtonDown(QPoint client);

    // The measurement being drawn and every finished one: PaintPreview on the
    // camera's streaming thread, PaintStill on the window thread.
    void PaintPreview(QPainter& painter, double fx, double fy) { m_drawing->PaintPreview(painter, fx, fy); }
    void PaintStill(QPainter& painter, double fx, double fy) { m_drawing->PaintStill(painter, fx, fy); }
    // The drawing side alone, for painters that may outlive the host.
    std::shared_ptr<LiveDrawing> Drawing() const { return m_drawing; }

    int CurrentTool() const { return m_tool; }
    int PressedButton() const { return m_pressedButton; }
    bool IsOpen() const { return m_open != 0; }
    bool IsConfined() const { return m_confined; }
    const LiveMeasureList& List() const { return m_list; }
    const LiveMeasureList& RedoList() const { return m_redo; }
    std::shared_ptr<const LiveSnapshot> Snapshot() const { return m_drawing->Current(); }

private:
    struct Pen {
        int32_t style = 0;
        int32_t width = 1;
        ColorRef color = kRed;
    };

    bool PreviewPoint(QPoint client, QPoint& preview) const;
    void PressButton(int buttonId);
    // Every latched button of the window released, then `buttonId` pressed (0: none).
    void LatchOnly(int buttonId);
    Pen CurrentPen() const;
    // Undo and redo: the last object of one list to the end of the other.
    void MoveLast(LiveMeasureList& from, LiveMeasureList& to);

    // The open measurement.
    void Start(QPoint p);
    void Continue(QPoint p);
    bool ContinueLine(QPoint p);
    bool ContinueContinuousLine(QPoint p);
    bool ContinuePointToLine(QPoint p);
    bool ContinueCircle(QPoint p);
    bool ContinueThreePointCircle(QPoint p);
    bool ContinueArc(QPoint p);
    bool ContinueThreePointAngle(QPoint p);
    bool ContinueFourPointAngle(QPoint p);
    void Follow(QPoint p);
    void FinishPolyline();
    void BeginPlacing(const MeasureTexts& texts);
    void Create();
    void ClearPending();
    void Confine(bool on);

    LiveMeasureSettings Settings() const;
    ValueContext Values() const;

    void PublishFinished();
    void PublishOpen();

    LiveCalibration& m_calibration;
    LiveHostHooks m_hooks;
    LiveMeasureList m_list;
    LiveMeasureList m_redo;

    int m_tool = 0;          // current tool: live code or 0
    int m_pressedButton = 0; // tool button drawn pressed
    Pen m_selectedPen;       // captured when a tool is selected

    int m_open = 0;                  // code of the open tool, 0 when none
    int m_pendingKind = 0;           // kind of the pending points (kept by a waiting four-point angle)
    Pen m_openPen;                   // pen of the measurement being drawn
    int m_clicks = 0;                // defining clicks so far
    bool m_placing = false;          // the label follows the mouse; the next click creates
    bool m_expectVertex = true;      // continuous line: vertex or segment label next
    bool m_labelFixed = false;       // continuous line: a segment label has been placed
    bool m_firstLineWaiting = false; // four-point angle between its second and third click
    bool m_confined = false;
    QList<QPoint> m_points;
    MeasureTexts m_texts; // of the open measurement
    bool m_rubber = false;
    QPoint m_rubberPoint;
    QPointF m_centre; // three-point circle

    std::shared_ptr<const std::vector<LiveShapeCopy>> m_finished;
    std::shared_ptr<LiveDrawing> m_drawing = std::make_shared<LiveDrawing>();
};
