#include "MovieProbe.h"

#include <QFile>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace orvella::test {

MovieFacts probeMovie(const QString &path)
{
    MovieFacts facts;
    AVFormatContext *format = nullptr;
    const QByteArray name = QFile::encodeName(path);
    if (avformat_open_input(&format, name.constData(), nullptr, nullptr) < 0)
        return facts;
    if (avformat_find_stream_info(format, nullptr) < 0) {
        avformat_close_input(&format);
        return facts;
    }
    facts.opened = true;
    facts.container = QString::fromLatin1(format->iformat->name);
    facts.streamCount = static_cast<int>(format->nb_streams);
    if (format->nb_streams >= 1) {
        const AVCodecParameters *video = format->streams[0]->codecpar;
        if (video->codec_type == AVMEDIA_TYPE_VIDEO) {
            facts.videoCodec = QString::fromLatin1(avcodec_get_name(video->codec_id));
            facts.width = video->width;
            facts.height = video->height;
        }
    }
    if (format->nb_streams >= 2) {
        const AVCodecParameters *audio = format->streams[1]->codecpar;
        if (audio->codec_type == AVMEDIA_TYPE_AUDIO) {
            facts.audioCodec = QString::fromLatin1(avcodec_get_name(audio->codec_id));
            facts.channels = audio->ch_layout.nb_channels;
            facts.sampleRate = audio->sample_rate;
            facts.audioBitRate = audio->bit_rate;
        }
    }
    // Packet by packet: the end of the last packet of each stream.
    AVPacket *packet = av_packet_alloc();
    double videoEnd = 0;
    double audioEnd = 0;
    while (av_read_frame(format, packet) >= 0) {
        const AVStream *stream = format->streams[packet->stream_index];
        const double end = (packet->pts + packet->duration) * av_q2d(stream->time_base);
        if (packet->stream_index == 0) {
            ++facts.videoFrames;
            videoEnd = std::max(videoEnd, end);
        } else if (packet->stream_index == 1) {
            audioEnd = std::max(audioEnd, end);
        }
        av_packet_unref(packet);
    }
    av_packet_free(&packet);
    facts.videoDuration = videoEnd;
    facts.audioDuration = audioEnd;
    avformat_close_input(&format);
    return facts;
}

} // namespace orvella::test
