#include "platform/desktop/MailHandOff.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>

namespace {
const char* const kMailTool = "xdg-email";
const char* const kAttachOption = "--attach";
} // namespace

MailHandOff::MailHandOff(QObject* parent) : QObject(parent) {}

MailHandOff::~MailHandOff()
{
    Release();
}

QString MailHandOff::ToolPath()
{
    return QStandardPaths::findExecutable(QString::fromLatin1(kMailTool));
}

bool MailHandOff::Start(const QString& attachment, int waitMs, Done done)
{
    const QString tool = ToolPath();
    if (tool.isEmpty()) {
        return false;
    }
    Release();
    m_done = std::move(done);
    // The process object has no parent: nothing that deletes us may kill the mail
    // program (a QProcess kills its process when destroyed).
    m_process = new QProcess;
    m_process->setProcessChannelMode(QProcess::ForwardedChannels);
    m_process->setStandardInputFile(QProcess::nullDevice());
    connect(m_process, &QProcess::finished, this, [this](int exitCode, QProcess::ExitStatus status) {
        Finish(status == QProcess::NormalExit && exitCode == 0 ? Result::Taken : Result::Refused);
    });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart) {
            Finish(Result::Refused);
        }
    });
    m_wait = new QTimer(this);
    m_wait->setSingleShot(true);
    connect(m_wait, &QTimer::timeout, this, [this] { Finish(Result::StillBusy); });
    m_wait->start(waitMs);
    // An absolute path never reads as an option of the tool.
    m_process->start(tool, {QString::fromLatin1(kAttachOption), QFileInfo(attachment).absoluteFilePath()});
    return true;
}

void MailHandOff::Abandon()
{
    Finish(Result::Abandoned);
}

void MailHandOff::Finish(Result result)
{
    Done done = std::move(m_done);
    m_done = nullptr;
    Release();
    if (done) {
        done(result);
    }
}

void MailHandOff::Release()
{
    if (m_wait != nullptr) {
        m_wait->stop();
        m_wait->deleteLater();
        m_wait = nullptr;
    }
    if (m_process == nullptr) {
        return;
    }
    QProcess* process = m_process;
    m_process = nullptr;
    process->disconnect(this);
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
    } else {
        QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    }
}
