#pragma once

#include "platform/Fmp4TimeStamp.h"

#include <QByteArrayView>
#include <QCoro/QCoroTask>
#include <QUrl>
#include <chrono>
#include <optional>
#include <stop_token>
#include <utility>

class QNetworkAccessManager;

namespace orvella {

// Where a stream's time stamps lie, read from the head of one segment: what the player needs to
// place a later part of an episode joined across discontinuities before it plays there.

// The start time, in seconds, of MPEG-TS data: the smallest presentation time stamp among the
// first PES packet of each audio or video stream (and private stream 1) that begins within the
// bytes. None when the bytes are not MPEG-TS from their first byte on or hold no such time stamp.
// Time stamps count 33 bits: when those found lie on both sides of the wrap (more than 2^32 ticks
// apart), the small ones count as past it, so the start may lie past 2^33 / 90000 s.
[[nodiscard]] std::optional<double> firstMpegTsTime(QByteArrayView bytes);

// The most of a segment that is read for its start time.
inline constexpr qint64 segmentHeadBytes = 64 * 1024;

// What the head of a segment told.
struct SegmentHead
{
    // Its server answered with an error status: a player's reader passes over the segment.
    bool refused = false;
    // The status says so for good (see FetchedFile::refusedForGood).
    bool refusedForGood = false;
    // The start time of its data: MPEG-TS, or fragmented MP4 read with its map.
    std::optional<double> startTime;
    // Nothing was read of it: no answer within the time-out, a failed transfer, a stop.
    bool unread = false;
};

// Reads the head of the segment at the address (`byteRange`, when given, being the segment's
// offset and length within the file) for its start time, from its first bytes alone:
// segmentHeadBytes at most, asked for as a range; a server that sends the whole file is read no
// further. Anything but an http(s) address with a host is not fetched. No start time, said on
// orvella.player, when the segment cannot be read within the time-out, has no MPEG-TS time stamp
// there, or on a stop.
[[nodiscard]] QCoro::Task<SegmentHead> readSegmentHead(QNetworkAccessManager &network, QUrl url,
    std::optional<std::pair<qint64, qint64>> byteRange, std::chrono::milliseconds timeout,
    std::stop_token stop);

// As readSegmentHead, for a segment of fragmented MP4 whose map (the EXT-X-MAP in force) is
// `map`: its start time as firstFmp4Time reads it.
[[nodiscard]] QCoro::Task<SegmentHead> readFmp4SegmentHead(QNetworkAccessManager &network, QUrl url,
    std::optional<std::pair<qint64, qint64>> byteRange, Fmp4Map map,
    std::chrono::milliseconds timeout, std::stop_token stop);

// What a map told.
struct Fmp4MapHead
{
    // Its server answered with an error status.
    bool refused = false;
    // None when it could not be read, or holds no picture track within its first fmp4MapBytes.
    std::optional<Fmp4Map> map;
};

// Reads the map at the address (`byteRange` as for readSegmentHead) for its picture track:
// fmp4MapBytes at most, through the same bounded read as a segment's head. A player reads each
// map once for an item and keeps what it told for every segment it is in force for.
[[nodiscard]] QCoro::Task<Fmp4MapHead> readFmp4Map(QNetworkAccessManager &network, QUrl url,
    std::optional<std::pair<qint64, qint64>> byteRange, std::chrono::milliseconds timeout,
    std::stop_token stop);

} // namespace orvella
