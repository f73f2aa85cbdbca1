#include "api/APIEnvelope.h"
#include "api/AccountModels.h"
#include "api/AnswerDecoding.h"
#include "api/ConfigModels.h"
#include "api/ContentModels.h"
#include "api/MediaURL.h"
#include "api/ScheduleData.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace orvella;

namespace {

QJsonValue json(const char *text)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray(text), &error);
    EXPECT_EQ(error.error, QJsonParseError::NoError) << text;
    return document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
}

// The value of member "v" of a one-member object.
QJsonValue member(const char *valueText)
{
    return json(("{\"v\":" + QByteArray(valueText) + "}").constData()).toObject().value("v");
}

template<class T>
T decode(const char *text)
{
    return decodeModel<T>(json(text));
}

QString decodingFailure(const std::function<void()> &action)
{
    try {
        action();
    } catch (const DecodingError &error) {
        return error.description();
    }
    return {};
}

TEST(Envelope, StatusIsRequiredAndEveryMemberIsStrict)
{
    const auto ok = decodeEnvelope<JSONValue>(QByteArray(R"({"status":"ok"})"));
    EXPECT_EQ(ok.status, u"ok"_s);
    EXPECT_FALSE(ok.data);

    EXPECT_THROW(decodeEnvelope<JSONValue>(QByteArray(R"({"data":{"a":1}})")), DecodingError);
    EXPECT_THROW(decodeEnvelope<JSONValue>(QByteArray(R"({"status":1,"data":{}})")), DecodingError);
    EXPECT_THROW(
        decodeEnvelope<JSONValue>(QByteArray(R"({"status":"ok","message":5})")), DecodingError);
    EXPECT_THROW(decodeEnvelope<JSONValue>(QByteArray(R"({"status":"ok","meta":{"page":"2"}})")),
        DecodingError);
    EXPECT_THROW(decodeEnvelope<JSONValue>(QByteArray("not json")), DecodingError);

    const auto full = decodeEnvelope<JSONValue>(QByteArray(
        R"({"status":"success","data":null,"code":"C","request_id":"r","meta":{"page":2,"has_more":true}})"));
    EXPECT_FALSE(full.data);
    EXPECT_EQ(full.code, u"C"_s);
    EXPECT_EQ(full.request_id, u"r"_s);
    ASSERT_TRUE(full.meta);
    EXPECT_EQ(full.meta->page, 2);
    EXPECT_EQ(full.meta->has_more, true);
}

TEST(Envelope, AModelPayloadFailsTheWholeEnvelope)
{
    EXPECT_THROW(decodeEnvelope<RefreshData>(QByteArray(R"({"status":"ok","data":{"token":"t"}})")),
        DecodingError);
    const auto tokens = decodeEnvelope<RefreshData>(
        QByteArray(R"({"status":"ok","data":{"access_token":"a","refresh_token":"r"}})"));
    EXPECT_EQ(tokens.data->access_token, u"a"_s);
}

TEST(DecodingErrors, NameTheFirstOffendingMember)
{
    const QString description = decodingFailure([] {
        (void)decode<HomeData>(
            R"({"rails":[{"id":"a"},{"id":"b","items":[{"id":"x","duration":"120"}]}]})");
    });
    EXPECT_TRUE(description.contains(u"rails[1].items[0].duration"_s)) << description.toStdString();
    EXPECT_EQ(APIError::decoding(DecodingError(u"X"_s)).description(), u"Decoding error: X"_s);
}

TEST(FlexibleValues, IdentifiersFromTextOrNumber)
{
    const JsonPath path;
    EXPECT_EQ(decodeFlexibleID(member("42"), path), decodeFlexibleID(member("\"42\""), path));
    EXPECT_EQ(decodeFlexibleID(member("42.0"), path).stringValue, u"42"_s);
    EXPECT_EQ(decodeFlexibleID(member("12.9"), path).stringValue, u"12"_s);
    EXPECT_EQ(decodeFlexibleID(member("-7"), path).stringValue, u"-7"_s);
    EXPECT_EQ(decodeFlexibleID(member("\"\""), path).stringValue, QString());
    EXPECT_EQ(decodeFlexibleID(member("9223372036854775807"), path).stringValue,
        u"9223372036854775807"_s);
    EXPECT_THROW((void)decodeFlexibleID(member("true"), path), DecodingError);
    EXPECT_THROW((void)decodeFlexibleID(member("1e30"), path), DecodingError);
    EXPECT_THROW((void)decodeFlexibleID(member("{}"), path), DecodingError);
}

