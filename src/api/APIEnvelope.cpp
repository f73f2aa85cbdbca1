#include "api/APIEnvelope.h"

#include <QJsonDocument>
#include <QJsonParseError>

namespace orvella {

APIMeta APIMeta::fromJson(const JsonObjectReader &r)
{
    APIMeta meta;
    meta.page = r.integer(QLatin1StringView("page"));
    meta.per_page = r.integer(QLatin1StringView("per_page"));
    meta.total = r.integer(QLatin1StringView("total"));
    meta.total_pages = r.integer(QLatin1StringView("total_pages"));
    meta.has_more = r.boolean(QLatin1StringView("has_more"));
    return meta;
}

QJsonObject parseJsonObject(const QByteArray &bytes)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError) {
        throw DecodingError(QStringLiteral("The answer is not valid JSON (%1 at offset %2).")
                                .arg(error.errorString())
                                .arg(error.offset));
    }
    if (!document.isObject())
        throw DecodingError(QStringLiteral("The answer is not a JSON object."));
    return document.object();
}

} // namespace orvella
