#pragma once

#include <QByteArray>
#include <QJsonDocument>
#include <QList>
#include <QString>
#include <QUrlQuery>
#include <utility>

namespace orvella::test {

using HeaderList = QList<std::pair<QByteArray, QByteArray>>;

// The first value of a header, names compared without case; a null QByteArray when absent.
[[nodiscard]] QByteArray findHeader(const HeaderList &headers, QByteArrayView name);

// One request as the service double received it.
struct RecordedRequest
{
    QByteArray method;
    QString path; // percent-decoded, e.g. "/fresh/newapi/v1/programs/7"
    QUrlQuery query;
    QByteArray target; // the request target exactly as sent
    HeaderList headers; // in order, names as sent
    QByteArray body; // whole, after undoing chunked transfer coding
    qint64 receivedAtMs = 0; // since the double started

    // Case-insensitive; the first value, or a null QByteArray when absent.
    [[nodiscard]] QByteArray header(QByteArrayView name) const;
    [[nodiscard]] bool hasHeader(QByteArrayView name) const;
    // The path below /fresh/newapi/v1/ ("programs/7"), or an empty text for other paths.
    [[nodiscard]] QString apiPath() const;
    [[nodiscard]] QString queryValue(const QString &name) const;
    [[nodiscard]] QJsonDocument json() const;
};

} // namespace orvella::test
