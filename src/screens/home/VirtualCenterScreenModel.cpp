#include "screens/home/VirtualCenterScreenModel.h"

#include "app/AppModel.h"

#include <QTextBoundaryFinder>

namespace orvella {

QString numericText(const QString &text)
{
    QString kept;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    for (qsizetype end = finder.toNextBoundary(); end != -1; end = finder.toNextBoundary()) {
        const QStringView grapheme = QStringView(text).sliced(start, end - start);
        if (!grapheme.isEmpty() && QChar::isNumber(grapheme.toUcs4().front()))
            kept += grapheme;
        start = end;
    }
    return kept;
}

VirtualCenterScreenModel::VirtualCenterScreenModel(QObject *parent)
    : QObject(parent)
{
    m_centers.setCenters(sampleVirtualCenters());
}

void VirtualCenterScreenModel::setApp(AppModel *app)
{
    if (m_app == app)
        return;
    m_app = app;
    emit appChanged();
}

void VirtualCenterScreenModel::setQuery(const QString &query)
{
    if (query == m_query)
        return;
    m_query = query;
    m_centers.setCenters(filterVirtualCenters(sampleVirtualCenters(), m_query));
    emit queryChanged();
}

void VirtualCenterScreenModel::setParticipantCount(const QString &typed)
{
    const QString kept = numericText(typed);
    if (kept == m_participantCount && kept == typed)
        return;
    m_participantCount = kept;
    emit participantCountChanged();
}

void VirtualCenterScreenModel::setCenterName(const QString &name)
{
    if (name == m_centerName)
        return;
    const bool could = canSubmitHost();
    m_centerName = name;
    emit centerNameChanged();
    if (could != canSubmitHost())
        emit canSubmitHostChanged();
}

void VirtualCenterScreenModel::setCenterAddress(const QString &address)
{
    if (address == m_centerAddress)
        return;
    const bool could = canSubmitHost();
    m_centerAddress = address;
    emit centerAddressChanged();
    if (could != canSubmitHost())
        emit canSubmitHostChanged();
}

QString VirtualCenterScreenModel::joinTitle() const
{
    const auto center = joinCenter();
    return center ? QStringLiteral("Join ") + center->name : QString();
}

bool VirtualCenterScreenModel::canSubmitHost() const
{
    return !m_centerName.isEmpty() && !m_centerAddress.isEmpty();
}

void VirtualCenterScreenModel::join(int id)
{
    setParticipantCount(QStringLiteral("1"));
    setMode(Mode::Join, id);
}

void VirtualCenterScreenModel::host()
{
    setParticipantCount(QStringLiteral("10"));
    setMode(Mode::Host);
}

void VirtualCenterScreenModel::cancel()
{
    setMode(Mode::List);
}

void VirtualCenterScreenModel::watchLive()
{
    if (m_app)
        m_app->navigate(MacRoute::Live);
}

std::optional<VirtualCenter> VirtualCenterScreenModel::joinCenter() const
{
    if (m_mode != Mode::Join || !m_joinId)
        return std::nullopt;
    for (const VirtualCenter &center : sampleVirtualCenters()) {
        if (center.id == *m_joinId)
            return center;
    }
    return std::nullopt;
}

void VirtualCenterScreenModel::setMode(Mode mode, std::optional<int> joinId)
{
    if (mode == m_mode && joinId == m_joinId)
        return;
    m_mode = mode;
    m_joinId = joinId;
    emit modeChanged();
}

} // namespace orvella
