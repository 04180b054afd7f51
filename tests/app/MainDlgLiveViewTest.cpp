// Effects and guides through the main window: its buttons and menus, the live
// preview's pixels and a saved still.
#include "MainDlgTestSupport.h"
#include "app/SettingsStore.h"
#include "capture/CaptureSession.h"
#include "files/CFileListView.h"
#include "image/ImageFormat.h"
#include "liveview/LiveMeasureFeature.h"
#include "platform/camera/VirtualMicroscope.h"
#include "widgets/CBitmapButton.h"
#include "widgets/CMenuXP.h"

#include <QDir>
#include <QImage>
#include <QInputDialog>
#include <QLineEdit>
#include <QProgressDialog>
#include <QTest>

using namespace maindlg;

namespace {

bool IsBlackOrWhite(QRgb p)
{
    return (p & 0xFFFFFF) == 0 || (p & 0xFFFFFF) == 0xFFFFFF;
}

// Pixels of the picture that are neither pure black nor pure white.
long GreyPixels(const QImage& picture)
{
    long count = 0;
    for (int y = 0; y < picture.height(); ++y) {
        for (int x = 0; x < picture.width(); ++x) {
            count += !IsBlackOrWhite(picture.pixel(x, y));
        }
    }
    return count;
}

bool IsRed(QRgb p)
{
    return qRed(p) > 200 && qGreen(p) < 60 && qBlue(p) < 60;
}

QImage Preview(const CMainDlg& dlg)
{
    return dlg.CaptureGraph()->Preview()->PreviewPicture();
}

void Click(CMainDlg& dlg, int id)
{
    QTest::mouseClick(dlg.Button(id), Qt::LeftButton);
}

} // namespace

TEST_F(MainDlgTest, EffectButtonsLatchAndChangeTheLivePicture)
{
    auto dlg = Start();
    ASSERT_TRUE(dlg->IsConnected());
    ASSERT_TRUE(WaitFor([&] { return dlg->Session().State().FrameStore.width.load() > 0; }));
    EXPECT_GT(GreyPixels(Preview(*dlg)), 1000);

    Click(*dlg, IDC_BINARY);
    EXPECT_TRUE(dlg->Button(IDC_BINARY)->IsActive());
    EXPECT_TRUE(WaitFor([&] { return GreyPixels(Preview(*dlg)) == 0; }));

    // Mirror then half-turn: only the half-turn stays latched and on.
    Click(*dlg, IDC_HOR_MIRROR);
    Click(*dlg, IDC_VER_MIRROR);
    EXPECT_FALSE(dlg->Button(IDC_BINARY)->IsActive());
    EXPECT_FALSE(dlg->Button(IDC_HOR_MIRROR)->IsActive());
    EXPECT_TRUE(dlg->Button(IDC_VER_MIRROR)->IsActive());
    EXPECT_EQ(dlg->LiveView().Switches().rotateOn.load(), 1);
    EXPECT_EQ(dlg->LiveView().Switches().mirrorOn.load(), 0);
    EXPECT_TRUE(WaitFor([&] { return GreyPixels(Preview(*dlg)) > 1000; }));

    // Red, green, then blue: blue alone, red and green released.
    Click(*dlg, IDC_RED);
    Click(*dlg, IDC_GREEN);
    Click(*dlg, IDC_BLUE);
    EXPECT_FALSE(dlg->Button(IDC_VER_MIRROR)->IsActive());
    EXPECT_FALSE(dlg->Button(IDC_RED)->IsActive());
    EXPECT_FALSE(dlg->Button(IDC_GREEN)->IsActive());
    EXPECT_TRUE(dlg->Button(IDC_BLUE)->IsActive());
    EXPECT_TRUE(WaitFor([&] {
        const QRgb p = Preview(*dlg).pixel(100, 100);
        return qRed(p) == qBlue(p) && qGreen(p) == qBlue(p);
    }));
}

