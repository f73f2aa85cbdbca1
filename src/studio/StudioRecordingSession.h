#pragma once

#include "platform/MovieWriter.h"
#include "studio/StudioRecordingFiles.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <QUrl>
#include <chrono>
#include <optional>

namespace orvella {

class MediaClock;
class StudioFramePipeline;
struct RecordingOutcome;

// What a recording session needs besides the pipeline.
struct RecordingSetup
{
    const MediaClock *clock = nullptr; // the devices' clock: pauses and the elapsed time
    MovieWriterFactory writerFactory;
    QString temporaryFolder; // where the movie is written
    // Where the finished copy goes; empty: the user's Downloads folder, else the temporary
    // folder.
    QString downloadsFolder;
    std::chrono::milliseconds clockTick { 250 }; // how often the elapsed time is announced
};

// The recording's state machine: start, pause, resume and finish a movie in the pipeline, the
// elapsed time on the media clock, and the finished movie's place. Main thread only.
class StudioRecordingSession : public QObject
{
    Q_OBJECT

public:
    enum class State { Failed, Idle, Recording, Paused, Processing, Ready };
    Q_ENUM(State)

    StudioRecordingSession(
        StudioFramePipeline *pipeline, RecordingSetup setup, QObject *parent = nullptr);

    [[nodiscard]] State state() const { return m_state; }
    [[nodiscard]] QString failureMessage() const { return m_failureMessage; }
    // Seconds recorded, pauses left out, read from the media clock.
    [[nodiscard]] double elapsed() const;
    [[nodiscard]] QUrl outputURL() const { return m_outputURL; }
    [[nodiscard]] QString recordingPath() const { return m_recordingPath; }
    [[nodiscard]] QString temporaryFolder() const { return m_setup.temporaryFolder; }
    // The last recording's files that nothing else may be saved over: its kept copy, and the
    // working movie, which goes at quit or with the next recording.
    [[nodiscard]] QStringList recordingFiles() const;
    // A recording is running or paused: frames go into it.
    [[nodiscard]] bool isActive() const { return m_active; }

    void setState(State state, const QString &failure = {});
    // Discards the previous recording and starts a new movie.
    void start();
    void pause();
    void resume();
    // Finishes an active recording on the pipeline's thread; finished() follows.
    void finish();
    // The same, done before returning, also for a finish already under way; for the
    // application's end.
    void finishNow();
    // For the application's end, after finishNow(): a ready recording's temporary movie is
    // removed when a complete copy of it is kept, its Downloads copy or one of otherCopies (an
    // archive copy). Without one (its Downloads copy failed) it stays: it is the recording.
    void releaseWorkingMovie(const QStringList &otherCopies);
    // Drops the current or last recording (a finished movie whose copy failed stays on disk)
    // and returns to idle.
    void reset();

signals:
    void stateChanged();
    void elapsedChanged();
    void outputURLChanged();
    void statusReported(const QString &status);
    // The previous recording is gone: what showed or sent it is out of date.
    void discarded();
    // A finished recording reached ready or failed.
    void finished();

private:
    struct FinishJob
    {
        QString moviePath;
        FinishedCopyFolder folder;
    };

    FinishJob prepareFinish();
    void applyOutcome(const RecordingOutcome &outcome);
    void discard();
    void stopClock();
    void clearElapsed();
    void setOutputURL(const QUrl &url);

    StudioFramePipeline *m_pipeline;
    RecordingSetup m_setup;
    State m_state = State::Idle;
    QString m_failureMessage;
    QUrl m_outputURL;
    QString m_recordingPath;
    bool m_active = false;
    quint64 m_generation = 0; // a finish whose recording was discarded meanwhile is dropped
    qint64 m_elapsedUs = 0; // before m_runningSinceUs
    std::optional<qint64> m_runningSinceUs;
    QTimer m_tick;
};

} // namespace orvella
