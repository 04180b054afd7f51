#pragma once
// A main window on the virtual microscope with temporary settings, documents and
// program folders, scripted message boxes and no sound.
#include "app/CMainDlg.h"
#include "common/TestSupport.h"
#include "platform/camera/VirtualMicroscope.h"

#include <QStringList>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

class MainDlgTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A started window; the start-up prompt's timer is stopped unless `keepPrompt`.
    std::unique_ptr<CMainDlg> Start(bool keepPrompt = false);
    // Waits for the event loop to satisfy `done` (at most 5 s).
    static bool WaitFor(const std::function<bool()>& done);

    QString ProgramFolderPath() const { return m_program.path(); }

    testsupport::TempHome m_home;
    QTemporaryDir m_program;
    std::shared_ptr<VirtualMicroscope> m_microscope;
    QStringList m_messages;
    int m_answer = 6; // IDYES
};
