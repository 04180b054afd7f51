// The photo measure window: its controls, tool commands, magnification boxes,
// save and open, the size changes that recreate the canvas, keys and closing.
#include "PhotoTestSupport.h"
#include "common/TestSupport.h"
#include "measure/CMeasureListDlg.h"
#include "measure/Calibration.h"
#include "measure/MeasureList.h"
#include "photo/CPhotoMeasureDlg.h"
#include "photo/PhotoIds.h"
#include "platform/desktop/MessageBox.h"
#include "widgets/CBitmapButton.h"
#include "widgets/CMenuXP.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>
#include <QWindow>
#include <gtest/gtest.h>

using namespace phototest;
using namespace photo;

namespace {

class PhotoWindow : public ::testing::Test {
protected:
    void SetUp() override { calibrationFile = dir.filePath("CalibrationIni.ini"); }
    void TearDown() override
    {
        if (window) {
            window->setAttribute(Qt::WA_DeleteOnClose, false);
        }
        window.reset();
    }

    CPhotoMeasureDlg& Open(const QString& name, QSize size = QSize(640, 480), bool print = false)
    {
        path = WritePicture(dir, name, size);
        PhotoWindowParts parts;
        parts.calibrationFile = calibrationFile;
        parts.settings = [] { return TestSettings(); };
        if (print) {
            parts.print = [this](const QString& printed) { this->printed << printed; };
        }
        window = std::make_unique<CPhotoMeasureDlg>(path, parts);
        window->show();
        return *window;
    }

    // One measured line on the canvas.
    void MeasureLine()
    {
        ASSERT_TRUE(window->OnCommand(ID_M_LINE));
        CMeasureCanvas* canvas = window->Canvas();
        Click(canvas, QPoint(100, 100));
        Click(canvas, QPoint(200, 100));
        Click(canvas, QPoint(220, 120));
        ASSERT_EQ(SharedPhotoList().Count(), 1);
    }

    QTemporaryDir dir;
    QString path;
    QString calibrationFile;
    QStringList printed;
    ScriptedMessages messages;
    ScriptedFiles files;
    std::unique_ptr<CPhotoMeasureDlg> window;
};

} // namespace

