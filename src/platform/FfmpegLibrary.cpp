#include "platform/FfmpegLibrary.h"

#include "platform/PlatformLog.h"
#include "platform/RuntimeLibrary.h"

#include <QByteArray>
#include <mutex>
#include <optional>

namespace orvella {

namespace {

// The file name of a library's major version as the headers describe it.
QByteArray fileName(const char *library, int major)
{
    return "lib" + QByteArray(library) + ".so." + QByteArray::number(major);
}

std::optional<FfmpegLibrary> open()
{
    RuntimeLibrary avutil(fileName("avutil", LIBAVUTIL_VERSION_MAJOR).constData());
    RuntimeLibrary avcodec(fileName("avcodec", LIBAVCODEC_VERSION_MAJOR).constData());
    RuntimeLibrary avformat(fileName("avformat", LIBAVFORMAT_VERSION_MAJOR).constData());
    RuntimeLibrary swresample(fileName("swresample", LIBSWRESAMPLE_VERSION_MAJOR).constData());
    RuntimeLibrary swscale(fileName("swscale", LIBSWSCALE_VERSION_MAJOR).constData());
    FfmpegLibrary functions;
#define ORVELLA_FFMPEG_RESOLVE(library, name) library.resolve(functions.name, #name);
    ORVELLA_FFMPEG_FUNCTIONS(ORVELLA_FFMPEG_RESOLVE)
#undef ORVELLA_FFMPEG_RESOLVE
    for (const RuntimeLibrary *library : { &avutil, &avcodec, &avformat, &swresample, &swscale }) {
        if (!library->failure().isEmpty()) {
            qCWarning(lcPlatform) << "FFmpeg could not be opened:" << library->failure();
            return std::nullopt;
        }
    }
    return functions;
}

} // namespace

const FfmpegLibrary *openFfmpeg()
{
    static std::once_flag once;
    static std::optional<FfmpegLibrary> opened;
    std::call_once(once, [] { opened = open(); });
    return opened ? &*opened : nullptr;
}

} // namespace orvella
