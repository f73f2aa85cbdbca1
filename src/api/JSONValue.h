#pragma once

#include <QJsonValue>
#include <QString>

namespace orvella {

// An untyped JSON tree for answers whose shape varies. It holds the parsed value as it came;
// every number reads as a 64-bit float, and jsonObject() gives the plain tree back with whole
// numbers as integers, so a part of an answer can be decoded again into a model.
class JSONValue
{
public:
    enum class Kind { Object, Array, String, Number, Bool, Null };

    JSONValue() = default;
    explicit JSONValue(QJsonValue value);

    [[nodiscard]] Kind kind() const;
    [[nodiscard]] bool isObject() const { return m_value.isObject(); }
    [[nodiscard]] bool isArray() const { return m_value.isArray(); }
    [[nodiscard]] bool isNull() const { return kind() == Kind::Null; }

    [[nodiscard]] QString toString() const { return m_value.toString(); }
    [[nodiscard]] double toNumber() const { return m_value.toDouble(); }
    [[nodiscard]] bool toBool() const { return m_value.toBool(); }

    // A member of an object (null when absent or not an object) and an element of an array.
    [[nodiscard]] JSONValue operator[](QLatin1StringView key) const;
    [[nodiscard]] JSONValue operator[](qsizetype index) const;
    [[nodiscard]] qsizetype size() const;

    // The plain JSON tree: whole numbers in the signed 64-bit range as integers, others as
    // floats.
    [[nodiscard]] QJsonValue jsonObject() const;
    // The parsed value itself, for decoding models straight from it.
    [[nodiscard]] const QJsonValue &json() const { return m_value; }

    friend bool operator==(const JSONValue &a, const JSONValue &b);

private:
    QJsonValue m_value { QJsonValue::Null };
};

} // namespace orvella
