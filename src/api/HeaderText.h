#pragma once

#include <QStringView>
#include <algorithm>

namespace orvella {

// Whether a text may go into a request header as it is: no control characters, so a CR or LF
// can never start a header line of its own.
[[nodiscard]] inline bool isHeaderSafe(QStringView text)
{
    return std::none_of(text.begin(), text.end(),
        [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; });
}

} // namespace orvella
