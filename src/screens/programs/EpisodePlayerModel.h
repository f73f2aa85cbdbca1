#pragma once

#include "api/ContentModels.h"
#include "platform/MediaPlayer.h"
#include "screens/programs/EpisodeChromeModel.h"
#include "screens/programs/EpisodeListModel.h"
#include "screens/programs/EpisodePlayNextQueue.h"
#include "screens/programs/EpisodeScrubberModel.h"
#include "screens/programs/EpisodeViewingHistory.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>
#include <functional>
#include <memory>
#include <optional>
#include <stop_token>

namespace orvella {

class AppModel;
class Clock;
class PlayerController;

// The episode player's face for its page: fetches one episode, resumes it, plays it on a player
// of its own (holding the display awake while it plays), reloads a failed start twice by itself
// and, at the end, repeats or moves on. Its
// parts do the rest: the chrome (visibility, menus, controls), the seek bar, the play-next queue
// and the viewing history. Each episode id gets a screen of its own; leaving it stops every
// task, makes the leave record and tears the player down.
class EpisodePlayerModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(QString episodeId READ episodeId WRITE setEpisodeId NOTIFY episodeIdChanged)
    Q_PROPERTY(orvella::PlayerController *player READ player NOTIFY playerChanged)
    Q_PROPERTY(orvella::EpisodeChromeModel *chrome READ chrome CONSTANT)
    Q_PROPERTY(orvella::EpisodeScrubberModel *scrubber READ scrubber CONSTANT)
    Q_PROPERTY(orvella::EpisodePlayNextQueue *playNext READ playNext CONSTANT)
    Q_PROPERTY(orvella::EpisodeListModel *related READ related CONSTANT)
    Q_PROPERTY(QString title READ title NOTIFY episodeChanged)
    Q_PROPERTY(QString subtitle READ subtitle NOTIFY episodeChanged)
    Q_PROPERTY(QString image READ image NOTIFY episodeChanged)
    Q_PROPERTY(QString relatedTitle READ relatedTitle NOTIFY episodeChanged)
    Q_PROPERTY(QString errorText READ errorText NOTIFY errorTextChanged)
    Q_PROPERTY(QString statusLine READ statusLine NOTIFY playbackChanged)
    Q_PROPERTY(bool ready READ ready NOTIFY playbackChanged)
    Q_PROPERTY(bool showsErrorPanel READ showsErrorPanel NOTIFY panelsChanged)
    Q_PROPERTY(bool showsLoadingPanel READ showsLoadingPanel NOTIFY panelsChanged)
    Q_PROPERTY(bool showsChrome READ showsChrome NOTIFY panelsChanged)

public:
    using MediaPlayerFactory = std::function<std::unique_ptr<MediaPlayer>()>;

    explicit EpisodePlayerModel(QObject *parent = nullptr);
    ~EpisodePlayerModel() override;

    // Tests give the clock and the media player before the screen appears.
    void setClock(Clock *clock);
    void setMediaPlayerFactory(MediaPlayerFactory factory) { m_factory = std::move(factory); }

    [[nodiscard]] AppModel *app() const { return m_app; }
    void setApp(AppModel *app);
    [[nodiscard]] const QString &episodeId() const { return m_episodeId; }
    void setEpisodeId(const QString &id);
    [[nodiscard]] PlayerController *player() const { return m_player.get(); }
    [[nodiscard]] EpisodeChromeModel *chrome() const { return m_chrome; }
    [[nodiscard]] EpisodeScrubberModel *scrubber() const { return m_scrubber; }
    [[nodiscard]] EpisodePlayNextQueue *playNext() const { return m_playNext; }
    [[nodiscard]] EpisodeListModel *related() const { return m_related; }
    [[nodiscard]] const EpisodeViewingHistory &history() const { return m_history; }

    [[nodiscard]] const std::optional<EpisodeDetail> &episode() const { return m_episode; }
    [[nodiscard]] QString title() const;
    [[nodiscard]] QString subtitle() const;
    [[nodiscard]] QString image() const;
    [[nodiscard]] QString relatedTitle() const;
    [[nodiscard]] QString errorText() const;
    [[nodiscard]] bool hasError() const { return m_errorText.has_value(); }
    [[nodiscard]] QString statusLine() const;
    [[nodiscard]] bool ready() const;
    [[nodiscard]] bool showsErrorPanel() const { return !ready() && hasError(); }
    [[nodiscard]] bool showsLoadingPanel() const { return !ready() && !hasError(); }
    [[nodiscard]] bool showsChrome() const;
    [[nodiscard]] int retryCount() const { return m_retryCount; }

    // The loading panel's text for a player status.
    [[nodiscard]] static QString friendlyStatus(const QString &status);

    // Appearing and leaving (the page calls these; the destructor leaves if the page did not).
    Q_INVOKABLE void appear();
    Q_INVOKABLE void leave();

    // Viewer actions of the page itself.
    Q_INVOKABLE void back();
    Q_INVOKABLE void refresh();
    Q_INVOKABLE void selectRelated(int row);

    // The operations the actions and counters run (tests await them).
    QCoro::Task<> load(bool forceRetry);
    QCoro::Task<> retryPlaybackIfNeeded();
    void handleEpisodeEnded();

signals:
    void appChanged();
    void episodeIdChanged();
    void playerChanged();
    void episodeChanged();
    void errorTextChanged();
    void playbackChanged();
    void panelsChanged();

private:
    void ensurePlayer();
    void setErrorText(std::optional<QString> text);
    void openNext(const QString &id);
    [[nodiscard]] std::optional<double> knownDuration() const;

    void startApplied();
    void markStartApplied();
    void timeTick();
    void failureCounterChanged(int value);
    void stallCounterChanged(int value);
    void endCounterChanged(int value);
    void playingChanged();

    QCoro::Task<> restartFromZero();
    QCoro::Task<> restartNearEnd();

    QPointer<AppModel> m_app;
    Clock *m_clock;
    MediaPlayerFactory m_factory;
    std::unique_ptr<PlayerController> m_player;
    EpisodeChromeModel *m_chrome;
    EpisodeScrubberModel *m_scrubber;
    EpisodePlayNextQueue *m_playNext;
    EpisodeListModel *m_related;
    EpisodeViewingHistory m_history;

    QString m_episodeId;
    std::optional<EpisodeDetail> m_episode;
    std::optional<QString> m_errorText;
    int m_retryCount = 0;
    bool m_reloadPending = false;
    // Where the current load started (none: the player's own start), and whether it is an
    // automatic reload.
    std::optional<double> m_startAt;
    bool m_startIsReload = false;
    bool m_appeared = false;
    bool m_left = false;

    std::stop_source m_loadTask;
    std::stop_source m_retryTask;
};

} // namespace orvella
