#pragma once
// The live picture the user sees (main window control 1000): the capture graph's
// live callback composes each frame into an off-screen picture here, and the
// paint handler copies that picture to the window and draws the status message
// and the full-screen hint over it.
//
// Threads: PaintFrame runs on the camera's streaming thread and asks for a repaint
// through an eventfd without blocking; everything else runs on the window thread.
// The off-screen picture is shared under a short lock.
#include "capture/LiveFrameHooks.h"
#include "platform/files/UniqueFd.h"

#include <QFont>
#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>
#include <atomic>
#include <cstdint>
#include <mutex>
#include <vector>

class QSocketNotifier;

inline constexpr int kPreviewControlId = 1000;
inline constexpr int kPreviewX = 193;
inline constexpr int kPreviewY = 34;
inline constexpr int kLivePreviewWidth = 640;
inline constexpr int kLivePreviewHeight = 480;
inline constexpr int kStatusTextCapacity = 128;

class CapturePreview : public QWidget {
    Q_OBJECT
public:
    explicit CapturePreview(QWidget* parent = nullptr);
    ~CapturePreview() override;

    // What is drawn over each frame (live measurements, overlays); set before the
    // preview starts.
    void SetPainters(const LiveFrameHooks& hooks);

    // Streaming thread: stretches a BGR bottom-up frame into the off-screen picture,
    // draws the measurements and overlays and asks for a repaint. 0 without a
    // picture or pixels.
    int PaintFrame(const std::uint8_t* pixels, int width, int height);
    // The same for a smaller picture of a frame of `frameSize` (the camera's size),
    // which decides how tall the frame is stretched.
    int PaintFrame(const std::uint8_t* pixels, int width, int height, QSize frameSize);

    // The off-screen picture at the window's size, filled black, made when missing;
    // ReleasePicture deletes it (the capture graph's TearDown).
    void PreparePicture();
    void ReleasePicture();
    // Copy of the composed picture (window size).
    QImage PreviewPicture() const;
    // Size of the off-screen picture (empty when there is none); any thread.
    QSize PictureSize() const { return {m_pictureWidth.load(), m_pictureHeight.load()}; }

    void EnterFullScreen();
    void LeaveFullScreen();

    // Values the main window owns and the preview shows.
    void SetStatusMessage(const QString& text); // up to 128 characters; empty hides it
    QString statusMessage() const;
    void SetFullScreenHint(const QString& text);
    void SetMeasureScale(double x, double y);
    double measureScaleX() const { return m_measureScaleX.load(); }
    double measureScaleY() const { return m_measureScaleY.load(); }

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void RecreatePicture();
    void StretchIntoPicture(const std::uint8_t* pixels, int width, int height, int targetHeight);
    void RequestRepaint();
    void OnRepaintRequested();
    void DrawStatusTexts(QPainter& painter) const;

    LiveFrameHooks m_painters; // only the painting hooks are used

    // The off-screen picture, written by PaintFrame and copied by the paint handler.
    mutable std::mutex m_pictureLock;
    QImage m_picture;
    std::vector<int> m_stretchColumns; // source byte offset of each target column
    int m_stretchKey[2] = {0, 0};      // source width, target width of the table
    std::atomic<int> m_pictureWidth{0};
    std::atomic<int> m_pictureHeight{0};

    UniqueFd m_repaintFd;
    QSocketNotifier* m_repaintNotifier = nullptr;
    std::atomic<bool> m_repaintQueued{false};

    mutable std::mutex m_textLock;
    QString m_statusMessage;
    QString m_fullScreenHint;
    bool m_fullScreen = false;
    QFont m_statusFont;

    std::atomic<double> m_measureScaleX{1.0};
    std::atomic<double> m_measureScaleY{1.0};
};
