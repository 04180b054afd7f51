#include "app/FocusStackControl.h"

#include "app/AppTexts.h"
#include "app/SettingsStore.h"
#include "capture/CaptureSession.h"
#include "capture/FocusSeriesDump.h"
#include "platform/desktop/MessageBox.h"

#include <QInputDialog>
#include <QProgressDialog>
#include <algorithm>

namespace {
constexpr int kFusingSteps = 100;
} // namespace

FocusStackControl::FocusStackControl(CaptureSession& session, QWidget* window, QString caption)
    : m_session(session), m_window(window), m_caption(std::move(caption)), m_collector(session)
{
    connect(&m_collector, &FocusSeriesCollector::progress, this, &FocusStackControl::OnProgress);
    connect(&m_collector, &FocusSeriesCollector::collected, this, &FocusStackControl::OnCollected);
    // A hand-edited settings file may hold anything.
    m_steps = std::clamp(Settings().FocusSteps, kFocusStepsMin, kFocusStepsMax);
}

FocusStackControl::~FocusStackControl()
{
    m_cancel = true;
    JoinWorker();
}

bool FocusStackControl::IsBusy() const
{
    return m_collector.IsCollecting() || m_fusing;
}

void FocusStackControl::OnCommand()
{
    if (m_fusing) {
        return;
    }
    if (m_collector.IsCollecting()) {
        if (!m_collector.Sweeps()) {
            m_collector.Finish();
        }
        return;
    }
    m_collector.Start(m_steps);
}

void FocusStackControl::AskSteps()
{
    bool ok = false;
    const int steps = QInputDialog::getInt(m_window, m_caption, LoadText(txt::FocusStackStepsPrompt), m_steps,
                                           kFocusStepsMin, kFocusStepsMax, 1, &ok);
    if (ok) {
        m_steps = steps;
        Settings().FocusSteps = steps;
        Settings().WriteFocusSteps();
    }
}

bool FocusStackControl::Cancel()
{
    if (!IsBusy()) {
        return false;
    }
    m_collector.Cancel();
    m_cancel = true; // the worker stops at its next step; its result is dropped
    CloseProgress();
    return true;
}

void FocusStackControl::OnProgress(int frames, int total)
{
    if (total > 0) {
        ShowProgress(LoadText(txt::FocusStackSweep).arg(frames + (frames < total ? 1 : 0)).arg(total), frames,
                     total);
    } else {
        ShowProgress(LoadText(txt::FocusStackManual).arg(frames), 0, 0);
    }
}

void FocusStackControl::OnCollected()
{
    std::vector<QImage> frames = m_collector.TakeFrames();
    if (frames.size() < std::size_t(kMinStackFrames)) {
        CloseProgress();
        ShowMessage(m_window, LoadText(txt::FocusStackTooFew), m_caption, MB_OK | MB_ICONWARNING);
        return;
    }
    DumpFocusSeriesIfAsked(frames);
    JoinWorker();
    m_cancel = false;
    m_fusing = true;
    ShowProgress(LoadText(txt::FocusStackFusing), 0, kFusingSteps);
    m_worker = std::thread([this, frames = std::move(frames)]() mutable {
        StackOptions options;
        options.cancel = &m_cancel;
        options.progress = [this](int done, int total) {
            QMetaObject::invokeMethod(
                this,
                [this, done, total] {
                    ShowProgress(LoadText(txt::FocusStackFusing), done * kFusingSteps / total, kFusingSteps);
                },
                Qt::QueuedConnection);
        };
        StackResult result = FocusStackImages(std::move(frames), options);
        QMetaObject::invokeMethod(
            this, [this, result = std::move(result)] { OnFused(result); }, Qt::QueuedConnection);
    });
}

void FocusStackControl::OnFused(const StackResult& result)
{
    JoinWorker();
    const bool canceled = m_cancel.exchange(false) || result.status == StackStatus::Canceled;
    if (!m_fusing || canceled) {
        m_fusing = false;
        return; // Escape: nothing is kept
    }
    m_fusing = false;
    CloseProgress();
    if (result.status != StackStatus::Ok) {
        ShowMessage(m_window, LoadText(txt::FocusStackFailed), m_caption, MB_OK | MB_ICONWARNING);
        return;
    }
    m_session.SaveComposedStill(result.image, StillOriginFocusStack);
}

void FocusStackControl::ShowProgress(const QString& text, int value, int maximum)
{
    if (!m_progress) {
        m_progress = new QProgressDialog(m_window);
        m_progress->setWindowTitle(m_caption);
        m_progress->setWindowModality(Qt::NonModal);
        m_progress->setAttribute(Qt::WA_ShowWithoutActivating); // keys stay with the live view
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->setMinimumDuration(0);
        connect(m_progress, &QProgressDialog::canceled, this, [this] { Cancel(); });
    }
    m_progress->setLabelText(text);
    m_progress->setRange(0, maximum);
    m_progress->setValue(value);
    m_progress->show();
}

void FocusStackControl::CloseProgress()
{
    if (m_progress) {
        m_progress->hide();
        m_progress->deleteLater();
        m_progress = nullptr;
    }
}

void FocusStackControl::JoinWorker()
{
    if (m_worker.joinable()) {
        m_worker.join();
    }
}
