#pragma once

// What the delivery tests share: reading a file back, delivery services that remember what
// they were asked, and a home folder of the test's own.

#include "platform/FileReveal.h"
#include "studio/RecordingDelivery.h"

#include <QByteArray>
#include <QCoroFuture>
#include <QFile>
#include <QFuture>
#include <QStringList>
#include <QTemporaryDir>

namespace orvella::test {

inline QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

struct RecordingReveal : FileReveal
{
    QStringList revealed;
    void reveal(const QString &filePath) override { revealed << filePath; }
};

// Answers every question with `answer` at once, and keeps the questions.
struct FakeSaveFileChooser : SaveFileChooser
{
    QList<SaveFileQuestion> questions;
    SaveFileAnswer answer;

    QCoro::Task<SaveFileAnswer> chooseSaveFile(SaveFileQuestion question, std::stop_token) override
    {
        questions << question;
        SaveFileAnswer given = answer; // a copy: GCC 12 moves what co_return names
        co_return given;
    }
};

// The upload answers with `failure` (none: taken), once `gate` has finished when one is set.
struct FakeDeliveryServices
{
    std::shared_ptr<RecordingReveal> reveal = std::make_shared<RecordingReveal>();
    QList<QUrl> opened;
    QList<delivery::UploadRequest> requests;
    std::optional<QString> failure;
    bool browserOpens = true;
    std::optional<QFuture<void>> gate;

    delivery::Services make(const QString &archiveFolder)
    {
        delivery::Services services;
        services.upload
            = [this](delivery::UploadRequest request) -> QCoro::Task<std::optional<QString>> {
            requests << request;
            if (gate) {
                QFuture<void> opening = *gate;
                co_await opening;
            }
            std::optional<QString> answer = failure; // a copy: GCC 12 moves what co_return names
            co_return answer;
        };
        services.reveal = reveal;
        services.openUrl = [this](const QUrl &url) {
            opened << url;
            return browserOpens;
        };
        services.archiveFolder = archiveFolder;
        return services;
    }
};

// Sets an environment variable while it lives, then puts back what was there.
class ScopedVariable
{
public:
    ScopedVariable(const char *name, const QString &value)
        : m_name(name)
        , m_saved(qgetenv(name))
    {
        qputenv(name, QFile::encodeName(value));
    }
    ~ScopedVariable() { m_saved.isNull() ? qunsetenv(m_name) : qputenv(m_name, m_saved); }
    ScopedVariable(const ScopedVariable &) = delete;
    ScopedVariable &operator=(const ScopedVariable &) = delete;

private:
    const char *m_name;
    QByteArray m_saved;
};

// A home and a configuration folder of the test's own, as the desktop's folders are read: none
// of the usual folders (Downloads, Videos, …) is there until the test makes it.
struct OwnHome
{
    QTemporaryDir home, config;
    ScopedVariable homeVariable { "HOME", home.path() };
    ScopedVariable configVariable { "XDG_CONFIG_HOME", config.path() };
};

} // namespace orvella::test
