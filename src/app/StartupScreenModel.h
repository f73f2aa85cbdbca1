#pragma once

#include "app/AppModel.h"
#include "core/ObjectLink.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <optional>

namespace orvella {

struct TvConfig;

// Texts and actions of the splash, forced-update and maintenance screens.
class StartupScreenModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(QString tagline READ tagline CONSTANT)
    Q_PROPERTY(QString welcomeTitle READ welcomeTitle CONSTANT)
    Q_PROPERTY(QString welcomeMessage READ welcomeMessage CONSTANT)
    Q_PROPERTY(QString updateTitle READ updateTitle CONSTANT)
    Q_PROPERTY(QString updateMessage READ updateMessage NOTIFY updateMessageChanged)
    Q_PROPERTY(QString maintenanceTitle READ maintenanceTitle CONSTANT)
    Q_PROPERTY(QString retryLabel READ retryLabel CONSTANT)

public:
    explicit StartupScreenModel(QObject *parent = nullptr);

    [[nodiscard]] AppModel *app() const { return m_app.get(); }
    void setApp(AppModel *app);

    [[nodiscard]] static QString tagline();
    [[nodiscard]] static QString welcomeTitle();
    [[nodiscard]] static QString welcomeMessage();
    [[nodiscard]] static QString updateTitle();
    [[nodiscard]] static QString maintenanceTitle();
    [[nodiscard]] static QString retryLabel();
    [[nodiscard]] QString updateMessage() const;

    // The configuration's update message when it has one, also an empty one; otherwise the
    // built-in text.
    [[nodiscard]] static QString updateMessageFor(const std::optional<TvConfig> &config);

    // Maintenance's Retry: a new bootstrap on every click.
    Q_INVOKABLE void retry();

signals:
    void appChanged();
    void updateMessageChanged();

private:
    ObjectLink<AppModel> m_app;
};

} // namespace orvella
