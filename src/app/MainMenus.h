#pragma once
// The main window's menus and keys: the main menu (File, Setting, Capture, Help)
// with its language submenu, the files strip's right-click menu, the tooltip
// texts, and the five accelerator tables. Everything is labelled from the current
// language file; every item reports its command id.
#include "app/LanguageTable.h"

#include <QObject>
#include <functional>
#include <vector>

class CMenuXP;
class CToolTipCtrl;
class QMenuBar;
class QWidget;

class MainMenus : public QObject {
    Q_OBJECT
public:
    using CommandSink = std::function<void(int id)>;
    MainMenus(QWidget& owner, QMenuBar& bar, CommandSink onCommand);

    // What the labels depend on.
    struct State {
        int deviceClass = 0;
        bool snapshotOn = true;
        lang::LanguagePair language;
    };
    // Builds (or rebuilds, after a language or device change) both menus.
    void Build(const State& state);

    CMenuXP* Submenu(int index) const;
    CMenuXP* FileListMenu() const { return m_fileListMenu; }
    // The live view's other-tools menu (button 1164); every item shows one icon.
    CMenuXP* OtherToolsMenu() const { return m_otherToolsMenu; }

    // Puts the 28 tips on the buttons and boxes found by `control` (none while
    // `fullScreen`).
    static void LabelToolTips(CToolTipCtrl& tips, const std::function<QWidget*(int id)>& control,
                              bool fullScreen);

    // A key offered to the accelerator tables.
    struct KeyResult {
        bool taken = false; // the key belongs to a table (plain key only)
        int command = 0;    // command to run, 0 when the table's condition is not met
    };
    static KeyResult OfferKey(int key, Qt::KeyboardModifiers modifiers, bool recording);

private:
    CMenuXP* NewMenu(const QString& title);
    void BuildFileMenu(CMenuXP* menu, bool popup);
    void BuildSettingMenu(CMenuXP* menu, const State& state);
    void BuildCaptureMenu(CMenuXP* menu);
    void BuildHelpMenu(CMenuXP* menu);
    void BuildOtherToolsMenu(CMenuXP* menu);

    QWidget& m_owner;
    QMenuBar& m_bar;
    CommandSink m_onCommand;
    std::vector<CMenuXP*> m_submenus;
    CMenuXP* m_fileListMenu = nullptr;
    CMenuXP* m_otherToolsMenu = nullptr;
};
