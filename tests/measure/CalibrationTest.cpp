// Magnification, calibration dialog and the calibration file.
#include "measure/Calibration.h"

#include "common/RecordedMessages.h"
#include "common/TestSupport.h"
#include "measure/CCalibrationDlg.h"
#include "measure/CSlideCalibrationDlg.h"
#include "measure/CalibrationDlgIds.h"
#include "measure/CalibrationFile.h"
#include "measure/MeasureUnits.h"
#include "measure/SlideCalibration.h"
#include "measure/SlideCalibrationIds.h"
#include "platform/camera/VirtualSlide.h"
#include "platform/desktop/MessageBox.h"
#include "platform/files/ProgramFolder.h"

#include <QLineEdit>
#include <gtest/gtest.h>

namespace {
using ScriptedMessages = testsupport::RecordedMessages;

class CalibrationFileTest : public ::testing::Test {
protected:
    void SetUp() override { OverrideProgramFolders(home.sub("ro"), home.sub("rw")); }
    void TearDown() override { OverrideProgramFolders(QString(), QString()); }
    QString FileText() const { return QString::fromUtf8(testsupport::ReadFile(CalibrationFilePath())); }

    testsupport::TempHome home;
};

} // namespace

TEST(Calibration, ReadingTheMagnification)
{
    ScriptedMessages messages;
    double m = -1;
    EXPECT_EQ(ReadMagnification(nullptr, "57.3", "60", false, m), 1);
    EXPECT_EQ(m, 57.3);
    EXPECT_EQ(Calibration().current, 57.3);
    EXPECT_EQ(ReadMagnification(nullptr, "57.3", "60", true, m), 1);
    EXPECT_EQ(m, 60);
    EXPECT_EQ(ReadMagnification(nullptr, "", "200X", false, m), 1);
    EXPECT_EQ(m, 200);
    EXPECT_TRUE(messages.texts.isEmpty());

    // Nothing usable: the message, and G stays as it was.
    EXPECT_EQ(ReadMagnification(nullptr, "", "", false, m), 0);
    EXPECT_EQ(ReadMagnification(nullptr, "abc", "0", false, m), 0);
    // The nominal text is asked for but empty: no zero magnification slips through.
    EXPECT_EQ(ReadMagnification(nullptr, "57.3", "", true, m), 0);
    EXPECT_EQ(messages.texts, QStringList(3, "Please input the zoomIn scale!"));
    EXPECT_EQ(Calibration().current, 200);
}

TEST(Calibration, DialogConvertsMillimetresAndRefusesNoNumber)
{
    EXPECT_DOUBLE_EQ(MillimetresToUnit(1, "cm"), 0.1);
    EXPECT_EQ(MillimetresToUnit(1, "mil"), 39.37007874015748);
    EXPECT_DOUBLE_EQ(MillimetresToUnit(2, "inch"), 0.07874015748031496);
    EXPECT_EQ(MillimetresToUnit(2.5, "mm"), 2.5);

    ScriptedMessages messages;
    CCalibrationDlg dialog("cm");
    EXPECT_EQ(dialog.windowTitle(), "Calibration");
    dialog.show();
    for (const QString bad : {"", "abc", "0", "-3"}) {
        dialog.DistanceEdit()->setText(bad);
        dialog.OnCommand(IDC_CALIBRATION_OK);
        EXPECT_TRUE(dialog.isVisible()) << bad.toStdString();
    }
    EXPECT_EQ(messages.texts, QStringList(4, "Please enter digital!"));
    dialog.DistanceEdit()->setText("1");
    dialog.OnCommand(IDC_CALIBRATION_OK);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_DOUBLE_EQ(Calibration().actualDistance, 0.1);
}

