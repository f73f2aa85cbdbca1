#include "screens/home/TestimonyScreenModel.h"

#include "api/WebLink.h"
#include "app/AppModel.h"
#include "ui/GraphemeText.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLocale>

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
    if (m_fields.story == story)
        return;
    const qint64 count = graphemeCount(story);
    if (count <= storyLimit) {
        m_storyCharacters = count;
        m_fields.story = story;
        emit fieldsChanged();
        return;
    }
    setStoryText(boundEdit(m_fields.story, story));
    noteCut();
    // Announced even when the bound kept the story as it was, so the editor shows it again.
    emit fieldsChanged();
}

void TestimonyScreenModel::setStoryText(QString story)
{
    m_storyCharacters = graphemeCount(story);
    m_fields.story = std::move(story);
}

QString TestimonyScreenModel::boundEdit(const QString &previous, const QString &next)
{
    // The edit is what lies between the text both share at the start and at the end.
    const qsizetype shorter = std::min(previous.size(), next.size());
    qsizetype head = 0;
    while (head < shorter && previous[head] == next[head])
        ++head;
    qsizetype tail = 0;
    while (tail < shorter - head
        && previous[previous.size() - 1 - tail] == next[next.size() - 1 - tail])
        ++tail;
    const QString before = next.left(head);
    const QString after = next.right(tail);
    const qint64 room
        = std::max<qint64>(0, storyLimit - graphemeCount(before) - graphemeCount(after));
    const QString added = next.mid(head, next.size() - head - tail);
    // Characters can join across the edit's edges; the bound holds for the whole story.
    return cutToGraphemes(before + cutToGraphemes(added, room) + after, storyLimit);
}

void TestimonyScreenModel::noteCut()
{
    if (m_storyCut)
        return;
    m_storyCut = true;
    emit storyNoticeChanged();
}

QString TestimonyScreenModel::storyNotice() const
{
    // The screen's texts are English: so is the number's grouping, whatever the desktop's locale.
    return m_storyCut
        ? QStringLiteral("A story holds up to %1 characters: the text beyond that was not kept.")
              .arg(QLocale(QLocale::English).toString(storyLimit))
        : QString();
}

QString TestimonyScreenModel::storyPaste(int start, int end, bool fromSelection)
{
    const QString &story = m_fields.story;
    start = std::clamp<int>(start, 0, int(story.size()));
    end = std::clamp<int>(end, start, int(story.size()));
    const QString pasted = QGuiApplication::clipboard()->text(
        fromSelection ? QClipboard::Selection : QClipboard::Clipboard);
    const qint64 kept = graphemeCount(QStringView(story).left(start))
        + graphemeCount(QStringView(story).sliced(end));
    const qsizetype cut = graphemeEnd(pasted, std::max<qint64>(0, storyLimit - kept));
    if (cut < 0)
        return pasted;
    noteCut();
    return pasted.left(cut);
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
    return QStringLiteral("%1 characters").arg(m_storyCharacters);
}

bool TestimonyScreenModel::canContinue(const TestimonyFields &fields)
{
    return !isBlankName(fields.name) && !fields.story.trimmed().isEmpty();
}

qint64 TestimonyScreenModel::characterCount(const QString &text)
{
    return graphemeCount(text);
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
    const QString story = draft.story.value_or(QString());
    setStoryText(cutToGraphemes(story, storyLimit));
    m_stored = m_fields;
    if (m_fields.story.size() != story.size()) {
        // Leaving stores the story as shown.
        m_stored.story = story;
        noteCut();
    }
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