TEST(FlexibleValues, Booleans)
{
    for (const char *yes : { "\"YES\"", "\"True\"", "\"1\"", "5", "true" })
        EXPECT_EQ(flexibleBool(member(yes)), true) << yes;
    for (const char *no : { "\"0\"", "\"no\"", "\"2\"", "\"\"", "0", "false" })
        EXPECT_EQ(flexibleBool(member(no)), false) << no;
    for (const char *absent : { "null", "{}", "[]" })
        EXPECT_EQ(flexibleBool(member(absent)), std::nullopt) << absent;
    EXPECT_EQ(flexibleBool(QJsonValue(QJsonValue::Undefined)), std::nullopt);
}

TEST(FlexibleValues, Integers)
{
    EXPECT_EQ(flexibleInt(member("\"+15\"")), 15);
    EXPECT_EQ(flexibleInt(member("\"-3\"")), -3);
    EXPECT_EQ(flexibleInt(member("99.9")), 99);
    EXPECT_EQ(flexibleInt(member("-99.9")), -99);
    EXPECT_EQ(flexibleInt(member("\"-9223372036854775808\"")), std::numeric_limits<qint64>::min());
    for (const char *absent : { "\"15 \"", "\" 15\"", "\"1.5\"", "\"+\"", "\"\"", "true",
             "\"9223372036854775808\"", "1e20", "-1e19", "null", "[1]" })
        EXPECT_EQ(flexibleInt(member(absent)), std::nullopt) << absent;
}

TEST(FlexibleValues, Texts)
{
    EXPECT_EQ(flexibleString(member("7")), u"7"_s);
    EXPECT_EQ(flexibleString(member("7.8")), u"7"_s);
    EXPECT_EQ(flexibleString(member("\"\"")), QString());
    EXPECT_EQ(flexibleString(member("false")), std::nullopt);
}

TEST(JSONValueTree, KeepsTheIntegerFloatDistinctionWhenWrittenOut)
{
    const JSONValue one(member("1"));
    EXPECT_EQ(one.kind(), JSONValue::Kind::Number);
    EXPECT_EQ(one.toNumber(), 1.0);
    EXPECT_TRUE(one.jsonObject().toVariant().typeId() == QMetaType::LongLong);
    const JSONValue thirty(member("30.0"));
    EXPECT_EQ(
        QJsonDocument(QJsonArray { thirty.jsonObject() }).toJson(QJsonDocument::Compact), "[30]");
    const JSONValue fraction(member("1.25"));
    EXPECT_EQ(fraction.jsonObject().toDouble(), 1.25);
    EXPECT_EQ(JSONValue(member("true")).kind(), JSONValue::Kind::Bool);
    EXPECT_EQ(JSONValue(member("null")).kind(), JSONValue::Kind::Null);
    const JSONValue tree(json(R"({"a":[1,{"b":2.5}]})"));
    EXPECT_EQ(tree["a"_L1][1]["b"_L1].toNumber(), 2.5);
    EXPECT_TRUE(tree["missing"_L1].isNull());
}

