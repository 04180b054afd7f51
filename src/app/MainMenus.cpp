#include "app/MainMenus.h"

#include "app/AppTexts.h"
#include "app/MainDlgIds.h"
#include "capture/CaptureState.h"
#include "measure/MeasureTexts.h"
#include "widgets/Art.h"
#include "widgets/CMenuXP.h"
#include "widgets/CToolTipCtrl.h"

#include <QMenuBar>

using namespace maindlg;

namespace {

// Tooltip texts hold at most 127 characters.
constexpr int kToolTipCapacity = 128;

struct ToolTipEntry {
    int id;
    TextKey text;
};

// The tooltip table, in its fixed order.
constexpr ToolTipEntry kToolTipTexts[] = {
    {IDC_PREVIEW, txt::Preview},
    {IDC_CAMERA, txt::TakePicture_Tooltip},
    {IDC_AVI, txt::TakeVideo_Tooltip},
    {IDC_CLOCK, txt::TaketimelapsedPictures_Tooltip},
    {IDC_SETTING, txt::Setting},
    {IDC_SAVE, txt::TipSave},
    {IDC_EMAIL, txt::EMail_Tooltip},
    {IDC_HOR_MIRROR, txt::TipHorMirror},
    {IDC_VER_MIRROR, txt::TipVerMirror},
    {IDC_NEGATIVE, txt::TipNegative},
    {IDC_BINARY, txt::TipBinarysegmentation},
    {IDC_RGB, txt::TipRGB},
    {IDC_RED, txt::TipRED},
    {IDC_GREEN, txt::TipGreen},
    {IDC_BLUE, txt::TipBlue},
    {IDC_LINE + 0, txt::TipStraightLine},
    {IDC_LINE + 1, txt::TipContinuousLine},
    {IDC_LINE + 2, txt::TipDotLine},
    {IDC_LINE + 3, txt::TipPolygon},
    {IDC_LINE + 4, txt::TipRCircle},
    {IDC_LINE + 5, txt::TipDCircle},
    {IDC_LINE + 6, txt::TipTCircle},
    {IDC_LINE + 7, txt::TipTArc},
    {IDC_LINE + 8, txt::TipTAngle},
    {IDC_FOUR_ANGLE, txt::TipFAngle},
    {IDC_CALIBRATION, txt::Calibration},
    {IDC_MAGNIFICATION, txt::TipMagnification},
    {IDC_CALIBRATION_VALUE, txt::TipCalibratedMagnification},
};

struct SizeTexts {
    TextKey high;
    TextKey low;
};

// Setting menu's capture-size items by sensor class.
SizeTexts CaptureSizeTexts(int deviceClass)
{
    switch (deviceClass) {
    case Class1280:
        return {txt::k1280_1024, txt::k640_480};
    case Class1600:
        return {txt::k1600_1200, txt::k1280_960};
    default:
        return {txt::k2592_1944, txt::k2048_1536};
    }
}

// An item of a menu, by position; id 0 is a separator.
struct MenuItem {
    int id;
    TextKey text;
};
constexpr TextKey kNoText{"", ""};

void AppendItems(CMenuXP* menu, std::initializer_list<MenuItem> items)
{
    for (const MenuItem& item : items) {
        if (item.id == 0) {
            menu->AppendSeparator();
        } else {
            menu->AppendItem(item.id, LoadText(item.text));
        }
    }
}

// The accelerator tables, offered in this order; F3 only starts and F4 only
// stops a recording.
constexpr int kAnyTime = -1;
struct AcceleratorEntry {
    int table;
    int key;
    int command;
    int recording; // recording flag the key needs, or kAnyTime
};
constexpr AcceleratorEntry kAccelerators[] = {
    {IDR_ACCEL_F2, Qt::Key_F2, IDC_CAMERA, kAnyTime},
    {IDR_ACCEL_F3, Qt::Key_F3, IDC_AVI, 0},
    {IDR_ACCEL_F4, Qt::Key_F4, IDC_AVI, 1},
    {IDR_ACCEL_F11, Qt::Key_F11, ID_LOW_SIZE, kAnyTime},
    {IDR_ACCEL_F12, Qt::Key_F12, ID_HIGH_SIZE, kAnyTime},
    {IDR_ACCEL_F8, Qt::Key_F8, ID_SLIDE_CALIBRATION, kAnyTime},
    {IDR_ACCEL_F6, Qt::Key_F6, ID_FOCUS_STACK, kAnyTime},
};

} // namespace

