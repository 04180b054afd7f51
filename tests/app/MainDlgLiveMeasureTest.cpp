// Live measuring through the main window: tool buttons, mouse events over the
// preview, the pictures the preview and a still show, calibration.
#include "MainDlgTestSupport.h"
#include "app/MainDlgIds.h"
#include "capture/CaptureSession.h"
#include "liveview/LiveMeasureFeature.h"
#include "measure/CCalibrationDlg.h"
#include "measure/Calibration.h"
#include "measure/CalibrationDlgIds.h"
#include "platform/desktop/FileDialogs.h"
#include "widgets/CBitmapButton.h"
#include "widgets/CMenuXP.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

using namespace maindlg;

namespace {

// A left click at a client position of the window.
void ClickAt(CMainDlg& dlg, QPoint client)
{
    QTest::mouseMove(dlg.Client(), client);
    QTest::mouseClick(dlg.Client(), Qt::LeftButton, Qt::NoModifier, client);
}

QStringList Pictures(const CMainDlg& dlg)
{
    return QDir(dlg.PictureFolder()).entryList({"*.jpg", "*.bmp"}, QDir::Files);
}

// Pixels of the picture in `rect` that are clearly red.
int RedPixels(const QImage& image, const QRect& rect)
{
    int count = 0;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += (c.red() > 170 && c.green() < 90 && c.blue() < 90) ? 1 : 0;
        }
    }
    return count;
}

} // namespace

TEST_F(MainDlgTest, ALineMeasuredOverThePreviewIsBurnedIntoTheStill)
{
    auto dlg = Start();
    ASSERT_TRUE(dlg->IsConnected());
    ASSERT_TRUE(WaitFor([&] { return dlg->Session().State().FrameStore.width.load() > 0; }));
    dlg->OnCommand(IDC_LINE);
    EXPECT_TRUE(dlg->Button(IDC_LINE)->IsActive());
    // Above the preview area: nothing starts.
    ClickAt(*dlg, QPoint(293, 33));
    ClickAt(*dlg, QPoint(293, 93));  // preview (100, 60)
    ClickAt(*dlg, QPoint(393, 93));  // preview (200, 60)
    ClickAt(*dlg, QPoint(420, 120)); // label
    const LiveMeasureList& list = dlg->LiveMeasuring().Host().List();
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.At(0)->points.value(0), QPoint(100, 60));
    EXPECT_EQ(list.At(0)->valueTexts.value(0), "1.111"); // 100 px x 0.0666667 x 10 / 60

    // The preview picture carries it.
    ASSERT_TRUE(WaitFor([&] {
        const QImage frame = dlg->CaptureGraph()->PreviewPicture();
        return RedPixels(frame, QRect(120, 58, 60, 5)) > 20;
    }));

    QTest::keyClick(dlg.get(), Qt::Key_F2);
    ASSERT_TRUE(WaitFor([&] { return Pictures(*dlg).size() == 1; }));
    const QImage still(dlg->PictureFolder() + "/" + Pictures(*dlg).at(0));
    ASSERT_EQ(still.size(),
              QSize(dlg->Session().Format().captureWidth, dlg->Session().Format().captureHeight));
    const double f = 4.05; // 2592 x 1944
    const QRect along(int(120 * f), int(60 * f) - 3, int(60 * f), 7);
    EXPECT_GT(RedPixels(still, along), 100);
    // Undo takes it off the next still.
    dlg->OnCommand(ID_MEASURE_UNDO);
    EXPECT_EQ(list.Count(), 0);
    EXPECT_FALSE(dlg->Button(IDC_LINE)->IsActive());
}