TEST_F(PhotoWindow, ButtonsMenusAndHiddenControls)
{
    CPhotoMeasureDlg& w = Open("Still_2024-05-01_153045_60X_N0001.bmp");
    EXPECT_EQ(w.windowTitle(), "Photo Measure");
    const struct {
        int id;
        const char* tip;
    } buttons[] = {{IDC_OPEN, "Open"},         {IDC_SAVE, "Save"},       {IDC_PRINT, "Print"},
                   {IDC_LIST, "Export2Excel"}, {IDC_SELECT, "Select"},   {IDC_PAINT, "Paint"},
                   {IDC_MEASURE, "Measure"},   {IDC_PEN, "Pen Setting"}, {IDC_TEXT, "Text"},
                   {IDC_DELETE, "Delete"},     {IDC_MOVE, "Move"},       {IDC_CALIBRATE, "Calibration"}};
    for (const auto& b : buttons) {
        ASSERT_NE(w.Button(b.id), nullptr) << b.id;
        EXPECT_EQ(w.ToolTipText(b.id), b.tip) << b.id;
        EXPECT_EQ(w.Button(b.id)->y(), 4);
    }
    // Hovering, no button pressed, shows the tip; leaving the button takes it away.
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&w));
    QTest::mouseMove(w.Button(IDC_MOVE), QPoint(10, 10));
    QTest::mouseMove(w.Button(IDC_MOVE), QPoint(12, 10));
    EXPECT_TRUE(QTest::qWaitFor([&w] { return w.ShownToolTip() == "Move"; }));
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(w.Button(IDC_MOVE), &leave);
    EXPECT_EQ(w.ShownToolTip(), "");
    // Without a print hand-off the print button is greyed.
    EXPECT_FALSE(w.Button(IDC_PRINT)->isEnabled());
    for (const int hidden : {IDC_CALIBRATE, IDC_STATUS, IDC_X_LABEL, IDC_SCALE_LABEL}) {
        EXPECT_TRUE(w.Control(hidden)->isHidden()) << hidden;
    }
    EXPECT_EQ(w.Canvas()->geometry(), QRect(0, 30, 640, 480));

    auto layout = [](CMenuXP* menu) {
        QList<int> ids;
        for (int i = 0; i < menu->ItemCount(); ++i) {
            ids << CMenuXP::CommandOf(menu->ItemAt(i));
        }
        return ids;
    };
    EXPECT_EQ(layout(w.MeasureMenu()),
              (QList<int>{ID_M_LINE, ID_M_CONTINUOUS, -1, ID_M_RECTANGLE, ID_M_POLYGON, -1, ID_M_RADIUS,
                          ID_M_DIAMETER, ID_M_THREE_CIRCLE, -1, ID_M_ANGLE, ID_M_FOUR_ANGLE, -1,
                          ID_M_SLIDE_CALIBRATION}));
    EXPECT_EQ(w.MeasureMenu()->FindItem(ID_M_SLIDE_CALIBRATION)->text(), "Calibrate from Slide...");
    EXPECT_EQ(layout(w.PaintMenu()), (QList<int>{ID_D_LINE, ID_D_ANGLE, ID_D_RECTANGLE, -1, ID_D_RADIUS,
                                                 ID_D_DIAMETER, ID_D_THREE_CIRCLE}));
    EXPECT_EQ(w.MeasureMenu()->FindItem(ID_M_POLYGON)->text(), "Polygon measrement");
    EXPECT_EQ(w.PaintMenu()->FindItem(ID_D_RECTANGLE)->text(), "Retangle");
    EXPECT_FALSE(w.MeasureMenu()->FindItem(ID_M_LINE)->icon().isNull());
}

TEST_F(PhotoWindow, TallPicturesGetATallerCanvas)
{
    CPhotoMeasureDlg& w = Open("tall.bmp", QSize(1280, 1024));
    EXPECT_EQ(w.Canvas()->geometry(), QRect(0, 30, 640, 512));
    EXPECT_EQ(w.Canvas()->SurfaceSize(), QSize(640, 512));
}

TEST_F(PhotoWindow, MagnificationComesFromTheNameAndTheCalibrationFile)
{
    CPhotoMeasureDlg& w = Open("Still_2024-05-01_153045_200X_N0001.bmp");
    EXPECT_EQ(w.MagnificationEdit()->text(), "200");
    // Nothing stored: the calibrated box shows the nominal text itself.
    EXPECT_EQ(w.CalibratedEdit()->text(), "200");
    EXPECT_FALSE(w.CalibratedEdit()->isEnabled());
    // Typing looks the stored value up, and shows nothing when there is none.
    testsupport::WriteFile(calibrationFile, "[60]\n60=57.3\n");
    w.MagnificationEdit()->setText("60");
    EXPECT_EQ(w.CalibratedEdit()->text(), "57.3");
    w.MagnificationEdit()->setText("61");
    EXPECT_EQ(w.CalibratedEdit()->text(), "");
    // Measuring commands read the magnification into the canvas.
    ASSERT_TRUE(w.OnCommand(ID_M_LINE));
    EXPECT_EQ(w.Magnification(), 61);
    EXPECT_EQ(w.Canvas()->Magnification(), 61);
    EXPECT_EQ(w.Canvas()->Editor().Tool(), MeasureTool::Line);
    EXPECT_EQ(w.StatusText()->text(), "Line");
}

