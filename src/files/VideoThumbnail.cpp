#include "files/VideoThumbnail.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libswscale/swscale.h>
}

#include "files/MediaFileInput.h"

#include <memory>

namespace {

// Reading stops after this many packets without a picture: a broken file must not
// keep the strip busy.
constexpr int kMaxPackets = 256;

struct CodecFreer {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};

QImage ToImage(const AVFrame* frame)
{
    if (frame->width <= 0 || frame->height <= 0) {
        return {};
    }
    QImage image(frame->width, frame->height, QImage::Format_RGB32);
    if (image.isNull()) {
        return {};
    }
    SwsContext* sws = sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                     frame->height, AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!sws) {
        return {};
    }
    uint8_t* dst[4] = {image.bits(), nullptr, nullptr, nullptr};
    int dstStride[4] = {int(image.bytesPerLine()), 0, 0, 0};
    const int rows = sws_scale(sws, frame->data, frame->linesize, 0, frame->height, dst, dstStride);
    sws_freeContext(sws);
    return rows > 0 ? image : QImage();
}

// Feeds packets of the stream to the decoder until it gives a frame.
QImage DecodeFirst(AVFormatContext* format, AVCodecContext* codec, int stream)
{
    std::unique_ptr<AVPacket, PacketFreer> packet(av_packet_alloc());
    std::unique_ptr<AVFrame, FrameFreer> frame(av_frame_alloc());
    if (!packet || !frame) {
        return {};
    }
    for (int n = 0; n < kMaxPackets; ++n) {
        const bool atEnd = av_read_frame(format, packet.get()) < 0;
        if (atEnd) {
            avcodec_send_packet(codec, nullptr);
        } else if (packet->stream_index != stream) {
            av_packet_unref(packet.get());
            continue;
        } else {
            const int sent = avcodec_send_packet(codec, packet.get());
            av_packet_unref(packet.get());
            if (sent < 0 && sent != AVERROR(EAGAIN)) {
                continue;
            }
        }
        if (avcodec_receive_frame(codec, frame.get()) == 0) {
            return ToImage(frame.get());
        }
        if (atEnd) {
            break;
        }
    }
    return {};
}

} // namespace

QImage DecodeFirstVideoFrame(const QString& path)
{
    const MediaFileInput input(path);
    AVFormatContext* format = input.Format();
    if (!format || avformat_find_stream_info(format, nullptr) < 0) {
        return {};
    }
    int stream = -1;
    for (unsigned i = 0; i < format->nb_streams && stream < 0; ++i) {
        if (format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            stream = int(i);
        }
    }
    if (stream < 0) {
        return {};
    }
    const AVCodec* decoder = avcodec_find_decoder(format->streams[stream]->codecpar->codec_id);
    if (!decoder) {
        return {};
    }
    std::unique_ptr<AVCodecContext, CodecFreer> codec(avcodec_alloc_context3(decoder));
    if (!codec || avcodec_parameters_to_context(codec.get(), format->streams[stream]->codecpar) < 0 ||
        avcodec_open2(codec.get(), decoder, nullptr) < 0) {
        return {};
    }
    return DecodeFirst(format, codec.get(), stream);
}
