#pragma once

#include <QVariant>
#include <memory>
#include <mpv/client.h>

namespace orvella {

// The mpv handle, shared by the player and whoever holds its render context: the last owner
// destroys the core, so a render context is always freed before its core.
class MpvCore
{
public:
    MpvCore();
    ~MpvCore();
    MpvCore(const MpvCore &) = delete;
    MpvCore &operator=(const MpvCore &) = delete;

    [[nodiscard]] mpv_handle *handle() const { return m_handle; }

    // Sets an option before or after initialisation; a refused option is logged as a warning.
    void setOption(const char *name, const char *value) const;
    // Sets a property without waiting; the reply arrives as an event with this id.
    void setProperty(const char *name, const QVariant &value, quint64 replyId = 0) const;
    [[nodiscard]] QVariant property(const char *name) const;
    // Runs a command without waiting for it; the reply arrives as an event with this id.
    void commandAsync(const QStringList &args, quint64 replyId = 0) const;

private:
    mpv_handle *m_handle = nullptr;
};

// Writes one of libmpv's own messages (MPV_EVENT_LOG_MESSAGE) to the player category.
void logMpvMessage(const mpv_event_log_message &message);

// Converts an mpv node (as received with MPV_FORMAT_NODE) into Qt values.
[[nodiscard]] QVariant mpvNodeToVariant(const mpv_node *node);

} // namespace orvella
