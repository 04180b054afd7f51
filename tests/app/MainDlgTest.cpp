// The main window as the user meets it: start-up, devices, keys, full screen,
// menus, languages, closing and the start-up prompt.
#include "MainDlgTestSupport.h"
#include "RefusingBackend.h"
#include "app/CAboutDlg.h"
#include "app/CPromptDlg.h"
#include "app/MainDlgLayout.h"
#include "app/SettingsStore.h"
#include "capture/CaptureResolutions.h"
#include "capture/CaptureSession.h"
#include "files/CFileListView.h"
#include "files/FileDialogs.h"
#include "measure/Calibration.h"
#include "platform/camera/CameraBackendFactory.h"
#include "platform/desktop/DocumentOpener.h"
#include "platform/desktop/MessageBox.h"
#include "widgets/CBitmapButton.h"
#include "widgets/CMenuXP.h"
#include "widgets/CToolTipCtrl.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextLayout>
#include <QTimer>
#include <QUrl>

using namespace maindlg;

namespace {
const QString kConnectMessage = "Please connect Korvane USB Handheld Digital Microscope";

CMenuXP* LanguageMenu(const CMainDlg& dlg)
{
    return qobject_cast<CMenuXP*>(dlg.Submenu(1)->FindItem(ID_LANG_ENGLISH)->parent());
}

// Command ids of the ticked language items.
std::vector<int> TickedLanguages(const CMainDlg& dlg)
{
    std::vector<int> ticked;
    for (QAction* item : LanguageMenu(dlg)->actions()) {
        if (item->isChecked()) {
            ticked.push_back(CMenuXP::CommandOf(item));
        }
    }
    return ticked;
}

bool AllToolButtonsEnabled(const CMainDlg& dlg, bool enabled)
{
    for (const ButtonPlace& place : kButtons) {
        if (dlg.Button(place.id)->isEnabled() != enabled) {
            return false;
        }
    }
    return true;
}

QStringList PictureFiles(const CMainDlg& dlg)
{
    return QDir(dlg.PictureFolder()).entryList(QDir::Files);
}

class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : m_name(name), m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv() { qputenv(m_name, m_old); }

private:
    const char* m_name;
    QByteArray m_old;
};
} // namespace

TEST_F(MainDlgTest, FirstStartWritesDefaultsBeforeReadingAndLaysOutTheWindow)
{
    ScopedEnv language("LC_ALL", "de_DE.UTF-8");
    auto dlg = Start();

    // Defaults are on disk, and the language follows the system (primary id only).
    AppSettings stored;
    stored.ReadSwitch();
    stored.ReadSysDate();
    stored.ReadLanID();
    stored.ReadDecimal();
    EXPECT_EQ(stored.SWITCH, 1);
    EXPECT_EQ(stored.sys_date, 1);
    EXPECT_EQ(stored.LanID, 0);
    EXPECT_EQ(stored.decimal, 3);
    EXPECT_EQ(dlg->Language(), (lang::LanguagePair{7, 0}));
    EXPECT_EQ(TickedLanguages(*dlg), std::vector<int>{32828});
    EXPECT_TRUE(QDir(m_home.sub("home/Documents/Pelora files/Picture")).exists());
    EXPECT_TRUE(QDir(m_home.sub("home/Documents/Pelora files/Video")).exists());

    EXPECT_EQ(dlg->Client()->size(), QSize(843, 580));
    EXPECT_EQ(dlg->CaptureGraph()->Preview()->geometry(), QRect(193, 34, 640, 480));
    EXPECT_EQ(dlg->FileListArea()->geometry(), QRect(12, 80, 162, 460));
    EXPECT_EQ(dlg->Button(IDC_CAMERA)->geometry(), QRect(11, 8, 29, 29));
    EXPECT_EQ(dlg->Button(IDC_LINE + 8)->geometry(), QRect(653, 6, 25, 24));
    EXPECT_EQ(dlg->Button(IDC_OTHER_TOOLS)->geometry(), QRect(820, 6, 14, 24));
    EXPECT_EQ(dlg->MagnificationEdit()->geometry(), QRect(753, 6, 35, 25));
    EXPECT_EQ(dlg->CalibrationValueEdit()->geometry(), QRect(709, 6, 44, 25));
    EXPECT_EQ(dlg->MagnificationEdit()->text(), "60");
    for (int hidden : {IDC_PREVIEW, IDC_SETTING, IDC_RGB}) {
        EXPECT_FALSE(dlg->Button(hidden)->isVisible()) << hidden;
    }
    EXPECT_EQ(dlg->ToolTips().ToolCount(), 28);
    EXPECT_EQ(dlg->ToolTipText(IDC_CAMERA), "Camera");
    EXPECT_EQ(dlg->ToolTipText(IDC_LINE + 3), "Polygon measrement");
    EXPECT_EQ(dlg->ToolTipText(IDC_CALIBRATION), "Calibration");
    EXPECT_EQ(dlg->ToolTipText(IDC_MAGNIFICATION), "Nominal magnification of the microscope");
    EXPECT_EQ(dlg->ToolTipText(IDC_CALIBRATION_VALUE),
              "Calibrated magnification stored for this nominal magnification");

    // Without language files every menu shows its built-in text.
    EXPECT_EQ(dlg->Submenu(1)->title(), "Setting");
    EXPECT_EQ(dlg->Submenu(1)->FindItem(IDC_SETTING)->text(), "Vdieo Setting");
    EXPECT_EQ(dlg->Submenu(1)->FindItem(ID_PEN_SETTINGS)->text(), "Measurement Setting");
    EXPECT_EQ(dlg->Submenu(1)->ItemAt(0)->text(), "2592*1944");
    EXPECT_EQ(dlg->Submenu(1)->ItemAt(1)->text(), "2048*1536");
    EXPECT_EQ(dlg->FileListMenu()->ItemAt(2)->text(), "Save as...");
    EXPECT_EQ(dlg->Submenu(0)->ItemAt(2)->text(), "Save As...");
}

