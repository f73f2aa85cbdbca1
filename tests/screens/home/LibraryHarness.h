#pragma once

// The library screens' models over a signed-in app model on the service double.

#include "core/AppModelHarness.h"

#include <QJsonArray>

namespace orvella::test {

inline QJsonArray libraryEpisodes(int from, int count)
{
    QJsonArray list;
    for (int id = from; id < from + count; ++id)
        list.append(QJsonObject { { "id", id }, { "title", QStringLiteral("Episode %1").arg(id) },
            { "image", QStringLiteral("http://127.0.0.1:9/e%1.jpg").arg(id) },
            { "duration", 600 } });
    return list;
}

// A programme page; a null programme leaves the key out.
inline ScriptedAnswer programPage(const QJsonArray &episodes,
    const QJsonValue &program = QJsonObject { { "id", 79 }, { "title", "Quillory" } })
{
    QJsonObject data { { "episodes", episodes } };
    if (!program.isNull())
        data.insert("program", program);
    return ScriptedAnswer::envelope(data);
}

// Answers every page of a programme from the number of episodes on each.
inline void servePages(ServiceDouble &service, const QString &pattern,
    std::function<int(int page)> countOf, std::chrono::milliseconds laterPagesDelay = {},
    const QJsonValue &program = QJsonObject { { "id", 79 }, { "title", "Quillory" } })
{
    service.handle("GET", pattern, [=](const RecordedRequest &request) {
        const int page = request.queryValue(u"page"_qs).toInt();
        ScriptedAnswer answer = programPage(libraryEpisodes(page * 1000, countOf(page)), program);
        return page > 1 ? answer.withDelay(laterPagesDelay) : answer;
    });
}

inline QJsonObject programmeList(const QStringList &titles, int firstId = 1)
{
    QJsonArray programs;
    for (const QString &title : titles)
        programs.append(QJsonObject { { "id", firstId++ }, { "title", title } });
    return { { "programs", programs } };
}

class LibraryHarness : public AppModelHarness
{
protected:
    AppModel &signedIn()
    {
        storeSession();
        AppModel &app = build();
        app.restoreSession();
        return app;
    }

    template<typename T>
    T &make(AppModel &app)
    {
        auto model = std::make_unique<T>();
        T &ref = *model;
        ref.setApp(&app);
        models.push_back(std::move(model));
        return ref;
    }

    void TearDown() override
    {
        models.clear();
        spinFor(std::chrono::milliseconds(20));
        AppModelHarness::TearDown();
    }

    std::vector<std::unique_ptr<QObject>> models;
};

} // namespace orvella::test
