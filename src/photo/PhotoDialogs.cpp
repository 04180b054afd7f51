#include "photo/PhotoDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

namespace {

PhotoFileResponder& Responder()
{
    static PhotoFileResponder responder;
    return responder;
}

// "text|pattern|text|pattern||" into the dialog's "text (pattern)" filters.
QStringList DialogFilters(const QString& pairs)
{
    const QStringList parts = pairs.split(QLatin1Char('|'), Qt::SkipEmptyParts);
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString text = parts[i];
        const qsizetype open = text.indexOf(QLatin1Char('('));
        if (open >= 0) {
            text.truncate(open);
        }
        filters << QStringLiteral("%1 (%2)").arg(text.trimmed(), parts[i + 1]);
    }
    return filters;
}

} // namespace

void SetPhotoFileResponder(PhotoFileResponder responder)
{
    Responder() = std::move(responder);
}

QString AskPhotoFileName(QWidget* owner, const PhotoFileRequest& request)
{
    if (Responder()) {
        return Responder()(request);
    }
    // The current directory is the process's, and stays as it was.
    const QString current = QDir::currentPath();
    QFileDialog dialog(owner);
    dialog.setAcceptMode(request.save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(request.save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilters(DialogFilters(request.filter));
    if (!request.selectedFilter.isEmpty()) {
        dialog.selectNameFilter(DialogFilters(request.selectedFilter).value(0));
    }
    dialog.setDefaultSuffix(request.defaultExtension);
    dialog.setOption(QFileDialog::DontUseNativeDialog, true);
    if (!request.folder.isEmpty()) {
        dialog.setDirectory(request.folder);
    }
    if (!request.initialName.isEmpty()) {
        dialog.selectFile(request.initialName);
    }
    QString chosen;
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty()) {
        chosen = dialog.selectedFiles().first();
    }
    QDir::setCurrent(current);
    return chosen;
}
