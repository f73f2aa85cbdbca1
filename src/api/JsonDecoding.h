#pragma once

#include "api/APIError.h"
#include "api/ApiLog.h"
#include "api/FlexibleID.h"

#include <QAnyStringView>
#include <QCborArray>
#include <QCborMap>
#include <QCborValue>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <optional>

// Decoding of service models straight from the parsed JSON tree. Members are strict unless a
// model says otherwise: a present value of another JSON type fails the object, and through its
// list everything that holds it. Absent keys and null mean the same.
//
// Models read the tree through its CBOR view (QJsonValue is a wrapper of QCborValue, and the
// conversion shares the parsed data): a CBOR map finds a key without making a text of every
// member's key, which keeps decoding close to the cost of the parse itself.

namespace orvella {

// Where a value sits in an answer, kept as a chain on the stack so that the readable path is
// built only when something fails.
struct JsonPath
{
    const JsonPath *parent = nullptr;
    QAnyStringView key;
    qsizetype index = -1;

    [[nodiscard]] JsonPath member(QAnyStringView name) const { return JsonPath { this, name, -1 }; }
    [[nodiscard]] JsonPath element(qsizetype i) const { return JsonPath { this, {}, i }; }
    [[nodiscard]] QString toString() const;
};

[[noreturn]] void throwDecodingError(const JsonPath &path, const QString &problem);

// Numbers. "Whole" numbers are integers in the signed 64-bit range (42 and 42.0 alike); a value
// outside that range is not representable and reads as absent.
[[nodiscard]] std::optional<qint64> jsonWholeNumber(const QCborValue &value);
[[nodiscard]] std::optional<qint64> jsonTruncatedNumber(const QCborValue &value);
[[nodiscard]] inline bool isJsonNumber(const QCborValue &value)
{
    return value.isInteger() || value.isDouble();
}
[[nodiscard]] inline std::optional<qint64> jsonWholeNumber(const QJsonValue &value)
{
    return jsonWholeNumber(QCborValue::fromJsonValue(value));
}
[[nodiscard]] inline std::optional<qint64> jsonTruncatedNumber(const QJsonValue &value)
{
    return jsonTruncatedNumber(QCborValue::fromJsonValue(value));
}
// The strict base-10 reading of a text: optional sign, then ASCII digits only.
[[nodiscard]] std::optional<qint64> parseStrictInteger(QStringView text);

// The flexible readings of one value; they never fail.
[[nodiscard]] std::optional<bool> flexibleBool(const QCborValue &value);
[[nodiscard]] std::optional<qint64> flexibleInt(const QCborValue &value);
[[nodiscard]] std::optional<QString> flexibleString(const QCborValue &value);
[[nodiscard]] inline std::optional<bool> flexibleBool(const QJsonValue &value)
{
    return flexibleBool(QCborValue::fromJsonValue(value));
}
[[nodiscard]] inline std::optional<qint64> flexibleInt(const QJsonValue &value)
{
    return flexibleInt(QCborValue::fromJsonValue(value));
}
[[nodiscard]] inline std::optional<QString> flexibleString(const QJsonValue &value)
{
    return flexibleString(QCborValue::fromJsonValue(value));
}

// FlexibleID from one present value; throws DecodingError for other types.
[[nodiscard]] FlexibleID decodeFlexibleID(const QCborValue &value, const JsonPath &path);
[[nodiscard]] inline FlexibleID decodeFlexibleID(const QJsonValue &value, const JsonPath &path)
{
    return decodeFlexibleID(QCborValue::fromJsonValue(value), path);
}

class JsonObjectReader;

// Decodes a model T (with a static T fromJson(const JsonObjectReader &)) from a value that
// must be an object.
template<class T>
[[nodiscard]] T decodeModel(const QCborValue &value, const JsonPath &path = {});
template<class T>
[[nodiscard]] T decodeModel(const QJsonValue &value, const JsonPath &path = {})
{
    return decodeModel<T>(QCborValue::fromJsonValue(value), path);
}

// Decodes a list of T strictly: one bad element fails the list.
template<class T>
[[nodiscard]] QList<T> decodeModelList(const QCborValue &value, const JsonPath &path = {});
template<class T>
[[nodiscard]] QList<T> decodeModelList(const QJsonValue &value, const JsonPath &path = {})
{
    return decodeModelList<T>(QCborValue::fromJsonValue(value), path);
}

// Texts from the service that the viewer reads (titles, labels, names; never ids or addresses)
// are cut to this many characters: more than any layout shows, and little enough that laying
// one out never holds up the window.
inline constexpr qsizetype displayTextLimit = 300;
[[nodiscard]] QString boundedDisplayText(QString text);
[[nodiscard]] inline std::optional<QString> boundedDisplayText(std::optional<QString> text)
{
    if (text)
        return boundedDisplayText(std::move(*text));
    return text;
}

// A code or an address shown to the viewer as text (a sign-in code, a link under a QR code):
// without control and format characters, which would draw over or reorder what is around it,
// and cut to displayTextLimit code units with "…" after the cut.
[[nodiscard]] QString boundedCodeText(QStringView text);

class JsonObjectReader
{
public:
    JsonObjectReader(QCborMap object, const JsonPath &path)
        : m_object(std::move(object))
        , m_path(path)
    { }
    JsonObjectReader(const QJsonObject &object, const JsonPath &path)
        : JsonObjectReader(QCborMap::fromJsonObject(object), path)
    { }

