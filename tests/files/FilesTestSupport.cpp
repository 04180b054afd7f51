#include "files/FilesTestSupport.h"

#include "common/TestSupport.h"
#include "image/CxImage.h"
#include "platform/desktop/MessageBox.h"

#include <QImage>

extern "C" {
#include <libavformat/avformat.h>
}

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
    AVFormatContext* out = nullptr;
    if (avformat_alloc_output_context2(&out, nullptr, "avi", path.toUtf8().constData()) < 0) {
        return false;
    }
    AVStream* stream = avformat_new_stream(out, nullptr);
    stream->codecpar->codec_type = AVMEDIA_TYPE_VIDEO;
    stream->codecpar->codec_id = AV_CODEC_ID_RAWVIDEO;
    stream->codecpar->width = w;
    stream->codecpar->height = h;
    stream->codecpar->format = AV_PIX_FMT_BGR24;
    stream->codecpar->bits_per_coded_sample = 24;
    stream->time_base = AVRational{1, 5};
    bool ok = avio_open(&out->pb, path.toUtf8().constData(), AVIO_FLAG_WRITE) >= 0 &&
              avformat_write_header(out, nullptr) >= 0;
    if (ok) {
        QByteArray pixels;
        for (int i = 0; i < w * h; ++i) {
            pixels.append(char(colour.blue())).append(char(colour.green())).append(char(colour.red()));
        }
        AVPacket* packet = av_packet_alloc();
        packet->data = reinterpret_cast<uint8_t*>(pixels.data());
        packet->size = int(pixels.size());
        packet->stream_index = 0;
        packet->flags = AV_PKT_FLAG_KEY;
        packet->pts = packet->dts = 0;
        ok = av_interleaved_write_frame(out, packet) >= 0 && av_write_trailer(out) >= 0;
        packet->data = nullptr;
        av_packet_free(&packet);
    }
    avio_closep(&out->pb);
    avformat_free_context(out);
    return ok;
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
