#pragma once

#include "core/ObjectLink.h"
#include "screens/home/TestimonyDraft.h"

#include <QObject>
#include <QString>
#include <QUrl>
#include <QtQml/qqmlregistration.h>
#include <optional>

namespace orvella {

class AppModel;

// The written-testimony screen: the three fields with their draft on this computer, the
// Continue rule, the character count and the testimony portal, opened in the browser and shown
// as a QR code. Nothing is sent to the service. What the viewer typed is never lost: leaving
// the screen or quitting stores fields that differ from what was restored or last stored.
//
// The story holds at most storyLimit characters, counted as the counter counts them: text typed,
// pasted or restored beyond that is cut where the story reaches the bound, and the screen says
// so in one line. Typing, saving and restoring stay quick whatever the clipboard held.
class TestimonyScreenModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(orvella::AppModel *app READ app WRITE setApp NOTIFY appChanged)
    Q_PROPERTY(QString name READ name WRITE setName NOTIFY fieldsChanged)
    Q_PROPERTY(QString email READ email WRITE setEmail NOTIFY fieldsChanged)
    Q_PROPERTY(QString story READ story WRITE setStory NOTIFY fieldsChanged)
    Q_PROPERTY(bool canContinue READ canContinue NOTIFY fieldsChanged)
    Q_PROPERTY(QString characterCountText READ characterCountText NOTIFY fieldsChanged)
    Q_PROPERTY(QString storyNotice READ storyNotice NOTIFY storyNoticeChanged)
    Q_PROPERTY(bool saved READ saved NOTIFY savedChanged)
    Q_PROPERTY(bool saveFailed READ saveFailed NOTIFY savedChanged)
    Q_PROPERTY(QString saveLabel READ saveLabel NOTIFY savedChanged)
    Q_PROPERTY(bool hasPortal READ hasPortal NOTIFY portalChanged)
    Q_PROPERTY(QString portalAddress READ portalAddress NOTIFY portalChanged)

public:
    static constexpr qint64 storyLimit = 50'000;

    explicit TestimonyScreenModel(QObject *parent = nullptr);
    // Stores what differs from the stored draft.
    ~TestimonyScreenModel() override;

    [[nodiscard]] AppModel *app() const { return m_app.get(); }
    void setApp(AppModel *app);

    [[nodiscard]] const TestimonyFields &fields() const { return m_fields; }
    [[nodiscard]] QString name() const { return m_fields.name; }
    [[nodiscard]] QString email() const { return m_fields.email; }
    [[nodiscard]] QString story() const { return m_fields.story; }
    void setName(const QString &name);
    void setEmail(const QString &email);
    void setStory(const QString &story);

    [[nodiscard]] bool saved() const { return m_saved; }
    // The last "Save Draft" (or Continue) could not write the draft; the fields keep the text,
    // and the next save or leaving tries again.
    [[nodiscard]] bool saveFailed() const { return m_saveFailed; }
    [[nodiscard]] QString saveLabel() const;
    [[nodiscard]] bool canContinue() const { return canContinue(m_fields); }
    [[nodiscard]] QString characterCountText() const;
    [[nodiscard]] qint64 storyCharacters() const { return m_storyCharacters; }
    // "" until text was cut at the bound; then the line that says so, until the screen goes.
    [[nodiscard]] QString storyNotice() const;

    // The configuration's testimony page tagged with this client's source; none without one.
    [[nodiscard]] std::optional<QUrl> portalURL() const;
    [[nodiscard]] bool hasPortal() const { return portalURL().has_value(); }
    // The portal's address fully encoded, for the QR code; "" without one.
    [[nodiscard]] QString portalAddress() const;

    // Continue needs a name with more than spaces and tabs and a story with more than blanks
    // and line breaks; the e-mail plays no part.
    [[nodiscard]] static bool canContinue(const TestimonyFields &fields);
    // User-perceived characters (grapheme clusters).
    [[nodiscard]] static qint64 characterCount(const QString &text);

    // Fills the fields from the stored draft, a field never stored from the settings' profile
    // (the story from nothing). Runs once per screen.
    Q_INVOKABLE void restoreDraft();
    // "Save Draft".
    Q_INVOKABLE void saveDraft();
    // "Continue on Secure Portal": saves, then opens the portal in the browser when there is one.
    Q_INVOKABLE void continueOnPortal();
    // "Open Testimony Studio".
    Q_INVOKABLE void openStudio();
    // The text a paste into the story inserts in place of the story's code units [start, end):
    // the clipboard's (the selection clipboard's for a middle click), cut where the story
    // reaches its bound.
    Q_INVOKABLE QString storyPaste(int start, int end, bool fromSelection);

signals:
    void appChanged();
    void fieldsChanged();
    void savedChanged();
    void portalChanged();
    void storyNoticeChanged();

private:
    // The story `next` with what an edit of `previous` added cut to fit the bound.
    [[nodiscard]] static QString boundEdit(const QString &previous, const QString &next);
    void setStoryText(QString story);
    void noteCut();
    void setField(QString TestimonyFields::*field, const QString &text);
    // Stores the fields when they differ from what was restored or last stored.
    void keepTyped();
    bool store();

    ObjectLink<AppModel> m_app;
    TestimonyFields m_fields;
    // What the stored draft holds as far as this screen knows.
    TestimonyFields m_stored;
    bool m_saved = false;
    bool m_saveFailed = false;
    bool m_restored = false;
    qint64 m_storyCharacters = 0;
    bool m_storyCut = false;
};

} // namespace orvella