TEST_F(PhotoWindow, ToolCommandsWithoutMagnification)
{
    CPhotoMeasureDlg& w = Open("holiday.bmp");
    EXPECT_EQ(w.MagnificationEdit()->text(), "");
    ASSERT_TRUE(w.OnCommand(ID_M_RECTANGLE));
    EXPECT_EQ(messages.texts, QStringList{"Please input the zoomIn scale!"});
    EXPECT_EQ(w.Canvas()->Editor().Tool(), MeasureTool::Select);
    // Drawing needs no magnification.
    ASSERT_TRUE(w.OnCommand(ID_D_RECTANGLE));
    EXPECT_EQ(w.Canvas()->Editor().Tool(), MeasureTool::Rectangle);
    EXPECT_EQ(w.Canvas()->Editor().Mode(), ToolMode::DrawingOnly);
    EXPECT_EQ(messages.texts.size(), 1);
    // The four-point angle turns the two-line pick on; a menu button turns it off.
    w.MagnificationEdit()->setText("60");
    ASSERT_TRUE(w.OnCommand(ID_M_FOUR_ANGLE));
    EXPECT_TRUE(w.Canvas()->Editor().TwoLinePickMode());
    w.OnCommand(IDC_SELECT);
    EXPECT_TRUE(w.Button(IDC_SELECT)->IsActive());
    EXPECT_EQ(w.Canvas()->Editor().Tool(), MeasureTool::Select);
    testsupport::ActWhenShown closeMenu(
        [&w] { return w.MeasureMenu()->isVisible() ? w.MeasureMenu() : nullptr; },
        [](QWidget* menu) { static_cast<QMenu*>(menu)->close(); });
    w.OnCommand(IDC_MEASURE);
    EXPECT_TRUE(w.Button(IDC_MEASURE)->IsActive());
    EXPECT_FALSE(w.Button(IDC_SELECT)->IsActive());
    EXPECT_FALSE(w.Canvas()->Editor().TwoLinePickMode());
    EXPECT_EQ(w.Canvas()->Editor().Tool(), MeasureTool::None);
}

TEST_F(PhotoWindow, SaveReportsSuccessAndFailure)
{
    CPhotoMeasureDlg& w = Open("Still_2024-05-01_153045_60X_N0001.bmp");
    MeasureLine();
    files.Answer(dir.filePath("out.jpg"));
    w.OnCommand(IDC_SAVE);
    ASSERT_EQ(files.requests.size(), 1);
    EXPECT_TRUE(files.requests[0].save);
    EXPECT_EQ(files.requests[0].initialName, path);
    EXPECT_EQ(files.requests[0].filter, "BMP Files(*.BMP)|*.BMP|JPG Files(*.JPG)|*.JPG||");
    EXPECT_TRUE(QFile::exists(dir.filePath("out.jpg")));
    EXPECT_TRUE(w.IsSaved());
    EXPECT_EQ(files.requests[0].defaultExtension, "bmp");
    EXPECT_EQ(files.requests[0].selectedFilter, "");
    files.Answer(dir.filePath("out.gif"));
    w.OnCommand(IDC_SAVE);
    EXPECT_EQ(messages.texts, (QStringList{"Save successfully!", "Save fail"}));

    // A JPEG picture is offered as JPEG.
    messages.Answer(IDNO);
    files.Answer(dir.filePath("out.jpg"));
    w.OnCommand(IDC_OPEN);
    files.Answer(QString());
    w.OnCommand(IDC_SAVE);
    ASSERT_EQ(files.requests.size(), 4);
    EXPECT_EQ(files.requests[3].initialName, dir.filePath("out.jpg"));
    EXPECT_EQ(files.requests[3].defaultExtension, "jpg");
    EXPECT_EQ(files.requests[3].selectedFilter, "JPG Files(*.JPG)|*.JPG");
}

