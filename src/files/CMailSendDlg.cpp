#include "files/CMailSendDlg.h"

#include "files/FilesTexts.h"
#include "files/MailAttachment.h"
#include "platform/desktop/MailHandOff.h"
#include "platform/desktop/MessageBox.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QTimer>

namespace {
// The platform's fixed texts of a failed conversion.
const char* const kNotLoaded = "imageEmail Create fail";
const char* const kNotCompressed = "Compress fail";
// 222 x 19 dialog units.
constexpr QSize kWindowSize(333, 31);
} // namespace

CMailSendDlg::CMailSendDlg(const QString& path, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_path(path)
{
    setObjectName(QString::number(IDD_MAIL_SEND));
    m_waiting = new QLabel(this);
    m_waiting->setObjectName(QString::number(IDC_MAIL_WAITING));
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(m_waiting);
    setFixedSize(kWindowSize);
    m_handOff = new MailHandOff(this);
}

CMailSendDlg::~CMailSendDlg() = default;

int CMailSendDlg::DoModal()
{
    if (MailHandOff::ToolPath().isEmpty()) {
        ShowMessage(parentWidget(), LoadText(txt::MailLoadFailed), LoadText(txt::MsgTitle),
                    MB_OK | MB_ICONERROR);
        return IDCANCEL;
    }
    m_waiting->setText(LoadText(txt::StartOutlook));
    QTimer::singleShot(kDrawDelayMs, this, &CMailSendDlg::Send);
    exec();
    return IDCANCEL;
}

void CMailSendDlg::Send()
{
    if (!isVisible()) { // closed before the hand-off began
        return;
    }
    QString attachment;
    switch (PrepareMailAttachment(m_path, &attachment)) {
    case AttachmentStatus::NotLoaded:
        TellAndClose(QString::fromLatin1(kNotLoaded));
        return;
    case AttachmentStatus::NotCompressed:
        TellAndClose(QString::fromLatin1(kNotCompressed));
        return;
    case AttachmentStatus::Ready:
        break;
    }
    const bool started = m_handOff->Start(attachment, m_waitLimitMs, [this](MailHandOff::Result result) {
        switch (result) {
        case MailHandOff::Result::Taken:
            TellAndClose(LoadText(txt::MailHandedOver), MB_ICONINFORMATION);
            break;
        case MailHandOff::Result::Refused:
            TellAndClose(LoadText(txt::MailSendFailed));
            break;
        case MailHandOff::Result::StillBusy: // the mail program goes on on its own
            TellAndClose(LoadText(txt::MailNoAnswer).arg(WaitLimitSeconds()), MB_ICONINFORMATION);
            break;
        case MailHandOff::Result::Abandoned: // the window is closing already
            break;
        }
    });
    if (!started) { // xdg-email went away since the window opened
        TellAndClose(LoadText(txt::MailLoadFailed));
    }
}

int CMailSendDlg::WaitLimitSeconds() const
{
    constexpr int kMsPerSecond = 1000;
    return (m_waitLimitMs + kMsPerSecond - 1) / kMsPerSecond;
}

void CMailSendDlg::TellAndClose(const QString& text, unsigned icon)
{
    ShowMessage(this, text, LoadText(txt::MsgTitle), MB_OK | icon);
    QDialog::reject();
}

void CMailSendDlg::reject()
{
    // Escape: stop waiting without a word; the mail program goes on.
    m_handOff->Abandon();
    QDialog::reject();
}
