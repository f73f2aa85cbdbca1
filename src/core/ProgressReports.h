#pragma once

#include "core/LocalHistory.h"

#include <QCoro/QCoroTask>
#include <QHash>
#include <QObject>
#include <chrono>
#include <map>
#include <optional>
#include <stop_token>

namespace orvella {

class Clock;
class OrvellaAPIClient;
class Session;

// Where the viewer is in each episode, on its way to be kept. A guest's records go to the local
// history. A signed-in viewer's go to the service; one the service does not take (no network, a
// time-out, a failure or refusal of its own that may pass) is kept on this computer
// (KeptPositions), the latest per episode, and the kept ones are sent again, one after the other,
// after the next record the service takes. A record taken makes an older kept one of
// its episode go; a record that fails after the session changed belongs to nobody and is
// dropped. Before the process ends, settle() waits a bounded time for the records on their way
// and keeps those still without an answer.
class ProgressReports : public QObject
{
    Q_OBJECT
public:
    ProgressReports(
        OrvellaAPIClient &client, const Session &session, Clock &clock, QObject *parent = nullptr);
    ~ProgressReports() override;

    // Records where the viewer is in one episode.
    void report(const LocalHistoryEntry &entry);
    // The position to resume an episode from that the service has not taken yet.
    [[nodiscard]] static std::optional<LocalHistoryEntry> keptPosition(const QString &episodeId);
    // Records on their way to the service.
    [[nodiscard]] qsizetype inFlight() const { return qsizetype(m_inFlight.size()); }

    // Waits until every record on its way has its answer, or `bound` has passed; those still
    // without one are kept.
    QCoro::Task<> settle(std::chrono::milliseconds bound);

signals:
    // No record is on its way any more.
    void settled();

private:
    QCoro::Task<> post(LocalHistoryEntry entry);
    // Sends one record; true when the service took it.
    QCoro::Task<bool> deliver(LocalHistoryEntry entry, quint64 serial);
    QCoro::Task<> sendKept();
    void taken(const LocalHistoryEntry &entry, quint64 serial);
    void keep(const LocalHistoryEntry &entry, quint64 serial);

    OrvellaAPIClient &m_client;
    const Session &m_session;
    Clock &m_clock;
    // Each record gets a number; a later number is a later position.
    quint64 m_nextSerial = 1;
    std::map<quint64, LocalHistoryEntry> m_inFlight;
    // Per episode: the latest record the service took, and the one kept from this run.
    QHash<QString, quint64> m_takenSerial;
    QHash<QString, quint64> m_keptSerial;
    bool m_sendingKept = false;
    std::stop_source m_posts;
    std::stop_source m_settleWait;
};

} // namespace orvella
