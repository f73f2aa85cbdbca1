#pragma once

#include "api/ContentModels.h"
#include "core/EpisodeRepeatMode.h"
#include "platform/MediaPlayer.h"
#include "screens/programs/EpisodeListModel.h"
#include "screens/programs/EpisodeProgress.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

namespace orvella {

class AppModel;
class Clock;
class PlaybackSleepGuard;
class PlayerController;

// The episode player: fetches one episode, resumes it where the viewer left it, plays it on a
// player of its own, reloads a failed start twice by itself, shows and hides the chrome and its
// menus, reports the view and positions, and at the end repeats or counts down to the next
// episode. Each episode id gets a screen of its own; leaving it stops every task, makes the leave
// record and tears the player down.
class EpisodePlayerModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(QString episodeId READ episodeId WRITE setEpisodeId NOTIFY episodeIdChanged)
    Q_PROPERTY(orvella::PlayerController *player READ player NOTIFY playerChanged)
    Q_PROPERTY(QString title READ title NOTIFY episodeChanged)
    Q_PROPERTY(QString subtitle READ subtitle NOTIFY episodeChanged)
    Q_PROPERTY(QString image READ image NOTIFY episodeChanged)
    Q_PROPERTY(QString relatedTitle READ relatedTitle NOTIFY episodeChanged)
    Q_PROPERTY(orvella::EpisodeListModel *related READ related CONSTANT)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)
    Q_PROPERTY(QString statusLine READ statusLine NOTIFY playbackChanged)
    Q_PROPERTY(bool ready READ ready NOTIFY playbackChanged)
    Q_PROPERTY(bool showsErrorPanel READ showsErrorPanel NOTIFY panelsChanged)
    Q_PROPERTY(bool showsLoadingPanel READ showsLoadingPanel NOTIFY panelsChanged)
    Q_PROPERTY(bool showsChrome READ showsChrome NOTIFY panelsChanged)
    Q_PROPERTY(bool controlsVisible READ controlsVisible NOTIFY panelsChanged)
    Q_PROPERTY(bool relatedOpen READ relatedOpen NOTIFY panelsChanged)
    Q_PROPERTY(bool qualityOpen READ qualityOpen NOTIFY panelsChanged)
    Q_PROPERTY(bool repeatOpen READ repeatOpen NOTIFY panelsChanged)
    Q_PROPERTY(bool showsPlayingNext READ showsPlayingNext NOTIFY panelsChanged)
    Q_PROPERTY(QString playingNextTitle READ playingNextTitle NOTIFY panelsChanged)
    Q_PROPERTY(QString playingNextImage READ playingNextImage NOTIFY panelsChanged)
    Q_PROPERTY(QString countdownText READ countdownText NOTIFY panelsChanged)
    Q_PROPERTY(bool captionsEnabled READ captionsEnabled NOTIFY settingsChanged)
    Q_PROPERTY(bool autoplayNext READ autoplayNext NOTIFY settingsChanged)
    Q_PROPERTY(int repeatMode READ repeatMode NOTIFY settingsChanged)
    Q_PROPERTY(QString repeatSymbol READ repeatSymbol NOTIFY settingsChanged)
    Q_PROPERTY(QString quality READ quality NOTIFY settingsChanged)
    Q_PROPERTY(QVariantList repeatRows READ repeatRows CONSTANT)
    Q_PROPERTY(QVariantList qualityRows READ qualityRows CONSTANT)
    Q_PROPERTY(QString elapsedText READ elapsedText NOTIFY playbackChanged)
    Q_PROPERTY(QString totalText READ totalText NOTIFY playbackChanged)
    Q_PROPERTY(double scrubMaximum READ scrubMaximum NOTIFY playbackChanged)
    Q_PROPERTY(double scrubPosition READ scrubPosition NOTIFY playbackChanged)
    Q_PROPERTY(double scrubValue READ scrubValue NOTIFY playbackChanged)
    Q_PROPERTY(double bufferedFraction READ bufferedFraction NOTIFY playbackChanged)

