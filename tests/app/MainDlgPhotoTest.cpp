// The main window opens the photo measure window for the picture selected in the
// files strip.
#include "MainDlgTestSupport.h"
#include "app/MainDlgIds.h"
#include "capture/CaptureSession.h"
#include "photo/CPhotoMeasureDlg.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>

using namespace maindlg;

TEST_F(MainDlgTest, OpeningAPictureRunsThePhotoWindowForIt)
{
    auto dlg = Start();
    ASSERT_TRUE(WaitFor([&] { return dlg->Session().State().FrameStore.width.load() > 0; }));
    dlg->OnCommand(IDC_CAMERA);
    const QDir pictures(dlg->PictureFolder());
    ASSERT_TRUE(WaitFor([&] { return pictures.entryList(QDir::Files).size() == 1; }));

    QString shownPath;
    QString magnification;
    bool hasCanvas = false;
    testsupport::ActWhenShown closer(
        [] { return qobject_cast<CPhotoMeasureDlg*>(QApplication::activeModalWidget()); },
        [&](QWidget* widget) {
            auto* photo = static_cast<CPhotoMeasureDlg*>(widget);
            shownPath = photo->PicturePath();
            magnification = photo->MagnificationEdit()->text();
            hasCanvas = photo->Canvas() != nullptr;
            photo->close(); // "Are you sure to close?" is answered Yes
        });
    dlg->OnCommand(ID_OPEN);
    ASSERT_TRUE(WaitFor([&] { return !shownPath.isEmpty(); }));
    EXPECT_EQ(shownPath, pictures.filePath(pictures.entryList(QDir::Files).at(0)));
    EXPECT_EQ(magnification, "60");
    EXPECT_TRUE(hasCanvas);
    EXPECT_TRUE(m_messages.contains("Are you sure to close?"));
}
