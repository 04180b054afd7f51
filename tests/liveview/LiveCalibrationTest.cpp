// Calibrating on the live picture.
#include "LiveHostTestSupport.h"
#include "liveview/LiveToolIds.h"
#include "measure/CCalibrationDlg.h"
#include "measure/Calibration.h"
#include "measure/CalibrationDlgIds.h"
#include "platform/desktop/MessageBox.h"

#include <QApplication>
#include <QCoreApplication>
#include <QTimer>
#include <gtest/gtest.h>

using namespace livetest;

namespace {

class LiveCalibrationTest : public ::testing::Test, public LiveHostFixture {
protected:
    void SetUp() override
    {
        Calibration() = SharedCalibration();
        nominal->setText("60");
        calibrated->setText("57.3");
    }
    // Answers the dialog with `millimetres`, or cancels it when negative.
    void AnswerDialog(double millimetres)
    {
        calibration->SetDialogRunner([this, millimetres](QWidget* parent, const QString& unit) {
            windowEnabledDuringDialog = parent->isEnabled();
            valuesDuringDialog = host->Snapshot()->open.values;
            if (millimetres < 0) {
                return int(IDCANCEL);
            }
            Calibration().actualDistance = MillimetresToUnit(millimetres, unit);
            return int(IDOK);
        });
    }
    void DrawCalibrationLine()
    {
        host->StartCalibration();
        Clicks({QPoint(100, 100), QPoint(200, 100)});
    }

    bool windowEnabledDuringDialog = true;
    QStringList valuesDuringDialog;
};

} // namespace

TEST_F(LiveCalibrationTest, AcceptedDistanceBecomesTheMagnificationAndIsStored)
{
    AnswerDialog(1.0);
    DrawCalibrationLine();
    EXPECT_EQ(host->PressedButton(), liveids::kCalibrationButton);
    EXPECT_FALSE(windowEnabledDuringDialog);
    EXPECT_TRUE(window.isEnabled());
    EXPECT_EQ(valuesDuringDialog, QStringList{QString()});
    // The mouse is let go while the dialog asks, and held again for the label.
    EXPECT_EQ(confines, (QList<bool>{true, false, true}));
    EXPECT_FALSE(calibration->IsCalibrating());
    // The run used the nominal 60, not the stored 57.3: G = (L / 60) / 1 x 60 = L.
    EXPECT_NEAR(Calibration().current, 66.6667, 1e-3);
    EXPECT_EQ(host->Snapshot()->open.values, QStringList{"1.000"});
    Clicks({QPoint(250, 150)});
    EXPECT_EQ(host->List().At(0)->unitTexts, QStringList{"mm"});

    EXPECT_EQ(window.done, 0);
    QCoreApplication::sendPostedEvents(&window);
    ASSERT_EQ(window.done, 1);
    calibration->OnCalibrationDone();
    EXPECT_EQ(calibrated->text(), "66.7");
    EXPECT_DOUBLE_EQ(calibration->Magnification(), 66.7);
    EXPECT_EQ(QString::fromUtf8(testsupport::ReadFile(home.sub("CalibrationIni.ini"))), "[60]\n60=66.7\n");

    // The next line measures with the calibrated magnification.
    host->SelectTool(liveids::kLineButton);
    Clicks({QPoint(100, 300), QPoint(200, 300), QPoint(250, 350)});
    EXPECT_EQ(host->List().At(1)->valueTexts, QStringList{"1.000"});
    // Typing the magnification again finds what was stored.
    nominal->setText("60");
    calibrated->clear();
    calibration->OnNominalChanged();
    EXPECT_EQ(calibrated->text(), "66.7");
}

