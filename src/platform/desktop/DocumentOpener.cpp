#include "platform/desktop/DocumentOpener.h"

#include <QDesktopServices>
#include <QProcess>
#include <QStandardPaths>

namespace {
const char* const kOpenTool = "xdg-open";

DocumentResponder& Responder()
{
    static DocumentResponder responder;
    return responder;
}
} // namespace

void SetDocumentResponder(DocumentResponder responder)
{
    Responder() = std::move(responder);
}

void OpenDocument(const QUrl& url, QObject* context, std::function<void()> failed)
{
    if (Responder()) {
        if (!Responder()(url)) {
            failed();
        }
        return;
    }
    const QString tool = QStandardPaths::findExecutable(QString::fromLatin1(kOpenTool));
    if (tool.isEmpty()) {
        if (!QDesktopServices::openUrl(url)) {
            failed();
        }
        return;
    }
    // Without a parent: closing the window must not end the browser xdg-open may
    // be waiting for (a QProcess kills its process when destroyed).
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    process->setStandardInputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    QObject::connect(process, &QProcess::finished, context,
                     [failed](int exitCode, QProcess::ExitStatus status) {
                         if (status != QProcess::NormalExit || exitCode != 0) {
                             failed();
                         }
                     });
    QObject::connect(process, &QProcess::errorOccurred, context,
                     [process, failed](QProcess::ProcessError error) {
                         if (error == QProcess::FailedToStart) {
                             process->deleteLater();
                             failed();
                         }
                     });
    process->start(tool, {url.isLocalFile() ? url.toLocalFile() : url.toString()});
}
