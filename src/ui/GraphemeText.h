#pragma once

#include <QString>
#include <QStringView>

namespace orvella {

// Text measured in user-perceived characters (grapheme clusters), as the viewer counts them: an
// emoji with a skin tone, a letter with its accents or a flag is one character.

[[nodiscard]] qint64 graphemeCount(QStringView text);

// Where the text ends after `limit` characters, or -1 when it holds no more than that. Looks
// only as far into the text as it needs, so a long text costs no more than its first `limit`
// characters.
[[nodiscard]] qsizetype graphemeEnd(QStringView text, qint64 limit);

// The text cut after `limit` characters; unchanged when it holds no more.
[[nodiscard]] QString cutToGraphemes(const QString &text, qint64 limit);

} // namespace orvella
