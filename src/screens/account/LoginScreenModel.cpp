#include "screens/account/LoginScreenModel.h"

#include "api/APIError.h"
#include "api/JsonDecoding.h"
#include "api/OrvellaAPIClient.h"
#include "app/AppModel.h"
#include "core/SettingsModel.h"
#include "platform/Clock.h"
#include "ui/QrCode.h"

#include <QSysInfo>
#include <limits>

namespace orvella {

using namespace std::chrono_literals;

namespace {

using Milliseconds = std::chrono::milliseconds;

const QString waitingStatus = QStringLiteral("Waiting for Parlino / Orvella Mobile approval…");
const QString expiredStatus = QStringLiteral("Code expired — request a new one");

constexpr qint64 msMax = std::numeric_limits<qint64>::max();
constexpr qint64 msMin = std::numeric_limits<qint64>::min();

// Sums that stop at the ends of the range instead of wrapping: the service's numbers are
// untrusted and SLOW_DOWN grows the delay without bound.
Milliseconds saturatingAdd(Milliseconds a, Milliseconds b)
{
    qint64 sum = 0;
    if (__builtin_add_overflow(a.count(), b.count(), &sum))
        return Milliseconds(b.count() > 0 ? msMax : msMin);
    return Milliseconds(sum);
}

Milliseconds saturatingSeconds(qint64 seconds)
{
    qint64 product = 0;
    if (__builtin_mul_overflow(seconds, qint64(1000), &product))
        return Milliseconds(seconds > 0 ? msMax : msMin);
    return Milliseconds(product);
}

// Stores a new value; false when it was already held, so nothing is announced.
template<typename T>
bool assign(T &field, T value)
{
    if (field == value)
        return false;
    field = std::move(value);
    return true;
}

std::stop_token restart(std::stop_source &source)
{
    source.request_stop();
    source = std::stop_source();
    return source.get_token();
}

} // namespace

LoginScreenModel::LoginScreenModel(QObject *parent)
    : QObject(parent)
    , m_clock(&Clock::system())
    , m_hostName(QSysInfo::machineHostName())
    , m_pairingStatus(QStringLiteral("Preparing Parlino sign-in…"))
{ }

LoginScreenModel::~LoginScreenModel()
{
    m_pairingStop.request_stop();
    m_emailStop.request_stop();
}

void LoginScreenModel::setApp(AppModel *app)
{
    if (m_app == app)
        return;
    m_app = app;
    emit appChanged();
}

void LoginScreenModel::setFullName(const QString &name)
{
    if (assign(m_fullName, name))
        emit emailFormChanged();
}

void LoginScreenModel::setEmail(const QString &email)
{
    if (assign(m_email, email))
        emit emailFormChanged();
}

bool LoginScreenModel::canSubmitEmail() const
{
    return !m_fullName.trimmed().isEmpty() && m_email.contains(u'@') && m_email.contains(u'.');
}

QString LoginScreenModel::qrText() const
{
    return m_code ? QRPayload::url(*m_code).toString(QUrl::FullyEncoded) : QString();
}

QString LoginScreenModel::linkText() const
{
    if (!m_code)
        return {};
    return boundedCodeText(
        m_code->verification_url.value_or(m_code->verification_url_complete.value_or(QString())));
}

void LoginScreenModel::appear()
{
    m_gone = false;
    startPairing();
}

void LoginScreenModel::disappear()
{
    m_gone = true;
    m_pairingStop.request_stop();
    m_emailStop.request_stop();
    setPairing(false);
}

QString LoginScreenModel::modelName() const
{
    return m_hostName.isEmpty() ? QStringLiteral("Mac") : m_hostName;
}

QCoro::Task<> LoginScreenModel::startPairing()
{
    QPointer<AppModel> app = m_app;
    if (m_gone || !app)
        co_return;
    QPointer self(this);
    // From here on an older pairing's code answer, failure or poll changes nothing.
    const std::stop_token stop = restart(m_pairingStop);
    setPairing(false);
    setPairingError(std::nullopt);
    setCode(std::nullopt);
    m_loopRunning = false;
    m_resumeDeadline.reset();
    setPairingStatus(QStringLiteral("Requesting Parlino sign-in code…"));

    std::optional<DeviceCodeData> code;
    std::exception_ptr failure;
    try {
        QCoro::Task<DeviceCodeData> request = app->client().requestDeviceCode(modelName(), stop);
        code = co_await std::move(request);
    } catch (const DescribedError &) {
        failure = std::current_exception();
    }
    if (!self || !app || stop.stop_requested())
        co_return;
    if (!code) {
        setPairingError(describeException(failure));
        setPairingStatus(QStringLiteral("Could not start Parlino sign-in"));
        co_return;
    }
    setCode(code);
    setPairingStatus(waitingStatus);
    setPairing(true);

    const Milliseconds delay = code->interval
        ? saturatingSeconds(std::max<qint64>(*code->interval, 3))
        : Milliseconds(5s);
    const Milliseconds deadline = saturatingAdd(m_clock->now(),
        code->expires_in ? saturatingSeconds(*code->expires_in) : Milliseconds(900s));
    co_await poll(*code, deadline, delay, stop);
}

QCoro::Task<> LoginScreenModel::poll(
    DeviceCodeData code, Milliseconds deadline, Milliseconds delay, std::stop_token stop)
{
    QPointer self(this);
    QPointer<AppModel> app = m_app;
    Clock *clock = m_clock;
    m_loopRunning = true;
    m_resumeDeadline.reset();

    while (m_pairing && clock->now() < deadline) {
        // Never past the deadline: a longer delay ends the loop there, with no request.
        co_await clock->sleep(std::min(delay, deadline - clock->now()), stop);
        if (!self || !app || stop.stop_requested())
            co_return;
        if (clock->now() >= deadline)
            break;

        std::optional<TokenData> tokens;
        std::exception_ptr failure;
        try {
            QCoro::Task<TokenData> request = app->client().pollDeviceToken(code.device_code, stop);
            tokens = co_await std::move(request);
        } catch (const DescribedError &) {
            failure = std::current_exception();
        }
        if (!self || !app || stop.stop_requested())
            co_return;
        if (tokens) {
            m_loopRunning = false;
            setPairingStatus(QStringLiteral("Signed in"));
            setPairing(false);
            // The app model leaves the sign-in route; this screen may be gone when it returns.
            co_await app->applyTokens(*tokens);
            co_return;
        }
        if (!interpretPollFailure(failure, delay)) {
            m_loopRunning = false;
            co_return;
        }
    }

    m_loopRunning = false;
    if (clock->now() >= deadline) {
        setPairingStatus(expiredStatus);
        setPairing(false);
    } else {
        // Stopped only because `pairing` was cleared: a failed e-mail sign-in resumes here.
        m_resumeDeadline = deadline;
        m_resumeDelay = delay;
    }
}

bool LoginScreenModel::interpretPollFailure(std::exception_ptr failure, Milliseconds &delay)
{
    std::optional<QString> code;
    try {
        std::rethrow_exception(failure);
    } catch (const APIError &error) {
        if (error.kind() == APIError::Kind::Http)
            code = error.code();
    } catch (const DescribedError &) {
        // Described below like any other failure.
    }
    if (code == u"AUTHORIZATION_PENDING") {
        setPairingStatus(waitingStatus);
        return true;
    }
    if (code == u"SLOW_DOWN") {
        setPairingStatus(QStringLiteral("Slowing down…"));
        delay = saturatingAdd(delay, 5s);
        return true;
    }
    if (code == u"EXPIRED_TOKEN") {
        setPairingStatus(expiredStatus);
        setPairing(false);
        return false;
    }
    if (code == u"ACCESS_DENIED") {
        setPairingStatus(QStringLiteral("Access denied"));
        setPairingError(QStringLiteral("Sign-in was denied on your phone."));
        setPairing(false);
        return false;
    }
    setPairingStatus(describeException(failure));
    return true;
}

QCoro::Task<> LoginScreenModel::submitEmailLogin()
{
    QPointer<AppModel> app = m_app;
    if (m_gone || !app || m_isSubmittingEmail)
        co_return;
    QPointer self(this);
    const QString name = m_fullName.trimmed();
    const QString mail = m_email.trimmed().toLower();
    if (name.isEmpty() || !mail.contains(u'@')) {
        setEmailError(QStringLiteral("Enter your full name and a valid email."));
        co_return;
    }
    setSubmittingEmail(true);
    setEmailError(std::nullopt);
    setPairing(false);
    const std::stop_token stop = restart(m_emailStop);

    std::optional<TokenData> tokens;
    std::exception_ptr failure;
    try {
        QCoro::Task<TokenData> request = app->client().loginWithEmail(name, mail, stop);
        tokens = co_await std::move(request);
    } catch (const DescribedError &) {
        failure = std::current_exception();
    }
    if (!self || !app || stop.stop_requested())
        co_return;
    if (tokens) {
        SettingsModel *settings = app->settings();
        settings->setDisplayName(name);
        settings->setEmail(mail);
        settings->persist();
        co_await app->applyTokens(*tokens);
        if (self)
            setSubmittingEmail(false);
        co_return;
    }
    setEmailError(describeException(failure));
    setSubmittingEmail(false);

    // Phone approval comes back: the running loop goes on, or a loop that stopped for this
    // sign-in resumes with its code's deadline.
    if (!m_code)
        co_return;
    if (m_loopRunning) {
        setPairing(true);
    } else if (m_resumeDeadline) {
        setPairing(true);
        co_await poll(*m_code, *m_resumeDeadline, m_resumeDelay, m_pairingStop.get_token());
    }
}

void LoginScreenModel::setPairingStatus(const QString &status)
{
    if (assign(m_pairingStatus, status))
        emit pairingChanged();
}

void LoginScreenModel::setPairing(bool pairing)
{
    if (assign(m_pairing, pairing))
        emit pairingChanged();
}

void LoginScreenModel::setPairingError(std::optional<QString> error)
{
    if (assign(m_pairingError, std::move(error)))
        emit pairingChanged();
}

void LoginScreenModel::setCode(std::optional<DeviceCodeData> code)
{
    m_code = std::move(code);
    emit pairingChanged();
}

void LoginScreenModel::setSubmittingEmail(bool submitting)
{
    if (assign(m_isSubmittingEmail, submitting))
        emit emailFormChanged();
}

void LoginScreenModel::setEmailError(std::optional<QString> error)
{
    if (assign(m_emailError, std::move(error)))
        emit emailFormChanged();
}

} // namespace orvella
