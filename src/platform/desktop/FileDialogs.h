#pragma once
// Save-file dialogs through one service, so tests can answer them.
#include <QString>
#include <functional>

class QWidget;

struct SaveDialogRequest {
    QString initialName;      // file name proposed
    QString folder;           // folder shown first (may be empty)
    QString defaultExtension; // ".bmp", ".avi" ... added when the user typed none
    QString filter;           // "Bitmap Files(*.bmp)|*.bmp|JPEG Files(*.jpg)|*.jpg||"
    bool confirmOverwrite = true;
    bool chooseFolder = false; // a folder is chosen, not a file name (the result is the folder)
};

// The chosen path, or an empty string when the user cancelled.
QString AskSaveFileName(QWidget* owner, const SaveDialogRequest& request);

// Converts a "text|pattern|text|pattern||" filter into the dialog's form.
QString DialogFilterFromPairs(const QString& pairs);

// Test hook: while set, AskSaveFileName calls it instead of showing a dialog.
using SaveDialogResponder = std::function<QString(const SaveDialogRequest& request)>;
void SetSaveDialogResponder(SaveDialogResponder responder);
