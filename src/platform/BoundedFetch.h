#pragma once

#include <QByteArray>
#include <QCoro/QCoroTask>
#include <QString>
#include <QUrl>
#include <chrono>
#include <optional>
#include <stop_token>

class QNetworkAccessManager;

namespace orvella {

// A part of a file: `length` bytes from `offset`.
struct ByteRange
{
    qint64 offset = 0;
    qint64 length = 0;
};

// How much of one file the player reads of what a stream's server sends.
struct FetchLimits
{
    qint64 maxBytes = 0;
    // A transfer that goes quiet for this long fails.
    std::chrono::milliseconds idleTimeout { 10000 };
    // Stops reading a body that does not begin as an HLS playlist.
    bool playlistOnly = false;
    // A transfer not ended within this fails however it trickles; 0 for no such bound.
    std::chrono::milliseconds wholeTimeout { 0 };
    // Reads only this part of the file (asked for with a Range header, past any cache), its
    // length being the bound instead of maxBytes: once that much has arrived the transfer ends,
    // complete. A server that ignores the range (200) is read to that length when the part
    // begins the file and fails otherwise; a part that begins elsewhere than asked fails too.
    std::optional<ByteRange> range {};
};

struct FetchedFile
{
    enum class Outcome { Complete, Failed, TooLarge, NotPlaylist };
    Outcome outcome = Outcome::Failed;
    QByteArray body;
    // Where the body came from at last (after redirects).
    QUrl url;
    // What went wrong, for the log.
    QString error;
    // The server answered with an error status (4xx, 5xx), and which.
    bool refused = false;
    int errorStatus = 0;
    // Refused for as long as the server stands by it: a 4xx but a time-out (408) or too many
    // requests (429); a 5xx may pass.
    [[nodiscard]] bool refusedForGood() const
    {
        return refused && errorStatus < 500 && errorStatus != 408 && errorStatus != 429;
    }
};

// Fetches one file, counting its bytes as they arrive: a body announced or arriving past the
// bound is not read on (TooLarge). An answer with an HTTP status other than success fails,
// whatever its body. A stop aborts the transfer at once (Failed); the caller looks at its own
// stop before anything else.
[[nodiscard]] QCoro::Task<FetchedFile> fetchBounded(
    QNetworkAccessManager &network, QUrl url, FetchLimits limits, std::stop_token stop);

} // namespace orvella
