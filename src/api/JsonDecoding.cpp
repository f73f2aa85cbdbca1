#include "api/JsonDecoding.h"

#include "api/HeaderText.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace orvella {

namespace {

// 2^63: the first double past the signed 64-bit range.
constexpr double int64Limit = 9223372036854775808.0;

QString typeName(const QCborValue &value)
{
    if (value.isNull())
        return QStringLiteral("null");
    if (value.isBool())
        return QStringLiteral("a boolean");
    if (isJsonNumber(value))
        return QStringLiteral("a number");
    if (value.isString())
        return QStringLiteral("a text");
    if (value.isArray())
        return QStringLiteral("an array");
    if (value.isMap())
        return QStringLiteral("an object");
    return QStringLiteral("missing");
}

} // namespace

QString JsonPath::toString() const
{
    QList<const JsonPath *> chain;
    for (const JsonPath *p = this; p; p = p->parent)
        chain.prepend(p);
    QString text;
    for (const JsonPath *p : chain) {
        if (p->index >= 0) {
            text += u'[' + QString::number(p->index) + u']';
        } else if (!p->key.isEmpty()) {
            if (!text.isEmpty())
                text += u'.';
            text += p->key.toString();
        }
    }
    return text;
}

void throwDecodingError(const JsonPath &path, const QString &problem)
{
    const QString where = path.toString();
    if (where.isEmpty())
        throw DecodingError(QStringLiteral("The answer %1.").arg(problem));
    throw DecodingError(QStringLiteral("The member \u201c%1\u201d %2.").arg(where, problem));
}

std::optional<qint64> jsonWholeNumber(const QCborValue &value)
{
    if (value.isInteger())
        return value.toInteger();
    if (!value.isDouble())
        return std::nullopt;
    const double number = value.toDouble();
    if (number != std::trunc(number) || number < -int64Limit || number >= int64Limit)
        return std::nullopt;
    return static_cast<qint64>(number);
}

std::optional<qint64> jsonTruncatedNumber(const QCborValue &value)
{
    if (value.isInteger())
        return value.toInteger();
    if (!value.isDouble())
        return std::nullopt;
    const double truncated = std::trunc(value.toDouble());
    if (!std::isfinite(truncated) || truncated < -int64Limit || truncated >= int64Limit)
        return std::nullopt;
    return static_cast<qint64>(truncated);
}

std::optional<qint64> parseStrictInteger(QStringView text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    if (i == text.size())
        return std::nullopt;
    // Accumulate negatively so that the minimum value is readable.
    qint64 value = 0;
    constexpr qint64 minimum = std::numeric_limits<qint64>::min();
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        const int digit = c - u'0';
        if (value < (minimum + digit) / 10)
            return std::nullopt;
        value = value * 10 - digit;
    }
    if (!negative) {
        if (value == minimum)
            return std::nullopt;
        return -value;
    }
    return value;
}

std::optional<bool> flexibleBool(const QCborValue &value)
{
    if (value.isBool())
        return value.toBool();
    if (const auto whole = jsonWholeNumber(value))
        return *whole != 0;
    if (value.isString()) {
        const QString lower = value.toString().toLower();
        return lower == u"1" || lower == u"true" || lower == u"yes";
    }
    return std::nullopt;
}

std::optional<qint64> flexibleInt(const QCborValue &value)
{
    if (isJsonNumber(value))
        return jsonTruncatedNumber(value);
    if (value.isString())
        return parseStrictInteger(value.toString());
    return std::nullopt;
}

std::optional<QString> flexibleString(const QCborValue &value)
{
    if (value.isString())
        return value.toString();
    if (const auto number = jsonTruncatedNumber(value))
        return QString::number(*number);
    return std::nullopt;
}

FlexibleID decodeFlexibleID(const QCborValue &value, const JsonPath &path)
{
    if (value.isString())
        return FlexibleID { value.toString() };
    if (isJsonNumber(value)) {
        if (const auto number = jsonTruncatedNumber(value))
            return FlexibleID { QString::number(*number) };
        throwDecodingError(path, QStringLiteral("is a number outside the identifier range"));
    }
    throwDecodingError(path, QStringLiteral("is %1, not a text or number").arg(typeName(value)));
}

QCborValue JsonObjectReader::get(QLatin1StringView key) const
{
    const auto it = m_object.constFind(key);
    if (it == m_object.constEnd())
        return QCborValue(QCborValue::Undefined);
    QCborValue value = it.value();
    if (value.isNull())
        return QCborValue(QCborValue::Undefined);
    return value;
}

void JsonObjectReader::fail(QLatin1StringView key, const QString &problem) const
{
    throwDecodingError(m_path.member(key), problem);
}

