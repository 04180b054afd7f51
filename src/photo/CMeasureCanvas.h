#pragma once
// The picture of the photo measure window with the measurements drawn on it:
// loads the picture, shows it fitted to 640 pixels or at actual size with scroll
// bars, hands the mouse to the measurement editor, hosts the rectangle adjust
// buttons and their timers, writes the picture back with its measurements burned
// in, and tells its parent when the number of measurements changes. It owns the
// contents of the photo list while it lives.
#include "image/CxImage.h"
#include "measure/MeasureRenderer.h"
#include "measure/MeasureUnits.h"
#include "photo/MeasureEditor.h"
#include "photo/PhotoSettings.h"

#include <QImage>
#include <QWidget>
#include <array>
#include <functional>
#include <memory>

class CBitmapButton;
class QScrollBar;
class WindowTimers;

// What the canvas is created with.
struct CanvasSetup {
    QString path;
    MeasureTool tool = MeasureTool::Select;
    double zoom = 1.0;
    double magnification = 1.0;
    DisplayMode mode = DisplayMode::Fitted;
    // The stored drawing settings: copied at set-up; unit, decimals and camera
    // class are asked for again whenever values are computed.
    std::function<PhotoDrawingSettings()> settings;
    // Runs the calibration dialog for a unit; IDOK or IDCANCEL. Empty: the real dialog.
    std::function<int(QWidget* parent, const QString& unit)> calibrationDialog;
};

class CMeasureCanvas : public QWidget, private EditorHost {
    Q_OBJECT
public:
    CMeasureCanvas(const CanvasSetup& setup, QWidget* parent);
    ~CMeasureCanvas() override;

    bool HasPicture() const { return m_picture.IsValid(); }
    // Unit, decimals, magnification and scale a measurement made now would use.
    EditorSettings CurrentSettings() const { return Settings(); }
    QSize PictureSize() const { return m_pictureSize; }
    QSize DisplaySize() const { return m_displaySize; }
    QSize SurfaceSize() const { return m_surface.size(); }
    DisplayMode Mode() const { return m_mode; }
    double SaveRatio() const { return m_saveRatio; }
    const QString& BaseName() const { return m_baseName; }
    const QString& Caption() const { return m_caption; }
    const QString& MagnificationTag() const { return m_tag; }
    QPoint ScrollOffset() const { return m_scroll; }
    QScrollBar* HorizontalBar() const { return m_hbar; }
    QScrollBar* VerticalBar() const { return m_vbar; }

    void SetMagnification(double magnification) { m_magnification = magnification; }
    double Magnification() const { return m_magnification; }
    // The pen, label font and annotation settings after the dialogs.
    void SetPen(int width, int style, ColorRef lineColor, ColorRef labelColor);
    void SetLabelFont(const LogFontRecord& font, int fontSize);
    void SetTextStyle(ColorRef color, const LogFontRecord& font);

    // Editing operations for the photo window.
    MeasureEditor& Editor() { return m_editor; }
    const MeasureEditor& Editor() const { return m_editor; }
    void SetTool(MeasureTool tool, ToolMode mode) { m_editor.SetTool(tool, mode); }
    void SetCalibrationFlag() { m_editor.SetCalibrationFlag(); }

    // Writes the picture at full size with every measurement burned in: BMP or JPEG
    // by the path's last three letters; 1 on success, 0 otherwise.
    int SaveWithMeasurements(const QString& path);

    CBitmapButton* AdjustButton(int index) const;
    bool IsTimerRunning(int id) const;
    int TimerPeriod(int id) const;
    void OnTimer(int id);

    // The area of the window that shows the picture.
    QSize ClientSize() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Load(const QString& path);
    void SetUpScrollBars();
    void OnScroll();
    void ComposeSurface(const QRect& area);
    void NotifyCountChange();
    QPoint Confined(QPoint p) const;

    // EditorHost
    QWidget* Owner() override { return parentWidget() != nullptr ? parentWidget() : this; }
    double Zoom() const override { return m_zoom; }
    QPoint Scroll() const override { return m_scroll; }
    QRect VisiblePicture() const override;
    EditorSettings Settings() const override;
    void Repaint() override { update(); }
    void RepaintRect(const QRect& rect) override { update(rect); }
    void ConfineCursor(const QRect& area) override;
    void ReleaseCursor() override;
    QPoint MoveCursorTo(QPoint window) override;
    QSize TextExtent(const QString& text) const override;
    void ShowAdjustButtons(bool show) override;
    void NotifyChanged() override;
    bool RunCalibrationDialog(const QString& unit) override;
    void NotifyCalibrated() override;

    CanvasSetup m_setup;
    PhotoDrawingSettings m_stored; // copies taken at set-up and after the dialogs
    CxImage m_picture;
    QSize m_pictureSize;
    QSize m_displaySize;
    DisplayMode m_mode = DisplayMode::Fitted;
    double m_zoom = 1.0;
    double m_magnification = 1.0;
    double m_saveRatio = 1.0;
    QString m_baseName;
    QString m_caption;
    QString m_tag;
    QPoint m_scroll;
    QImage m_surface;
    MeasureRenderer m_renderer;
    MeasureEditor m_editor;
    QScrollBar* m_hbar = nullptr;
    QScrollBar* m_vbar = nullptr;
    WindowTimers* m_timers = nullptr;
    std::array<CBitmapButton*, 6> m_adjust{};
    bool m_grabbed = false;
};
