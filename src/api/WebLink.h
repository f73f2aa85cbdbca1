#pragma once

#include <QString>
#include <QUrl>
#include <optional>

namespace orvella {

// What may be handed to the desktop to open: only web pages, http or https with a host.
// Links come from the service, so nothing else (file:, javascript:, custom schemes) is opened.
[[nodiscard]] bool isWebLink(const QUrl &url);

// The web page a text names (blanks around it ignored); none for an absent or empty text, one
// that does not parse, or anything but a web link.
[[nodiscard]] std::optional<QUrl> webLink(const std::optional<QString> &text);

} // namespace orvella