TEST(Calibration, CorrectedMagnificationAndPictureNames)
{
    // A 100-pixel line drawn at nominal 60 whose real length is 1 mm.
    const double s = unitsPerPixel("mm", 2, QSize(640, 480));
    double result = 0;
    ASSERT_TRUE(CalibratedMagnification(100 * s * 10, 60, 1.0, 60, result));
    EXPECT_NEAR(result, 66.666667, 1e-6);
    EXPECT_EQ(CalibrationText(result), "66.7");
    EXPECT_FALSE(CalibratedMagnification(100 * s * 10, 60, 0.0, 60, result));
    EXPECT_FALSE(CalibratedMagnification(100 * s * 10, 0.0, 1.0, 60, result));
    // Only what the file keeps as "%.1f" and reads back: 0.1 ... 99999.9.
    ASSERT_TRUE(CalibratedMagnification(99999.94, 1.0, 1.0, 1.0, result));
    EXPECT_EQ(CalibrationText(result), "99999.9");
    EXPECT_FALSE(CalibratedMagnification(99999.96, 1.0, 1.0, 1.0, result));
    EXPECT_FALSE(CalibratedMagnification(0.04, 1.0, 1.0, 1.0, result));
    EXPECT_TRUE(CalibratedMagnification(0.05, 1.0, 1.0, 1.0, result));

    EXPECT_EQ(MagnificationFromPictureName("/pics/Still_2024-05-01_153045_60X_N0001.jpg"), "60");
    EXPECT_EQ(MagnificationFromPictureName("Still_2024-05-01_153045_200X_N0012.bmp"), "200");
    EXPECT_EQ(MagnificationFromPictureName("Still_2024-05-01_153045_N0001.jpg"), "");
    EXPECT_EQ(MagnificationFromPictureName("holiday.jpg"), "");
    EXPECT_EQ(MagnificationFromPictureName("a.b"), "");
}

TEST_F(CalibrationFileTest, StoresReplaceAndKeepEntriesApart)
{
    CalibrationFile file;
    QString value = "stale";
    EXPECT_FALSE(file.Lookup("60", value));
    EXPECT_TRUE(value.isEmpty());

    // The first store creates the file.
    ASSERT_EQ(file.Store("60", 57.0), 1);
    ASSERT_EQ(file.Store("200", 212.0), 1);
    ASSERT_EQ(file.Store("60", 57.3), 1);
    EXPECT_EQ(FileText(), "[60]\n60=57.3\n[200]\n200=212.0\n");

    // 160 and 60 each keep their own section and key line.
    ASSERT_EQ(file.Store("160", 150.04), 1);
    ASSERT_EQ(file.Store("60", 58.0), 1);
    EXPECT_EQ(FileText(), "[60]\n60=58.0\n[200]\n200=212.0\n[160]\n160=150.0\n");
    ASSERT_TRUE(file.Lookup("160", value));
    EXPECT_EQ(value, "150.0");
    ASSERT_TRUE(file.Lookup("60", value));
    EXPECT_EQ(value, "58.0");
    EXPECT_FALSE(file.Lookup("60.0", value));
    EXPECT_FALSE(file.Lookup("6", value));
}

TEST_F(CalibrationFileTest, BlanksAroundTheNominalTextAreOneMagnification)
{
    CalibrationFile file;
    ASSERT_EQ(file.Store(" 60", 57.0), 1);
    ASSERT_EQ(file.Store("60 ", 57.3), 1);
    ASSERT_EQ(file.Store("\t60  ", 57.5), 1);
    EXPECT_EQ(FileText(), "[60]\n60=57.5\n");
    QString value;
    for (const QString typed : {" 60", "60 ", "60"}) {
        ASSERT_TRUE(file.Lookup(typed, value)) << typed.toStdString();
        EXPECT_EQ(value, "57.5");
    }
    EXPECT_FALSE(file.Lookup("   ", value));
    EXPECT_EQ(MagnificationText(QString(70, u'1')), QString(63, u'1'));
    EXPECT_EQ(MagnificationFromPictureName("Still_2024-05-01_153045_ 60X_N0001.jpg"), "60");
}