TEST_F(MainDlgTest, CalibratingOverThePreviewStoresTheMagnificationAndRightClickResets)
{
    auto dlg = Start();
    ASSERT_TRUE(dlg->IsConnected());
    Calibration() = SharedCalibration();
    bool windowEnabled = true;
    const testsupport::ActWhenShown answer(
        [] { return qobject_cast<CCalibrationDlg*>(QApplication::activeModalWidget()); },
        [&](QWidget* widget) {
            auto* dialog = static_cast<CCalibrationDlg*>(widget);
            windowEnabled = dlg->isEnabled();
            dialog->DistanceEdit()->setText("1");
            dialog->OnCommand(IDC_CALIBRATION_OK);
        });
    dlg->OnCommand(IDC_CALIBRATION);
    EXPECT_TRUE(dlg->Button(IDC_CALIBRATION)->IsActive());
    ClickAt(*dlg, QPoint(293, 93));
    ClickAt(*dlg, QPoint(393, 93)); // the dialog answers 1 mm
    EXPECT_FALSE(windowEnabled);
    EXPECT_TRUE(dlg->isEnabled());
    ASSERT_TRUE(WaitFor([&] { return dlg->CalibrationValueEdit()->text() == "66.7"; }));
    EXPECT_TRUE(testsupport::ReadFile(ProgramFolderPath() + "/CalibrationIni.ini").contains("60=66.7"));
    ClickAt(*dlg, QPoint(420, 120));
    const LiveMeasureList& list = dlg->LiveMeasuring().Host().List();
    ASSERT_EQ(list.Count(), 1);
    EXPECT_EQ(list.At(0)->valueTexts.value(0), "1.000");

    dlg->OnCommand(IDC_FOUR_ANGLE);
    ClickAt(*dlg, QPoint(300, 300));
    EXPECT_TRUE(dlg->LiveMeasuring().Host().IsOpen());
    QTest::mouseClick(dlg->Client(), Qt::RightButton, Qt::NoModifier, QPoint(400, 300));
    EXPECT_FALSE(dlg->LiveMeasuring().Host().IsOpen());
    EXPECT_FALSE(dlg->Button(IDC_FOUR_ANGLE)->IsActive());
    EXPECT_EQ(list.Count(), 1);
}

TEST_F(MainDlgTest, OtherToolsMenuUndoesAndExportsTheLiveMeasurements)
{
    auto dlg = Start();
    dlg->OnCommand(IDC_LINE);
    ClickAt(*dlg, QPoint(293, 93));
    ClickAt(*dlg, QPoint(393, 93));
    ClickAt(*dlg, QPoint(420, 120));
    const LiveMeasureList& list = dlg->LiveMeasuring().Host().List();
    ASSERT_EQ(list.Count(), 1);
    const auto chooseFromMenu = [](int id) {
        return testsupport::ActWhenShown(
            [] { return qobject_cast<CMenuXP*>(QApplication::activePopupWidget()); },
            [id](QWidget* widget) {
                auto* menu = static_cast<CMenuXP*>(widget);
                menu->FindItem(id)->trigger();
                menu->close();
            });
    };

    const QString path = QDir(m_home.path()).filePath("live.csv");
    SetSaveDialogResponder([&](const SaveDialogRequest&) { return path; });
    {
        const auto choose = chooseFromMenu(ID_MEASURE_EXPORT);
        dlg->OnCommand(IDC_OTHER_TOOLS);
    }
    SetSaveDialogResponder(nullptr);
    const QStringList lines = QString::fromUtf8(testsupport::ReadFile(path)).split("\r\n");
    ASSERT_EQ(lines.size(), 4);
    // CSV: quoted only where needed (the blank cells keep their spaces); the length
    // in full, which rounds to the text the picture shows.
    EXPECT_EQ(lines[1], "Name,Length(mm),\" \",\"  \"");
    const QStringList cells = lines[2].split(',');
    ASSERT_EQ(cells.size(), 4) << lines[2].toStdString();
    EXPECT_EQ(cells[0], "DL1");
    const QString shown = list.At(0)->valueTexts.value(0);
    EXPECT_EQ(QString::number(cells[1].toDouble(), 'f', int(shown.section('.', 1).size())), shown);
    EXPECT_GT(cells[1].size(), shown.size());
    EXPECT_EQ(cells.mid(2), (QStringList{"\" \"", "\"  \""}));
    EXPECT_TRUE(m_messages.isEmpty());

    {
        const auto choose = chooseFromMenu(ID_MEASURE_UNDO);
        dlg->OnCommand(IDC_OTHER_TOOLS);
    }
    EXPECT_EQ(list.Count(), 0);
    EXPECT_EQ(dlg->LiveMeasuring().Host().RedoList().Count(), 1);
}