TEST(MediaAddresses, TrimAndEncodeOnce)
{
    EXPECT_EQ(
        MediaURL::make(u"  https://cdn.example/a.m3u8\n"_s), QUrl(u"https://cdn.example/a.m3u8"_s));
    EXPECT_EQ(MediaURL::make(u"https://cdn.example/my video.mp4"_s)->toString(QUrl::FullyEncoded),
        u"https://cdn.example/my%20video.mp4"_s);
    EXPECT_EQ(MediaURL::make(u"https://cdn.example/my%20video.mp4"_s)->toString(QUrl::FullyEncoded),
        u"https://cdn.example/my%20video.mp4"_s);
    EXPECT_EQ(
        MediaURL::make(u"https://cdn.example/caf\u00e9.jpg?x=[1]"_s)->toString(QUrl::FullyEncoded),
        u"https://cdn.example/caf%C3%A9.jpg?x=%5B1%5D"_s);
    EXPECT_EQ(MediaURL::make(u"https://cdn.example/a.m3u8?t=1&s=a+b#frag"_s)->toString(),
        u"https://cdn.example/a.m3u8?t=1&s=a+b#frag"_s);
    for (const QString &absent : { u"cdn.example/a.m3u8"_s, u"/media/a.m3u8"_s, QString(), u"   "_s,
             // Only the web: never a local file, inline data or another protocol.
             u"file:///etc/hosts"_s, u"data:text/plain,hi"_s, u"ftp://cdn.example/a.m3u8"_s,
             u"https:///a.m3u8"_s })
        EXPECT_EQ(MediaURL::make(absent), std::nullopt) << absent.toStdString();
    EXPECT_EQ(MediaURL::make(std::nullopt), std::nullopt);
}

TEST(Configuration, StrictMembersFailTheDocument)
{
    const auto config = decode<TvConfig>(
        R"({"min_app_version":{"macos":"1.0.2"},"features":{"search":true},
            "event":{"active":"yes","starts_at":"1767225600"},
            "events":[{"id":"e","active":1,"title":"T"}],"urls":{"give":"https://g"}})");
    EXPECT_EQ(config.min_app_version->value(u"macos"_s), u"1.0.2"_s);
    EXPECT_EQ(config.event->active, true);
    EXPECT_EQ(config.event->starts_at, 1767225600);
    EXPECT_EQ(config.events->first().active, true);
    EXPECT_EQ(config.urls->give, u"https://g"_s);

    EXPECT_THROW(decode<TvConfig>(R"({"features":{"search":"true"}})"), DecodingError);
    EXPECT_THROW(decode<TvConfig>(R"({"min_app_version":{"macos":2}})"), DecodingError);
    EXPECT_THROW(decode<TvConfig>(R"({"events":[{"id":7}]})"), DecodingError);
    EXPECT_THROW(decode<TvConfig>(R"({"live_languages":[{"code":"en"}]})"), DecodingError);
    EXPECT_EQ(decode<ConfigEvent>(R"({"active":"no","starts_at":"soon"})").active, false);
    EXPECT_EQ(decode<ConfigEvent>(R"({"active":0,"starts_at":"soon"})").starts_at, std::nullopt);
}

TEST(Configuration, CountdownEntries)
{
    const auto item = [](const char *text) { return decode<ConfigEventListItem>(text); };
    const auto seconds = item(R"({"title":"Night","starts_at":1767225600})").toCountdown({});
    ASSERT_TRUE(seconds);
    EXPECT_EQ(seconds->startsAtEpochMs, 1767225600000);
    EXPECT_EQ(seconds->id, u"event_1767225600"_s);
    EXPECT_EQ(seconds->subtitle, u"Live from Orvella"_s);
    EXPECT_EQ(seconds->badge, u"LIVE EVENT"_s);
    EXPECT_EQ(seconds->cta, u"Watch Live"_s);
    EXPECT_EQ(item(R"({"title":"T","starts_at":1767225600000})").toCountdown({})->startsAtEpochMs,
        1767225600000);
    EXPECT_EQ(item(R"({"title":"T","starts_at":9999999999})").toCountdown({})->startsAtEpochMs,
        9999999999000);
    EXPECT_EQ(item(R"({"title":"T","starts_at":10000000000})").toCountdown({})->startsAtEpochMs,
        10000000000);
    EXPECT_EQ(item(R"({"title":"T","starts_at":"1767225600"})").toCountdown({})->startsAtEpochMs,
        1767225600000);
    for (const char *none : { R"({"title":"T","starts_at":0})", R"({"title":"T","starts_at":-5})",
             R"({"title":"T","starts_at":"x"})", R"({"title":"","starts_at":5})",
             R"({"starts_at":5})" })
        EXPECT_FALSE(item(none).toCountdown(u"Home"_s)) << none;

    const auto fallbacks
        = item(R"({"id":"","title":"T","subtitle":"","badge":"","cta":"","starts_at":5})");
    EXPECT_EQ(fallbacks.toCountdown(u"  "_s)->subtitle, u"Live from Orvella"_s);
    const auto home = fallbacks.toCountdown(u" From home "_s);
    EXPECT_EQ(home->subtitle, u" From home "_s);
    EXPECT_EQ(home->id, QString());
    EXPECT_EQ(home->badge, u"LIVE EVENT"_s);
    EXPECT_EQ(home->cta, u"Watch Live"_s);
}

