#include "screens/home/TestimonyScreenModel.h"

#include "api/WebLink.h"
#include "app/AppModel.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QTextBoundaryFinder>

namespace orvella {

namespace {

// Spaces and tabs only: a name of line breaks is not blank by this rule.
bool isBlankName(QStringView name)
{
    for (const QChar c : name) {
        if (c != u' ' && c != u'\t')
            return false;
    }
    return true;
}

} // namespace

TestimonyScreenModel::TestimonyScreenModel(QObject *parent)
    : QObject(parent)
{
    // A quit does not always destroy the screen first.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this,
        &TestimonyScreenModel::keepTyped);
}

TestimonyScreenModel::~TestimonyScreenModel()
{
    keepTyped();
}

void TestimonyScreenModel::setApp(AppModel *app)
{
    if (!m_app.repoint(app))
        return;
    m_app.forward(&AppModel::configChanged, this, &TestimonyScreenModel::portalChanged);
    emit appChanged();
    emit portalChanged();
}

void TestimonyScreenModel::setName(const QString &name)
{
    setField(&TestimonyFields::name, name);
}

void TestimonyScreenModel::setEmail(const QString &email)
{
    setField(&TestimonyFields::email, email);
}

void TestimonyScreenModel::setStory(const QString &story)
{
    setField(&TestimonyFields::story, story);
}

void TestimonyScreenModel::setField(QString TestimonyFields::*field, const QString &text)
{
    if (m_fields.*field == text)
        return;
    m_fields.*field = text;
    emit fieldsChanged();
}

QString TestimonyScreenModel::saveLabel() const
{
    if (m_saveFailed)
        return notSavedText();
    return m_saved ? QStringLiteral("Draft Saved") : QStringLiteral("Save Draft");
}

QString TestimonyScreenModel::characterCountText() const
{
    return QStringLiteral("%1 characters").arg(characterCount(m_fields.story));
}

bool TestimonyScreenModel::canContinue(const TestimonyFields &fields)
{
    return !isBlankName(fields.name) && !fields.story.trimmed().isEmpty();
}

qint64 TestimonyScreenModel::characterCount(const QString &text)
{
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qint64 count = 0;
    while (finder.toNextBoundary() > 0)
        ++count;
    return count;
}

std::optional<QUrl> TestimonyScreenModel::portalURL() const
{
    if (!m_app || !m_app->config() || !m_app->config()->urls)
        return std::nullopt;
    return AppModel::engagementURL(m_app->config()->urls->testimony);
}

QString TestimonyScreenModel::portalAddress() const
{
    const auto url = portalURL();
    return url ? url->toString(QUrl::FullyEncoded) : QString();
}

void TestimonyScreenModel::restoreDraft()
{
    if (m_restored)
        return;
    m_restored = true;
    const TestimonyDraft draft = TestimonyDraft::read();
    const SettingsModel *settings = m_app ? m_app->settings() : nullptr;
    m_fields.name = draft.name.value_or(settings ? settings->displayName() : QString());
    m_fields.email = draft.email.value_or(settings ? settings->email() : QString());
    m_fields.story = draft.story.value_or(QString());
    m_stored = m_fields;
    emit fieldsChanged();
}

bool TestimonyScreenModel::store()
{
    if (!TestimonyDraft::write(m_fields))
        return false;
    m_stored = m_fields;
    return true;
}

void TestimonyScreenModel::saveDraft()
{
    const bool stored = store();
    const bool saved = m_saved || stored;
    if (saved == m_saved && m_saveFailed == !stored)
        return;
    m_saved = saved;
    m_saveFailed = !stored;
    emit savedChanged();
}

void TestimonyScreenModel::keepTyped()
{
    if (m_fields != m_stored)
        store();
}

void TestimonyScreenModel::continueOnPortal()
{
    saveDraft();
    const auto url = portalURL();
    if (url && isWebLink(*url))
        QDesktopServices::openUrl(*url);
}

void TestimonyScreenModel::openStudio()
{
    keepTyped();
    if (m_app)
        m_app->navigate(MacRoute::TestimonyRec);
}

} // namespace orvella