TEST_F(MainDlgTest, MicroscopePluggedLaterStartsThePreviewAndUnpluggingReturnsToTheMessage)
{
    m_microscope->Unplug();
    auto dlg = Start();
    EXPECT_FALSE(dlg->IsConnected());
    EXPECT_EQ(dlg->CaptureGraph()->statusMessage(), kConnectMessage);
    EXPECT_TRUE(AllToolButtonsEnabled(*dlg, false));
    EXPECT_TRUE(m_messages.isEmpty()); // no box for a missing microscope

    m_microscope->Plug();
    ASSERT_TRUE(WaitFor([&] { return dlg->IsConnected(); }));
    EXPECT_TRUE(dlg->CaptureGraph()->running());
    EXPECT_TRUE(dlg->CaptureGraph()->statusMessage().isEmpty());
    EXPECT_TRUE(AllToolButtonsEnabled(*dlg, true));
    EXPECT_TRUE(dlg->Button(IDC_PREVIEW)->IsActive());
    EXPECT_EQ(dlg->ResolutionText()->text(), "2592*1944");

    m_microscope->Unplug();
    ASSERT_TRUE(WaitFor([&] { return !dlg->IsConnected(); }));
    EXPECT_EQ(dlg->CaptureGraph()->statusMessage(), kConnectMessage);
    EXPECT_TRUE(AllToolButtonsEnabled(*dlg, false));

    // A nodes-changed notice only arms the device check, which re-detects later.
    m_microscope->Plug();
    dlg->OnDeviceChange(DBT_DEVNODES_CHANGED, 0);
    EXPECT_TRUE(dlg->IsTimerActive(IDT_DEVICE_CHECK));
    ASSERT_TRUE(WaitFor([&] { return dlg->IsConnected(); }));
}

