#pragma once
// The file dialogs of the photo window, through one service so tests can answer them.
#include <QString>
#include <functional>

class QWidget;

struct PhotoFileRequest {
    bool save = false;        // save dialog (else open)
    QString initialName;      // file name or path proposed
    QString defaultExtension; // "bmp": added when the user typed none
    QString filter;           // "BMP Files(*.BMP)|*.BMP|JPG Files(*.JPG)|*.JPG||"
    QString folder;           // shown first (may be empty)
    QString selectedFilter;   // the pair of `filter` chosen at start, "JPG Files(*.JPG)|*.JPG" (may be empty)
};

// The chosen path, or "" when the user cancelled.
QString AskPhotoFileName(QWidget* owner, const PhotoFileRequest& request);

// Test hook: while set, AskPhotoFileName calls it instead of showing a dialog.
using PhotoFileResponder = std::function<QString(const PhotoFileRequest& request)>;
void SetPhotoFileResponder(PhotoFileResponder responder);
