#pragma once
// The small waiting window of an e-mail: it asks the user to wait while the
// picture or video is handed to the desktop's mail program, whose compose window
// then takes over. It never waits longer than its limit.
#include "platform/desktop/MessageBox.h"

#include <QDialog>
#include <QString>

class MailHandOff;
class QLabel;

inline constexpr int IDD_MAIL_SEND = 376;
inline constexpr int IDC_MAIL_WAITING = 1107;

class CMailSendDlg : public QDialog {
    Q_OBJECT
public:
    static constexpr int kDrawDelayMs = 50;    // lets the window appear before the hand-off
    static constexpr int kWaitLimitMs = 30000; // the mail program's start is not waited for longer

    CMailSendDlg(const QString& path, QWidget* parent = nullptr);
    ~CMailSendDlg() override;

    // Runs modally; IDCANCEL when it ended, IDOK never.
    int DoModal();
    void SetWaitLimit(int ms) { m_waitLimitMs = ms; }
    QLabel* WaitingText() const { return m_waiting; }

protected:
    void reject() override;

private:
    void Send();
    // Tells `text` (titled with the program's name) and closes.
    void TellAndClose(const QString& text, unsigned icon = MB_ICONWARNING);
    int WaitLimitSeconds() const;

    QString m_path;
    QLabel* m_waiting = nullptr;
    MailHandOff* m_handOff = nullptr;
    int m_waitLimitMs = kWaitLimitMs;
};
