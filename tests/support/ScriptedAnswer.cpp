#include "support/ScriptedAnswer.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace orvella::test {

namespace {
QByteArray toJson(const QJsonValue &value)
{
    if (value.isObject())
        return QJsonDocument(value.toObject()).toJson(QJsonDocument::Compact);
    if (value.isArray())
        return QJsonDocument(value.toArray()).toJson(QJsonDocument::Compact);
    // A bare scalar: wrap it in an array and take the element's text back out.
    const QByteArray wrapped = QJsonDocument(QJsonArray { value }).toJson(QJsonDocument::Compact);
    return wrapped.mid(1, wrapped.size() - 2);
}
} // namespace

ScriptedAnswer ScriptedAnswer::envelope(const QJsonValue &data, const QJsonObject &extra)
{
    QJsonObject object = extra;
    object.insert(QStringLiteral("status"), QStringLiteral("success"));
    object.insert(QStringLiteral("data"), data);
    return json(object);
}

ScriptedAnswer ScriptedAnswer::error(int httpStatus, const QString &message, const QString &code)
{
    QJsonObject object { { QStringLiteral("status"), QStringLiteral("error") },
        { QStringLiteral("message"), message } };
    if (!code.isEmpty())
        object.insert(QStringLiteral("code"), code);
    return json(object, httpStatus);
}

ScriptedAnswer ScriptedAnswer::json(const QJsonValue &document, int httpStatus)
{
    return raw(toJson(document), "application/json", httpStatus);
}

ScriptedAnswer ScriptedAnswer::raw(
    const QByteArray &body, const QByteArray &contentType, int httpStatus)
{
    ScriptedAnswer answer;
    answer.status = httpStatus;
    answer.body = body;
    if (!contentType.isEmpty())
        answer.headers.append({ "Content-Type", contentType });
    return answer;
}

ScriptedAnswer ScriptedAnswer::empty(int httpStatus)
{
    ScriptedAnswer answer;
    answer.status = httpStatus;
    return answer;
}

ScriptedAnswer ScriptedAnswer::dropped()
{
    ScriptedAnswer answer;
    answer.drop = true;
    return answer;
}

ScriptedAnswer ScriptedAnswer::file()
{
    ScriptedAnswer answer;
    answer.serveFile = true;
    return answer;
}

ScriptedAnswer ScriptedAnswer::withStatus(int httpStatus) const
{
    ScriptedAnswer copy = *this;
    copy.status = httpStatus;
    return copy;
}

ScriptedAnswer ScriptedAnswer::withHeader(const QByteArray &name, const QByteArray &value) const
{
    ScriptedAnswer copy = *this;
    copy.headers.removeIf(
        [&](const auto &entry) { return entry.first.compare(name, Qt::CaseInsensitive) == 0; });
    copy.headers.append({ name, value });
    return copy;
}

ScriptedAnswer ScriptedAnswer::withEtag(const QByteArray &tag) const
{
    ScriptedAnswer copy = *this;
    copy.etag = tag;
    return copy;
}

ScriptedAnswer ScriptedAnswer::withDelay(std::chrono::milliseconds wait) const
{
    ScriptedAnswer copy = *this;
    copy.delay = wait;
    return copy;
}

ScriptedAnswer ScriptedAnswer::truncatedAfter(qsizetype bytes) const
{
    ScriptedAnswer copy = *this;
    copy.truncateAfter = bytes;
    return copy;
}

QByteArray ScriptedAnswer::header(QByteArrayView name) const
{
    return findHeader(headers, name);
}

} // namespace orvella::test
