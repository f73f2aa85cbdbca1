#include "studio/RecordingDeliveryState.h"

namespace orvella {

RecordingDeliveryState::RecordingDeliveryState(
    delivery::UploadArgumentsSource uploadArguments, QObject *parent)
    : QObject(parent)
    , m_uploadArguments(std::move(uploadArguments))
{ }

delivery::UploadArguments RecordingDeliveryState::uploadArguments() const
{
    return m_uploadArguments ? m_uploadArguments() : delivery::UploadArguments {};
}

void RecordingDeliveryState::setUploadArgumentsSource(delivery::UploadArgumentsSource source)
{
    m_uploadArguments = std::move(source);
}

void RecordingDeliveryState::setIsUploading(bool uploading)
{
    if (m_isUploading == uploading)
        return;
    m_isUploading = uploading;
    emit isUploadingChanged();
}

void RecordingDeliveryState::setUploadMessage(const QString &message)
{
    if (m_uploadMessage == message)
        return;
    m_uploadMessage = message;
    emit uploadMessageChanged();
}

void RecordingDeliveryState::setPreviewPlayer(QObject *player)
{
    if (m_previewPlayer == player)
        return;
    clearPreviewPlayer();
    if (!player)
        return;
    player->setParent(this);
    m_previewPlayer = player;
    emit previewPlayerChanged();
}

void RecordingDeliveryState::clearPreviewPlayer()
{
    if (!m_previewPlayer)
        return;
    QObject *player = m_previewPlayer;
    m_previewPlayer = nullptr;
    if (player->metaObject()->indexOfMethod("pause()") >= 0)
        QMetaObject::invokeMethod(player, "pause");
    player->deleteLater();
    emit previewPlayerChanged();
}

void RecordingDeliveryState::forgetRecording()
{
    clearPreviewPlayer();
    setUploadMessage({});
}

void RecordingDeliveryState::setArchivedCopy(const QString &recording, const QString &copy)
{
    m_archivedCopies.insert(recording, copy);
}

std::optional<QString> RecordingDeliveryState::archivedCopyOf(const QString &recording) const
{
    const auto found = m_archivedCopies.constFind(recording);
    if (found == m_archivedCopies.cend())
        return std::nullopt;
    return *found;
}

} // namespace orvella
