#pragma once

// The library pages' models over a signed-in app model on the service double.

#include "core/AppModelHarness.h"

#include <QJsonArray>

namespace orvella::test {

inline QJsonArray libraryEpisodes(int from, int count)
{
    QJsonArray list;
    for (int id = from; id < from + count; ++id)
        list.append(
            QJsonObject { { "id", id }, { "title", QStringLiteral("Episode %1").arg(id) } });
    return list;
}

// A programme page; a null programme leaves its key out.
inline ScriptedAnswer programPage(const QJsonArray &episodes,
    const QJsonValue &program = QJsonObject { { "id", 79 }, { "title", "Quillory" } })
{
    QJsonObject data { { "episodes", episodes } };
    if (!program.isNull())
        data.insert("program", program);
    return ScriptedAnswer::envelope(data);
}

// Every page of a programme, by the number of episodes on it; pages after the first are late.
inline void servePages(ServiceDouble &service, const QString &pattern,
    std::function<int(int)> countOf, std::chrono::milliseconds laterPagesDelay = {})
{
    service.handle("GET", pattern, [=](const RecordedRequest &request) {
        const int page = request.queryValue(u"page"_qs).toInt();
        return programPage(libraryEpisodes(page * 1000, countOf(page)))
            .withDelay(page > 1 ? laterPagesDelay : std::chrono::milliseconds(0));
    });
}

inline ScriptedAnswer programmeList(const QStringList &titles, int firstId = 1)
{
    QJsonArray programs;
    for (const QString &title : titles)
        programs.append(QJsonObject { { "id", firstId++ }, { "title", title } });
    return ScriptedAnswer::envelope(QJsonObject { { "programs", programs } });
}

class LibraryHarness : public AppModelHarness
{
protected:
    template<typename T>
    T &make()
    {
        if (!model) {
            storeSession();
            build().restoreSession();
        }
        models.push_back(std::make_unique<T>());
        auto &screen = static_cast<T &>(*models.back());
        screen.setApp(model.get());
        return screen;
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