// The home keeps its first 100 rails with their first 500 items, once all of it has decoded.
TEST(ContentModels, AHomeKeepsItsFirstRailsAndItems)
{
    QJsonArray rails;
    for (int r = 0; r < 101; ++r) {
        QJsonArray items;
        for (int i = 0; i < (r == 1 ? 501 : 2); ++i)
            items.append(QJsonObject { { "id", QStringLiteral("%1-%2").arg(r).arg(i) } });
        rails.append(QJsonObject { { "id", QString::number(r) }, { "items", items } });
    }
    const HomeData home = decodeHomeAnswer(JSONValue(QJsonObject { { "rails", rails } }));
    ASSERT_EQ(home.rails->size(), homeRailsKept);
    EXPECT_EQ(home.rails->last().id, u"99"_s);
    ASSERT_EQ(home.rails->at(1).items->size(), homeItemsKept);
    EXPECT_EQ(home.rails->at(1).items->last().id, u"1-499"_s);

    // A faulty item past what is kept still fails the page.
    QJsonObject last = rails.last().toObject();
    last["items"] = QJsonArray { QJsonObject { { "id", "x" }, { "duration", "long" } } };
    rails.replace(100, last);
    EXPECT_THROW(decodeHomeAnswer(JSONValue(QJsonObject { { "rails", rails } })), DecodingError);
}

// Elements `from` to `from + count - 1` of a list, each of a shape that every list's model
// reads, titled with its index.
QJsonArray listElements(int from, int count)
{
    QJsonArray array;
    for (int i = from; i < from + count; ++i) {
        const QString index = QString::number(i);
        array.append(QJsonObject { { "id", index }, { "episode_id", index }, { "kind", "episode" },
            { "title", index }, { "start_time", "20:00" } });
    }
    return array;
}

template<class T>
QStringList titles(const QList<T> &list)
{
    QStringList titles;
    for (const T &element : list)
        titles.append(element.title.value_or(QString()));
    return titles;
}

JSONValue holding(const char *key, const QJsonValue &value)
{
    return JSONValue(QJsonObject { { QLatin1StringView(key), value } });
}

ScheduleData schedule(const char *key, const QJsonArray &list)
{
    const QJsonObject data { { "date", "2026-03-01" }, { QLatin1StringView(key), list } };
    return decodeScheduleAnswer(
        QJsonDocument(QJsonObject { { "status", "success" }, { "data", data } }).toJson());
}

