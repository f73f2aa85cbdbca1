#include "studio/BackgroundPickerModel.h"

#include <QSet>
#include <gtest/gtest.h>

namespace {

using namespace orvella;
using P = StudioBackgroundPreset;
using Fill = PresetSwatch::Fill;

TEST(BackgroundPicker, ListsEveryPresetButCustomInGridOrder)
{
    const auto &order = pickerPresets();
    QStringList ids;
    for (P preset : order)
        ids << presetRawValue(preset);
    EXPECT_EQ(ids,
        (QStringList { "none", "softBlur", "heavyBlur", "orvella", "orvellaBrand",
            "orvellaLogoTiles", "studioLights", "goldenRays", "softBokeh", "orvellaTileWall",
            "orvellaHeroStudio", "orvellaBroadcastSet", "jerusalem", "mountOfOlives", "viaDolorosa",
            "galilee", "jordanRiver", "gardenTomb", "bethlehem", "capernaum", "nazareth",
            "golgotha", "upperRoom", "poolOfBethesda", "westernWall", "templeMount",
            "holySepulchre", "bethsaida", "cana", "midnight", "sanctuary", "sunrise",
            "pureWhite" }));
    EXPECT_EQ(QSet<QString>(ids.begin(), ids.end()).size(), 33);
    EXPECT_FALSE(ids.contains("custom"));
}

TEST(BackgroundPicker, SwatchesStandForTheirPresets)
{
    // Look-alikes: only the titles tell them apart.
    EXPECT_EQ(presetSwatch(P::sunrise), presetSwatch(P::goldenRays));
    EXPECT_EQ(presetSwatch(P::softBlur), presetSwatch(P::heavyBlur));
    EXPECT_EQ(presetSwatch(P::orvellaTileWall), presetSwatch(P::orvellaHeroStudio));
    EXPECT_EQ(presetSwatch(P::orvellaTileWall), presetSwatch(P::orvellaBroadcastSet));
    EXPECT_NE(presetSwatch(P::studioLights), presetSwatch(P::softBokeh));

    const PresetSwatch none = presetSwatch(P::none);
    EXPECT_EQ(none.fill, Fill::Vertical);
    EXPECT_NEAR(none.from.alphaF(), 0.4, 0.01);
    EXPECT_EQ(none.to, QColor(Qt::black));
    EXPECT_TRUE(none.symbol.isEmpty());

    const PresetSwatch blur = presetSwatch(P::softBlur);
    EXPECT_EQ(blur.fill, Fill::Diagonal);
    EXPECT_EQ(blur.symbol, "drop.fill");
    EXPECT_EQ(blur.symbolSize, 12);
    EXPECT_NEAR(blur.symbolColor.alphaF(), 0.8, 0.01);

    const PresetSwatch animated = presetSwatch(P::orvellaBroadcastSet);
    EXPECT_EQ(animated.symbol, "sparkles");
    EXPECT_EQ(animated.symbolSize, 0);

    EXPECT_EQ(presetSwatch(P::pureWhite).fill, Fill::Vertical);
    EXPECT_EQ(presetSwatch(P::midnight).fill, Fill::Diagonal);
    EXPECT_EQ(presetSwatch(P::custom).symbol, "photo");

    // Every picture preset shows its own picture, black while it is missing.
    int pictures = 0;
    for (P preset : pickerPresets()) {
        const PresetSwatch swatch = presetSwatch(preset);
        if (swatch.fill != Fill::Picture)
            continue;
        ++pictures;
        EXPECT_EQ(swatch.assetName, presetAssetName(preset).value_or(QString()));
        EXPECT_EQ(swatch.from, QColor(Qt::black));
        EXPECT_TRUE(swatch.symbol.isEmpty());
    }
    EXPECT_EQ(pictures, 20);
    EXPECT_EQ(presetSwatch(P::bethlehem).assetName, "BethlehemHills");
}

} // namespace
