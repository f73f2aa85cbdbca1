#include "screens/home/HomeScreenRails.h"

#include <QFontMetrics>
#include <QFontMetricsF>
#include <QHash>
#include <algorithm>

namespace orvella {

namespace {
// Service texts are bounded before they reach a layout.
constexpr qsizetype maxText = 300;

QString bounded(const QString &text)
{
    return text.size() > maxText ? text.left(maxText) : text;
}
} // namespace

void HomeScreenRailItems::setItems(QList<RailItem> items)
{
    if (items.size() > maxCards)
        items = items.first(maxCards); // copies only what is kept
    const QList<RailItem> before = m_items;
    merge(
        m_items, std::move(items), [](const RailItem &item) { return item.id; },
        [](RailItem &row, RailItem next) {
            if (row == next)
                return false;
            row = std::move(next);
            return true;
        });
    if (m_items != before) {
        ++m_revision;
        emit cardsChanged();
    }
}

qreal HomeScreenRailItems::textHeight(
    const QFont &titleFont, const QFont &programFont, qreal width, qreal spacing) const
{
    // Whole-pixel line heights, as text is laid out.
    const QFontMetrics title(titleFont);
    const QFontMetricsF titleAdvance(titleFont);
    const int programLine = QFontMetrics(programFont).height();
    qreal tallest = 0;
    for (const RailItem &item : m_items) {
        const QString text = bounded(item.title.value_or(QStringLiteral("Item")));
        int lines = 0;
        for (const QStringView line : QStringView(text).tokenize(u'\n')) {
            // A line that comes within a pixel of the width may wrap once laid out.
            lines += titleAdvance.horizontalAdvance(line.toString()) > width - 1 ? 2 : 1;
        }
        qreal height = std::min(lines, 2) * title.height();
        if (!item.program_title.value_or(QString()).isEmpty())
            height += spacing + programLine;
        tallest = std::max(tallest, height);
    }
    return tallest;
}

double HomeScreenRailItems::progressFraction(double percent)
{
    if (!(percent > 0))
        return 0;
    return std::min(percent / 100.0, 1.0);
}

int HomeScreenRailItems::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_items.size());
}

QVariant HomeScreenRailItems::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_items.size()))
        return {};
    const RailItem &item = m_items[index.row()];
    switch (role) {
    case ItemIdRole:
        return item.id;
    case TitleRole:
    case Qt::DisplayRole:
        return bounded(item.title.value_or(QStringLiteral("Item")));
    case ImageRole:
        return item.image.value_or(QString());
    case ProgramTitleRole:
        return bounded(item.program_title.value_or(QString()));
    case HasProgressRole:
        return item.progress_pct.has_value();
    case ProgressRole:
        return progressFraction(item.progress_pct.value_or(0));
    default:
        return {};
    }
}

QHash<int, QByteArray> HomeScreenRailItems::roleNames() const
{
    return {
        { ItemIdRole, "itemId" },
        { TitleRole, "title" },
        { ImageRole, "image" },
        { ProgramTitleRole, "programTitle" },
        { HasProgressRole, "hasProgress" },
        { ProgressRole, "progress" },
    };
}

void HomeScreenRails::setRails(const QList<HomeRail> &rails)
{
    // Each listed rail that does not take over one of the current rows gets its cards first,
    // so that its delegate finds them as soon as the row is inserted.
    QHash<QString, int> kept;
    for (const Rail &rail : std::as_const(m_rails))
        ++kept[rail.id];
    QList<Rail> next;
    next.reserve(std::min(rails.size(), maxRails));
    for (const HomeRail &rail : rails) {
        if (next.size() == maxRails)
            break;
        Rail row { rail.id, bounded(rail.title.value_or(QStringLiteral("Rail"))),
            rail.items.value_or(QList<RailItem>()) };
        if (kept.value(row.id) > 0) {
            --kept[row.id];
        } else {
            row.cards = new HomeScreenRailItems(this);
            row.cards->setItems(std::move(row.items));
            row.items.clear();
        }
        next.append(std::move(row));
    }
    const QList<Rail> before = m_rails;
    merge(
        m_rails, std::move(next), [](const Rail &rail) { return rail.id; },
        [](Rail &row, Rail nextRail) {
            row.cards->setItems(std::move(nextRail.items));
            if (row.title == nextRail.title)
                return false;
            row.title = std::move(nextRail.title);
            return true;
        });
    for (const Rail &gone : before) {
        if (std::ranges::none_of(
                m_rails, [&gone](const Rail &rail) { return rail.cards == gone.cards; }))
            gone.cards->deleteLater();
    }
}

HomeScreenRailItems *HomeScreenRails::itemsAt(int row) const
{
    return row >= 0 && row < int(m_rails.size()) ? m_rails[row].cards : nullptr;
}

int HomeScreenRails::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rails.size());
}

QVariant HomeScreenRails::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rails.size()))
        return {};
    const Rail &rail = m_rails[index.row()];
    switch (role) {
    case RailIdRole:
        return rail.id;
    case TitleRole:
    case Qt::DisplayRole:
        return rail.title;
    case ItemsRole:
        return QVariant::fromValue(static_cast<QObject *>(rail.cards));
    default:
        return {};
    }
}

QHash<int, QByteArray> HomeScreenRails::roleNames() const
{
    return {
        { RailIdRole, "railId" },
        { TitleRole, "title" },
        { ItemsRole, "items" },
    };
}

} // namespace orvella