TEST_F(MainDlgTest, GuidesShowOnThePreviewAndAStillCarriesThemWithTheEffect)
{
    auto dlg = Start();
    ASSERT_TRUE(dlg->IsConnected());
    Settings().ImageFormat = kImageFormatBmp;
    dlg->MagnificationEdit()->setText("10");
    dlg->OnCommand(ID_CROSSHAIR);
    dlg->OnCommand(ID_SCALE_LINE);
    Click(*dlg, IDC_BINARY);
    // White crosshair through (320, 240); the scale line's red axes through (321, 241).
    EXPECT_TRUE(WaitFor([&] {
        const QImage p = Preview(*dlg);
        return p.pixel(20, 240) == qRgb(255, 255, 255) && IsRed(p.pixel(20, 241)) && IsRed(p.pixel(321, 20));
    }));
    EXPECT_NEAR(dlg->LiveView().Guides().pixelsPerUnit, 15.0, 1e-6);

    ASSERT_TRUE(WaitFor([&] { return dlg->Session().State().FrameStore.width.load() > 0; }));
    dlg->OnCommand(IDC_CAMERA);
    QStringList files;
    ASSERT_TRUE(WaitFor([&] {
        files = QDir(dlg->PictureFolder()).entryList({"*.bmp"}, QDir::Files);
        return files.size() == 1;
    }));
    const QImage still(dlg->PictureFolder() + "/" + files[0]);
    ASSERT_EQ(still.size(), QSize(2592, 1944));
    // The crosshair, 3 pixels wide, through the middle; the axes at (1296, 972).
    EXPECT_EQ(still.pixel(10, 971), qRgb(255, 255, 255));
    EXPECT_EQ(still.pixel(2580, 973), qRgb(255, 255, 255));
    EXPECT_TRUE(IsRed(still.pixel(10, 972)));
    EXPECT_TRUE(IsRed(still.pixel(1296, 10)));
    // Everything but the red guides is black or white.
    long other = 0;
    for (int y = 0; y < still.height(); y += 7) {
        for (int x = 0; x < still.width(); x += 7) {
            const QRgb p = still.pixel(x, y);
            other += !IsBlackOrWhite(p) && !IsRed(p);
        }
    }
    EXPECT_LT(other, 200); // label text edges only

    // The guides switch off again; without a magnification the grid stays off.
    dlg->OnCommand(ID_SCALE_LINE);
    dlg->MagnificationEdit()->setText("");
    dlg->CalibrationValueEdit()->setText("");
    dlg->OnCommand(ID_CIRCLE_GRID);
    EXPECT_FALSE(dlg->LiveView().Guides().scaleLineOn);
    EXPECT_FALSE(dlg->LiveView().Guides().circleGridOn);
    EXPECT_EQ(m_messages, QStringList("Please input the zoomIn scale!"));
    // A guide command releases the tool buttons.
    EXPECT_FALSE(dlg->Button(IDC_BINARY)->IsActive());
}

// The other-tools menu: at the button's left edge, 4 pixels above its bottom (moved
// left only when the screen ends first), with its twelve entries and their looks.
static void CheckOtherToolsMenu(CMainDlg& dlgRef, CMenuXP& menuRef)
{
    CMainDlg* dlg = &dlgRef;
    CMenuXP* menu = &menuRef;
    const CBitmapButton* button = dlg->Button(IDC_OTHER_TOOLS);
    const QPoint place = button->mapToGlobal(QPoint(0, button->height() - 4));
    EXPECT_EQ(menu->pos().y(), place.y());
    EXPECT_LE(menu->pos().x(), place.x());
    const int ids[] = {ID_MEASURE_UNDO,
                       ID_MEASURE_REDO,
                       ID_MEASURE_DELETE_ALL,
                       -1,
                       ID_CROSSHAIR_TOOLS,
                       ID_SCALE_LINE,
                       ID_CIRCLE_GRID,
                       ID_PEN_SETTINGS,
                       -1,
                       ID_SLIDE_CALIBRATION,
                       -1,
                       ID_MEASURE_EXPORT,
                       -1,
                       ID_FOCUS_STACK,
                       ID_FOCUS_STEPS};
    const char* texts[] = {"Undo",
                           "Redo",
                           "Delete All",
                           "",
                           "Crosshair",
                           "Scale line",
                           "circle Grid",
                           "Settings",
                           "",
                           "Calibrate from Slide...",
                           "",
                           "Export2Excel",
                           "",
                           "Focus Stack (F6)",
                           "Focus Stack Steps..."};
    ASSERT_EQ(menu->ItemCount(), 15);
    EXPECT_TRUE(menu->ItemAt(13)->toolTip().contains("F6"));
    EXPECT_TRUE(menu->ItemAt(14)->toolTip().contains("3 to 30"));
    for (int i = 0; i < menu->ItemCount(); ++i) {
        QAction* item = menu->ItemAt(i);
        EXPECT_EQ(CMenuXP::CommandOf(item), ids[i]) << i;
        if (ids[i] > 0) {
            EXPECT_EQ(item->text(), texts[i]) << i;
            EXPECT_FALSE(item->icon().isNull()) << i;
            EXPECT_TRUE(item->isEnabled()) << i;
        }
    }
}

