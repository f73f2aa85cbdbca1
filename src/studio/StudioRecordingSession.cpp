#include "studio/StudioRecordingSession.h"

#include "platform/MediaClock.h"
#include "studio/CaptureError.h"
#include "studio/StudioFramePipeline.h"
#include "studio/StudioLog.h"
#include "studio/StudioRecordingFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <algorithm>

namespace orvella {

StudioRecordingSession::StudioRecordingSession(
    StudioFramePipeline *pipeline, RecordingSetup setup, QObject *parent)
    : QObject(parent)
    , m_pipeline(pipeline)
    , m_setup(std::move(setup))
{
    m_tick.setInterval(m_setup.clockTick);
    connect(&m_tick, &QTimer::timeout, this, &StudioRecordingSession::elapsedChanged);
}

double StudioRecordingSession::elapsed() const
{
    qint64 us = m_elapsedUs;
    if (m_runningSinceUs)
        us += m_setup.clock->nowMicroseconds() - *m_runningSinceUs;
    return double(us) / 1e6;
}

void StudioRecordingSession::setState(State state, const QString &failure)
{
    const QString text = state == State::Failed ? failure : QString();
    if (m_state == state && m_failureMessage == text)
        return;
    m_state = state;
    m_failureMessage = text;
    emit stateChanged();
}

void StudioRecordingSession::setOutputURL(const QUrl &url)
{
    if (m_outputURL == url)
        return;
    m_outputURL = url;
    emit outputURLChanged();
}

void StudioRecordingSession::stopClock()
{
    m_tick.stop();
    if (!m_runningSinceUs)
        return;
    m_elapsedUs += m_setup.clock->nowMicroseconds() - *m_runningSinceUs;
    m_runningSinceUs.reset();
    emit elapsedChanged();
}

void StudioRecordingSession::clearElapsed()
{
    if (m_elapsedUs == 0)
        return;
    m_elapsedUs = 0;
    emit elapsedChanged();
}

void StudioRecordingSession::start()
{
    if (m_state == State::Recording || m_state == State::Processing)
        return;
    discard();
    clearElapsed();
    m_recordingPath = newTemporaryMoviePath(m_setup.temporaryFolder);
    QString error;
    std::unique_ptr<MovieWriter> writer;
    if (m_setup.writerFactory)
        writer = m_setup.writerFactory(m_recordingPath, &error);
    if (writer) {
        if (const auto refused = createPrivateMovieFile(m_recordingPath)) {
            error = QStringLiteral("The recording could not be created in “%1”: %2.")
                        .arg(QDir::toNativeSeparators(m_setup.temporaryFolder), *refused);
            writer.reset();
        }
    }
    if (!writer) {
        setState(State::Failed,
            error.isEmpty() ? CaptureError(CaptureError::Kind::exportUnavailable).description()
                            : error);
        emit statusReported(QStringLiteral("Could not start recording"));
        return;
    }
    auto holder = std::make_shared<std::unique_ptr<MovieWriter>>(std::move(writer));
    m_pipeline->post(
        [holder](StudioFramePipeline &pipeline) { pipeline.beginRecording(std::move(*holder)); });
    m_active = true;
    m_runningSinceUs = m_setup.clock->nowMicroseconds();
    m_tick.start();
    setState(State::Recording);
    emit statusReported(QStringLiteral("Recording"));
}

void StudioRecordingSession::pause()
{
    if (m_state != State::Recording)
        return;
    const qint64 now = m_setup.clock->nowMicroseconds();
    stopClock();
    setState(State::Paused);
    emit statusReported(QStringLiteral("Paused"));
    m_pipeline->post([now](StudioFramePipeline &pipeline) { pipeline.pauseRecording(now); });
}

void StudioRecordingSession::resume()
{
    if (m_state != State::Paused)
        return;
    const qint64 now = m_setup.clock->nowMicroseconds();
    m_runningSinceUs = now;
    m_tick.start();
    setState(State::Recording);
    emit statusReported(QStringLiteral("Recording"));
    m_pipeline->post([now](StudioFramePipeline &pipeline) { pipeline.resumeRecording(now); });
}

StudioRecordingSession::FinishJob StudioRecordingSession::prepareFinish()
{
    stopClock();
    m_active = false;
    setState(State::Processing);
    emit statusReported(QStringLiteral("Finishing recording…"));
    // Looked for now: the folder may have been made or removed since the recording started.
    return { m_recordingPath,
        m_setup.downloadsFolder.isEmpty() ? finishedCopyFolder(m_setup.temporaryFolder)
                                          : FinishedCopyFolder { m_setup.downloadsFolder } };
}

void StudioRecordingSession::finish()
{
    if (!m_active)
        return;
    const FinishJob job = prepareFinish();
    const quint64 generation = m_generation;
    QPointer<StudioRecordingSession> self(this);
    // Queued behind the frames already handed to the pipeline, so they are written first.
    m_pipeline->post([self, job, generation](StudioFramePipeline &pipeline) {
        const RecordingOutcome outcome = pipeline.finishRecording(job.moviePath, job.folder);
        QMetaObject::invokeMethod(
            self.data(),
            [self, outcome, generation] {
                // A discard in between (a reset) already dropped this recording.
                if (self && self->m_generation == generation)
                    self->applyOutcome(outcome);
            },
            Qt::QueuedConnection);
    });
}

void StudioRecordingSession::finishNow()
{
    if (m_state == State::Processing && !m_active) {
        // A finish is on its way: wait until the pipeline has done it and take its outcome now,
        // as the event loop may not turn again.
        QMetaObject::invokeMethod(
            m_pipeline, [] {}, Qt::BlockingQueuedConnection);
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        return;
    }
    if (!m_active)
        return;
    const FinishJob job = prepareFinish();
    RecordingOutcome outcome;
    StudioFramePipeline *pipeline = m_pipeline;
    QMetaObject::invokeMethod(
        pipeline,
        [&outcome, pipeline, &job] {
            outcome = pipeline->finishRecording(job.moviePath, job.folder);
        },
        Qt::BlockingQueuedConnection);
    ++m_generation;
    applyOutcome(outcome);
}

void StudioRecordingSession::applyOutcome(const RecordingOutcome &outcome)
{
    if (outcome.completed) {
        setOutputURL(QUrl::fromLocalFile(outcome.outputPath));
        setState(State::Ready);
        emit statusReported(QStringLiteral("Recording ready to send"));
    } else {
        // A writer that never wrote leaves no file: the empty one made for it goes.
        if (!m_recordingPath.isEmpty() && QFileInfo(m_recordingPath).size() == 0)
            QFile::remove(m_recordingPath);
        const QString reason = !outcome.hadWriter ? QStringLiteral("Recording writer missing")
            : outcome.error.isEmpty()             ? QStringLiteral("Recording failed")
                                                  : outcome.error;
        qCWarning(lcStudio) << "Recording failed:" << reason;
        setState(State::Failed, reason);
        emit statusReported(QStringLiteral("Recording failed"));
    }
    emit finished();
}

QStringList StudioRecordingSession::recordingFiles() const
{
    QStringList files;
    for (const QString &file : { m_outputURL.toLocalFile(), m_recordingPath }) {
        if (!file.isEmpty() && !files.contains(file))
            files.append(file);
    }
    return files;
}

void StudioRecordingSession::releaseWorkingMovie(const QStringList &otherCopies)
{
    if (m_state != State::Ready || m_recordingPath.isEmpty())
        return;
    const QFileInfo movie(m_recordingPath);
    if (!movie.isFile())
        return;
    QStringList copies = otherCopies;
    if (const QString output = m_outputURL.toLocalFile(); output != m_recordingPath)
        copies.prepend(output);
    // The viewer may have moved or replaced a copy meanwhile: only one of the movie's size counts.
    const bool kept = std::any_of(copies.cbegin(), copies.cend(), [&](const QString &copy) {
        const QFileInfo file(copy);
        return !copy.isEmpty() && file.isFile() && file.size() == movie.size()
            && file.canonicalFilePath() != movie.canonicalFilePath();
    });
    if (!kept)
        return;
    if (!QFile::remove(m_recordingPath)) {
        qCWarning(lcStudio) << "The temporary movie" << m_recordingPath << "could not be removed";
        return;
    }
    m_recordingPath.clear();
}

void StudioRecordingSession::discard()
{
    stopClock();
    ++m_generation;
    const QString moviePath = m_recordingPath;
    // A movie whose Downloads copy failed is the only copy: it stays.
    const bool onlyCopy = !moviePath.isEmpty() && m_outputURL.toLocalFile() == moviePath;
    m_pipeline->post([moviePath, onlyCopy](StudioFramePipeline &pipeline) {
        pipeline.discardRecording();
        if (!moviePath.isEmpty() && !onlyCopy)
            QFile::remove(moviePath);
    });
    m_recordingPath.clear();
    setOutputURL({});
    m_active = false;
    emit discarded();
}

void StudioRecordingSession::reset()
{
    discard();
    setState(State::Idle);
    clearElapsed();
}

} // namespace orvella
