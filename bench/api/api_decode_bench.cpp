// The client's decode path (envelope, then the endpoint's models) against a bare
// QJsonDocument::fromJson of the same bytes, measured in the same run. The "ratio" counter is
// decode path time over bare parse time; the target is at most 2.

#include "api/APIEnvelope.h"
#include "api/AnswerDecoding.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <benchmark/benchmark.h>
#include <chrono>
#include <functional>

using namespace Qt::StringLiterals;
using namespace orvella;

namespace {

QByteArray envelope(const QJsonObject &data)
{
    return QJsonDocument(QJsonObject { { "status", "success" }, { "data", data },
                             { "meta", QJsonObject { { "page", 1 }, { "per_page", 5000 } } } })
        .toJson(QJsonDocument::Compact);
}

QByteArray programmeList(int count)
{
    QJsonArray programs;
    for (int i = 0; i < count; ++i) {
        programs.append(QJsonObject {
            { "id", i % 3 ? QJsonValue(i) : QJsonValue(QString::number(i)) },
            { "title", u"Programme number %1 with a reasonably long title"_s.arg(i) },
            { "slug", u"programme-number-%1"_s.arg(i) },
            { "description",
                u"A description of programme %1, the kind of text a catalogue carries "
                "for every entry so that the grid can show it."_s.arg(i) },
            { "image", u"https://images.example.org/programs/%1/poster.jpg"_s.arg(i) },
            { "banner", u"https://images.example.org/programs/%1/banner.jpg"_s.arg(i) },
            { "episode_count", i % 2 ? QJsonValue(i % 400) : QJsonValue(QString::number(i % 400)) },
            { "updated_at", 1767225600 + i }, { "is_documentary", i % 5 == 0 } });
    }
    return envelope(QJsonObject { { "programs", programs } });
}

QByteArray programmeAnswer(int episodes)
{
    QJsonArray list;
    for (int i = 0; i < episodes; ++i) {
        list.append(QJsonObject { { "id", i },
            { "title", u"Episode %1 of the long-running programme"_s.arg(i) },
            { "name", u"episode-%1"_s.arg(i) },
            { "image", u"https://images.example.org/episodes/%1/thumb.jpg"_s.arg(i) },
            { "duration", i % 2 ? QJsonValue(1800 + i) : QJsonValue(QString::number(1800 + i)) },
            { "published_at", 1767225600 - i * 86400 },
            { "program_title", u"The long-running programme"_s } });
    }
    return envelope(QJsonObject {
        { "program", QJsonObject { { "id", 12 }, { "title", "The long-running programme" } } },
        { "episodes", list } });
}

// Runs the bare parse and the decode path alternately on the same bytes; each side includes
// freeing what it built. Reports mean and best per-iteration times and their ratios: the best
// times are the ones other work on the machine disturbs least.
void compare(benchmark::State &state, const QByteArray &bytes,
    const std::function<qsizetype(const QByteArray &)> &decodePath)
{
    using Clock = std::chrono::steady_clock;
    Clock::duration bare {};
    Clock::duration full {};
    Clock::duration bestBare = Clock::duration::max();
    Clock::duration bestFull = Clock::duration::max();
    for (auto _ : state) {
        const auto t0 = Clock::now();
        {
            const QJsonDocument document = QJsonDocument::fromJson(bytes);
            benchmark::DoNotOptimize(document.isObject());
        }
        const auto t1 = Clock::now();
        benchmark::DoNotOptimize(decodePath(bytes));
        const auto t2 = Clock::now();
        bare += t1 - t0;
        full += t2 - t1;
        bestBare = std::min(bestBare, t1 - t0);
        bestFull = std::min(bestFull, t2 - t1);
    }
    const double iterations = static_cast<double>(state.iterations());
    const auto ms
        = [](Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); };
    state.counters["bare_ms"] = ms(bare) / iterations;
    state.counters["decode_ms"] = ms(full) / iterations;
    state.counters["ratio"] = ms(full) / ms(bare);
    state.counters["best_bare_ms"] = ms(bestBare);
    state.counters["best_decode_ms"] = ms(bestFull);
    state.counters["best_ratio"] = ms(bestFull) / ms(bestBare);
}

void ProgrammeList5000(benchmark::State &state)
{
    const QByteArray bytes = programmeList(5000);
    compare(state, bytes, [](const QByteArray &body) {
        const auto answer = decodeEnvelope<JSONValue>(body);
        return decodeList<ProgramSummary>(answer.data.value_or(JSONValue()), "programs"_L1).size();
    });
}

void ProgrammeWith2000Episodes(benchmark::State &state)
{
    const QByteArray bytes = programmeAnswer(2000);
    compare(state, bytes, [](const QByteArray &body) {
        const auto answer = decodeEnvelope<JSONValue>(body);
        return decodeProgramPage(answer.data.value_or(JSONValue())).episodes.size();
    });
}

} // namespace

BENCHMARK(ProgrammeList5000)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(ProgrammeWith2000Episodes)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK_MAIN();
