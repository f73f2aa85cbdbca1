#pragma once

#include "api/ConfigModels.h"
#include "ui/KeyedListModel.h"

#include <QString>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// The four numbers of one countdown, as shown: days in full, the others with two digits.
struct CountdownUnits
{
    QString days, hours, minutes, seconds;
    friend bool operator==(const CountdownUnits &, const CountdownUnits &) = default;
};

// Whole seconds left until `startsAtEpochMs` at `nowEpochMs` (a start in the past counts as 0,
// fractions are dropped), split into days, hours, minutes and seconds.
[[nodiscard]] CountdownUnits countdownUnits(qint64 startsAtEpochMs, qint64 nowEpochMs);

// The countdown cards, one per event in the order given, each keyed by the event's id. The time
// moves with setNow(), which changes only the units of the rows, so the cards stay.
class CountdownEventList : public KeyedListModel<CountdownEventItem>
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Owned by the countdown screen")

public:
    enum Role {
        EventIdRole = Qt::UserRole + 1,
        TitleRole,
        SubtitleRole,
        BadgeRole,
        CtaRole,
        DaysRole,
        HoursRole,
        MinutesRole,
        SecondsRole,
    };
    Q_ENUM(Role)

    explicit CountdownEventList(QObject *parent = nullptr);

    void setEvents(const QList<CountdownEventItem> &events);
    void setNow(qint64 nowEpochMs);
    [[nodiscard]] CountdownUnits unitsAt(int row) const;

    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

private:
    qint64 m_now = 0;
};

} // namespace orvella
