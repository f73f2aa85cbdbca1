#include "api/RequestBody.h"

#include <cstring>

namespace orvella {

namespace {

// Bytes in memory as a plain device: Qt reads a QBuffer's bytes straight from its array and
// would rewind them past any refusal.
class BytesDevice : public QIODevice
{
public:
    explicit BytesDevice(QByteArray bytes)
        : m_bytes(std::move(bytes))
    { }

    bool isSequential() const override { return false; }
    qint64 size() const override { return m_bytes.size(); }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 count = std::min(maxSize, m_bytes.size() - pos());
        if (count <= 0)
            return pos() < m_bytes.size() ? 0 : -1;
        std::memcpy(data, m_bytes.constData() + pos(), size_t(count));
        return count;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_bytes;
};

} // namespace

RequestBody::RequestBody(QByteArray bytes)
    : m_size(bytes.size())
{
    if (bytes.isEmpty())
        return;
    m_open = [bytes = std::move(bytes)]() -> std::unique_ptr<QIODevice> {
        auto device = std::make_unique<ReadOnce<BytesDevice>>(bytes);
        device->open(QIODevice::ReadOnly);
        return device;
    };
}

RequestBody::RequestBody(Opener open, qint64 size)
    : m_open(std::move(open))
    , m_size(size)
{ }

std::unique_ptr<QIODevice> RequestBody::open() const
{
    return m_open ? m_open() : nullptr;
}

} // namespace orvella
