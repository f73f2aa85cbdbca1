#include "studio/BackgroundPickerModel.h"

#include "studio/StudioPictureCatalog.h"
#include "ui/SavePaths.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace orvella {

namespace {

using P = StudioBackgroundPreset;
using Fill = PresetSwatch::Fill;

QColor rgb(double r, double g, double b, double opacity = 1.0)
{
    return QColor::fromRgbF(float(r), float(g), float(b), float(opacity));
}

QColor withOpacity(QColor colour, double opacity)
{
    colour.setAlphaF(float(opacity));
    return colour;
}

// The desktop palette's named colours (dark appearance) and the theme's.
namespace colour {
const QColor gray = rgb(0.557, 0.557, 0.576);
const QColor blue = rgb(0.039, 0.518, 1.0);
const QColor cyan = rgb(0.392, 0.824, 1.0);
const QColor indigo = rgb(0.369, 0.361, 0.902);
const QColor orange = rgb(1.0, 0.624, 0.039);
const QColor black = rgb(0, 0, 0);
const QColor white = rgb(1, 1, 1);
const QColor navy = rgb(0.039, 0.086, 0.157);
const QColor navyDeep = rgb(0.051, 0.122, 0.235);
const QColor gold = rgb(0.831, 0.659, 0.325);
} // namespace colour

QString fillName(Fill fill)
{
    switch (fill) {
    case Fill::Vertical:
        return QStringLiteral("vertical");
    case Fill::Diagonal:
        return QStringLiteral("diagonal");
    case Fill::Solid:
        return QStringLiteral("solid");
    case Fill::Picture:
        return QStringLiteral("picture");
    }
    return {};
}

// The picture when it ships with the application; the swatch decodes it at its own size.
QString pictureSource(const QString &assetName)
{
    const QString path = studioPictures::picturePath(assetName);
    return path.isEmpty() ? QString() : QStringLiteral("qrc") + path;
}

bool isFolder(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

// The folder of the custom file chosen last, shared by the pickers of every visit to the studio.
QString &lastChosenFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString picturesFolder()
{
    const QString pictures
        = savepaths::usualFolder(QStandardPaths::PicturesLocation, QStringLiteral("Pictures"));
    return pictures.isEmpty() ? QDir::homePath() : pictures;
}

const std::array<StudioBackgroundPreset, pickerPresetCount> &pickerPresets()
{
    static constexpr std::array<StudioBackgroundPreset, pickerPresetCount> order {
        P::none,
        P::softBlur,
        P::heavyBlur,
        P::orvella,
        P::orvellaBrand,
        P::orvellaLogoTiles,
        P::studioLights,
        P::goldenRays,
        P::softBokeh,
        P::orvellaTileWall,
        P::orvellaHeroStudio,
        P::orvellaBroadcastSet,
        P::jerusalem,
        P::mountOfOlives,
        P::viaDolorosa,
        P::galilee,
        P::jordanRiver,
        P::gardenTomb,
        P::bethlehem,
        P::capernaum,
        P::nazareth,
        P::golgotha,
        P::upperRoom,
        P::poolOfBethesda,
        P::westernWall,
        P::templeMount,
        P::holySepulchre,
        P::bethsaida,
        P::cana,
        P::midnight,
        P::sanctuary,
        P::sunrise,
        P::pureWhite,
    };
    return order;
}

PresetSwatch presetSwatch(StudioBackgroundPreset preset)
{
    using namespace colour;
    switch (preset) {
    case P::none:
        return { Fill::Vertical, withOpacity(gray, 0.4), black };
    case P::softBlur:
    case P::heavyBlur:
        return { Fill::Diagonal, withOpacity(blue, 0.35), withOpacity(cyan, 0.35), {},
            QStringLiteral("drop.fill"), withOpacity(white, 0.8), 12 };
    case P::midnight:
        return { Fill::Diagonal, navyDeep, black };
    case P::sanctuary:
        return { Fill::Diagonal, withOpacity(indigo, 0.65), black };
    case P::sunrise:
    case P::goldenRays:
        return { Fill::Vertical, withOpacity(orange, 0.75), withOpacity(blue, 0.65) };
    case P::pureWhite:
        return { Fill::Vertical, withOpacity(white, 0.8), gray };
    case P::studioLights:
        return { Fill::Diagonal, withOpacity(gold, 0.45), navyDeep };
    case P::softBokeh:
        return { Fill::Diagonal, withOpacity(cyan, 0.35), navyDeep };
    case P::orvellaTileWall:
    case P::orvellaHeroStudio:
    case P::orvellaBroadcastSet:
        return { Fill::Diagonal, navy, withOpacity(indigo, 0.65), {}, QStringLiteral("sparkles"),
            withOpacity(gold, 0.8) };
    case P::custom:
        return { Fill::Solid, black, black, {}, QStringLiteral("photo") };
    default:
        break;
    }
    // The twenty picture presets; black behind a picture that is not there.
    return { Fill::Picture, black, black, presetAssetName(preset).value_or(QString()) };
}

BackgroundPickerModel::BackgroundPickerModel(QObject *parent)
    : QAbstractListModel(parent)
{ }

int BackgroundPickerModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : pickerPresetCount;
}

QVariant BackgroundPickerModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    const StudioBackgroundPreset preset = pickerPresets()[std::size_t(index.row())];
    const PresetSwatch swatch = presetSwatch(preset);
    switch (role) {
    case PresetIdRole:
        return presetRawValue(preset);
    case Qt::DisplayRole:
    case TitleRole:
        return presetTitle(preset);
    case FillRole:
        return fillName(swatch.fill);
    case FromColorRole:
        return swatch.from;
    case ToColorRole:
        return swatch.to;
    case ImageSourceRole:
        return pictureSource(swatch.assetName);
    case SymbolRole:
        return swatch.symbol;
    case SymbolColorRole:
        return swatch.symbolColor;
    case SymbolSizeRole:
        return swatch.symbolSize;
    case SelectedRole:
        return m_capture && m_capture->selectedPreset() == preset;
    default:
        return {};
    }
}

