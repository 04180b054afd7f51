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
    testclips::ClipPlan plan;
    plan.codec = testclips::Codec::Raw;
    plan.width = w;
    plan.height = h;
    plan.frames = 1;
    plan.fps = 5;
    plan.colour = colour;
    return testclips::WriteClip(path, plan);
}

MessageScript::MessageScript(int answer)
{
    SetMessageResponder([this, answer](const QString& text, const QString& caption, unsigned shown) {
        texts << text;
        captions << caption;
        flags << shown;
        return answer;
    });
}

MessageScript::~MessageScript()
{
    SetMessageResponder(nullptr);
}

} // namespace filestest
