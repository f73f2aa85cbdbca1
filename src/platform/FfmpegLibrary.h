#pragma once

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/channel_layout.h>
#include <libavutil/display.h>
#include <libavutil/imgutils.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace orvella {

// The FFmpeg libraries the studio writes and reads movies with, opened at run time rather than
// linked: the client starts without them (they pull in a hundred more libraries), and the live
// player's libmpv brings them along in any case.
// clang-format off
#define ORVELLA_FFMPEG_FUNCTIONS(X)                                                               \
    X(avutil, av_audio_fifo_alloc)                                                                \
    X(avutil, av_audio_fifo_free)                                                                 \
    X(avutil, av_audio_fifo_read)                                                                 \
    X(avutil, av_audio_fifo_size)                                                                 \
    X(avutil, av_audio_fifo_write)                                                                \
    X(avutil, av_channel_layout_copy)                                                             \
    X(avutil, av_channel_layout_default)                                                          \
    X(avutil, av_display_rotation_get)                                                            \
    X(avutil, av_frame_alloc)                                                                     \
    X(avutil, av_frame_free)                                                                      \
    X(avutil, av_frame_get_buffer)                                                                \
    X(avutil, av_frame_make_writable)                                                             \
    X(avutil, av_log_set_level)                                                                   \
    X(avutil, av_opt_set)                                                                         \
    X(avutil, av_rescale_q)                                                                       \
    X(avutil, av_strerror)                                                                        \
    X(avcodec, av_packet_alloc)                                                                   \
    X(avcodec, av_packet_free)                                                                    \
    X(avcodec, av_packet_rescale_ts)                                                              \
    X(avcodec, av_packet_unref)                                                                   \
    X(avcodec, avcodec_alloc_context3)                                                            \
    X(avcodec, avcodec_find_encoder)                                                              \
    X(avcodec, avcodec_find_encoder_by_name)                                                      \
    X(avcodec, avcodec_free_context)                                                              \
    X(avcodec, avcodec_open2)                                                                     \
    X(avcodec, avcodec_parameters_from_context)                                                   \
    X(avcodec, avcodec_parameters_to_context)                                                     \
    X(avcodec, avcodec_receive_frame)                                                             \
    X(avcodec, avcodec_receive_packet)                                                            \
    X(avcodec, avcodec_send_frame)                                                                \
    X(avcodec, avcodec_send_packet)                                                               \
    X(avformat, av_find_best_stream)                                                              \
    X(avformat, av_interleaved_write_frame)                                                       \
    X(avformat, av_read_frame)                                                                    \
    X(avformat, av_stream_get_side_data)                                                          \
    X(avformat, av_write_trailer)                                                                 \
    X(avformat, avformat_alloc_output_context2)                                                   \
    X(avformat, avformat_close_input)                                                             \
    X(avformat, avformat_find_stream_info)                                                        \
    X(avformat, avformat_free_context)                                                            \
    X(avformat, avformat_new_stream)                                                              \
    X(avformat, avformat_open_input)                                                              \
    X(avformat, avformat_write_header)                                                            \
    X(avformat, avio_closep)                                                                      \
    X(avformat, avio_open)                                                                        \
    X(swresample, swr_alloc_set_opts2)                                                            \
    X(swresample, swr_convert)                                                                    \
    X(swresample, swr_free)                                                                       \
    X(swresample, swr_get_out_samples)                                                            \
    X(swresample, swr_init)                                                                       \
    X(swscale, sws_freeContext)                                                                   \
    X(swscale, sws_getCachedContext)                                                              \
    X(swscale, sws_getContext)                                                                    \
    X(swscale, sws_scale)
// clang-format on

// FFmpeg's functions, by their own names.
struct FfmpegLibrary
{
#define ORVELLA_FFMPEG_POINTER(library, name) decltype(&::name) name = nullptr;
    ORVELLA_FFMPEG_FUNCTIONS(ORVELLA_FFMPEG_POINTER)
#undef ORVELLA_FFMPEG_POINTER
};

// The libraries, opened on first use; null (with a warning) when they cannot be. Safe from any
// thread.
[[nodiscard]] const FfmpegLibrary *openFfmpeg();

// The opened libraries, once openFfmpeg() succeeded.
[[nodiscard]] inline const FfmpegLibrary &ffmpeg()
{
    return *openFfmpeg();
}

} // namespace orvella
