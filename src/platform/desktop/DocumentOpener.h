#pragma once
// Opens a file or an address with the desktop's program for it (xdg-open), and
// tells when no program could: xdg-open itself starts fine on a desktop without a
// browser, so only its exit says whether anything opened.
#include <QUrl>
#include <functional>

class QObject;

// `failed` runs on this thread, at once or when xdg-open has ended, and only while
// `context` lives.
void OpenDocument(const QUrl& url, QObject* context, std::function<void()> failed);

// Test hook: while set, OpenDocument asks it instead; false means nothing opened.
using DocumentResponder = std::function<bool(const QUrl& url)>;
void SetDocumentResponder(DocumentResponder responder);
