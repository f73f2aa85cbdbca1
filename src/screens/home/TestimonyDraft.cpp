#include "screens/home/TestimonyDraft.h"

#include "core/SettingsStore.h"

#include <QSettings>

namespace orvella {

namespace {

constexpr auto nameKey = "testimony.draft.name";
constexpr auto emailKey = "testimony.draft.email";
constexpr auto storyKey = "testimony.draft.story";

std::optional<QString> readText(const QSettings &settings, const char *key)
{
    const QString name = QString::fromLatin1(key);
    if (!settings.contains(name))
        return std::nullopt;
    return settings.value(name).toString();
}

} // namespace

TestimonyDraft TestimonyDraft::read()
{
    const QSettings settings;
    return { readText(settings, nameKey), readText(settings, emailKey),
        readText(settings, storyKey) };
}

bool TestimonyDraft::write(const TestimonyFields &fields)
{
    QSettings settings;
    settings.setValue(QString::fromLatin1(nameKey), fields.name);
    settings.setValue(QString::fromLatin1(emailKey), fields.email);
    settings.setValue(QString::fromLatin1(storyKey), fields.story);
    return writeSettingsFile(settings, "the testimony draft");
}

} // namespace orvella
