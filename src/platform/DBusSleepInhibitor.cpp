#include "platform/DBusSleepInhibitor.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>

namespace orvella {

namespace {
// A bus that answers slowly must not hold up the screen for long.
constexpr int callTimeoutMs = 1500;

const QString screenSaverService = QStringLiteral("org.freedesktop.ScreenSaver");
const QString screenSaverPath = QStringLiteral("/org/freedesktop/ScreenSaver");
const QString loginService = QStringLiteral("org.freedesktop.login1");
const QString loginPath = QStringLiteral("/org/freedesktop/login1");
const QString loginManager = QStringLiteral("org.freedesktop.login1.Manager");

QString applicationName()
{
    const QString name = QCoreApplication::applicationName();
    return name.isEmpty() ? QStringLiteral("Orvella TV") : name;
}
} // namespace

DBusSleepInhibitor::~DBusSleepInhibitor()
{
    const auto ids = m_claims.keys();
    for (const auto id : ids)
        release(id);
}

std::uint32_t DBusSleepInhibitor::inhibitDisplaySleep(const QString &reason)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return 0;
    auto message = QDBusMessage::createMethodCall(
        screenSaverService, screenSaverPath, screenSaverService, QStringLiteral("Inhibit"));
    message << applicationName() << reason;
    const QDBusMessage reply = bus.call(message, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 0;
    const std::uint32_t id = m_nextId++;
    m_claims.insert(id, Claim { reply.arguments().constFirst().toUInt(), {} });
    return id;
}

std::uint32_t DBusSleepInhibitor::inhibitIdleSleep(const QString &reason)
{
    QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected())
        return 0;
    auto message = QDBusMessage::createMethodCall(
        loginService, loginPath, loginManager, QStringLiteral("Inhibit"));
    message << QStringLiteral("idle") << applicationName() << reason << QStringLiteral("block");
    const QDBusMessage reply = bus.call(message, QDBus::Block, callTimeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 0;
    const auto descriptor = reply.arguments().constFirst().value<QDBusUnixFileDescriptor>();
    if (!descriptor.isValid())
        return 0;
    const std::uint32_t id = m_nextId++;
    m_claims.insert(id, Claim { 0, descriptor });
    return id;
}

void DBusSleepInhibitor::release(std::uint32_t id)
{
    const auto claim = m_claims.take(id);
    // At exit the bus may already be gone; the screen saver drops our claims with the
    // connection anyway.
    if (claim.screenSaverCookie != 0 && QCoreApplication::instance()) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        if (bus.isConnected()) {
            auto message = QDBusMessage::createMethodCall(screenSaverService, screenSaverPath,
                screenSaverService, QStringLiteral("UnInhibit"));
            message << claim.screenSaverCookie;
            bus.asyncCall(message);
        }
    }
    // The idle claim ends when the last copy of its descriptor closes, which happens as the
    // claim is dropped here.
}

} // namespace orvella