public:
    using MediaPlayerFactory = std::function<std::unique_ptr<MediaPlayer>()>;
    static constexpr const char *sleepReason = "Orvella TV playback";

    explicit EpisodePlayerModel(QObject *parent = nullptr);
    ~EpisodePlayerModel() override;

    // Tests give the clock, the media player and the sleep guard before the screen appears.
    void setClock(Clock *clock);
    void setMediaPlayerFactory(MediaPlayerFactory factory) { m_factory = std::move(factory); }
    void setSleepGuard(PlaybackSleepGuard *guard) { m_guard = guard; }

    [[nodiscard]] AppModel *app() const { return m_app; }
    void setApp(AppModel *app);
    [[nodiscard]] const QString &episodeId() const { return m_episodeId; }
    void setEpisodeId(const QString &id);
    [[nodiscard]] PlayerController *player() const { return m_player.get(); }

    [[nodiscard]] const std::optional<EpisodeDetail> &episode() const { return m_episode; }
    [[nodiscard]] const QList<EpisodeSummary> &programEpisodes() const { return m_programEpisodes; }
    [[nodiscard]] QString title() const;
    [[nodiscard]] QString subtitle() const;
    [[nodiscard]] QString image() const;
    [[nodiscard]] QString relatedTitle() const;
    [[nodiscard]] EpisodeListModel *related() const { return m_related; }
    [[nodiscard]] QString errorText() const { return m_errorText.value_or(QString()); }
    [[nodiscard]] bool hasError() const { return m_errorText.has_value(); }
    [[nodiscard]] QString statusLine() const;
    [[nodiscard]] bool ready() const;
    [[nodiscard]] bool showsErrorPanel() const { return !ready() && hasError(); }
    [[nodiscard]] bool showsLoadingPanel() const { return !ready() && !hasError(); }
    [[nodiscard]] bool showsChrome() const;
    [[nodiscard]] bool controlsVisible() const { return m_controlsVisible; }
    [[nodiscard]] bool relatedOpen() const { return m_relatedOpen; }
    [[nodiscard]] bool qualityOpen() const { return m_qualityOpen; }
    [[nodiscard]] bool repeatOpen() const { return m_repeatOpen; }
    [[nodiscard]] std::optional<int> playNextCountdown() const { return m_countdown; }
    [[nodiscard]] bool showsPlayingNext() const;
    [[nodiscard]] QString playingNextTitle() const;
    [[nodiscard]] QString playingNextImage() const;
    [[nodiscard]] QString countdownText() const;
    [[nodiscard]] bool captionsEnabled() const;
    [[nodiscard]] bool autoplayNext() const;
    [[nodiscard]] int repeatMode() const;
    [[nodiscard]] QString repeatSymbol() const;
    [[nodiscard]] QString quality() const;
    // The menus' rows, { value, text }: the three repeat modes, and every quality by its id.
    [[nodiscard]] static QVariantList repeatRows();
    [[nodiscard]] static QVariantList qualityRows();
    [[nodiscard]] QString elapsedText() const;
    [[nodiscard]] QString totalText() const;
    [[nodiscard]] double scrubMaximum() const;
    [[nodiscard]] double scrubPosition() const;
    // Where the seek bar's knob stands: under the viewer's hand during a drag, else the player.
    [[nodiscard]] double scrubValue() const { return m_scrubDrag.value_or(scrubPosition()); }
    [[nodiscard]] double bufferedFraction() const;
    [[nodiscard]] int retryCount() const { return m_retryCount; }
    [[nodiscard]] const EpisodeProgress &progress() const { return m_progress; }

    // The loading panel's text for a player status.
    [[nodiscard]] static QString friendlyStatus(const QString &status);

    // Appearing and leaving (the page calls these; the destructor leaves if the page did not).
    Q_INVOKABLE void appear();
    Q_INVOKABLE void leave();

    // Viewer actions.
    Q_INVOKABLE void tap();
    Q_INVOKABLE void pointerActivity();
    Q_INVOKABLE void hover(bool entered);
    Q_INVOKABLE void back();
    Q_INVOKABLE void refresh();
    Q_INVOKABLE void showControls();
    Q_INVOKABLE void skip(double seconds);
    Q_INVOKABLE void togglePlay();
    Q_INVOKABLE void toggleMute();
    Q_INVOKABLE void toggleCaptions();
    Q_INVOKABLE void toggleAutoplay();
    Q_INVOKABLE void toggleRepeatMenu();
    Q_INVOKABLE void selectRepeatMode(int mode);
    Q_INVOKABLE void dismissRepeat();
    Q_INVOKABLE void toggleQualityMenu();
    Q_INVOKABLE void selectQuality(const QString &id);
    Q_INVOKABLE void dismissQuality();
    Q_INVOKABLE void more();
    Q_INVOKABLE void selectRelated(int row);
    Q_INVOKABLE void closeRelated();
    Q_INVOKABLE void stopPlayNext();
    // The seek bar: every movement holds the knob there; the release seeks once, only when the
    // knob was moved.
    Q_INVOKABLE void scrubMoved(double seconds);
    Q_INVOKABLE void scrubReleased();

    // The operations the actions and counters run (tests await them).
    QCoro::Task<> load(bool forceRetry);
    QCoro::Task<> retryPlaybackIfNeeded();
    void handleEpisodeEnded();
    void beginPlayNext();
    [[nodiscard]] QList<EpisodeSummary> orderedPlaylist() const;
    [[nodiscard]] std::optional<EpisodeSummary> nextEpisodeForAutoplay() const;

