#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>
#include <functional>
#include <optional>

namespace orvella {

namespace delivery {

// The values an upload sends besides the file, read when it starts.
struct UploadArguments
{
    QString name;
    QString email;
    QUrl portal; // the testimony portal page; empty when the configuration gives none
};

using UploadArgumentsSource = std::function<UploadArguments()>;

} // namespace delivery

// What the delivery of finished recordings keeps between visits of the screen: the preview
// player, whether an upload runs and what the last action said, where an upload's name,
// e-mail and portal come from, and the folder the viewer last saved in or browsed to. Held by the
// capture controller for as long as it lives, so an upload finishes and reports even when the
// screen that started it has gone; written by RecordingDelivery.
class RecordingDeliveryState : public QObject
{
    Q_OBJECT

public:
    explicit RecordingDeliveryState(
        delivery::UploadArgumentsSource uploadArguments, QObject *parent = nullptr);

    [[nodiscard]] bool isUploading() const { return m_isUploading; }
    [[nodiscard]] QString uploadMessage() const { return m_uploadMessage; }
    [[nodiscard]] QObject *previewPlayer() const { return m_previewPlayer; }
    // Empty values without a source.
    [[nodiscard]] delivery::UploadArguments uploadArguments() const;
    // Empty until the viewer first closed a save dialog.
    [[nodiscard]] QString lastSaveFolder() const { return m_lastSaveFolder; }
    void setLastSaveFolder(const QString &folder) { m_lastSaveFolder = folder; }

    void setIsUploading(bool uploading);
    // Empty when there is no message.
    void setUploadMessage(const QString &message);
    // Takes ownership of the player; replacing or clearing it pauses and deletes the old one.
    void setPreviewPlayer(QObject *player);
    void clearPreviewPlayer();
    void setUploadArgumentsSource(delivery::UploadArgumentsSource source);
    // The recording went: its preview and message go with it (an upload runs on).
    void forgetRecording();
    // A failed upload of `recording` left a complete copy of it in the archive.
    void setArchivedCopy(const QString &recording, const QString &copy);
    // The archive copy of `recording`, if its upload failed in this run.
    [[nodiscard]] std::optional<QString> archivedCopyOf(const QString &recording) const;

signals:
    void isUploadingChanged();
    void uploadMessageChanged();
    void previewPlayerChanged();

private:
    delivery::UploadArgumentsSource m_uploadArguments;
    bool m_isUploading = false;
    QString m_uploadMessage;
    QPointer<QObject> m_previewPlayer;
    QString m_lastSaveFolder;
    QHash<QString, QString> m_archivedCopies; // recording -> its archive copy
};

} // namespace orvella