TEST_F(MainDlgTest, GuidesAndEffectsBetweenCalibrationStepsKeepTheButtonsAndTheValuesRight)
{
    testsupport::WriteFile(ProgramFolderPath() + "/CalibrationIni.ini", "[60]\n60=57.3\n");
    auto dlg = Start();
    ASSERT_TRUE(dlg->IsConnected());
    ASSERT_EQ(dlg->CalibrationValueEdit()->text(), "57.3");
    Calibration() = SharedCalibration();
    const testsupport::ActWhenShown answer(
        [] { return qobject_cast<CCalibrationDlg*>(QApplication::activeModalWidget()); },
        [](QWidget* widget) {
            auto* dialog = static_cast<CCalibrationDlg*>(widget);
            dialog->DistanceEdit()->setText("1");
            dialog->OnCommand(IDC_CALIBRATION_OK);
        });
    const LiveMeasureList& list = dlg->LiveMeasuring().Host().List();
    const auto measure100 = [&](int y) {
        ClickAt(*dlg, QPoint(293, y));
        ClickAt(*dlg, QPoint(393, y));
        ClickAt(*dlg, QPoint(420, y + 27));
        return list.At(list.Count() - 1)->valueTexts.value(0);
    };

    // A guide switched on between the calibration command and its line: the guide
    // reads the magnification as the tools do, so the result is still L / A.
    dlg->OnCommand(IDC_CALIBRATION);
    dlg->OnCommand(ID_SCALE_LINE);
    EXPECT_TRUE(dlg->LiveView().Guides().scaleLineOn);
    EXPECT_FALSE(dlg->Button(IDC_CALIBRATION)->IsActive());
    EXPECT_EQ(measure100(93), "1.000");
    ASSERT_TRUE(WaitFor([&] { return dlg->CalibrationValueEdit()->text() == "66.7"; }));
    EXPECT_TRUE(testsupport::ReadFile(ProgramFolderPath() + "/CalibrationIni.ini").contains("60=66.7"));

    // The button a guide released is pressed again by the next press, not released.
    dlg->OnCommand(ID_CROSSHAIR);
    dlg->OnCommand(IDC_CALIBRATION);
    EXPECT_TRUE(dlg->Button(IDC_CALIBRATION)->IsActive());
    EXPECT_TRUE(dlg->LiveMeasuring().Calibration().IsCalibrating());
    dlg->OnCommand(IDC_CALIBRATION);
    EXPECT_FALSE(dlg->Button(IDC_CALIBRATION)->IsActive());

    // An effect, then the same tool button: the tool is chosen again and measures
    // with the calibrated value.
    dlg->OnCommand(IDC_LINE);
    dlg->OnCommand(IDC_HOR_MIRROR);
    EXPECT_FALSE(dlg->Button(IDC_LINE)->IsActive());
    dlg->OnCommand(IDC_LINE);
    EXPECT_TRUE(dlg->Button(IDC_LINE)->IsActive());
    EXPECT_EQ(dlg->LiveMeasuring().Host().CurrentTool(), int(LiveKind::Line));
    EXPECT_EQ(measure100(193), "1.000");
    // A guide, then the same tool button.
    dlg->OnCommand(ID_CIRCLE_GRID);
    dlg->OnCommand(IDC_LINE);
    EXPECT_TRUE(dlg->Button(IDC_LINE)->IsActive());
    EXPECT_EQ(measure100(293), "1.000");
    EXPECT_EQ(list.Count(), 3);

    // Another capture size and back, full screen and back: the preview shows a smaller
    // picture of the frame each time, and a line still reads the calibrated value in
    // pixels of the capture size while a still stays whole.
    const FrameCounters& counters = dlg->CaptureGraph()->Counters();
    ASSERT_EQ(dlg->CaptureGraph()->SetCaptureSize(1600, 1200), 0);
    ASSERT_EQ(dlg->CaptureGraph()->SetCaptureSize(2592, 1944), 0);
    dlg->showMaximized();
    ASSERT_TRUE(WaitFor([&] { return dlg->IsFullScreen(); }));
    const int screenWidth = dlg->CaptureGraph()->Preview()->width();
    ASSERT_TRUE(WaitFor(
        [&] { return counters.previewWidth.load() >= screenWidth && counters.previewWidth.load() < 2592; }));
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return !dlg->IsFullScreen(); }));
    ASSERT_TRUE(
        WaitFor([&] { return counters.previewWidth.load() >= 640 && counters.previewWidth.load() < 700; }));
    dlg->OnCommand(IDC_LINE);
    EXPECT_EQ(measure100(393), "1.000");
    QTest::keyClick(dlg.get(), Qt::Key_F2);
    ASSERT_TRUE(WaitFor([&] { return Pictures(*dlg).size() == 1; }));
    EXPECT_EQ(QImage(dlg->PictureFolder() + "/" + Pictures(*dlg).at(0)).size(), QSize(2592, 1944));
    EXPECT_TRUE(m_messages.isEmpty());
}
