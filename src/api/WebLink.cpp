#include "api/WebLink.h"

namespace orvella {

bool isWebLink(const QUrl &url)
{
    if (!url.isValid() || url.host().isEmpty())
        return false;
    const QString scheme = url.scheme().toLower();
    return scheme == u"http" || scheme == u"https";
}

std::optional<QUrl> webLink(const std::optional<QString> &text)
{
    if (!text)
        return std::nullopt;
    const QString trimmed = text->trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    const QUrl url(trimmed, QUrl::StrictMode);
    if (!isWebLink(url))
        return std::nullopt;
    return url;
}

} // namespace orvella