TEST_F(MainDlgTest, MicroscopeThatWillNotStartSaysWhyOnceAndStartsWhenItCan)
{
    auto backend = std::make_shared<RefusingBackend>(m_microscope);
    SetProcessCameraBackend(backend);
    backend->RefuseStartWith(CameraStatus::Busy);
    auto dlg = Start();
    EXPECT_FALSE(dlg->IsConnected());
    EXPECT_FALSE(dlg->CaptureGraph()->running());
    ASSERT_EQ(m_messages, QStringList{"The microscope is in use by another program"});
    EXPECT_EQ(dlg->CaptureGraph()->statusMessage(), m_messages[0]);
    EXPECT_TRUE(AllToolButtonsEnabled(*dlg, false));
    EXPECT_TRUE(dlg->IsTimerActive(IDT_DEVICE_CHECK));

    // Retries while the other program holds it show no second box.
    dlg->OnTimer(IDT_DEVICE_CHECK);
    dlg->OnDeviceChange(DBT_DEVICEREMOVECOMPLETE, 0);
    EXPECT_EQ(m_messages.size(), 1);
    EXPECT_FALSE(dlg->IsConnected());
    EXPECT_TRUE(dlg->IsTimerActive(IDT_DEVICE_CHECK));

    backend->RefuseStartWith(CameraStatus::Ok);
    dlg->OnTimer(IDT_DEVICE_CHECK);
    EXPECT_TRUE(dlg->IsConnected());
    EXPECT_TRUE(dlg->CaptureGraph()->statusMessage().isEmpty());
    EXPECT_TRUE(AllToolButtonsEnabled(*dlg, true));
    ASSERT_TRUE(WaitFor([&] {
        return dlg->Session().State().frameShown.load() == 1 &&
               dlg->Session().State().FrameStore.width.load() > 0;
    }));

    // A size the USB bus cannot carry: that message, and a lower size starts again.
    QTest::keyClick(dlg.get(), Qt::Key_F11);
    EXPECT_TRUE(dlg->IsConnected());
    backend->RefuseStartWith(CameraStatus::Bandwidth);
    QTest::keyClick(dlg.get(), Qt::Key_F12);
    ASSERT_TRUE(WaitFor([&] { return !dlg->IsConnected(); }));
    EXPECT_EQ(m_messages.last(), "USB cannot carry this size: choose a lower resolution");
    EXPECT_EQ(dlg->CaptureGraph()->statusMessage(), m_messages.last());
    EXPECT_TRUE(AllToolButtonsEnabled(*dlg, false));
    EXPECT_EQ(m_messages.size(), 2);
    backend->RefuseStartWith(CameraStatus::Ok);
    dlg->OnCommand(ID_LOW_SIZE);
    dlg->OnTimer(IDT_DEVICE_CHECK);
    EXPECT_TRUE(dlg->IsConnected());
    EXPECT_EQ(dlg->Session().Format().captureWidth, 2048);
    EXPECT_EQ(m_messages.size(), 2);
}

TEST_F(MainDlgTest, TakePictureNeedsThePreviewAndStoresAStillWhenItRuns)
{
    auto dlg = Start();
    ASSERT_TRUE(dlg->IsConnected());

    dlg->OnCommand(IDC_PREVIEW); // browse state
    EXPECT_FALSE(dlg->Button(IDC_PREVIEW)->IsActive());
    EXPECT_FALSE(dlg->CaptureGraph()->running());
    QTest::keyClick(dlg.get(), Qt::Key_F2);
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_EQ(m_messages[0], "Please return to the preview state");
    EXPECT_EQ(dlg->Session().State().StillRequest.pending.load(), 0);
    dlg->OnCommand(IDC_CLOCK);
    EXPECT_EQ(m_messages.size(), 2);

    dlg->OnCommand(IDC_PREVIEW);
    EXPECT_TRUE(dlg->CaptureGraph()->running());
    ASSERT_TRUE(WaitFor([&] { return dlg->Session().State().FrameStore.width.load() > 0; }));
    dlg->MagnificationEdit()->setText(" 60 "); // the blanks are no part of the name
    QTest::keyClick(dlg.get(), Qt::Key_F2);
    ASSERT_TRUE(WaitFor([&] { return PictureFiles(*dlg).size() == 1; }));
    EXPECT_TRUE(PictureFiles(*dlg).at(0).endsWith("_60X_N0001.jpg"))
        << PictureFiles(*dlg).at(0).toStdString();
    EXPECT_EQ(m_messages.size(), 2);
}

TEST_F(MainDlgTest, EscapeAndEnterNeverCloseAndSizeKeysSwitchTheCaptureSize)
{
    auto dlg = Start();
    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    dlg->MagnificationEdit()->setFocus();
    QTest::keyClick(dlg->MagnificationEdit(), Qt::Key_Return);
    QTest::keyClick(dlg->MagnificationEdit(), Qt::Key_Enter);
    QApplication::processEvents();
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_FALSE(dlg->IsFullScreen());

    QTest::keyClick(dlg.get(), Qt::Key_F11);
    EXPECT_EQ(dlg->Session().Format().captureWidth, 2048);
    EXPECT_EQ(dlg->ResolutionText()->text(), "2048*1536");
    QTest::keyClick(dlg.get(), Qt::Key_F12);
    EXPECT_EQ(dlg->Session().Format().captureHeight, 1944);
    EXPECT_EQ(dlg->ResolutionText()->text(), "2592*1944");
    EXPECT_TRUE(dlg->CaptureGraph()->running());
}

