#include "platform/desktop/FileDialogs.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {
SaveDialogResponder& Responder()
{
    static SaveDialogResponder responder;
    return responder;
}
void PrepareForFileName(QFileDialog& dialog, const SaveDialogRequest& request)
{
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(DialogFilterFromPairs(request.filter));
    dialog.selectFile(request.initialName);
    dialog.setDefaultSuffix(request.defaultExtension.mid(request.defaultExtension.startsWith('.') ? 1 : 0));
    if (!request.confirmOverwrite) {
        dialog.setOption(QFileDialog::DontConfirmOverwrite);
    }
}
} // namespace

void SetSaveDialogResponder(SaveDialogResponder responder)
{
    Responder() = std::move(responder);
}

QString DialogFilterFromPairs(const QString& pairs)
{
    const QStringList parts = pairs.split('|', Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        const QString pattern = parts[i + 1];
        // The descriptions already end in their pattern, e.g. "AVI Files(*.AVI)".
        filters << (parts[i].endsWith(')') ? parts[i] : parts[i] + " (" + pattern + ")");
    }
    return filters.join(";;");
}

QString AskSaveFileName(QWidget* owner, const SaveDialogRequest& request)
{
    QString chosen;
    if (Responder()) {
        chosen = Responder()(request);
    } else {
        QFileDialog dialog(owner);
        if (!request.folder.isEmpty()) {
            dialog.setDirectory(request.folder);
        }
        if (request.chooseFolder) {
            dialog.setFileMode(QFileDialog::Directory);
            dialog.setOption(QFileDialog::ShowDirsOnly);
        } else {
            PrepareForFileName(dialog, request);
        }
        if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
            chosen = dialog.selectedFiles().first();
        }
    }
    if (request.chooseFolder) {
        return chosen;
    }
    if (chosen.isEmpty() || request.defaultExtension.isEmpty() || !QFileInfo(chosen).suffix().isEmpty()) {
        return chosen;
    }
    return chosen + request.defaultExtension;
}
