#include "platform/media/ClipReader.h"

#include "platform/media/MediaFileInput.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <deque>

namespace {

// Reading gives up after this many packets without a picture: a broken file must
// not keep anybody busy.
constexpr int kMaxPacketsWithoutPicture = 256;
// A seek decodes forward from the key picture before the target; a file whose
// key pictures lie further apart than this shows the last one reached.
constexpr int kMaxFramesPerSeek = 600;
// Pictures larger than this on either side are refused: the largest sensor gives
// 2592 x 1944, and a damaged header must not make us allocate gigabytes.
constexpr int kMaxSide = 8192;
// Clip lengths beyond this are a damaged header, not a recording.
constexpr double kMaxClipSeconds = 30.0 * 24 * 3600;
// Pictures starting this close after a seek target count as starting at it.
constexpr double kSeekSlackSeconds = 1e-6;
// The scaler writes whole blocks of pixels, past the end of a row when the width
// is not a multiple of the block (32 bytes past an 8-pixel row): each row, and
// the last one too, gets room for that.
constexpr qsizetype kRowAlignBytes = 64;
constexpr qsizetype kTailBytes = 256;

struct CodecFreer {
    void operator()(AVCodecContext* c) const { avcodec_free_context(&c); }
};
struct FrameFreer {
    void operator()(AVFrame* f) const { av_frame_free(&f); }
};
struct PacketFreer {
    void operator()(AVPacket* p) const { av_packet_free(&p); }
};
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;

bool IsValidRate(AVRational r)
{
    return r.num > 0 && r.den > 0;
}

// A sane, finite length in seconds, or 0.
double Sane(double seconds)
{
    return std::isfinite(seconds) && seconds > 0 ? std::min(seconds, kMaxClipSeconds) : 0.0;
}

// A 32-bit picture whose rows leave the scaler room to overrun.
QImage NewPaddedImage(int width, int height)
{
    const qsizetype stride = (qsizetype(width) * 4 + kRowAlignBytes - 1) / kRowAlignBytes * kRowAlignBytes;
    auto* bits = static_cast<uchar*>(av_malloc(size_t(stride * height + kTailBytes)));
    if (!bits) {
        return {};
    }
    return QImage(
        bits, width, height, stride, QImage::Format_RGB32, [](void* p) { av_free(p); }, bits);
}

// A decoded picture and where it starts.
struct Decoded {
    FramePtr frame;
    double seconds = 0;
};

} // namespace

struct ClipReader::State {
    std::unique_ptr<MediaFileInput> input;
    AVFormatContext* format = nullptr; // owned by `input`
    AVStream* stream = nullptr;
    std::unique_ptr<AVCodecContext, CodecFreer> codec;
    std::unique_ptr<AVPacket, PacketFreer> packet;
    SwsContext* sws = nullptr;
    // Pictures decoded ahead (by a seek) and not yet given out.
    std::deque<Decoded> pending;
    bool drained = false; // the file ended and the decoder was told so
    double lastSeconds = -1;
    std::function<bool()> interrupted;

    ~State() { sws_freeContext(sws); }

    bool OpenStream(const QString& path);
    bool DecodeNext(Decoded& out);
    double SecondsOf(const AVFrame& frame) const;
    QImage Convert(const AVFrame& frame);
};

bool ClipReader::State::OpenStream(const QString& path)
{
    input = std::make_unique<MediaFileInput>(path);
    format = input->Format();
    if (!format || avformat_find_stream_info(format, nullptr) < 0) {
        return false;
    }
    for (unsigned i = 0; i < format->nb_streams && !stream; ++i) {
        if (format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            stream = format->streams[i];
        }
    }
    if (!stream || !IsValidRate(stream->time_base)) {
        return false;
    }
    const AVCodec* decoder = avcodec_find_decoder(stream->codecpar->codec_id);
    if (!decoder) {
        return false;
    }
    codec.reset(avcodec_alloc_context3(decoder));
    packet.reset(av_packet_alloc());
    if (!codec || !packet || avcodec_parameters_to_context(codec.get(), stream->codecpar) < 0) {
        return false;
    }
    codec->max_pixels = int64_t(kMaxSide) * kMaxSide;
    return avcodec_open2(codec.get(), decoder, nullptr) == 0;
}

double ClipReader::State::SecondsOf(const AVFrame& frame) const
{
    int64_t ts = frame.best_effort_timestamp;
    if (ts == AV_NOPTS_VALUE) {
        ts = frame.pts;
    }
    if (ts == AV_NOPTS_VALUE) {
        // No time stamp: right after the picture before.
        const double step = stream->avg_frame_rate.num > 0 ? av_q2d(av_inv_q(stream->avg_frame_rate)) : 0.0;
        return lastSeconds < 0 ? 0.0 : lastSeconds + Sane(step);
    }
    const int64_t start = stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
    const double seconds = double(ts - start) * av_q2d(stream->time_base);
    return std::isfinite(seconds) ? seconds : 0.0;
}