TEST_F(MainDlgTest, FullScreenHidesTheControlsAndEscapeRestoresEveryOne)
{
    auto dlg = Start();
    dlg->showMaximized(); // the desktop's maximize request
    ASSERT_TRUE(WaitFor([&] { return dlg->IsFullScreen(); }));
    const QSize screen = dlg->screen()->geometry().size();
    EXPECT_EQ(dlg->CaptureGraph()->Preview()->size(), screen);
    EXPECT_FALSE(dlg->MenuBar()->isVisible());
    EXPECT_FALSE(dlg->FileListArea()->isVisible());
    EXPECT_FALSE(dlg->MagnificationEdit()->isVisible());
    EXPECT_FALSE(dlg->Button(IDC_CAMERA)->isVisible());
    EXPECT_EQ(dlg->ToolTips().ToolCount(), 0);
    EXPECT_DOUBLE_EQ(dlg->CaptureGraph()->measureScaleX(), screen.width() / 640.0);
    EXPECT_DOUBLE_EQ(dlg->CaptureGraph()->measureScaleY(), screen.height() / 480.0);

    QTest::keyClick(dlg.get(), Qt::Key_Escape);
    ASSERT_TRUE(WaitFor([&] { return !dlg->IsFullScreen(); }));
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->CaptureGraph()->Preview()->geometry(), QRect(193, 34, 640, 480));
    EXPECT_EQ(dlg->Client()->size(), QSize(843, 580));
    EXPECT_TRUE(dlg->MenuBar()->isVisible());
    EXPECT_TRUE(dlg->FileListArea()->isVisible());
    EXPECT_TRUE(dlg->MagnificationEdit()->isVisible());
    EXPECT_TRUE(dlg->CalibrationValueEdit()->isVisible());
    for (const ButtonPlace& place : kButtons) {
        EXPECT_EQ(dlg->Button(place.id)->isVisible(), !place.neverShown) << place.id;
    }
    EXPECT_EQ(dlg->ToolTips().ToolCount(), 28);
    EXPECT_DOUBLE_EQ(dlg->CaptureGraph()->measureScaleX(), 1.0);
    EXPECT_DOUBLE_EQ(dlg->CaptureGraph()->measureScaleY(), 1.0);
}

TEST_F(MainDlgTest, TheProgramsEntryKeepsRunningThroughFullScreenUntilTheConfirmedClose)
{
    // Driven from inside the program's own event loop, one step per tick:
    // maximize, Escape, close answered No, close answered Yes.
    CMainDlg dlg;
    int step = 0;
    bool aliveAfterRestore = false;
    QTimer driver;
    QObject::connect(&driver, &QTimer::timeout, [&] {
        if (step == 0 && dlg.isVisible()) {
            dlg.KillTimer(IDT_STARTUP_PROMPT);
            dlg.showMaximized();
            step = 1;
        } else if (step == 1 && dlg.IsFullScreen() && dlg.isVisible()) {
            QTest::keyClick(&dlg, Qt::Key_Escape);
            step = 2;
        } else if (step == 2 && !dlg.IsFullScreen() && dlg.isVisible()) {
            aliveAfterRestore = dlg.CaptureGraph()->running();
            m_answer = IDNO;
            dlg.close();
            step = 3;
        } else if (step == 3 && dlg.isVisible()) {
            m_answer = IDYES;
            dlg.close();
            step = 4;
        }
    });
    driver.start(20);
    // A loop that never ends would hang the suite: end it after a while.
    QTimer guard; // goes with the test, so it cannot end a later test's loop
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] { QCoreApplication::exit(1); });
    guard.start(20000);
    const int exitCode = dlg.Run();
    driver.stop();

    EXPECT_EQ(step, 4) << "the loop ended before the user closed the window";
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(aliveAfterRestore);
    EXPECT_EQ(m_messages.count("Are you sure to close?"), 2);
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(MainDlgTest, RepaintShowsACaptureSizeWhoeverChangedItAndSizeKeysNeedThePlainKey)
{
    auto dlg = Start();
    ASSERT_EQ(dlg->ResolutionText()->text(), "2592*1944");
    // Changed behind the window's back, as recording and the video settings do.
    dlg->CaptureGraph()->SetCaptureSize(2048, 1536);
    dlg->Client()->update();
    EXPECT_TRUE(WaitFor([&] { return dlg->ResolutionText()->text() == "2048*1536"; }));
    dlg->CaptureGraph()->SetCaptureSize(2592, 1944);
    dlg->Client()->update();
    EXPECT_TRUE(WaitFor([&] { return dlg->ResolutionText()->text() == "2592*1944"; }));

    for (Qt::KeyboardModifier modifier : {Qt::ControlModifier, Qt::AltModifier, Qt::ShiftModifier}) {
        QTest::keyClick(dlg.get(), Qt::Key_F11, modifier);
        EXPECT_EQ(dlg->Session().Format().captureWidth, 2592) << modifier;
    }
    QTest::keyClick(dlg.get(), Qt::Key_F11);
    EXPECT_EQ(dlg->Session().Format().captureWidth, 2048);
    for (Qt::KeyboardModifier modifier : {Qt::ControlModifier, Qt::MetaModifier}) {
        QTest::keyClick(dlg.get(), Qt::Key_F12, modifier);
        EXPECT_EQ(dlg->Session().Format().captureWidth, 2048) << modifier;
    }

    // Ctrl+F2 is not F2: no warning for the switched-off preview, no still request.
    dlg->OnCommand(IDC_PREVIEW);
    QTest::keyClick(dlg.get(), Qt::Key_F2, Qt::ControlModifier);
    QTest::keyClick(dlg.get(), Qt::Key_F2, Qt::ShiftModifier);
    EXPECT_TRUE(m_messages.isEmpty());
    QTest::keyClick(dlg.get(), Qt::Key_F2);
    EXPECT_EQ(m_messages.size(), 1);
}