MainMenus::MainMenus(QWidget& owner, QMenuBar& bar, CommandSink onCommand)
    : QObject(&owner), m_owner(owner), m_bar(bar), m_onCommand(std::move(onCommand))
{
}

CMenuXP* MainMenus::NewMenu(const QString& title)
{
    auto* menu = new CMenuXP(title, &m_owner);
    menu->SetBackground(QColor(kMenuBackground));
    connect(menu, &CMenuXP::commandChosen, this, [this](int id) { m_onCommand(id); });
    return menu;
}

void MainMenus::Build(const State& state)
{
    // The menu is rebuilt from scratch, as after loading it again.
    m_bar.clear();
    for (CMenuXP* menu : m_submenus) {
        menu->deleteLater();
    }
    m_submenus.clear();
    const TextKey barTexts[] = {txt::File, txt::Setting, txt::Capture, txt::Help};
    for (const TextKey& text : barTexts) {
        CMenuXP* menu = NewMenu(LoadText(text));
        m_bar.addMenu(menu);
        m_submenus.push_back(menu);
    }
    BuildFileMenu(m_submenus[0], false);
    BuildSettingMenu(m_submenus[1], state);
    BuildCaptureMenu(m_submenus[2]);
    BuildHelpMenu(m_submenus[3]);
    if (m_fileListMenu == nullptr) {
        m_fileListMenu = NewMenu(QString());
    }
    m_fileListMenu->clear();
    BuildFileMenu(m_fileListMenu, true);
    if (m_otherToolsMenu == nullptr) {
        m_otherToolsMenu = NewMenu(QString());
    }
    m_otherToolsMenu->clear();
    BuildOtherToolsMenu(m_otherToolsMenu);
}

void MainMenus::BuildFileMenu(CMenuXP* menu, bool popup)
{
    AppendItems(menu, {{ID_OPEN, txt::Open},
                       {0, kNoText},
                       {ID_SAVE_AS, popup ? txt::TipSave_Popup : txt::TipSave_Menu},
                       {ID_SAVE_ALL, txt::SaveAll},
                       {0, kNoText},
                       {ID_DELETE, txt::Delete_Menu},
                       {ID_DELETE_ALL, txt::DeleteAll},
                       {0, kNoText},
                       {ID_PRINT, txt::Print},
                       {ID_EMAIL, txt::EMail}});
}

void MainMenus::BuildOtherToolsMenu(CMenuXP* menu)
{
    AppendItems(menu, {{ID_MEASURE_UNDO, txt::Undo},
                       {ID_MEASURE_REDO, txt::Redo},
                       {ID_MEASURE_DELETE_ALL, txt::DeleteAll},
                       {0, kNoText},
                       {ID_CROSSHAIR_TOOLS, txt::Crosshair},
                       {ID_SCALE_LINE, txt::ScaleLine_OtherTools},
                       {ID_CIRCLE_GRID, txt::CircleGrid_OtherTools},
                       {ID_PEN_SETTINGS, txt::Setting_OtherTools},
                       {0, kNoText},
                       {ID_SLIDE_CALIBRATION, txt::SlideCalibrate},
                       {0, kNoText},
                       {ID_MEASURE_EXPORT, txt::TipProperty},
                       {0, kNoText},
                       {ID_FOCUS_STACK, txt::FocusStack},
                       {ID_FOCUS_STEPS, txt::FocusStackSteps}});
    menu->FindItem(ID_FOCUS_STACK)->setToolTip(LoadText(txt::FocusStackTip));
    menu->FindItem(ID_FOCUS_STEPS)->setToolTip(LoadText(txt::FocusStackStepsTip));
    menu->setToolTipsVisible(true);
    const QIcon icon(
        ArtPixmap(QStringLiteral("menu_%1").arg(kOtherToolsItemIcon), QSize(kMenuIconSide, kMenuIconSide)));
    for (QAction* item : menu->actions()) {
        if (!item->isSeparator()) {
            item->setIcon(icon);
        }
        if (item->data().toInt() == ID_SLIDE_CALIBRATION) {
            item->setShortcut(QKeySequence(Qt::Key_F8));
            item->setToolTip(LoadText(txt::SlideCalibrateTip, kToolTipCapacity));
        }
    }
}

