#pragma once

#include "api/AccountModels.h"

#include <QCoro/QCoroTask>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QtQml/qqmlregistration.h>
#include <chrono>
#include <optional>
#include <stop_token>

namespace orvella {

class AppModel;
class Clock;

// The sign-in screen: phone approval of a device code (requested when the screen appears,
// shown as a QR code and as text, then polled until approved, denied or expired) beside the
// passwordless e-mail sign-in. Both hand the tokens to the app model, which leaves the screen.
// Each pairing owns its stop source: a new one, the screen's leaving, or a stopped poll loop
// ends the older one's waits and requests at once.
class LoginScreenModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(QString fullName READ fullName WRITE setFullName NOTIFY emailFormChanged)
    Q_PROPERTY(QString email READ email WRITE setEmail NOTIFY emailFormChanged)
    Q_PROPERTY(bool canSubmitEmail READ canSubmitEmail NOTIFY emailFormChanged)
    Q_PROPERTY(bool isSubmittingEmail READ isSubmittingEmail NOTIFY emailFormChanged)
    Q_PROPERTY(QString emailError READ emailErrorText NOTIFY emailFormChanged)
    Q_PROPERTY(bool hasEmailError READ hasEmailError NOTIFY emailFormChanged)
    Q_PROPERTY(bool hasCode READ hasCode NOTIFY pairingChanged)
    Q_PROPERTY(QString userCode READ userCode NOTIFY pairingChanged)
    Q_PROPERTY(QString qrText READ qrText NOTIFY pairingChanged)
    Q_PROPERTY(QString linkText READ linkText NOTIFY pairingChanged)
    Q_PROPERTY(QString pairingStatus READ pairingStatus NOTIFY pairingChanged)
    Q_PROPERTY(bool pairing READ pairing NOTIFY pairingChanged)
    Q_PROPERTY(QString pairingError READ pairingErrorText NOTIFY pairingChanged)
    Q_PROPERTY(bool hasPairingError READ hasPairingError NOTIFY pairingChanged)

public:
    explicit LoginScreenModel(QObject *parent = nullptr);
    ~LoginScreenModel() override;

    [[nodiscard]] AppModel *app() const { return m_app; }
    void setApp(AppModel *app);
    // Tests give a manual clock and a host name of their own.
    void setClock(Clock *clock) { m_clock = clock; }
    void setHostName(QString name) { m_hostName = std::move(name); }

    [[nodiscard]] QString fullName() const { return m_fullName; }
    void setFullName(const QString &name);
    [[nodiscard]] QString email() const { return m_email; }
    void setEmail(const QString &email);
    [[nodiscard]] bool canSubmitEmail() const;
    [[nodiscard]] bool isSubmittingEmail() const { return m_isSubmittingEmail; }
    [[nodiscard]] const std::optional<QString> &emailError() const { return m_emailError; }
    [[nodiscard]] QString emailErrorText() const { return m_emailError.value_or(QString()); }
    [[nodiscard]] bool hasEmailError() const { return m_emailError.has_value(); }

    [[nodiscard]] const std::optional<DeviceCodeData> &code() const { return m_code; }
    [[nodiscard]] bool hasCode() const { return m_code.has_value(); }
    [[nodiscard]] QString userCode() const { return m_code ? m_code->user_code : QString(); }
    // What the QR code encodes; empty without a code.
    [[nodiscard]] QString qrText() const;
    // The verification address shown under the code, else the complete one, bounded as text;
    // empty for none.
    [[nodiscard]] QString linkText() const;
    [[nodiscard]] QString pairingStatus() const { return m_pairingStatus; }
    [[nodiscard]] bool pairing() const { return m_pairing; }
    [[nodiscard]] const std::optional<QString> &pairingError() const { return m_pairingError; }
    [[nodiscard]] QString pairingErrorText() const { return m_pairingError.value_or(QString()); }
    [[nodiscard]] bool hasPairingError() const { return m_pairingError.has_value(); }

    // The screen was shown: a pairing starts.
    Q_INVOKABLE void appear();
    // The screen goes: every wait, request and write of the screen ends now.
    Q_INVOKABLE void disappear();
    // "Get New Code": a new pairing that supersedes any earlier one.
    Q_INVOKABLE void requestNewCode() { startPairing(); }
    Q_INVOKABLE void submitEmail() { submitEmailLogin(); }

    // Requests a code and polls it until the loop ends; the task ends with it.
    QCoro::Task<> startPairing();
    QCoro::Task<> submitEmailLogin();

signals:
    void appChanged();
    void emailFormChanged();
    void pairingChanged();

private:
    using Milliseconds = std::chrono::milliseconds;

    // The poll loop of one code from the given deadline, with the given delay between requests.
    QCoro::Task<> poll(
        DeviceCodeData code, Milliseconds deadline, Milliseconds delay, std::stop_token stop);
    // Reads one failed poll; false when the loop ends.
    bool interpretPollFailure(std::exception_ptr failure, Milliseconds &delay);
    void setPairingStatus(const QString &status);
    void setPairing(bool pairing);
    void setPairingError(std::optional<QString> error);
    void setCode(std::optional<DeviceCodeData> code);
    void setSubmittingEmail(bool submitting);
    void setEmailError(std::optional<QString> error);
    [[nodiscard]] QString modelName() const;

    QPointer<AppModel> m_app;
    Clock *m_clock;
    QString m_hostName;

    QString m_fullName;
    QString m_email;
    bool m_isSubmittingEmail = false;
    std::optional<QString> m_emailError;
    std::optional<DeviceCodeData> m_code;
    QString m_pairingStatus;
    bool m_pairing = false;
    std::optional<QString> m_pairingError;

    // The newest pairing's stop; a new pairing or leaving stops the old one.
    std::stop_source m_pairingStop;
    std::stop_source m_emailStop;
    bool m_gone = false;
    // The current code's loop: whether it runs, and where a loop ended only because `pairing`
    // was cleared resumes (same deadline and delay) when an e-mail sign-in fails.
    bool m_loopRunning = false;
    std::optional<Milliseconds> m_resumeDeadline;
    Milliseconds m_resumeDelay { 0 };
};

} // namespace orvella
