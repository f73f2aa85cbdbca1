#include "api/JsonBodyWriter.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace orvella {

namespace {

QByteArray quoted(const QString &text)
{
    // The JSON writer escapes text correctly; take the string out of a one-element array.
    const QByteArray array = QJsonDocument(QJsonArray { text }).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

} // namespace

void JsonBodyWriter::appendKey(const char *key)
{
    m_body += m_body.isEmpty() ? "{" : ",";
    m_body += quoted(QString::fromUtf8(key));
    m_body += ':';
}

JsonBodyWriter &JsonBodyWriter::add(const char *key, const QString &value)
{
    appendKey(key);
    m_body += quoted(value);
    return *this;
}

JsonBodyWriter &JsonBodyWriter::add(const char *key, qint64 value)
{
    appendKey(key);
    m_body += QByteArray::number(value);
    return *this;
}

QByteArray JsonBodyWriter::finish() const
{
    return m_body.isEmpty() ? QByteArray("{}") : m_body + '}';
}

} // namespace orvella
