#pragma once
// The picture of a playing clip: a child window over the player's video area,
// black where the picture does not reach. The picture keeps its proportions, so
// what was measured under the microscope is not stretched.
#include <QImage>
#include <QWidget>

class ClipVideoView : public QWidget {
public:
    explicit ClipVideoView(QWidget* parent);

    void SetPicture(const QImage& picture);
    const QImage& Picture() const { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage m_picture;
};
