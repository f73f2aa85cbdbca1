#include "Scenes.h"

namespace paint {

QImage painterly(const Canvas &scene, const BrushPlan &plan, float vignette)
{
    Canvas painted = brushwork(scene, plan);
    finish(painted, vignette, 0.025f, plan.seed + 100);
    return painted.toImage();
}

std::vector<Picture> placePictures()
{
    using namespace scenes;
    return {
        { QStringLiteral("JerusalemOldCity"), jerusalemOldCity },
        { QStringLiteral("MountOfOlives"), mountOfOlives },
        { QStringLiteral("ViaDolorosa"), viaDolorosa },
        { QStringLiteral("SeaOfGalilee"), seaOfGalilee },
        { QStringLiteral("JordanRiver"), jordanRiver },
        { QStringLiteral("GardenTomb"), gardenTomb },
        { QStringLiteral("BethlehemHills"), bethlehemHills },
        { QStringLiteral("CapernaumShore"), capernaumShore },
        { QStringLiteral("NazarethHills"), nazarethHills },
        { QStringLiteral("GolgothaRidge"), golgothaRidge },
        { QStringLiteral("UpperRoomQuiet"), upperRoomQuiet },
        { QStringLiteral("PoolOfBethesda"), poolOfBethesda },
        { QStringLiteral("WesternWallPlaza"), westernWallPlaza },
        { QStringLiteral("TempleMountDawn"), templeMountDawn },
        { QStringLiteral("HolySepulchreCourt"), holySepulchreCourt },
        { QStringLiteral("BethsaidaShore"), bethsaidaShore },
        { QStringLiteral("CanaVillage"), canaVillage },
    };
}

} // namespace paint
