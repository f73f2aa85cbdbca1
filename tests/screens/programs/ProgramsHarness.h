#pragma once

// The programme screens' models over an app model on the service double, with a manual clock;
// the episode player plays on fake media players the test reaches.

#include "core/AppModelHarness.h"
#include "platform/Clock.h"
#include "screens/programs/EpisodePlayerModel.h"

#include <QJsonArray>

namespace orvella::test {

inline QJsonObject episodeSummaryJson(int id, const QString &title = {})
{
    return { { "id", id },
        { "title", title.isEmpty() ? QStringLiteral("Episode %1").arg(id) : title },
        { "duration", 600 } };
}

inline QJsonArray episodeList(int from, int count)
{
    QJsonArray list;
    for (int id = from; id < from + count; ++id)
        list.append(episodeSummaryJson(id));
    return list;
}

inline QJsonObject programAnswer(const QJsonArray &episodes, const QString &title = u"Healing"_qs)
{
    return { { "program",
                 QJsonObject { { "id", 7 }, { "title", title },
                     { "episode_count", episodes.size() }, { "description", "Teachings" },
                     { "banner", "" } } },
        { "episodes", episodes } };
}

inline QJsonObject episodeDetailJson(const QString &id, const QString &url,
    const QJsonArray &related = {}, const QString &programId = u"7"_qs)
{
    QJsonObject episode { { "id", id }, { "title", "Faith &amp; Works" }, { "duration", 1800 },
        { "image", "" }, { "related", related } };
    if (!url.isEmpty())
        episode.insert("hls_url", url);
    if (!programId.isEmpty())
        episode.insert("program", QJsonObject { { "id", programId }, { "title", "Healing" } });
    return episode;
}

class ProgramsHarness : public AppModelHarness
{
protected:
    EpisodePlayerModel &makePlayer(AppModel &app, const QString &id)
    {
        episodeScreens.push_back(std::make_unique<EpisodePlayerModel>());
        EpisodePlayerModel &screen = *episodeScreens.back();
        screen.setClock(&clock);
        screen.setMediaPlayerFactory([this] {
            auto fake = std::make_unique<FakeMediaPlayer>();
            media = fake.get();
            return fake;
        });
        screen.setApp(&app);
        screen.setEpisodeId(id);
        return screen;
    }

    void advance(std::chrono::milliseconds span)
    {
        clock.advance(span);
        spinFor(std::chrono::milliseconds(30));
    }

    void TearDown() override
    {
        episodeScreens.clear();
        spinFor(std::chrono::milliseconds(20));
        AppModelHarness::TearDown();
    }

    ManualClock clock;
    FakeMediaPlayer *media = nullptr;
    std::vector<std::unique_ptr<EpisodePlayerModel>> episodeScreens;
};

} // namespace orvella::test
