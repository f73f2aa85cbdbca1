#include "screens/programs/EpisodeChromeModel.h"

#include "app/AppModel.h"
#include "player/PlaybackQuality.h"
#include "player/PlayerController.h"

namespace orvella {

using namespace std::chrono_literals;

namespace {
constexpr auto relatedHide = 8s;
} // namespace

EpisodeChromeModel::EpisodeChromeModel(QObject *parent)
    : QObject(parent)
    // A menu or the related row keeps the chrome until the next activity.
    , m_autoHide([this] { return m_qualityOpen || m_repeatOpen || m_relatedOpen; })
{
    connect(
        &m_autoHide, &ChromeAutoHide::shownChanged, this, &EpisodeChromeModel::visibilityChanged);
}

EpisodeChromeModel::~EpisodeChromeModel()
{
    stop();
}

void EpisodeChromeModel::setApp(AppModel *app)
{
    if (m_app == app)
        return;
    if (m_app)
        disconnect(m_app->settings(), nullptr, this, nullptr);
    m_app = app;
    if (m_app)
        connect(
            m_app->settings(), &SettingsModel::changed, this, &EpisodeChromeModel::settingsChanged);
    emit settingsChanged();
}

bool EpisodeChromeModel::captionsEnabled() const
{
    return m_app && m_app->settings()->captionsEnabled();
}

bool EpisodeChromeModel::autoplayNext() const
{
    return m_app && m_app->settings()->autoplayNext();
}

int EpisodeChromeModel::repeatMode() const
{
    return m_app ? int(m_app->settings()->episodeRepeatMode()) : int(EpisodeRepeatMode::Off);
}

QString EpisodeChromeModel::repeatSymbol() const
{
    return repeatMode() == EpisodeRepeatMode::One ? QStringLiteral("repeat.1")
                                                  : QStringLiteral("repeat");
}

QString EpisodeChromeModel::quality() const
{
    return m_app ? m_app->settings()->preferredQuality() : QStringLiteral("Auto");
}

QVariantList EpisodeChromeModel::repeatRows()
{
    const auto row = [](EpisodeRepeatMode::Value mode, const char *text) {
        return QVariantMap { { QStringLiteral("value"), int(mode) },
            { QStringLiteral("text"), QString::fromLatin1(text) } };
    };
    return { row(EpisodeRepeatMode::Off, "Repeat off"), row(EpisodeRepeatMode::One, "Repeat one"),
        row(EpisodeRepeatMode::All, "Repeat all") };
}

QVariantList EpisodeChromeModel::qualityRows()
{
    QVariantList rows;
    for (const PlaybackQuality &option : PlaybackQuality::all())
        rows.append(QVariantMap {
            { QStringLiteral("value"), option.id }, { QStringLiteral("text"), option.id } });
    return rows;
}

void EpisodeChromeModel::setFlag(bool &flag, bool value)
{
    if (flag == value)
        return;
    flag = value;
    emit visibilityChanged();
}

bool EpisodeChromeModel::ready() const
{
    return m_player && m_player->isReady();
}

// Visibility.

void EpisodeChromeModel::showControls()
{
    m_autoHide.reveal();
}

void EpisodeChromeModel::scheduleRelatedHide()
{
    // The same wait as the chrome's hide, so only one is ever pending.
    m_autoHide.waitThen(relatedHide, [this] { closeRelated(); });
}

void EpisodeChromeModel::pointerActivity()
{
    if (m_relatedOpen)
        scheduleRelatedHide();
    else
        showControls();
}

void EpisodeChromeModel::pointerAt(double x, double y)
{
    if (m_autoHide.pointerAt(QPointF(x, y)))
        pointerActivity();
}

void EpisodeChromeModel::hover(bool entered)
{
    if (entered)
        pointerActivity();
}

void EpisodeChromeModel::tap()
{
    if (m_relatedOpen)
        return;
    if (controlsVisible() && ready())
        m_player->togglePlay();
    showControls();
}

void EpisodeChromeModel::closeAll()
{
    setFlag(m_relatedOpen, false);
    setFlag(m_qualityOpen, false);
    setFlag(m_repeatOpen, false);
}

void EpisodeChromeModel::dropRelated()
{
    setFlag(m_relatedOpen, false);
    m_autoHide.stop();
}

void EpisodeChromeModel::stop()
{
    m_autoHide.stop();
}

// The controls.

void EpisodeChromeModel::skip(double seconds)
{
    if (m_player)
        m_player->seekTo(m_player->currentTime() + seconds);
    showControls();
}

void EpisodeChromeModel::togglePlay()
{
    if (m_player)
        m_player->togglePlay();
    showControls();
}

void EpisodeChromeModel::toggleMute()
{
    if (m_player)
        m_player->setMuted(!m_player->isMuted());
    showControls();
}

void EpisodeChromeModel::toggleCaptions()
{
    if (!m_app)
        return;
    SettingsModel *settings = m_app->settings();
    settings->setCaptionsEnabled(!settings->captionsEnabled());
    settings->persist();
    if (m_player)
        m_player->setCaptions(settings->captionsEnabled(), settings->captionLanguage());
    showControls();
}

void EpisodeChromeModel::toggleAutoplay()
{
    if (!m_app)
        return;
    m_app->settings()->setAutoplayNext(!m_app->settings()->autoplayNext());
    m_app->settings()->persist();
    showControls();
}

// The menus and the related row.

void EpisodeChromeModel::toggleRepeatMenu()
{
    setFlag(m_qualityOpen, false);
    setFlag(m_repeatOpen, !m_repeatOpen);
    showControls();
}

void EpisodeChromeModel::selectRepeatMode(int mode)
{
    if (!m_app || mode < EpisodeRepeatMode::Off || mode > EpisodeRepeatMode::All)
        return;
    m_app->settings()->setEpisodeRepeatMode(EpisodeRepeatMode::Value(mode));
    m_app->settings()->persist();
    setFlag(m_repeatOpen, false);
    showControls();
}

void EpisodeChromeModel::dismissRepeat()
{
    setFlag(m_repeatOpen, false);
    showControls();
}

void EpisodeChromeModel::toggleQualityMenu()
{
    setFlag(m_repeatOpen, false);
    setFlag(m_qualityOpen, !m_qualityOpen);
    showControls();
}

void EpisodeChromeModel::selectQuality(const QString &id)
{
    if (!m_app)
        return;
    m_app->settings()->setPreferredQuality(id);
    m_app->settings()->persist();
    if (m_player)
        m_player->setQuality(id);
    setFlag(m_qualityOpen, false);
    showControls();
}

void EpisodeChromeModel::dismissQuality()
{
    setFlag(m_qualityOpen, false);
    showControls();
}

void EpisodeChromeModel::more()
{
    setFlag(m_qualityOpen, false);
    setFlag(m_repeatOpen, false);
    setFlag(m_relatedOpen, true);
    scheduleRelatedHide();
}

void EpisodeChromeModel::closeRelated()
{
    setFlag(m_relatedOpen, false);
    showControls();
}

} // namespace orvella
