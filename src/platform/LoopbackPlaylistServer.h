#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QSet>
#include <QUrl>
#include <chrono>
#include <optional>

class QTcpServer;
class QTimer;

namespace orvella {

// Serves playlists the player made (a cut) to libmpv over http on 127.0.0.1: its HLS reader
// resolves every segment against the playlist's address, so a short address costs it little
// where a data address as long as the text costs it the text's length per segment.
//
// Each text is served at a path of 128 random bits, only by GET or HEAD of exactly that path,
// until it is withdrawn; anything else is answered 404. A request's head is bounded in length
// and in time, and an answer nobody takes is dropped. Any local program can open connections to
// the port, so room is kept for a client that sends its head at once (as FFmpeg does): past a
// few connections at once, those still waiting for their heads are closed, longest waiting
// first. Requests are read as they arrive, on the thread the server lives on; nothing of it is
// ever written to disk.
class LoopbackPlaylistServer : public QObject
{
public:
    struct Limits
    {
        // A request head must be whole this long after its connection was accepted, however
        // it trickles in; an answer the client takes nothing of this long is dropped.
        std::chrono::milliseconds headTimeout { 5000 };
        // Past this many connections at once, those waiting for their heads make room.
        int maxConnections = 16;
        // A connection waits this long for its head before it may be closed to make room; a
        // newer one is held past the bound meanwhile, up to twice the bound.
        std::chrono::milliseconds grace { 1000 };
    };

    explicit LoopbackPlaylistServer(QObject *parent = nullptr);
    LoopbackPlaylistServer(Limits limits, QObject *parent);
    ~LoopbackPlaylistServer() override;

    // The address the text is served at; none when no port on 127.0.0.1 could be had.
    [[nodiscard]] std::optional<QUrl> publish(const QByteArray &text);
    void withdraw(const QUrl &address);
    [[nodiscard]] qsizetype publishedCount() const { return m_texts.size(); }
    [[nodiscard]] qsizetype connectionCount() const { return m_connections.size(); }

    // A request head longer than this closes its connection.
    static constexpr qsizetype maxRequestHead = 8 * 1024;

private:
    class Connection;
    bool listen();
    void accept();
    // Closes connections waiting for their heads while there are too many.
    void makeRoom();
    // The text published at that path, null for none.
    [[nodiscard]] const QByteArray *find(const QByteArray &path) const;

    Limits m_limits;
    QTcpServer *m_server = nullptr;
    // Makes room once the connection waiting longest has had its grace.
    QTimer *m_roomTimer = nullptr;
    // The texts by path ("/<hex>.m3u8").
    QHash<QByteArray, QByteArray> m_texts;
    // The connections open; each takes itself off as it closes.
    QSet<Connection *> m_connections;
};

// Adds 127.0.0.1 to the environment's no_proxy: FFmpeg's http goes through a proxy named by
// http_proxy, and one elsewhere cannot reach this machine's loopback. The address is the only
// way to spare one host: an FFmpeg option would also reach every segment the playlist names
// (libmpv hands its options on to each nested open), and those keep the viewer's proxy. It
// changes the environment, so it is called before any thread starts.
void keepLoopbackOffProxies();

} // namespace orvella
