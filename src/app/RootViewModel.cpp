#include "app/RootViewModel.h"

#include "api/JsonDecoding.h"
#include "api/ServiceOrigin.h"
#include "app/AppModel.h"

namespace orvella {

namespace {

MacRoute::Value routeOf(const AppModel *app)
{
    return app ? app->route() : MacRoute::Splash;
}

QUrl moduleFile(const char16_t *path)
{
    return QUrl(QStringLiteral("qrc:/Orvella/") + QString::fromUtf16(path));
}

std::optional<QString> configLink(const AppModel &app, std::optional<QString> ConfigUrls::*link)
{
    const auto &config = app.config();
    if (!config || !config->urls)
        return std::nullopt;
    return (*config->urls).*link;
}

// The engagement page's arguments: its address also as the fully encoded text that its QR code
// holds whole (QML would show a URL decoded), and that text bounded for the address line.
QVariantMap engagementScreen(
    const QString &title, const QString &subtitle, const std::optional<QUrl> &url)
{
    const QString address = url ? url->toString(QUrl::FullyEncoded) : QString();
    return { { QStringLiteral("title"), title }, { QStringLiteral("subtitle"), subtitle },
        { QStringLiteral("url"), url.value_or(QUrl()) }, { QStringLiteral("address"), address },
        { QStringLiteral("addressText"), boundedCodeText(address) } };
}

} // namespace

RootViewModel::RootViewModel(QObject *parent)
    : QObject(parent)
{ }

void RootViewModel::setApp(AppModel *app)
{
    if (!m_app.repoint(app))
        return;
    connectApp();
    emit appChanged();
    emit layoutChanged();
    announceScreen();
}

void RootViewModel::connectApp()
{
    if (!m_app)
        return;
    const auto layout = [this] {
        emit layoutChanged();
        announceScreen();
    };
    m_app.forward(&AppModel::routeChanged, this, layout);
    m_app.forward(&AppModel::isGuestChanged, this, layout);
    m_app.forward(&AppModel::menuPresentedChanged, this, layout);
    m_app.forward(&AppModel::selectedEpisodeIdChanged, this, &RootViewModel::announceScreen);
    m_app.forward(&AppModel::selectedProgramIdChanged, this, &RootViewModel::announceScreen);
    m_app.forward(&AppModel::configChanged, this, &RootViewModel::announceScreen);
}

void RootViewModel::announceScreen()
{
    const QString identity = screenIdentity();
    if (identity == m_lastIdentity)
        return;
    m_lastIdentity = identity;
    emit screenChanged();
}

bool RootViewModel::isHeaderless(MacRoute::Value route)
{
    return MacRoute::record(route).has(MacRoute::Headerless);
}

bool RootViewModel::isColdRoute(MacRoute::Value route)
{
    return !MacRoute::record(route).keepsLiveWarm();
}

bool RootViewModel::showsHeader() const
{
    return !isHeaderless(routeOf(m_app.get()));
}

bool RootViewModel::keepsLivePlayerWarm() const
{
    return m_app && !m_app->isGuest() && !isColdRoute(m_app->route());
}

bool RootViewModel::liveLayerShown() const
{
    return keepsLivePlayerWarm() && routeOf(m_app.get()) == MacRoute::Live;
}

bool RootViewModel::routeLayerPresent() const
{
    return routeOf(m_app.get()) != MacRoute::Live;
}

bool RootViewModel::menuOverlayPresent() const
{
    return m_app && m_app->menuPresented();
}

QUrl RootViewModel::screenUrlFor(MacRoute::Value route)
{
    const char16_t *screen = MacRoute::record(route).screen;
    return screen ? moduleFile(screen) : QUrl();
}

QUrl RootViewModel::liveScreenUrl()
{
    return moduleFile(u"screens/live/LiveScreen.qml");
}

QString RootViewModel::builtInHeraldPage()
{
    QUrl page = servicePage(QStringLiteral("/herald"));
    page.setScheme(QStringLiteral("https"));
    return page.toString();
}

QVariantMap RootViewModel::screenPropertiesFor(MacRoute::Value route, const AppModel &app)
{
    switch (route) {
    case MacRoute::Give:
        return engagementScreen(QStringLiteral("Partner & Give"),
            QStringLiteral("Scan to give securely from your phone"),
            AppModel::engagementURL(configLink(app, &ConfigUrls::give)));
    case MacRoute::Herald: {
        const std::optional<QString> link = configLink(app, &ConfigUrls::herald);
        return engagementScreen(QStringLiteral("Become a Herald"),
            QStringLiteral("Register as a Orvella Herald"),
            AppModel::engagementURL(link ? link : builtInHeraldPage()));
    }
    case MacRoute::ProgramDetail:
        return { { QStringLiteral("programId"), app.selectedProgramId().value_or(QString()) } };
    case MacRoute::Episode:
        return { { QStringLiteral("episodeId"), app.selectedEpisodeId().value_or(QString()) } };
    case MacRoute::TestimonyRec:
        return { { QStringLiteral("capture"),
            QVariant::fromValue(static_cast<QObject *>(app.testimonyCapture())) } };
    default:
        return {};
    }
}

QUrl RootViewModel::screenUrl() const
{
    return screenUrlFor(routeOf(m_app.get()));
}

QVariantMap RootViewModel::screenProperties() const
{
    return m_app ? screenPropertiesFor(m_app->route(), *m_app.get()) : QVariantMap();
}

QString RootViewModel::screenIdentity() const
{
    const MacRoute::Value route = routeOf(m_app.get());
    switch (route) {
    case MacRoute::Episode:
        // The episode screen's identity is the chosen episode: another one builds a new screen.
        if (const auto &id = m_app->selectedEpisodeId())
            return QStringLiteral("episode|") + *id;
        return QStringLiteral("episode");
    case MacRoute::Give:
    case MacRoute::Herald:
    case MacRoute::ProgramDetail:
        // These screens are built from their arguments: new arguments, a new screen.
        return MacRoute::rawValue(route) + u'|'
            + screenProperties()
                  .value(route == MacRoute::ProgramDetail ? QStringLiteral("programId")
                                                          : QStringLiteral("url"))
                  .toString();
    default:
        return MacRoute::rawValue(route);
    }
}

void RootViewModel::presentMenuSoon()
{
    if (m_app)
        m_app->presentMenuSoon();
}

} // namespace orvella
