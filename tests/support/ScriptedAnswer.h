#pragma once

#include "support/RecordedRequest.h"

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <chrono>
#include <utility>

namespace orvella::test {

// One answer of the service double. Built with the static makers and refined with the
// with...() modifiers, which return a changed copy:
//   ScriptedAnswer::envelope(data).withEtag("\"v2\"").withDelay(200ms)
struct ScriptedAnswer
{
    int status = 200;
    QByteArray body;
    HeaderList headers; // Content-Type among them
    QByteArray etag; // sent as ETag; a matching If-None-Match gets 304 without a body
    std::chrono::milliseconds delay { 0 }; // before the status line is sent
    bool drop = false; // close the connection without an answer (after the delay)
    qsizetype truncateAfter = -1; // send only this many body bytes, then close
    bool serveFile = false; // /media/ only: the requested file is the answer

    // {"status":"success","data":data} plus the members of extra (e.g. "meta").
    static ScriptedAnswer envelope(const QJsonValue &data, const QJsonObject &extra = {});
    // {"status":"error","message":...,"code":...} with the given HTTP status (code left out
    // when empty).
    static ScriptedAnswer error(int httpStatus, const QString &message, const QString &code = {});
    static ScriptedAnswer json(const QJsonValue &document, int httpStatus = 200);
    static ScriptedAnswer raw(const QByteArray &body,
        const QByteArray &contentType = "application/json", int httpStatus = 200);
    static ScriptedAnswer empty(int httpStatus); // no body at all
    static ScriptedAnswer dropped(); // the connection closes without an answer
    static ScriptedAnswer file(); // the /media/ file requested

    [[nodiscard]] ScriptedAnswer withStatus(int httpStatus) const;
    [[nodiscard]] ScriptedAnswer withHeader(const QByteArray &name, const QByteArray &value) const;
    [[nodiscard]] ScriptedAnswer withEtag(const QByteArray &tag) const;
    [[nodiscard]] ScriptedAnswer withDelay(std::chrono::milliseconds wait) const;
    [[nodiscard]] ScriptedAnswer truncatedAfter(qsizetype bytes) const;

    [[nodiscard]] QByteArray header(QByteArrayView name) const;
};

} // namespace orvella::test
