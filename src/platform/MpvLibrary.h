#pragma once

#include <mpv/client.h>
#include <mpv/render.h>

namespace orvella {

// libmpv, opened at run time rather than linked. With FFmpeg and everything it pulls in it is
// over two hundred libraries, whose loading and binding cost tens of milliseconds: linked, they
// are paid before main() and delay the window; opened on a thread of its own while the window
// comes up, they are ready when the first load goes out.
#define ORVELLA_MPV_FUNCTIONS(X)                                                                   \
    X(create)                                                                                      \
    X(initialize)                                                                                  \
    X(terminate_destroy)                                                                           \
    X(error_string)                                                                                \
    X(set_option_string)                                                                           \
    X(set_property_async)                                                                          \
    X(get_property)                                                                                \
    X(free_node_contents)                                                                          \
    X(command_async)                                                                               \
    X(observe_property)                                                                            \
    X(request_log_messages)                                                                        \
    X(set_wakeup_callback)                                                                         \
    X(wait_event)                                                                                  \
    X(hook_add)                                                                                    \
    X(hook_continue)                                                                               \
    X(render_context_create)                                                                       \
    X(render_context_free)                                                                         \
    X(render_context_set_update_callback)                                                          \
    X(render_context_update)                                                                       \
    X(render_context_render)

// libmpv's functions, by their names without the "mpv_" prefix.
struct MpvLibrary
{
#define ORVELLA_MPV_POINTER(name) decltype(&::mpv_##name) name = nullptr;
    ORVELLA_MPV_FUNCTIONS(ORVELLA_MPV_POINTER)
#undef ORVELLA_MPV_POINTER
};

// The library, opened on first use (waiting for a start already under way); throws a
// PlatformError when it cannot be opened. Safe from any thread.
[[nodiscard]] const MpvLibrary &mpvLibrary();

// Starts opening the library on a thread of its own and returns at once.
void preloadMpvLibrary();

} // namespace orvella
