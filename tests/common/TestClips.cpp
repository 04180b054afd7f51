#include "common/TestClips.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <cmath>
#include <memory>

namespace testclips {

namespace {

// Colour steps wide enough to survive MS Video 1's 15-bit colours and JPEG.
constexpr int kLevels = 6;
constexpr int kBase = 30;
constexpr int kStep = 40;

struct Encoding {
    AVCodecID id;
    AVPixelFormat format;
};

Encoding EncodingOf(Codec codec)
{
    switch (codec) {
    case Codec::Mjpeg:
        return {AV_CODEC_ID_MJPEG, AV_PIX_FMT_YUVJ420P};
    case Codec::MsVideo1:
        return {AV_CODEC_ID_MSVIDEO1, AV_PIX_FMT_RGB555LE};
    case Codec::Raw:
        break;
    }
    return {AV_CODEC_ID_RAWVIDEO, AV_PIX_FMT_BGR24};
}

struct Writer {
    AVFormatContext* out = nullptr;
    AVCodecContext* codec = nullptr;
    AVStream* stream = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* sws = nullptr;

    ~Writer()
    {
        sws_freeContext(sws);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        if (out) {
            avio_closep(&out->pb);
            avformat_free_context(out);
        }
    }

    bool Open(const QString& path, const ClipPlan& plan)
    {
        const Encoding encoding = EncodingOf(plan.codec);
        const AVCodec* encoder = avcodec_find_encoder(encoding.id);
        if (!encoder || avformat_alloc_output_context2(&out, nullptr, "avi", path.toUtf8().constData()) < 0) {
            return false;
        }
        codec = avcodec_alloc_context3(encoder);
        stream = avformat_new_stream(out, nullptr);
        frame = av_frame_alloc();
        packet = av_packet_alloc();
        if (!codec || !stream || !frame || !packet) {
            return false;
        }
        codec->width = plan.width;
        codec->height = plan.height;
        codec->pix_fmt = encoding.format;
        codec->time_base = AVRational{1, plan.fps};
        codec->gop_size = plan.keyInterval;
        codec->color_range = AVCOL_RANGE_JPEG;
        frame->format = encoding.format;
        frame->width = plan.width;
        frame->height = plan.height;
        sws = sws_getContext(plan.width, plan.height, AV_PIX_FMT_BGR24, plan.width, plan.height,
                             encoding.format, SWS_POINT, nullptr, nullptr, nullptr);
        if (avcodec_open2(codec, encoder, nullptr) < 0 || av_frame_get_buffer(frame, 0) < 0 || !sws ||
            avcodec_parameters_from_context(stream->codecpar, codec) < 0) {
            return false;
        }
        stream->time_base = codec->time_base;
        return avio_open(&out->pb, path.toUtf8().constData(), AVIO_FLAG_WRITE) >= 0 &&
               avformat_write_header(out, nullptr) >= 0;
    }

    bool Fill(QColor colour, int64_t pts)
    {
        if (av_frame_make_writable(frame) < 0) {
            return false;
        }
        QByteArray bgr;
        for (int i = 0; i < frame->width * frame->height; ++i) {
            bgr.append(char(colour.blue())).append(char(colour.green())).append(char(colour.red()));
        }
        const uint8_t* src[4] = {reinterpret_cast<const uint8_t*>(bgr.constData()), nullptr, nullptr,
                                 nullptr};
        const int srcStride[4] = {frame->width * 3, 0, 0, 0};
        sws_scale(sws, src, srcStride, 0, frame->height, frame->data, frame->linesize);
        frame->pts = pts;
        return true;
    }

    // Sends a picture (or the end, for null) and writes what the encoder gives.
    bool Encode(AVFrame* picture)
    {
        if (avcodec_send_frame(codec, picture) < 0) {
            return false;
        }
        for (;;) {
            const int got = avcodec_receive_packet(codec, packet);
            if (got == AVERROR(EAGAIN) || got == AVERROR_EOF) {
                return true;
            }
            if (got < 0) {
                return false;
            }
            av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            if (av_interleaved_write_frame(out, packet) < 0) {
                return false;
            }
        }
    }
};

} // namespace

QColor ColourOf(int index)
{
    return QColor(kBase + kStep * (index % kLevels), kBase + kStep * (index / kLevels % kLevels),
                  kBase + kStep * (index / (kLevels * kLevels) % kLevels));
}

int IndexOf(QRgb colour)
{
    int index = 0;
    int scale = 1;
    for (const int channel : {qRed(colour), qGreen(colour), qBlue(colour)}) {
        const double level = double(channel - kBase) / kStep;
        const int rounded = int(std::lround(level));
        if (std::abs(level - rounded) > 0.3 || rounded < 0 || rounded >= kLevels) {
            return -1;
        }
        index += rounded * scale;
        scale *= kLevels;
    }
    return index;
}

bool WriteClip(const QString& path, const ClipPlan& plan)
{
    Writer writer;
    if (!writer.Open(path, plan)) {
        return false;
    }
    for (int i = 0; i < plan.frames; ++i) {
        if (!writer.Fill(plan.colour.value_or(ColourOf(i)), i) || !writer.Encode(writer.frame)) {
            return false;
        }
    }
    return writer.Encode(nullptr) && av_write_trailer(writer.out) >= 0;
}

} // namespace testclips
