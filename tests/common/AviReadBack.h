#pragma once
// Reads a recording back with the codec library, as a player would: the stream's
// header values and every frame decoded in order.
extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

#include <QFile>
#include <QImage>
#include <QString>
#include <algorithm>
#include <cstdint>

struct AviReadBack {
    bool opened = false;
    std::int64_t headerFrames = 0; // the stream header's length
    int rate = 0;                  // frames per second of the stream header
    std::uint32_t codecTag = 0;
    int decoded = 0;           // pictures decoded
    std::int64_t timeline = 0; // frames the stream shows (last frame's time + 1)
    QImage first;              // the first frame, top-down
};

inline AviReadBack ReadAvi(const QString& path)
{
    AviReadBack result;
    AVFormatContext* format = nullptr;
    if (avformat_open_input(&format, QFile::encodeName(path).constData(), nullptr, nullptr) < 0) {
        return result;
    }
    avformat_find_stream_info(format, nullptr);
    const int index = av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (index < 0) {
        avformat_close_input(&format);
        return result;
    }
    AVStream* stream = format->streams[index];
    result.opened = true;
    result.headerFrames = stream->nb_frames;
    result.rate = stream->avg_frame_rate.den ? stream->avg_frame_rate.num / stream->avg_frame_rate.den : 0;
    result.codecTag = stream->codecpar->codec_tag;
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    AVCodecContext* codec = avcodec_alloc_context3(decoder);
    avcodec_parameters_to_context(codec, stream->codecpar);
    if (decoder == nullptr || avcodec_open2(codec, decoder, nullptr) < 0) {
        avcodec_free_context(&codec);
        avformat_close_input(&format);
        return result;
    }
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto take = [&] {
        while (avcodec_receive_frame(codec, frame) == 0) {
            if (result.decoded == 0) {
                QImage image(frame->width, frame->height, QImage::Format_RGB888);
                SwsContext* sws =
                    sws_getContext(frame->width, frame->height, AVPixelFormat(frame->format), frame->width,
                                   frame->height, AV_PIX_FMT_RGB24, SWS_POINT, nullptr, nullptr, nullptr);
                std::uint8_t* planes[1] = {image.bits()};
                const int strides[1] = {int(image.bytesPerLine())};
                sws_scale(sws, frame->data, frame->linesize, 0, frame->height, planes, strides);
                sws_freeContext(sws);
                result.first = image;
            }
            ++result.decoded;
        }
    };
    while (av_read_frame(format, packet) >= 0) {
        if (packet->stream_index == index) {
            if (packet->pts != AV_NOPTS_VALUE) {
                result.timeline = std::max<std::int64_t>(result.timeline, packet->pts + 1);
            }
            if (avcodec_send_packet(codec, packet) == 0) {
                take();
            }
        }
        av_packet_unref(packet);
    }
    avcodec_send_packet(codec, nullptr);
    take();
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
    avformat_close_input(&format);
    return result;
}
