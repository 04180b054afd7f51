// The message-box service as the user sees it.
#include "platform/desktop/MessageBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTimer>
#include <gtest/gtest.h>

TEST(MessageBox, AShortTextLeavesRoomForTheWholeCaption)
{
    // A long caption over a one-word text: the title bar's icon and buttons come
    // on top of the caption.
    const QString caption = "Pelora USB handheld digital microscope";
    int width = 0;
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            width = box->width();
            box->accept();
        }
    });
    answer.start(10);
    EXPECT_EQ(ShowMessage(nullptr, "Picture Error", caption, MB_OK), IDOK);
    const int captionWidth =
        QFontMetrics(QApplication::font("QMdiSubWindowTitleBar")).horizontalAdvance(caption);
    EXPECT_GE(width, captionWidth + 120);
}
