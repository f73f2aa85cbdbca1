#pragma once

#include "studio/StudioBackgroundPreset.h"

#include <QObject>
#include <QStringList>
#include <QUrl>
#include <QVariantList>

namespace orvella {

class StudioFramePipeline;

// How the camera picture looks: the colour and noise sliders, the mirror toggle and the virtual
// background (a preset or the viewer's own file). Every change reaches the pipeline at once,
// except the mirror, which the next device configuration reads.
class StudioLook : public QObject
{
    Q_OBJECT

public:
    explicit StudioLook(StudioFramePipeline *pipeline, QObject *parent = nullptr);

    [[nodiscard]] double brightness() const { return m_brightness; }
    [[nodiscard]] double contrast() const { return m_contrast; }
    [[nodiscard]] double noiseReduction() const { return m_noiseReduction; }
    [[nodiscard]] bool mirrorPreview() const { return m_mirrorPreview; }
    [[nodiscard]] StudioBackgroundPreset selectedPreset() const { return m_selectedPreset; }
    [[nodiscard]] QUrl selectedBackgroundURL() const { return m_selectedBackgroundURL; }

    void setBrightness(double value);
    void setContrast(double value);
    void setNoiseReduction(double value);
    void setMirrorPreview(bool value);
    // The preset's background is loaded again, also when it is the one in use.
    void selectPreset(StudioBackgroundPreset preset);
    // A local file becomes the custom background; anything else changes nothing.
    void chooseBackground(const QUrl &file);

    // Every preset as {id, title, assetName, animated, index} in the picker's order.
    [[nodiscard]] static QVariantList presets();
    // Name filters for the custom background file dialog: pictures, GIFs and movies.
    [[nodiscard]] static QStringList backgroundFileNameFilters();

signals:
    void brightnessChanged();
    void contrastChanged();
    void noiseReductionChanged();
    void mirrorPreviewChanged();
    void selectedPresetChanged();
    void selectedBackgroundURLChanged();

private:
    void setBackground(StudioBackgroundPreset preset, const QUrl &file);
    void pushPictureSettings();

    StudioFramePipeline *m_pipeline;
    double m_brightness = 0;
    double m_contrast = 1.0;
    double m_noiseReduction = 0.35;
    bool m_mirrorPreview = true;
    StudioBackgroundPreset m_selectedPreset = StudioBackgroundPreset::none;
    QUrl m_selectedBackgroundURL;
};

} // namespace orvella