namespace {
// True when the edit shows its whole text: with the cursor at the end it did not
// have to scroll the text's beginning out of sight.
bool ShowsWholeText(QLineEdit* edit)
{
    edit->setCursorPosition(0);
    edit->grab();
    const int start = edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().left();
    edit->setCursorPosition(int(edit->text().size()));
    edit->grab();
    edit->setCursorPosition(0);
    return edit->inputMethodQuery(Qt::ImCursorRectangle).toRect().left() == start;
}
} // namespace

TEST_F(MainDlgTest, EditBoxesShowTheirWholeTextAtTheDesktopsFonts)
{
    const QFont original = QApplication::font();
    for (const char* family : {"DejaVu Sans", "Liberation Sans"}) {
        if (!QFontDatabase::hasFamily(family)) {
            continue;
        }
        for (int points : {9, 10, 11}) {
            QApplication::setFont(QFont(family, points));
            auto dlg = Start();
            // Up to the largest calibration the file keeps ("4493.3" lost its first
            // digit in the box once).
            for (const char* calibration : {"212.0", "888.8", "4493.3", "99999.9"}) {
                dlg->CalibrationValueEdit()->setText(calibration);
                EXPECT_TRUE(ShowsWholeText(dlg->CalibrationValueEdit()))
                    << family << " " << points << " " << calibration;
            }
            for (const char* magnification : {"200", "1000"}) {
                dlg->MagnificationEdit()->setText(magnification);
                EXPECT_TRUE(ShowsWholeText(dlg->MagnificationEdit()))
                    << family << " " << points << " " << magnification;
            }
            dlg->MagnificationEdit()->setText("200");
            EXPECT_EQ(dlg->ResolutionText()->sizeHint().width(), dlg->ResolutionText()->width());
        }
    }
    QApplication::setFont(original);
}

TEST_F(MainDlgTest, SnapshotItemTogglesItsTextAndTheChoiceSurvivesARestart)
{
    {
        auto dlg = Start();
        EXPECT_EQ(dlg->Session().Format().snapshotEnabled, 1);
        EXPECT_EQ(dlg->Submenu(1)->FindItem(ID_SNAPSHOT)->text(), "Snapshot Disable");
        dlg->Submenu(1)->FindItem(ID_SNAPSHOT)->trigger();
        EXPECT_EQ(dlg->Submenu(1)->FindItem(ID_SNAPSHOT)->text(), "Snapshot Enable");
        EXPECT_EQ(dlg->Session().Format().snapshotEnabled, 0);
        EXPECT_TRUE(dlg->CaptureGraph()->running());
    }
    Settings() = AppSettings{};
    auto again = Start();
    EXPECT_EQ(again->Session().Format().snapshotEnabled, 0);
    EXPECT_EQ(again->Submenu(1)->FindItem(ID_SNAPSHOT)->text(), "Snapshot Enable");
    again->OnCommand(ID_SNAPSHOT);
    EXPECT_EQ(again->Submenu(1)->FindItem(ID_SNAPSHOT)->text(), "Snapshot Disable");
}

