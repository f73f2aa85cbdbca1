#include "api/MediaURL.h"

namespace orvella::MediaURL {

namespace {

bool isAsciiAlnum(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9');
}

bool isHex(char16_t c)
{
    return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
}

// Characters an RFC 3986 URL may hold as they are (besides "%" of an escape).
bool isUrlCharacter(char16_t c)
{
    return isAsciiAlnum(c) || QStringView(u"-._~:/?#[]@!$&'()*+,;=").contains(QChar(c));
}

// Characters left as they are when encoding: the query characters plus ":/#?&=+@%".
bool staysUnencoded(char16_t c)
{
    return isAsciiAlnum(c) || QStringView(u"!$&'()*+,-./:;=?@_~#%").contains(QChar(c));
}

std::optional<QUrl> wellFormedWithScheme(const QString &text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c == u'%') {
            if (i + 2 >= text.size() || !isHex(text[i + 1].unicode())
                || !isHex(text[i + 2].unicode()))
                return std::nullopt;
            continue;
        }
        if (!isUrlCharacter(c))
            return std::nullopt;
    }
    if (text.count(u'#') > 1)
        return std::nullopt;
    // A scheme: a letter, then letters, digits, "+", "-" or ".", then ":".
    const qsizetype colon = text.indexOf(u':');
    if (colon <= 0)
        return std::nullopt;
    for (qsizetype i = 0; i < colon; ++i) {
        const char16_t c = text[i].unicode();
        const bool letter = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
        if (i == 0 ? !letter : !(isAsciiAlnum(c) || c == u'+' || c == u'-' || c == u'.'))
            return std::nullopt;
    }
    const QUrl url = QUrl::fromEncoded(text.toLatin1(), QUrl::StrictMode);
    const QString scheme = url.scheme();
    if (!url.isValid() || (scheme != u"http" && scheme != u"https") || url.host().isEmpty())
        return std::nullopt;
    return url;
}

QString percentEncodeOnce(const QString &text)
{
    static constexpr char hex[] = "0123456789ABCDEF";
    QString out;
    out.reserve(text.size() * 3);
    const QByteArray utf8 = text.toUtf8();
    for (const char byte : utf8) {
        const auto c = static_cast<unsigned char>(byte);
        if (c < 0x80 && staysUnencoded(c)) {
            out += QChar(c);
        } else {
            out += u'%';
            out += QChar(hex[c >> 4]);
            out += QChar(hex[c & 0xF]);
        }
    }
    return out;
}

} // namespace

std::optional<QUrl> make(const std::optional<QString> &text)
{
    if (!text)
        return std::nullopt;
    const QString trimmed = text->trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    if (auto url = wellFormedWithScheme(trimmed))
        return url;
    return wellFormedWithScheme(percentEncodeOnce(trimmed));
}

} // namespace orvella::MediaURL
