#pragma once

#include "ui/FolderBrowserModel.h"
#include "ui/SavePaths.h"

#include <QCoroTask>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

namespace orvella {

// The client's own save dialog, for desktops that offer none: a folder to browse, a name to
// type (a name, a relative or absolute path, or one under "~/"), folders to make, and a question
// before an existing file is replaced (never the file being copied, nor another its owner keeps:
// those are refused). Its owner
// opens it and takes the chosen path from `accepted`; `SaveFileDialog.qml` lays it out.
class SaveFileDialogModel : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_UNCREATABLE("Opened by its owner")

    Q_PROPERTY(bool opened READ isOpened NOTIFY openedChanged)
    Q_PROPERTY(QString title READ title NOTIFY openedChanged)
    Q_PROPERTY(orvella::FolderBrowserModel *browser READ browser CONSTANT)
    Q_PROPERTY(QString fileName READ fileName WRITE setFileName NOTIFY fileNameChanged)
    // How much of the name comes before its suffix: what is selected for retyping.
    Q_PROPERTY(int nameStemLength READ nameStemLength NOTIFY fileNameChanged)
    Q_PROPERTY(bool canSave READ canSave NOTIFY canSaveChanged)
    // Why the last step failed; empty when it did not.
    Q_PROPERTY(QString message READ message NOTIFY messageChanged)
    // Asked before an existing file is replaced; empty when nothing is asked.
    Q_PROPERTY(QString replaceQuestion READ replaceQuestion NOTIFY replaceQuestionChanged)
    Q_PROPERTY(QString replaceDetail READ replaceDetail NOTIFY replaceQuestionChanged)
    // The new folder prompt: shown, the name it proposes, and why the last name was refused.
    Q_PROPERTY(bool newFolderShown READ newFolderShown NOTIFY newFolderChanged)
    Q_PROPERTY(QString newFolderProposal READ newFolderProposal NOTIFY newFolderChanged)
    Q_PROPERTY(QString newFolderMessage READ newFolderMessage NOTIFY newFolderChanged)

public:
    struct Setup
    {
        QString title;
        QString folder;
        QString proposedName;
        savepaths::Naming naming;
        // Files choosing is refused: the one the saved file is a copy of, and any its owner
        // deletes or replaces later.
        QStringList kept;
    };

    explicit SaveFileDialogModel(QObject *parent = nullptr);

    [[nodiscard]] bool isOpened() const { return m_opened; }
    [[nodiscard]] QString title() const { return m_setup.title; }
    [[nodiscard]] FolderBrowserModel *browser() const { return m_browser; }
    [[nodiscard]] QString fileName() const { return m_fileName; }
    void setFileName(const QString &name);
    [[nodiscard]] int nameStemLength() const;
    [[nodiscard]] bool canSave() const;
    [[nodiscard]] QString message() const { return m_message; }
    [[nodiscard]] QString replaceQuestion() const { return m_replaceQuestion; }
    [[nodiscard]] QString replaceDetail() const { return m_replaceDetail; }
    [[nodiscard]] bool newFolderShown() const { return m_newFolderShown; }
    [[nodiscard]] QString newFolderProposal() const { return m_newFolderProposal; }
    [[nodiscard]] QString newFolderMessage() const { return m_newFolderMessage; }

    // Opens in the folder (or its nearest existing parent) with the proposed name.
    void open(const Setup &setup);

    // Saves under the typed name: asks first when a file is there; goes to a typed folder.
    Q_INVOKABLE void accept();
    Q_INVOKABLE void cancel();
    // Escape: drops the replace question or the new folder prompt, else cancels.
    Q_INVOKABLE void escape();
    // A double-click or Enter on a row: a folder opens; a file is saved over, once confirmed.
    Q_INVOKABLE void activateEntry(int row);
    // A click on a row: a file's name becomes the name to save under.
    Q_INVOKABLE void selectEntry(int row);
    Q_INVOKABLE void confirmReplace();
    Q_INVOKABLE void keepExisting();
    Q_INVOKABLE void beginNewFolder();
    // Makes the folder in the one shown and goes into it.
    Q_INVOKABLE void createFolder(const QString &name);
    Q_INVOKABLE void cancelNewFolder();

signals:
    void openedChanged();
    void fileNameChanged();
    void canSaveChanged();
    void messageChanged();
    void replaceQuestionChanged();
    void newFolderChanged();
    // The viewer chose this file (and agreed to replace it when it was there).
    void accepted(const QString &path);
    void rejected();

private:
    QCoro::Task<> resolveAndSave(QString typed);
    QCoro::Task<> makeFolder(QString name);
    void close();
    void setMessage(const QString &message);
    void setBusy(bool busy);
    void askToReplace(const QString &path);
    void clearQuestion();
    void setNewFolder(bool shown, const QString &proposal, const QString &message);

    FolderBrowserModel *m_browser;
    Setup m_setup;
    bool m_opened = false;
    bool m_busy = false;
    // Each opening and closing starts a new one: work begun before ends without effect.
    quint64 m_session = 0;
    QString m_fileName;
    QString m_message;
    QString m_pendingPath;
    QString m_replaceQuestion;
    QString m_replaceDetail;
    bool m_newFolderShown = false;
    QString m_newFolderProposal;
    QString m_newFolderMessage;
};

} // namespace orvella