TEST_F(MainDlgTest, LanguageChangeRelabelsMenusAndTooltipsAndTicksExactlyOneItem)
{
    testsupport::WriteFile(
        ProgramFolderPath() + "/Italian1252.ini",
        "[DoDedazez]\r\nFile=Archivio\r\nOpen=Apri...\r\nTipStraightLine=Misura lineare\r\n"
        "Italian=Italiano\r\nSnapshotDisable=Istantanea no\r\n");
    auto dlg = Start();
    dlg->Submenu(1)->FindItem(ID_LANG_ITALIAN)->trigger();

    EXPECT_EQ(dlg->Language(), (lang::LanguagePair{16, 0}));
    EXPECT_EQ(dlg->Submenu(0)->title(), "Archivio");
    EXPECT_EQ(dlg->Submenu(0)->ItemAt(0)->text(), "Apri...");
    EXPECT_EQ(dlg->FileListMenu()->ItemAt(0)->text(), "Apri...");
    EXPECT_EQ(dlg->Submenu(1)->FindItem(ID_SNAPSHOT)->text(), "Istantanea no");
    EXPECT_EQ(dlg->Submenu(2)->title(), "Capture"); // keys the file lacks keep their default
    EXPECT_EQ(dlg->ToolTipText(IDC_LINE), "Misura lineare");
    EXPECT_EQ(TickedLanguages(*dlg), std::vector<int>{ID_LANG_ITALIAN});
    EXPECT_EQ(dlg->MenuBar()->actions().size(), 4);

    AppSettings stored;
    stored.ReadLanID();
    stored.ReadSubLanIDD();
    EXPECT_EQ(stored.LanID, 16);
    EXPECT_EQ(stored.SubLanIDD, 0);

    dlg->OnCommand(ID_LANG_ENGLISH);
    EXPECT_EQ(dlg->Submenu(0)->title(), "File");
    EXPECT_EQ(TickedLanguages(*dlg), std::vector<int>{ID_LANG_ENGLISH});
}

TEST_F(MainDlgTest, ArabicMirrorsTheWindowBodyAndSizesStillReadLeftToRight)
{
    ScopedEnv language("LC_ALL", "ar_EG.UTF-8");
    auto dlg = Start();
    EXPECT_EQ(dlg->Language().primary, lang::kLangArabic);
    auto mirrored = [](const QRect& r) {
        return QRect(QPoint(kClientSize.width() - r.x() - r.width(), r.y()), r.size());
    };
    EXPECT_EQ(dlg->FileListArea()->geometry(), mirrored(kFileListRect));
    EXPECT_EQ(dlg->CaptureGraph()->Preview()->geometry(), mirrored(kPreviewRect));
    for (const ButtonPlace& place : kButtons) {
        if (!place.neverShown) {
            EXPECT_EQ(dlg->Button(place.id)->geometry(), mirrored(QRect(place.pos, place.size))) << place.id;
        }
    }
    // The page tabs are where they are drawn.
    QTest::mouseClick(dlg->Client(), Qt::LeftButton, {}, QPoint(kClientSize.width() - 1 - 120, 50));
    EXPECT_EQ(dlg->Page(), kPageVideos);

    // "2592*1944" keeps its order inside right-to-left text.
    const QString size = ResolutionText({2592, 1944});
    QTextLayout layout(size, QApplication::font());
    QTextOption option;
    option.setTextDirection(Qt::RightToLeft);
    layout.setTextOption(option);
    layout.beginLayout();
    const QTextLine line = layout.createLine();
    layout.endLayout();
    EXPECT_LT(line.cursorToX(size.indexOf("2592")), line.cursorToX(size.indexOf("1944")));

    // A left-to-right language puts everything back.
    dlg->OnCommand(ID_LANG_ENGLISH);
    EXPECT_EQ(dlg->FileListArea()->geometry(), kFileListRect);
    for (const ButtonPlace& place : kButtons) {
        if (!place.neverShown) {
            EXPECT_EQ(dlg->Button(place.id)->pos(), place.pos) << place.id;
        }
    }
    EXPECT_EQ(ResolutionText({2592, 1944}), "2592*1944");
}

TEST_F(MainDlgTest, ClosingAnsweredNoKeepsEverythingRunning)
{
    auto dlg = Start();
    m_answer = 7; // IDNO
    dlg->close();
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_EQ(m_messages[0], "Are you sure to close?");
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_TRUE(dlg->CaptureGraph()->running());
    EXPECT_TRUE(dlg->IsConnected());

    m_answer = 6; // IDYES
    dlg->close();
    EXPECT_FALSE(dlg->isVisible());
    EXPECT_FALSE(dlg->CaptureGraph()->running());
}

TEST_F(MainDlgTest, StartupPromptShowsWhileSysDateIsOneAndItsBoxSwitchesItOff)
{
    int shown = 0;
    QTimer watcher;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        if (auto* prompt = qobject_cast<CPromptDlg*>(QApplication::activeModalWidget())) {
            ++shown;
            EXPECT_TRUE(prompt->ShowAgainBox()->isChecked());
            prompt->ShowAgainBox()->setChecked(false);
            prompt->accept();
        }
    });
    watcher.start(10);
    {
        auto dlg = Start(true);
        ASSERT_TRUE(WaitFor([&] { return shown == 1; }));
        AppSettings stored;
        stored.ReadSysDate();
        EXPECT_EQ(stored.sys_date, 0);
    }
    auto again = Start(true);
    QTest::qWait(400);
    EXPECT_EQ(shown, 1);
    EXPECT_FALSE(again->IsTimerActive(IDT_STARTUP_PROMPT));
}

