#pragma once

#include <QByteArray>
#include <QIODevice>
#include <functional>
#include <memory>

namespace orvella {

// A request body Qt may read once. Qt rewinds a body to send its request again on a new
// connection when the first closed before an answer (a POST included), and to follow a redirect;
// a rewind once reading has begun is refused, which fails that request instead of sending the
// body twice.
template<class Device>
class ReadOnce : public Device
{
public:
    using Device::Device;

    bool seek(qint64 position) override
    {
        if (m_read && position < this->pos())
            return false;
        return Device::seek(position);
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        m_read = true;
        return Device::readData(data, maxSize);
    }

private:
    bool m_read = false;
};

// What a request carries: nothing, or a body that each request sending it opens anew, so that
// every request (each hop of a redirect) sends it once.
class RequestBody
{
public:
    using Opener = std::function<std::unique_ptr<QIODevice>()>;

    RequestBody() = default;
    // Bytes in memory; empty bytes are no body.
    explicit RequestBody(QByteArray bytes);
    RequestBody(Opener open, qint64 size);

    [[nodiscard]] bool isEmpty() const { return !m_open; }
    [[nodiscard]] qint64 size() const { return m_size; }
    // A new device over the whole body, opened for reading; null for no body.
    [[nodiscard]] std::unique_ptr<QIODevice> open() const;

private:
    Opener m_open;
    qint64 m_size = 0;
};

} // namespace orvella