TEST_F(PhotoWindow, MeasurementsAddedAfterASaveAreAskedForAgain)
{
    CPhotoMeasureDlg& w = Open("Still_2024-05-01_153045_60X_N0001.bmp");
    MeasureLine();
    w.Canvas()->grab();
    QCoreApplication::sendPostedEvents(&w);
    files.Answer(dir.filePath("out.bmp"));
    w.OnCommand(IDC_SAVE);
    ASSERT_TRUE(w.IsSaved());
    // Nothing new: opening asks nothing.
    w.OnCommand(IDC_OPEN);
    EXPECT_EQ(messages.texts, QStringList{"Save successfully!"});

    CMeasureCanvas* canvas = w.Canvas();
    w.OnCommand(ID_M_LINE);
    Click(canvas, QPoint(100, 300));
    Click(canvas, QPoint(200, 300));
    Click(canvas, QPoint(220, 320));
    canvas->grab();
    QCoreApplication::sendPostedEvents(&w);
    EXPECT_FALSE(w.IsSaved());
    messages.Answer(IDNO);
    w.OnCommand(IDC_OPEN);
    EXPECT_EQ(messages.texts.last(), "Save changes to...");
}

TEST_F(PhotoWindow, MovingOrTurningAfterASaveIsAskedForAgain)
{
    CPhotoMeasureDlg& w = Open("Still_2024-05-01_153045_60X_N0001.bmp");
    CMeasureCanvas* canvas = w.Canvas();
    MeasureLine();
    w.OnCommand(ID_M_RECTANGLE);
    Click(canvas, QPoint(300, 300));
    Click(canvas, QPoint(400, 350));
    Click(canvas, QPoint(420, 370));
    auto saveAndSettle = [&] {
        canvas->grab();
        QCoreApplication::sendPostedEvents(&w);
        files.Answer(dir.filePath("out.bmp"));
        w.OnCommand(IDC_SAVE);
        QCoreApplication::sendPostedEvents(&w);
        ASSERT_TRUE(w.IsSaved());
    };
    saveAndSettle();
    // A line moved after the save.
    w.OnCommand(IDC_SELECT);
    Click(canvas, QPoint(150, 100));
    w.OnCommand(IDC_MOVE);
    Click(canvas, QPoint(150, 200));
    ASSERT_EQ(SharedPhotoList().At(0)->points[0], QPoint(100, 200));
    QCoreApplication::sendPostedEvents(&w);
    EXPECT_FALSE(w.IsSaved());

    // A rectangle turned after the save.
    saveAndSettle();
    Click(canvas, QPoint(350, 325));
    canvas->OnTimer(kAdjustTimerFirst + 4);
    QCoreApplication::sendPostedEvents(&w);
    EXPECT_FALSE(w.IsSaved());
    messages.Answer(IDNO);
    files.Answer(QString());
    w.OnCommand(IDC_OPEN);
    EXPECT_EQ(messages.texts.last(), "Save changes to...");
}

TEST_F(PhotoWindow, DeletionsInTheListAreFollowedByTheCanvas)
{
    CPhotoMeasureDlg& w = Open("Still_2024-05-01_153045_60X_N0001.bmp");
    CMeasureCanvas* canvas = w.Canvas();
    w.OnCommand(ID_M_RECTANGLE);
    for (const int y : {100, 300}) {
        Click(canvas, QPoint(100, y));
        Click(canvas, QPoint(200, y + 50));
        Click(canvas, QPoint(220, y + 70));
    }
    w.OnCommand(ID_M_LINE); // position 2, over the first rectangle
    Click(canvas, QPoint(100, 100));
    Click(canvas, QPoint(200, 100));
    Click(canvas, QPoint(220, 90));
    w.OnCommand(IDC_SELECT);
    Click(canvas, QPoint(150, 325)); // the second rectangle takes the adjust buttons
    w.OnCommand(IDC_LIST);
    CMeasureListDlg* list = w.MeasureList();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list));
    auto deleteRow = [list](int tab, int row) {
        list->Tabs()->setCurrentIndex(tab);
        QTreeWidget* rows = list->Rows();
        QTest::mouseClick(rows->viewport(), Qt::LeftButton, {},
                          rows->visualItemRect(rows->topLevelItem(row)).center());
        list->OnCommand(IDC_LIST_DELETE);
    };
    deleteRow(1, 0); // the first rectangle
    ASSERT_EQ(SharedPhotoList().Count(), 2);
    canvas->OnTimer(kAdjustTimerFirst + 3);
    EXPECT_EQ(SharedPhotoList().At(0)->points[1], QPoint(201, 350)); // the second, not another
    ASSERT_NE(canvas->AdjustButton(0), nullptr);

    // The line being moved goes: the next click moves nothing.
    Click(canvas, QPoint(150, 100));
    w.OnCommand(IDC_MOVE);
    ASSERT_TRUE(canvas->Editor().IsMoving());
    deleteRow(0, 0);
    EXPECT_FALSE(canvas->Editor().IsMoving());
    Click(canvas, QPoint(150, 400));
    ASSERT_EQ(SharedPhotoList().Count(), 1);
    EXPECT_EQ(SharedPhotoList().At(0)->points[0], QPoint(100, 300));
    // Deleting the adjusted rectangle takes its buttons away.
    deleteRow(1, 0);
    EXPECT_EQ(canvas->AdjustButton(0), nullptr);
}