TEST_F(LiveCalibrationTest, CancelOrADistanceBeyondTheKeptRangeKeepsTheMagnification)
{
    AnswerDialog(-1);
    DrawCalibrationLine();
    EXPECT_DOUBLE_EQ(Calibration().current, 60.0);
    EXPECT_EQ(host->Snapshot()->open.values, QStringList{"1.111"});
    QCoreApplication::sendPostedEvents(&window);
    EXPECT_EQ(window.done, 0);
    EXPECT_FALSE(calibration->IsCalibrating());
    EXPECT_TRUE(messages.isEmpty());
    host->Reset();

    // 0.00001 mm over 100 pixels would be a magnification of 6666667, more than the
    // calibrated box and the file are made for: refused, and the user is told.
    AnswerDialog(0.00001);
    DrawCalibrationLine();
    EXPECT_DOUBLE_EQ(Calibration().current, 60.0);
    EXPECT_EQ(host->Snapshot()->open.values, QStringList{"1.111"});
    QCoreApplication::sendPostedEvents(&window);
    EXPECT_EQ(window.done, 0);
    EXPECT_EQ(messages, QStringList{"This distance gives a magnification outside 0.1 to 99999.9. Nothing was "
                                    "calibrated; please check the distance."});
}

TEST_F(LiveCalibrationTest, ReleasingTheButtonMeasuresWithTheShownValueAndRightClickClearsTheFlags)
{
    AnswerDialog(1.0);
    host->StartCalibration();
    EXPECT_TRUE(calibration->IsCalibrating());
    host->StartCalibration();
    EXPECT_EQ(host->PressedButton(), 0);
    EXPECT_EQ(host->CurrentTool(), 0);
    EXPECT_FALSE(calibration->UseNominal());
    // The box shows 57.3, and a line measures with it, not with the nominal 60.
    host->SelectTool(liveids::kLineButton);
    Clicks({QPoint(100, 300), QPoint(200, 300), QPoint(250, 350)});
    EXPECT_EQ(host->List().At(0)->valueTexts, QStringList{"1.163"});

    // After a real calibration the button stays down; releasing it keeps the result.
    DrawCalibrationLine();
    Clicks({QPoint(250, 150)});
    calibration->OnCalibrationDone();
    EXPECT_EQ(host->PressedButton(), liveids::kCalibrationButton);
    host->StartCalibration();
    EXPECT_EQ(host->PressedButton(), 0);
    host->SelectTool(liveids::kLineButton);
    Clicks({QPoint(100, 400), QPoint(200, 400), QPoint(250, 450)});
    EXPECT_EQ(host->List().At(2)->valueTexts, QStringList{"1.000"});

    // A failed start leaves no flag behind either.
    nominal->clear();
    host->StartCalibration();
    EXPECT_FALSE(calibration->UseNominal());
    nominal->setText("60");

    host->StartCalibration();
    host->OnRightButtonDown(QPoint(300, 300));
    EXPECT_FALSE(calibration->UseNominal());
    EXPECT_FALSE(calibration->IsCalibrating());
    // The line tool itself ends calibration mode.
    host->StartCalibration();
    host->SelectTool(liveids::kLineButton);
    EXPECT_FALSE(calibration->IsCalibrating());
}

TEST_F(LiveCalibrationTest, TheRealDialogTakesInputOverTheDisabledWindow)
{
    bool dialogEnabled = false;
    bool windowEnabled = true;
    const testsupport::ActWhenShown answer(
        [] { return qobject_cast<CCalibrationDlg*>(QApplication::activeModalWidget()); },
        [&](QWidget* widget) {
            auto* dialog = static_cast<CCalibrationDlg*>(widget);
            dialogEnabled = dialog->isEnabled() && dialog->DistanceEdit()->isEnabled();
            windowEnabled = window.isEnabled();
            dialog->DistanceEdit()->setText("1");
            dialog->OnCommand(IDC_CALIBRATION_OK);
        });
    DrawCalibrationLine();
    EXPECT_TRUE(dialogEnabled);
    EXPECT_FALSE(windowEnabled);
    EXPECT_EQ(host->Snapshot()->open.values, QStringList{"1.000"});
}
