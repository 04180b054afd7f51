#include "PhotoTestSupport.h"

#include "measure/MeasureList.h"
#include "measure/MeasurePainting.h"
#include "platform/desktop/MessageBox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

namespace phototest {

ScriptedMessages::ScriptedMessages()
{
    SetMessageResponder([this](const QString& text, const QString&, unsigned flags) {
        texts.append(text);
        if (onAsk) {
            onAsk();
        }
        if (!m_answers.empty()) {
            const int answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        }
        return int((flags & 0xF) == MB_YESNO ? IDYES : IDOK);
    });
}

ScriptedMessages::~ScriptedMessages()
{
    SetMessageResponder(nullptr);
}

ScriptedFiles::ScriptedFiles()
{
    SetPhotoFileResponder([this](const PhotoFileRequest& request) {
        requests.append(request);
        if (m_answers.empty()) {
            return QString();
        }
        const QString answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    });
}

ScriptedFiles::~ScriptedFiles()
{
    SetPhotoFileResponder(nullptr);
}

QString WritePicture(const QTemporaryDir& dir, const QString& name, QSize size)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    const QString path = dir.filePath(name);
    CxImage picture;
    picture.CreateFromBitmap(image);
    const bool jpeg = name.endsWith(QLatin1String("jpg"), Qt::CaseInsensitive);
    picture.Save(path, jpeg ? CXIMAGE_FORMAT_JPG : CXIMAGE_FORMAT_BMP);
    return path;
}

PhotoDrawingSettings TestSettings()
{
    PhotoDrawingSettings settings;
    settings.penWidth = 1;
    settings.lineColor = kBlue;
    settings.labelColor = kBrown;
    LogFontRecord font = DefaultMeasureFont();
    font.height = -14;
    font.quality = 3; // no antialiasing: exact colours
    settings.labelFont = font;
    settings.textFont = font;
    settings.textColor = kBlue;
    settings.cameraClass = 2;
    return settings;
}

namespace {

void Send(QWidget* widget, QEvent::Type type, QPoint p, Qt::MouseButton button, Qt::MouseButtons buttons)
{
    QMouseEvent event(type, QPointF(p), QPointF(widget->mapToGlobal(p)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

} // namespace

void Press(QWidget* widget, QPoint p, Qt::MouseButton button)
{
    Send(widget, QEvent::MouseButtonPress, p, button, button);
}

void Move(QWidget* widget, QPoint p)
{
    Send(widget, QEvent::MouseMove, p, Qt::NoButton, Qt::NoButton);
}

void Click(QWidget* widget, QPoint p, Qt::MouseButton button)
{
    Send(widget, QEvent::MouseButtonPress, p, button, button);
    Send(widget, QEvent::MouseButtonRelease, p, button, Qt::NoButton);
}

void RightClick(QWidget* widget, QPoint p)
{
    Click(widget, p, Qt::RightButton);
}

void DoubleClick(QWidget* widget, QPoint p)
{
    // As the desktop delivers it: press, release, double click, release.
    Click(widget, p);
    Send(widget, QEvent::MouseButtonDblClick, p, Qt::LeftButton, Qt::LeftButton);
    Send(widget, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
}

int MessageSink::Count(QEvent::Type type) const
{
    return int(m_types.count(int(type)));
}

bool MessageSink::event(QEvent* event)
{
    if (event->type() >= QEvent::User) {
        m_types.append(int(event->type()));
        return true;
    }
    return QWidget::event(event);
}

CanvasRig::CanvasRig(const QString& path, DisplayMode mode, QSize size)
{
    parent.resize(size + QSize(0, 30));
    CanvasSetup setup;
    setup.path = path;
    setup.mode = mode;
    setup.magnification = 10;
    setup.settings = [this] { return settings; };
    canvas = std::make_unique<CMeasureCanvas>(setup, &parent);
    canvas->setGeometry(QRect(QPoint(0, 0), size));
    parent.show();
}

CanvasRig::~CanvasRig()
{
    canvas.reset();
}

} // namespace phototest
