#pragma once

#include <QString>
#include <QStringView>
#include <array>
#include <optional>

namespace orvella {

// The six scenes the animated background renderer draws.
enum class StudioAnimatedBackgroundKind {
    studioLights,
    goldenRays,
    softBokeh,
    orvellaTileWall,
    orvellaHeroStudio,
    orvellaBroadcastSet,
};

// The closed list of virtual backgrounds, in the order the picker shows them.
enum class StudioBackgroundPreset {
    none,
    softBlur,
    heavyBlur,
    midnight,
    sanctuary,
    sunrise,
    pureWhite,
    orvella,
    orvellaBrand,
    orvellaLogoTiles,
    jerusalem,
    mountOfOlives,
    viaDolorosa,
    galilee,
    jordanRiver,
    gardenTomb,
    bethlehem,
    capernaum,
    nazareth,
    golgotha,
    upperRoom,
    poolOfBethesda,
    westernWall,
    templeMount,
    holySepulchre,
    bethsaida,
    cana,
    studioLights,
    goldenRays,
    softBokeh,
    orvellaTileWall,
    orvellaHeroStudio,
    orvellaBroadcastSet,
    custom,
};

inline constexpr int studioBackgroundPresetCount = 34;

// Solid colour of the four colour presets, as red, green, blue fractions.
struct StudioPresetColour
{
    double red = 0;
    double green = 0;
    double blue = 0;
};

// Every preset in declaration order; pure, callable from any thread.
[[nodiscard]] const std::array<StudioBackgroundPreset, studioBackgroundPresetCount> &
allStudioBackgroundPresets();
[[nodiscard]] int presetIndex(StudioBackgroundPreset preset);
// The case name, also the identity the picker and QML use.
[[nodiscard]] QString presetRawValue(StudioBackgroundPreset preset);
// Exact, case-sensitive match against the raw values.
[[nodiscard]] std::optional<StudioBackgroundPreset> presetFromRawValue(QStringView rawValue);
[[nodiscard]] QString presetTitle(StudioBackgroundPreset preset);
// The picture resource of the twenty picture presets.
[[nodiscard]] std::optional<QString> presetAssetName(StudioBackgroundPreset preset);
[[nodiscard]] std::optional<StudioAnimatedBackgroundKind> presetAnimatedKind(
    StudioBackgroundPreset preset);
[[nodiscard]] std::optional<StudioPresetColour> presetColour(StudioBackgroundPreset preset);
[[nodiscard]] bool presetIsBlur(StudioBackgroundPreset preset);
// Gaussian radius of the two blur presets, 0 for every other.
[[nodiscard]] int presetBlurRadius(StudioBackgroundPreset preset);

} // namespace orvella
