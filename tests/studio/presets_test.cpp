#include "studio/StudioBackgroundPreset.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace orvella;
using P = StudioBackgroundPreset;
using K = StudioAnimatedBackgroundKind;

TEST(StudioBackgroundPreset, TableOrderNamesAndKinds)
{
    const auto &all = allStudioBackgroundPresets();
    ASSERT_EQ(all.size(), 34u);
    EXPECT_EQ(all.front(), P::none);
    EXPECT_EQ(all.back(), P::custom);
    QSet<QString> raw;
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(presetIndex(all[i]), static_cast<int>(i));
        raw.insert(presetRawValue(all[i]));
        EXPECT_EQ(presetFromRawValue(presetRawValue(all[i])), all[i]);
    }
    EXPECT_EQ(raw.size(), 34);

    EXPECT_EQ(presetFromRawValue(u"orvellaTileWall"), P::orvellaTileWall);
    EXPECT_EQ(presetIndex(P::orvellaTileWall), 30);
    EXPECT_FALSE(presetFromRawValue(u"OrvellaTileWall"));
    EXPECT_FALSE(presetFromRawValue(u"Soft Blur"));
    EXPECT_FALSE(presetFromRawValue(u""));

    for (P p : { P::none, P::softBlur, P::midnight, P::studioLights, P::custom })
        EXPECT_FALSE(presetAssetName(p)) << presetRawValue(p).toStdString();
    EXPECT_EQ(presetAssetName(P::bethlehem), QStringLiteral("BethlehemHills"));
    EXPECT_EQ(presetAssetName(P::orvella), QStringLiteral("OrvellaStudio"));
    int pictures = 0;
    for (P p : all)
        pictures += presetAssetName(p).has_value();
    EXPECT_EQ(pictures, 20);

    EXPECT_FALSE(presetAnimatedKind(P::cana));
    EXPECT_FALSE(presetAnimatedKind(P::custom));
    EXPECT_EQ(presetAnimatedKind(P::studioLights), K::studioLights);
    EXPECT_EQ(presetAnimatedKind(P::softBokeh), K::softBokeh);
    EXPECT_EQ(presetAnimatedKind(P::orvellaBroadcastSet), K::orvellaBroadcastSet);

    EXPECT_EQ(presetTitle(P::golgotha), QStringLiteral("Golgotha / Calvary"));
    EXPECT_EQ(presetTitle(P::galilee), QStringLiteral("Sea of Galilee"));
    EXPECT_EQ(presetTitle(P::orvellaTileWall), QStringLiteral("Orvella Animated Tiles"));
    EXPECT_EQ(presetTitle(P::orvellaBrand), QStringLiteral("Orvella Logo Studio"));

    EXPECT_EQ(presetBlurRadius(P::softBlur), 12);
    EXPECT_EQ(presetBlurRadius(P::heavyBlur), 28);
    EXPECT_EQ(presetBlurRadius(P::midnight), 0);
    ASSERT_TRUE(presetColour(P::sunrise));
    EXPECT_DOUBLE_EQ(presetColour(P::sunrise)->blue, 0.52);
    EXPECT_DOUBLE_EQ(presetColour(P::pureWhite)->green, 0.95);
    EXPECT_FALSE(presetColour(P::none));
}
