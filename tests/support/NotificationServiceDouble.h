#pragma once

#include <QDBusConnection>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

namespace orvella::test {

// A notification service on the session bus (org.freedesktop.Notifications) that records what
// it is sent. It answers on a private connection of its own, so the client's connection reaches
// it as it reaches a desktop's. Tests using it declare `LOCK session_bus_names`.
class NotificationServiceDouble : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    struct Call
    {
        QString appName, summary, body;
        QVariantMap hints;
    };

    NotificationServiceDouble();
    ~NotificationServiceDouble() override;

    // False without a session bus, or when another service holds the name.
    [[nodiscard]] bool isRunning() const { return m_running; }
    [[nodiscard]] const QList<Call> &calls() const { return m_calls; }
    // Asks the service something over the process's own session connection and waits for the
    // answer: every notification the client sent before on it has then arrived.
    [[nodiscard]] bool roundTrip() const;

public slots:
    uint Notify(const QString &appName, uint replacesId, const QString &icon,
        const QString &summary, const QString &body, const QStringList &actions,
        const QVariantMap &hints, int timeout);
    QStringList GetCapabilities() const;

private:
    QDBusConnection m_bus;
    bool m_running = false;
    QList<Call> m_calls;
};

} // namespace orvella::test
