#include "app/StackCommandLine.h"

#include "image/stack/FocusStack.h"

#include <QFileInfo>
#include <QImageWriter>
#include <QTextStream>

namespace {
constexpr int kExitStacked = 0;
constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;
constexpr int kJpegQuality = 95;

QString Describe(const StackResult& result, const QStringList& inputs, const QString& output)
{
    const QString frame =
        result.frame >= 0 && result.frame < inputs.size() ? inputs[result.frame] : QString();
    switch (result.status) {
    case StackStatus::Ok:
        return QString("stacked %1 frames into %2").arg(inputs.size()).arg(output);
    case StackStatus::TooFewFrames:
        return QString("a focus stack needs at least %1 frames").arg(kMinStackFrames);
    case StackStatus::TooManyFrames:
        return QString("a focus stack takes at most %1 frames").arg(kMaxStackFrames);
    case StackStatus::Unreadable:
        return QString("cannot read %1 as a picture").arg(frame);
    case StackStatus::SizeMismatch:
        return QString("%1 is not the same size as %2").arg(frame, inputs.first());
    case StackStatus::TooSmall:
        return QString("the frames are too small to align");
    case StackStatus::Canceled:
        return QString("stopped");
    case StackStatus::NotWritten:
        return QString("cannot write %1").arg(output);
    }
    return {};
}
} // namespace

int RunStackCommand(const QStringList& arguments)
{
    QTextStream err(stderr);
    const qsizetype at = arguments.indexOf(QString::fromLatin1(kStackOption));
    const QStringList rest = at >= 0 ? arguments.mid(at + 1) : QStringList();
    if (rest.isEmpty()) {
        err << "usage: pelora --stack OUT.jpg IN1 IN2 ...\n";
        return kExitUsage;
    }
    const QString output = rest.first();
    const QStringList inputs = rest.mid(1);
    const QByteArray suffix = QFileInfo(output).suffix().toLower().toLatin1();
    if (!QImageWriter::supportedImageFormats().contains(suffix)) {
        err << "pelora: " << output << ": give the result a picture suffix (.jpg, .png, .bmp)\n";
        return kExitUsage;
    }
    const StackResult result = FocusStackToFile(inputs, output, kJpegQuality);
    const QString text = Describe(result, inputs, output);
    if (result.status != StackStatus::Ok) {
        err << "pelora: " << text << "; nothing written\n";
        return kExitRefused;
    }
    QTextStream(stdout) << text << '\n';
    return kExitStacked;
}
