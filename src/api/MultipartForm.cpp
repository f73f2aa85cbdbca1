#include "api/MultipartForm.h"

#include "api/APIError.h"
#include "api/RequestBody.h"

#include <QFileInfo>
#include <QUuid>

namespace orvella {

namespace {

// Reads head, file and tail in turn (read once, see ReadOnce).
class MultipartDevice : public QIODevice
{
public:
    MultipartDevice(QByteArray head, std::shared_ptr<QFile> file, qint64 fileSize, QByteArray tail)
        : m_head(std::move(head))
        , m_tail(std::move(tail))
        , m_file(std::move(file))
        , m_fileSize(fileSize)
    { }

    bool isSequential() const override { return false; }
    qint64 size() const override { return m_head.size() + m_fileSize + m_tail.size(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 start = pos();
        qint64 done = 0;
        while (done < maxSize) {
            const qint64 at = start + done;
            const qint64 want = maxSize - done;
            qint64 got = 0;
            if (at < m_head.size()) {
                got = std::min(want, m_head.size() - at);
                std::memcpy(data + done, m_head.constData() + at, size_t(got));
            } else if (at < m_head.size() + m_fileSize) {
                const qint64 offset = at - m_head.size();
                if (!m_file->seek(offset))
                    return done > 0 ? done : -1;
                got = m_file->read(data + done, std::min(want, m_fileSize - offset));
                if (got <= 0)
                    return done > 0 ? done : -1;
            } else if (at < size()) {
                const qint64 offset = at - m_head.size() - m_fileSize;
                got = std::min(want, m_tail.size() - offset);
                std::memcpy(data + done, m_tail.constData() + offset, size_t(got));
            } else {
                break;
            }
            done += got;
        }
        return done > 0 || start < size() ? done : -1;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_head;
    QByteArray m_tail;
    std::shared_ptr<QFile> m_file;
    qint64 m_fileSize;
};

} // namespace

MultipartForm::MultipartForm(QString boundary, const QList<std::pair<QString, QString>> &fields,
    const QString &fileField, const QString &filePath, const QByteArray &fileContentType)
    : m_boundary(std::move(boundary))
    , m_file(std::make_shared<QFile>(filePath))
{
    const QByteArray dashBoundary = "--" + m_boundary.toUtf8();
    for (const auto &[name, value] : fields) {
        m_head += dashBoundary + "\r\n";
        m_head += "Content-Disposition: form-data; name=\"" + name.toUtf8() + "\"\r\n\r\n";
        m_head += value.toUtf8() + "\r\n";
    }
    const QString fileName = QFileInfo(filePath).fileName();
    m_head += dashBoundary + "\r\n";
    m_head += "Content-Disposition: form-data; name=\"" + fileField.toUtf8() + "\"; filename=\""
        + escapedFileName(fileName).toUtf8() + "\"\r\n";
    m_head += "Content-Type: " + fileContentType + "\r\n\r\n";
    m_tail = "\r\n" + dashBoundary + "--\r\n";

    if (QFileInfo(filePath).isDir() || !m_file->open(QIODevice::ReadOnly))
        throw FileReadError(fileName, m_file->errorString());
    m_fileSize = m_file->size();
}

QByteArray MultipartForm::contentType() const
{
    return "multipart/form-data; boundary=" + m_boundary.toUtf8();
}

qint64 MultipartForm::size() const
{
    return m_head.size() + m_fileSize + m_tail.size();
}

std::unique_ptr<QIODevice> MultipartForm::open() const
{
    auto device = std::make_unique<ReadOnce<MultipartDevice>>(m_head, m_file, m_fileSize, m_tail);
    device->open(QIODevice::ReadOnly);
    return device;
}

QByteArray MultipartForm::readAll() const
{
    const auto device = open();
    return device->readAll();
}

QString MultipartForm::newBoundary()
{
    return QStringLiteral("Boundary-")
        + QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

QString MultipartForm::escapedFileName(const QString &name)
{
    QString escaped = name;
    escaped.replace(u'"', QStringLiteral("%22"));
    escaped.replace(u'\r', QStringLiteral("%0D"));
    escaped.replace(u'\n', QStringLiteral("%0A"));
    return escaped;
}

} // namespace orvella
