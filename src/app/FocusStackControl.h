#pragma once
// The live view's "Focus stack" command: collects a focus series (FocusSeriesCollector),
// fuses it on a worker thread while the window stays responsive, and saves the result
// through the still path, which puts it in the strip. The same command stops a series
// collected by hand; Escape or the progress window's Cancel drops everything.
#include "capture/FocusSeriesCollector.h"
#include "image/stack/FocusStack.h"

#include <QObject>
#include <QPointer>
#include <atomic>
#include <thread>

class CaptureSession;
class QProgressDialog;
class QWidget;

class FocusStackControl : public QObject {
public:
    FocusStackControl(CaptureSession& session, QWidget* window, QString caption);
    ~FocusStackControl() override;

    // Starts a series; while one is collected by hand, stacks it.
    void OnCommand();
    // Escape: true when a series or a stack was running (and is now dropped).
    bool Cancel();
    bool IsBusy() const;
    // Asks how many frames a sweep takes (3 to 30) and keeps the answer in the settings.
    void AskSteps();
    int Steps() const { return m_steps; }

private:
    void OnProgress(int frames, int total);
    void OnCollected();
    void OnFused(const StackResult& result);
    void ShowProgress(const QString& text, int value, int maximum);
    void CloseProgress();
    void JoinWorker();

    CaptureSession& m_session;
    QWidget* m_window;
    QString m_caption;
    FocusSeriesCollector m_collector;
    QPointer<QProgressDialog> m_progress;
    std::thread m_worker;
    std::atomic<bool> m_cancel{false};
    bool m_fusing = false;
    int m_steps = kFocusStepsDefault; // read from the settings at start
};
