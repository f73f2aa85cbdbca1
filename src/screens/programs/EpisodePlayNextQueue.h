#pragma once

#include "api/ContentModels.h"

#include <QCoro/QCoroTask>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>
#include <functional>
#include <optional>
#include <stop_token>

namespace orvella {

class AppModel;
class Clock;

// What the episode player plays next: the programme's episodes (fetched once, else the
// episode's related ones) that autoplay and repeat-all walk, and the five-second countdown to
// the next episode with the playing-next card it shows.
class EpisodePlayNextQueue : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Part of the episode player")

    Q_PROPERTY(bool showsCard READ showsCard NOTIFY changed)
    Q_PROPERTY(QString title READ title NOTIFY changed)
    Q_PROPERTY(QString image READ image NOTIFY changed)
    Q_PROPERTY(QString countdownText READ countdownText NOTIFY changed)

public:
    static constexpr int countdownFrom = 5;

    // `open` plays an episode by id; `showControls` brings the chrome back.
    EpisodePlayNextQueue(std::function<void(const QString &)> open,
        std::function<void()> showControls, QObject *parent = nullptr);
    ~EpisodePlayNextQueue() override;

    void setClock(Clock *clock) { m_clock = clock; }
    // The episode on screen and its related episodes (the list used until the programme's
    // arrives).
    void setEpisode(const QString &episodeId, QList<EpisodeSummary> related);
    // Fetches the programme's episodes; a failure leaves the related ones in use.
    void fetchProgramEpisodes(AppModel *app, const QString &programId);

    [[nodiscard]] const QList<EpisodeSummary> &programEpisodes() const { return m_programEpisodes; }
    [[nodiscard]] QList<EpisodeSummary> orderedPlaylist() const;
    // The next episode for autoplay and repeat-all; none when nothing can be opened.
    [[nodiscard]] std::optional<EpisodeSummary> next() const;
    [[nodiscard]] std::optional<int> countdown() const { return m_countdown; }

    [[nodiscard]] bool showsCard() const;
    [[nodiscard]] QString title() const;
    [[nodiscard]] QString image() const;
    [[nodiscard]] QString countdownText() const;

    // Counts down from 5 and then opens the next episode.
    void start();
    // Ends the countdown, if any, without opening anything.
    void cancel();
    // The card's Stop: the countdown ends and the chrome shows.
    Q_INVOKABLE void stop();

signals:
    void changed();

private:
    void setCountdown(std::optional<int> value);
    QCoro::Task<> run(std::stop_token stop);
    QCoro::Task<> fetch(QPointer<AppModel> app, QString programId, std::stop_token stop);

    std::function<void(const QString &)> m_open;
    std::function<void()> m_showControls;
    Clock *m_clock;
    QString m_episodeId;
    QList<EpisodeSummary> m_related;
    QList<EpisodeSummary> m_programEpisodes;
    std::optional<int> m_countdown;
    std::stop_source m_countdownTask;
    std::stop_source m_programTask;
};

} // namespace orvella