TEST_F(MainDlgTest, SaveAsProposesTheNameStartsWhereItMaySaveAndRightClickOffersTheMenu)
{
    auto dlg = Start();
    dlg->OnCommand(ID_SAVE_AS);
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_EQ(m_messages[0], "Please select a picture or video");
    dlg->OnCommand(ID_DELETE);
    EXPECT_EQ(m_messages.last(), "Please select an image or video");

    ASSERT_TRUE(WaitFor([&] { return dlg->Session().State().FrameStore.width.load() > 0; }));
    QTest::keyClick(dlg.get(), Qt::Key_F2);
    ASSERT_TRUE(WaitFor([&] { return PictureFiles(*dlg).size() == 1; }));
    const QString stored = PictureFiles(*dlg).at(0);
    SaveDialogRequest asked;
    SetSaveDialogResponder([&](const SaveDialogRequest& request) {
        asked = request;
        return dlg->PictureFolder().toUpper() + "/copy.bmp";
    });
    m_messages.clear();
    dlg->OnCommand(IDC_SAVE);
    SetSaveDialogResponder(nullptr);
    EXPECT_EQ(asked.initialName, stored.left(stored.size() - 4));
    EXPECT_TRUE(asked.filter.startsWith("Bitmap Files(*.bmp)"));
    EXPECT_EQ(asked.defaultExtension, ".bmp");
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_EQ(m_messages[0], "Can't save file to temp directory!!");
    EXPECT_EQ(PictureFiles(*dlg).size(), 1);

    // The dialog starts where saving is allowed: taking its folder as offered saves.
    SetSaveDialogResponder(
        [](const SaveDialogRequest& request) { return request.folder + "/" + request.initialName + ".jpg"; });
    m_messages.clear();
    dlg->OnCommand(ID_SAVE_AS);
    SetSaveDialogResponder(nullptr);
    EXPECT_TRUE(m_messages.isEmpty()) << m_messages.join('|').toStdString();
    EXPECT_TRUE(QFile::exists(asked.folder + "/" + asked.initialName + ".jpg"));
    EXPECT_EQ(PictureFiles(*dlg).size(), 1);

    // A right click on the picture offers the file list's menu.
    auto* strip = static_cast<CFileListView*>(dlg->FileListArea());
    QTest::mousePress(strip, Qt::RightButton, {}, strip->CellRect(0).center());
    EXPECT_TRUE(dlg->FileListMenu()->isVisible());
    dlg->FileListMenu()->hide();
    QTest::mousePress(strip, Qt::RightButton, {}, strip->CellRect(5).center());
    EXPECT_FALSE(dlg->FileListMenu()->isVisible());
}

TEST_F(MainDlgTest, PageTabsSwitchTheFileListPageAndButtonsShowTheirTips)
{
    auto dlg = Start();
    auto* strip = static_cast<CFileListView*>(dlg->FileListArea());
    QTest::mouseClick(dlg->Client(), Qt::LeftButton, {}, QPoint(120, 50));
    EXPECT_EQ(dlg->Page(), kPageVideos);
    EXPECT_EQ(strip->Page(), PageVideos);
    QTest::mouseClick(dlg->Client(), Qt::LeftButton, {}, QPoint(120, 50));
    EXPECT_EQ(dlg->Page(), kPageVideos);
    QTest::mouseClick(dlg->Client(), Qt::LeftButton, {}, QPoint(40, 50));
    EXPECT_EQ(dlg->Page(), kPagePictures);
    EXPECT_EQ(strip->Page(), PagePictures);
    EXPECT_EQ(dlg->ToolTips().ToolCount(), 28);

    QTest::mouseMove(dlg->Button(IDC_LINE + 1), QPoint(5, 5));
    EXPECT_TRUE(WaitFor([&] { return dlg->ToolTips().ShownText() == "Continuous Line Measurement"; }));
    QTest::mouseMove(dlg->Client(), QPoint(400, 300));
    EXPECT_TRUE(WaitFor([&] { return dlg->ToolTips().ShownText().isEmpty(); }));
}

