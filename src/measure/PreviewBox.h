#pragma once
// A group box whose inside is drawn by its dialog (the preview of the pen and text
// dialogs).
#include <QGroupBox>
#include <functional>

class PreviewBox : public QGroupBox {
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter& painter, const QRect& box)>;
    PreviewBox(const QString& title, Painter painter, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Painter m_painter;
};