void MainMenus::BuildSettingMenu(CMenuXP* menu, const State& state)
{
    const SizeTexts sizes = CaptureSizeTexts(state.deviceClass);
    AppendItems(menu, {{ID_HIGH_SIZE, sizes.high},
                       {ID_LOW_SIZE, sizes.low},
                       {0, kNoText},
                       {IDC_SETTING, txt::Device___},
                       {ID_PEN_SETTINGS, txt::Setting_SettingMenu},
                       {0, kNoText},
                       {ID_CROSSHAIR, txt::Crosshair},
                       {ID_SCALE_LINE, txt::ScaleLine},
                       {ID_CIRCLE_GRID, txt::CircleGrid},
                       {0, kNoText},
                       {ID_SNAPSHOT, state.snapshotOn ? txt::SnapshotDisable : txt::SnapshotEnable},
                       {0, kNoText}});
    CMenuXP* languages = menu->AppendPopup(LoadText(txt::Changelanguage));
    for (const lang::LanguageMenuItem& item : lang::LanguageMenu()) {
        languages->AppendItem(item.commandId, lang::LanguageMenuText(item, state.language));
    }
    languages->CheckItem(lang::CheckedLanguageCommand(state.language), true);
}

void MainMenus::BuildCaptureMenu(CMenuXP* menu)
{
    AppendItems(menu, {{IDC_CAMERA, txt::TakePicture},
                       {IDC_AVI, txt::TakeVideo},
                       {0, kNoText},
                       {IDC_CLOCK, txt::TaketimelapsedPictures}});
}

void MainMenus::BuildHelpMenu(CMenuXP* menu)
{
    AppendItems(menu, {{ID_HELP_MANUAL, txt::OrbeluntManual},
                       {ID_HELP_UPDATE, txt::OrbeluntUpdate},
                       {ID_HELP_DIAGNOSTICS, txt::CameraDiagnostics},
                       {ID_ABOUT, txt::OrbeluntAbout}});
}

CMenuXP* MainMenus::Submenu(int index) const
{
    return index >= 0 && index < static_cast<int>(m_submenus.size()) ? m_submenus[index] : nullptr;
}

void MainMenus::LabelToolTips(CToolTipCtrl& tips, const std::function<QWidget*(int id)>& control,
                              bool fullScreen)
{
    tips.DelAllTools();
    if (fullScreen) {
        return;
    }
    for (const ToolTipEntry& tip : kToolTipTexts) {
        tips.AddTool(control(tip.id), LoadText(tip.text, kToolTipCapacity));
    }
}

MainMenus::KeyResult MainMenus::OfferKey(int key, Qt::KeyboardModifiers modifiers, bool recording)
{
    // The tables hold the plain keys: Ctrl+F2 is another key than F2.
    if (modifiers != Qt::NoModifier) {
        return {};
    }
    for (const AcceleratorEntry& entry : kAccelerators) {
        if (entry.key != key) {
            continue;
        }
        const bool met = entry.recording == kAnyTime || entry.recording == (recording ? 1 : 0);
        return {true, met ? entry.command : 0};
    }
    return {};
}
