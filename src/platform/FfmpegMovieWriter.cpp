#include "platform/FfmpegLibrary.h"
#include "platform/MovieWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace orvella {

namespace {

QString averror(int code)
{
    char buffer[AV_ERROR_MAX_STRING_SIZE] = {};
    ffmpeg().av_strerror(code, buffer, sizeof buffer);
    return QString::fromUtf8(buffer);
}

constexpr AVRational microseconds { 1, 1'000'000 };

class FfmpegMovieWriter final : public MovieWriter
{
public:
    FfmpegMovieWriter(QString path, MovieSettings settings)
        : m_path(std::move(path))
        , m_settings(settings)
    { }

    ~FfmpegMovieWriter() override { release(); }

    bool startWriting() override
    {
        if (m_status == MovieWriterStatus::writing)
            return true;
        if (m_status != MovieWriterStatus::unknown)
            return false;
        if (!open()) {
            m_status = MovieWriterStatus::failed;
            release();
            return false;
        }
        m_status = MovieWriterStatus::writing;
        return true;
    }

    void startSession(qint64 timeUs) override
    {
        m_sessionStartUs = timeUs;
        m_sessionStarted = true;
    }

    bool appendVideo(const cv::Mat &bgr, qint64 timeUs) override
    {
        if (m_status != MovieWriterStatus::writing || !m_sessionStarted || bgr.empty())
            return false;
        const qint64 relative = timeUs - m_sessionStartUs;
        if (relative < 0)
            return false;
        const int64_t pts = ffmpeg().av_rescale_q(relative, microseconds, m_videoCodec->time_base);
        if (pts <= m_lastVideoPts)
            return false;
        if (!convertPicture(bgr))
            return fail(QStringLiteral("The camera picture could not be converted."));
        m_videoFrame->pts = pts;
        m_lastVideoPts = pts;
        return encode(m_videoCodec, m_videoStream, m_videoFrame);
    }

    bool appendAudio(const AudioChunk &chunk) override
    {
        if (m_status != MovieWriterStatus::writing || !m_sessionStarted || chunk.samples.empty())
            return false;
        const float *samples = chunk.samples.data();
        int count = static_cast<int>(chunk.samples.size());
        if (!m_audioStarted) {
            // The first chunk places the audio on the movie's time line: samples before the
            // first frame are cut, a late start is padded with silence.
            const qint64 offsetUs = chunk.timeUs - m_sessionStartUs;
            const qint64 offsetSamples = offsetUs * chunk.sampleRate / 1'000'000;
            if (offsetSamples < 0) {
                const qint64 cut = std::min<qint64>(-offsetSamples, count);
                samples += cut;
                count -= static_cast<int>(cut);
                if (count == 0)
                    return true;
            } else if (offsetSamples > 0) {
                std::vector<float> silence(static_cast<size_t>(offsetSamples), 0.0f);
                if (!resampleAndQueue(
                        silence.data(), static_cast<int>(silence.size()), chunk.sampleRate))
                    return false;
            }
            m_audioStarted = true;
        }
        if (!resampleAndQueue(samples, count, chunk.sampleRate))
            return false;
        return drainAudio(false);
    }

    void finishWriting() override
    {
        if (m_status != MovieWriterStatus::writing)
            return;
        bool ok = true;
        if (m_audioStarted)
            ok = drainAudio(true) && ok;
        ok = encode(m_videoCodec, m_videoStream, nullptr) && ok;
        if (m_audioCodec)
            ok = encode(m_audioCodec, m_audioStream, nullptr) && ok;
        if (m_status == MovieWriterStatus::writing) {
            const int result = ffmpeg().av_write_trailer(m_format);
            if (result < 0)
                fail(averror(result));
            else if (m_lastVideoPts < 0)
                fail(QStringLiteral("Recording failed"));
            else if (ok)
                m_status = MovieWriterStatus::completed;
        }
        release();
    }

