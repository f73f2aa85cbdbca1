#pragma once

#include "api/JSONValue.h"
#include "api/JsonDecoding.h"

#include <QByteArray>
#include <QString>
#include <optional>

namespace orvella {

// Paging metadata of an answer.
struct APIMeta
{
    std::optional<qint64> page;
    std::optional<qint64> per_page;
    std::optional<qint64> total;
    std::optional<qint64> total_pages;
    std::optional<bool> has_more;

    static APIMeta fromJson(const JsonObjectReader &r);
    friend bool operator==(const APIMeta &, const APIMeta &) = default;
};

// The wrapper of every service answer. "error" in status signals a failed request.
template<class T>
struct APIEnvelope
{
    QString status;
    std::optional<T> data;
    std::optional<QString> message;
    std::optional<QString> code;
    std::optional<QString> request_id;
    std::optional<APIMeta> meta;
};

// How an envelope's data decodes: models from their object, JSONValue as it comes.
template<class T>
struct EnvelopeData
{
    static T decode(const QJsonValue &value, const JsonPath &path)
    {
        return decodeModel<T>(value, path);
    }
};

template<>
struct EnvelopeData<JSONValue>
{
    static JSONValue decode(const QJsonValue &value, const JsonPath &) { return JSONValue(value); }
};

// Parses answer bytes as one JSON object; throws DecodingError when they are not.
[[nodiscard]] QJsonObject parseJsonObject(const QByteArray &bytes);

// Decodes the envelope strictly: a missing or non-text status, or any present member of
// another type, fails it with the DecodingError of the first offending member.
template<class T>
[[nodiscard]] APIEnvelope<T> decodeEnvelope(const QJsonObject &object)
{
    const JsonPath root;
    const JsonObjectReader r(object, root);
    APIEnvelope<T> envelope;
    envelope.status = r.requiredString(QLatin1StringView("status"));
    // The data stays in its JSON form: JSONValue keeps it as it came.
    const QJsonValue data = object.value(QLatin1StringView("data"));
    if (!data.isUndefined() && !data.isNull())
        envelope.data = EnvelopeData<T>::decode(data, root.member(QLatin1StringView("data")));
    // Shown to the viewer as the failure's description.
    envelope.message = r.displayText(QLatin1StringView("message"));
    envelope.code = r.string(QLatin1StringView("code"));
    envelope.request_id = r.string(QLatin1StringView("request_id"));
    envelope.meta = r.model<APIMeta>(QLatin1StringView("meta"));
    return envelope;
}

template<class T>
[[nodiscard]] APIEnvelope<T> decodeEnvelope(const QByteArray &bytes)
{
    return decodeEnvelope<T>(parseJsonObject(bytes));
}

} // namespace orvella