TEST_F(PhotoWindow, OpenAsksToSaveFirstAndOffersOnlyBmpAfterNo)
{
    CPhotoMeasureDlg& w = Open("first.bmp");
    w.MagnificationEdit()->setText("60");
    MeasureLine();
    messages.Answer(IDNO);
    const QString second = WritePicture(dir, "second.bmp", QSize(640, 480));
    files.Answer(second);
    w.OnCommand(IDC_OPEN);
    EXPECT_EQ(messages.texts, QStringList{"Save changes to..."});
    ASSERT_EQ(files.requests.size(), 1);
    // Both picture types first, nothing typed in, the picture's own folder.
    const QString both = "BMP/JPG Files(*.BMP;*.JPG)|*.bmp *.jpg *.BMP *.JPG|";
    EXPECT_EQ(files.requests[0].filter, both + "bmp Files(*.bmp)|*.bmp");
    EXPECT_EQ(files.requests[0].initialName, "");
    EXPECT_EQ(files.requests[0].folder, dir.path());
    EXPECT_EQ(w.PicturePath(), second);
    EXPECT_EQ(SharedPhotoList().Count(), 0); // the measurements went with the old canvas
    // Nothing measured: both picture types are offered, no question asked.
    files.Answer(QString());
    w.OnCommand(IDC_OPEN);
    EXPECT_EQ(files.requests[1].filter, both + "BMP Files(*.BMP)|*.BMP|JPG Files(*.JPG)|*.JPG||");
    EXPECT_EQ(messages.texts.size(), 1);
    // Yes saves instead of opening.
    MeasureLine();
    messages.Answer(IDYES);
    files.Answer(dir.filePath("kept.bmp"));
    w.OnCommand(IDC_OPEN);
    EXPECT_TRUE(QFile::exists(dir.filePath("kept.bmp")));
    EXPECT_EQ(w.PicturePath(), second);
    EXPECT_EQ(SharedPhotoList().Count(), 1);
}

TEST_F(PhotoWindow, MaximizeWithUnsavedMeasurementsAndYesSavesAndStays)
{
    CPhotoMeasureDlg& w = Open("m.bmp");
    w.MagnificationEdit()->setText("60");
    MeasureLine();
    messages.Answer(IDYES);
    files.Answer(dir.filePath("saved.bmp"));
    w.RequestMaximize();
    EXPECT_FALSE(w.isMaximized());
    EXPECT_TRUE(QFile::exists(dir.filePath("saved.bmp")));
    EXPECT_EQ(w.Mode(), DisplayMode::Fitted);
    EXPECT_EQ(SharedPhotoList().Count(), 1);
    EXPECT_EQ(messages.texts, (QStringList{"Save changes to...", "Save successfully!"}));
}

