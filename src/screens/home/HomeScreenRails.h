#pragma once

#include "api/AnswerDecoding.h"
#include "api/ContentModels.h"

#include <QAbstractListModel>
#include <QFont>
#include <QList>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// A list model whose rows have identities. A new list is merged into the rows in place: a row
// whose identity stays keeps its place in the model (moved when the order changed, updated
// when its values changed), so the views keep its delegate; only rows that are new or gone are
// inserted or removed.
class HomeScreenKeyedList : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(int count READ count NOTIFY countChanged)

public:
    using QAbstractListModel::QAbstractListModel;

    [[nodiscard]] int count() const { return rowCount(); }

signals:
    void countChanged();

protected:
    // `update(row, next)` applies the new values of a kept row and says whether any changed.
    template<typename Row, typename Key, typename Update>
    void merge(QList<Row> &rows, QList<Row> next, Key key, Update update)
    {
        const int before = int(rows.size());
        for (int i = 0; i < int(next.size()); ++i) {
            if (i < int(rows.size()) && key(rows[i]) == key(next[i])) {
                if (update(rows[i], std::move(next[i])))
                    emit dataChanged(index(i), index(i));
                continue;
            }
            int found = -1;
            for (int j = i + 1; j < int(rows.size()); ++j) {
                if (key(rows[j]) == key(next[i])) {
                    found = j;
                    break;
                }
            }
            if (found >= 0) {
                beginMoveRows({}, found, found, {}, i);
                rows.move(found, i);
                endMoveRows();
                if (update(rows[i], std::move(next[i])))
                    emit dataChanged(index(i), index(i));
            } else {
                beginInsertRows({}, i, i);
                rows.insert(i, std::move(next[i]));
                endInsertRows();
            }
        }
        if (rows.size() > next.size()) {
            beginRemoveRows({}, int(next.size()), int(rows.size()) - 1);
            rows.resize(next.size());
            endRemoveRows();
        }
        if (before != int(rows.size()))
            emit countChanged();
    }
};

// The cards of one home rail, in the service's order, identified by the item's id, at most
// maxCards of them. The rail's row takes its height from here, measured from the cards' texts
// without building a card.
class HomeScreenRailItems : public HomeScreenKeyedList
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the home screen's model")
    // Changes with any card's texts: a binding that calls textHeight() reads it.
    Q_PROPERTY(int cardsRevision READ cardsRevision NOTIFY cardsChanged)

public:
    enum Role {
        ItemIdRole = Qt::UserRole + 1,
        TitleRole,
        ImageRole,
        ProgramTitleRole,
        HasProgressRole,
        // The bar's share of the picture's width, 0 to 1.
        ProgressRole,
    };
    Q_ENUM(Role)

    // As many as the client keeps of a home rail: taking in a new list compares and merges
    // every card, and the rail's height measures every card's texts.
    static constexpr qsizetype maxCards = homeItemsKept;

    using HomeScreenKeyedList::HomeScreenKeyedList;

    // Takes the first maxCards items.
    void setItems(QList<RailItem> items);
    [[nodiscard]] const QList<RailItem> &items() const { return m_items; }

    // The width share of a progress percentage: none below 0 (or not a number), full from 100.
    [[nodiscard]] static double progressFraction(double percent);

    [[nodiscard]] int cardsRevision() const { return m_revision; }
    // The height of the tallest card's texts under its picture (0 without cards): the title on
    // one or two lines of `width` in `titleFont`, and when the card has one, `spacing` and the
    // programme line in `programFont`.
    Q_INVOKABLE qreal textHeight(
        const QFont &titleFont, const QFont &programFont, qreal width, qreal spacing) const;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

signals:
    void cardsChanged();

private:
    QList<RailItem> m_items;
    int m_revision = 0;
};

// The service's rails, in its order, identified by the rail's id, at most maxRails of them.
// Each rail keeps one cards model for as long as it is listed.
class HomeScreenRails : public HomeScreenKeyedList
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Made by the home screen's model")

public:
    enum Role {
        RailIdRole = Qt::UserRole + 1,
        TitleRole,
        ItemsRole,
    };
    Q_ENUM(Role)

    static constexpr qsizetype maxRails = homeRailsKept;

    using HomeScreenKeyedList::HomeScreenKeyedList;

    // Takes the first maxRails rails.
    void setRails(const QList<HomeRail> &rails);
    [[nodiscard]] HomeScreenRailItems *itemsAt(int row) const;

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    struct Rail
    {
        QString id;
        QString title;
        QList<RailItem> items;
        HomeScreenRailItems *cards = nullptr;
    };
    QList<Rail> m_rails;
};

} // namespace orvella