signals:
    void appChanged();
    void episodeIdChanged();
    void playerChanged();
    void episodeChanged();
    void errorTextChanged();
    void playbackChanged();
    void panelsChanged();
    void settingsChanged();

private:
    void ensurePlayer();
    void reset();
    void setErrorText(std::optional<QString> text);
    void setControlsVisible(bool visible);
    void setFlag(bool &flag, bool value);
    void setCountdown(std::optional<int> value);
    void scheduleRelatedHide();
    void openNext(const EpisodeSummary &next);
    [[nodiscard]] std::optional<double> resumePosition() const;
    [[nodiscard]] std::optional<double> knownDuration() const;

    void startApplied();
    void markStartApplied();
    void timeTick();
    void failureCounterChanged(int value);
    void stallCounterChanged(int value);
    void endCounterChanged(int value);
    void playingChanged();

    QCoro::Task<> hideAfter(
        std::chrono::milliseconds span, bool closesRelated, std::stop_token stop);
    QCoro::Task<> countdown(std::stop_token stop);
    QCoro::Task<> fetchProgramEpisodes(QString programId, std::stop_token stop);
    QCoro::Task<> restartFromZero();
    QCoro::Task<> restartNearEnd();

    QPointer<AppModel> m_app;
    Clock *m_clock;
    PlaybackSleepGuard *m_guard = nullptr;
    std::unique_ptr<PlaybackSleepGuard> m_ownGuard;
    MediaPlayerFactory m_factory;
    std::unique_ptr<PlayerController> m_player;
    EpisodeListModel *m_related;
    EpisodeProgress m_progress;

    QString m_episodeId;
    std::optional<EpisodeDetail> m_episode;
    std::optional<QString> m_errorText;
    bool m_controlsVisible = true;
    bool m_relatedOpen = false;
    bool m_qualityOpen = false;
    bool m_repeatOpen = false;
    QList<EpisodeSummary> m_programEpisodes;
    std::optional<int> m_countdown;
    std::optional<double> m_scrubDrag;
    int m_retryCount = 0;
    bool m_reloadPending = false;
    // Where the current load started (none: the player's own start).
    std::optional<double> m_startAt;
    bool m_appeared = false;
    bool m_left = false;

    std::stop_source m_loadTask;
    std::stop_source m_programTask;
    std::stop_source m_hideTask;
    std::stop_source m_playNextTask;
    std::stop_source m_retryTask;
};

} // namespace orvella
