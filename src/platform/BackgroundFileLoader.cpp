#include "platform/BackgroundFileLoader.h"

#include "platform/FfmpegLibrary.h"

#include <QFile>
#include <QImageReader>
#include <QTransform>
#include <cmath>

namespace orvella {

namespace {

// Degrees clockwise to turn the stored picture for display.
double displayRotation(const AVStream *stream)
{
    size_t size = 0;
    const uint8_t *matrix
        = ffmpeg().av_stream_get_side_data(stream, AV_PKT_DATA_DISPLAYMATRIX, &size);
    if (!matrix || size < 9 * sizeof(int32_t))
        return 0;
    const double rotation
        = ffmpeg().av_display_rotation_get(reinterpret_cast<const int32_t *>(matrix));
    if (std::isnan(rotation))
        return 0;
    // av_display_rotation_get gives the counter-clockwise angle.
    return -rotation;
}

QImage frameToImage(const AVFrame *frame)
{
    SwsContext *scaler = ffmpeg().sws_getContext(frame->width, frame->height,
        static_cast<AVPixelFormat>(frame->format), frame->width, frame->height, AV_PIX_FMT_BGRA,
        SWS_BILINEAR, nullptr, nullptr, nullptr);
    if (!scaler)
        return {};
    QImage image(frame->width, frame->height, QImage::Format_RGB32);
    uint8_t *destination[1] = { image.bits() };
    const int stride[1] = { static_cast<int>(image.bytesPerLine()) };
    ffmpeg().sws_scale(scaler, frame->data, frame->linesize, 0, frame->height, destination, stride);
    ffmpeg().sws_freeContext(scaler);
    return image;
}

} // namespace

QImage firstMovieFrame(const QString &path)
{
    if (!openFfmpeg())
        return {};
    AVFormatContext *format = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (ffmpeg().avformat_open_input(&format, name.constData(), nullptr, nullptr) < 0)
        return {};
    QImage result;
    AVCodecContext *codec = nullptr;
    AVPacket *packet = ffmpeg().av_packet_alloc();
    AVFrame *frame = ffmpeg().av_frame_alloc();
    const AVCodec *decoder = nullptr;
    int streamIndex = -1;
    if (ffmpeg().avformat_find_stream_info(format, nullptr) >= 0)
        streamIndex = ffmpeg().av_find_best_stream(format, AVMEDIA_TYPE_VIDEO, -1, -1, &decoder, 0);
    if (streamIndex >= 0 && decoder) {
        codec = ffmpeg().avcodec_alloc_context3(decoder);
        if (codec
            && ffmpeg().avcodec_parameters_to_context(codec, format->streams[streamIndex]->codecpar)
                >= 0
            && ffmpeg().avcodec_open2(codec, decoder, nullptr) >= 0) {
            bool done = false;
            while (!done && ffmpeg().av_read_frame(format, packet) >= 0) {
                if (packet->stream_index == streamIndex
                    && ffmpeg().avcodec_send_packet(codec, packet) >= 0
                    && ffmpeg().avcodec_receive_frame(codec, frame) >= 0) {
                    result = frameToImage(frame);
                    done = true;
                }
                ffmpeg().av_packet_unref(packet);
            }
            if (!done && ffmpeg().avcodec_send_packet(codec, nullptr) >= 0
                && ffmpeg().avcodec_receive_frame(codec, frame) >= 0)
                result = frameToImage(frame);
        }
        const double rotation = displayRotation(format->streams[streamIndex]);
        if (!result.isNull() && std::lround(rotation) % 360 != 0)
            result = result.transformed(QTransform().rotate(rotation));
    }
    ffmpeg().av_frame_free(&frame);
    ffmpeg().av_packet_free(&packet);
    ffmpeg().avcodec_free_context(&codec);
    ffmpeg().avformat_close_input(&format);
    return result;
}

QImage loadBackgroundPicture(const QString &path)
{
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (!image.isNull())
        return image;
    return firstMovieFrame(path);
}

} // namespace orvella
