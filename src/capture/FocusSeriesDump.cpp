#include "capture/FocusSeriesDump.h"

#include "capture/StillSaver.h"
#include "image/JpegCodec.h"

#include <QDir>
#include <QFile>

void DumpFocusSeriesIfAsked(const std::vector<QImage>& frames)
{
    const QString folder = qEnvironmentVariable("PELORA_FOCUS_SERIES_DIR");
    if (folder.isEmpty() || !QDir().mkpath(folder)) {
        return;
    }
    for (std::size_t i = 0; i < frames.size(); ++i) {
        QByteArray jpeg;
        QFile file(QDir(folder).filePath(QString("frame%1.jpg").arg(i, 2, 10, QChar('0'))));
        if (EncodeJpeg(frames[i], kStillJpegQuality, &jpeg) && file.open(QIODevice::WriteOnly)) {
            file.write(jpeg);
        }
    }
}