QHash<int, QByteArray> BackgroundPickerModel::roleNames() const
{
    return { { PresetIdRole, "presetId" }, { TitleRole, "title" }, { FillRole, "fill" },
        { FromColorRole, "fromColor" }, { ToColorRole, "toColor" },
        { ImageSourceRole, "imageSource" }, { SymbolRole, "symbol" },
        { SymbolColorRole, "symbolColor" }, { SymbolSizeRole, "symbolSize" },
        { SelectedRole, "selected" } };
}

void BackgroundPickerModel::setCapture(StudioCaptureController *capture)
{
    if (!m_capture.repoint(capture))
        return;
    m_capture.forward(&StudioCaptureController::selectedPresetChanged, this,
        &BackgroundPickerModel::selectionChanged);
    m_capture.forward(&StudioCaptureController::selectedBackgroundURLChanged, this,
        &BackgroundPickerModel::customButtonTextChanged);
    emit captureChanged();
    selectionChanged();
    emit customButtonTextChanged();
}

void BackgroundPickerModel::selectionChanged()
{
    emit dataChanged(index(0), index(pickerPresetCount - 1), { SelectedRole });
}

QString BackgroundPickerModel::customButtonText() const
{
    const QUrl file = m_capture ? m_capture->selectedBackgroundURL() : QUrl();
    const QString name
        = QFileInfo(file.isLocalFile() ? file.toLocalFile() : file.path()).fileName();
    return name.isEmpty() ? QStringLiteral("Upload custom image / GIF / video") : name;
}

QStringList BackgroundPickerModel::fileNameFilters()
{
    return StudioCaptureController::backgroundFileNameFilters();
}

void BackgroundPickerModel::choose(int row)
{
    if (m_capture && row >= 0 && row < pickerPresetCount)
        m_capture->selectPreset(pickerPresets()[std::size_t(row)]);
}

QUrl BackgroundPickerModel::chooserFolder()
{
    const QString &last = lastChosenFolder();
    return QUrl::fromLocalFile(isFolder(last) ? last : picturesFolder());
}

void BackgroundPickerModel::chooseCustomFile(const QUrl &file)
{
    if (!m_capture || file.isEmpty())
        return;
    m_capture->chooseBackground(file);
    if (file.isLocalFile()) {
        lastChosenFolder() = QFileInfo(file.toLocalFile()).absolutePath();
        emit chooserFolderChanged();
    }
}

} // namespace orvella
