#include "ui/GraphemeText.h"

#include <QTextBoundaryFinder>
#include <algorithm>

namespace orvella {

qint64 graphemeCount(QStringView text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), text.size());
    qint64 count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
}

qsizetype graphemeEnd(QStringView text, qint64 limit)
{
    if (limit <= 0)
        return text.isEmpty() ? -1 : 0;
    // A character is at least one code unit: look at a window of the text and widen it until
    // it holds `limit` characters. A boundary found before the window's end is one of the whole
    // text too (the rules look back, and at the code unit after the boundary).
    qsizetype window = std::min(text.size(), qsizetype(std::min<qint64>(limit, text.size())) * 2);
    for (;;) {
        QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text.data(), window);
        qint64 count = 0;
        qsizetype at = 0;
        while (count < limit && (at = finder.toNextBoundary()) > 0)
            ++count;
        const bool whole = window == text.size();
        if (count == limit && (at < window || whole))
            return at == text.size() ? -1 : at;
        if (whole)
            return -1;
        window = std::min(text.size(), window * 2);
    }
}

QString cutToGraphemes(const QString &text, qint64 limit)
{
    const qsizetype end = graphemeEnd(text, limit);
    return end < 0 ? text : text.left(end);
}

} // namespace orvella
