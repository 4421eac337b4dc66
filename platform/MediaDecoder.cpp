#include "platform/MediaDecoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavdevice/avdevice.h>
#include <libavformat/avformat.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <cmath>
#include <mutex>

namespace zp {

namespace {

std::string AvText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    return text;
}

// Pictures beyond this are refused: a hostile header must not make us
// allocate gigabytes per frame.
constexpr int kMaxSide = 16384;
constexpr int64_t kMaxPixels = int64_t(1) << 26;

} // namespace

struct MediaDecoder::Contexts {
    AVFormatContext* format = nullptr;
    AVCodecContext* codec = nullptr;
    AVFrame* frame = nullptr;
    AVPacket* packet = nullptr;
    SwsContext* scale = nullptr;
    int stream = -1;
    AVRational timeBase{1, 1000};
    int64_t startPts = 0;
    double fps = 25.0;
    bool draining = false;
    bool ended = false;

    ~Contexts() {
        sws_freeContext(scale);
        av_packet_free(&packet);
        av_frame_free(&frame);
        avcodec_free_context(&codec);
        avformat_close_input(&format);
    }
};

MediaDecoder::MediaDecoder() {
    // Failures reach the user through Error(); FFmpeg's own log would only
    // repeat them on standard error.
    static std::once_flag quiet;
    std::call_once(quiet, [] { av_log_set_level(AV_LOG_FATAL); });
}
MediaDecoder::~MediaDecoder() = default;

bool MediaDecoder::IsOpen() const {
    return FAv != nullptr;
}

void MediaDecoder::Close() {
    FAv.reset();
    FLengthMs = 0;
    FFrameMs = 40;
    FSkipBeforeMs = 0;
}

int32_t MediaDecoder::Width() const {
    return FAv ? FAv->codec->width : 0;
}

int32_t MediaDecoder::Height() const {
    return FAv ? FAv->codec->height : 0;
}

bool MediaDecoder::Open(const std::string& file) {
    return OpenInput(file, nullptr);
}

bool MediaDecoder::OpenDevice(const std::string& format, const std::string& device) {
    static std::once_flag registered;
    std::call_once(registered, [] { avdevice_register_all(); });
    const AVInputFormat* input = av_find_input_format(format.c_str());
    if (!input) {
        FError = "No capture driver \"" + format + "\"";
        return false;
    }
    return OpenInput(device, input);
}

bool MediaDecoder::OpenInput(const std::string& url, const void* inputFormat) {
    Close();
    FError.clear();
    auto av = std::make_unique<Contexts>();
    int rc = avformat_open_input(&av->format, url.c_str(),
                                 static_cast<const AVInputFormat*>(inputFormat), nullptr);
    if (rc < 0) {
        FError = AvText(rc);
        return false;
    }
    if ((rc = avformat_find_stream_info(av->format, nullptr)) < 0) {
        FError = AvText(rc);
        return false;
    }
    const AVCodec* codec = nullptr;
    av->stream = av_find_best_stream(av->format, AVMEDIA_TYPE_VIDEO, -1, -1, &codec, 0);
    if (av->stream < 0 || !codec) {
        FError = av->stream == AVERROR_DECODER_NOT_FOUND ? "No decoder for the video stream"
                                                         : "The file holds no video stream";
        return false;
    }
    AVStream* stream = av->format->streams[av->stream];
    av->codec = avcodec_alloc_context3(codec);
    av->frame = av_frame_alloc();
    av->packet = av_packet_alloc();
    if (!av->codec || !av->frame || !av->packet) {
        FError = AvText(AVERROR(ENOMEM));
        return false;
    }
    avcodec_parameters_to_context(av->codec, stream->codecpar);
    av->codec->thread_count = 1;
    if ((rc = avcodec_open2(av->codec, codec, nullptr)) < 0) {
        FError = AvText(rc);
        return false;
    }
    const int w = av->codec->width, h = av->codec->height;
    if (w < 1 || h < 1 || w > kMaxSide || h > kMaxSide || int64_t(w) * h > kMaxPixels) {
        FError = "The video's picture size is not supported";
        return false;
    }
    av->timeBase = stream->time_base;
    av->startPts = stream->start_time != AV_NOPTS_VALUE ? stream->start_time : 0;
    AVRational rate = av_guess_frame_rate(av->format, stream, nullptr);
    if (rate.num > 0 && rate.den > 0) av->fps = av_q2d(rate);
    FFrameMs = std::max<int64_t>(1, std::llround(1000.0 / av->fps));
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        FLengthMs = av_rescale_q(stream->duration, stream->time_base, AVRational{1, 1000});
    else if (av->format->duration > 0)
        FLengthMs = av->format->duration / 1000;
    FAv = std::move(av);
    return true;
}