    [[nodiscard]] MovieWriterStatus status() const override { return m_status; }
    [[nodiscard]] QString errorDescription() const override { return m_error; }

private:
    bool open()
    {
        const QByteArray path = QFile::encodeName(m_path);
        int result
            = ffmpeg().avformat_alloc_output_context2(&m_format, nullptr, "mov", path.constData());
        if (result < 0 || !m_format)
            return setError(averror(result));

        // Video first.
        const AVCodec *h264 = ffmpeg().avcodec_find_encoder_by_name("libx264");
        if (!h264)
            return setError(QStringLiteral("Video export is unavailable on this computer."));
        m_videoStream = ffmpeg().avformat_new_stream(m_format, nullptr);
        m_videoCodec = ffmpeg().avcodec_alloc_context3(h264);
        if (!m_videoStream || !m_videoCodec)
            return setError(QStringLiteral("Out of memory"));
        m_videoCodec->width = m_settings.width;
        m_videoCodec->height = m_settings.height;
        m_videoCodec->pix_fmt = AV_PIX_FMT_YUV420P;
        m_videoCodec->time_base = AVRational { 1, 90000 };
        m_videoCodec->framerate = AVRational { 30, 1 };
        m_videoCodec->gop_size = 60;
        m_videoCodec->thread_count = 2;
        if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
            m_videoCodec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        ffmpeg().av_opt_set(m_videoCodec->priv_data, "preset", "veryfast", 0);
        ffmpeg().av_opt_set(m_videoCodec->priv_data, "tune", "zerolatency", 0);
        ffmpeg().av_opt_set(m_videoCodec->priv_data, "crf", "21", 0);
        if ((result = ffmpeg().avcodec_open2(m_videoCodec, h264, nullptr)) < 0)
            return setError(averror(result));
        ffmpeg().avcodec_parameters_from_context(m_videoStream->codecpar, m_videoCodec);
        m_videoStream->time_base = m_videoCodec->time_base;

        m_videoFrame = ffmpeg().av_frame_alloc();
        m_videoFrame->format = AV_PIX_FMT_YUV420P;
        m_videoFrame->width = m_settings.width;
        m_videoFrame->height = m_settings.height;
        if ((result = ffmpeg().av_frame_get_buffer(m_videoFrame, 0)) < 0)
            return setError(averror(result));

        // Then mono AAC.
        const AVCodec *aac = ffmpeg().avcodec_find_encoder(AV_CODEC_ID_AAC);
        if (!aac)
            return setError(QStringLiteral("Video export is unavailable on this computer."));
        m_audioStream = ffmpeg().avformat_new_stream(m_format, nullptr);
        m_audioCodec = ffmpeg().avcodec_alloc_context3(aac);
        if (!m_audioStream || !m_audioCodec)
            return setError(QStringLiteral("Out of memory"));
        m_audioCodec->sample_fmt = AV_SAMPLE_FMT_FLTP;
        m_audioCodec->sample_rate = m_settings.audioSampleRate;
        m_audioCodec->bit_rate = m_settings.audioBitRate;
        ffmpeg().av_channel_layout_default(&m_audioCodec->ch_layout, 1);
        m_audioCodec->time_base = AVRational { 1, m_settings.audioSampleRate };
        if (m_format->oformat->flags & AVFMT_GLOBALHEADER)
            m_audioCodec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if ((result = ffmpeg().avcodec_open2(m_audioCodec, aac, nullptr)) < 0)
            return setError(averror(result));
        ffmpeg().avcodec_parameters_from_context(m_audioStream->codecpar, m_audioCodec);
        m_audioStream->time_base = m_audioCodec->time_base;
        m_audioFifo
            = ffmpeg().av_audio_fifo_alloc(AV_SAMPLE_FMT_FLTP, 1, m_audioCodec->frame_size * 4);

        if ((result = ffmpeg().avio_open(&m_format->pb, path.constData(), AVIO_FLAG_WRITE)) < 0)
            return setError(averror(result));
        if ((result = ffmpeg().avformat_write_header(m_format, nullptr)) < 0)
            return setError(averror(result));
        return true;
    }