// The steps are asked in a box that takes only 3 to 30, kept for the next start, and
// a sweep of the focus takes that many frames.
TEST_F(MainDlgTest, FocusStackStepsAreAskedKeptAndSwept)
{
    m_microscope->SetSlide(VirtualSlideKind::Depth);
    auto dlg = Start();
    const auto answer = [](int steps) {
        return testsupport::ActWhenShown(
            [] { return qobject_cast<QInputDialog*>(QApplication::activeModalWidget()); },
            [steps](QWidget* widget) {
                auto* input = static_cast<QInputDialog*>(widget);
                EXPECT_EQ(input->intMinimum(), 3);
                EXPECT_EQ(input->intMaximum(), 30);
                input->setIntValue(steps);
                input->accept();
            });
    };
    {
        const auto four = answer(4);
        dlg->OnCommand(ID_FOCUS_STEPS);
    }
    {
        const auto tooMany = answer(99); // the box keeps it in range
        dlg->OnCommand(ID_FOCUS_STEPS);
    }
    Settings().FocusSteps = 0;
    Settings().ReadFocusSteps();
    EXPECT_EQ(Settings().FocusSteps, 30);
    {
        const auto four = answer(4);
        dlg->OnCommand(ID_FOCUS_STEPS);
    }

    // The depth slide's frames take seconds each to draw under the sanitizers; the sweep
    // itself is checked in the release build.
    if (testsupport::kSanitizerBuild) {
        return;
    }
    ASSERT_TRUE(WaitFor([&] { return dlg->Session().State().FrameStore.width.load() > 0; }));
    dlg->OnCommand(ID_FOCUS_STACK);
    const auto progressText = [] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (auto* progress = qobject_cast<QProgressDialog*>(widget); progress && progress->isVisible()) {
                return progress->labelText();
            }
        }
        return QString();
    };
    ASSERT_TRUE(WaitFor([&] { return progressText().endsWith(" of 4"); })) << progressText().toStdString();
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return progressText().isEmpty(); }));

    // Escape while the frames are fused: the window answers it at once, nothing is
    // saved and the strip selects nothing new.
    dlg->OnCommand(ID_FOCUS_STACK);
    ASSERT_TRUE(WaitFor([&] { return progressText().contains("fusing"); })) << progressText().toStdString();
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_TRUE(progressText().isEmpty());
    // The command starts a new sweep only once the cancelled fusing has ended.
    ASSERT_TRUE(WaitFor([&] {
        dlg->OnCommand(ID_FOCUS_STACK);
        return progressText().endsWith(" of 4");
    }));
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    EXPECT_TRUE(WaitFor([&] { return progressText().isEmpty(); }));
    EXPECT_TRUE(QDir(dlg->PictureFolder()).entryList(QDir::Files).isEmpty());
    QString selected;
    EXPECT_FALSE(static_cast<CFileListView*>(dlg->FileListArea())->GetSelectedPath(&selected))
        << selected.toStdString();
}

TEST_F(MainDlgTest, OtherToolsButtonPopsItsMenuAndGuidesNeedTheMicroscope)
{
    auto dlg = Start();
    ASSERT_TRUE(dlg->IsConnected());
    CMenuXP* menu = dlg->OtherToolsMenu();
    // The menu runs modally; it is looked at and answered while it is up.
    bool shown = false;
    const testsupport::ActWhenShown look([menu] { return menu->isVisible() ? menu : nullptr; },
                                         [&](QWidget*) {
                                             shown = true;
                                             CheckOtherToolsMenu(*dlg, *menu);
                                             menu->FindItem(ID_CROSSHAIR_TOOLS)->trigger();
                                             menu->close();
                                         });
    Click(*dlg, IDC_OTHER_TOOLS);
    ASSERT_TRUE(shown);
    EXPECT_TRUE(dlg->LiveView().Guides().crosshairOn);

    m_microscope->Unplug();
    ASSERT_TRUE(WaitFor([&] { return !dlg->IsConnected(); }));
    dlg->OnCommand(ID_CROSSHAIR);
    dlg->OnCommand(ID_SCALE_LINE);
    EXPECT_TRUE(dlg->LiveView().Guides().crosshairOn);
    EXPECT_FALSE(dlg->LiveView().Guides().scaleLineOn);
    EXPECT_TRUE(m_messages.isEmpty());
}

TEST_F(MainDlgTest, ARefusedToolLeavesTheLooksAndARightClickReleasesEveryButton)
{
    auto dlg = Start();
    ASSERT_TRUE(dlg->IsConnected());
    Click(*dlg, IDC_HOR_MIRROR);
    dlg->MagnificationEdit()->setText("");
    dlg->CalibrationValueEdit()->setText("");
    dlg->OnCommand(IDC_LINE);
    EXPECT_EQ(m_messages, QStringList("Please input the zoomIn scale!"));
    EXPECT_TRUE(dlg->Button(IDC_HOR_MIRROR)->IsActive());
    EXPECT_FALSE(dlg->Button(IDC_LINE)->IsActive());

    // A tool that starts releases the effect button; the effect stays on.
    dlg->MagnificationEdit()->setText("60");
    dlg->OnCommand(IDC_LINE);
    EXPECT_TRUE(dlg->Button(IDC_LINE)->IsActive());
    EXPECT_FALSE(dlg->Button(IDC_HOR_MIRROR)->IsActive());
    EXPECT_EQ(dlg->LiveView().Switches().mirrorOn.load(), 1);

    // A right-click in the preview releases every latched button, effects included.
    Click(*dlg, IDC_NEGATIVE);
    EXPECT_TRUE(dlg->Button(IDC_NEGATIVE)->IsActive());
    QTest::mouseClick(dlg->Client(), Qt::RightButton, Qt::NoModifier, QPoint(400, 300));
    EXPECT_FALSE(dlg->Button(IDC_NEGATIVE)->IsActive());
    EXPECT_FALSE(dlg->Button(IDC_LINE)->IsActive());
    EXPECT_EQ(dlg->LiveView().Switches().negativeOn.load(), 1);
    EXPECT_EQ(dlg->LiveMeasuring().Host().CurrentTool(), 0);
}
