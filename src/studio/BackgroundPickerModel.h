#pragma once

#include "core/ObjectLink.h"
#include "studio/StudioBackgroundPreset.h"
#include "studio/StudioCaptureController.h"

#include <QAbstractListModel>
#include <QColor>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QtQml/qqmlregistration.h>
#include <array>

namespace orvella {

// The static miniature that stands for a preset in the picker: a two-colour gradient, a plain
// colour, or the preset's picture, with an optional symbol on top.
struct PresetSwatch
{
    enum class Fill { Vertical, Diagonal, Solid, Picture };

    Fill fill = Fill::Solid;
    QColor from;
    QColor to;
    QString assetName; // Picture only
    QString symbol;
    QColor symbolColor;
    int symbolSize = 0; // 0: the default size

    bool operator==(const PresetSwatch &) const = default;
};

inline constexpr int pickerPresetCount = 33;

// Every preset but the custom file, in the order the grid shows them: no background and the
// blurs, the branded pictures, the animated sets, the places, the colours.
[[nodiscard]] const std::array<StudioBackgroundPreset, pickerPresetCount> &pickerPresets();

[[nodiscard]] PresetSwatch presetSwatch(StudioBackgroundPreset preset);

// Where the viewer keeps pictures: the desktop's pictures folder, else ~/Pictures, when it
// exists; else the home folder.
[[nodiscard]] QString picturesFolder();

// The picker's cells, their highlight and the custom-file button text, read back from the
// capture controller; choices are sent to it.
class BackgroundPickerModel : public QAbstractListModel
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::StudioCaptureController *capture READ capture WRITE setCapture NOTIFY
            captureChanged)
    Q_PROPERTY(QString customButtonText READ customButtonText NOTIFY customButtonTextChanged)
    Q_PROPERTY(QStringList fileNameFilters READ fileNameFilters CONSTANT)
    Q_PROPERTY(QUrl chooserFolder READ chooserFolder NOTIFY chooserFolderChanged)

public:
    enum Role {
        PresetIdRole = Qt::UserRole + 1,
        TitleRole,
        FillRole, // "vertical", "diagonal", "solid", "picture"
        FromColorRole,
        ToColorRole,
        ImageSourceRole, // empty when the picture is not shipped: the swatch stays black
        SymbolRole,
        SymbolColorRole,
        SymbolSizeRole,
        SelectedRole,
    };
    Q_ENUM(Role)

    explicit BackgroundPickerModel(QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = {}) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QHash<int, QByteArray> roleNames() const override;

    [[nodiscard]] StudioCaptureController *capture() const { return m_capture.get(); }
    void setCapture(StudioCaptureController *capture);
    [[nodiscard]] QString customButtonText() const;
    [[nodiscard]] static QStringList fileNameFilters();
    // Where the custom file's chooser opens: the folder of the last file chosen in this run while
    // it exists, else picturesFolder().
    [[nodiscard]] static QUrl chooserFolder();

    // Selects the preset of a cell, also the one already in use (its background reloads).
    Q_INVOKABLE void choose(int row);
    // The file dialog's choice; an empty URL (cancelled) changes nothing.
    Q_INVOKABLE void chooseCustomFile(const QUrl &file);

signals:
    void captureChanged();
    void customButtonTextChanged();
    void chooserFolderChanged();

private:
    void selectionChanged();

    ObjectLink<StudioCaptureController> m_capture;
};

} // namespace orvella