    [[nodiscard]] const JsonPath &path() const { return m_path; }

    // The member, or Undefined when absent or null.
    [[nodiscard]] QCborValue get(QLatin1StringView key) const;
    [[nodiscard]] bool has(QLatin1StringView key) const { return !get(key).isUndefined(); }

    [[nodiscard]] std::optional<QString> string(QLatin1StringView key) const;
    [[nodiscard]] QString requiredString(QLatin1StringView key) const;
    // A text shown to the viewer, bounded (see displayTextLimit).
    [[nodiscard]] std::optional<QString> displayText(QLatin1StringView key) const
    {
        return boundedDisplayText(string(key));
    }
    // A required text that is sent back in request headers (tokens): no control characters.
    [[nodiscard]] QString requiredHeaderText(QLatin1StringView key) const;
    [[nodiscard]] std::optional<qint64> integer(QLatin1StringView key) const;
    [[nodiscard]] std::optional<double> number(QLatin1StringView key) const;
    [[nodiscard]] std::optional<bool> boolean(QLatin1StringView key) const;
    [[nodiscard]] std::optional<FlexibleID> id(QLatin1StringView key) const;
    [[nodiscard]] FlexibleID requiredId(QLatin1StringView key) const;

    [[nodiscard]] std::optional<qint64> flexibleInt(QLatin1StringView key) const
    {
        return orvella::flexibleInt(get(key));
    }
    [[nodiscard]] std::optional<bool> flexibleBool(QLatin1StringView key) const
    {
        return orvella::flexibleBool(get(key));
    }
    [[nodiscard]] std::optional<QString> flexibleString(QLatin1StringView key) const
    {
        return orvella::flexibleString(get(key));
    }
    // Tolerant readings: a value of another kind reads as absent; they never fail.
    // A text.
    [[nodiscard]] std::optional<QString> tolerantString(QLatin1StringView key) const;
    // A text, or a number written out ("5", "2.5").
    [[nodiscard]] std::optional<QString> tolerantText(QLatin1StringView key) const;
    // A boolean, or a whole number (true unless 0).
    [[nodiscard]] std::optional<bool> tolerantBool(QLatin1StringView key) const;
    // A number, or a text that is an integer.
    [[nodiscard]] std::optional<double> tolerantNumber(QLatin1StringView key) const;
    // The elements of a list that are objects, each read by T::fromJson (which must not fail);
    // other elements, and a member that is no list, are passed over.
    template<class T>
    [[nodiscard]] QList<T> tolerantObjects(QLatin1StringView key) const
    {
        QList<T> result;
        const QCborValue value = get(key);
        if (!value.isArray())
            return result;
        const JsonPath listPath = m_path.member(key);
        qsizetype index = 0;
        for (const QCborValue element : value.toArray()) {
            const JsonPath elementPath = listPath.element(index++);
            if (element.isMap())
                result.append(T::fromJson(JsonObjectReader(element.toMap(), elementPath)));
        }
        return result;
    }
    // Tolerant integer: an integer, else a number truncated toward zero, else absent.
    [[nodiscard]] std::optional<qint64> tolerantInteger(QLatin1StringView key) const
    {
        return jsonTruncatedNumber(get(key));
    }

    template<class T>
    [[nodiscard]] std::optional<T> model(QLatin1StringView key) const
    {
        const QCborValue value = get(key);
        if (value.isUndefined())
            return std::nullopt;
        return decodeModel<T>(value, m_path.member(key));
    }
    template<class T>
    [[nodiscard]] std::optional<QList<T>> list(QLatin1StringView key) const
    {
        const QCborValue value = get(key);
        if (value.isUndefined())
            return std::nullopt;
        return decodeModelList<T>(value, m_path.member(key));
    }
    // Tolerant members swallow their own failure and become absent.
    template<class T>
    [[nodiscard]] std::optional<T> tolerantModel(QLatin1StringView key) const
    {
        try {
            return model<T>(key);
        } catch (const DecodingError &error) {
            qCDebug(lcApi) << "Member dropped:" << error.description();
            return std::nullopt;
        }
    }
    template<class T>
    [[nodiscard]] std::optional<QList<T>> tolerantList(QLatin1StringView key) const
    {
        try {
            return list<T>(key);
        } catch (const DecodingError &error) {
            qCDebug(lcApi) << "Member dropped:" << error.description();
            return std::nullopt;
        }
    }

    [[noreturn]] void fail(QLatin1StringView key, const QString &problem) const;

private:
    QCborMap m_object;
    const JsonPath &m_path;
};

template<class T>
T decodeModel(const QCborValue &value, const JsonPath &path)
{
    if (!value.isMap())
        throwDecodingError(path, QStringLiteral("is not an object"));
    return T::fromJson(JsonObjectReader(value.toMap(), path));
}

template<class T>
QList<T> decodeModelList(const QCborValue &value, const JsonPath &path)
{
    if (!value.isArray())
        throwDecodingError(path, QStringLiteral("is not an array"));
    const QCborArray array = value.toArray();
    QList<T> result;
    result.reserve(array.size());
    qsizetype index = 0;
    for (const QCborValue element : array) {
        result.append(decodeModel<T>(element, path.element(index)));
        ++index;
    }
    return result;
}

} // namespace orvella
