#pragma once
// Hands one file to the desktop's mail program, which opens its compose window
// with the file attached: "xdg-email --attach FILE", started directly (no shell),
// so any file name arrives as it is.
#include <QObject>
#include <QString>
#include <functional>

class QProcess;
class QTimer;

class MailHandOff : public QObject {
public:
    enum class Result {
        Taken,     // the mail program took the file
        Refused,   // it could not be started or reported a failure
        StillBusy, // it had not finished within the wait; it goes on on its own
        Abandoned, // the wait was given up (the user cancelled)
    };
    using Done = std::function<void(Result)>;

    explicit MailHandOff(QObject* parent = nullptr);
    // The mail program is never killed: one still running is left to finish.
    ~MailHandOff() override;

    // Full path of xdg-email on the PATH; empty when it is not installed.
    static QString ToolPath();

    // Starts the hand-off; `done` runs once, on this thread, when the tool ends or
    // after `waitMs`. False (and `done` never runs) when xdg-email is missing.
    bool Start(const QString& attachment, int waitMs, Done done);
    // Stops waiting; `done` runs with Abandoned.
    void Abandon();

private:
    void Finish(Result result);
    void Release();

    QProcess* m_process = nullptr;
    QTimer* m_wait = nullptr;
    Done m_done;
};