TEST_F(PhotoWindow, MaximizeAndRestoreRecreateAnEmptyCanvas)
{
    CPhotoMeasureDlg& w = Open("m.bmp", QSize(1600, 1200));
    w.MagnificationEdit()->setText("60");
    MeasureLine();
    messages.Answer(IDNO);
    w.RequestMaximize();
    QCoreApplication::processEvents();
    ASSERT_TRUE(w.isMaximized());
    EXPECT_EQ(w.Mode(), DisplayMode::ActualSize);
    ASSERT_NE(w.Canvas(), nullptr);
    EXPECT_EQ(w.Canvas()->Mode(), DisplayMode::ActualSize);
    EXPECT_EQ(w.Canvas()->SurfaceSize(), QSize(1600, 1200));
    EXPECT_EQ(SharedPhotoList().Count(), 0);
    EXPECT_EQ(w.Canvas()->geometry().top(), 30);

    w.RequestRestore();
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.isMaximized());
    EXPECT_EQ(w.Canvas()->Mode(), DisplayMode::Fitted);
    EXPECT_EQ(w.Canvas()->SurfaceSize(), QSize(640, 480));
}

TEST_F(PhotoWindow, RestoredByTheFrameItAsksBeforeTheWindowShrinks)
{
    CPhotoMeasureDlg& w = Open("m.bmp", QSize(1600, 1200));
    w.MagnificationEdit()->setText("60");
    w.RequestMaximize();
    QCoreApplication::processEvents();
    ASSERT_TRUE(w.isMaximized());
    CMeasureCanvas* canvas = w.Canvas();
    w.OnCommand(ID_M_LINE);
    Click(canvas, QPoint(100, 100));
    Click(canvas, QPoint(200, 100));
    Click(canvas, QPoint(220, 120));
    ASSERT_EQ(SharedPhotoList().Count(), 1);

    // The frame's restore button: the window is as it was while the question shows.
    bool maximizedWhenAsked = false;
    messages.onAsk = [&] { maximizedWhenAsked = w.isMaximized() && w.Canvas() == canvas; };
    messages.Answer(IDNO);
    w.windowHandle()->setWindowStates(Qt::WindowNoState);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !messages.texts.isEmpty(); }));
    EXPECT_TRUE(maximizedWhenAsked);
    QCoreApplication::processEvents();
    EXPECT_EQ(messages.texts, QStringList{"Save changes to..."});
    EXPECT_FALSE(w.isMaximized());
    EXPECT_EQ(w.Canvas()->Mode(), DisplayMode::Fitted);
    messages.onAsk = nullptr;

    // Maximized by the frame with a measurement, and Yes: saved, and the window stays.
    w.OnCommand(ID_M_LINE);
    Click(w.Canvas(), QPoint(100, 100));
    Click(w.Canvas(), QPoint(200, 100));
    Click(w.Canvas(), QPoint(220, 120));
    messages.Answer(IDYES);
    files.Answer(dir.filePath("saved.bmp"));
    w.windowHandle()->setWindowStates(Qt::WindowMaximized);
    EXPECT_TRUE(QTest::qWaitFor([&] { return messages.texts.size() == 3; }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(w.isMaximized());
    EXPECT_TRUE(QFile::exists(dir.filePath("saved.bmp")));
    EXPECT_EQ(SharedPhotoList().Count(), 1);
}

TEST_F(PhotoWindow, KeysDoNotCloseAndCloseAsks)
{
    CPhotoMeasureDlg& w = Open("k.bmp");
    QTest::keyClick(&w, Qt::Key_Escape);
    QTest::keyClick(&w, Qt::Key_Return);
    QTest::keyClick(w.Canvas(), Qt::Key_Escape);
    EXPECT_TRUE(w.isVisible());
    EXPECT_TRUE(messages.texts.isEmpty());
    messages.Answer(IDNO);
    w.close();
    EXPECT_TRUE(w.isVisible());
    w.close();
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(messages.texts, QStringList(2, "Are you sure to close?"));
}

TEST_F(PhotoWindow, DamagedPictureLeavesABareWindow)
{
    const QString damaged = dir.filePath("damaged.bmp");
    testsupport::WriteFile(damaged, QByteArray("BM not really a picture"));
    PhotoWindowParts parts;
    parts.settings = [] { return TestSettings(); };
    CPhotoMeasureDlg w(damaged, parts);
    EXPECT_EQ(w.Canvas(), nullptr);
    EXPECT_EQ(messages.texts, QStringList{"Can not Open file"});
    w.OnCommand(ID_D_LINE);
    w.OnCommand(IDC_SAVE);
    w.OnCommand(IDC_OPEN);
    EXPECT_TRUE(files.requests.size() <= 1);
}

TEST_F(PhotoWindow, PrintListAndCalibration)
{
    CPhotoMeasureDlg& w = Open("Still_2024-05-01_153045_60X_N0001.bmp", QSize(640, 480), true);
    EXPECT_TRUE(w.Button(IDC_PRINT)->isEnabled());
    w.OnCommand(IDC_PRINT);
    EXPECT_EQ(printed, QStringList{path});

    MeasureLine();
    w.OnCommand(IDC_LIST);
    ASSERT_NE(w.MeasureList(), nullptr);
    EXPECT_TRUE(w.MeasureList()->isVisible());

    // The calibration command works when issued: nominal value, line tool, status.
    w.OnCommand(IDC_CALIBRATE);
    EXPECT_TRUE(w.Canvas()->Editor().IsCalibrating());
    EXPECT_EQ(w.Canvas()->Editor().Tool(), MeasureTool::Line);
    EXPECT_FALSE(w.Button(IDC_CALIBRATE)->isEnabled());
    EXPECT_EQ(w.StatusText()->text(), "Line");
    // An accepted calibration is shown, read and stored under the nominal text.
    Calibration().lastResult = 57.31;
    QCoreApplication::postEvent(&w, new QEvent(WM_PHOTO_CALIBRATED));
    QCoreApplication::sendPostedEvents(&w);
    EXPECT_EQ(w.CalibratedEdit()->text(), "57.3");
    EXPECT_DOUBLE_EQ(w.Magnification(), 57.3);
    EXPECT_TRUE(QString::fromUtf8(testsupport::ReadFile(calibrationFile)).contains("60=57.3"));
}

TEST_F(PhotoWindow, CalibrationWaitsForAPictureItsLineCanBeDrawnOn)
{
    CPhotoMeasureDlg& w = Open("Still_2024-05-01_153045_60X_N0001.bmp");
    const QString damaged = dir.filePath("damaged.bmp");
    testsupport::WriteFile(damaged, QByteArray("BM not really a picture"));
    files.Answer(damaged);
    w.OnCommand(IDC_OPEN);
    ASSERT_FALSE(w.Canvas()->HasPicture());
    w.OnCommand(IDC_CALIBRATE);
    EXPECT_FALSE(w.Canvas()->Editor().IsCalibrating());
    EXPECT_TRUE(w.Button(IDC_CALIBRATE)->isEnabled());

    // Started on a picture, then left for another before its line: offered again.
    files.Answer(path);
    w.OnCommand(IDC_OPEN);
    w.OnCommand(IDC_CALIBRATE);
    ASSERT_TRUE(w.Canvas()->Editor().IsCalibrating());
    EXPECT_FALSE(w.Button(IDC_CALIBRATE)->isEnabled());
    files.Answer(path);
    w.OnCommand(IDC_OPEN);
    EXPECT_TRUE(w.Button(IDC_CALIBRATE)->isEnabled());
    w.OnCommand(IDC_CALIBRATE);
    EXPECT_TRUE(w.Canvas()->Editor().IsCalibrating());
}