// Feeds packets of the stream to the decoder until it gives a picture.
bool ClipReader::State::DecodeNext(Decoded& out)
{
    FramePtr frame(av_frame_alloc());
    if (!frame) {
        return false;
    }
    for (int packets = 0; packets <= kMaxPacketsWithoutPicture;) {
        const int received = avcodec_receive_frame(codec.get(), frame.get());
        if (received == 0) {
            out.seconds = SecondsOf(*frame);
            lastSeconds = out.seconds;
            out.frame = std::move(frame);
            return true;
        }
        // The end, or an error after the end: nothing more will come.
        if (received == AVERROR_EOF || drained) {
            return false;
        }
        // Any other error is one broken picture: read on.
        if (interrupted && interrupted()) {
            return false;
        }
        ++packets;
        if (av_read_frame(format, packet.get()) < 0) {
            avcodec_send_packet(codec.get(), nullptr);
            drained = true;
            continue;
        }
        if (packet->stream_index == stream->index) {
            avcodec_send_packet(codec.get(), packet.get());
        }
        av_packet_unref(packet.get());
    }
    return false;
}

QImage ClipReader::State::Convert(const AVFrame& frame)
{
    const auto pixelFormat = AVPixelFormat(frame.format);
    if (frame.width <= 0 || frame.height <= 0 || frame.width > kMaxSide || frame.height > kMaxSide ||
        !av_pix_fmt_desc_get(pixelFormat)) {
        return {};
    }
    QImage image = NewPaddedImage(frame.width, frame.height);
    if (image.isNull()) {
        return {};
    }
    sws = sws_getCachedContext(sws, frame.width, frame.height, pixelFormat, frame.width, frame.height,
                               AV_PIX_FMT_BGRA, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!sws) {
        return {};
    }
    uint8_t* dst[4] = {image.bits(), nullptr, nullptr, nullptr};
    int dstStride[4] = {int(image.bytesPerLine()), 0, 0, 0};
    const int rows = sws_scale(sws, frame.data, frame.linesize, 0, frame.height, dst, dstStride);
    return rows > 0 ? image : QImage();
}

ClipReader::ClipReader() = default;
ClipReader::~ClipReader() = default;

bool ClipReader::Open(const QString& path)
{
    m.reset();
    auto state = std::make_unique<State>();
    if (!state->OpenStream(path)) {
        return false;
    }
    m = std::move(state);
    return true;
}

bool ClipReader::IsOpen() const
{
    return m != nullptr;
}

void ClipReader::SetInterrupt(std::function<bool()> interrupted)
{
    if (m) {
        m->interrupted = std::move(interrupted);
    }
}

double ClipReader::Duration() const
{
    if (!m) {
        return 0;
    }
    const AVStream& stream = *m->stream;
    if (stream.duration > 0 && stream.duration != AV_NOPTS_VALUE) {
        return Sane(double(stream.duration) * av_q2d(stream.time_base));
    }
    if (m->format->duration > 0 && m->format->duration != AV_NOPTS_VALUE) {
        return Sane(double(m->format->duration) / AV_TIME_BASE);
    }
    return 0;
}

double ClipReader::FrameSeconds() const
{
    if (!m) {
        return 0;
    }
    for (const AVRational rate : {m->stream->avg_frame_rate, m->stream->r_frame_rate}) {
        if (IsValidRate(rate)) {
            return Sane(av_q2d(av_inv_q(rate)));
        }
    }
    return 0;
}

bool ClipReader::ReadFrame(ClipFrame& out)
{
    if (!m) {
        return false;
    }
    Decoded next;
    if (!m->pending.empty()) {
        next = std::move(m->pending.front());
        m->pending.pop_front();
    } else if (!m->DecodeNext(next)) {
        return false;
    }
    out.image = m->Convert(*next.frame);
    out.seconds = next.seconds;
    return !out.image.isNull();
}

bool ClipReader::Seek(double seconds)
{
    if (!m) {
        return false;
    }
    const double target = std::isfinite(seconds) ? std::clamp(seconds, 0.0, kMaxClipSeconds) : 0.0;
    const int64_t start = m->stream->start_time == AV_NOPTS_VALUE ? 0 : m->stream->start_time;
    // The time stamp of the picture shown at the target, not the one after it.
    const auto ts = start + int64_t(std::floor(target / av_q2d(m->stream->time_base) + kSeekSlackSeconds));
    if (av_seek_frame(m->format, m->stream->index, ts, AVSEEK_FLAG_BACKWARD) < 0) {
        return false;
    }
    avcodec_flush_buffers(m->codec.get());
    m->pending.clear();
    m->drained = false;
    m->lastSeconds = -1;
    // Decode forward to the picture that covers the target; keep it and the one
    // after it (already decoded) for the next reads.
    Decoded kept;
    for (int n = 0; n < kMaxFramesPerSeek; ++n) {
        Decoded next;
        if (!m->DecodeNext(next)) {
            break;
        }
        if (next.seconds <= target + kSeekSlackSeconds) {
            kept = std::move(next);
            continue;
        }
        if (kept.frame) {
            m->pending.push_back(std::move(kept));
        }
        m->pending.push_back(std::move(next));
        return true;
    }
    if (m->interrupted && m->interrupted()) {
        m->pending.clear();
        return false;
    }
    if (kept.frame) {
        m->pending.push_back(std::move(kept));
    }
    return true;
}