    bool convertPicture(const cv::Mat &bgr)
    {
        // Cover the 1280x720 picture and cut the overflow equally on both sides.
        const double scale = std::max(static_cast<double>(m_settings.width) / bgr.cols,
            static_cast<double>(m_settings.height) / bgr.rows);
        const int cropWidth
            = std::min(bgr.cols, static_cast<int>(std::lround(m_settings.width / scale)));
        const int cropHeight
            = std::min(bgr.rows, static_cast<int>(std::lround(m_settings.height / scale)));
        const int left = (bgr.cols - cropWidth) / 2;
        const int top = (bgr.rows - cropHeight) / 2;
        m_scaler = ffmpeg().sws_getCachedContext(m_scaler, cropWidth, cropHeight, AV_PIX_FMT_BGR24,
            m_settings.width, m_settings.height, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr,
            nullptr);
        if (!m_scaler || ffmpeg().av_frame_make_writable(m_videoFrame) < 0)
            return false;
        const uint8_t *source[1] = { bgr.ptr<uint8_t>(top) + left * 3 };
        const int sourceStride[1] = { static_cast<int>(bgr.step) };
        ffmpeg().sws_scale(m_scaler, source, sourceStride, 0, cropHeight, m_videoFrame->data,
            m_videoFrame->linesize);
        return true;
    }

    bool resampleAndQueue(const float *samples, int count, int sampleRate)
    {
        if (!m_resampler || m_resamplerInputRate != sampleRate) {
            ffmpeg().swr_free(&m_resampler);
            AVChannelLayout mono;
            ffmpeg().av_channel_layout_default(&mono, 1);
            if (ffmpeg().swr_alloc_set_opts2(&m_resampler, &mono, AV_SAMPLE_FMT_FLTP,
                    m_settings.audioSampleRate, &mono, AV_SAMPLE_FMT_FLT, sampleRate, 0, nullptr)
                    < 0
                || ffmpeg().swr_init(m_resampler) < 0)
                return fail(QStringLiteral("The microphone sound could not be converted."));
            m_resamplerInputRate = sampleRate;
        }
        const int capacity = ffmpeg().swr_get_out_samples(m_resampler, count);
        std::vector<float> converted(static_cast<size_t>(std::max(capacity, 1)));
        uint8_t *output[1] = { reinterpret_cast<uint8_t *>(converted.data()) };
        const uint8_t *input[1] = { reinterpret_cast<const uint8_t *>(samples) };
        const int produced = ffmpeg().swr_convert(m_resampler, output, capacity, input, count);
        if (produced < 0)
            return fail(QStringLiteral("The microphone sound could not be converted."));
        void *planes[1] = { converted.data() };
        if (produced > 0 && ffmpeg().av_audio_fifo_write(m_audioFifo, planes, produced) < produced)
            return fail(QStringLiteral("Out of memory"));
        return true;
    }

    bool drainAudio(bool flush)
    {
        const int frameSize = m_audioCodec->frame_size > 0 ? m_audioCodec->frame_size : 1024;
        while (ffmpeg().av_audio_fifo_size(m_audioFifo) >= frameSize
            || (flush && ffmpeg().av_audio_fifo_size(m_audioFifo) > 0)) {
            const int count = std::min(frameSize, ffmpeg().av_audio_fifo_size(m_audioFifo));
            AVFrame *frame = ffmpeg().av_frame_alloc();
            frame->nb_samples = count;
            frame->format = AV_SAMPLE_FMT_FLTP;
            frame->sample_rate = m_audioCodec->sample_rate;
            ffmpeg().av_channel_layout_copy(&frame->ch_layout, &m_audioCodec->ch_layout);
            if (ffmpeg().av_frame_get_buffer(frame, 0) < 0) {
                ffmpeg().av_frame_free(&frame);
                return fail(QStringLiteral("Out of memory"));
            }
            ffmpeg().av_audio_fifo_read(m_audioFifo, reinterpret_cast<void **>(frame->data), count);
            frame->pts = m_audioSamplesWritten;
            m_audioSamplesWritten += count;
            const bool ok = encode(m_audioCodec, m_audioStream, frame);
            ffmpeg().av_frame_free(&frame);
            if (!ok)
                return false;
        }
        return true;
    }

