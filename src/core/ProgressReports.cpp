#include "core/ProgressReports.h"

#include "api/APIError.h"
#include "api/OrvellaAPIClient.h"
#include "base/DescribedError.h"
#include "core/KeptPositions.h"
#include "core/Session.h"
#include "core/SessionLog.h"
#include "platform/Clock.h"

#include <QPointer>
#include <algorithm>

namespace orvella {

namespace {

// A refusal that sending the same record again cannot change (a malformed request, say) is not
// worth keeping; the network, the service's own failures, its time-outs and its load are.
bool worthKeeping(const APIError &error)
{
    const int status = error.status();
    return error.kind() != APIError::Kind::Http || status >= 500 || status == 401 || status == 408
        || status == 429;
}

} // namespace

ProgressReports::ProgressReports(
    OrvellaAPIClient &client, const Session &session, Clock &clock, QObject *parent)
    : QObject(parent)
    , m_client(client)
    , m_session(session)
    , m_clock(clock)
{ }

ProgressReports::~ProgressReports()
{
    m_posts.request_stop();
    m_settleWait.request_stop();
}

std::optional<LocalHistoryEntry> ProgressReports::keptPosition(const QString &episodeId)
{
    for (const LocalHistoryEntry &entry : KeptPositions::stored().load()) {
        if (entry.episodeId == episodeId)
            return entry;
    }
    return std::nullopt;
}

void ProgressReports::report(const LocalHistoryEntry &entry)
{
    if (m_session.isGuest())
        LocalHistoryStore::record(entry);
    else
        post(entry);
}

QCoro::Task<> ProgressReports::post(LocalHistoryEntry entry)
{
    QPointer self(this);
    auto delivery = deliver(std::move(entry), m_nextSerial++);
    const bool delivered = co_await std::move(delivery);
    // The service takes records again: what it did not take before follows.
    if (self && delivered && !m_sendingKept)
        sendKept();
}

QCoro::Task<bool> ProgressReports::deliver(LocalHistoryEntry entry, quint64 serial)
{
    QPointer self(this);
    const quint64 generation = m_session.generation();
    m_inFlight.emplace(serial, entry);
    bool delivered = false;
    bool refused = false;
    try {
        co_await m_client.postHistory(
            entry.episodeId, entry.position, entry.duration, m_posts.get_token());
        delivered = true;
    } catch (const APIError &error) {
        refused = !worthKeeping(error);
        qCDebug(lcSession) << "Position in" << entry.episodeId
                           << "not taken by the service:" << error.description();
    } catch (const DescribedError &error) {
        qCDebug(lcSession) << "Position in" << entry.episodeId
                           << "not sent:" << error.description();
    }
    if (!self)
        co_return false;
    m_inFlight.erase(serial);
    if (delivered)
        taken(entry, serial);
    else if (!refused && m_session.generation() == generation)
        keep(entry, serial);
    if (m_inFlight.empty()) {
        m_settleWait.request_stop();
        emit settled();
    }
    co_return delivered;
}

void ProgressReports::taken(const LocalHistoryEntry &entry, quint64 serial)
{
    quint64 &latest = m_takenSerial[entry.episodeId];
    latest = std::max(latest, serial);
    // A kept position from before this one (or from an earlier run) is out of date now.
    if (m_keptSerial.value(entry.episodeId, 0) <= serial) {
        KeptPositions::stored().forget(entry.episodeId);
        m_keptSerial.remove(entry.episodeId);
    }
}

void ProgressReports::keep(const LocalHistoryEntry &entry, quint64 serial)
{
    if (m_session.isGuest())
        return;
    // A later position of the episode was taken, or is kept already.
    if (m_takenSerial.value(entry.episodeId, 0) > serial
        || m_keptSerial.value(entry.episodeId, 0) > serial)
        return;
    KeptPositions::stored().record(entry, KeptPositions::maxEntries);
    m_keptSerial[entry.episodeId] = serial;
}

QCoro::Task<> ProgressReports::sendKept()
{
    QPointer self(this);
    m_sendingKept = true;
    const quint64 generation = m_session.generation();
    for (const LocalHistoryEntry &listed : KeptPositions::stored().load()) {
        const bool onItsWay = std::any_of(m_inFlight.begin(), m_inFlight.end(),
            [&](const auto &record) { return record.second.episodeId == listed.episodeId; });
        // Read again: a later record may have replaced or settled it meanwhile.
        const std::optional<LocalHistoryEntry> entry = keptPosition(listed.episodeId);
        if (onItsWay || !entry)
            continue;
        auto delivery = deliver(*entry, m_nextSerial++);
        const bool delivered = co_await std::move(delivery);
        if (!self)
            co_return;
        if (!delivered || m_session.generation() != generation)
            break;
    }
    m_sendingKept = false;
}

QCoro::Task<> ProgressReports::settle(std::chrono::milliseconds bound)
{
    QPointer self(this);
    Clock &clock = m_clock;
    const auto deadline = clock.now() + bound;
    while (!m_inFlight.empty()) {
        const auto now = clock.now();
        if (now >= deadline)
            break;
        const std::stop_token wake = renewStop(m_settleWait);
        co_await clock.sleep(deadline - now, wake);
        if (!self)
            co_return;
    }
    for (const auto &[serial, entry] : m_inFlight)
        keep(entry, serial);
}

} // namespace orvella
