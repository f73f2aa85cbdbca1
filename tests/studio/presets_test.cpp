#include "studio/BackgroundPickerModel.h"
#include "studio/StudioBackgroundPreset.h"

#include <QSet>
#include <gtest/gtest.h>
#include <set>

using namespace orvella;
using P = StudioBackgroundPreset;

TEST(StudioBackgroundPreset, RawValuesAreUniqueAndReadBack)
{
    const auto &all = allStudioBackgroundPresets();
    QSet<QString> raw;
    for (std::size_t i = 0; i < all.size(); ++i) {
        EXPECT_EQ(presetIndex(all[i]), static_cast<int>(i));
        raw.insert(presetRawValue(all[i]));
        EXPECT_EQ(presetFromRawValue(presetRawValue(all[i])), all[i]);
    }
    EXPECT_EQ(raw.size(), qsizetype(all.size()));
    for (const char16_t *unknown : { u"OrvellaTileWall", u"Soft Blur", u"" })
        EXPECT_FALSE(presetFromRawValue(unknown));
}

TEST(StudioBackgroundPreset, ThePickerShowsEachPresetButTheCustomFileOnce)
{
    const auto &grid = pickerPresets();
    const std::set<P> shown(grid.begin(), grid.end());
    EXPECT_EQ(shown.size(), grid.size());
    EXPECT_FALSE(shown.contains(P::custom));
    EXPECT_EQ(grid.size() + 1, allStudioBackgroundPresets().size());
    // A picture swatch shows its own preset's picture.
    for (P preset : grid) {
        const PresetSwatch swatch = presetSwatch(preset);
        if (swatch.fill == PresetSwatch::Fill::Picture)
            EXPECT_EQ(swatch.assetName, presetAssetName(preset).value_or(QString()));
    }
}