    bool encode(AVCodecContext *codec, AVStream *stream, AVFrame *frame)
    {
        int result = ffmpeg().avcodec_send_frame(codec, frame);
        if (result < 0 && result != AVERROR_EOF)
            return fail(averror(result));
        AVPacket *packet = ffmpeg().av_packet_alloc();
        while (true) {
            result = ffmpeg().avcodec_receive_packet(codec, packet);
            if (result == AVERROR(EAGAIN) || result == AVERROR_EOF)
                break;
            if (result < 0) {
                ffmpeg().av_packet_free(&packet);
                return fail(averror(result));
            }
            ffmpeg().av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
            packet->stream_index = stream->index;
            result = ffmpeg().av_interleaved_write_frame(m_format, packet);
            if (result < 0) {
                ffmpeg().av_packet_free(&packet);
                return fail(averror(result));
            }
        }
        ffmpeg().av_packet_free(&packet);
        return true;
    }

    bool setError(const QString &error)
    {
        m_error = error;
        return false;
    }

    bool fail(const QString &error)
    {
        m_error = error;
        m_status = MovieWriterStatus::failed;
        return false;
    }

    void release()
    {
        if (m_format && m_format->pb)
            ffmpeg().avio_closep(&m_format->pb);
        ffmpeg().avformat_free_context(m_format);
        m_format = nullptr;
        ffmpeg().avcodec_free_context(&m_videoCodec);
        ffmpeg().avcodec_free_context(&m_audioCodec);
        ffmpeg().av_frame_free(&m_videoFrame);
        if (m_audioFifo) {
            ffmpeg().av_audio_fifo_free(m_audioFifo);
            m_audioFifo = nullptr;
        }
        ffmpeg().swr_free(&m_resampler);
        ffmpeg().sws_freeContext(m_scaler);
        m_scaler = nullptr;
    }

    QString m_path;
    MovieSettings m_settings;
    MovieWriterStatus m_status = MovieWriterStatus::unknown;
    QString m_error;
    qint64 m_sessionStartUs = 0;
    bool m_sessionStarted = false;
    bool m_audioStarted = false;
    int64_t m_lastVideoPts = -1;
    int64_t m_audioSamplesWritten = 0;
    int m_resamplerInputRate = 0;

    AVFormatContext *m_format = nullptr;
    AVStream *m_videoStream = nullptr;
    AVStream *m_audioStream = nullptr;
    AVCodecContext *m_videoCodec = nullptr;
    AVCodecContext *m_audioCodec = nullptr;
    AVFrame *m_videoFrame = nullptr;
    AVAudioFifo *m_audioFifo = nullptr;
    SwrContext *m_resampler = nullptr;
    SwsContext *m_scaler = nullptr;
};

} // namespace

std::unique_ptr<MovieWriter> makeFfmpegMovieWriter(
    const QString &path, QString *error, MovieSettings settings)
{
    if (!openFfmpeg()) {
        if (error)
            *error = QStringLiteral("Video export is unavailable on this computer.");
        return nullptr;
    }
    // The encoders' statistics are no concern of the viewer: the client writes no log.
    static const bool quiet = [] {
        ffmpeg().av_log_set_level(AV_LOG_ERROR);
        return true;
    }();
    Q_UNUSED(quiet);
    if (!ffmpeg().avcodec_find_encoder_by_name("libx264")
        || !ffmpeg().avcodec_find_encoder(AV_CODEC_ID_AAC)) {
        if (error)
            *error = QStringLiteral("Video export is unavailable on this computer.");
        return nullptr;
    }
    const QFileInfo folder(QFileInfo(path).absolutePath());
    if (!folder.isDir() || !folder.isWritable()) {
        if (error)
            *error = QStringLiteral("The folder “%1” cannot be written to.")
                         .arg(QDir::toNativeSeparators(folder.absoluteFilePath()));
        return nullptr;
    }
    return std::make_unique<FfmpegMovieWriter>(path, settings);
}

} // namespace orvella
