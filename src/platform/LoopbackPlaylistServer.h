#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QUrl>
#include <chrono>
#include <optional>

class QTcpServer;

namespace orvella {

// Serves playlists the player made (a cut) to libmpv over http on 127.0.0.1: its HLS reader
// resolves every segment against the playlist's address, so a short address costs it little
// where a data address as long as the text costs it the text's length per segment.
//
// Each text is served at a path of 128 random bits, only by GET or HEAD of exactly that path,
// until it is withdrawn; anything else is answered 404. A request's head is bounded, an idle
// connection is closed, and so is any connection past a few at once. Requests are read as they
// arrive, on the thread the server lives on; nothing of it is ever written to disk.
class LoopbackPlaylistServer : public QObject
{
public:
    explicit LoopbackPlaylistServer(QObject *parent = nullptr);
    ~LoopbackPlaylistServer() override;

    // The address the text is served at; none when no port on 127.0.0.1 could be had.
    [[nodiscard]] std::optional<QUrl> publish(const QByteArray &text);
    void withdraw(const QUrl &address);
    [[nodiscard]] qsizetype publishedCount() const { return m_texts.size(); }

    // A request head longer than this closes its connection.
    static constexpr qsizetype maxRequestHead = 8 * 1024;
    // A connection that neither sends nor takes anything this long is closed.
    static constexpr std::chrono::milliseconds idleTimeout { 5000 };
    // Connections past this many at once are closed as they come.
    static constexpr int maxConnections = 16;

private:
    class Connection;
    bool listen();
    void accept();
    // The text published at that path, null for none.
    [[nodiscard]] const QByteArray *find(const QByteArray &path) const;

    QTcpServer *m_server = nullptr;
    // The texts by path ("/<hex>.m3u8").
    QHash<QByteArray, QByteArray> m_texts;
    // The connections open; each takes itself off as it goes.
    QSet<Connection *> m_connections;
};

// Adds 127.0.0.1 to the environment's no_proxy: FFmpeg's http goes through a proxy named by
// http_proxy, and one elsewhere cannot reach this machine's loopback. The address is the only
// way to spare one host: an FFmpeg option would also reach every segment the playlist names
// (libmpv hands its options on to each nested open), and those keep the viewer's proxy. It
// changes the environment, so it is called before any thread starts.
void keepLoopbackOffProxies();

} // namespace orvella
