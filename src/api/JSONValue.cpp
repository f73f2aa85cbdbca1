#include "api/JSONValue.h"

#include "api/JsonDecoding.h"

#include <QJsonArray>
#include <QJsonObject>
#include <utility>

namespace orvella {

namespace {

QJsonValue plain(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Object: {
        QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            it.value() = plain(it.value());
        return object;
    }
    case QJsonValue::Array: {
        QJsonArray array = value.toArray();
        for (qsizetype i = 0; i < array.size(); ++i)
            array[i] = plain(array.at(i));
        return array;
    }
    case QJsonValue::Double:
        if (const auto whole = jsonWholeNumber(value))
            return QJsonValue(*whole);
        return QJsonValue(value.toDouble());
    case QJsonValue::Undefined:
        return QJsonValue(QJsonValue::Null);
    default:
        return value;
    }
}

} // namespace

JSONValue::JSONValue(QJsonValue value)
    : m_value(value.isUndefined() ? QJsonValue(QJsonValue::Null) : std::move(value))
{ }

JSONValue::Kind JSONValue::kind() const
{
    switch (m_value.type()) {
    case QJsonValue::Object:
        return Kind::Object;
    case QJsonValue::Array:
        return Kind::Array;
    case QJsonValue::String:
        return Kind::String;
    case QJsonValue::Double:
        return Kind::Number;
    case QJsonValue::Bool:
        return Kind::Bool;
    default:
        return Kind::Null;
    }
}

JSONValue JSONValue::operator[](QLatin1StringView key) const
{
    if (!m_value.isObject())
        return {};
    return JSONValue(m_value.toObject().value(key));
}

JSONValue JSONValue::operator[](qsizetype index) const
{
    if (!m_value.isArray())
        return {};
    return JSONValue(m_value.toArray().at(index));
}

qsizetype JSONValue::size() const
{
    if (m_value.isArray())
        return m_value.toArray().size();
    if (m_value.isObject())
        return m_value.toObject().size();
    return 0;
}

QJsonValue JSONValue::jsonObject() const
{
    return plain(m_value);
}

bool operator==(const JSONValue &a, const JSONValue &b)
{
    return a.m_value == b.m_value;
}

} // namespace orvella
