#include "studio/StudioLook.h"

#include "studio/StudioFramePipeline.h"

#include <QVariantMap>

namespace orvella {

namespace {

// Assigns a slider's value; true when it changed, after the change signal.
bool assign(StudioLook *look, double &field, double value, void (StudioLook::*changed)())
{
    if (field == value)
        return false;
    field = value;
    emit(look->*changed)();
    return true;
}

} // namespace

StudioLook::StudioLook(StudioFramePipeline *pipeline, QObject *parent)
    : QObject(parent)
    , m_pipeline(pipeline)
{
    pushPictureSettings();
    setBackground(m_selectedPreset, m_selectedBackgroundURL);
}

QVariantList StudioLook::presets()
{
    QVariantList list;
    for (StudioBackgroundPreset preset : allStudioBackgroundPresets()) {
        list.append(QVariantMap {
            { QStringLiteral("id"), presetRawValue(preset) },
            { QStringLiteral("title"), presetTitle(preset) },
            { QStringLiteral("assetName"), presetAssetName(preset).value_or(QString()) },
            { QStringLiteral("animated"), presetAnimatedKind(preset).has_value() },
            { QStringLiteral("index"), presetIndex(preset) },
        });
    }
    return list;
}

QStringList StudioLook::backgroundFileNameFilters()
{
    return { QStringLiteral("Pictures, GIFs and movies (*.png *.jpg *.jpeg *.gif *.bmp *.webp "
                            "*.heic *.tif *.tiff *.mov *.mp4 *.m4v *.webm *.mkv *.avi)") };
}

void StudioLook::setBrightness(double value)
{
    if (assign(this, m_brightness, value, &StudioLook::brightnessChanged))
        pushPictureSettings();
}

void StudioLook::setContrast(double value)
{
    if (assign(this, m_contrast, value, &StudioLook::contrastChanged))
        pushPictureSettings();
}

void StudioLook::setNoiseReduction(double value)
{
    if (assign(this, m_noiseReduction, value, &StudioLook::noiseReductionChanged))
        pushPictureSettings();
}

void StudioLook::setMirrorPreview(bool value)
{
    if (m_mirrorPreview == value)
        return;
    m_mirrorPreview = value;
    emit mirrorPreviewChanged();
}

void StudioLook::selectPreset(StudioBackgroundPreset preset)
{
    // Only the custom preset keeps a file.
    setBackground(
        preset, preset == StudioBackgroundPreset::custom ? m_selectedBackgroundURL : QUrl());
}

void StudioLook::chooseBackground(const QUrl &file)
{
    if (!file.isEmpty() && file.isLocalFile())
        setBackground(StudioBackgroundPreset::custom, file);
}

void StudioLook::setBackground(StudioBackgroundPreset preset, const QUrl &file)
{
    const bool presetChanged = m_selectedPreset != preset;
    m_selectedPreset = preset;
    if (m_selectedBackgroundURL != file) {
        m_selectedBackgroundURL = file;
        emit selectedBackgroundURLChanged();
    }
    pushPictureSettings();
    // Files are read and animations drawn on the pipeline's thread.
    const QString path = file.toLocalFile();
    m_pipeline->post(
        [preset, path](StudioFramePipeline &pipeline) { pipeline.setBackground(preset, path); });
    if (presetChanged)
        emit selectedPresetChanged();
}

void StudioLook::pushPictureSettings()
{
    m_pipeline->setPictureSettings(
        StudioPictureSettings { m_brightness, m_contrast, m_noiseReduction, m_selectedPreset });
}

} // namespace orvella
