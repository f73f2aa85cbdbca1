#include "platform/MpvLibrary.h"

#include "platform/PlatformError.h"
#include "platform/PlatformLog.h"
#include "platform/RuntimeLibrary.h"

#include <future>
#include <mutex>
#include <optional>
#include <thread>

namespace orvella {

namespace {

// The file name of the major version the headers describe.
const char *const libraryName
    = MPV_CLIENT_API_VERSION >= MPV_MAKE_VERSION(2, 0) ? "libmpv.so.2" : "libmpv.so.1";

struct Opened
{
    std::optional<MpvLibrary> library;
    QString failure;
};

Opened open()
{
    RuntimeLibrary file(libraryName);
    MpvLibrary library;
#define ORVELLA_MPV_RESOLVE(name) file.resolve(library.name, "mpv_" #name);
    ORVELLA_MPV_FUNCTIONS(ORVELLA_MPV_RESOLVE)
#undef ORVELLA_MPV_RESOLVE
    if (!file.failure().isEmpty())
        return { std::nullopt, file.failure() };
    return { library, QString() };
}

// The one opening, made by whoever comes first; whoever comes meanwhile waits for it.
const Opened &opening()
{
    static std::once_flag once;
    static Opened opened;
    std::call_once(once, [] { opened = open(); });
    return opened;
}

// What libmpv loads, as this build found it, in an order where each needs only those before.
constexpr const char *dependencies[] = {
#include "MpvDependencies.inc"
    nullptr,
};

// Opens the libraries one by one, then libmpv. The dynamic loader lets one thread load at a
// time: small steps let another thread's load (Qt's plugins) in between instead of after the
// whole of it. A library that cannot be opened is left to libmpv's own loading.
void openStepByStep()
{
    for (const char *const *name = dependencies; *name; ++name) {
        if (const RuntimeLibrary step(*name); !step.failure().isEmpty())
            qCDebug(lcPlayer) << "Not opened ahead of libmpv:" << step.failure();
        // The loader's lock goes back to this thread at once unless it waits a moment: a
        // thread waiting for it would wait for the whole list (measured: 45 ms of the window's
        // start) rather than for one library.
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
    opening();
}

std::mutex preloadMutex;
std::future<void> preloading;

} // namespace

const MpvLibrary &mpvLibrary()
{
    const Opened &opened = opening();
    if (!opened.library) {
        qCWarning(lcPlayer) << "libmpv could not be opened:" << opened.failure;
        throw PlatformError(
            QStringLiteral("The video player could not be started (%1).").arg(opened.failure));
    }
    return *opened.library;
}

void preloadMpvLibrary()
{
    std::lock_guard lock(preloadMutex);
    if (!preloading.valid())
        preloading = std::async(std::launch::async, openStepByStep);
}

} // namespace orvella
