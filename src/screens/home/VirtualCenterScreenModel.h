#pragma once

#include "screens/home/VirtualCenterList.h"

#include <QObject>
#include <QPointer>
#include <QtQml/qqmlregistration.h>
#include <optional>

namespace orvella {

class AppModel;

// Keeps the graphemes of `text` whose first code point is a number, in order.
[[nodiscard]] QString numericText(const QString &text);

// The virtual centre screen: the built-in centres narrowed by a search, a form to join one and a
// form to host a new one. Both forms only lead to live: nothing is sent or stored.
class VirtualCenterScreenModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(Mode mode READ mode NOTIFY modeChanged)
    Q_PROPERTY(QString query READ query WRITE setQuery NOTIFY queryChanged)
    Q_PROPERTY(orvella::VirtualCenterList *centers READ centers CONSTANT)
    Q_PROPERTY(QString participantCount READ participantCount WRITE setParticipantCount NOTIFY
            participantCountChanged)
    Q_PROPERTY(QString centerName READ centerName WRITE setCenterName NOTIFY centerNameChanged)
    Q_PROPERTY(
        QString centerAddress READ centerAddress WRITE setCenterAddress NOTIFY centerAddressChanged)
    Q_PROPERTY(bool hasJoinCenter READ hasJoinCenter NOTIFY modeChanged)
    Q_PROPERTY(QString joinTitle READ joinTitle NOTIFY modeChanged)
    Q_PROPERTY(bool canSubmitHost READ canSubmitHost NOTIFY canSubmitHostChanged)

public:
    enum class Mode { List, Join, Host };
    Q_ENUM(Mode)

    explicit VirtualCenterScreenModel(QObject *parent = nullptr);

    [[nodiscard]] AppModel *app() const { return m_app; }
    void setApp(AppModel *app);
    [[nodiscard]] Mode mode() const { return m_mode; }
    // The centre the join form is for (Join only).
    [[nodiscard]] std::optional<int> joinId() const { return m_joinId; }
    [[nodiscard]] QString query() const { return m_query; }
    void setQuery(const QString &query);
    [[nodiscard]] VirtualCenterList *centers() { return &m_centers; }
    [[nodiscard]] QString participantCount() const { return m_participantCount; }
    // Keeps only the numbers of what was typed; announced also when that leaves the value as it
    // was, so the field drops what it showed.
    void setParticipantCount(const QString &typed);
    [[nodiscard]] QString centerName() const { return m_centerName; }
    void setCenterName(const QString &name);
    [[nodiscard]] QString centerAddress() const { return m_centerAddress; }
    void setCenterAddress(const QString &address);
    [[nodiscard]] bool hasJoinCenter() const { return joinCenter().has_value(); }
    [[nodiscard]] QString joinTitle() const;
    [[nodiscard]] bool canSubmitHost() const;

    // A card's "Join Center": the join form for that centre, one participant.
    Q_INVOKABLE void join(int id);
    // "Host Your Own Center": the host form, ten participants.
    Q_INVOKABLE void host();
    // Either form's "Cancel": back to the list, typed values kept.
    Q_INVOKABLE void cancel();
    // Either form's watch button.
    Q_INVOKABLE void watchLive();

signals:
    void appChanged();
    void modeChanged();
    void queryChanged();
    void participantCountChanged();
    void centerNameChanged();
    void centerAddressChanged();
    void canSubmitHostChanged();

private:
    [[nodiscard]] std::optional<VirtualCenter> joinCenter() const;
    void setMode(Mode mode, std::optional<int> joinId = std::nullopt);

    QPointer<AppModel> m_app;
    Mode m_mode = Mode::List;
    std::optional<int> m_joinId;
    QString m_query;
    VirtualCenterList m_centers;
    QString m_participantCount = QStringLiteral("1");
    QString m_centerName;
    QString m_centerAddress;
};

} // namespace orvella
