#include "studio/StudioFramePipeline.h"

#include "platform/BackgroundFileLoader.h"
#include "platform/ImageFilters.h"
#include "platform/PersonSegmenter.h"
#include "studio/StudioAnimatedBackgroundRenderer.h"
#include "studio/StudioRecordingFiles.h"

#include <QDateTime>
#include <QFile>
#include <QThread>
#include <opencv2/imgproc.hpp>

namespace orvella {

namespace {

cv::Mat imageToBgr(const QImage &image)
{
    if (image.isNull())
        return {};
    const QImage argb = image.convertToFormat(QImage::Format_RGB32);
    const cv::Mat view(argb.height(), argb.width(), CV_8UC4, const_cast<uchar *>(argb.constBits()),
        static_cast<size_t>(argb.bytesPerLine()));
    cv::Mat bgr;
    cv::cvtColor(view, bgr, cv::COLOR_BGRA2BGR);
    return bgr;
}

// The buffer for reuse, or a fresh one when a caller still holds the last picture in it.
cv::Mat &unshared(cv::Mat &buffer)
{
    if (buffer.u && buffer.u->refcount > 1)
        buffer.release();
    return buffer;
}

QImage bgrToImage(const cv::Mat &bgr)
{
    QImage image(bgr.cols, bgr.rows, QImage::Format_RGB32);
    cv::Mat view(image.height(), image.width(), CV_8UC4, image.bits(),
        static_cast<size_t>(image.bytesPerLine()));
    cv::cvtColor(bgr, view, cv::COLOR_BGR2BGRA);
    return image;
}

} // namespace

StudioFramePipeline::StudioFramePipeline(
    PersonSegmenter *segmenter, AssetLoader loadAsset, AssetLoader loadLogo, QObject *parent)
    : QObject(parent)
    , m_segmenter(segmenter)
    , m_loadAsset(std::move(loadAsset))
    , m_loadLogo(std::move(loadLogo))
{
    if (!m_loadAsset)
        m_loadAsset = [](const QString &) { return QImage(); };
    if (!m_loadLogo)
        m_loadLogo = [](const QString &) { return QImage(); };
    m_writerThread = std::make_unique<QThread>();
    m_writerThread->setObjectName(QStringLiteral("studio.writer"));
    m_writerContext = std::make_unique<QObject>();
    m_writerContext->moveToThread(m_writerThread.get());
    m_writerThread->start();
}

StudioAnimatedBackgroundRenderer &StudioFramePipeline::renderer()
{
    if (!m_renderer)
        m_renderer
            = new StudioAnimatedBackgroundRenderer(m_loadLogo(QStringLiteral("OrvellaLogoTiles")),
                m_loadLogo(QStringLiteral("OrvellaBrandBG")), this);
    return *m_renderer;
}

StudioFramePipeline::~StudioFramePipeline()
{
    m_writer.reset();
    m_writerThread->quit();
    m_writerThread->wait();
    m_writerContext.reset();
}

void StudioFramePipeline::waitForWriter()
{
    QMetaObject::invokeMethod(
        m_writerContext.get(), [] {}, Qt::BlockingQueuedConnection);
}

void StudioFramePipeline::submitFrame(CameraFrame frame)
{
    bool schedule = false;
    {
        std::lock_guard lock(m_mutex);
        if (m_pendingFrame)
            m_replacedFrames.fetch_add(1);
        else
            schedule = true;
        m_pendingFrame = std::move(frame);
    }
    if (schedule)
        QMetaObject::invokeMethod(this, &StudioFramePipeline::processPending, Qt::QueuedConnection);
}

void StudioFramePipeline::submitAudio(AudioChunk chunk)
{
    QMetaObject::invokeMethod(
        this, [this, chunk = std::move(chunk)] { handleAudio(chunk); }, Qt::QueuedConnection);
}

void StudioFramePipeline::setPictureSettings(const StudioPictureSettings &settings)
{
    std::lock_guard lock(m_mutex);
    m_settings = settings;
}

void StudioFramePipeline::setPreviewHandler(std::function<void(QImage)> handler)
{
    std::lock_guard lock(m_mutex);
    m_previewHandler = std::move(handler);
}

void StudioFramePipeline::processPending()
{
    std::optional<CameraFrame> frame;
    {
        std::lock_guard lock(m_mutex);
        frame.swap(m_pendingFrame);
    }
    if (frame)
        handleFrame(*frame);
}

cv::Mat StudioFramePipeline::processFrame(const cv::Mat &bgra)
{
    StudioPictureSettings settings;
    {
        std::lock_guard lock(m_mutex);
        settings = m_settings;
    }
    cv::Mat &bgr = unshared(m_frame);
    if (bgra.channels() == 4)
        cv::cvtColor(bgra, bgr, cv::COLOR_BGRA2BGR);
    else
        bgra.copyTo(bgr);
    filters::colourControls(bgr, settings.brightness, settings.contrast);
    if (settings.noiseReduction > filters::noiseFilterThreshold)
        filters::reduceNoise(
            bgr, filters::noiseLevelFor(settings.noiseReduction), filters::noiseSharpness);
    if (settings.preset != StudioBackgroundPreset::none)
        composite(settings.preset);
    return m_frame;
}

void StudioFramePipeline::composite(StudioBackgroundPreset preset)
{
    if (!m_segmenter)
        return;
    const std::optional<cv::Mat> mask = m_segmenter->segment(m_frame);
    if (!mask || mask->empty())
        return;
    const cv::Mat *background = nullptr;
    if (const int radius = presetBlurRadius(preset); radius > 0) {
        filters::gaussianBlurReplicate(m_frame, radius, unshared(m_blurred));
        background = &m_blurred;
    } else {
        if (m_background.empty())
            return;
        if (m_filledBackground.size() != m_frame.size())
            m_filledBackground = filters::aspectFill(m_background, m_frame.size());
        background = &m_filledBackground;
    }
    filters::fitMask(*mask, m_frame.size(), m_mask);
    filters::blendWithMask(m_frame, *background, m_mask, unshared(m_composite));
    std::swap(m_frame, m_composite);
}

void StudioFramePipeline::handleFrame(const CameraFrame &frame)
{
    if (m_suspended.load() || frame.bgra.empty())
        return;
    const cv::Mat processed = processFrame(frame.bgra);
    if (processed.empty())
        return;
    // The preview shows every second processed frame.
    if (++m_previewCounter % 2 == 0) {
        std::function<void(QImage)> handler;
        {
            std::lock_guard lock(m_mutex);
            handler = m_previewHandler;
        }
        if (handler)
            handler(bgrToImage(processed));
    }
    write(processed, frame.timeUs);
    // Counted once the frame is completely handled.
    m_processedFrames.fetch_add(1);
}

void StudioFramePipeline::write(const cv::Mat &processed, qint64 timeUs)
{
    if (!m_writer || !m_acceptSamples || !m_recordingActive)
        return;
    // A frame taken while paused (handled after the resume) belongs to the pause.
    if (timeUs < m_activeSinceUs)
        return;
    const qint64 time = timeUs - m_pausedTotalUs;
    if (!m_writingStarted) {
        m_writingStarted = m_writer->startWriting();
        if (!m_writingStarted)
            return;
        m_writer->startSession(time);
    }
    // Like a writer input that is not ready for more data: a frame the encoder cannot take
    // soon is left out of the movie (it was previewed).
    constexpr int maxFramesAtWriter = 3;
    if (m_framesAtWriter.load() >= maxFramesAtWriter)
        return;
    m_framesAtWriter.fetch_add(1);
    QMetaObject::invokeMethod(
        m_writerContext.get(),
        [this, writer = m_writer, processed, time] {
            if (writer->appendVideo(processed, time))
                m_writtenFrames.fetch_add(1);
            m_framesAtWriter.fetch_sub(1);
        },
        Qt::QueuedConnection);
}

void StudioFramePipeline::handleAudio(const AudioChunk &chunk)
{
    if (!m_writer || !m_acceptSamples || !m_recordingActive || !m_writingStarted)
        return;
    if (chunk.timeUs < m_activeSinceUs)
        return;
    AudioChunk shifted = chunk;
    shifted.timeUs -= m_pausedTotalUs;
    QMetaObject::invokeMethod(
        m_writerContext.get(),
        [writer = m_writer, shifted = std::move(shifted)] { writer->appendAudio(shifted); },
        Qt::QueuedConnection);
}

void StudioFramePipeline::setBackgroundPicture(const QImage &picture)
{
    m_background = imageToBgr(picture);
    m_filledBackground.release();
}

void StudioFramePipeline::setBackground(StudioBackgroundPreset preset, const QString &customFile)
{
    stopAnimation();
    if (!customFile.isEmpty()) {
        setBackgroundPicture(loadBackgroundPicture(customFile));
        return;
    }
    if (const auto kind = presetAnimatedKind(preset)) {
        renderer().start(*kind, [this](const QImage &frame) { setBackgroundPicture(frame); });
        return;
    }
    if (const auto asset = presetAssetName(preset)) {
        const QImage picture = m_loadAsset(*asset);
        if (!picture.isNull()) {
            setBackgroundPicture(picture);
            return;
        }
    }
    if (const auto colour = presetColour(preset)) {
        m_background = cv::Mat(1080, 1920, CV_8UC3,
            cv::Scalar(colour->blue * 255.0, colour->green * 255.0, colour->red * 255.0));
        m_filledBackground.release();
        return;
    }
    m_background.release();
    m_filledBackground.release();
}

void StudioFramePipeline::stopAnimation()
{
    if (m_renderer)
        m_renderer->stop();
}

void StudioFramePipeline::renderAnimationFrame()
{
    if (m_renderer)
        m_renderer->renderAndDeliver();
}

void StudioFramePipeline::beginRecording(std::unique_ptr<MovieWriter> writer)
{
    m_writer = std::shared_ptr<MovieWriter>(std::move(writer));
    m_writingStarted = false;
    m_acceptSamples = true;
    m_recordingActive = true;
    m_pausedTotalUs = 0;
    m_activeSinceUs = 0;
    m_writtenFrames.store(0);
}

void StudioFramePipeline::pauseRecording(qint64 atUs)
{
    if (!m_recordingActive)
        return;
    m_recordingActive = false;
    m_pauseStartedUs = atUs;
}

void StudioFramePipeline::resumeRecording(qint64 atUs)
{
    if (m_recordingActive || !m_acceptSamples)
        return;
    // The paused span is taken off every later time stamp, so the movie matches the clock.
    if (m_writingStarted)
        m_pausedTotalUs += atUs - m_pauseStartedUs;
    m_activeSinceUs = atUs;
    m_recordingActive = true;
}

RecordingOutcome StudioFramePipeline::finishRecording(
    const QString &moviePath, const FinishedCopyFolder &folder)
{
    m_acceptSamples = false;
    m_recordingActive = false;
    RecordingOutcome outcome;
    std::shared_ptr<MovieWriter> writer = std::move(m_writer);
    m_writingStarted = false;
    if (!writer)
        return outcome;
    outcome.hadWriter = true;
    // After everything already queued for it.
    QMetaObject::invokeMethod(
        m_writerContext.get(),
        [writer] {
            if (writer->status() == MovieWriterStatus::writing)
                writer->finishWriting();
        },
        Qt::BlockingQueuedConnection);
    if (writer->status() == MovieWriterStatus::completed && !moviePath.isEmpty()) {
        outcome.completed = true;
        const QString copy = copyFinishedMovie(moviePath, folder, QDateTime::currentDateTime());
        // Without a copy the temporary movie itself is the recording.
        outcome.outputPath = copy.isEmpty() ? moviePath : copy;
    } else {
        outcome.error = writer->errorDescription();
    }
    return outcome;
}

void StudioFramePipeline::discardRecording()
{
    m_writer.reset();
    m_acceptSamples = false;
    m_recordingActive = false;
    m_writingStarted = false;
}

} // namespace orvella
