#pragma once
// Shared pieces of the photo tests: pictures written to a temporary folder,
// scripted message boxes and file dialogs, and mouse input sent to a widget.
#include "image/CxImage.h"
#include "photo/CMeasureCanvas.h"
#include "photo/PhotoDialogs.h"

#include <QEvent>
#include <QList>
#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>
#include <deque>
#include <functional>
#include <memory>

namespace phototest {

// Records every message box; answers from a queue of results, IDOK/IDYES when empty
// (Yes/No boxes get IDYES unless told otherwise).
class ScriptedMessages {
public:
    ScriptedMessages();
    ~ScriptedMessages();
    void Answer(int result) { m_answers.push_back(result); }
    QStringList texts;
    std::function<void()> onAsk; // runs as each box is shown, before its answer

private:
    std::deque<int> m_answers;
};

// Records every file dialog and answers with the queued paths ("" cancels).
class ScriptedFiles {
public:
    ScriptedFiles();
    ~ScriptedFiles();
    void Answer(const QString& path) { m_answers.push_back(path); }
    QList<PhotoFileRequest> requests;

private:
    std::deque<QString> m_answers;
};

// A white picture of `size` with a grey frame, saved by the path's ending.
QString WritePicture(const QTemporaryDir& dir, const QString& name, QSize size);

// Settings with a crisp label font, blue lines and a brown label colour.
PhotoDrawingSettings TestSettings();
inline constexpr ColorRef kBlue = 0xFF0000;
inline constexpr ColorRef kBrown = 0x004080;

// Mouse input at widget positions.
void Press(QWidget* widget, QPoint p, Qt::MouseButton button = Qt::LeftButton);
void Move(QWidget* widget, QPoint p);
void DoubleClick(QWidget* widget, QPoint p);
void Click(QWidget* widget, QPoint p, Qt::MouseButton button = Qt::LeftButton);
void RightClick(QWidget* widget, QPoint p);

// A parent that records the private messages posted to it.
class MessageSink : public QWidget {
public:
    int Count(QEvent::Type type) const;
    void Clear() { m_types.clear(); }

protected:
    bool event(QEvent* event) override;

private:
    QList<int> m_types;
};

// A canvas in fitted display over a parent that records its messages.
struct CanvasRig {
    explicit CanvasRig(const QString& path, DisplayMode mode = DisplayMode::Fitted,
                       QSize size = QSize(640, 480));
    ~CanvasRig();
    MessageSink parent;
    std::unique_ptr<CMeasureCanvas> canvas;
    PhotoDrawingSettings settings = TestSettings();
};

} // namespace phototest
