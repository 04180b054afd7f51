#include "MainDlgTestSupport.h"

#include "app/SettingsStore.h"
#include "capture/StillSaver.h"
#include "platform/camera/CameraBackendFactory.h"
#include "platform/desktop/MessageBox.h"
#include "platform/files/ProgramFolder.h"
#include "platform/media/SoundPlayer.h"

#include <QTest>

void MainDlgTest::SetUp()
{
    OverrideProgramFolders(m_program.path(), m_program.path());
    Settings() = AppSettings{};
    SetMessageResponder([this](const QString& text, const QString&, unsigned) {
        m_messages << text;
        return m_answer;
    });
    SetSoundPlayer([](int) {});
    m_microscope = std::make_shared<VirtualMicroscope>(Class2592, 20);
    SetProcessCameraBackend(m_microscope);
}

void MainDlgTest::TearDown()
{
    SetProcessCameraBackend(nullptr);
    SetSoundPlayer(nullptr);
    SetMessageResponder(nullptr);
    OverrideProgramFolders(QString(), QString());
}

std::unique_ptr<CMainDlg> MainDlgTest::Start(bool keepPrompt)
{
    // The window is entered as the program enters it (Run without its loop).
    auto dialog = std::make_unique<CMainDlg>();
    dialog->Open();
    if (!keepPrompt) {
        dialog->KillTimer(maindlg::IDT_STARTUP_PROMPT);
    }
    return dialog;
}

bool MainDlgTest::WaitFor(const std::function<bool()>& done)
{
    // Generous: under the sanitizers on a loaded machine the first frames take
    // seconds. A condition that holds returns at once.
    constexpr int kPatienceMs = 20000;
    return QTest::qWaitFor(done, kPatienceMs);
}