bool MediaDecoder::Convert(const void* decodedFrame, MediaFrame& out) {
    const auto* f = static_cast<const AVFrame*>(decodedFrame);
    if (f->width < 1 || f->height < 1 || f->width > kMaxSide || f->height > kMaxSide ||
        int64_t(f->width) * f->height > kMaxPixels)
        return false;
    FAv->scale =
        sws_getCachedContext(FAv->scale, f->width, f->height, AVPixelFormat(f->format), f->width,
                             f->height, AV_PIX_FMT_BGR0, SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!FAv->scale) return false;
    out.width = f->width;
    out.height = f->height;
    out.pixels.assign(size_t(f->width) * size_t(f->height), 0);
    uint8_t* dst[4] = {reinterpret_cast<uint8_t*>(out.pixels.data()), nullptr, nullptr, nullptr};
    int stride[4] = {f->width * 4, 0, 0, 0};
    sws_scale(FAv->scale, f->data, f->linesize, 0, f->height, dst, stride);
    return true;
}

bool MediaDecoder::Next(MediaFrame& frame) {
    if (!FAv) return false;
    Contexts& av = *FAv;
    while (!av.ended) {
        int rc = avcodec_receive_frame(av.codec, av.frame);
        if (rc == 0) {
            int64_t pts = av.frame->best_effort_timestamp;
            if (pts == AV_NOPTS_VALUE) pts = av.frame->pts;
            const int64_t ms = pts == AV_NOPTS_VALUE ? 0
                                                     : av_rescale_q(pts - av.startPts, av.timeBase,
                                                                    AVRational{1, 1000});
            if (ms + FFrameMs / 2 < FSkipBeforeMs) {
                av_frame_unref(av.frame);
                continue;
            }
            FSkipBeforeMs = 0;
            const bool ok = Convert(av.frame, frame);
            av_frame_unref(av.frame);
            if (!ok) continue;
            frame.positionMs = std::max<int64_t>(0, ms);
            frame.durationMs = FFrameMs;
            frame.index = std::llround(double(frame.positionMs) * av.fps / 1000.0);
            return true;
        }
        if (rc == AVERROR_EOF) {
            av.ended = true;
            break;
        }
        if (rc != AVERROR(EAGAIN)) {
            // A broken frame: the decoder goes on with the next packet.
            FError = AvText(rc);
        }
        if (av.draining) {
            av.ended = true;
            break;
        }
        rc = av_read_frame(av.format, av.packet);
        if (rc < 0) {
            av.draining = true;
            avcodec_send_packet(av.codec, nullptr);
            continue;
        }
        if (av.packet->stream_index == av.stream) avcodec_send_packet(av.codec, av.packet);
        av_packet_unref(av.packet);
    }
    return false;
}

bool MediaDecoder::Seek(int64_t positionMs) {
    if (!FAv) return false;
    Contexts& av = *FAv;
    positionMs = std::max<int64_t>(0, positionMs);
    const int64_t target = av.startPts + av_rescale_q(positionMs, AVRational{1, 1000}, av.timeBase);
    int rc = av_seek_frame(av.format, av.stream, target, AVSEEK_FLAG_BACKWARD);
    if (rc < 0) rc = avformat_seek_file(av.format, av.stream, INT64_MIN, target, target, 0);
    if (rc < 0) {
        FError = AvText(rc);
        return false;
    }
    avcodec_flush_buffers(av.codec);
    av.draining = false;
    av.ended = false;
    FSkipBeforeMs = positionMs;
    return true;
}

} // namespace zp