// Every list an answer brings keeps its first elements, as many as the client keeps of it: an
// answer of one more loses only its last element.
TEST(AnswerDecoding, EveryListKeepsItsFirstElements)
{
    const struct
    {
        const char *list;
        qsizetype kept;
        std::function<QStringList(int)> titlesOf; // an answer of that many elements
    } lists[] = {
        { "programmes", programsKept,
            [](int n) {
                return titles(decodeProgramsAnswer(holding("programs", listElements(0, n))));
            } },
        { "a page of episodes", episodePageKept,
            [](int n) {
                return titles(decodeEpisodePage(holding("episodes", listElements(0, n))));
            } },
        { "a programme's pages merged", programEpisodesKept,
            [](int n) {
                const auto page = [](int from, int count) {
                    return decodeEpisodePage(holding("episodes", listElements(from, count)));
                };
                QList<QList<EpisodeSummary>> pages;
                for (int from = episodePageKept; from < n; from += 100)
                    pages.append(page(from, std::min(100, n - from)));
                return titles(mergeEpisodePages(page(0, episodePageKept), pages));
            } },
        { "search results", searchResultsKept,
            [](int n) {
                return titles(decodeSearchAnswer(holding("results", listElements(0, n))));
            } },
        { "continue watching", continueWatchingKept,
            [](int n) {
                return titles(decodeContinueWatchingAnswer(holding("items", listElements(0, n))));
            } },
        { "related episodes", relatedEpisodesKept,
            [](int n) {
                const QJsonObject episode { { "id", "e" }, { "related", listElements(0, n) } };
                return titles(*decodeEpisodeAnswer(JSONValue(episode)).related);
            } },
        { "configuration events", configEventsKept,
            [](int n) {
                return titles(*decodeConfigAnswer(holding("events", listElements(0, n))).events);
            } },
        { "schedule rows", scheduleEntriesKept,
            [](int n) { return titles(schedule("programs", listElements(0, n)).toItems()); } },
        { "schedule days, counted together", scheduleEntriesKept,
            [](int n) {
                // All but two on the first day, one on each of two more: the last day goes.
                const ScheduleData days = schedule("days",
                    { holding("items", listElements(0, n - 2)).json(),
                        holding("items", listElements(n - 2, 1)).json(),
                        holding("items", listElements(n - 1, 1)).json() });
                EXPECT_EQ(days.days->size(), n > scheduleEntriesKept ? 2 : 3);
                return titles(days.toItems());
            } },
    };
    for (const auto &list : lists) {
        SCOPED_TRACE(list.list);
        const QStringList whole = list.titlesOf(int(list.kept));
        const QStringList cut = list.titlesOf(int(list.kept) + 1);
        EXPECT_EQ(whole.size(), list.kept);
        EXPECT_EQ(cut.size(), list.kept);
        EXPECT_TRUE(cut == whole);
        EXPECT_EQ(cut.value(list.kept - 1).toStdString(), std::to_string(list.kept - 1));
    }

    // A strict list still fails for a faulty element past what is kept.
    QJsonArray results = listElements(0, int(searchResultsKept) + 1);
    results.append(QJsonObject { { "kind", 5 }, { "id", 1 } });
    EXPECT_THROW(decodeSearchAnswer(holding("results", results)), DecodingError);
}

TEST(ContentModels, StrictRailsFlexibleProgrammes)
{
    const auto rail = decode<RailItem>(R"({"id":"r","progress_pct":42,"duration":60})");
    EXPECT_EQ(rail.progress_pct, 42.0);
    EXPECT_THROW(
        decode<HomeData>(R"({"rails":[{"id":"a","items":[{"id":"x","duration":"120"}]}]})"),
        DecodingError);
    EXPECT_THROW(decode<RailItem>(R"({"id":"r","duration":1.5})"), DecodingError);

    const auto program = decode<ProgramSummary>(
        R"({"id":7,"episode_count":"12","is_documentary":1,"updated_at":1.9})");
    EXPECT_EQ(program.id.stringValue, u"7"_s);
    EXPECT_EQ(program.episode_count, 12);
    EXPECT_EQ(program.is_documentary, true);
    EXPECT_EQ(program.updated_at, 1);
    EXPECT_THROW(decode<ProgramSummary>(R"({"title":"no id"})"), DecodingError);
    EXPECT_THROW(decode<ProgramSummary>(R"({"id":1,"title":5})"), DecodingError);
}

TEST(ContentModels, DisplayTitle)
{
    const auto title = [](const char *text) { return decode<ProgramSummary>(text).displayTitle(); };
    EXPECT_EQ(title(R"({"id":1})"), u"Program"_s);
    EXPECT_EQ(title(R"({"id":1,"title":"","name":"N"})"), QString());
    EXPECT_EQ(title(R"({"id":1,"name":"N"})"), u"N"_s);
    EXPECT_EQ(title(R"({"id":1,"title":"ORVELLA Healing CRUSADE 2024"})"), u"Orvella Livestream"_s);
    EXPECT_EQ(title(R"({"id":1,"title":"Healing Crusade"})"), u"Healing Crusade"_s);
    EXPECT_EQ(title(R"({"id":1,"title":"Orvella Specials"})"), u"Orvella Specials"_s);
}