TEST_F(CalibrationFileTest, FindsWholeKeysPastLooseLinesAndRefusesUnsafeNames)
{
    ASSERT_TRUE(testsupport::WriteFile(CalibrationFilePath(),
                                       "; notes\r\n[60]\r\n//60=1.0\r\n160=2.5\r\n[100]\r\n"
                                       "100=99.0\r\n"));
    CalibrationFile file;
    QString value;
    EXPECT_FALSE(file.Lookup("60", value));
    ASSERT_EQ(file.Store("60", 61.0), 1);
    EXPECT_EQ(FileText(), "; notes\n[60]\n//60=1.0\n160=2.5\n60=61.0\n[100]\n100=99.0\n");
    ASSERT_TRUE(file.Lookup("60", value));
    EXPECT_EQ(value, "61.0");

    for (const QString bad : {"", "[60]", "6=0", "a//b"}) {
        EXPECT_EQ(file.Store(bad, 1.0), 0) << bad.toStdString();
    }
    EXPECT_EQ(FileText(), "; notes\n[60]\n//60=1.0\n160=2.5\n60=61.0\n[100]\n100=99.0\n");
}

// Calibrating from the virtual slide gives what a hand-drawn line over the same
// divisions would (the optics are 3 % strong: 206 at nominal 200); a picture
// without a ruler and a division of no length change nothing.
TEST(Calibration, FromASlideAsALineOverItsDivisionsWould)
{
    ScriptedMessages messages;
    const QSize size(2592, 1944);
    const SlideScale scale{200, 200, DisplayFactor(DisplayMode::ActualSize, size),
                           unitsPerPixel("mm", 2, size), "mm"};
    Calibration() = SharedCalibration{};
    Calibration().current = 200;
    QString shownMagnification;
    const auto accept = [&](CSlideCalibrationDlg& dialog) {
        EXPECT_EQ(dialog.DivisionEdit()->text(), "0.01");
        shownMagnification = dialog.MagnificationText();
        return int(IDOK);
    };
    ASSERT_TRUE(
        RunSlideCalibration(nullptr, RenderSlide(2, size.width(), size.height(), {}, 200), scale, accept));
    EXPECT_NEAR(Calibration().current, 206, 206 * 0.003);
    EXPECT_EQ(Calibration().lastResult, Calibration().current);
    EXPECT_DOUBLE_EQ(Calibration().actualDistance, 0.01);
    EXPECT_TRUE(shownMagnification.contains(CalibrationText(Calibration().current)))
        << shownMagnification.toStdString();
    // The same as a line over ten divisions typed as 0.1 mm.
    const double tenDivisions =
        10 * PixelsPerDivision(2, size.width(), size.height(), 200) * scale.previewPerPicturePixel;
    double byHand = 0;
    ASSERT_TRUE(CalibratedMagnification(tenDivisions * scale.scale * 10, 200, 0.1, 200, byHand));
    EXPECT_NEAR(Calibration().current / byHand, 1.0, 0.003);
    EXPECT_TRUE(messages.texts.isEmpty());

    const SharedCalibration before = Calibration();
    QImage blank(640, 480, QImage::Format_RGB32);
    blank.fill(QColor(220, 224, 216));
    EXPECT_FALSE(RunSlideCalibration(nullptr, blank, scale, accept));
    ASSERT_EQ(messages.texts.size(), 1);
    EXPECT_TRUE(messages.texts[0].startsWith("No stage micrometer found"));
    EXPECT_EQ(Calibration().current, before.current);

    // A division of no length is asked for again, as in the manual dialog.
    const RulerFinding finding = FindRuler(RenderSlide(2, 1280, 1024, {}, 200));
    ASSERT_EQ(finding.status, RulerStatus::Found);
    CSlideCalibrationDlg dialog(QImage(1280, 1024, QImage::Format_RGB32), finding, scale, 0.01);
    dialog.show();
    dialog.DivisionEdit()->setText("0");
    dialog.OnCommand(IDC_SLIDE_OK);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(messages.texts.last(), "Please enter digital!");
    EXPECT_TRUE(dialog.MagnificationText().isEmpty());
    EXPECT_EQ(Calibration().current, before.current);
}