std::optional<QString> JsonObjectReader::string(QLatin1StringView key) const
{
    const QCborValue value = get(key);
    if (value.isUndefined())
        return std::nullopt;
    if (!value.isString())
        fail(key, QStringLiteral("is %1, not a text").arg(typeName(value)));
    return value.toString();
}

QString JsonObjectReader::requiredString(QLatin1StringView key) const
{
    const QCborValue value = get(key);
    if (value.isUndefined())
        fail(key, QStringLiteral("is missing"));
    if (!value.isString())
        fail(key, QStringLiteral("is %1, not a text").arg(typeName(value)));
    return value.toString();
}

QString boundedDisplayText(QString text)
{
    if (text.size() <= displayTextLimit)
        return text;
    // Never split a surrogate pair.
    const qsizetype end
        = text.at(displayTextLimit - 1).isHighSurrogate() ? displayTextLimit - 1 : displayTextLimit;
    text.truncate(end);
    return text;
}

QString boundedCodeText(QStringView text)
{
    QString shown;
    shown.reserve(std::min(text.size(), displayTextLimit + 1));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar unit = text[i];
        const bool pair
            = unit.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate();
        const char32_t c = pair ? QChar::surrogateToUcs4(unit, text[i + 1]) : unit.unicode();
        const qsizetype units = pair ? 2 : 1;
        i += units - 1;
        // Lone surrogates go too: they stand for nothing.
        const QChar::Category category = QChar::category(c);
        if (category == QChar::Other_Control || category == QChar::Other_Format
            || category == QChar::Other_Surrogate)
            continue;
        if (shown.size() + units > displayTextLimit) {
            shown.append(u'…');
            break;
        }
        shown.append(text.sliced(i + 1 - units, units));
    }
    return shown;
}

QString JsonObjectReader::requiredHeaderText(QLatin1StringView key) const
{
    QString text = requiredString(key);
    if (!isHeaderSafe(text))
        fail(key, QStringLiteral("holds control characters"));
    return text;
}

std::optional<qint64> JsonObjectReader::integer(QLatin1StringView key) const
{
    const QCborValue value = get(key);
    if (value.isUndefined())
        return std::nullopt;
    if (!isJsonNumber(value))
        fail(key, QStringLiteral("is %1, not an integer").arg(typeName(value)));
    const auto whole = jsonWholeNumber(value);
    if (!whole)
        fail(key, QStringLiteral("is not a whole number in range"));
    return whole;
}

std::optional<double> JsonObjectReader::number(QLatin1StringView key) const
{
    const QCborValue value = get(key);
    if (value.isUndefined())
        return std::nullopt;
    if (!isJsonNumber(value))
        fail(key, QStringLiteral("is %1, not a number").arg(typeName(value)));
    return value.toDouble();
}

std::optional<bool> JsonObjectReader::boolean(QLatin1StringView key) const
{
    const QCborValue value = get(key);
    if (value.isUndefined())
        return std::nullopt;
    if (!value.isBool())
        fail(key, QStringLiteral("is %1, not a boolean").arg(typeName(value)));
    return value.toBool();
}

std::optional<QString> JsonObjectReader::tolerantString(QLatin1StringView key) const
{
    const QCborValue value = get(key);
    if (value.isString())
        return value.toString();
    return std::nullopt;
}

std::optional<QString> JsonObjectReader::tolerantText(QLatin1StringView key) const
{
    const QCborValue value = get(key);
    if (value.isString())
        return value.toString();
    if (!isJsonNumber(value))
        return std::nullopt;
    if (const auto whole = jsonWholeNumber(value))
        return QString::number(*whole);
    return QString::number(value.toDouble(), 'g', QLocale::FloatingPointShortest);
}

std::optional<bool> JsonObjectReader::tolerantBool(QLatin1StringView key) const
{
    const QCborValue value = get(key);
    if (value.isBool())
        return value.toBool();
    if (const auto whole = jsonWholeNumber(value))
        return *whole != 0;
    return std::nullopt;
}

std::optional<double> JsonObjectReader::tolerantNumber(QLatin1StringView key) const
{
    const QCborValue value = get(key);
    if (isJsonNumber(value))
        return value.toDouble();
    if (value.isString()) {
        if (const auto integer = parseStrictInteger(value.toString()))
            return double(*integer);
    }
    return std::nullopt;
}

std::optional<FlexibleID> JsonObjectReader::id(QLatin1StringView key) const
{
    const QCborValue value = get(key);
    if (value.isUndefined())
        return std::nullopt;
    return decodeFlexibleID(value, m_path.member(key));
}

FlexibleID JsonObjectReader::requiredId(QLatin1StringView key) const
{
    const QCborValue value = get(key);
    if (value.isUndefined())
        fail(key, QStringLiteral("is missing"));
    return decodeFlexibleID(value, m_path.member(key));
}

} // namespace orvella
