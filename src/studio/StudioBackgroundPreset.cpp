#include "studio/StudioBackgroundPreset.h"

namespace orvella {

namespace {

struct PresetRow
{
    StudioBackgroundPreset preset;
    const char *rawValue;
    const char *title;
    const char *assetName; // nullptr when the preset has no picture
};

// clang-format off
constexpr std::array<PresetRow, studioBackgroundPresetCount> presetRows{{
    {StudioBackgroundPreset::none, "none", "None", nullptr},
    {StudioBackgroundPreset::softBlur, "softBlur", "Soft Blur", nullptr},
    {StudioBackgroundPreset::heavyBlur, "heavyBlur", "Heavy Blur", nullptr},
    {StudioBackgroundPreset::midnight, "midnight", "Midnight", nullptr},
    {StudioBackgroundPreset::sanctuary, "sanctuary", "Sanctuary", nullptr},
    {StudioBackgroundPreset::sunrise, "sunrise", "Sunrise", nullptr},
    {StudioBackgroundPreset::pureWhite, "pureWhite", "Pure White", nullptr},
    {StudioBackgroundPreset::orvella, "orvella", "Orvella", "OrvellaStudio"},
    {StudioBackgroundPreset::orvellaBrand, "orvellaBrand", "Orvella Logo Studio", "OrvellaBrandBG"},
    {StudioBackgroundPreset::orvellaLogoTiles, "orvellaLogoTiles", "Orvella Logo Tiles", "OrvellaLogoTiles"},
    {StudioBackgroundPreset::jerusalem, "jerusalem", "Jerusalem Old City", "JerusalemOldCity"},
    {StudioBackgroundPreset::mountOfOlives, "mountOfOlives", "Mount of Olives", "MountOfOlives"},
    {StudioBackgroundPreset::viaDolorosa, "viaDolorosa", "Via Dolorosa", "ViaDolorosa"},
    {StudioBackgroundPreset::galilee, "galilee", "Sea of Galilee", "SeaOfGalilee"},
    {StudioBackgroundPreset::jordanRiver, "jordanRiver", "Jordan River", "JordanRiver"},
    {StudioBackgroundPreset::gardenTomb, "gardenTomb", "Garden Tomb", "GardenTomb"},
    {StudioBackgroundPreset::bethlehem, "bethlehem", "Bethlehem", "BethlehemHills"},
    {StudioBackgroundPreset::capernaum, "capernaum", "Capernaum", "CapernaumShore"},
    {StudioBackgroundPreset::nazareth, "nazareth", "Nazareth", "NazarethHills"},
    {StudioBackgroundPreset::golgotha, "golgotha", "Golgotha / Calvary", "GolgothaRidge"},
    {StudioBackgroundPreset::upperRoom, "upperRoom", "Upper Room", "UpperRoomQuiet"},
    {StudioBackgroundPreset::poolOfBethesda, "poolOfBethesda", "Pool of Bethesda", "PoolOfBethesda"},
    {StudioBackgroundPreset::westernWall, "westernWall", "Western Wall", "WesternWallPlaza"},
    {StudioBackgroundPreset::templeMount, "templeMount", "Temple Mount", "TempleMountDawn"},
    {StudioBackgroundPreset::holySepulchre, "holySepulchre", "Holy Sepulchre", "HolySepulchreCourt"},
    {StudioBackgroundPreset::bethsaida, "bethsaida", "Bethsaida", "BethsaidaShore"},
    {StudioBackgroundPreset::cana, "cana", "Cana of Galilee", "CanaVillage"},
    {StudioBackgroundPreset::studioLights, "studioLights", "Studio Lights", nullptr},
    {StudioBackgroundPreset::goldenRays, "goldenRays", "Golden Rays", nullptr},
    {StudioBackgroundPreset::softBokeh, "softBokeh", "Soft Bokeh", nullptr},
    {StudioBackgroundPreset::orvellaTileWall, "orvellaTileWall", "Orvella Animated Tiles", nullptr},
    {StudioBackgroundPreset::orvellaHeroStudio, "orvellaHeroStudio", "Orvella Hero Studio", nullptr},
    {StudioBackgroundPreset::orvellaBroadcastSet, "orvellaBroadcastSet", "Orvella Broadcast Set", nullptr},
    {StudioBackgroundPreset::custom, "custom", "Custom", nullptr},
}};
// clang-format on

constexpr int firstAnimatedIndex = 27;
constexpr int lastAnimatedIndex = 32;

const PresetRow &row(StudioBackgroundPreset preset)
{
    return presetRows[static_cast<std::size_t>(presetIndex(preset))];
}

} // namespace

const std::array<StudioBackgroundPreset, studioBackgroundPresetCount> &allStudioBackgroundPresets()
{
    static const auto presets = [] {
        std::array<StudioBackgroundPreset, studioBackgroundPresetCount> list {};
        for (std::size_t i = 0; i < list.size(); ++i)
            list[i] = presetRows[i].preset;
        return list;
    }();
    return presets;
}

int presetIndex(StudioBackgroundPreset preset)
{
    return static_cast<int>(preset);
}

QString presetRawValue(StudioBackgroundPreset preset)
{
    return QString::fromLatin1(row(preset).rawValue);
}

std::optional<StudioBackgroundPreset> presetFromRawValue(QStringView rawValue)
{
    for (const PresetRow &candidate : presetRows) {
        if (rawValue == QLatin1String(candidate.rawValue))
            return candidate.preset;
    }
    return std::nullopt;
}

QString presetTitle(StudioBackgroundPreset preset)
{
    return QString::fromUtf8(row(preset).title);
}

std::optional<QString> presetAssetName(StudioBackgroundPreset preset)
{
    if (const char *name = row(preset).assetName)
        return QString::fromLatin1(name);
    return std::nullopt;
}

std::optional<StudioAnimatedBackgroundKind> presetAnimatedKind(StudioBackgroundPreset preset)
{
    const int index = presetIndex(preset);
    if (index < firstAnimatedIndex || index > lastAnimatedIndex)
        return std::nullopt;
    return static_cast<StudioAnimatedBackgroundKind>(index - firstAnimatedIndex);
}

std::optional<StudioPresetColour> presetColour(StudioBackgroundPreset preset)
{
    switch (preset) {
    case StudioBackgroundPreset::midnight:
        return StudioPresetColour { 0.025, 0.055, 0.12 };
    case StudioBackgroundPreset::sanctuary:
        return StudioPresetColour { 0.18, 0.035, 0.09 };
    case StudioBackgroundPreset::sunrise:
        return StudioPresetColour { 0.18, 0.31, 0.52 };
    case StudioBackgroundPreset::pureWhite:
        return StudioPresetColour { 0.95, 0.95, 0.95 };
    default:
        return std::nullopt;
    }
}

bool presetIsBlur(StudioBackgroundPreset preset)
{
    return presetBlurRadius(preset) > 0;
}

int presetBlurRadius(StudioBackgroundPreset preset)
{
    switch (preset) {
    case StudioBackgroundPreset::softBlur:
        return 12;
    case StudioBackgroundPreset::heavyBlur:
        return 28;
    default:
        return 0;
    }
}

} // namespace orvella