TEST(ContentModels, TheLiveStreamsAddressAndLiveFlag)
{
    const struct
    {
        const char *json;
        const char *url; // none: nullptr
        bool live;
    } cases[] = {
        { R"({"hls_url":" http://a/x.m3u8 ","stream_url":"http://b/y"})", "http://a/x.m3u8",
            false },
        { R"({"stream_url":"http://b/y","status":"LIVE"})", "http://b/y", true },
        // A present but unusable HLS address does not fall back to the other one.
        { R"({"hls_url":"","stream_url":"http://b/y","is_live":true})", nullptr, true },
        { R"({"is_live":false,"status":"live"})", nullptr, false },
    };
    for (const auto &[json, url, live] : cases) {
        SCOPED_TRACE(json);
        const auto stream = decode<LiveStreamData>(json);
        EXPECT_EQ(stream.playableURL(),
            url ? std::optional(QUrl(QString::fromLatin1(url))) : std::nullopt);
        EXPECT_EQ(stream.isLiveNow(), live);
    }
}

TEST(ContentModels, EpisodeDetailToleratesItsLooseMembers)
{
    const auto episode = decode<EpisodeDetail>(
        R"({"id":"e1","duration":1805.6,"published_at":"1805","subtitles":[{"lang":"en","url":"u"},{"lang":"fr"}],
            "related":[{"id":1},{"id":2}],"program":{"id":3,"title":"P"}})");
    EXPECT_EQ(episode.duration, 1805);
    EXPECT_EQ(episode.published_at, std::nullopt);
    EXPECT_FALSE(episode.subtitles);
    EXPECT_EQ(episode.related->size(), 2);
    EXPECT_EQ(episode.program->id->stringValue, u"3"_s);
    EXPECT_EQ(decode<EpisodeDetail>(R"({"id":1,"duration":1e300})").duration, std::nullopt);
    EXPECT_THROW(decode<EpisodeDetail>(R"({"id":1,"hls_url":5})"), DecodingError);

    const auto playable = decode<EpisodeDetail>(
        R"({"id":1,"hls_url":"   ","stream_url":"no-scheme","video_url":"https://v/1.mp4"})");
    EXPECT_EQ(playable.playbackURL(), QUrl(u"https://v/1.mp4"_s));
    EXPECT_FALSE(decode<EpisodeDetail>(R"({"id":1})").playbackURL());
    const auto track = decode<SubtitleTrack>(R"({"lang":"en","url":"https://s"})");
    EXPECT_EQ(track.id(), u"en-https://s"_s);
}

TEST(ContentModels, SearchIdentitiesAndContinueWatching)
{
    const auto search = decode<SearchData>(
        R"({"results":[{"kind":"episode","id":5},{"kind":"program","id":"5"}]})");
    ASSERT_EQ(search.results->size(), 2);
    EXPECT_NE(search.results->at(0).id(), search.results->at(1).id());
    EXPECT_EQ(search.results->at(0).id(), u"episode-5"_s);
    EXPECT_THROW(decode<SearchData>(R"({"results":[{"id":5}]})"), DecodingError);
    EXPECT_THROW(decode<ContinueWatchingItem>(R"({"episode_id":5})"), DecodingError);
}

TEST(AccountModels, TokensAndTheirFallbackKey)
{
    EXPECT_EQ(decode<TokenData>(R"({"token":"t","refresh_token":"r"})").access_token, u"t"_s);
    EXPECT_EQ(
        decode<TokenData>(R"({"access_token":"a","token":"t","refresh_token":"r"})").access_token,
        u"a"_s);
    EXPECT_EQ(
        decode<TokenData>(R"({"access_token":null,"token":"t","refresh_token":"r"})").access_token,
        u"t"_s);
    EXPECT_THROW(decode<TokenData>(R"({"access_token":"a"})"), DecodingError);
    EXPECT_THROW(
        decode<TokenData>(R"({"access_token":5,"token":"t","refresh_token":"r"})"), DecodingError);
    const QString missing
        = decodingFailure([] { (void)decode<TokenData>(R"({"refresh_token":"r"})"); });
    EXPECT_TRUE(missing.contains(u"\u201ctoken\u201d"_s)) << missing.toStdString();
    EXPECT_THROW(decode<RefreshData>(R"({"token":"t","refresh_token":"r"})"), DecodingError);
    EXPECT_FALSE(decode<SignOutData>("{}").signed_out);
}

TEST(AccountModels, ProfileNameFallbackAndRoundTrip)
{
    const auto profile = decode<UserProfile>(R"({"id":77,"fullname":"Ada","email":"a@x"})");
    EXPECT_EQ(profile.name, u"Ada"_s);
    EXPECT_EQ(profile.id->stringValue, u"77"_s);
    EXPECT_EQ(decode<UserProfile>(R"({"name":"N","fullname":"F"})").name, u"N"_s);
    const QByteArray encoded = profile.toJson();
    EXPECT_EQ(encoded, R"({"email":"a@x","id":"77","name":"Ada"})");
    EXPECT_EQ(decodeModel<UserProfile>(QJsonDocument::fromJson(encoded).object()), profile);
}

TEST(AnswerDecoding, TolerantListsSkipWhatDoesNotDecode)
{
    const JSONValue mixed(
        json(R"({"programs":[{"id":1,"title":"A"},5,{"title":"no id"},{"id":"2"}]})"));
    const auto programs = decodeList<ProgramSummary>(mixed, "programs"_L1);
    ASSERT_EQ(programs.size(), 2);
    EXPECT_EQ(programs[0].id.stringValue, u"1"_s);
    EXPECT_EQ(programs[1].id.stringValue, u"2"_s);
    EXPECT_EQ(
        decodeList<ProgramSummary>(JSONValue(json(R"([{"id":3}])")), "programs"_L1).size(), 1);
    EXPECT_TRUE(
        decodeList<ProgramSummary>(JSONValue(json(R"({"items":[{"id":3}]})")), "programs"_L1)
            .isEmpty());
    EXPECT_TRUE(decodeList<ProgramSummary>(JSONValue(json("{}")), "programs"_L1).isEmpty());
    EXPECT_TRUE(decodeList<ProgramSummary>(JSONValue(member("\"x\"")), "programs"_L1).isEmpty());
}

TEST(AnswerDecoding, NonObjectDataWhereAModelIsExpected)
{
    EXPECT_THROW(decodeData<TvConfig>(JSONValue()), DecodingError);
    EXPECT_THROW(decodeData<TvConfig>(JSONValue(json("[1]"))), DecodingError);
    EXPECT_THROW(decodeEpisodeAnswer(JSONValue(json("[1]"))), APIError);
    EXPECT_THROW(decodeSearchAnswer(JSONValue(member("3"))), DecodingError);
    EXPECT_TRUE(decodeSearchAnswer(JSONValue(json("{}"))).isEmpty());
    EXPECT_FALSE(decodeProgramPage(JSONValue(json("[1]"))).program);
}

TEST(AnswerDecoding, EpisodeAndProgrammeShapes)
{
    EXPECT_EQ(
        decodeEpisodeAnswer(JSONValue(json(R"({"episode":{"id":9,"title":"W"}})"))).title, u"W"_s);
    EXPECT_EQ(
        decodeEpisodeAnswer(JSONValue(json(R"({"id":9,"episode":"x"})"))).id.stringValue, u"9"_s);
    EXPECT_THROW(
        decodeEpisodeAnswer(JSONValue(json(R"({"episode":{"title":"no id"}})"))), DecodingError);

    const auto nested = decodeProgramPage(JSONValue(json(
        R"({"program":{"id":1,"title":"Nested"},"episodes":[{"id":1},7,{"bad":1},{"id":1}]})")));
    EXPECT_EQ(nested.program->title, u"Nested"_s);
    EXPECT_EQ(nested.episodes.size(), 2); // duplicates within page 1 stay
    const auto inlined = decodeProgramPage(
        JSONValue(json(R"({"program":{"title":"bad"},"id":42,"title":"Inline"})")));
    EXPECT_EQ(inlined.program->id.stringValue, u"42"_s);
    EXPECT_EQ(inlined.program->title, u"Inline"_s);
    EXPECT_TRUE(inlined.episodes.isEmpty());
    EXPECT_FALSE(decodeProgramPage(JSONValue(json(R"({"title":"no id"})"))).program);
}

TEST(AnswerDecoding, ProfileShapes)
{
    EXPECT_EQ(
        decodeProfileAnswer(JSONValue(json(R"({"user":{"name":"Wrapped"}})"))).name, u"Wrapped"_s);
    EXPECT_EQ(
        decodeProfileAnswer(JSONValue(json(R"({"user":"x","name":"Bare"})"))).name, u"Bare"_s);
    EXPECT_THROW(decodeProfileAnswer(JSONValue(json(R"({"user":"x","name":5})"))), DecodingError);
    EXPECT_THROW(decodeProfileAnswer(JSONValue()), DecodingError);
}

TEST(AnswerDecoding, ContinueWatchingShapes)
{
    const auto cw
        = [](const char *text) { return decodeContinueWatchingAnswer(JSONValue(json(text))); };
    EXPECT_EQ(cw(R"([{"episode_id":"a"},{"episode_id":"b"}])").size(), 2);
    EXPECT_TRUE(cw("[]").isEmpty());
    EXPECT_THROW(cw(R"([{"episode_id":"a"},{"episode_id":1}])"), DecodingError);
    EXPECT_EQ(cw(R"({"items":[{"episode_id":"a"}]})").size(), 1);
    EXPECT_EQ(
        cw(R"({"items":"x","continue_watching":[{"episode_id":"c"}]})").first().episode_id, u"c"_s);
    EXPECT_EQ(cw(R"({"continue_watching":[{"episode_id":"c"}]})").first().episode_id, u"c"_s);
    EXPECT_THROW(cw(R"({"items":[{"episode_id":2}]})"), DecodingError);
    EXPECT_TRUE(cw(R"({"other":1})").isEmpty());
    EXPECT_TRUE(decodeContinueWatchingAnswer(JSONValue(member("\"text\""))).isEmpty());
    EXPECT_TRUE(decodeContinueWatchingAnswer(JSONValue()).isEmpty());
}

TEST(AnswerDecoding, EpisodePagesMergeInPageOrderOnce)
{
    const auto episodes = [](std::initializer_list<const char *> ids) {
        QList<EpisodeSummary> list;
        for (const char *id : ids) {
            EpisodeSummary episode;
            episode.id = FlexibleID { QString::fromLatin1(id) };
            list.append(episode);
        }
        return list;
    };
    const auto merged = mergeEpisodePages(
        episodes({ "1", "2" }), { episodes({ "2", "3" }), {}, episodes({ "3", "4" }) });
    QStringList ids;
    for (const auto &e : merged)
        ids.append(e.id.stringValue);
    EXPECT_EQ(ids, (QStringList { u"1"_s, u"2"_s, u"3"_s, u"4"_s }));
}

TEST(AnswerDecoding, FoldingAndDeviceModel)
{
    EXPECT_EQ(foldForMatching(u"Ç\u00e9l\u00c9bration"_s), u"celebration"_s);
    EXPECT_TRUE(foldForMatching(u"\u0301"_s).isEmpty());
    EXPECT_EQ(deviceModelText(u"MacBookPro18,1"_s), u"MacBookPro18,1"_s);
    EXPECT_EQ(deviceModelText(u"mac mini"_s), u"Mac \u2014 mac mini"_s);
    EXPECT_EQ(deviceModelText(u"ThinkPad"_s), u"Mac \u2014 ThinkPad"_s);
}

} // namespace
