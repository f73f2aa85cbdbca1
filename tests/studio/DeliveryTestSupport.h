#pragma once

// What the delivery tests share: reading a file back and a file manager that only remembers.

#include "platform/FileReveal.h"

#include <QByteArray>
#include <QFile>
#include <QStringList>

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

} // namespace orvella::test