TEST_F(MainDlgTest, HelpOpensTheManualOfTheCurrentLanguageAndOpenChecksThePictureStillExists)
{
    QList<QUrl> opened;
    SetDocumentResponder([&](const QUrl& url) {
        opened << url;
        return true;
    });
    auto dlg = Start();
    dlg->OnCommand(ID_LANG_SIMPLIFIED);
    dlg->OnCommand(ID_HELP_MANUAL);
    SetDocumentResponder(nullptr);
    ASSERT_EQ(opened.size(), 1);
    EXPECT_EQ(opened[0].toLocalFile(), ProgramFolderPath() + "/Pelora-CN.html");
    EXPECT_TRUE(m_messages.isEmpty());

    // Update says which version is installed and where updates come from.
    dlg->OnCommand(ID_LANG_ENGLISH);
    dlg->OnCommand(ID_HELP_UPDATE);
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(
        QRegularExpression("^Pelora \\d+\\.\\d+\\.\\d+ is installed\\. Updates come with your system's "
                           "package manager\\.$")
            .match(m_messages[0])
            .hasMatch())
        << m_messages[0].toStdString();
    m_messages.clear();

    // The camera diagnostics list the camera and the running preview's counts.
    dlg->OnCommand(ID_HELP_DIAGNOSTICS);
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].startsWith("cameras: 1\n") && m_messages[0].contains("frames received"))
        << m_messages[0].toStdString();
    m_messages.clear();

    // About stays reachable from the Help menu.
    QString aboutTitle;
    QTimer::singleShot(50, [&] {
        if (auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget())) {
            aboutTitle = about->windowTitle();
            about->accept();
        }
    });
    dlg->Submenu(3)->FindItem(ID_ABOUT)->trigger();
    EXPECT_EQ(aboutTitle, "About Pelora");

    ASSERT_TRUE(WaitFor([&] { return dlg->Session().State().FrameStore.width.load() > 0; }));
    dlg->OnCommand(IDC_CAMERA);
    ASSERT_TRUE(WaitFor([&] { return PictureFiles(*dlg).size() == 1; }));
    QFile::remove(dlg->PictureFolder() + "/" + PictureFiles(*dlg).at(0));
    dlg->OnCommand(ID_OPEN);
    ASSERT_TRUE(WaitFor([&] { return !m_messages.isEmpty(); }));
    EXPECT_EQ(m_messages.last(), "the picture not open,please check the file exist!");
}

TEST_F(MainDlgTest, HelpWithoutABrowserSaysWhereTheManualIs)
{
    // xdg-open is installed but finds no program for the manual: it starts, then fails.
    QTemporaryDir bin;
    const QString tool = bin.filePath("xdg-open");
    ASSERT_TRUE(testsupport::WriteFile(tool, "#!/bin/sh\nexit 3\n"));
    QFile::setPermissions(tool, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ScopedEnv path("PATH", bin.path().toLocal8Bit() + ":" + qgetenv("PATH"));
    auto dlg = Start();
    dlg->OnCommand(ID_HELP_MANUAL);
    ASSERT_TRUE(WaitFor([&] { return !m_messages.isEmpty(); }));
    ASSERT_EQ(m_messages.size(), 1);
    EXPECT_TRUE(m_messages[0].startsWith("No program could open the manual.")) << m_messages[0].toStdString();
    EXPECT_TRUE(m_messages[0].endsWith(ProgramFolderPath() + "/Pelora-EN.html"))
        << m_messages[0].toStdString();
}

TEST_F(MainDlgTest, MagnificationShowsItsStoredCalibrationAndANewCalibrationIsStored)
{
    testsupport::WriteFile(ProgramFolderPath() + "/CalibrationIni.ini", "[60]\n60=57.3\n[200]\n200=212.0\n");
    auto dlg = Start();
    EXPECT_EQ(dlg->CalibrationValueEdit()->text(), "57.3");
    dlg->MagnificationEdit()->setText("7");
    EXPECT_EQ(dlg->CalibrationValueEdit()->text(), "");
    dlg->MagnificationEdit()->setText(" 60 ");
    EXPECT_EQ(dlg->CalibrationValueEdit()->text(), "57.3");
    dlg->MagnificationEdit()->setText("200 ");
    EXPECT_EQ(dlg->CalibrationValueEdit()->text(), "212.0");

    Calibration().lastResult = 198.44;
    QCoreApplication::postEvent(dlg.get(), new QEvent(WM_CALIBRATION_DONE));
    ASSERT_TRUE(WaitFor([&] { return dlg->CalibrationValueEdit()->text() == "198.4"; }));
    EXPECT_DOUBLE_EQ(Calibration().current, 198.4);
    // Stored under the magnification without its blank: the file keeps one line for it.
    EXPECT_EQ(testsupport::ReadFile(ProgramFolderPath() + "/CalibrationIni.ini"),
              "[60]\n60=57.3\n[200]\n200=198.4\n");
}
