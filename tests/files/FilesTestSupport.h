#pragma once
// Pictures, videos and scripted answers for the strip's tests.
#include <QColor>
#include <QString>
#include <QStringList>

namespace filestest {

// Writes a w x h picture of one colour as JPEG or BMP (by the name's extension).
bool WritePicture(const QString& path, QColor colour, int w = 64, int h = 48);
// Writes a one-frame uncompressed AVI of one colour.
bool WriteVideo(const QString& path, QColor colour, int w = 32, int h = 24);

// Scripts every message box: answers `answer` and records the texts shown.
class MessageScript {
public:
    explicit MessageScript(int answer);
    ~MessageScript();
    QStringList texts;
    QStringList captions;
    QList<unsigned> flags;
};

} // namespace filestest
