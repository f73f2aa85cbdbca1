#include "ui/SaveFileDialogModel.h"

#include <QCoroFuture>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QtConcurrent/QtConcurrentRun>

namespace orvella {

SaveFileDialogModel::SaveFileDialogModel(QObject *parent)
    : QObject(parent)
    , m_browser(new FolderBrowserModel(this))
{
    connect(m_browser, &FolderBrowserModel::failed, this, &SaveFileDialogModel::setMessage);
    connect(m_browser, &FolderBrowserModel::folderChanged, this, [this] {
        setMessage({});
        clearQuestion();
    });
}

void SaveFileDialogModel::setFileName(const QString &name)
{
    if (m_fileName == name)
        return;
    const bool couldSave = canSave();
    m_fileName = name;
    // What was said about the last name no longer holds.
    setMessage({});
    emit fileNameChanged();
    if (canSave() != couldSave)
        emit canSaveChanged();
}

int SaveFileDialogModel::nameStemLength() const
{
    return int(savepaths::stemLength(m_fileName, m_setup.naming));
}

bool SaveFileDialogModel::canSave() const
{
    return m_opened && !m_busy && !m_fileName.trimmed().isEmpty();
}

void SaveFileDialogModel::open(const Setup &setup)
{
    const bool couldSave = canSave();
    ++m_session;
    m_setup = setup;
    m_browser->setSuffixes(setup.naming.suffixes);
    m_browser->start(setup.folder);
    m_busy = false;
    m_fileName = setup.proposedName;
    setMessage({});
    clearQuestion();
    setNewFolder(false, {}, {});
    m_opened = true;
    emit openedChanged();
    emit fileNameChanged();
    if (canSave() != couldSave)
        emit canSaveChanged();
}

void SaveFileDialogModel::accept()
{
    if (!m_opened || m_busy || !m_replaceQuestion.isEmpty())
        return;
    if (m_fileName.trimmed().isEmpty()) {
        setMessage(QStringLiteral("Type a name for the file."));
        return;
    }
    resolveAndSave(m_fileName);
}

QCoro::Task<> SaveFileDialogModel::resolveAndSave(QString typed)
{
    QPointer<SaveFileDialogModel> self = this;
    const quint64 session = m_session;
    setBusy(true);
    const QString folder = m_browser->folder();
    const savepaths::Naming naming = m_setup.naming;
    const QStringList kept = m_setup.kept;
    QFuture<savepaths::Target> resolving = QtConcurrent::run([folder, typed, naming, kept] {
        savepaths::Target target
            = savepaths::resolveTarget(folder, typed, QDir::homePath(), naming);
        // A kept file replaced would save nothing or be lost: refused before the replace question.
        if (target.exists) {
            if (QString refusal = savepaths::keptFileRefusal(target.path, kept);
                !refusal.isEmpty()) {
                target.kind = savepaths::Target::Kind::Invalid;
                target.message = std::move(refusal);
            }
        }
        return target;
    });
    const savepaths::Target target = co_await resolving;
    if (!self || session != m_session)
        co_return; // closed meanwhile
    setBusy(false);
    switch (target.kind) {
    case savepaths::Target::Kind::Invalid:
        setMessage(target.message);
        break;
    case savepaths::Target::Kind::Folder:
        // A typed folder is where the viewer wants to be; the name is proposed again there.
        m_browser->openFolder(target.path);
        setFileName(m_setup.proposedName);
        break;
    case savepaths::Target::Kind::File:
        if (target.exists) {
            askToReplace(target.path);
            break;
        }
        close();
        emit accepted(target.path);
        break;
    }
}

void SaveFileDialogModel::cancel()
{
    if (!m_opened)
        return;
    close();
    emit rejected();
}

void SaveFileDialogModel::escape()
{
    if (!m_replaceQuestion.isEmpty())
        keepExisting();
    else if (m_newFolderShown)
        cancelNewFolder();
    else
        cancel();
}

void SaveFileDialogModel::activateEntry(int row)
{
    const savepaths::Entry *entry = m_browser->entryAt(row);
    if (!entry || !m_opened)
        return;
    if (entry->isFolder) {
        m_browser->openFolder(entry->path);
        return;
    }
    setFileName(entry->name);
    accept();
}

void SaveFileDialogModel::selectEntry(int row)
{
    const savepaths::Entry *entry = m_browser->entryAt(row);
    if (entry && !entry->isFolder)
        setFileName(entry->name);
}

void SaveFileDialogModel::confirmReplace()
{
    if (m_pendingPath.isEmpty())
        return;
    const QString path = m_pendingPath;
    close();
    emit accepted(path);
}

void SaveFileDialogModel::keepExisting()
{
    clearQuestion();
}

void SaveFileDialogModel::beginNewFolder()
{
    if (!m_opened)
        return;
    setNewFolder(true, savepaths::freeName(QStringLiteral("New Folder"), m_browser->names()), {});
}

void SaveFileDialogModel::createFolder(const QString &name)
{
    if (m_newFolderShown && !m_busy)
        makeFolder(name);
}

QCoro::Task<> SaveFileDialogModel::makeFolder(QString name)
{
    QPointer<SaveFileDialogModel> self = this;
    const quint64 session = m_session;
    setBusy(true);
    const QString folder = m_browser->folder();
    QFuture<savepaths::Creation> making
        = QtConcurrent::run([folder, name] { return savepaths::makeFolder(folder, name); });
    const savepaths::Creation made = co_await making;
    if (!self || session != m_session)
        co_return;
    setBusy(false);
    if (!made.error.isEmpty()) {
        setNewFolder(true, name, made.error);
        co_return;
    }
    setNewFolder(false, {}, {});
    m_browser->openFolder(made.path);
}

void SaveFileDialogModel::cancelNewFolder()
{
    setNewFolder(false, {}, {});
}

void SaveFileDialogModel::close()
{
    clearQuestion();
    setNewFolder(false, {}, {});
    setMessage({});
    ++m_session;
    m_busy = false;
    m_opened = false;
    emit openedChanged();
    emit canSaveChanged();
}

void SaveFileDialogModel::setMessage(const QString &message)
{
    if (m_message == message)
        return;
    m_message = message;
    emit messageChanged();
}

void SaveFileDialogModel::setBusy(bool busy)
{
    const bool couldSave = canSave();
    m_busy = busy;
    if (canSave() != couldSave)
        emit canSaveChanged();
}

void SaveFileDialogModel::askToReplace(const QString &path)
{
    const QFileInfo file(path);
    m_pendingPath = path;
    m_replaceQuestion
        = QStringLiteral("“%1” already exists. Do you want to replace it?").arg(file.fileName());
    m_replaceDetail = QStringLiteral("A file with that name is already in “%1”. Replacing it "
                                     "will overwrite what it holds.")
                          .arg(savepaths::displayName(file.absolutePath()));
    emit replaceQuestionChanged();
}

void SaveFileDialogModel::clearQuestion()
{
    if (m_pendingPath.isEmpty() && m_replaceQuestion.isEmpty())
        return;
    m_pendingPath.clear();
    m_replaceQuestion.clear();
    m_replaceDetail.clear();
    emit replaceQuestionChanged();
}

void SaveFileDialogModel::setNewFolder(bool shown, const QString &proposal, const QString &message)
{
    if (m_newFolderShown == shown && m_newFolderProposal == proposal
        && m_newFolderMessage == message)
        return;
    m_newFolderShown = shown;
    m_newFolderProposal = proposal;
    m_newFolderMessage = message;
    emit newFolderChanged();
}

} // namespace orvella
