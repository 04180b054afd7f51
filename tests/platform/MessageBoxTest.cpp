// The message-box service as the user sees it.
#include "platform/desktop/MessageBox.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMessageBox>
#include <QTest>
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

TEST(MessageBox, EnterAnswersNoWhereNoIsTheDefault)
{
    QTimer enter;
    QObject::connect(&enter, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            QTest::keyClick(box, Qt::Key_Return);
        }
    });
    enter.start(10);
    EXPECT_EQ(ShowMessage(nullptr, "Are you sure to delete all?", "Pelora", MB_YESNO | MB_DEFBUTTON2), IDNO);
    EXPECT_EQ(ShowMessage(nullptr, "Are you sure to close?", "Pelora", MB_YESNO), IDYES);
}
