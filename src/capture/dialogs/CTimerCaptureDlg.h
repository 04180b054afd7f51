#pragma once
// The time-lapse dialog: start time, interval and picture count, Start/Stop, the
// completed count and the size estimate. Its worker thread asks for the stills;
// the main window saves them as any other still. The dialog closes itself when
// the series is complete and never goes away before its worker has ended.
#include "capture/TimeLapseWorker.h"
#include "platform/text/TextLookup.h"

#include <QDialog>
#include <cstddef>
#include <functional>
#include <map>

class QLabel;
class QLineEdit;
class QPushButton;

// The live frame the size estimate is worked out from.
struct TimeLapseFrameInfo {
    std::size_t frameBytes = 0; // of the last live frame
    int deviceClass = 0;        // the microscope's sensor class
};

// What the dialog reaches outside itself: the capture session's still request and
// frame, and the clock (tests give their own).
struct TimeLapseSeams {
    TimeLapseClock* clock = nullptr;               // null: the machine's clock
    std::function<void()> requestStill;            // asks for the next still (origin 0)
    std::function<TimeLapseFrameInfo()> liveFrame; // unset: no estimate
};

class CTimerCaptureDlg : public QDialog {
    Q_OBJECT
public:
    // An edit and the numbers it takes.
    struct FieldRange {
        int id;
        int low;
        int high;
    };

    // `captureLabel` is the text of the picture-count group (the Capture menu's text).
    CTimerCaptureDlg(const TextKey& captureLabel, QWidget* parent = nullptr, TimeLapseSeams seams = {});
    ~CTimerCaptureDlg() override;

    // Runs modally; always IDCANCEL (the dialog has no OK).
    int DoModal();
    // Start/Stop (1015) and Cancel (2).
    void OnCommand(int id);

    QLineEdit* Edit(int id) const;
    QPushButton* StartButton() const { return m_start; }
    QLabel* CompletedText() const { return m_completed; }
    QLabel* SizeEstimateText() const { return m_estimate; }
    bool IsSeriesRunning() const { return m_worker.IsRunning(); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void BuildControls(const TextKey& captureLabel);
    void ShowStartTime();
    void UpdateEstimate();
    void OnStartStop();
    void OnStop();
    void OnStart();
    void OnCancel();
    // Reads an edit within its range; warns and focuses it when it does not hold one.
    bool ReadField(int id, int& value);
    bool ReadInRange(const FieldRange& range, int& value);
    bool ReadPlan(TimeLapsePlan& plan);
    TimeLapseCallbacks CallbacksForSeries();

    TimeLapseClock& m_clock;
    std::function<void()> m_requestStill;
    std::function<TimeLapseFrameInfo()> m_liveFrame;
    TimeLapseWorker m_worker;
    int m_series = 0;       // numbers the started series; late notices of older ones are dropped
    bool m_started = false; // the button reads Stop
    std::map<int, QLineEdit*> m_edits;
    QPushButton* m_start = nullptr;
    QLabel* m_completed = nullptr;
    QLabel* m_estimate = nullptr;
};
