#pragma once

#include <QByteArray>
#include <QString>

namespace orvella {

// Writes a flat JSON object with its members in the order they are added (request bodies).
class JsonBodyWriter
{
public:
    JsonBodyWriter &add(const char *key, const QString &value);
    JsonBodyWriter &add(const char *key, qint64 value);
    [[nodiscard]] QByteArray finish() const;

private:
    void appendKey(const char *key);
    QByteArray m_body;
};

} // namespace orvella
