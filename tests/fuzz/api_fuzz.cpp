// Feeds arbitrary bytes to every decoder of service answers. Decoding may fail only with the
// client's own errors; anything else (a crash, another exception, a broken round trip) is a
// finding.

#include "api/APIEnvelope.h"
#include "api/AccountModels.h"
#include "api/AnswerDecoding.h"
#include "api/ConfigModels.h"
#include "api/ContentModels.h"
#include "api/MediaURL.h"
#include "api/ScheduleData.h"

#include <QJsonDocument>
#include <cstdint>
#include <cstdlib>
#include <functional>

using namespace Qt::StringLiterals;
using namespace orvella;

namespace {

void tolerate(const std::function<void()> &decode)
{
    try {
        decode();
    } catch (const DecodingError &) {
    } catch (const APIError &) { }
}

template<class T>
void envelopeOf(const QByteArray &bytes)
{
    tolerate([&] { (void)decodeEnvelope<T>(bytes); });
}

template<class T>
void dataAs(const JSONValue &data)
{
    tolerate([&] { (void)decodeData<T>(data); });
}

void exerciseData(const JSONValue &data)
{
    // Writing the tree out and decoding it again gives the same tree.
    const QJsonValue plain = data.jsonObject();
    if (plain.isObject() || plain.isArray()) {
        const QJsonDocument document
            = plain.isObject() ? QJsonDocument(plain.toObject()) : QJsonDocument(plain.toArray());
        const QJsonDocument again = QJsonDocument::fromJson(document.toJson());
        if (again.isNull())
            std::abort();
    }

    tolerate([&] {
        const auto config = decodeData<TvConfig>(data);
        for (const auto &event : config.events.value_or(QList<ConfigEventListItem>()))
            (void)event.toCountdown(u" subtitle "_s);
    });
    dataAs<HomeData>(data);
    dataAs<LiveStreamData>(data);
    dataAs<DeviceCodeData>(data);
    dataAs<TokenData>(data);
    dataAs<RefreshData>(data);
    dataAs<SignOutData>(data);
    for (const auto &program : decodeList<ProgramSummary>(data, "programs"_L1))
        (void)program.displayTitle();
    (void)decodeProgramPage(data);
    (void)decodeEpisodePage(data);
    tolerate([&] {
        const EpisodeDetail episode = decodeEpisodeAnswer(data);
        (void)episode.playbackURL();
    });
    tolerate([&] {
        const UserProfile profile = decodeProfileAnswer(data);
        // An encoded profile decodes back to an equal value.
        const QJsonDocument encoded = QJsonDocument::fromJson(profile.toJson());
        if (decodeModel<UserProfile>(encoded.object()) != profile)
            std::abort();
    });
    tolerate([&] { (void)decodeContinueWatchingAnswer(data); });
    tolerate([&] { (void)decodeSearchAnswer(data); });
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *input, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(input), static_cast<qsizetype>(size));

    tolerate([&] {
        const auto envelope = decodeEnvelope<JSONValue>(bytes);
        exerciseData(envelope.data.value_or(JSONValue()));
    });
    envelopeOf<TvConfig>(bytes);
    envelopeOf<TokenData>(bytes);
    envelopeOf<UserProfile>(bytes);

    tolerate([&] {
        const ScheduleData schedule = ScheduleData::parseAPIResponse(bytes);
        (void)schedule.toItems();
        (void)schedule.sidebarLiveNow();
        (void)schedule.sidebarUpcoming();
        (void)schedule.showingNextTitle(u"fallback"_s);
    });

    (void)MediaURL::make(QString::fromUtf8(bytes));
    (void)MediaURL::make(QString::fromLatin1(bytes));
    return 0;
}
