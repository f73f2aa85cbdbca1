#pragma once

#include <QCoro/QCoroTask>
#include <QImage>
#include <QList>
#include <QObject>
#include <QQuickFramebufferObject>
#include <QSize>
#include <QString>
#include <QUrl>
#include <algorithm>
#include <optional>

namespace orvella {

// A span of media time in seconds, as the player reports loaded and seekable ranges.
struct MediaTimeRange
{
    double start = 0;
    double duration = 0;
    [[nodiscard]] double end() const { return start + duration; }
    bool operator==(const MediaTimeRange &) const = default;
};

// One of the ranges holds the time (its ends included).
[[nodiscard]] inline bool rangesHold(const QList<MediaTimeRange> &ranges, double time)
{
    return std::any_of(ranges.begin(), ranges.end(),
        [time](const MediaTimeRange &range) { return time >= range.start && time <= range.end(); });
}

// One caption (legible) rendition of the current item.
struct LegibleOption
{
    QString language; // BCP 47 tag as the stream names it, may be empty
    QString name;
    bool isDefault = false;
    bool operator==(const LegibleOption &) const = default;
};

// Per-item buffering choices, given with each load.
struct MediaItemSettings
{
    double forwardBufferSeconds = 0.5;
    bool waitsToMinimizeStalling = false;
    bool networkWhilePaused = true;
};

// What the application needs of a platform media player: one current item at a time, its
// status and events, position and ranges, seeking, volume, caps and caption selection. Events
// belong to the current item only: an item that was replaced or cleared reports nothing more.
class MediaPlayer : public QObject
{
    Q_OBJECT
public:
    enum class ItemStatus { Unknown, ReadyToPlay, Failed };
    Q_ENUM(ItemStatus)

    using QObject::QObject;
    ~MediaPlayer() override = default;

    // Replaces the current item. Accepted at any time, also before anything can draw the video.
    virtual void replaceCurrentItem(const QUrl &url, const MediaItemSettings &settings) = 0;
    virtual void clearCurrentItem() = 0;
    [[nodiscard]] virtual bool hasCurrentItem() const = 0;
    [[nodiscard]] virtual QUrl currentUrl() const = 0;
    [[nodiscard]] virtual ItemStatus itemStatus() const = 0;

    virtual void play() = 0;
    virtual void pause() = 0;
    // Until the next play(), nothing more of the captions is read (the viewer is gone). A pause
    // alone goes on reading a live item's captions as far as its picture is read.
    virtual void stopCaptionReads() { }
    // Paused, as asked last or as the player paused itself (at the end of an item); not paused
    // while it waits for data. Kept across items.
    [[nodiscard]] virtual bool isPaused() const = 0;
    // Above 0 while media time advances; 0 when paused, waiting for data or without an item.
    [[nodiscard]] virtual double rate() const = 0;

    // Seconds; not finite when unknown (duration of a live item is infinite).
    [[nodiscard]] virtual double currentTime() const = 0;
    [[nodiscard]] virtual double duration() const = 0;
    [[nodiscard]] virtual QList<MediaTimeRange> loadedTimeRanges() const = 0;
    [[nodiscard]] virtual QList<MediaTimeRange> seekableTimeRanges() const = 0;
    [[nodiscard]] virtual bool isPlaybackLikelyToKeepUp() const = 0;
    [[nodiscard]] virtual bool isPlaybackBufferEmpty() const = 0;

    // Exact seek; resumes when the player finished it (or dropped it). True when it completed.
    virtual QCoro::Task<bool> seek(double seconds) = 0;

    virtual void setVolume(float volume) = 0;
    [[nodiscard]] virtual float volume() const = 0;
    virtual void setMuted(bool muted) = 0;
    [[nodiscard]] virtual bool isMuted() const = 0;

    // Caps of the current item; 0 and an empty size mean no cap. A new item starts uncapped.
    virtual void setPreferredPeakBitRate(double bitsPerSecond) = 0;
    virtual void setPreferredMaximumResolution(QSize size) = 0;
    [[nodiscard]] virtual double preferredPeakBitRate() const = 0;
    [[nodiscard]] virtual QSize preferredMaximumResolution() const = 0;

    // The caption renditions of the current item; none when the item has no caption group or
    // the group cannot be loaded.
    virtual QCoro::Task<std::optional<QList<LegibleOption>>> loadLegibleOptions() = 0;
    // Selects a caption rendition by index in the loaded options, or none (captions off).
    virtual void selectLegibleOption(std::optional<int> index) = 0;
    [[nodiscard]] virtual std::optional<int> selectedLegibleOption() const = 0;

    // Size of the current picture in pixels; empty before the first frame is known.
    [[nodiscard]] virtual QSize presentationSize() const = 0;

    // Video output. A player draws either in software (the latest frame, at the size asked
    // for) or into an OpenGL framebuffer through a renderer that the video item hosts. An
    // OpenGL player moves to software when the renderer finds the driver rasterizes in
    // software itself (outputChanged).
    [[nodiscard]] virtual bool rendersInSoftware() const = 0;
    [[nodiscard]] virtual QImage softwareFrame() const = 0;
    virtual void setSoftwareFrameSize(QSize pixels) = 0;
    // Fill crops the picture to the surface; fit letterboxes it.
    virtual void setVideoFill(bool fill) = 0;
    // Captions stay above this share (0 to 1) of the surface's height at its bottom, where
    // controls lie over the picture; 0 puts them back at the bottom.
    virtual void setCaptionInset(double share) = 0;
    // A renderer for the scene graph's render thread; null when the player draws in software.
    [[nodiscard]] virtual QQuickFramebufferObject::Renderer *createOpenGlRenderer() = 0;

signals:
    // A new picture was drawn (software frame ready, or the OpenGL surface needs a redraw).
    void frameRendered();
    // rendersInSoftware() changed.
    void outputChanged();
    void itemStatusChanged();
    void playedToEnd();
    void playbackStalled();
    void failedToPlayToEnd();
    void currentItemChanged();
    void rateChanged();
    void pausedChanged();
};

} // namespace orvella
