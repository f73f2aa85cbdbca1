#pragma once

#include <QByteArray>
#include <QFile>
#include <QIODevice>
#include <QList>
#include <QString>
#include <memory>
#include <utility>

namespace orvella {

// A multipart/form-data body of text fields and one file part, streamed from disk. The bytes
// are the fields as given; only a file name's '"', CR and LF are percent-encoded (RFC 7578),
// since they would break the part header.
class MultipartForm
{
public:
    // Opens the file; throws FileReadError when it cannot be read.
    MultipartForm(QString boundary, const QList<std::pair<QString, QString>> &fields,
        const QString &fileField, const QString &filePath, const QByteArray &fileContentType);

    [[nodiscard]] const QString &boundary() const { return m_boundary; }
    [[nodiscard]] QByteArray contentType() const;
    [[nodiscard]] qint64 size() const;
    // A new device over the whole body, to be read once; each request gets its own.
    [[nodiscard]] std::unique_ptr<QIODevice> open() const;
    // The whole body in memory (tests and small files).
    [[nodiscard]] QByteArray readAll() const;

    [[nodiscard]] static QString newBoundary();
    [[nodiscard]] static QString escapedFileName(const QString &name);

private:
    QString m_boundary;
    QByteArray m_head;
    QByteArray m_tail;
    std::shared_ptr<QFile> m_file;
    qint64 m_fileSize = 0;
};

} // namespace orvella
