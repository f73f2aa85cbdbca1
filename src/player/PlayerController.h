#pragma once

#include "platform/MediaPlayer.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QString>
#include <QTimer>
#include <QUrl>
#include <QtQml/qqmlregistration.h>
#include <memory>
#include <optional>

namespace orvella {

// The observable owner of one media player: loads a stream (live or on demand), follows its
// pause state at once, publishes position and ranges once a second, turns item status, end, stall
// and failure into published state and event counters, and offers seeking, play and pause, volume,
// a quality cap and captions. It never retries on its own: owners watch the counters and recover.
class PlayerController : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Owned by the app model and the player screens")

    Q_PROPERTY(MediaPlayer *player READ player CONSTANT)
    Q_PROPERTY(bool isPlaying READ isPlaying NOTIFY isPlayingChanged)
    Q_PROPERTY(bool isMuted READ isMuted WRITE setIsMuted NOTIFY isMutedChanged)
    Q_PROPERTY(float volume READ volume NOTIFY volumeChanged)
    Q_PROPERTY(double duration READ duration NOTIFY durationChanged)
    Q_PROPERTY(double currentTime READ currentTime NOTIFY currentTimeChanged)
    Q_PROPERTY(double buffered READ buffered NOTIFY bufferedChanged)
    Q_PROPERTY(QString statusText READ statusText NOTIFY statusTextChanged)
    Q_PROPERTY(bool isLive READ isLive NOTIFY isLiveChanged)
    Q_PROPERTY(bool isReady READ isReady NOTIFY isReadyChanged)
    Q_PROPERTY(int endedGeneration READ endedGeneration NOTIFY endedGenerationChanged)
    Q_PROPERTY(int failedGeneration READ failedGeneration NOTIFY failedGenerationChanged)
    Q_PROPERTY(int stalledGeneration READ stalledGeneration NOTIFY stalledGenerationChanged)
    Q_PROPERTY(double seekableStart READ seekableStart NOTIFY seekableChanged)
    Q_PROPERTY(double seekableEnd READ seekableEnd NOTIFY seekableChanged)
    Q_PROPERTY(bool hasCurrentItem READ hasCurrentItem NOTIFY currentItemChanged)

public:
    // Without a player the platform's default (libmpv) player is created.
    explicit PlayerController(std::unique_ptr<MediaPlayer> player = {}, QObject *parent = nullptr);
    ~PlayerController() override;

    [[nodiscard]] MediaPlayer *player() const { return m_player.get(); }
    [[nodiscard]] bool hasCurrentItem() const { return m_player->hasCurrentItem(); }

    // Not paused: the media player's own state, followed at once (also while it waits for data).
    [[nodiscard]] bool isPlaying() const { return m_isPlaying; }
    [[nodiscard]] bool isMuted() const { return m_isMuted; }
    void setIsMuted(bool value);
    [[nodiscard]] float volume() const { return m_volume; }
    [[nodiscard]] double duration() const { return m_duration; }
    [[nodiscard]] double currentTime() const { return m_currentTime; }
    [[nodiscard]] double buffered() const { return m_buffered; }
    [[nodiscard]] QString statusText() const { return m_statusText; }
    [[nodiscard]] bool isLive() const { return m_isLive; }
    [[nodiscard]] bool isReady() const { return m_isReady; }
    [[nodiscard]] int endedGeneration() const { return m_endedGeneration; }
    [[nodiscard]] int failedGeneration() const { return m_failedGeneration; }
    [[nodiscard]] int stalledGeneration() const { return m_stalledGeneration; }
    [[nodiscard]] double seekableStart() const { return m_seekableStart; }
    [[nodiscard]] double seekableEnd() const { return m_seekableEnd; }

    // Someone asked for playback to run; stall handling and the owners' recovery act only then.
    [[nodiscard]] bool wantsPlayback() const { return m_wantsPlayback; }
    void setWantsPlayback(bool value) { m_wantsPlayback = value; }

    // Replaces the current item. Call setQuality() after each load (a load removes any cap).
    void load(const QUrl &url, bool autoplay, std::optional<double> startAt, bool isLive);
    QCoro::Task<> resumeLiveAtEdge();
    QCoro::Task<> seek(double seconds);
    Q_INVOKABLE void togglePlay();
    Q_INVOKABLE void setVolume(float volume);
    // Writes the mute state to both the published flag and the media player.
    Q_INVOKABLE void setMuted(bool muted);
    Q_INVOKABLE void setQuality(const QString &qualityId);
    QCoro::Task<> setCaptions(bool enabled, std::optional<QString> preferredLanguage);
    Q_INVOKABLE void tearDown();
    // Starts a seek from QML; the seek runs to its end on its own.
    Q_INVOKABLE void seekTo(double seconds);

    // The play nudge the owners use to resume: wants playback, play, playing.
    Q_INVOKABLE void nudgePlay();

    // The once-a-second time update (also called directly by tests).
    void refreshTime();

signals:
    void isPlayingChanged();
    void isMutedChanged();
    void volumeChanged();
    void durationChanged();
    void currentTimeChanged();
    void bufferedChanged();
    void statusTextChanged();
    void isLiveChanged();
    void isReadyChanged();
    void endedGenerationChanged(int value);
    void failedGenerationChanged(int value);
    void stalledGenerationChanged(int value);
    void seekableChanged();
    void currentItemChanged();
    // The item became ready and its start position (if any) has been sought to.
    void startPositionApplied();

private:
    struct LoadContext
    {
        bool isLive = false;
        std::optional<double> startAt;
        bool autoplay = false;
    };

    void handleItemStatus();
    QCoro::Task<> handleReady(LoadContext context);
    void handlePlayedToEnd();
    // A live item reached the end of what it holds: on at the edge, or a stall when nothing came
    // after the end it reached last.
    void handleLiveEnd();
    void handleStalled();
    void handleFailedToPlayToEnd();
    void followPauseState();
    void setStatusText(const QString &text);
    void setIsReady(bool value);
    void setIsLive(bool value);
    void setSeekable(double start, double end);
    void bumpFailed();

    std::unique_ptr<MediaPlayer> m_player;
    QTimer m_timeObserver;
    LoadContext m_context;
    quint64 m_loadSerial = 0; // each load and tear-down
    bool m_observingItem = false;
    // Where the seekable range of the current live item ended when it last reached its end.
    std::optional<double> m_liveEndReached;

    bool m_isPlaying = false;
    bool m_isMuted = false;
    float m_volume = 1;
    double m_duration = 0;
    double m_currentTime = 0;
    double m_buffered = 0;
    QString m_statusText = QStringLiteral("Ready");
    bool m_isLive = false;
    bool m_isReady = false;
    int m_endedGeneration = 0;
    int m_failedGeneration = 0;
    int m_stalledGeneration = 0;
    double m_seekableStart = 0;
    double m_seekableEnd = 0;
    bool m_wantsPlayback = false;
};

} // namespace orvella
