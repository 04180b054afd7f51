#include "files/FilesTestSupport.h"

#include "common/TestClips.h"
#include "common/TestSupport.h"
#include "image/CxImage.h"
#include "platform/desktop/MessageBox.h"

#include <QImage>

namespace filestest {

bool WritePicture(const QString& path, QColor colour, int w, int h)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    CxImage cx;
    cx.CreateFromBitmap(image);
    cx.SetJpegQuality(90);
    return cx.Save(path, path.endsWith("jpg", Qt::CaseInsensitive) ? CXIMAGE_FORMAT_JPG : CXIMAGE_FORMAT_BMP);
}

bool WriteVideo(const QString& path, QColor colour, int w, int h)
{
    testclips::ClipSpec spec;
    spec.codec = testclips::Codec::Raw;
    spec.width = w;
    spec.height = h;
    spec.frames = 1;
    spec.fps = 5;
    spec.colour = colour;
    return testclips::WriteClip(path, spec);
}

MessageScript::MessageScript(int answer)
{
    SetMessageResponder([this, answer](const QString& text, const QString& caption, unsigned) {
        texts << text;
        captions << caption;
        return answer;
    });
}

MessageScript::~MessageScript()
{
    SetMessageResponder(nullptr);
}

} // namespace filestest
