#pragma once

// How far the times of libmpv, FFmpeg's reader and a playlist may differ and still be taken as
// one: shared by the parts of PlaylistTimeline only.
namespace orvella::timelinetolerances {
// Pictures and sound may run this far past a part's length in the playlist.
inline constexpr double partSlack = 1.0;
// Playback goes forward; a restart may report a little before the last position.
inline constexpr double backwardTolerance = 0.25;
// After a jump, positions go on from its first one within this.
inline constexpr double jumpConfirmation = 2.0;
// A landing this close to its target is there (under two pictures).
inline constexpr double landingPrecision = 0.05;
// Two parts share a raw time when their time stamps lie this far apart at most.
inline constexpr double sharedRawSlack = 0.1;
// FFmpeg's reader picks the segment of a seek from the playlist's durations counted from the
// first time stamp it read (which may differ from libmpv's zero by some milliseconds): the seek
// asks for a time this far inside its segment, so that segment is the one read.
inline constexpr double segmentMargin = 0.25;
// FFmpeg's reader starts a seek at the first key frame stamped at or after its segment's start
// by the playlist's durations (counted from the first time stamp of the load). A part stamped
// less than this past its place (time stamps running on across a join, a little below it) is
// asked for inside the segment before the target's: that segment's key frame is passed over and
// the target segment's is the first kept.
inline constexpr double keyFrameLead = 0.1;
// How far below its place a part may be stamped and still be reached that way.
inline constexpr double reachBelow = 0.5;
// A load whose reader starts this much later in its first part than asked passed over segments
// (a time stamp read from a segment's head may differ from libmpv's start by a few pictures).
inline constexpr double passedOverSlack = 0.5;
// What a fragmented part's load reads ahead beyond the segment after the target's: libmpv's
// cache closes a range at the next key frame.
inline constexpr double cacheReachMargin = 1.0;

} // namespace orvella::timelinetolerances
