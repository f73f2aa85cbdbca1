#include "player/PlaybackQuality.h"

#include <QHashFunctions>
#include <QVariantMap>

namespace orvella {

namespace {

PlaybackQuality capped(
    const char16_t *id, const char16_t *label, double megabits, int width, int height)
{
    return { QString::fromUtf16(id), QString::fromUtf16(label), megabits * 1'000'000,
        QSize(width, height) };
}

} // namespace

const QList<PlaybackQuality> &PlaybackQuality::all()
{
    static const QList<PlaybackQuality> rows {
        { QStringLiteral("Auto"), QString::fromUtf16(u"Auto \u00b7 Adaptive"), std::nullopt,
            std::nullopt },
        capped(u"0.3Mbps", u"0.1 \u2013 0.3 Mbps", 0.3, 426, 240),
        capped(u"1Mbps", u"0.4 \u2013 1.0 Mbps", 1, 640, 360),
        capped(u"2Mbps", u"1.0 \u2013 2.0 Mbps", 2, 854, 480),
        capped(u"4Mbps", u"2.5 \u2013 4.0 Mbps", 4, 1280, 720),
        capped(u"5Mbps", u"3.5 \u2013 5.0 Mbps", 5, 1280, 720),
        capped(u"6Mbps", u"4.5 \u2013 6.0 Mbps", 6, 1920, 1080),
        capped(u"9Mbps", u"6.0 \u2013 9.0 Mbps", 9, 1920, 1080),
        capped(u"18Mbps", u"9 \u2013 18 Mbps", 18, 2560, 1440),
        capped(u"51Mbps", u"20 \u2013 51 Mbps", 51, 3840, 2160),
    };
    return rows;
}

const PlaybackQuality &PlaybackQuality::automatic()
{
    return all().front();
}

const PlaybackQuality &PlaybackQuality::option(QStringView name)
{
    QStringView id = name;
    if (name == u"240p" || name == u"360p")
        id = u"0.3Mbps";
    else if (name == u"480p")
        id = u"2Mbps";
    else if (name == u"720p")
        id = u"4Mbps";
    else if (name == u"1080p")
        id = u"6Mbps";
    else if (name == u"4K")
        id = u"51Mbps";
    for (const PlaybackQuality &row : all()) {
        if (row.id == id)
            return row;
    }
    return automatic();
}

QVariantList PlaybackQuality::menuRows()
{
    QVariantList rows;
    for (const PlaybackQuality &row : all())
        rows.append(QVariantMap {
            { QStringLiteral("id"), row.id }, { QStringLiteral("label"), row.label } });
    return rows;
}

size_t qHash(const PlaybackQuality &quality, size_t seed) noexcept
{
    QtPrivate::QHashCombine combine;
    seed = combine(seed, quality.id);
    seed = combine(seed, quality.label);
    seed = combine(seed, quality.maxBitrate.has_value());
    seed = combine(seed, quality.maxBitrate.value_or(0));
    seed = combine(seed, quality.maxResolution.has_value());
    if (quality.maxResolution) {
        seed = combine(seed, quality.maxResolution->width());
        seed = combine(seed, quality.maxResolution->height());
    }
    return seed;
}

} // namespace orvella
