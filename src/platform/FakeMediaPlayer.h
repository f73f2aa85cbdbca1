#pragma once

#include "platform/MediaPlayer.h"

#include <QCoro/QCoroSignal>
#include <vector>

namespace orvella {

// A media player whose state tests script by hand. Every call is recorded; events are raised
// with the helpers below. Seeks complete at once unless holdSeeks is set, in which case they
// wait for completeSeeks().
class FakeMediaPlayer : public MediaPlayer
{
    Q_OBJECT
public:
    using MediaPlayer::MediaPlayer;

    struct Load
    {
        QUrl url;
        MediaItemSettings settings;
    };

    // MediaPlayer
    void replaceCurrentItem(const QUrl &url, const MediaItemSettings &settings) override;
    void clearCurrentItem() override;
    [[nodiscard]] bool hasCurrentItem() const override { return m_hasItem; }
    [[nodiscard]] QUrl currentUrl() const override { return m_url; }
    [[nodiscard]] ItemStatus itemStatus() const override { return m_status; }
    void play() override;
    void pause() override;
    [[nodiscard]] double rate() const override { return m_rate; }
    [[nodiscard]] bool isPaused() const override { return m_paused; }
    [[nodiscard]] double currentTime() const override { return m_time; }
    [[nodiscard]] double duration() const override { return m_duration; }
    [[nodiscard]] QList<MediaTimeRange> loadedTimeRanges() const override { return m_loaded; }
    [[nodiscard]] QList<MediaTimeRange> seekableTimeRanges() const override { return m_seekable; }
    [[nodiscard]] bool isPlaybackLikelyToKeepUp() const override { return m_likelyToKeepUp; }
    [[nodiscard]] bool isPlaybackBufferEmpty() const override { return m_bufferEmpty; }
    QCoro::Task<bool> seek(double seconds) override;
    void setVolume(float volume) override { m_volume = volume; }
    [[nodiscard]] float volume() const override { return m_volume; }
    void setMuted(bool muted) override { m_muted = muted; }
    [[nodiscard]] bool isMuted() const override { return m_muted; }
    void setPreferredPeakBitRate(double bitsPerSecond) override { m_peak = bitsPerSecond; }
    void setPreferredMaximumResolution(QSize size) override { m_maxSize = size; }
    [[nodiscard]] double preferredPeakBitRate() const override { return m_peak; }
    [[nodiscard]] QSize preferredMaximumResolution() const override { return m_maxSize; }
    QCoro::Task<std::optional<QList<LegibleOption>>> loadLegibleOptions() override;
    void selectLegibleOption(std::optional<int> index) override;
    [[nodiscard]] std::optional<int> selectedLegibleOption() const override { return m_selected; }

    [[nodiscard]] QSize presentationSize() const override { return m_presentationSize; }
    [[nodiscard]] bool rendersInSoftware() const override { return !drawsThroughOpenGl; }
    [[nodiscard]] QImage softwareFrame() const override { return m_frame; }
    void setSoftwareFrameSize(QSize pixels) override { frameSize = pixels; }
    void setVideoFill(bool value) override { fill = value; }
    void setCaptionInset(double share) override { captionInset = share; }
    [[nodiscard]] QQuickFramebufferObject::Renderer *createOpenGlRenderer() override
    {
        return nullptr;
    }

    // Scripting.
    // Asks for the OpenGL path, for which it has no renderer.
    bool drawsThroughOpenGl = false;
    void setPresentationSize(QSize size) { m_presentationSize = size; }
    void showFrame(const QImage &frame)
    {
        m_frame = frame;
        emit frameRendered();
    }
    QSize frameSize;
    bool fill = false;
    double captionInset = 0;
    void setItemStatus(ItemStatus status);
    // Rate the player takes on play(); play() with playRate 0 models a player that is stuck.
    double playRate = 1.0;
    void setRate(double rate);
    void setCurrentTime(double seconds) { m_time = seconds; }
    void setDuration(double seconds) { m_duration = seconds; }
    void setLoadedTimeRanges(QList<MediaTimeRange> ranges) { m_loaded = std::move(ranges); }
    void setSeekableTimeRanges(QList<MediaTimeRange> ranges) { m_seekable = std::move(ranges); }
    void setLikelyToKeepUp(bool value) { m_likelyToKeepUp = value; }
    void setBufferEmpty(bool value) { m_bufferEmpty = value; }
    // Options the next loadLegibleOptions() returns; none models a stream without a group.
    std::optional<QList<LegibleOption>> legibleOptions;
    bool holdSeeks = false;
    void completeSeeks();
    // As libmpv keeps an item open at its end: it pauses, then reports the end.
    void finishItem();
    // The player pausing or resuming by itself.
    void setPaused(bool paused);
    void stall() { emit playbackStalled(); }
    void failToPlayToEnd() { emit failedToPlayToEnd(); }

    // Record of calls.
    std::vector<Load> loads;
    std::vector<double> seeks;
    int playCalls = 0;
    int pauseCalls = 0;
    int legibleSelections = 0;

signals:
    void seeksCompleted();

private:
    bool m_hasItem = false;
    QUrl m_url;
    ItemStatus m_status = ItemStatus::Unknown;
    double m_rate = 0;
    bool m_paused = true;
    double m_time = 0;
    double m_duration = 0;
    QList<MediaTimeRange> m_loaded;
    QList<MediaTimeRange> m_seekable;
    bool m_likelyToKeepUp = true;
    bool m_bufferEmpty = false;
    float m_volume = 1;
    bool m_muted = false;
    double m_peak = 0;
    QSize m_maxSize;
    std::optional<int> m_selected;
    QSize m_presentationSize;
    QImage m_frame;
};

} // namespace orvella
