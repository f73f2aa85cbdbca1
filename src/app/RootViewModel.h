#pragma once

#include "app/AppModel.h"
#include "core/MacRoute.h"
#include "core/ObjectLink.h"

#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QVariantMap>
#include <QtQml/qqmlregistration.h>
#include <optional>

namespace orvella {

struct TvConfig;

// What the root view shows for the app model's state: whether the header and its 52-point
// band are there, whether the live screen is kept warm under the main area and whether it is
// the visible, interactive layer, and which screen the route layer builds with which
// arguments. The view only lays these out.
class RootViewModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(bool showsHeader READ showsHeader NOTIFY layoutChanged)
    Q_PROPERTY(double contentTopInset READ contentTopInset NOTIFY layoutChanged)
    Q_PROPERTY(bool keepsLivePlayerWarm READ keepsLivePlayerWarm NOTIFY layoutChanged)
    Q_PROPERTY(bool liveLayerShown READ liveLayerShown NOTIFY layoutChanged)
    Q_PROPERTY(bool routeLayerPresent READ routeLayerPresent NOTIFY layoutChanged)
    Q_PROPERTY(bool menuOverlayPresent READ menuOverlayPresent NOTIFY layoutChanged)
    Q_PROPERTY(QUrl screenUrl READ screenUrl NOTIFY screenChanged)
    Q_PROPERTY(QVariantMap screenProperties READ screenProperties NOTIFY screenChanged)
    Q_PROPERTY(QString screenIdentity READ screenIdentity NOTIFY screenChanged)
    Q_PROPERTY(QUrl liveScreenUrl READ liveScreenUrl CONSTANT)
    Q_PROPERTY(QString liveLabel READ liveLabel CONSTANT)
    Q_PROPERTY(QString menuLabel READ menuLabel CONSTANT)
    Q_PROPERTY(QString backTooltip READ backTooltip CONSTANT)

public:
    static constexpr double headerHeight = 52;

    explicit RootViewModel(QObject *parent = nullptr);

    [[nodiscard]] AppModel *app() const { return m_app.get(); }
    void setApp(AppModel *app);

    [[nodiscard]] bool showsHeader() const;
    [[nodiscard]] double contentTopInset() const { return showsHeader() ? headerHeight : 0; }
    [[nodiscard]] bool keepsLivePlayerWarm() const;
    [[nodiscard]] bool liveLayerShown() const;
    [[nodiscard]] bool routeLayerPresent() const;
    [[nodiscard]] bool menuOverlayPresent() const;
    [[nodiscard]] QUrl screenUrl() const;
    [[nodiscard]] QVariantMap screenProperties() const;
    // Changes exactly when the route layer must build a new screen: on a route change, and on
    // the episode route when another episode is chosen.
    [[nodiscard]] QString screenIdentity() const;

    // The live screen, which the warm layer shows.
    [[nodiscard]] static QUrl liveScreenUrl();
    [[nodiscard]] static QString liveLabel() { return QStringLiteral("LIVE"); }
    [[nodiscard]] static QString menuLabel() { return QStringLiteral("Menu"); }
    [[nodiscard]] static QString backTooltip() { return QStringLiteral("Go back"); }

    // Sets the app model's menu flag one turn of the event loop later (the header's Menu).
    Q_INVOKABLE void presentMenuSoon();

    // The routes without the header, and the public ones on which the live screen is not kept.
    [[nodiscard]] static bool isHeaderless(MacRoute::Value route);
    [[nodiscard]] static bool isColdRoute(MacRoute::Value route);
    // The QML file the route layer builds for a route; empty for live (the warm layer shows it).
    [[nodiscard]] static QUrl screenUrlFor(MacRoute::Value route);
    // The arguments of the route's screen for this state of the model.
    [[nodiscard]] static QVariantMap screenPropertiesFor(
        MacRoute::Value route, const AppModel &app);
    // The service's herald sign-up page, used when the configuration gives no herald link.
    [[nodiscard]] static QString builtInHeraldPage();

signals:
    void appChanged();
    void layoutChanged();
    void screenChanged();

private:
    void connectApp();
    void announceScreen();

    ObjectLink<AppModel> m_app;
    QString m_lastIdentity;
};

} // namespace orvella
