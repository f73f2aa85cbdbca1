#include "support/RecordedRequest.h"

namespace orvella::test {

QByteArray findHeader(const HeaderList &headers, QByteArrayView name)
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value.isNull() ? QByteArray("") : value;
    }
    return {};
}

QByteArray RecordedRequest::header(QByteArrayView name) const
{
    return findHeader(headers, name);
}

bool RecordedRequest::hasHeader(QByteArrayView name) const
{
    return !findHeader(headers, name).isNull();
}

QString RecordedRequest::apiPath() const
{
    static const QString prefix = QStringLiteral("/fresh/newapi/v1/");
    return path.startsWith(prefix) ? path.mid(prefix.size()) : QString();
}

QString RecordedRequest::queryValue(const QString &name) const
{
    return query.queryItemValue(name, QUrl::FullyDecoded);
}

QJsonDocument RecordedRequest::json() const
{
    return QJsonDocument::fromJson(body);
}

} // namespace orvella::test
