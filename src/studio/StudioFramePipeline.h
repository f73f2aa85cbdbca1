#pragma once

#include "platform/CapturedMedia.h"
#include "platform/MovieWriter.h"
#include "studio/StudioBackgroundPreset.h"

#include <QImage>
#include <QObject>
#include <QString>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>

class QThread;

namespace orvella {

class PersonSegmenter;
class StudioAnimatedBackgroundRenderer;
struct FinishedCopyFolder;

// The values of the studio's picture controls that every frame reads.
struct StudioPictureSettings
{
    double brightness = 0;
    double contrast = 1.0;
    double noiseReduction = 0.35;
    StudioBackgroundPreset preset = StudioBackgroundPreset::none;
};

// What a finished (or failed) recording came to.
struct RecordingOutcome
{
    bool hadWriter = false;
    bool completed = false;
    QString error; // the writer's description when it did not complete
    QString outputPath; // the Downloads copy, or the temporary movie when copying failed
};

// Turns camera frames into the processed picture (colour controls, noise filter, virtual
// background), hands every second one to the preview and, while recording, writes frames and
// microphone samples. Lives on its own worker thread: submitFrame/submitAudio and
// setPictureSettings may be called from any thread, everything else only on the worker thread.
class StudioFramePipeline : public QObject
{
    Q_OBJECT

public:
    using AssetLoader = std::function<QImage(const QString &name)>;

    // The loaders run on the pipeline's thread, the logos' when an animation first starts.
    StudioFramePipeline(PersonSegmenter *segmenter, AssetLoader loadAsset,
        AssetLoader loadLogo = nullptr, QObject *parent = nullptr);
    ~StudioFramePipeline() override;

    // Any thread. At most one frame waits: a newer one replaces it.
    void submitFrame(CameraFrame frame);
    void submitAudio(AudioChunk chunk);
    void setPictureSettings(const StudioPictureSettings &settings);
    void setSuspended(bool suspended) { m_suspended.store(suspended); }
    void setPreviewHandler(std::function<void(QImage)> handler);

    // Runs work on the worker thread, behind everything queued there before.
    template<typename Work>
    void post(Work work)
    {
        QMetaObject::invokeMethod(this, [this, work = std::move(work)]() mutable { work(*this); });
    }

    // Worker thread.
    // The background for the preset: a custom file (when given) wins, then an animation, a
    // picture resource, a colour; none otherwise.
    void setBackground(StudioBackgroundPreset preset, const QString &customFile);
    void stopAnimation();
    // Renders the running animation's next frame now, as its timer would; for benchmarks.
    void renderAnimationFrame();
    void beginRecording(std::unique_ptr<MovieWriter> writer);
    void pauseRecording(qint64 atUs);
    void resumeRecording(qint64 atUs);
    // Finishes the writer and copies the movie into the folder.
    RecordingOutcome finishRecording(const QString &moviePath, const FinishedCopyFolder &folder);
    // Releases the writer unfinished.
    void discardRecording();

    // The whole per-frame picture path, BGRA in, BGR out; public for tests and benchmarks.
    [[nodiscard]] cv::Mat processFrame(const cv::Mat &bgra);
    void handleFrame(const CameraFrame &frame);
    void handleAudio(const AudioChunk &chunk);

    [[nodiscard]] const cv::Mat &backgroundPicture() const { return m_background; }
    [[nodiscard]] int processedFrames() const { return m_processedFrames.load(); }
    [[nodiscard]] int writtenFrames() const { return m_writtenFrames.load(); }
    [[nodiscard]] int replacedFrames() const { return m_replacedFrames.load(); }
    [[nodiscard]] bool writingStarted() const { return m_writingStarted; }
    // Returns once everything handed to the writer so far has been written.
    void waitForWriter();

private:
    void processPending();
    void write(const cv::Mat &processed, qint64 timeUs);
    void composite(StudioBackgroundPreset preset);
    void setBackgroundPicture(const QImage &picture);
    StudioAnimatedBackgroundRenderer &renderer();

    PersonSegmenter *m_segmenter = nullptr;
    AssetLoader m_loadAsset;
    AssetLoader m_loadLogo;
    // Made when an animation first starts; a child, so it follows the thread.
    StudioAnimatedBackgroundRenderer *m_renderer = nullptr;

    std::mutex m_mutex; // guards the waiting frame, the settings and the preview handler
    std::optional<CameraFrame> m_pendingFrame;
    StudioPictureSettings m_settings;
    std::function<void(QImage)> m_previewHandler;
    std::atomic<bool> m_suspended { false };
    std::atomic<int> m_replacedFrames { 0 };
    std::atomic<int> m_writtenFrames { 0 };
    std::atomic<int> m_processedFrames { 0 };

    cv::Mat m_background; // BGR, any size
    cv::Mat m_filledBackground;
    // Frame buffers reused from frame to frame.
    cv::Mat m_frame;
    cv::Mat m_composite;
    cv::Mat m_blurred;
    cv::Mat m_mask;
    quint64 m_previewCounter = 0; // processed frames, for the preview's every second one

    // The encoder works on a thread of its own, so a frame's processing and the previous frame's
    // encoding overlap. The writer is shared with the tasks queued there.
    std::shared_ptr<MovieWriter> m_writer;
    std::unique_ptr<QThread> m_writerThread;
    std::unique_ptr<QObject> m_writerContext;
    std::atomic<int> m_framesAtWriter { 0 };
    bool m_acceptSamples = false;
    bool m_recordingActive = false;
    bool m_writingStarted = false;
    qint64 m_pausedTotalUs = 0;
    qint64 m_pauseStartedUs = 0;
    qint64 m_activeSinceUs = 0;
};

} // namespace orvella
